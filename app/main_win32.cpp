// cdb2xls.exe: converts the cdb file named on the command line at once, or,
// started without arguments, shows the window that takes a dropped file.
#include "convert/form1.h"
#include "convert/lauf.h"
#include "system/systemdateien.h"
#include "system/text_win32.h"
#include "ui/win32/form1.h"
#include "xlsx/arbeitsmappe.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

namespace {

// The command line after the program's own name: a quoted name runs to the
// next quote, an unquoted one to the first blank.
std::wstring argumenttext(const wchar_t* befehlszeile) {
    const wchar_t* p = befehlszeile;
    if (*p == L'"') {
        ++p;
        while (*p != L'\0' && *p != L'"') ++p;
        if (*p == L'"') ++p;
    } else {
        while (*p != L'\0' && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
}

// "--xlsx" or "/xlsx" as the first argument: a workbook instead of the
// table. Taken off the argument text, whose rest goes through the scan as
// ever; only a file literally named so cannot be converted by that name.
bool xlsxVorn(std::wstring& argumente) {
    for (const std::wstring_view option : {L"--xlsx", L"/xlsx"}) {
        if (argumente.compare(0, option.size(), option) == 0 &&
            (argumente.size() == option.size() || argumente[option.size()] == L' ')) {
            argumente.erase(0, option.size());
            return true;
        }
    }
    return false;
}

int fensterZeigen(HINSTANCE instanz, cdb2xls::Dateien& dateien, int anzeigen, cdb2xls::Tabellenformat* format) {
    const HWND form = cdb2xls::win32::form1Erstellen(
        instanz, dateien, [](int status) { PostQuitMessage(status); }, format);
    if (form == nullptr) return 1;
    ShowWindow(form, anzeigen);
    UpdateWindow(form);
    MSG nachricht;
    while (GetMessageW(&nachricht, nullptr, 0, 0) > 0) {
        TranslateMessage(&nachricht);
        DispatchMessageW(&nachricht);
    }
    return static_cast<int>(nachricht.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instanz, HINSTANCE, PWSTR, int anzeigen) {
    SetProcessDPIAware();  // lay the window out in real pixels at any scale
    cdb2xls::SystemDateien dateien;
    std::wstring argumente = argumenttext(GetCommandLineW());
    std::unique_ptr<cdb2xls::Tabellenformat> format;
    if (xlsxVorn(argumente)) {
        std::string grund;
        format = cdb2xls::arbeitsmappenFormat(&cdb2xls::win32::Win32Meldung::warnung, grund);
        if (!format) {
            cdb2xls::win32::Win32Meldung meldung(nullptr);
            meldung.melden({"Häää?", "--xlsx ist nicht verfügbar:", grund, ""});
            return 1;
        }
    }
    cdb2xls::Form1 befehlszeile(dateien);
    if (!befehlszeile.BefehlszeilenParameter(cdb2xls::win32::schmal(argumente))) {
        return fensterZeigen(instanz, dateien, anzeigen, format.get());
    }
    cdb2xls::win32::Win32Meldung meldung(nullptr);
    return cdb2xls::umwandeln(dateien, meldung, befehlszeile.Eingabedatei, befehlszeile.Ausgabedatei, format.get())
        .exitStatus();
}

// cdb2xls.exe: converts the cdb file named on the command line at once, or,
// started without arguments, shows the window that takes a dropped file.
#include "system/systemdateien.h"
#include "system/text_win32.h"
#include "convert/form1.h"
#include "convert/lauf.h"
#include "ui/win32/form1.h"

#include <windows.h>

#include <string>

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

int fensterZeigen(HINSTANCE instanz, cdb2xls::Dateien& dateien, int anzeigen) {
    const HWND form = cdb2xls::win32::form1Erstellen(instanz, dateien, [](int status) { PostQuitMessage(status); });
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
    cdb2xls::Form1 befehlszeile(dateien);
    if (!befehlszeile.BefehlszeilenParameter(cdb2xls::win32::schmal(argumenttext(GetCommandLineW())))) {
        return fensterZeigen(instanz, dateien, anzeigen);
    }
    cdb2xls::win32::Win32Meldung meldung(nullptr);
    return cdb2xls::umwandeln(dateien, meldung, befehlszeile.Eingabedatei, befehlszeile.Ausgabedatei).exitStatus();
}

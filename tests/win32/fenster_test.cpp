// The real Windows window under wine: Form1 and Label1 as designed, drops of
// one and of three files, the notice box of a missing file, and the version
// record of the built cdb2xls.exe.
// Usage: fenster_test.exe FIXTURES-ORDNER ARBEITSORDNER CDB2XLS.EXE
#include "res/version.h"
#include "system/dacl_win32.h"
#include "system/systemdateien.h"
#include "system/text_win32.h"
#include "ui/win32/form1.h"
#include "xlsx/arbeitsmappe.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace cdb2xls::win32;

namespace {

int bestanden = 0;
int fehlgeschlagen = 0;

void pruefe(bool ok, const std::string& name, const std::string& genauer = {}) {
    if (ok) {
        ++bestanden;
        std::printf("ok: %s\n", name.c_str());
    } else {
        ++fehlgeschlagen;
        std::printf("FEHLER: %s %s\n", name.c_str(), genauer.c_str());
    }
    std::fflush(stdout);
}

template <typename T>
void gleich(const T& bekommen, const T& erwartet, const std::string& name) {
    std::ostringstream text;
    text << "(bekommen " << bekommen << ", erwartet " << erwartet << ")";
    pruefe(bekommen == erwartet, name, text.str());
}
void gleich(const std::wstring& bekommen, const std::wstring& erwartet, const std::string& name) {
    pruefe(bekommen == erwartet, name, "(bekommen «" + schmal(bekommen) + "», erwartet «" + schmal(erwartet) + "»)");
}

std::string lies(const std::wstring& pfad) {
    std::ifstream datei(pfad.c_str(), std::ios::binary);
    if (!datei) return "<fehlt>";
    std::ostringstream inhalt;
    inhalt << datei.rdbuf();
    return inhalt.str();
}

bool gibtEs(const std::wstring& pfad) { return GetFileAttributesW(pfad.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring fensterText(HWND fenster) {
    wchar_t text[512];
    const int n = GetWindowTextW(fenster, text, 512);
    return std::wstring(text, static_cast<std::size_t>(n));
}

// A drop as the shell delivers it: a DROPFILES block with the paths, each
// ended by a NUL, and one more NUL at the end.
HDROP ablage(const std::vector<std::wstring>& pfade) {
    std::size_t zeichen = 1;
    for (const auto& p : pfade) zeichen += p.size() + 1;
    const HGLOBAL speicher = GlobalAlloc(GHND, sizeof(DROPFILES) + zeichen * sizeof(wchar_t));
    auto* kopf = static_cast<DROPFILES*>(GlobalLock(speicher));
    kopf->pFiles = sizeof(DROPFILES);
    kopf->fWide = TRUE;
    auto* ziel = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(kopf) + sizeof(DROPFILES));
    for (const auto& p : pfade) {
        std::copy(p.begin(), p.end(), ziel);
        ziel += p.size() + 1;
    }
    GlobalUnlock(speicher);
    return static_cast<HDROP>(speicher);
}

struct Lauf {
    int status = -1;
};

// Makes the window (for `format`'s files, as started with --xlsx), hands
// its label a drop of `pfade` and returns the run's status (-1 when the run
// did not end).
int fallenLassen(const std::vector<std::wstring>& pfade, cdb2xls::Tabellenformat* format = nullptr) {
    Lauf lauf;
    cdb2xls::SystemDateien dateien;
    const HWND form =
        form1Erstellen(GetModuleHandleW(nullptr), dateien, [&lauf](int s) { lauf.status = s; }, format);
    ShowWindow(form, SW_SHOW);
    SendMessageW(label1Von(form), WM_DROPFILES, reinterpret_cast<WPARAM>(ablage(pfade)), 0);
    const int status = lauf.status;
    DestroyWindow(form);
    return status;
}

void gestaltung() {
    int geschlossen = -1;
    cdb2xls::SystemDateien dateien;
    const HWND form = form1Erstellen(GetModuleHandleW(nullptr), dateien, [&](int s) { geschlossen = s; });
    pruefe(form != nullptr, "Form1 erstellt", "(Fehler " + std::to_string(GetLastError()) + ")");
    wchar_t klasse[64];
    GetClassNameW(form, klasse, 64);
    gleich(std::wstring(klasse), std::wstring(L"Form1"), "Fensterklasse");
    gleich(fensterText(form), std::wstring(L"QUORBs Tromil CDDB-Exporteur"), "Titel");
    pruefe(SendMessageW(form, WM_GETICON, ICON_BIG, 0) != 0 || GetClassLongPtrW(form, GCLP_HICON) != 0, "Symbol");

    const HDC bildschirm = GetDC(nullptr);
    const int dpi = GetDeviceCaps(bildschirm, LOGPIXELSY);
    ReleaseDC(nullptr, bildschirm);
    RECT innen;
    GetClientRect(form, &innen);
    gleich(innen.right, static_cast<LONG>(MulDiv(3744, dpi, 1440)), "Innenbreite");
    gleich(innen.bottom, static_cast<LONG>(MulDiv(2556, dpi, 1440)), "Innenhöhe");

    const HWND label = label1Von(form);
    GetClassNameW(label, klasse, 64);
    gleich(std::wstring(klasse), std::wstring(L"Label1"), "Klasse des Labels");
    gleich(fensterText(label), std::wstring(L"Bitte einfach die cdb-Datei in dieses Fenster ziehen!"), "Labeltext");
    RECT lage;
    GetWindowRect(label, &lage);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&lage), 2);
    gleich(lage.left, static_cast<LONG>(MulDiv(120, dpi, 1440)), "Label links");
    gleich(lage.top, 0L, "Label oben");
    gleich(lage.right - lage.left, static_cast<LONG>(MulDiv(3612, dpi, 1440)), "Labelbreite");
    gleich(lage.bottom - lage.top, static_cast<LONG>(MulDiv(2532, dpi, 1440)), "Labelhöhe");
    pruefe((GetWindowLongW(label, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0, "Label nimmt Dateien an");
    pruefe((GetWindowLongW(form, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) == 0, "Form nimmt keine Dateien an");

    LOGFONTW schrift{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)), sizeof schrift, &schrift);
    gleich(std::wstring(schrift.lfFaceName), std::wstring(L"Comic Sans MS"), "Schriftart");
    gleich(schrift.lfHeight, static_cast<LONG>(-MulDiv(222, dpi, 720)), "Schriftgröße 22,2 Punkt");
    gleich(schrift.lfWeight, static_cast<LONG>(FW_NORMAL), "Schriftstärke");
    gleich(static_cast<int>(schrift.lfCharSet), static_cast<int>(ANSI_CHARSET), "Zeichensatz");
    pruefe(!schrift.lfItalic && !schrift.lfUnderline && !schrift.lfStrikeOut, "nicht kursiv, unter- oder durchgestrichen");

    DestroyWindow(form);
    gleich(geschlossen, 0, "Schließen ohne Lauf endet mit 0");
}

void ablegen(const std::wstring& fixtures, const std::wstring& arbeit) {
    const std::wstring cds = arbeit + L"\\CDs.cdb", zwei = arbeit + L"\\Zwei Ä.cdb", drei = arbeit + L"\\drei.cdb";
    CopyFileW((fixtures + L"\\beispiel.cdb").c_str(), cds.c_str(), FALSE);
    CopyFileW((fixtures + L"\\achtbit.cdb").c_str(), zwei.c_str(), FALSE);
    CopyFileW((fixtures + L"\\schief.cdb").c_str(), drei.c_str(), FALSE);

    gleich(fallenLassen({cds}), 0, "eine Datei: Status");
    pruefe(lies(cds + L".xls") == lies(fixtures + L"\\beispiel.xls"), "eine Datei: Tabelle");

    gleich(fallenLassen({zwei, drei, cds + L"x"}), 0, "drei Dateien: Status");
    pruefe(lies(zwei + L".xls") == lies(fixtures + L"\\achtbit.xls"), "drei Dateien: die erste umgewandelt");
    pruefe(!gibtEs(drei + L".xls"), "drei Dateien: die zweite nicht");

    // Started with --xlsx: the dropped file becomes a workbook.
    std::string grund;
    const auto mappe = cdb2xls::arbeitsmappenFormat([](const std::string&) {}, grund);
    if (mappe) {
        gleich(fallenLassen({drei}, mappe.get()), 0, "--xlsx: Status");
        pruefe(lies(drei + L".xlsx").rfind("PK", 0) == 0 && !gibtEs(drei + L".xls"), "--xlsx: Arbeitsmappe");
    } else {
        std::printf("übersprungen: --xlsx im Fenster (%s)\n", grund.c_str());
    }
}

// The DACL of a file, in SDDL; empty where there is none to read.
std::wstring dacl(const std::wstring& pfad) {
    PSECURITY_DESCRIPTOR beschreibung = nullptr;
    if (GetNamedSecurityInfoW(pfad.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                              nullptr, &beschreibung) != ERROR_SUCCESS) {
        return {};
    }
    wchar_t* text = nullptr;
    ConvertSecurityDescriptorToStringSecurityDescriptorW(beschreibung, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                         &text, nullptr);
    std::wstring ergebnis = text != nullptr ? text : L"";
    LocalFree(text);
    LocalFree(beschreibung);
    return ergebnis;
}

// The DACL's way held against fakes of the system's calls (this wine keeps
// no security descriptor on a file): read from the earlier file's handle,
// set on the new file's, protected or inheriting as it was; nothing set
// where there is none to read.
struct Aufgezeichnet {
    HANDLE gelesenVon = nullptr, gesetztAuf = nullptr;
    SECURITY_INFORMATION art = 0;
    PACL dacl = nullptr;
    bool lesbar = true, geschuetzt = false;
    int freigegeben = 0;
} aufgezeichnet;
ACL kennDacl{};  // the DACL the fake hands out, known by its address

void daclAufrufe() {
    Sicherheitsaufrufe fake;
    fake.lesen = [](HANDLE h, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID*, PSID*, PACL* dacl, PACL*,
                    PSECURITY_DESCRIPTOR* beschreibung) -> DWORD {
        aufgezeichnet.gelesenVon = h;
        if (!aufgezeichnet.lesbar) return ERROR_NOT_SUPPORTED;
        *dacl = &kennDacl;
        *beschreibung = &kennDacl;
        return ERROR_SUCCESS;
    };
    fake.kontrolle = [](PSECURITY_DESCRIPTOR, PSECURITY_DESCRIPTOR_CONTROL kontrolle, LPDWORD) -> BOOL {
        *kontrolle = aufgezeichnet.geschuetzt ? SE_DACL_PROTECTED : 0;
        return TRUE;
    };
    fake.setzen = [](HANDLE h, SE_OBJECT_TYPE, SECURITY_INFORMATION art, PSID, PSID, PACL dacl, PACL) -> DWORD {
        aufgezeichnet.gesetztAuf = h;
        aufgezeichnet.art = art;
        aufgezeichnet.dacl = dacl;
        return ERROR_SUCCESS;
    };
    fake.freigeben = [](HLOCAL) -> HLOCAL {
        ++aufgezeichnet.freigegeben;
        return nullptr;
    };
    const HANDLE alt = reinterpret_cast<HANDLE>(1), neu = reinterpret_cast<HANDLE>(2);
    for (const bool geschuetzt : {true, false}) {
        aufgezeichnet = {};
        aufgezeichnet.geschuetzt = geschuetzt;
        const std::string fall = geschuetzt ? "geschützte DACL" : "erbende DACL";
        gleich(static_cast<int>(daclUebertragen(alt, neu, fake)), 0, fall + ": Erfolg");
        pruefe(aufgezeichnet.gelesenVon == alt && aufgezeichnet.gesetztAuf == neu && aufgezeichnet.dacl == &kennDacl &&
                   aufgezeichnet.freigegeben == 1,
               fall + ": von der früheren Datei auf die neue");
        gleich(static_cast<unsigned long>(aufgezeichnet.art),
               static_cast<unsigned long>(DACL_SECURITY_INFORMATION | (geschuetzt ? PROTECTED_DACL_SECURITY_INFORMATION
                                                                             : UNPROTECTED_DACL_SECURITY_INFORMATION)),
               fall + ": geschützt wie zuvor");
    }
    aufgezeichnet = {};
    aufgezeichnet.lesbar = false;
    gleich(static_cast<int>(daclUebertragen(alt, neu, fake)), 0, "keine DACL zu lesen: Erfolg");
    pruefe(aufgezeichnet.gesetztAuf == nullptr, "keine DACL zu lesen: nichts gesetzt");
}

// An earlier table with a DACL of its own (protected: the administrators
// and one reader) keeps it when the new table replaces it.
void rechteBleiben(const std::wstring& fixtures, const std::wstring& arbeit) {
    const std::wstring eingabe = arbeit + L"\\Rechte.cdb", tabelle = eingabe + L".xls";
    CopyFileW((fixtures + L"\\beispiel.cdb").c_str(), eingabe.c_str(), FALSE);
    std::ofstream(std::filesystem::path(tabelle), std::ios::binary) << "alt\r";
    const std::wstring soll = L"D:P(A;;FA;;;BA)(A;;FR;;;WD)";
    PSECURITY_DESCRIPTOR beschreibung = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(soll.c_str(), SDDL_REVISION_1, &beschreibung, nullptr);
    SetFileSecurityW(tabelle.c_str(), DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, beschreibung);
    LocalFree(beschreibung);
    if (dacl(tabelle) != soll) {
        std::printf("übersprungen: DACL einer früheren Tabelle (wine hält hier keine: %ls)\n", dacl(tabelle).c_str());
        return;
    }
    struct Still : cdb2xls::Meldestelle {
        void melden(const cdb2xls::Hinweis&) override {}
    } still;
    cdb2xls::SystemDateien dateien;
    gleich(cdb2xls::umwandeln(dateien, still, schmal(eingabe), {}).exitStatus(), 0, "DACL: Status");
    gleich(dacl(tabelle), soll, "DACL der früheren Tabelle bleibt");
    pruefe(lies(tabelle) == lies(fixtures + L"\\beispiel.xls"), "DACL: Tabelle ersetzt");
}

// Finds the message box titled "Häää?", notes its text and icon, presses OK.
struct Meldung {
    std::atomic<bool> gefunden{false};
    std::wstring text;
    bool stopSymbol = false;
};

void meldungBeantworten(Meldung& meldung) {
    for (int i = 0; i < 400; ++i) {
        const HWND box = FindWindowW(L"#32770", L"Häää?");
        if (box != nullptr) {
            wchar_t text[1024];
            GetDlgItemTextW(box, 0xFFFF, text, 1024);
            meldung.text = text;
            const HWND symbol = GetDlgItem(box, 0x440);
            meldung.stopSymbol = symbol != nullptr && reinterpret_cast<HICON>(SendMessageW(symbol, STM_GETICON, 0, 0)) ==
                                                          LoadIconW(nullptr, IDI_HAND);
            meldung.gefunden = true;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return;
        }
        Sleep(25);
    }
}

void fehlendeDatei(const std::wstring& arbeit) {
    const std::wstring weg = arbeit + L"\\weg.cdb";
    Meldung meldung;
    std::thread antwort(meldungBeantworten, std::ref(meldung));
    const int status = fallenLassen({weg});
    antwort.join();
    pruefe(meldung.gefunden, "fehlende Datei: Meldung erscheint");
    gleich(meldung.text, L"cdb-Datei nicht gefunden:\r\r" + weg, "fehlende Datei: Meldungstext");
    pruefe(meldung.stopSymbol, "fehlende Datei: Stopp-Symbol");
    gleich(status, 1, "fehlende Datei: Status nach OK");
    pruefe(!gibtEs(weg + L".xls"), "fehlende Datei: nichts geschrieben");
}

// Starts cdb2xls.exe with a command line written out in full, as Windows
// hands it over, and returns its exit status.
DWORD starte(const std::wstring& exe, const std::wstring& befehlszeile, const std::wstring& ordner) {
    std::wstring zeile = befehlszeile;
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION prozess{};
    if (!CreateProcessW(exe.c_str(), zeile.data(), nullptr, nullptr, FALSE, 0, nullptr, ordner.c_str(), &start,
                        &prozess)) {
        return 9999;
    }
    WaitForSingleObject(prozess.hProcess, 60000);
    DWORD status = 9998;
    GetExitCodeProcess(prozess.hProcess, &status);
    CloseHandle(prozess.hThread);
    CloseHandle(prozess.hProcess);
    return status;
}

// The real command line: the program's name skipped by the Windows rules,
// the rest split by the argument scan.
void befehlszeile(const std::wstring& fixtures, const std::wstring& arbeit, const std::wstring& exe) {
    const std::wstring ordner = arbeit + L"\\Befehlszeile";
    CreateDirectoryW(ordner.c_str(), nullptr);
    CopyFileW((fixtures + L"\\beispiel.cdb").c_str(), (ordner + L"\\CDs.cdb").c_str(), FALSE);
    CopyFileW((fixtures + L"\\beispiel.cdb").c_str(), (ordner + L"\\a b").c_str(), FALSE);
    const std::string soll = lies(fixtures + L"\\beispiel.xls");
    struct Fall {
        const wchar_t* befehlszeile;
        const wchar_t* tabelle;
    };
    const Fall faelle[] = {
        {L"cdb2xls CDs.cdb", L"CDs.cdb.xls"},
        {L"\"C:\\Program Files\\cdb2xls.exe\" CDs.cdb liste", L"liste.xls"},
        {L"cdb2xls.exe   CDs.cdb    \"Meine Liste\"   ", L"Meine Liste.xls"},
        {L"cdb2xls \"CDs.cdb", L"CDs.cdb.xls"},
        {L"cdb2xls CDs.cdb zwei drei", L"zwei.xls"},
        {L"cdb2xls \"a b\"c d", L"c.xls"},
    };
    for (const Fall& fall : faelle) {
        const std::wstring tabelle = ordner + L"\\" + fall.tabelle;
        DeleteFileW(tabelle.c_str());
        const DWORD status = starte(exe, fall.befehlszeile, ordner);
        gleich(status, DWORD{0}, "Befehlszeile «" + schmal(fall.befehlszeile) + "»: Status");
        pruefe(lies(tabelle) == soll, "Befehlszeile «" + schmal(fall.befehlszeile) + "»: " + schmal(fall.tabelle));
    }
}

std::wstring versionsText(const std::vector<char>& daten, const std::wstring& schluessel) {
    void* wert = nullptr;
    UINT laenge = 0;
    if (!VerQueryValueW(daten.data(), (L"\\StringFileInfo\\040704B0\\" + schluessel).c_str(), &wert, &laenge)) {
        return L"<fehlt>";
    }
    return std::wstring(static_cast<const wchar_t*>(wert), laenge > 0 ? laenge - 1 : 0);
}

void versionsangabe(const std::wstring& exe) {
    DWORD griff = 0;
    const DWORD groesse = GetFileVersionInfoSizeW(exe.c_str(), &griff);
    pruefe(groesse > 0, "Versionsangabe vorhanden");
    if (groesse == 0) return;
    std::vector<char> daten(groesse);
    GetFileVersionInfoW(exe.c_str(), 0, groesse, daten.data());

    VS_FIXEDFILEINFO* fest = nullptr;
    UINT laenge = 0;
    VerQueryValueW(daten.data(), L"\\", reinterpret_cast<void**>(&fest), &laenge);
    // The build's version, as the record must carry it.
    constexpr DWORD kZahlen[] = {CDB2XLS_VERSION_ZAHLEN};
    const DWORD hoch = kZahlen[0] << 16 | kZahlen[1], tief = kZahlen[2] << 16 | kZahlen[3];
    pruefe(fest != nullptr && fest->dwFileVersionMS == hoch && fest->dwFileVersionLS == tief &&
               fest->dwProductVersionMS == hoch && fest->dwProductVersionLS == tief,
           "Versionsnummern " CDB2XLS_VERSION);

    WORD* sprache = nullptr;
    VerQueryValueW(daten.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&sprache), &laenge);
    pruefe(sprache != nullptr && laenge >= 4 && sprache[0] == 0x0407 && sprache[1] == 1200, "Sprache 0x0407, 1200");

    gleich(versionsText(daten, L"Comments"), std::wstring(L"Parameter:   [Eingabe-.cdb-Datei] [Ausgabe-Datei]"), "Comments");
    gleich(versionsText(daten, L"FileDescription"), breit(CDB2XLS_BESCHREIBUNG), "FileDescription");
    gleich(versionsText(daten, L"FileVersion"), breit(CDB2XLS_VERSION), "FileVersion");
    gleich(versionsText(daten, L"ProductVersion"), breit(CDB2XLS_VERSION), "ProductVersion");
    gleich(versionsText(daten, L"ProductName"), std::wstring(L"QUORBs Tromil CDDB-Exporteur"), "ProductName");
    gleich(versionsText(daten, L"OriginalFilename"), std::wstring(L"cdb2xls.exe"), "OriginalFilename");

    const HMODULE programm = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const HRSRC version = FindResourceExW(programm, MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1),
                                          MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
    pruefe(version != nullptr, "Versionsangabe unter Sprache 0x0407");
    const HANDLE symbol = LoadImageW(programm, MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0);
    pruefe(symbol != nullptr, "Programmsymbol 32 x 32");
    FreeLibrary(programm);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "Aufruf: fenster_test FIXTURES ARBEITSORDNER CDB2XLS.EXE\n");
        return 2;
    }
    SetProcessDPIAware();
    gestaltung();
    ablegen(argv[1], argv[2]);
    rechteBleiben(argv[1], argv[2]);
    daclAufrufe();
    fehlendeDatei(argv[2]);
    befehlszeile(argv[1], argv[2], argv[3]);
    versionsangabe(argv[3]);
    std::printf("%d passed, %d failed\n", bestanden, fehlgeschlagen);
    return fehlgeschlagen == 0 ? 0 : 1;
}

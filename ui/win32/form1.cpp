#include "ui/win32/form1.h"

#include "res/version.h"
#include "ui/entwurf.h"
#include "system/text_win32.h"

#include <shellapi.h>

#include <string>

namespace cdb2xls::win32 {
namespace {

constexpr wchar_t kFormKlasse[] = L"Form1";
constexpr wchar_t kLabelKlasse[] = L"Label1";
constexpr int kLabelId = 1;
using namespace entwurf;

constexpr DWORD kFormStil = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

struct Zustand {
    Dateien& dateien;
    std::function<void(int)> beendet;
    Tabellenformat* format;
    HFONT schrift = nullptr;
    bool gelaufen = false;
};

Zustand* zustandVon(HWND form) { return reinterpret_cast<Zustand*>(GetWindowLongPtrW(form, GWLP_USERDATA)); }

int systemDpi() {
    const HDC bildschirm = GetDC(nullptr);
    const int dpi = GetDeviceCaps(bildschirm, LOGPIXELSY);
    ReleaseDC(nullptr, bildschirm);
    return dpi;
}

HFONT schriftErstellen(int dpi) {
    LOGFONTW schrift{};
    schrift.lfHeight = -MulDiv(kSchriftZehntelPunkte, dpi, 720);
    schrift.lfWeight = FW_NORMAL;
    schrift.lfCharSet = ANSI_CHARSET;
    schrift.lfOutPrecision = OUT_DEFAULT_PRECIS;
    schrift.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    schrift.lfQuality = DEFAULT_QUALITY;
    schrift.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynW(schrift.lfFaceName, breit(kSchriftart).c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&schrift);
}

// The dropped file becomes the input and the output name, and the run
// converts it; afterwards the program ends with the run's status.
void dateiAbgelegt(HWND form, const std::wstring& pfad) {
    Zustand& zustand = *zustandVon(form);
    zustand.gelaufen = true;
    Win32Meldung meldung(form);
    const std::string eingabe = schmal(pfad);
    zustand.beendet(umwandeln(zustand.dateien, meldung, eingabe, {}, zustand.format).exitStatus());
}

// Writes a line to `h`: as text to a console, as UTF-8 to a file or pipe.
bool zeileSchreiben(HANDLE h, const std::string& zeile) {
    if (h == nullptr || h == INVALID_HANDLE_VALUE || GetFileType(h) == FILE_TYPE_UNKNOWN) return false;
    DWORD modus = 0, geschrieben = 0;
    if (GetConsoleMode(h, &modus)) {
        const std::wstring text = breit(zeile + "\r\n");
        return WriteConsoleW(h, text.c_str(), static_cast<DWORD>(text.size()), &geschrieben, nullptr) != 0;
    }
    const std::string text = zeile + "\r\n";
    return WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &geschrieben, nullptr) != 0;
}

LRESULT CALLBACK labelProzedur(HWND label, UINT nachricht, WPARAM w, LPARAM l) {
    switch (nachricht) {
    case WM_SETFONT:
        SetWindowLongPtrW(label, GWLP_USERDATA, static_cast<LONG_PTR>(w));
        if (LOWORD(l)) InvalidateRect(label, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return GetWindowLongPtrW(label, GWLP_USERDATA);
    case WM_PAINT: {
        PAINTSTRUCT malen;
        const HDC dc = BeginPaint(label, &malen);
        RECT flaeche;
        GetClientRect(label, &flaeche);
        FillRect(dc, &flaeche, GetSysColorBrush(COLOR_WINDOW));
        const auto schrift = reinterpret_cast<HFONT>(GetWindowLongPtrW(label, GWLP_USERDATA));
        const HGDIOBJ vorher = SelectObject(dc, schrift);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkMode(dc, TRANSPARENT);
        wchar_t text[256];
        const int laenge = GetWindowTextW(label, text, 256);
        DrawTextW(dc, text, laenge, &flaeche, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, vorher);
        EndPaint(label, &malen);
        return 0;
    }
    case WM_DROPFILES: {
        const auto ablage = reinterpret_cast<HDROP>(w);
        std::wstring pfad(DragQueryFileW(ablage, 0, nullptr, 0), L'\0');
        DragQueryFileW(ablage, 0, pfad.data(), static_cast<UINT>(pfad.size() + 1));
        DragFinish(ablage);
        dateiAbgelegt(GetParent(label), pfad);
        return 0;
    }
    default:
        return DefWindowProcW(label, nachricht, w, l);
    }
}

LRESULT CALLBACK formProzedur(HWND form, UINT nachricht, WPARAM w, LPARAM l) {
    switch (nachricht) {
    case WM_NCCREATE: {
        const auto* erstellen = reinterpret_cast<const CREATESTRUCTW*>(l);
        SetWindowLongPtrW(form, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(erstellen->lpCreateParams));
        return DefWindowProcW(form, nachricht, w, l);
    }
    case WM_CREATE: {
        Zustand& zustand = *zustandVon(form);
        const int dpi = systemDpi();
        const HWND label = CreateWindowExW(
            0, kLabelKlasse, breit(kLabelText).c_str(), WS_CHILD | WS_VISIBLE,
            pixelAusTwips(kLabelLinks, dpi), pixelAusTwips(kLabelOben, dpi), pixelAusTwips(kLabelBreite, dpi),
            pixelAusTwips(kLabelHoehe, dpi), form, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLabelId)),
            reinterpret_cast<const CREATESTRUCTW*>(l)->hInstance, nullptr);
        if (label == nullptr) return -1;
        zustand.schrift = schriftErstellen(dpi);
        SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(zustand.schrift), FALSE);
        DragAcceptFiles(label, TRUE);  // only the label takes drops
        return 0;
    }
    case WM_DESTROY:
        // Closed without a run: the program ends normally.
        if (!zustandVon(form)->gelaufen) zustandVon(form)->beendet(0);
        return 0;
    case WM_NCDESTROY: {
        // The last message, after the label is gone.
        Zustand* zustand = zustandVon(form);
        SetWindowLongPtrW(form, GWLP_USERDATA, 0);
        if (zustand != nullptr) DeleteObject(zustand->schrift);
        delete zustand;
        return 0;
    }
    default:
        return DefWindowProcW(form, nachricht, w, l);
    }
}

void klassenAnmelden(HINSTANCE instanz) {
    static bool angemeldet = false;
    if (angemeldet) return;
    angemeldet = true;
    const HICON symbol = LoadIconW(instanz, MAKEINTRESOURCEW(1));

    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = formProzedur;
    form.hInstance = instanz;
    form.hIcon = symbol;
    form.hIconSm = symbol;
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = kFormKlasse;
    RegisterClassExW(&form);

    WNDCLASSEXW label{};
    label.cbSize = sizeof label;
    label.lpfnWndProc = labelProzedur;
    label.hInstance = instanz;
    label.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    label.lpszClassName = kLabelKlasse;
    RegisterClassExW(&label);
}

}  // namespace

HWND form1Erstellen(HINSTANCE instanz, Dateien& dateien, std::function<void(int)> beendet, Tabellenformat* format) {
    klassenAnmelden(instanz);
    const int dpi = systemDpi();
    RECT rahmen{0, 0, pixelAusTwips(kFensterBreite, dpi), pixelAusTwips(kFensterHoehe, dpi)};
    AdjustWindowRectEx(&rahmen, kFormStil, FALSE, 0);
    // The window owns its state from WM_NCCREATE to WM_NCDESTROY.
    auto* zustand = new Zustand{dateien, std::move(beendet), format};
    return CreateWindowExW(0, kFormKlasse, breit(CDB2XLS_PRODUKT).c_str(), kFormStil, CW_USEDEFAULT,
                           CW_USEDEFAULT, rahmen.right - rahmen.left, rahmen.bottom - rahmen.top, nullptr, nullptr,
                           instanz, zustand);
}

HWND label1Von(HWND form1) { return GetDlgItem(form1, kLabelId); }

bool hinweisZeigen(const Hinweis& hinweis, HWND eltern) {
    return MessageBoxW(eltern, breit(hinweis.text()).c_str(), breit(hinweis.Titel).c_str(),
                       MB_OK | MB_ICONSTOP | (eltern == nullptr ? MB_TASKMODAL : MB_APPLMODAL)) != 0;
}

void Win32Meldung::warnung(const std::string& text) {
    zeileSchreiben(GetStdHandle(STD_ERROR_HANDLE), std::string(kProgramm) + ": Warnung: " + text);
}

void Win32Meldung::melden(const Hinweis& hinweis) {
    const std::string zeile = hinweis.zeile();
    const bool geschrieben = zeileSchreiben(GetStdHandle(STD_ERROR_HANDLE), zeile);
    if (hinweisZeigen(hinweis, eltern_) || geschrieben) return;
    // No box and no stderr: the console of a command prompt, if there is one.
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        const HANDLE konsole = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        zeileSchreiben(konsole, zeile);
        if (konsole != INVALID_HANDLE_VALUE) CloseHandle(konsole);
    }
}

}  // namespace cdb2xls::win32

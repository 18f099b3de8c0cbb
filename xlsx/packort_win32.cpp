// The library's place on Windows: the user's temporary folder (GetTempPathW;
// the library's own default, tmpfile(), writes into the drive's root, which
// an ordinary user may not). The library opens its temporary files so that
// Windows deletes them when they are closed, also when the process is ended
// from outside. It packs the workbook into a named file there, which is
// opened for deletion the moment the library has closed it, then read back.
#include "xlsx/packort.h"

#include "system/text_win32.h"

#include <windows.h>

#include <cerrno>
#include <chrono>
#include <random>
#include <string>

namespace cdb2xls {
namespace {

using win32::breit;
using win32::schmal;

// The temporary folder as the library's temporary files need it: it opens
// them through the ANSI API, so the folder's short form where the long one
// does not fit the ANSI code page.
std::string ansiPfad(const std::wstring& ordner) {
    const auto ansi = [](const std::wstring& w, bool& verlustfrei) {
        BOOL ersetzt = FALSE;
        const int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, nullptr, 0, nullptr, &ersetzt);
        std::string a(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
        WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, a.data(), n, nullptr, &ersetzt);
        a.resize(a.size() - 1);
        verlustfrei = !ersetzt;
        return a;
    };
    bool verlustfrei = false;
    std::string a = ansi(ordner, verlustfrei);
    if (verlustfrei) return a;
    std::wstring kurz(MAX_PATH, L'\0');
    kurz.resize(GetShortPathNameW(ordner.c_str(), kurz.data(), MAX_PATH));
    return kurz.empty() ? a : ansi(kurz, verlustfrei);
}

class Win32Packort final : public Packort {
public:
    Win32Packort() {
        wchar_t ordner[MAX_PATH + 1];
        const DWORD n = GetTempPathW(MAX_PATH + 1, ordner);
        if (n == 0 || n > MAX_PATH) throw SchreibFehler("Ordner für Zwischendateien: " + win32::systemGrund(GetLastError()));
        std::wstring breiter(ordner, n);
        if (!breiter.empty() && breiter.back() == L'\\') breiter.pop_back();
        bezeichnung_ = "Ordner für Zwischendateien " + schmal(breiter);
        ordner_ = ansiPfad(breiter);
        std::mt19937_64 zufall(static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                               GetCurrentProcessId());
        name_ = breiter + L"\\cdb2xls-" + std::to_wstring(zufall() % 100000000000ULL) + L".xlsx";
    }
    Win32Packort(const Win32Packort&) = delete;
    Win32Packort& operator=(const Win32Packort&) = delete;
    ~Win32Packort() override {
        if (datei_ != INVALID_HANDLE_VALUE) CloseHandle(datei_);  // and with it the file
    }

    const std::string& zwischenordner() const override { return ordner_; }
    const std::string& bezeichnung() const override { return bezeichnung_; }
    std::int64_t stelle(std::FILE* datei) const override { return _ftelli64(datei); }

    void packen(const std::function<void(const std::string& name)>& schreiben) override {
        try {
            schreiben(schmal(name_));
        } catch (...) {
            DeleteFileW(name_.c_str());
            throw;
        }
        datei_ = CreateFileW(name_.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (datei_ == INVALID_HANDLE_VALUE) {
            const DWORD fehler = GetLastError();
            DeleteFileW(name_.c_str());
            throw SchreibFehler("Arbeitsmappe: " + win32::systemGrund(fehler));
        }
    }

    std::uint64_t groesse() override {
        LARGE_INTEGER g{};
        if (!GetFileSizeEx(datei_, &g)) throw SchreibFehler("Arbeitsmappe: " + win32::systemGrund(GetLastError()));
        return static_cast<std::uint64_t>(g.QuadPart);
    }

    std::size_t lies(std::uint64_t stelle, char* puffer, std::size_t anzahl) override {
        OVERLAPPED wo{};
        wo.Offset = static_cast<DWORD>(stelle);
        wo.OffsetHigh = static_cast<DWORD>(stelle >> 32);
        DWORD gelesen = 0;
        const DWORD hoechstens = static_cast<DWORD>(anzahl > (1u << 30) ? (1u << 30) : anzahl);
        if (!ReadFile(datei_, puffer, hoechstens, &gelesen, &wo)) {
            const DWORD fehler = GetLastError();
            if (fehler == ERROR_HANDLE_EOF) return 0;
            throw SchreibFehler("Arbeitsmappe: " + win32::systemGrund(fehler));
        }
        return gelesen;
    }

private:
    std::string ordner_;       // ANSI, for the library
    std::string bezeichnung_;  // UTF-8, for messages
    std::wstring name_;        // the packed workbook
    HANDLE datei_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<Packort> packortErstellen() { return std::make_unique<Win32Packort>(); }

}  // namespace cdb2xls

#include "app/win32/win32_dateien.h"

#include "ui/win32/text.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <string>

namespace cdb2xls::win32 {
namespace {

class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (gueltig()) CloseHandle(h_);
    }
    HANDLE get() const { return h_; }
    bool gueltig() const { return h_ != INVALID_HANDLE_VALUE; }
    // Closes the handle; false when that failed.
    bool schliessen() {
        const HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return CloseHandle(h) != 0;
    }

private:
    HANDLE h_;
};

constexpr DWORD kHoechstensJeAufruf = 1u << 30;

class Win32Eingabe final : public Eingabe {
public:
    explicit Win32Eingabe(HANDLE h) : h_(h) {}
    std::size_t lies(char* puffer, std::size_t max) override {
        DWORD gelesen = 0;
        const DWORD anzahl = static_cast<DWORD>(std::min<std::size_t>(max, kHoechstensJeAufruf));
        if (!ReadFile(h_.get(), puffer, anzahl, &gelesen, nullptr)) throw LeseFehler(systemGrund(GetLastError()));
        return gelesen;
    }

private:
    Handle h_;
};

class Win32Ausgabe final : public Ausgabe {
public:
    Win32Ausgabe(HANDLE h, std::wstring temporaer, std::wstring ziel)
        : h_(h), temporaer_(std::move(temporaer)), ziel_(std::move(ziel)) {}
    Win32Ausgabe(const Win32Ausgabe&) = delete;
    Win32Ausgabe& operator=(const Win32Ausgabe&) = delete;
    ~Win32Ausgabe() override {
        if (fertig_) return;
        if (h_.gueltig()) h_.schliessen();
        DeleteFileW(temporaer_.c_str());
    }
    void schreibe(const char* daten, std::size_t anzahl) override {
        while (anzahl > 0) {
            DWORD geschrieben = 0;
            const DWORD stueck = static_cast<DWORD>(std::min<std::size_t>(anzahl, kHoechstensJeAufruf));
            if (!WriteFile(h_.get(), daten, stueck, &geschrieben, nullptr)) {
                throw SchreibFehler(systemGrund(GetLastError()));
            }
            daten += geschrieben;
            anzahl -= geschrieben;
        }
    }
    void abschliessen() override {
        if (!h_.schliessen()) throw SchreibFehler(systemGrund(GetLastError()));
        if (!MoveFileExW(temporaer_.c_str(), ziel_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            throw SchreibFehler(systemGrund(GetLastError()));
        }
        fertig_ = true;
    }

private:
    Handle h_;
    std::wstring temporaer_;
    std::wstring ziel_;
    bool fertig_ = false;
};

std::wstring ordnerVon(const std::wstring& pfad) {
    const auto trenner = pfad.find_last_of(L"\\/:");
    if (trenner == std::wstring::npos) return {};
    return pfad.substr(0, trenner + 1);
}

Handle oeffneVorhandene(const std::wstring& pfad) {
    return Handle(CreateFileW(pfad.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

}  // namespace

bool Win32Dateien::istDatei(const std::string& pfad) {
    if (pfad.empty()) return false;
    const DWORD attribute = GetFileAttributesW(breit(pfad).c_str());
    return attribute != INVALID_FILE_ATTRIBUTES && (attribute & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32Dateien::gleicheDatei(const std::string& a, const std::string& b) {
    const Handle ha = oeffneVorhandene(breit(a));
    const Handle hb = oeffneVorhandene(breit(b));
    BY_HANDLE_FILE_INFORMATION ia{}, ib{};
    return ha.gueltig() && hb.gueltig() && GetFileInformationByHandle(ha.get(), &ia) &&
           GetFileInformationByHandle(hb.get(), &ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

std::unique_ptr<Eingabe> Win32Dateien::oeffneEingabe(const std::string& pfad) {
    const HANDLE h = CreateFileW(breit(pfad).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw LeseFehler(systemGrund(GetLastError()));
    return std::make_unique<Win32Eingabe>(h);
}

std::unique_ptr<Ausgabe> Win32Dateien::erstelleAusgabe(const std::string& pfad) {
    const std::wstring ziel = breit(pfad);
    const DWORD attribute = GetFileAttributesW(ziel.c_str());
    if (attribute != INVALID_FILE_ATTRIBUTES && (attribute & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw SchreibFehler(systemGrund(ERROR_ACCESS_DENIED));
    }
    const std::wstring stamm = ordnerVon(ziel) + L"~cdb2xls-" + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (unsigned versuch = 0;; ++versuch) {
        std::wstring temporaer = stamm + std::to_wstring(versuch) + L".tmp";
        const HANDLE h = CreateFileW(temporaer.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (h != INVALID_HANDLE_VALUE) return std::make_unique<Win32Ausgabe>(h, std::move(temporaer), ziel);
        const DWORD fehler = GetLastError();
        if (fehler != ERROR_FILE_EXISTS || versuch == 1000) throw SchreibFehler(systemGrund(fehler));
    }
}

}  // namespace cdb2xls::win32

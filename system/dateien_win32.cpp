// Files on Windows, through the wide API so that any file name works; a
// path too long for the plain API goes as "\\?\" path. The file beside the
// target is marked for deletion from the moment it exists, so that however
// the run ends (Ctrl+C, the console closed, TerminateProcess) the system
// removes it; only when the table is complete is the mark taken off and the
// file renamed over its target through its own handle.
#include "system/systemdateien.h"

#include "system/dacl_win32.h"
#include "system/text_win32.h"

#include <windows.h>


#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace cdb2xls {
namespace {

using win32::breit;
using win32::systemGrund;

class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (gueltig()) CloseHandle(h_);
    }
    HANDLE get() const { return h_; }
    bool gueltig() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
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
// Beyond this length a path needs the "\\?\" form (CreateDirectory's limit,
// the lowest of the plain API's).
constexpr std::size_t kKurzerPfad = 248;

// `pfad` for the wide file API: as it is while short, as full "\\?\" path
// when longer.
std::wstring dateipfad(const std::string& pfad) {
    std::wstring breiter = breit(pfad);
    if (breiter.size() < kKurzerPfad || breiter.rfind(L"\\\\?\\", 0) == 0) return breiter;
    const DWORD n = GetFullPathNameW(breiter.c_str(), 0, nullptr, nullptr);
    if (n == 0) return breiter;
    std::wstring voll(n, L'\0');
    voll.resize(GetFullPathNameW(breiter.c_str(), n, voll.data(), nullptr));
    if (voll.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + voll.substr(2);  // \\server\share
    return L"\\\\?\\" + voll;
}

std::string ordnerVon(const std::string& pfad) {
    const auto trenner = pfad.find_last_of("\\/:");
    return trenner == std::string::npos ? std::string() : pfad.substr(0, trenner + 1);
}

Dateikennung kennungVon(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info)) return {};
    return {info.dwVolumeSerialNumber, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

void schreibeAlles(HANDLE h, const char* daten, std::size_t anzahl) {
    while (anzahl > 0) {
        DWORD geschrieben = 0;
        const DWORD stueck = static_cast<DWORD>(std::min<std::size_t>(anzahl, kHoechstensJeAufruf));
        if (!WriteFile(h, daten, stueck, &geschrieben, nullptr)) throw SchreibFehler(systemGrund(GetLastError()));
        daten += geschrieben;
        anzahl -= geschrieben;
    }
}

bool zumLoeschenMarkieren(HANDLE h, bool loeschen) {
    FILE_DISPOSITION_INFO info{};
    info.DeleteFile = loeschen ? TRUE : FALSE;
    return SetFileInformationByHandle(h, FileDispositionInfo, &info, sizeof info) != 0;
}

class Win32Eingabe final : public Eingabe {
public:
    explicit Win32Eingabe(HANDLE h) : h_(h), kennung_(kennungVon(h)) {}
    std::size_t lies(char* puffer, std::size_t max) override {
        DWORD gelesen = 0;
        const DWORD anzahl = static_cast<DWORD>(std::min<std::size_t>(max, kHoechstensJeAufruf));
        if (!ReadFile(h_.get(), puffer, anzahl, &gelesen, nullptr)) throw LeseFehler(systemGrund(GetLastError()));
        return gelesen;
    }
    // A read at an offset moves the file pointer of a synchronous handle,
    // so it is put back where the sequential reads go on.
    std::size_t liesAb(std::uint64_t stelle, char* puffer, std::size_t max) override {
        LARGE_INTEGER null{}, bisher{};
        if (!SetFilePointerEx(h_.get(), null, &bisher, FILE_CURRENT)) throw LeseFehler(systemGrund(GetLastError()));
        OVERLAPPED wo{};
        wo.Offset = static_cast<DWORD>(stelle);
        wo.OffsetHigh = static_cast<DWORD>(stelle >> 32);
        DWORD gelesen = 0;
        const DWORD anzahl = static_cast<DWORD>(std::min<std::size_t>(max, kHoechstensJeAufruf));
        const bool gelungen = ReadFile(h_.get(), puffer, anzahl, &gelesen, &wo) || GetLastError() == ERROR_HANDLE_EOF;
        const DWORD fehler = GetLastError();
        if (!SetFilePointerEx(h_.get(), bisher, nullptr, FILE_BEGIN)) throw LeseFehler(systemGrund(GetLastError()));
        if (!gelungen) throw LeseFehler(systemGrund(fehler));
        return gelesen;
    }
    Dateikennung kennung() const override { return kennung_; }

private:
    Handle h_;
    Dateikennung kennung_;
};

class Win32Vorhandene final : public VorhandeneDatei {
public:
    explicit Win32Vorhandene(HANDLE h) : h_(h) {}
    void schreibe(const char* daten, std::size_t anzahl) override { schreibeAlles(h_.get(), daten, anzahl); }
    void schliessen() override {
        if (h_.gueltig() && !h_.schliessen()) throw SchreibFehler(systemGrund(GetLastError()));
    }
    Dateikennung kennung() const override { return kennungVon(h_.get()); }
    bool regulaer() const override { return GetFileType(h_.get()) == FILE_TYPE_DISK; }
    bool ersetzbar() const override { return true; }
    void leeren() override {
        if (SetFilePointer(h_.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER || !SetEndOfFile(h_.get())) {
            throw SchreibFehler(systemGrund(GetLastError()));
        }
    }
    void zwischenspeicherAufgeben() override {}  // Windows has no call for one file
    HANDLE handle() const { return h_.get(); }
    DWORD attribute() const {
        BY_HANDLE_FILE_INFORMATION info{};
        return GetFileInformationByHandle(h_.get(), &info) ? info.dwFileAttributes : FILE_ATTRIBUTE_NORMAL;
    }

private:
    Handle h_;
};

class Win32Zwischendatei final : public Zwischendatei {
public:
    Win32Zwischendatei(HANDLE h, std::wstring pfad, bool markiert)
        : h_(h), pfad_(std::move(pfad)), markiert_(markiert) {}
    Win32Zwischendatei(const Win32Zwischendatei&) = delete;
    Win32Zwischendatei& operator=(const Win32Zwischendatei&) = delete;
    ~Win32Zwischendatei() override {
        if (fertig_) return;
        if (h_.gueltig()) h_.schliessen();  // a marked file goes with its handle
        if (!markiert_) DeleteFileW(pfad_.c_str());
    }

    void schreibe(const char* daten, std::size_t anzahl) override { schreibeAlles(h_.get(), daten, anzahl); }
    bool benennen(const std::string&) override { return true; }

    // The earlier file's attributes (hidden, archive …) go over, and so does
    // its DACL, as ReplaceFileW keeps it: a table shared with one colleague,
    // or made private, stays so. A protected DACL stays protected; one that
    // inherits goes on inheriting from the folder.
    void eigenschaftenVon(const VorhandeneDatei& vorbild) override {
        const auto& alt = static_cast<const Win32Vorhandene&>(vorbild);
        FILE_BASIC_INFO info{};
        info.FileAttributes = alt.attribute() & ~FILE_ATTRIBUTE_READONLY;
        if (info.FileAttributes == 0) info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        SetFileInformationByHandle(h_.get(), FileBasicInfo, &info, sizeof info);

        const DWORD fehler = win32::daclUebertragen(alt.handle(), h_.get());
        if (fehler != ERROR_SUCCESS) throw SchreibFehler(systemGrund(fehler));
    }

    // Stays open: it is renamed through its handle.
    void schliessen() override {}

    void ersetze(const std::string& ziel) override {
        if (markiert_ && !zumLoeschenMarkieren(h_.get(), false)) throw SchreibFehler(systemGrund(GetLastError()));
        markiert_ = false;
        const std::wstring nach = dateipfad(ziel);
        std::vector<char> speicher(sizeof(FILE_RENAME_INFO) + (nach.size() + 1) * sizeof(wchar_t));
        auto* umbenennen = reinterpret_cast<FILE_RENAME_INFO*>(speicher.data());
        umbenennen->ReplaceIfExists = TRUE;
        umbenennen->RootDirectory = nullptr;
        umbenennen->FileNameLength = static_cast<DWORD>(nach.size() * sizeof(wchar_t));
        std::memcpy(umbenennen->FileName, nach.c_str(), (nach.size() + 1) * sizeof(wchar_t));
        if (!SetFileInformationByHandle(h_.get(), FileRenameInfo, umbenennen, static_cast<DWORD>(speicher.size()))) {
            throw SchreibFehler(systemGrund(GetLastError()));
        }
        fertig_ = true;
        if (!h_.schliessen()) throw SchreibFehler(systemGrund(GetLastError()));
    }

private:
    Handle h_;
    std::wstring pfad_;
    bool markiert_;  // removed by the system when its handle closes
    bool fertig_ = false;
};

}  // namespace

Dateiart SystemDateien::art(const std::string& pfad) {
    if (pfad.empty()) return Dateiart::Fehlt;
    const DWORD attribute = GetFileAttributesW(dateipfad(pfad).c_str());
    if (attribute == INVALID_FILE_ATTRIBUTES) return Dateiart::Fehlt;
    return (attribute & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Dateiart::Ordner : Dateiart::Datei;
}

std::unique_ptr<Eingabe> SystemDateien::oeffneEingabe(const std::string& pfad) {
    // Not shared for deletion: nothing can rename over the input while it is read.
    const HANDLE h = CreateFileW(dateipfad(pfad).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw LeseFehler(systemGrund(GetLastError()));
    return std::make_unique<Win32Eingabe>(h);
}

std::string SystemDateien::ersetzungsziel(const std::string& pfad) { return pfad; }

std::unique_ptr<VorhandeneDatei> SystemDateien::oeffneVorhandene(const std::string& pfad) {
    const HANDLE h = CreateFileW(dateipfad(pfad).c_str(), GENERIC_WRITE | READ_CONTROL,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD fehler = GetLastError();
        if (fehler == ERROR_FILE_NOT_FOUND) return nullptr;
        throw SchreibFehler(systemGrund(fehler));
    }
    return std::make_unique<Win32Vorhandene>(h);
}

std::optional<Dateikennung> SystemDateien::kennung(const std::string& pfad) {
    const Handle h(CreateFileW(dateipfad(pfad).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                               nullptr));
    if (!h.gueltig()) return std::nullopt;
    return kennungVon(h.get());
}

std::unique_ptr<Zwischendatei> SystemDateien::erstelleUnbenannte(const std::string&, bool) { return nullptr; }

std::unique_ptr<Zwischendatei> SystemDateien::erstelleBenannte(const std::string& neben, const std::string& name,
                                                             bool) {
    std::wstring pfad = dateipfad(ordnerVon(neben) + name);
    const HANDLE h = CreateFileW(pfad.c_str(), GENERIC_WRITE | DELETE | WRITE_DAC, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD fehler = GetLastError();
        if (fehler == ERROR_FILE_EXISTS || fehler == ERROR_ALREADY_EXISTS) return nullptr;
        if (fehler == ERROR_ACCESS_DENIED) throw OrdnerVerweigert(systemGrund(fehler));
        throw SchreibFehler(systemGrund(fehler));
    }
    return std::make_unique<Win32Zwischendatei>(h, std::move(pfad), zumLoeschenMarkieren(h, true));
}

}  // namespace cdb2xls

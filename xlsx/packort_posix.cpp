// The library's place on Linux: $TMPDIR, its temporary files and the packed
// workbook without a name there, so that nothing of them is left however a
// run ends.
#include "xlsx/packort.h"

#include "convert/dateien.h"
#include "system/signale_posix.h"
#include "system/systemgrund_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace cdb2xls {
namespace {

// The folder for the library's temporary files and the packed workbook:
// $TMPDIR, else /tmp. A folder that cannot serve is said at once, by name.
//
// The packed workbook: where the system allows, a file without a name
// (O_TMPFILE), which the library opens through its link in /proc: nothing of
// it is left, however the run ends, even by SIGKILL. Otherwise a file in a
// private folder that mkdtemp makes only when the workbook is packed, under
// a name no one knew before, while the signals that end a run are held
// back; a SIGKILL then may leave that folder.
class PosixPackort final : public Packort {
public:
    PosixPackort() {
        const char* tmp = std::getenv("TMPDIR");
        const bool gesetzt = tmp != nullptr && *tmp != '\0';
        ordner_ = gesetzt ? tmp : "/tmp";
        bezeichnung_ = "Ordner für Zwischendateien " + ordner_ + (gesetzt ? " (TMPDIR)" : "");
        struct stat info {};
        if (::stat(ordner_.c_str(), &info) != 0) fehler(errno);
        if (!S_ISDIR(info.st_mode)) fehler(ENOTDIR);
        if (::access(ordner_.c_str(), W_OK | X_OK) != 0) fehler(errno);

        fd_ = ::open(ordner_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd_ < 0) {
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) fehler(errno);
            return;
        }
        name_ = "/proc/self/fd/" + std::to_string(fd_);
        if (::access(name_.c_str(), W_OK) != 0) {  // without /proc
            ::close(fd_);
            fd_ = -1;
            name_.clear();
        }
    }
    PosixPackort(const PosixPackort&) = delete;
    PosixPackort& operator=(const PosixPackort&) = delete;
    ~PosixPackort() override {
        if (fd_ >= 0) ::close(fd_);
        wegraeumen();
    }

    const std::string& zwischenordner() const override { return ordner_; }

    void packen(const std::function<void(const std::string& name)>& schreiben) override {
        if (fd_ >= 0) {
            schreiben(name_);
            return;
        }
        const SignaleZurueck zurueck;  // while the workbook file has a name
        std::string vorlage = ordner_ + "/cdb2xls-XXXXXX";
        if (::mkdtemp(vorlage.data()) == nullptr) fehler(errno);
        privat_ = vorlage;
        name_ = privat_ + "/mappe.xlsx";
        try {
            schreiben(name_);
        } catch (...) {
            wegraeumen();
            throw;
        }
        fd_ = ::open(name_.c_str(), O_RDONLY | O_CLOEXEC);
        const int grund = errno;
        wegraeumen();
        if (fd_ < 0) throw SchreibFehler("Arbeitsmappe: " + systemGrund(grund));
    }

    std::uint64_t groesse() override {
        struct stat info {};
        if (::fstat(fd_, &info) != 0) throw SchreibFehler("Arbeitsmappe: " + systemGrund(errno));
        return static_cast<std::uint64_t>(info.st_size);
    }

    std::size_t lies(std::uint64_t stelle, char* puffer, std::size_t anzahl) override {
        for (;;) {
            const ssize_t n = ::pread(fd_, puffer, anzahl, static_cast<off_t>(stelle));
            if (n >= 0) return static_cast<std::size_t>(n);
            if (errno != EINTR) throw SchreibFehler("Arbeitsmappe: " + systemGrund(errno));
        }
    }

    const std::string& bezeichnung() const override { return bezeichnung_; }
    std::int64_t stelle(std::FILE* datei) const override { return ::ftello(datei); }

private:
    void wegraeumen() {
        if (privat_.empty()) return;
        ::unlink(name_.c_str());
        ::rmdir(privat_.c_str());
        privat_.clear();
    }

    std::string ordner_;
    std::string bezeichnung_;  // for messages
    int fd_ = -1;
    std::string name_;    // where the library writes the packed workbook
    std::string privat_;  // the private folder while it exists
};

}  // namespace

std::unique_ptr<Packort> packortErstellen() { return std::make_unique<PosixPackort>(); }

}  // namespace cdb2xls

// The library's temporary files (the rows, each part while it is packed),
// made here in its stead: the library calls this function of its own
// through the dynamic linker, and the module that loads it comes first.
// Made without a name (O_TMPFILE), none is left however the run ends, even
// by SIGKILL; the library's own way names each file for a moment. Where the
// folder has no such files, the library's way: a unique name, removed at once.
extern "C" __attribute__((visibility("default"))) FILE* lxw_tmpfile(char* tmpdir) {
    const std::string ordner = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : P_tmpdir;
    int fd = ::open(ordner.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        std::string vorlage = ordner + "/cdb2xls-XXXXXX";
        fd = ::mkostemp(vorlage.data(), O_CLOEXEC);
        if (fd >= 0) ::unlink(vorlage.c_str());
    }
    if (fd < 0) return nullptr;
    std::FILE* datei = ::fdopen(fd, "w+b");
    if (datei == nullptr) ::close(fd);
    return datei;
}

// Files on a POSIX system (Linux). The file beside the target is made in the
// target's folder through a descriptor of that folder, so that the long
// names a folder path may have cost nothing, and has no name until the
// table is complete where the file system allows (O_TMPFILE).
#include "system/systemdateien.h"

#include "system/signale_posix.h"
#include "system/systemgrund_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace cdb2xls {
namespace {

class Dateideskriptor {
public:
    explicit Dateideskriptor(int fd = -1) : fd_(fd) {}
    Dateideskriptor(const Dateideskriptor&) = delete;
    Dateideskriptor& operator=(const Dateideskriptor&) = delete;
    ~Dateideskriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    int freigeben() { return std::exchange(fd_, -1); }
    // Closes the file; throws SchreibFehler with the error of close().
    void schliessen() {
        const int fd = std::exchange(fd_, -1);
        if (fd >= 0 && ::close(fd) != 0) throw SchreibFehler(systemGrund(errno));
    }

private:
    int fd_;
};

Dateikennung kennungAus(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

struct stat statVon(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) throw SchreibFehler(systemGrund(errno));
    return info;
}

void schreibeAlles(int fd, const char* daten, std::size_t anzahl) {
    while (anzahl > 0) {
        const ssize_t n = ::write(fd, daten, anzahl);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw SchreibFehler(systemGrund(errno));
        }
        daten += n;
        anzahl -= static_cast<std::size_t>(n);
    }
}

// An access ACL goes over with the permission bits: where a file has one,
// its group bits are the ACL's mask, and the bits alone would give the group
// what the mask allows and take from the named users what they had.
void aclKopieren(int von, int nach) {
    constexpr char kAcl[] = "system.posix_acl_access";
    std::vector<char> acl(256);
    ssize_t n;
    while ((n = ::fgetxattr(von, kAcl, acl.data(), acl.size())) < 0 && errno == ERANGE) acl.resize(acl.size() * 4);
    if (n < 0) {
        if (errno == ENODATA || errno == ENOTSUP) return;  // no ACL, or none on this file system
        throw SchreibFehler(systemGrund(errno));
    }
    if (::fsetxattr(nach, kAcl, acl.data(), static_cast<std::size_t>(n), 0) != 0) throw SchreibFehler(systemGrund(errno));
}

// A named file beside the target is removed when SIGINT, SIGTERM or SIGHUP
// ends the run; the signal then ends the program as it would have. Only
// what a signal handler may touch is kept here: the folder's descriptor and
// the name. One run per process, so one file at a time.
namespace aufraeumen {

volatile std::sig_atomic_t aktiv = 0;
int ordner = -1;
char name[64];

extern "C" void beiSignal(int signal) {
    if (aktiv) ::unlinkat(ordner, name, 0);
    std::raise(signal);  // default action again (SA_RESETHAND), once the handler returns
}

void handlerEinrichten() {
    static bool eingerichtet = false;
    if (eingerichtet) return;
    eingerichtet = true;
    for (const int signal : SignaleZurueck::kSignale) {
        struct sigaction bisher {};
        ::sigaction(signal, nullptr, &bisher);
        if (bisher.sa_handler == SIG_IGN) continue;  // e.g. SIGHUP under nohup
        struct sigaction neu {};
        neu.sa_handler = beiSignal;
        neu.sa_flags = SA_RESETHAND;
        sigemptyset(&neu.sa_mask);
        ::sigaction(signal, &neu, nullptr);
    }
}

void merken(int ordnerFd, const std::string& dateiname) {
    handlerEinrichten();
    aktiv = 0;
    ordner = ordnerFd;
    std::strncpy(name, dateiname.c_str(), sizeof name - 1);
    aktiv = 1;
}

void vergessen() { aktiv = 0; }

}  // namespace aufraeumen

// As many links in a row as Linux follows (its MAXSYMLINKS).
constexpr int kHoechsteVerweise = 40;

std::string ordnerVon(const std::string& pfad) {
    const auto strich = pfad.rfind('/');
    if (strich == std::string::npos) return ".";
    if (strich == 0) return "/";
    return pfad.substr(0, strich);
}

std::string nameVon(const std::string& pfad) {
    const auto strich = pfad.rfind('/');
    return strich == std::string::npos ? pfad : pfad.substr(strich + 1);
}

// The target's folder, for the *at() calls. A folder that lets no new file
// in shows only when one is made there.
int oeffneOrdner(const std::string& neben) {
    const int fd = ::open(ordnerVon(neben).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw SchreibFehler(systemGrund(errno));
    return fd;
}

[[noreturn]] void erstellenFehlgeschlagen(int fehler) {
    if (fehler == EACCES || fehler == EPERM) throw OrdnerVerweigert(systemGrund(fehler));
    throw SchreibFehler(systemGrund(fehler));
}

class PosixEingabe final : public Eingabe {
public:
    PosixEingabe(int fd, Dateikennung kennung) : fd_(fd), kennung_(kennung) {}
    std::size_t lies(char* puffer, std::size_t max) override {
        for (;;) {
            const ssize_t n = ::read(fd_.get(), puffer, max);
            if (n >= 0) return static_cast<std::size_t>(n);
            if (errno != EINTR) throw LeseFehler(systemGrund(errno));
        }
    }
    std::size_t liesAb(std::uint64_t stelle, char* puffer, std::size_t max) override {
        for (;;) {
            const ssize_t n = ::pread(fd_.get(), puffer, max, static_cast<off_t>(stelle));
            if (n >= 0) return static_cast<std::size_t>(n);
            if (errno != EINTR) throw LeseFehler(systemGrund(errno));
        }
    }
    Dateikennung kennung() const override { return kennung_; }

private:
    Dateideskriptor fd_;
    Dateikennung kennung_;
};

class PosixVorhandene final : public VorhandeneDatei {
public:
    PosixVorhandene(int fd, bool ersetzbar) : fd_(fd), info_(statVon(fd)), ersetzbar_(ersetzbar) {}
    void schreibe(const char* daten, std::size_t anzahl) override { schreibeAlles(fd_.get(), daten, anzahl); }
    void schliessen() override { fd_.schliessen(); }
    Dateikennung kennung() const override { return kennungAus(info_); }
    bool regulaer() const override { return S_ISREG(info_.st_mode); }
    bool ersetzbar() const override { return ersetzbar_; }
    void leeren() override {
        if (::ftruncate(fd_.get(), 0) != 0) throw SchreibFehler(systemGrund(errno));
    }
    void zwischenspeicherAufgeben() override { ::posix_fadvise(fd_.get(), 0, 0, POSIX_FADV_DONTNEED); }
    const struct stat& info() const { return info_; }
    int fd() const { return fd_.get(); }

private:
    Dateideskriptor fd_;
    struct stat info_;
    bool ersetzbar_;
};

class PosixZwischendatei final : public Zwischendatei {
public:
    // `name` is empty for a file without a name.
    PosixZwischendatei(int ordner, int fd, std::string name) : ordner_(ordner), fd_(fd), name_(std::move(name)) {
        if (!name_.empty()) aufraeumen::merken(ordner_.get(), name_);
    }
    PosixZwischendatei(const PosixZwischendatei&) = delete;
    PosixZwischendatei& operator=(const PosixZwischendatei&) = delete;
    ~PosixZwischendatei() override {
        if (name_.empty()) return;
        SignaleZurueck zurueck;
        ::unlinkat(ordner_.get(), name_.c_str(), 0);
        aufraeumen::vergessen();
    }

    void schreibe(const char* daten, std::size_t anzahl) override {
        schreibeAlles(fd_.get(), daten, anzahl);
        geschrieben_ += anzahl;
        // Write-behind: the disk starts on each few MiB as soon as they are
        // written, while the run goes on. Otherwise all of it would be
        // written at the end, and waited for: ext4 writes out a file renamed
        // over another before the rename returns. Only a hint; where the
        // system does not take it, the data is written later as ever.
        if (geschrieben_ - angestossen_ >= kSchub) {
            ::sync_file_range(fd_.get(), static_cast<off_t>(angestossen_), static_cast<off_t>(geschrieben_ - angestossen_),
                              SYNC_FILE_RANGE_WRITE);
            angestossen_ = geschrieben_;
        }
    }

    bool benennen(const std::string& name) override {
        if (!name_.empty()) return true;
        // Settled possible when the file was made: its link in /proc is there.
        const std::string verweis = "/proc/self/fd/" + std::to_string(fd_.get());
        SignaleZurueck zurueck;
        if (::linkat(AT_FDCWD, verweis.c_str(), ordner_.get(), name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST) return false;
            throw SchreibFehler(systemGrund(errno));
        }
        name_ = name;
        aufraeumen::merken(ordner_.get(), name_);
        return true;
    }

    void eigenschaftenVon(const VorhandeneDatei& vorbild) override {
        const struct stat& alt = static_cast<const PosixVorhandene&>(vorbild).info();
        const struct stat neu = statVon(fd_.get());
        // The owner first: a change of owner may clear the set-ID bits. Where
        // the process may not give the file away, the group may still go over.
        if ((neu.st_uid != alt.st_uid || neu.st_gid != alt.st_gid) && ::fchown(fd_.get(), alt.st_uid, alt.st_gid) != 0) {
            [[maybe_unused]] const int gruppe = ::fchown(fd_.get(), static_cast<uid_t>(-1), alt.st_gid);
        }
        if (::fchmod(fd_.get(), alt.st_mode & 07777) != 0) throw SchreibFehler(systemGrund(errno));
        aclKopieren(static_cast<const PosixVorhandene&>(vorbild).fd(), fd_.get());
    }

    void schliessen() override { fd_.schliessen(); }

    void ersetze(const std::string& ziel) override {
        SignaleZurueck zurueck;
        if (::renameat(ordner_.get(), name_.c_str(), ordner_.get(), nameVon(ziel).c_str()) != 0) {
            throw SchreibFehler(systemGrund(errno));
        }
        name_.clear();
        aufraeumen::vergessen();
    }

private:
    static constexpr std::uint64_t kSchub = 4 * 1024 * 1024;

    Dateideskriptor ordner_;
    Dateideskriptor fd_;
    std::string name_;  // empty while the file has no name, and once it replaced its target
    std::uint64_t geschrieben_ = 0;
    std::uint64_t angestossen_ = 0;  // where writeback was last started up to
};

}  // namespace

Dateiart SystemDateien::art(const std::string& pfad) {
    struct stat info {};
    if (pfad.empty() || ::stat(pfad.c_str(), &info) != 0) return Dateiart::Fehlt;
    if (S_ISREG(info.st_mode)) return Dateiart::Datei;
    if (S_ISDIR(info.st_mode)) return Dateiart::Ordner;
    if (S_ISFIFO(info.st_mode)) return Dateiart::Pipe;
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return Dateiart::Geraet;
    return Dateiart::Andere;
}

std::unique_ptr<Eingabe> SystemDateien::oeffneEingabe(const std::string& pfad) {
    Dateideskriptor fd(::open(pfad.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) throw LeseFehler(systemGrund(errno));
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) throw LeseFehler(systemGrund(errno));
    ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::make_unique<PosixEingabe>(fd.freigeben(), kennungAus(info));
}

std::string SystemDateien::ersetzungsziel(const std::string& pfad) {
    std::string ziel = pfad;
    // A chain of links is followed as the system follows it, so far.
    for (int schritt = 0; schritt < kHoechsteVerweise; ++schritt) {
        struct stat info {};
        if (::lstat(ziel.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return ziel;
        char echt[PATH_MAX];
        if (::realpath(ziel.c_str(), echt) != nullptr) return echt;
        if (errno != ENOENT) return pfad;  // a loop, a path too long: opening it will say so
        // A dangling link: the table is made where it points.
        std::vector<char> inhalt(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : PATH_MAX) + 1);
        const ssize_t n = ::readlink(ziel.c_str(), inhalt.data(), inhalt.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= inhalt.size()) return pfad;
        const std::string wohin(inhalt.data(), static_cast<std::size_t>(n));
        ziel = wohin[0] == '/' ? wohin : ordnerVon(ziel) + "/" + wohin;
    }
    return pfad;
}

std::unique_ptr<VorhandeneDatei> SystemDateien::oeffneVorhandene(const std::string& pfad) {
    Dateideskriptor fd(::open(pfad.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        if (errno == ENOENT) return nullptr;
        throw SchreibFehler(systemGrund(errno));
    }
    // In a sticky folder (such as /tmp) only the owner of the file or of the
    // folder may rename over the file, and root.
    const uid_t ich = ::geteuid();
    struct stat ordner {};
    const bool ersetzbar = ich == 0 || ::stat(ordnerVon(pfad).c_str(), &ordner) != 0 ||
                           (ordner.st_mode & S_ISVTX) == 0 || ordner.st_uid == ich ||
                           statVon(fd.get()).st_uid == ich;
    return std::make_unique<PosixVorhandene>(fd.freigeben(), ersetzbar);
}

std::optional<Dateikennung> SystemDateien::kennung(const std::string& pfad) {
    struct stat info {};
    if (::lstat(pfad.c_str(), &info) != 0) return std::nullopt;
    return kennungAus(info);
}

std::unique_ptr<Zwischendatei> SystemDateien::erstelleUnbenannte(const std::string& neben, bool privat) {
    Dateideskriptor ordner(oeffneOrdner(neben));
    Dateideskriptor fd(::openat(ordner.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, privat ? 0600 : 0666));
    if (fd.get() < 0) {
        if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) return nullptr;  // not on this file system
        erstellenFehlgeschlagen(errno);
    }
    // It is named at the end through its link in /proc; without /proc a
    // named file serves instead.
    const std::string verweis = "/proc/self/fd/" + std::to_string(fd.get());
    if (::access(verweis.c_str(), F_OK) != 0) return nullptr;
    return std::make_unique<PosixZwischendatei>(ordner.freigeben(), fd.freigeben(), std::string());
}

std::unique_ptr<Zwischendatei> SystemDateien::erstelleBenannte(const std::string& neben, const std::string& name,
                                                             bool privat) {
    Dateideskriptor ordner(oeffneOrdner(neben));
    SignaleZurueck zurueck;
    const int fd = ::openat(ordner.get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, privat ? 0600 : 0666);
    if (fd < 0) {
        if (errno == EEXIST) return nullptr;
        erstellenFehlgeschlagen(errno);
    }
    return std::make_unique<PosixZwischendatei>(ordner.freigeben(), fd, name);
}

}  // namespace cdb2xls

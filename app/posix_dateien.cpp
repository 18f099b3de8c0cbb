#include "posix_dateien.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

namespace cdb2xls {
namespace {

std::string systemGrund(int fehler) { return std::strerror(fehler); }

class Dateideskriptor {
public:
    explicit Dateideskriptor(int fd = -1) : fd_(fd) {}
    Dateideskriptor(const Dateideskriptor&) = delete;
    Dateideskriptor& operator=(const Dateideskriptor&) = delete;
    ~Dateideskriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes the file and returns 0, or the error of close().
    int schliessen() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_;
};

class PosixEingabe final : public Eingabe {
public:
    explicit PosixEingabe(int fd) : fd_(fd) {}
    std::size_t lies(char* puffer, std::size_t max) override {
        for (;;) {
            const ssize_t n = ::read(fd_.get(), puffer, max);
            if (n >= 0) return static_cast<std::size_t>(n);
            if (errno != EINTR) throw LeseFehler(systemGrund(errno));
        }
    }

private:
    Dateideskriptor fd_;
};

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

// Writes straight into an existing file that is not a regular file (a device,
// a FIFO), where a rename would not make sense.
class DirekteAusgabe final : public Ausgabe {
public:
    explicit DirekteAusgabe(int fd) : fd_(fd) {}
    void schreibe(const char* daten, std::size_t anzahl) override {
        schreibeAlles(fd_.get(), daten, anzahl);
    }
    void abschliessen() override {
        if (const int fehler = fd_.schliessen()) throw SchreibFehler(systemGrund(fehler));
    }

private:
    Dateideskriptor fd_;
};

// A fresh name beside the target for the table while it is written:
// ".NAME.PID-N.tmp".
class TemporaereNamen {
public:
    explicit TemporaereNamen(std::string stamm) : stamm_(std::move(stamm)) {}
    std::string naechster() { return stamm_ + std::to_string(versuch_++) + ".tmp"; }
    bool nochEinVersuch() const { return versuch_ < 1000; }

private:
    std::string stamm_;
    unsigned versuch_ = 0;
};

// Writes the table into a file of its own beside the target; abschliessen()
// renames it over the target, and the destructor removes it if that never
// happened. Where the file system allows, the file has no name until the
// table is complete, so not even a killed run leaves anything behind.
class ErsetzendeAusgabe final : public Ausgabe {
public:
    ErsetzendeAusgabe(int fd, std::string temporaer, std::string ziel, std::string stamm)
        : fd_(fd), temporaer_(std::move(temporaer)), ziel_(std::move(ziel)), namen_(std::move(stamm)) {}
    ErsetzendeAusgabe(const ErsetzendeAusgabe&) = delete;
    ErsetzendeAusgabe& operator=(const ErsetzendeAusgabe&) = delete;
    ~ErsetzendeAusgabe() override {
        if (!fertig_ && !temporaer_.empty()) ::unlink(temporaer_.c_str());
    }
    void schreibe(const char* daten, std::size_t anzahl) override {
        schreibeAlles(fd_.get(), daten, anzahl);
    }
    void abschliessen() override {
        if (temporaer_.empty()) benennen();
        if (const int fehler = fd_.schliessen()) throw SchreibFehler(systemGrund(fehler));
        if (::rename(temporaer_.c_str(), ziel_.c_str()) != 0) throw SchreibFehler(systemGrund(errno));
        fertig_ = true;
    }

private:
    // Gives the unnamed file its temporary name, through its /proc link.
    void benennen() {
        const std::string verweis = "/proc/self/fd/" + std::to_string(fd_.get());
        for (;;) {
            std::string name = namen_.naechster();
            if (::linkat(AT_FDCWD, verweis.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                temporaer_ = std::move(name);
                return;
            }
            if (errno != EEXIST || !namen_.nochEinVersuch()) throw SchreibFehler(systemGrund(errno));
        }
    }

    Dateideskriptor fd_;
    std::string temporaer_;  // empty while the file has no name
    std::string ziel_;
    TemporaereNamen namen_;
    bool fertig_ = false;
};

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

// A link to a regular file is replaced at its target, so the link stays.
std::string ersetzbaresZiel(const std::string& pfad) {
    struct stat info {};
    if (::lstat(pfad.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return pfad;
    char echt[PATH_MAX];
    if (::realpath(pfad.c_str(), echt) == nullptr) return pfad;
    return echt;
}

}  // namespace

bool PosixDateien::istDatei(const std::string& pfad) {
    struct stat info {};
    return !pfad.empty() && ::stat(pfad.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool PosixDateien::gleicheDatei(const std::string& a, const std::string& b) {
    struct stat ia {}, ib {};
    return ::stat(a.c_str(), &ia) == 0 && ::stat(b.c_str(), &ib) == 0 && ia.st_dev == ib.st_dev &&
           ia.st_ino == ib.st_ino;
}

std::unique_ptr<Eingabe> PosixDateien::oeffneEingabe(const std::string& pfad) {
    const int fd = ::open(pfad.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw LeseFehler(systemGrund(errno));
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::make_unique<PosixEingabe>(fd);
}

std::unique_ptr<Ausgabe> PosixDateien::erstelleAusgabe(const std::string& pfad) {
    struct stat info {};
    if (::stat(pfad.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        if (S_ISDIR(info.st_mode)) throw SchreibFehler(systemGrund(EISDIR));
        const int fd = ::open(pfad.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd < 0) throw SchreibFehler(systemGrund(errno));
        return std::make_unique<DirekteAusgabe>(fd);
    }

    const std::string ziel = ersetzbaresZiel(pfad);
    const std::string ordner = ordnerVon(ziel);
    const std::string stamm = ordner + "/." + nameVon(ziel) + "." + std::to_string(::getpid()) + "-";

    const int unbenannt = ::open(ordner.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (unbenannt >= 0) return std::make_unique<ErsetzendeAusgabe>(unbenannt, std::string(), ziel, stamm);
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) throw SchreibFehler(systemGrund(errno));

    // No unnamed files here: a named temporary file instead.
    TemporaereNamen namen(stamm);
    for (;;) {
        std::string temporaer = namen.naechster();
        const int fd = ::open(temporaer.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return std::make_unique<ErsetzendeAusgabe>(fd, std::move(temporaer), ziel, stamm);
        if (errno != EEXIST || !namen.nochEinVersuch()) throw SchreibFehler(systemGrund(errno));
    }
}

}  // namespace cdb2xls

// The workbook module, with libxlsxwriter in its constant-memory mode: each
// row goes to the library's temporary file as it is complete, so memory
// stays flat however long the table. The library packs the finished
// workbook into a file of its own under $TMPDIR; from there, once checked,
// it is copied into the output the core made beside the target, which
// replaces an earlier file only when complete.
#include "xlsx/arbeitsmappe.h"

#include "system/signale_posix.h"
#include "system/systemgrund_posix.h"
#include "xlsx/mappenpruefung.h"
#include "xlsx/zelltext.h"

#include <xlsxwriter.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace cdb2xls {
namespace {

constexpr std::size_t kZeilen = 1048576;  // the format's limits
constexpr std::size_t kSpalten = 16384;
constexpr char kBlattTeil[] = "xl/worksheets/sheet1.xml";

// The folder for the library's temporary files and the packed workbook:
// $TMPDIR, else /tmp. A folder that cannot serve is said at once, by name.
class Zwischenordner {
public:
    Zwischenordner() {
        const char* tmp = std::getenv("TMPDIR");
        const bool gesetzt = tmp != nullptr && *tmp != '\0';
        pfad_ = gesetzt ? tmp : "/tmp";
        bezeichnung_ = "Ordner für Zwischendateien " + pfad_ + (gesetzt ? " (TMPDIR)" : "");
        struct stat info {};
        if (::stat(pfad_.c_str(), &info) != 0) fehler(errno);
        if (!S_ISDIR(info.st_mode)) fehler(ENOTDIR);
        if (::access(pfad_.c_str(), W_OK | X_OK) != 0) fehler(errno);
    }
    const std::string& pfad() const { return pfad_; }
    [[noreturn]] void fehler(int grund) const { throw SchreibFehler(bezeichnung_ + ": " + systemGrund(grund)); }

private:
    std::string pfad_;
    std::string bezeichnung_;  // for messages
};

// The file the library packs the workbook into. Where the system allows, a
// file without a name (O_TMPFILE), which the library opens through its link
// in /proc: nothing of it is left, however the run ends, even by SIGKILL.
// Otherwise a file in a private folder that mkdtemp makes only when the
// workbook is packed, under a name no one knew before, while the signals
// that end a run are held back; a SIGKILL then may leave that folder.
class Packdatei {
public:
    explicit Packdatei(const Zwischenordner& ordner) : ordner_(ordner) {
        fd_ = ::open(ordner.pfad().c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd_ < 0) {
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) ordner.fehler(errno);
            return;
        }
        name_ = "/proc/self/fd/" + std::to_string(fd_);
        if (::access(name_.c_str(), W_OK) != 0) {  // without /proc
            ::close(fd_);
            fd_ = -1;
            name_.clear();
        }
    }
    Packdatei(const Packdatei&) = delete;
    Packdatei& operator=(const Packdatei&) = delete;
    ~Packdatei() {
        if (fd_ >= 0) ::close(fd_);
        wegraeumen();
    }

    // The name the library writes to: known from the start for a file
    // without a name, otherwise empty until packen().
    const std::string& name() const { return name_; }

    // Runs `schreiben(name)`, which writes the packed workbook under `name`,
    // and opens what it wrote.
    template <typename Schreiben>
    void packen(Schreiben&& schreiben) {
        if (fd_ >= 0) {
            schreiben(name_);
            return;
        }
        const SignaleZurueck zurueck;  // while the workbook file has a name
        std::string vorlage = ordner_.pfad() + "/cdb2xls-XXXXXX";
        if (::mkdtemp(vorlage.data()) == nullptr) ordner_.fehler(errno);
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

    int fd() const { return fd_; }

private:
    void wegraeumen() {
        if (privat_.empty()) return;
        ::unlink(name_.c_str());
        ::rmdir(privat_.c_str());
        privat_.clear();
    }

    const Zwischenordner& ordner_;
    int fd_ = -1;
    std::string name_;
    std::string privat_;  // the private folder while it exists
};

// A workbook that was not closed, as after a failed run: freed, nothing written.
struct MappeFreigeben {
    void operator()(lxw_workbook* mappe) const { lxw_workbook_free(mappe); }
};

class ArbeitsmappenAusgabe final : public Ausgabe {
public:
    ArbeitsmappenAusgabe(std::unique_ptr<Ausgabe> datei, std::string pfad, Warnung warnen)
        : datei_(std::move(datei)), pfad_(std::move(pfad)), warnen_(std::move(warnen)), packdatei_(ordner_) {
        lxw_workbook_options optionen{};
        optionen.constant_memory = LXW_TRUE;
        optionen.use_zip64 = LXW_TRUE;  // the workbook of a large list passes 4 GiB unpacked
        optionen.tmpdir = const_cast<char*>(ordner_.pfad().c_str());
        // A file without a name has its name now; a named one gets its
        // name when it is packed (see packen()).
        const std::string name = packdatei_.name().empty() ? ordner_.pfad() + "/cdb2xls.xlsx" : packdatei_.name();
        mappe_.reset(workbook_new_opt(name.c_str(), &optionen));
        if (mappe_ != nullptr) blatt_ = workbook_add_worksheet(mappe_.get(), "Tabelle1");
        // The library says no more: its temporary file or memory failed.
        if (blatt_ == nullptr || blatt_->optimize_tmpfile == nullptr) {
            throw SchreibFehler("Arbeitsmappe nicht anzulegen (Zwischendatei in " + ordner_.pfad() + " oder Speicher)");
        }
    }

    void schreibe(const char* daten, std::size_t anzahl) override {
        const char* ende = daten + anzahl;
        while (daten < ende) {
            pruefeZeile();
            const char* trenner = daten;
            while (trenner < ende && *trenner != '\t' && *trenner != '\r') ++trenner;
            if (spalte_ < kSpalten) zelle_.anhaengen(daten, static_cast<std::size_t>(trenner - daten));
            else if (trenner > daten) ausserhalb_ = true;
            if (trenner == ende) break;
            zelleSchreiben();
            if (*trenner == '\t') {
                ++spalte_;
            } else {
                ++zeile_;
                spalte_ = 0;
            }
            daten = trenner + 1;
        }
    }

    void abschliessen() override {
        zelleSchreiben();
        if (ausgelassen_ > 0) {
            warnen_(pfad_ + ": " + std::to_string(ausgelassen_) + (ausgelassen_ == 1 ? " Eintrag" : " Einträge") +
                    " jenseits von Spalte " + std::to_string(kSpalten) + " ausgelassen");
        }
        // The rows' temporary file: all of it must have been written.
        std::FILE* zeilen = blatt_->optimize_tmpfile;
        if (std::fflush(zeilen) != 0 || std::ferror(zeilen)) zwischendateiFehler();
        const off_t zeilenBytes = ::ftello(zeilen);
        if (zeilenBytes < 0) zwischendateiFehler();

        packdatei_.packen([this](const std::string& name) {
            std::free(mappe_->filename);  // the library's own copy of the name, freed by it
            mappe_->filename = ::strdup(name.c_str());
            if (mappe_->filename == nullptr) throw SchreibFehler(systemGrund(ENOMEM));
            const lxw_error fehler = workbook_close(mappe_.release());
            if (fehler != LXW_NO_ERROR) throw SchreibFehler(std::string("Arbeitsmappe: ") + lxw_strerror(fehler));
        });
        const int mappe = packdatei_.fd();
        struct stat info {};
        if (::fstat(mappe, &info) != 0) throw SchreibFehler("Arbeitsmappe: " + systemGrund(errno));
        const auto lesen = [mappe](std::uint64_t stelle, char* puffer, std::size_t anzahl) {
            return lesenAb(mappe, stelle, puffer, anzahl);
        };
        try {
            mappePruefen(lesen, static_cast<std::uint64_t>(info.st_size), kBlattTeil,
                         static_cast<std::uint64_t>(zeilenBytes));
        } catch (const SchreibFehler& f) {
            // What else would cut a part short: the folder was full, or a file-size limit was reached.
            throw SchreibFehler(std::string(f.what()) + ": Zwischendatei in " + ordner_.pfad() + " nicht ganz geschrieben");
        }
        kopieren(lesen);
        datei_->abschliessen();
    }

private:
    static std::size_t lesenAb(int fd, std::uint64_t stelle, char* puffer, std::size_t anzahl) {
        for (;;) {
            const ssize_t n = ::pread(fd, puffer, anzahl, static_cast<off_t>(stelle));
            if (n >= 0) return static_cast<std::size_t>(n);
            if (errno != EINTR) throw SchreibFehler("Arbeitsmappe: " + systemGrund(errno));
        }
    }

    // A write into the library's temporary file failed: errno still holds
    // why, when it is checked right after the write.
    [[noreturn]] void zwischendateiFehler() const {
        ordner_.fehler(errno != 0 ? errno : EIO);
    }

    // More rows than the format holds: the run fails before anything is
    // written, an earlier file stays.
    void pruefeZeile() {
        if (zeile_ >= kZeilen) {
            throw SchreibFehler("zu viele Zeilen für eine .xlsx-Arbeitsmappe (höchstens " + std::to_string(kZeilen) + ")");
        }
    }

    void zelleSchreiben() {
        if (ausserhalb_) ++ausgelassen_;
        ausserhalb_ = false;
        if (zelle_.leer()) return;
        const std::string& text = zelle_.text();
        if (zelle_.gekuerzt()) {
            warnen_(pfad_ + ": Zeile " + std::to_string(zeile_ + 1) + ", Spalte " + std::to_string(spalte_ + 1) +
                    ": Eintrag nach " + std::to_string(zelle_.zeichen()) + " Zeichen abgeschnitten");
        }
        errno = 0;
        const lxw_error fehler = worksheet_write_string(blatt_, static_cast<lxw_row_t>(zeile_),
                                                        static_cast<lxw_col_t>(spalte_), text.c_str(), nullptr);
        if (fehler != LXW_NO_ERROR) throw SchreibFehler(std::string("Arbeitsmappe: ") + lxw_strerror(fehler));
        // A new row writes the one before into the temporary file, which
        // the library does not check.
        if (std::ferror(blatt_->optimize_tmpfile)) zwischendateiFehler();
        zelle_.leeren();
    }

    void kopieren(const Mappenleser& lesen) {
        std::vector<char> puffer(256 * 1024);
        for (std::uint64_t stelle = 0;;) {
            const std::size_t n = lesen(stelle, puffer.data(), puffer.size());
            if (n == 0) break;
            datei_->schreibe(puffer.data(), n);
            stelle += n;
        }
    }

    std::unique_ptr<Ausgabe> datei_;
    std::string pfad_;
    Warnung warnen_;
    Zwischenordner ordner_;
    Packdatei packdatei_;
    std::unique_ptr<lxw_workbook, MappeFreigeben> mappe_;
    lxw_worksheet* blatt_ = nullptr;
    std::size_t zeile_ = 0;  // 0-based, as the library counts
    std::size_t spalte_ = 0;
    Zelltext zelle_;
    bool ausserhalb_ = false;  // the current cell lies beyond the last column and holds text
    std::size_t ausgelassen_ = 0;
};

}  // namespace
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

extern "C" cdb2xls::Ausgabe* cdb2xls_arbeitsmappe(cdb2xls::Ausgabe* datei, const std::string* pfad,
                                                  const cdb2xls::Warnung* warnen) {
    std::unique_ptr<cdb2xls::Ausgabe> eigen(datei);  // taken over, also when the workbook cannot be made
    return new cdb2xls::ArbeitsmappenAusgabe(std::move(eigen), *pfad, *warnen);
}

// The workbook module, with libxlsxwriter in its constant-memory mode: each
// row goes to the library's temporary file as it is complete, so memory
// stays flat however long the table. The library writes the finished
// workbook to a file name of its own, in a private folder under $TMPDIR;
// from there it is copied into the output the core made beside the target,
// which replaces an earlier file only when complete.
#include "app/arbeitsmappe.h"

#include "app/signale_posix.h"
#include "app/zelltext.h"

#include <xlsxwriter.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace cdb2xls {
namespace {

constexpr std::size_t kZeilen = 1048576;  // the format's limits
constexpr std::size_t kSpalten = 16384;
constexpr char kMappenname[] = "/mappe.xlsx";

std::string systemGrund(int fehler) { return std::strerror(fehler); }

// A name for the private folder: made by mkdtemp and removed at once, and
// made again (mode 700, never over anything there) only while the library
// writes the workbook, so that nothing of it exists while the rows are read.
std::string ordnerName() {
    const char* tmp = std::getenv("TMPDIR");
    std::string vorlage = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/cdb2xls-XXXXXX";
    if (::mkdtemp(vorlage.data()) == nullptr) throw SchreibFehler("Zwischenordner: " + systemGrund(errno));
    ::rmdir(vorlage.c_str());
    return vorlage;
}

// A workbook that was not closed, as after a failed run: freed, nothing written.
struct MappeFreigeben {
    void operator()(lxw_workbook* mappe) const { lxw_workbook_free(mappe); }
};

class ArbeitsmappenAusgabe final : public Ausgabe {
public:
    ArbeitsmappenAusgabe(std::unique_ptr<Ausgabe> datei, std::string pfad, Warnung warnen)
        : datei_(std::move(datei)), pfad_(std::move(pfad)), warnen_(std::move(warnen)), ordner_(ordnerName()) {
        lxw_workbook_options optionen{};
        optionen.constant_memory = LXW_TRUE;
        optionen.use_zip64 = LXW_TRUE;  // the workbook of a large list passes 4 GiB unpacked
        mappe_.reset(workbook_new_opt((ordner_ + kMappenname).c_str(), &optionen));
        if (mappe_ != nullptr) blatt_ = workbook_add_worksheet(mappe_.get(), "Tabelle1");
        // The library says no more: its temporary file (under $TMPDIR) or memory failed.
        if (blatt_ == nullptr) throw SchreibFehler("Arbeitsmappe nicht anzulegen (Zwischendatei oder Speicher)");
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
            warnen_(pfad_ + ": " + std::to_string(ausgelassen_) +
                    (ausgelassen_ == 1 ? " Eintrag" : " Einträge") + " jenseits von Spalte 16384 ausgelassen");
        }
        int mappe = -1;
        {
            const SignaleZurueck zurueck;  // while the workbook file has a name
            if (::mkdir(ordner_.c_str(), 0700) != 0) throw SchreibFehler("Zwischenordner: " + systemGrund(errno));
            const std::string name = ordner_ + kMappenname;
            const lxw_error fehler = workbook_close(mappe_.release());
            if (fehler == LXW_NO_ERROR) mappe = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
            const int grund = errno;
            ::unlink(name.c_str());
            ::rmdir(ordner_.c_str());
            if (fehler != LXW_NO_ERROR) throw SchreibFehler(std::string("Arbeitsmappe: ") + lxw_strerror(fehler));
            if (mappe < 0) throw SchreibFehler("Arbeitsmappe: " + systemGrund(grund));
        }
        kopieren(mappe);
        datei_->abschliessen();
    }

private:
    // More rows than the format holds: the run fails before anything is
    // written, an earlier file stays.
    void pruefeZeile() {
        if (zeile_ >= kZeilen) throw SchreibFehler("zu viele Zeilen für eine .xlsx-Arbeitsmappe (höchstens 1048576)");
    }

    void zelleSchreiben() {
        if (ausserhalb_) ++ausgelassen_;
        ausserhalb_ = false;
        if (zelle_.leer()) return;
        const std::string& text = zelle_.text();
        if (zelle_.gekuerzt()) {
            warnen_(pfad_ + ": Zeile " + std::to_string(zeile_ + 1) + ", Spalte " + std::to_string(spalte_ + 1) +
                    ": Eintrag nach 32767 Zeichen abgeschnitten");
        }
        const lxw_error fehler = worksheet_write_string(blatt_, static_cast<lxw_row_t>(zeile_),
                                                        static_cast<lxw_col_t>(spalte_), text.c_str(), nullptr);
        if (fehler != LXW_NO_ERROR) throw SchreibFehler(std::string("Arbeitsmappe: ") + lxw_strerror(fehler));
        zelle_.leeren();
    }

    void kopieren(int mappe) {
        std::vector<char> puffer(256 * 1024);
        for (;;) {
            const ssize_t n = ::read(mappe, puffer.data(), puffer.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                const int grund = errno;
                ::close(mappe);
                throw SchreibFehler("Arbeitsmappe: " + systemGrund(grund));
            }
            if (n == 0) break;
            datei_->schreibe(puffer.data(), static_cast<std::size_t>(n));
        }
        ::close(mappe);
    }

    std::unique_ptr<Ausgabe> datei_;
    std::string pfad_;
    Warnung warnen_;
    std::string ordner_;
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

extern "C" cdb2xls::Ausgabe* cdb2xls_arbeitsmappe(cdb2xls::Ausgabe* datei, const std::string* pfad,
                                                  const cdb2xls::Warnung* warnen) {
    std::unique_ptr<cdb2xls::Ausgabe> eigen(datei);  // taken over, also when the workbook cannot be made
    return new cdb2xls::ArbeitsmappenAusgabe(std::move(eigen), *pfad, *warnen);
}

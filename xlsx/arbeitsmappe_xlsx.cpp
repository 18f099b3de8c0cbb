// The workbook writer, with libxlsxwriter in its constant-memory mode: each
// row goes to the library's temporary file as it is complete, so memory
// stays flat however long the table. The library packs the finished
// workbook at the platform's place (packort.h); from there, once checked,
// it is copied into the output the core made beside the target, which
// replaces an earlier file only when complete.
#include "xlsx/arbeitsmappe.h"

#include "xlsx/mappenpruefung.h"
#include "xlsx/packort.h"
#include "xlsx/zelltext.h"

#include <xlsxwriter.h>

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

// A workbook that was not closed, as after a failed run: freed, nothing written.
struct MappeFreigeben {
    void operator()(lxw_workbook* mappe) const { lxw_workbook_free(mappe); }
};

class ArbeitsmappenAusgabe final : public Ausgabe {
public:
    ArbeitsmappenAusgabe(std::unique_ptr<Ausgabe> datei, std::string pfad, Warnung warnen)
        : datei_(std::move(datei)), pfad_(std::move(pfad)), warnen_(std::move(warnen)), ort_(packortErstellen()) {
        lxw_workbook_options optionen{};
        optionen.constant_memory = LXW_TRUE;
        optionen.use_zip64 = LXW_TRUE;  // the workbook of a large list passes 4 GiB unpacked
        optionen.tmpdir = const_cast<char*>(ort_->zwischenordner().c_str());
        // The name the workbook is packed under is given when it is packed.
        mappe_.reset(workbook_new_opt((ort_->zwischenordner() + "/cdb2xls.xlsx").c_str(), &optionen));
        if (mappe_ != nullptr) blatt_ = workbook_add_worksheet(mappe_.get(), "Tabelle1");
        // The library says no more: its temporary file or memory failed.
        if (blatt_ == nullptr || blatt_->optimize_tmpfile == nullptr) {
            throw SchreibFehler("Arbeitsmappe nicht anzulegen (Zwischendatei in " + ort_->zwischenordner() +
                                " oder Speicher)");
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
        const std::int64_t zeilenBytes = ort_->stelle(zeilen);
        if (zeilenBytes < 0) zwischendateiFehler();

        ort_->packen([this](const std::string& name) {
            std::free(mappe_->filename);  // the library's own copy of the name, freed by it
            mappe_->filename = static_cast<char*>(std::malloc(name.size() + 1));
            if (mappe_->filename == nullptr) throw SchreibFehler(std::strerror(ENOMEM));
            std::memcpy(mappe_->filename, name.c_str(), name.size() + 1);
            const lxw_error fehler = workbook_close(mappe_.release());
            if (fehler != LXW_NO_ERROR) throw SchreibFehler(std::string("Arbeitsmappe: ") + lxw_strerror(fehler));
        });
        const auto lesen = [this](std::uint64_t stelle, char* puffer, std::size_t anzahl) {
            return ort_->lies(stelle, puffer, anzahl);
        };
        try {
            mappePruefen(lesen, ort_->groesse(), kBlattTeil, static_cast<std::uint64_t>(zeilenBytes));
        } catch (const SchreibFehler& f) {
            // What else would cut a part short: the place was full, or a file-size limit was reached.
            throw SchreibFehler(std::string(f.what()) + ": Zwischendatei in " + ort_->zwischenordner() +
                                " nicht ganz geschrieben");
        }
        kopieren(lesen);
        datei_->abschliessen();
    }

private:
    // A write into the library's temporary file failed: errno still holds
    // why, when it is checked right after the write.
    [[noreturn]] void zwischendateiFehler() const { ort_->fehler(errno != 0 ? errno : EIO); }

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
    std::unique_ptr<Packort> ort_;
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

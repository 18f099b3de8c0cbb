#include "web/dateien_web.h"

#include <emscripten.h>

#include <cstdint>

// The worker's script (arbeiter.js) holds the Blob and the pieces.

// Reads up to `max` bytes of the input from `stelle` on into `ziel`; the
// number read, or -1 when the file could not be read (its reason is then
// kept for leseGrund()).
EM_JS(int, cdb2xls_lies, (double stelle, char* ziel, int max), {
    return cdb2xlsArbeiter.lies(stelle, ziel, max);
});
// The reason of the last failed read, into `ziel` (UTF-8, at most `max` bytes).
EM_JS(void, cdb2xls_lesegrund, (char* ziel, int max), {
    stringToUTF8(cdb2xlsArbeiter.lesegrund, ziel, max);
});
// The next piece of the table.
EM_JS(void, cdb2xls_schreibe, (const char* daten, int anzahl), {
    cdb2xlsArbeiter.schreibe(HEAPU8.slice(daten, daten + anzahl));
});
// The table is complete under the name `name`.
EM_JS(void, cdb2xls_fertig, (const char* name), {
    cdb2xlsArbeiter.fertig(UTF8ToString(name));
});

namespace cdb2xls::web {
namespace {

std::string lesegrund() {
    char grund[256];
    cdb2xls_lesegrund(grund, sizeof grund);
    return grund;
}

class BlobEingabe final : public Eingabe {
public:
    std::size_t lies(char* puffer, std::size_t max) override {
        const std::size_t n = liesAb(stelle_, puffer, max);
        stelle_ += n;
        return n;
    }
    std::size_t liesAb(std::uint64_t stelle, char* puffer, std::size_t max) override {
        const int n = cdb2xls_lies(static_cast<double>(stelle), puffer, static_cast<int>(max));
        if (n < 0) throw LeseFehler(lesegrund());
        return static_cast<std::size_t>(n);
    }
    Dateikennung kennung() const override { return {0, 1}; }

private:
    std::uint64_t stelle_ = 0;
};

// The table on its way to the download. It has no name to take and no
// earlier file to replace: the download is made when it is complete.
class Download final : public Zwischendatei {
public:
    void schreibe(const char* daten, std::size_t anzahl) override {
        cdb2xls_schreibe(daten, static_cast<int>(anzahl));
    }
    void schliessen() override {}
    bool benennen(const std::string&) override { return true; }
    void eigenschaftenVon(const VorhandeneDatei&) override {}
    void ersetze(const std::string& ziel) override { cdb2xls_fertig(ziel.c_str()); }
};

}  // namespace

Dateiart BrowserDateien::art(const std::string& pfad) { return pfad == eingabe_ ? Dateiart::Datei : Dateiart::Fehlt; }

std::unique_ptr<Eingabe> BrowserDateien::oeffneEingabe(const std::string& pfad) {
    if (pfad != eingabe_) throw LeseFehler("keine solche Datei");
    return std::make_unique<BlobEingabe>();
}

std::unique_ptr<Zwischendatei> BrowserDateien::erstelleUnbenannte(const std::string&, bool) {
    return std::make_unique<Download>();
}

std::unique_ptr<Zwischendatei> BrowserDateien::erstelleBenannte(const std::string&, const std::string&, bool) {
    return std::make_unique<Download>();
}

}  // namespace cdb2xls::web

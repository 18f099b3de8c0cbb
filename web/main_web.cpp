// cdb2xls in the browser: the run the page's worker starts for a dropped
// file, with its notices handed to the worker's script, which shows them as
// the window does.
#include "convert/lauf.h"
#include "web/dateien_web.h"
#if CDB2XLS_SEITE_XLSX
#include "xlsx/arbeitsmappe.h"
#endif

#include <emscripten.h>

#include <memory>

EM_JS(void, cdb2xls_hinweis, (const char* titel, const char* text, const char* zeile), {
    cdb2xlsArbeiter.hinweis(UTF8ToString(titel), UTF8ToString(text), UTF8ToString(zeile));
});
EM_JS(void, cdb2xls_warnung, (const char* zeile), {
    cdb2xlsArbeiter.warnung(UTF8ToString(zeile));
});

namespace {

class Seitenmeldung final : public cdb2xls::Meldestelle {
public:
    void melden(const cdb2xls::Hinweis& hinweis) override {
        std::string text;  // as the message box lays it out, a line end for each CR
        for (const std::string& absatz : hinweis.absaetze()) text += (text.empty() ? "" : "\n\n") + absatz;
        cdb2xls_hinweis(hinweis.Titel.c_str(), text.c_str(), hinweis.zeile().c_str());
    }
    void ohneListe(const std::string& eingabe) override { cdb2xls_warnung(cdb2xls::ohneListeZeile(eingabe).c_str()); }
};

}  // namespace

// Converts the file the worker holds under `name` into the table
// `name` + ".xls", or with `xlsx` into the workbook `name` + ".xlsx" (where
// the page has the workbook writer); the program's exit status.
extern "C" EMSCRIPTEN_KEEPALIVE int cdb2xls_umwandeln(const char* name, int xlsx) {
    cdb2xls::web::BrowserDateien dateien(name);
    Seitenmeldung meldung;
    std::unique_ptr<cdb2xls::Tabellenformat> format;
#if CDB2XLS_SEITE_XLSX
    if (xlsx != 0) {
        std::string grund;
        format = cdb2xls::arbeitsmappenFormat(
            [](const std::string& text) {
                cdb2xls_warnung((std::string(cdb2xls::kProgramm) + ": Warnung: " + text).c_str());
            },
            grund);
    }
#else
    (void)xlsx;
#endif
    return cdb2xls::umwandeln(dateien, meldung, name, {}, format.get()).exitStatus();
}

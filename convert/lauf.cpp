#include "lauf.h"

#include "form1.h"

#include <utility>

namespace cdb2xls {

std::string ausgabeName(const std::string& eingabe, const std::string& ausgabe) {
    return ausgabe.empty() ? eingabe : ausgabe;
}

Ausgang umwandeln(Dateien& dateien, Meldestelle& meldestelle, std::string eingabe, std::string ausgabe,
                  Tabellenformat* format) {
    Form1 form(dateien, Form1::kBlockgroesse, format);
    form.Ausgabedatei = ausgabeName(eingabe, ausgabe);
    form.Eingabedatei = std::move(eingabe);
    const Ausgang ausgang = form.exportieren();
    if (ausgang.hinweis) {
        meldestelle.melden(*ausgang.hinweis);
    } else if (!ausgang.listeGefunden) {
        meldestelle.ohneListe(form.Eingabedatei);
    }
    return ausgang;
}

}  // namespace cdb2xls

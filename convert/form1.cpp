#include "form1.h"

#include "zahl.h"

#include <utility>

namespace cdb2xls {
namespace {

constexpr std::string_view kListenMarke = "<LIST>";
constexpr std::string_view kFeldBuchstaben = "ATXCR";  // columns 1 to 5
const std::string kTitel = "Häää?";

bool istZiffer(char c) { return c >= '0' && c <= '9'; }

char grossbuchstabe(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

Form1::Form1(Dateien& dateien, std::size_t blockgroesse)
    : dateien_(dateien), blockgroesse_(blockgroesse) {}

std::string_view Form1::lesen() {
    std::string_view zeile;
    if (!EingabeNr || !EingabeNr->naechsteZeile(zeile)) {
        EingabeNr.reset();
        return {};
    }
    if (zeile.empty()) {
        ErstesZeichen.clear();
    } else {
        ErstesZeichen.assign(1, grossbuchstabe(zeile.front()));
    }
    return zeile;
}

void Form1::schreiben(std::string_view Zeichen) { AusgabeNr->schreibe(Zeichen); }

Ausgang Form1::hinweis(std::string meldung, std::string pfad, std::string grund) {
    EingabeNr.reset();
    AusgabeNr.reset();  // discards an output that was not finished
    Ausgang a;
    a.hinweis = Hinweis{kTitel, std::move(meldung), std::move(pfad), std::move(grund)};
    return a;
}

Ausgang Form1::exportieren() {
    if (!dateien_.istDatei(Eingabedatei)) return hinweis("cdb-Datei nicht gefunden:", Eingabedatei);
    Ausgabedatei += ".xls";
    if (dateien_.gleicheDatei(Eingabedatei, Ausgabedatei)) {
        return hinweis("Ausgabe-Datei wäre die cdb-Datei selbst:", Ausgabedatei);
    }

    try {
        EingabeNr = std::make_unique<Leser>(dateien_.oeffneEingabe(Eingabedatei), blockgroesse_);
    } catch (const LeseFehler& f) {
        return hinweis("cdb-Datei nicht lesbar:", Eingabedatei, f.what());
    }
    try {
        AusgabeNr = std::make_unique<Schreiber>(dateien_.erstelleAusgabe(Ausgabedatei), blockgroesse_);
    } catch (const SchreibFehler& f) {
        return hinweis("Ausgabe-Datei nicht schreibbar:", Ausgabedatei, f.what());
    }

    try {
        Ausgang ausgang;
        ausgang.listeGefunden = listeUmwandeln();
        EingabeNr.reset();
        AusgabeNr->abschliessen();
        AusgabeNr.reset();
        return ausgang;
    } catch (const LeseFehler& f) {
        return hinweis("cdb-Datei nicht lesbar:", Eingabedatei, f.what());
    } catch (const SchreibFehler& f) {
        return hinweis("Ausgabe-Datei nicht schreibbar:", Ausgabedatei, f.what());
    }
}

// Skips the input up to its "<LIST>" line and turns every line of the list
// section into cells; the first empty line, or the end of the input, ends it.
// False when the input holds no "<LIST>" line.
bool Form1::listeUmwandeln() {
    do {
        Zeile = lesen();
    } while (Zeile != kListenMarke && EingabeNr);
    if (Zeile != kListenMarke) return false;

    IstSpalte = 1;
    Zeile = lesen();
    while (!Zeile.empty()) {
        TextAnfang = 0;
        const char erstes = ErstesZeichen.front();
        const auto buchstabe = kFeldBuchstaben.find(erstes);
        if (istZiffer(erstes)) {
            nummerEintragen();
        } else if (buchstabe != std::string_view::npos) {
            SollSpalte = static_cast<int>(buchstabe) + 1;
            TextAnfang = 3;  // the second character is skipped, whatever it is
        } else if (erstes == '$') {
            schreiben("\r");
            IstSpalte = 1;
        }
        spalteSchreiben();
        Zeile = lesen();
    }
    return true;
}

// A numbered entry "n:f1,f2,f3,text": text goes to column n + 7. An entry
// whose column is out of reach is dropped.
void Form1::nummerEintragen() {
    const auto doppelpunkt = Zeile.find(':');
    const auto spalte =
        spalteFuerNummer(fuehrendeZahl(std::string_view(Zeile).substr(0, doppelpunkt)));
    if (!spalte) return;
    SollSpalte = *spalte;

    // Three leading comma-separated fields are removed; a missing comma
    // leaves the line as it is.
    std::size_t ab = 0;
    for (int feld = 0; feld < 3; ++feld) {
        const auto komma = Zeile.find(',', ab);
        if (komma == std::string::npos) break;
        ab = komma + 1;
    }
    Zeile.erase(0, ab);
    TextAnfang = 1;
}

// Moves the row to SollSpalte with a run of TABs and writes the item's text.
// An item left of the row's current column is dropped.
void Form1::spalteSchreiben() {
    if (TextAnfang == 0 || SollSpalte < IstSpalte) return;
    AusgabeNr->schreibeWiederholt('\t', static_cast<std::size_t>(SollSpalte - IstSpalte));
    IstSpalte = SollSpalte;
    if (Zeile.size() >= TextAnfang) schreiben(std::string_view(Zeile).substr(TextAnfang - 1));
}

}  // namespace cdb2xls

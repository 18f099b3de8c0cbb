#include "form1.h"

#include "zahl.h"
#include "zeichen.h"

#include <array>
#include <new>
#include <optional>
#include <string>
#include <utility>

namespace cdb2xls {
namespace {

constexpr std::string_view kListenMarke = "<LIST>";

// The kind of a list line, by its first character (upper-cased): a lettered
// field's column (A = 1, T = 2, X = 3, C = 4, R = 5), or one of these.
enum Art : unsigned char { kAndere = 0, kNummer = 6, kDatensatzEnde = 7 };

constexpr std::array<unsigned char, 256> artenTabelle() {
    std::array<unsigned char, 256> arten{};
    constexpr std::string_view buchstaben = "ATXCR";
    for (std::size_t i = 0; i < buchstaben.size(); ++i) {
        arten[static_cast<unsigned char>(buchstaben[i])] = static_cast<unsigned char>(i + 1);
    }
    for (char c = '0'; c <= '9'; ++c) arten[static_cast<unsigned char>(c)] = kNummer;
    arten['$'] = kDatensatzEnde;
    return arten;
}
constexpr std::array<unsigned char, 256> kArten = artenTabelle();
constexpr std::string_view kTitel = "Häää?";  // of every notice

bool istZiffer(char c) { return c >= '0' && c <= '9'; }

// The column of a numbered entry, from the number before the line's first
// ":" (or in the whole line, when it has none). Up to four plain digits right
// before the ":" are the usual case and are read here; anything else goes
// through the full conversion.
std::optional<int> nummernSpalte(std::string_view zeile) {
    int wert = 0;
    std::size_t i = 0;
    for (; i < zeile.size() && i < 4 && istZiffer(zeile[i]); ++i) wert = wert * 10 + (zeile[i] - '0');
    if (i < zeile.size() && zeile[i] == ':') return wert + 7;
    return spalteFuerNummer(fuehrendeZahl(zeile.substr(0, zeile.find(':'))));
}

}  // namespace

Form1::Form1(Dateien& dateien, std::size_t blockgroesse, Tabellenformat* format)
    : dateien_(dateien), blockgroesse_(blockgroesse), format_(format) {}

Ausgang Form1::hinweis(std::string meldung, std::string pfad, std::string grund) {
    Zeile = {};
    EingabeNr.reset();
    AusgabeNr.reset();  // discards an output that was not finished
    Ausgang a;
    a.hinweis = Hinweis{std::string(kTitel), std::move(meldung), std::move(pfad), std::move(grund)};
    return a;
}

Ausgang Form1::exportieren() {
    if (!dateien_.istDatei(Eingabedatei)) return hinweis("cdb-Datei nicht gefunden:", Eingabedatei);
    Ausgabedatei += format_ != nullptr ? format_->endung() : ".xls";

    Dateikennung eingabe;
    try {
        std::unique_ptr<Eingabe> datei = dateien_.oeffneEingabe(Eingabedatei);
        eingabe = datei->kennung();
        EingabeNr = std::make_unique<Leser>(std::move(datei), blockgroesse_);
    } catch (const LeseFehler& f) {
        return hinweis("cdb-Datei nicht lesbar:", Eingabedatei, f.what());
    }

    try {
        std::unique_ptr<Ausgabe> datei = ausgabeErstellen(dateien_, Ausgabedatei, eingabe);
        if (format_ != nullptr) datei = format_->ausgabe(std::move(datei), Ausgabedatei);
        AusgabeNr = std::make_unique<Schreiber>(std::move(datei), blockgroesse_);
        Ausgang ausgang;
        ausgang.listeGefunden = listeUmwandeln();
        EingabeNr.reset();
        AusgabeNr->abschliessen();
        AusgabeNr.reset();
        Zeile = {};
        return ausgang;
    } catch (const LeseFehler& f) {
        return hinweis("cdb-Datei nicht lesbar:", Eingabedatei, f.what());
    } catch (const AusgabeIstEingabe&) {
        return hinweis("Ausgabe-Datei wäre die cdb-Datei selbst:", Ausgabedatei);
    } catch (const SchreibFehler& f) {
        return hinweis("Ausgabe-Datei nicht schreibbar:", Ausgabedatei, f.what());
    } catch (const std::bad_alloc&) {
        // Memory grows with the longest line only; this one is too long.
        return hinweis("cdb-Datei nicht lesbar:", Eingabedatei, "nicht genug Speicher für eine Zeile");
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
        const unsigned char art = kArten[static_cast<unsigned char>(ErstesZeichen)];
        if (art == kNummer) {
            nummerEintragen();
        } else if (art == kDatensatzEnde) {
            schreiben("\r");
            IstSpalte = 1;
        } else if (art != kAndere) {
            SollSpalte = art;
            TextAnfang = 3;  // the second character is skipped, whatever it is
        }
        spalteSchreiben();
        Zeile = lesen();
    }
    return true;
}

// A numbered entry "n:f1,f2,f3,text": text goes to column n + 7. An entry
// whose column is out of reach is dropped.
void Form1::nummerEintragen() {
    const auto spalte = nummernSpalte(Zeile);
    if (!spalte) return;
    SollSpalte = *spalte;

    // Three leading comma-separated fields are removed, each up to its
    // comma; a missing comma leaves the line as it is.
    Zeile.remove_prefix(hinterDemNten(Zeile, ',', 3));
    TextAnfang = 1;
}

// Moves the row to SollSpalte with a run of TABs and writes the item's text.
// An item left of the row's current column is dropped.
void Form1::spalteSchreiben() {
    if (TextAnfang == 0 || SollSpalte < IstSpalte) return;
    AusgabeNr->schreibeWiederholt('\t', static_cast<std::size_t>(SollSpalte - IstSpalte));
    IstSpalte = SollSpalte;
    if (Zeile.size() >= TextAnfang) schreiben(Zeile.substr(TextAnfang - 1));
}

}  // namespace cdb2xls

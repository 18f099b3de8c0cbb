#include "form1.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

namespace cdb2xls {
namespace {

constexpr std::string_view kListenMarke = "<LIST>";

// The kind of a list line, by its first character (either case): a lettered
// field's column (A = 1, T = 2, X = 3, C = 4, R = 5), or one of these.
enum Art : unsigned char { kAndere = 0, kNummer = 6, kDatensatzEnde = 7 };

constexpr std::array<unsigned char, 256> artenTabelle() {
    std::array<unsigned char, 256> arten{};
    constexpr std::string_view buchstaben = "ATXCR";
    for (std::size_t i = 0; i < buchstaben.size(); ++i) {
        const auto spalte = static_cast<unsigned char>(i + 1);
        arten[static_cast<unsigned char>(buchstaben[i])] = spalte;
        arten[static_cast<unsigned char>(buchstaben[i] - 'A' + 'a')] = spalte;
    }
    for (char c = '0'; c <= '9'; ++c) arten[static_cast<unsigned char>(c)] = kNummer;
    arten['$'] = kDatensatzEnde;
    return arten;
}
constexpr std::array<unsigned char, 256> kArten = artenTabelle();
constexpr std::string_view kTitel = "Häää?";  // of every notice

// Why a path that is there is still no cdb file; empty for one that is not there.
std::string keineDatei(Dateiart art) {
    switch (art) {
        case Dateiart::Ordner: return "ist keine Datei, sondern ein Ordner";
        case Dateiart::Pipe: return "ist keine Datei, sondern eine Pipe";
        case Dateiart::Geraet: return "ist keine Datei, sondern ein Gerät";
        case Dateiart::Andere: return "ist keine Datei";
        case Dateiart::Fehlt:
        case Dateiart::Datei: break;
    }
    return {};
}

bool istZiffer(char c) { return c >= '0' && c <= '9'; }
char grossbuchstabe(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

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
    if (const Dateiart art = dateien_.art(Eingabedatei); art != Dateiart::Datei) {
        return hinweis("cdb-Datei nicht gefunden:", Eingabedatei, keineDatei(art));
    }
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
    }
}

// Hands every line of the input to stueck() as it streams past, until the
// list section's first empty line; ganzeZeilen() takes the usual list lines
// before that. Lines before "<LIST>" are only compared with it. False when
// the input holds no "<LIST>" line.
bool Form1::listeUmwandeln() {
    EingabeNr->zeilen([this](std::size_t ab) { return ganzeZeilen(ab); },
                      [this](const char* text, std::size_t anzahl, bool zeilenende) {
                          stueck(text, anzahl, zeilenende);
                          return !listeZuEnde_;
                      });
    return inListe_;
}

// The rules of stueck() for lines that are all at hand, with the row's
// column and the write position in registers (its contract: form1.h).
std::size_t Form1::ganzeZeilen(std::size_t p) {
    if (!inListe_ || phase_ != Phase::Zeilenanfang) return p;
    const char* block = EingabeNr->daten();
    const std::size_t groesse = EingabeNr->groesse();
    const std::size_t grenze = groesse - 1;
    assert(p < groesse && (p == 0 || block[p - 1] == '\r' || block[p - 1] == '\n'));
    const std::size_t anfang = p;
    const Blockmasken masken = EingabeNr->scan().masken();
    Schreiber::Direkt aus(*AusgabeNr, kDirektRaum);
    int ist = IstSpalte;
    // The search for the next CR goes on from the last one, not from where
    // the line begins: whether a LF follows is for `p` only, and the next
    // line's CR need not wait for it.
    std::size_t suche = p;
    for (;;) {
        const std::size_t cr = masken.crAb(suche);
        suche = cr + 1;
        if (cr >= grenze) break;
        const std::size_t anzahl = cr - p;
        if (anzahl == 0 || !aus.passt(anzahl + kZeilenZugabe)) break;
        const char* text = block + p;
        const unsigned char art = kArten[static_cast<unsigned char>(text[0])];
        if (art == kNummer) {
            int wert = text[0] - '0';
            std::size_t i = 1;
            if (anzahl > 2 && istZiffer(text[1])) {
                wert = wert * 10 + (text[1] - '0');
                i = 2;
            }
            if (i >= anzahl || text[i] != ':') break;
            static_assert(kHoechsteSchnelleNummer == 99, "two digits at most");
            const std::size_t hinter = masken.hinterDemDrittenKomma(p + i, cr);
            if (hinter == Blockmasken::kKeins) break;
            const int soll = wert + 7;
            if (soll >= ist) {
                aus.tabs(static_cast<std::size_t>(soll - ist));
                ist = soll;
                aus.text(block + hinter, cr - hinter);
            }
        } else if (art == kDatensatzEnde) {
            aus.zeichen('\r');
            ist = 1;
        } else if (art != kAndere && art >= ist) {
            aus.tabs(static_cast<std::size_t>(art - ist));
            ist = art;
            aus.text(text + 2, anzahl > 2 ? anzahl - 2 : 0);
        }
        p = cr + 1;
        p += block[p] == '\n' ? 1 : 0;
    }
    assert(p <= groesse && phase_ == Phase::Zeilenanfang && ist >= 1);
    IstSpalte = ist;
    schnelleZeilen_ += masken.crs(anfang, p);
    return p;
}

// The next piece of the current line, the last one when `zeilenende`.
void Form1::stueck(const char* text, std::size_t anzahl, bool zeilenende) {
    Zeile = {text, anzahl};
    const bool zeilenbeginn = phase_ == Phase::Zeilenanfang;
    if (zeilenbeginn) {
        zeilenStelle_ = dateistelle(text);
        if (anzahl == 0) {  // an empty line
            ErstesZeichen = '\0';
            if (inListe_) listeZuEnde_ = true;
            return;
        }
        zeileBeginnen(text[0]);
    }

    switch (phase_) {
        case Phase::Marke: {
            const std::size_t n = std::min(anzahl, sizeof marke_ - markeLaenge_);
            std::memcpy(marke_ + markeLaenge_, text, n);
            markeLaenge_ += n;
            if (zeilenende && std::string_view(marke_, markeLaenge_) == kListenMarke) {
                inListe_ = true;
                IstSpalte = 1;
            }
            break;
        }
        case Phase::Text: {
            const auto weg = static_cast<std::size_t>(std::min<std::uint64_t>(auszulassen_, anzahl));
            auszulassen_ -= weg;
            if (anzahl > weg) schreiben({text + weg, anzahl - weg});
            break;
        }
        case Phase::Nummer:
            if (nummerLesen(text, anzahl, zeilenbeginn, zeilenende)) kommasZaehlen(text, anzahl, zeilenende);
            break;
        case Phase::Kommas:
            kommasZaehlen(text, anzahl, zeilenende);
            break;
        case Phase::Zeilenanfang:
        case Phase::Ueberspringen:
            break;
    }
    if (zeilenende) phase_ = Phase::Zeilenanfang;
}

// Classifies a line by its first character. Before the list, every line is
// a candidate for the "<LIST>" line.
void Form1::zeileBeginnen(char erstes) {
    ErstesZeichen = grossbuchstabe(erstes);
    if (!inListe_) {
        phase_ = Phase::Marke;
        markeLaenge_ = 0;
        return;
    }
    TextAnfang = 0;
    const unsigned char art = kArten[static_cast<unsigned char>(ErstesZeichen)];
    if (art == kNummer) {
        phase_ = Phase::Nummer;
    } else if (art == kDatensatzEnde) {
        schreiben("\r");
        IstSpalte = 1;
        phase_ = Phase::Ueberspringen;
    } else if (art == kAndere) {
        phase_ = Phase::Ueberspringen;
    } else {
        SollSpalte = art;
        TextAnfang = 3;  // the second character is skipped, whatever it is
        spalteBeginnen();
        auszulassen_ = 2;
    }
}

// A numbered entry "n:f1,f2,f3,text" goes to column n + 7; n is the number
// the line begins with (it ends at the ":" at the latest). True once it is
// read and its column can take the item; `text` and `anzahl` are then
// moved past it. An entry whose column is out of reach is dropped.
bool Form1::nummerLesen(const char*& text, std::size_t& anzahl, bool zeilenbeginn, bool zeilenende) {
    if (zeilenbeginn) zahl_.beginnen();
    const std::size_t gelesen = zahl_.weiter(text, anzahl);
    if (!zahl_.fertig() && !zeilenende) return false;  // the number goes on in the next piece
    const std::optional<int> spalte = spalteFuerNummer(zahl_.wert());
    text += gelesen;
    anzahl -= gelesen;

    if (!spalte) {
        phase_ = Phase::Ueberspringen;
        return false;
    }
    SollSpalte = *spalte;
    TextAnfang = 1;  // until commas are found
    kommas_ = 0;
    if (SollSpalte < IstSpalte) {
        phase_ = Phase::Ueberspringen;  // left of the row's column: dropped
        return false;
    }
    phase_ = Phase::Kommas;
    return true;
}

// Three leading comma-separated fields are removed, each up to its comma;
// a missing comma leaves the line as it is. Once the third comma is behind,
// the rest of the line streams out as the item's text; a line with fewer
// commas is only known to be so at its end, and its text (after the last
// comma found) is written then.
void Form1::kommasZaehlen(const char* text, std::size_t anzahl, bool zeilenende) {
    const char* block = EingabeNr->daten();
    const auto ab = static_cast<std::size_t>(text - block);
    std::size_t hinter = ab;
    kommas_ += EingabeNr->scan().kommas(ab, ab + anzahl, 3 - kommas_, hinter);
    if (hinter != ab) TextAnfang = dateistelle(block + hinter) - zeilenStelle_ + 1;
    if (kommas_ == 3) {
        spalteBeginnen();
        auszulassen_ = 0;
        if (hinter < ab + anzahl) schreiben({block + hinter, ab + anzahl - hinter});
    } else if (zeilenende) {
        spalteBeginnen();
        textSchreiben(zeilenStelle_ + TextAnfang - 1, dateistelle(text + anzahl));
    }
}

// Moves the row to SollSpalte with a run of TABs; the item's text follows.
// An item left of the row's current column is dropped.
void Form1::spalteBeginnen() {
    if (SollSpalte < IstSpalte) {
        phase_ = Phase::Ueberspringen;
        return;
    }
    AusgabeNr->schreibeWiederholt('\t', static_cast<std::size_t>(SollSpalte - IstSpalte));
    IstSpalte = SollSpalte;
    phase_ = Phase::Text;
}

// Writes the bytes [von, bis) of the input: from the block where they are
// still in it, read again from the file where they were in earlier blocks.
void Form1::textSchreiben(std::uint64_t von, std::uint64_t bis) {
    const std::uint64_t block = EingabeNr->stelle();
    if (von < block) {
        EingabeNr->wiederLesen(von, std::min(bis, block), [this](const char* d, std::size_t n) { schreiben({d, n}); });
        von = block;
    }
    if (von < bis) schreiben({EingabeNr->daten() + (von - block), static_cast<std::size_t>(bis - von)});
}

}  // namespace cdb2xls

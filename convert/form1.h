// Form1: the state of a conversion run and its operations. The fields are
// shared between the operations, which read and set them as a run goes on;
// the window side of Form1 is the front end's (ui/).
//
// The run goes through the input block by block (leser.h) and classifies
// each line as it streams past: a line is handed over in one piece when it
// lies within a block, in several when it runs over block ends, so memory
// never grows with a line, however long.
#pragma once

#include "ausgang.h"
#include "dateien.h"
#include "format.h"
#include "leser.h"
#include "schreiber.h"
#include "zahl.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace cdb2xls {

class Form1 {
public:
    static constexpr std::size_t kBlockgroesse = 256 * 1024;

    // `format`: the form of the table; null for the TAB-separated text.
    explicit Form1(Dateien& dateien, std::size_t blockgroesse = kBlockgroesse, Tabellenformat* format = nullptr);

    // Position while the command line is scanned (1-based).
    std::size_t Pos = 0;
    // The trimmed command line during the scan; during a run, the piece of
    // the current line at hand (all of it when it lies within one block).
    std::string_view Zeile;
    // First character of the current line, upper-cased; '\0' for an empty line.
    char ErstesZeichen = '\0';
    // Column the current item goes to, and the column the row stands at.
    int SollSpalte = 0;
    int IstSpalte = 0;
    // 1-based position in the current line where the text to copy begins,
    // 0 for none; during the command-line scan the start of the second argument.
    std::uint64_t TextAnfang = 0;
    std::string Eingabedatei;
    std::string Ausgabedatei;  // exportieren() appends ".xls" (or the format's ending)
    // The open input and output; empty when closed.
    std::unique_ptr<Leser> EingabeNr;
    std::unique_ptr<Schreiber> AusgabeNr;

    // Splits the command line's argument text (quotes included, without the
    // program's own name) into Eingabedatei and Ausgabedatei. False when it is
    // empty; then only Zeile has changed. A missing output name is the
    // input's (ausgabeName). Windows hands its raw command line over.
    bool BefehlszeilenParameter(std::string_view argumenttext);

    // Writes Zeichen to the output unchanged. Throws SchreibFehler.
    void schreiben(std::string_view Zeichen) { AusgabeNr->schreibe(Zeichen); }

    // The conversion run: converts the list section of Eingabedatei into the
    // table Ausgabedatei + ".xls". Call once; both files are closed when it
    // returns.
    Ausgang exportieren();

    // How many lines the fast path took (ganzeZeilen), for the tests and the
    // benchmark: on a usual file, all but a few near block ends.
    std::uint64_t schnelleZeilen() const { return schnelleZeilen_; }

private:
    // What the rest of the current line is for.
    enum class Phase : unsigned char {
        Zeilenanfang,   // nothing of the line seen yet
        Marke,          // before the list: is it "<LIST>"?
        Ueberspringen,  // nothing more of it is written
        Text,           // the item's text, after `auszulassen_` more bytes
        Nummer,         // a numbered entry's number
        Kommas,         // a numbered entry's three leading fields
    };

    bool listeUmwandeln();

    // The fast path: the usual list lines from block position `p` on, in one
    // loop that calls nothing; returns where the first line begins that it
    // leaves to stueck() (`p` when it takes none).
    // - It takes a line only in the list, at a line's start (phase_
    //   Zeilenanfang), whole within the block with its CR before the block's
    //   last byte (so that a LF after it is in sight), and when the output
    //   buffer has room for the line and kZeilenZugabe (ueberhang.h).
    // - Of those it takes lettered fields, "$" lines, lines of no kind, and
    //   numbered entries of one or two digits, ":" and three commas.
    // - It leaves to stueck() an empty line (the list's end), any other
    //   numbered entry, and everything it cannot take as above.
    // - It keeps IstSpalte up and phase_ at Zeilenanfang; Zeile,
    //   ErstesZeichen, SollSpalte, TextAnfang and zeilenStelle_ are stale
    //   after it, until stueck() sets them for its next line.
    // The two paths write the same table; the fuzz target holds them
    // against each other (a small block leaves almost every line to stueck).
    std::size_t ganzeZeilen(std::size_t p);
    void stueck(const char* text, std::size_t anzahl, bool zeilenende);
    void zeileBeginnen(char erstes);
    bool nummerLesen(const char*& text, std::size_t& anzahl, bool zeilenbeginn, bool zeilenende);
    void kommasZaehlen(const char* text, std::size_t anzahl, bool zeilenende);
    void spalteBeginnen();
    void textSchreiben(std::uint64_t von, std::uint64_t bis);
    std::uint64_t dateistelle(const char* imBlock) const {
        return EingabeNr->stelle() + static_cast<std::uint64_t>(imBlock - EingabeNr->daten());
    }
    Ausgang hinweis(std::string meldung, std::string pfad, std::string grund = {});

    Dateien& dateien_;
    std::size_t blockgroesse_;
    Tabellenformat* format_;
    std::string befehlszeile_;  // the storage of Zeile during the scan

    // The state of the current line while it streams past.
    Phase phase_ = Phase::Zeilenanfang;
    bool inListe_ = false;          // the "<LIST>" line is behind
    bool listeZuEnde_ = false;      // its closing empty line too
    std::uint64_t zeilenStelle_ = 0;  // where the line begins in the file
    char marke_[7] = {};            // the first bytes of a line before the list
    std::size_t markeLaenge_ = 0;
    std::uint64_t auszulassen_ = 0;
    Zahlleser zahl_;
    int kommas_ = 0;
    std::uint64_t schnelleZeilen_ = 0;
};

}  // namespace cdb2xls

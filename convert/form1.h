// Form1: the state of a conversion run and its operations. The fields are
// shared between the operations, which read and set them as a run goes on;
// the window side of Form1 is the front end's (ui/).
#pragma once

#include "ausgang.h"
#include "dateien.h"
#include "format.h"
#include "leser.h"
#include "schreiber.h"

#include <cstddef>
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
    // The line being converted; the trimmed command line during the scan.
    // A view into the current line's storage (the input block, or the
    // command line), valid until the next lesen().
    std::string_view Zeile;
    // First character of the last line lesen() delivered, upper-cased;
    // '\0' for an empty line.
    char ErstesZeichen = '\0';
    // Column the current item goes to, and the column the row stands at.
    int SollSpalte = 0;
    int IstSpalte = 0;
    // 1-based position in Zeile where the text to copy begins, 0 for none;
    // during the command-line scan the start of the second argument.
    std::size_t TextAnfang = 0;
    std::string Eingabedatei;
    std::string Ausgabedatei;  // exportieren() appends ".xls" (or the format's ending)
    // The open input and output; empty when closed.
    std::unique_ptr<Leser> EingabeNr;
    std::unique_ptr<Schreiber> AusgabeNr;

    // Splits the command line's argument text (quotes included, without the
    // program's own name) into Eingabedatei and Ausgabedatei. False when it is
    // empty; then only Zeile has changed. Defined in app/.
    bool BefehlszeilenParameter(std::string_view argumenttext);

    // The next input line; the view is valid until the next call. The empty
    // string at the end of the input, which is then closed and ErstesZeichen
    // left as it was. Throws LeseFehler.
    std::string_view lesen() {
        const std::string_view zeile = EingabeNr ? EingabeNr->naechsteZeile() : std::string_view();
        if (zeile.data() == nullptr) {
            EingabeNr.reset();
            return {};
        }
        ErstesZeichen = zeile.empty() ? '\0' : grossbuchstabe(zeile.front());
        return zeile;
    }
    // Writes Zeichen to the output unchanged. Throws SchreibFehler.
    void schreiben(std::string_view Zeichen) { AusgabeNr->schreibe(Zeichen); }

    // The conversion run: converts the list section of Eingabedatei into the
    // table Ausgabedatei + ".xls". Call once; both files are closed when it
    // returns.
    Ausgang exportieren();

private:
    static char grossbuchstabe(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
    bool listeUmwandeln();
    void nummerEintragen();
    void spalteSchreiben();
    Ausgang hinweis(std::string meldung, std::string pfad, std::string grund = {});

    Dateien& dateien_;
    std::size_t blockgroesse_;
    Tabellenformat* format_;
    std::string befehlszeile_;  // the storage of Zeile during the scan
};

}  // namespace cdb2xls

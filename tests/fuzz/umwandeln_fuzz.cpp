// Fuzz target: arbitrary bytes as the input file, converted in memory.
// Besides "no crash", checks what must hold for every input:
// - every block size gives the same table (line ends split between reads,
//   lines longer than a block);
// - apart from the TABs and CRs of the row building, every byte of the table
//   is a byte of the input, in input order;
// - the table holds exactly one CR per "$" line of the list section;
// - the vector scan finds the CRs and commas a plain byte loop finds.
#include "convert/blockscan.h"
#include "convert/form1.h"
#include "tests/speicher_dateien.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using cdb2xls::Form1;
using cdb2xls::test::SpeicherDateien;

void verletzt(const char* was) {
    std::fprintf(stderr, "verletzt: %s\n", was);
    std::abort();
}

struct Ergebnis {
    std::string tabelle;
    bool listeGefunden;
};

Ergebnis umwandeln(const std::string& eingabe, std::size_t block) {
    SpeicherDateien dateien;
    dateien.dateien["in.cdb"] = eingabe;
    dateien.lesestueck = block;
    Form1 form(dateien, block);
    form.Eingabedatei = form.Ausgabedatei = "in.cdb";
    const cdb2xls::Ausgang ausgang = form.exportieren();
    if (!ausgang.erfolgreich()) verletzt("run failed on a readable input");
    if (dateien.offeneEingaben != 0) verletzt("input left open");
    return {dateien.dateien["in.cdb.xls"], ausgang.listeGefunden};
}

// The lines of a text, split here on their own: CR LF or a lone CR ends a
// line, a LF alone is an ordinary character, the last line needs no end.
std::vector<std::string_view> zeilen(std::string_view text) {
    std::vector<std::string_view> ergebnis;
    std::size_t anfang = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '\r') {
            ergebnis.push_back(text.substr(anfang, i - anfang));
            ++i;
            if (i < text.size() && text[i] == '\n') ++i;
            anfang = i;
        } else {
            ++i;
        }
    }
    if (anfang < text.size()) ergebnis.push_back(text.substr(anfang));
    return ergebnis;
}

std::string ohneTabsUndCrs(std::string_view text) {
    std::string ergebnis;
    for (const char c : text) {
        if (c != '\t' && c != '\r') ergebnis += c;
    }
    return ergebnis;
}

bool istTeilfolge(std::string_view teil, std::string_view ganz) {
    std::size_t j = 0;
    for (const char c : ganz) {
        if (j < teil.size() && teil[j] == c) ++j;
    }
    return j == teil.size();
}

// Every CR and comma, from every starting point, as a plain loop finds them,
// with each way of scanning the processor has.
void scanVergleichen(std::string_view text) {
    for (const cdb2xls::Blockscan::Verfahren verfahren : cdb2xls::Blockscan::verfuegbar()) {
        cdb2xls::Blockscan scan(verfahren);
        scan.scannen(text.data(), text.size());
        std::size_t naechstesCr = cdb2xls::Blockscan::kKeins;
        std::size_t naechstesKomma = cdb2xls::Blockscan::kKeins;
        for (std::size_t ab = text.size(); ab-- > 0;) {
            if (text[ab] == '\r') naechstesCr = ab;
            if (text[ab] == ',') naechstesKomma = ab;
            if (scan.naechstesCr(ab) != naechstesCr) verletzt("vector scan misses a CR");
            if (scan.naechstesKomma(ab) != naechstesKomma) verletzt("vector scan misses a comma");
            const std::size_t nah = scan.crAb(ab);
            if (naechstesCr == cdb2xls::Blockscan::kKeins ? nah < text.size() : nah != naechstesCr) {
                verletzt("the CR window misses a CR");
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    const std::string eingabe(reinterpret_cast<const char*>(daten), groesse);
    scanVergleichen(eingabe);

    const Ergebnis referenz = umwandeln(eingabe, groesse == 0 ? 1 : groesse);
    for (const std::size_t block : {1, 2, 3, 7, 64, 65, 4096}) {
        const Ergebnis e = umwandeln(eingabe, block);
        if (e.tabelle != referenz.tabelle || e.listeGefunden != referenz.listeGefunden) {
            verletzt("block size changes the table");
        }
    }

    if (!istTeilfolge(ohneTabsUndCrs(referenz.tabelle), ohneTabsUndCrs(eingabe))) {
        verletzt("table holds bytes that are not the input's, in its order");
    }

    const auto alle = zeilen(eingabe);
    std::size_t i = 0;
    while (i < alle.size() && alle[i] != "<LIST>") ++i;
    if ((i < alle.size()) != referenz.listeGefunden) verletzt("<LIST> found or not");
    std::size_t dollar = 0;
    for (++i; i < alle.size() && !alle[i].empty(); ++i) {
        if (alle[i].front() == '$') ++dollar;
    }
    std::size_t crs = 0;
    for (const char c : referenz.tabelle) crs += c == '\r';
    if (crs != dollar) verletzt("one CR per $ line of the list section");
    return 0;
}

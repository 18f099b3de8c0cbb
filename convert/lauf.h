// One conversion run as every front end starts it: the command line, the
// Windows command line and both drop windows.
#pragma once

#include "ausgang.h"
#include "dateien.h"
#include "format.h"

#include <string>

namespace cdb2xls {

// Where a run's notices go: a message box, a line on stderr, or both.
class Meldestelle {
public:
    virtual ~Meldestelle() = default;
    // The run failed; `hinweis` says why.
    virtual void melden(const Hinweis& hinweis) = 0;
    // The run succeeded, but the input `eingabe` has no "<LIST>" line, so
    // the table is empty. Nothing is said by default.
    virtual void ohneListe(const std::string& eingabe) { (void)eingabe; }
};

// The output name of a run: `ausgabe`, or, when none is given (empty), the
// input's own name, so that the table lands beside the input and is named
// after it ("CDs.cdb" gives "CDs.cdb.xls").
std::string ausgabeName(const std::string& eingabe, const std::string& ausgabe);

// Converts the list section of `eingabe` into the table
// ausgabeName(eingabe, ausgabe) + ".xls" (or, with a `format`, + its ending,
// in its form) and hands a notice to `meldestelle`. The front end ends the
// program with the result's exit status.
Ausgang umwandeln(Dateien& dateien, Meldestelle& meldestelle, std::string eingabe, std::string ausgabe,
                  Tabellenformat* format = nullptr);

}  // namespace cdb2xls

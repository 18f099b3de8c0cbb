// The form a table is written in. Form1 builds the rows once, as the bytes
// of the TAB-separated table (a TAB between two cells, a CR after a row); a
// format other than that text turns these bytes into a file of its own.
#pragma once

#include "ersetzung.h"

#include <memory>
#include <string>

namespace cdb2xls {

class Tabellenformat {
public:
    virtual ~Tabellenformat() = default;
    // What is appended to the output name: ".xls" for the text table.
    virtual std::string endung() const = 0;
    // The output that takes the table's bytes and writes its own file into
    // `datei`, which is made for the path `pfad` (for messages); `datei` is
    // finished by the returned output's abschliessen().
    virtual std::unique_ptr<Ausgabe> ausgabe(std::unique_ptr<Ausgabe> datei, const std::string& pfad) = 0;
};

}  // namespace cdb2xls

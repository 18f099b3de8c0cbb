// The table as an Office Open XML workbook (.xlsx), for --xlsx: one
// worksheet with the grid of the TAB-separated table, every cell text.
// The writer (arbeitsmappe_xlsx.cpp, with libxlsxwriter) is a module of its
// own on Linux, loaded only by a run that writes a workbook
// (arbeitsmappe_laden.cpp), and linked in where there are no modules
// (arbeitsmappe_fest.cpp, the page).
#pragma once

#include "convert/format.h"

#include <functional>
#include <memory>
#include <string>

namespace cdb2xls {

// A warning about what the workbook could not hold (an item cut off,
// columns left out); the run still succeeds.
using Warnung = std::function<void(const std::string& text)>;

// The workbook format; null where it cannot be had, with the reason in `grund`.
std::unique_ptr<Tabellenformat> arbeitsmappenFormat(Warnung warnen, std::string& grund);

}  // namespace cdb2xls

#ifdef _WIN32
#define CDB2XLS_MODULFUNKTION  // linked in: nothing to export
#else
#define CDB2XLS_MODULFUNKTION __attribute__((visibility("default")))
#endif

extern "C" {
// The module's one function: the output that turns the table's bytes into a
// workbook written into `datei` (which it takes over), for the path `pfad`.
// Throws SchreibFehler.
CDB2XLS_MODULFUNKTION cdb2xls::Ausgabe* cdb2xls_arbeitsmappe(cdb2xls::Ausgabe* datei, const std::string* pfad,
                                                             const cdb2xls::Warnung* warnen);
using Cdb2xlsArbeitsmappe = cdb2xls::Ausgabe* (*)(cdb2xls::Ausgabe*, const std::string*, const cdb2xls::Warnung*);
}

namespace cdb2xls {
// The workbook format whose outputs come from the writer's function `neu`.
std::unique_ptr<Tabellenformat> arbeitsmappenFormatMit(Cdb2xlsArbeitsmappe neu, Warnung warnen);
}  // namespace cdb2xls

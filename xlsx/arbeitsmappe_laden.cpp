// The program's side of the workbook: the format, whose outputs come from
// the workbook module, loaded when a run asks for a workbook.
#include "xlsx/arbeitsmappe.h"

#include "system/module_namen.h"
#include "system/module_posix.h"

#include <utility>

namespace cdb2xls {

std::unique_ptr<Tabellenformat> arbeitsmappenFormat(Warnung warnen, std::string& grund) {
    const Modulfunktion gefunden = modulFunktion(CDB2XLS_XLSX_MODUL, "cdb2xls_arbeitsmappe");
    const auto neu = reinterpret_cast<Cdb2xlsArbeitsmappe>(gefunden.funktion);
    if (neu == nullptr) {
        grund = gefunden.grund;
        return nullptr;
    }
    return arbeitsmappenFormatMit(neu, std::move(warnen));
}

}  // namespace cdb2xls

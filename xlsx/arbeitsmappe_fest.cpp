// The workbook where the writer is linked into the program (the page).
#include "xlsx/arbeitsmappe.h"

#include <utility>

namespace cdb2xls {

std::unique_ptr<Tabellenformat> arbeitsmappenFormat(Warnung warnen, std::string&) {
    return arbeitsmappenFormatMit(&cdb2xls_arbeitsmappe, std::move(warnen));
}

}  // namespace cdb2xls

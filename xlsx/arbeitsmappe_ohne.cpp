// A build without libxlsxwriter: no workbooks.
#include "xlsx/arbeitsmappe.h"

namespace cdb2xls {

std::unique_ptr<Tabellenformat> arbeitsmappenFormat(Warnung, std::string& grund) {
    grund = "ohne libxlsxwriter gebaut";
    return nullptr;
}

}  // namespace cdb2xls

// The program's modules (the window, the workbook writer): shared objects
// loaded only when a run needs them, so that a plain conversion loads
// neither Qt nor libxlsxwriter. They lie beside the program, or in its
// module folder under its prefix (lib/ARCH/cdb2xls).
#pragma once

#include <string>

namespace cdb2xls {

// The function `funktion` of the module `modul` (e.g. "cdb2xls-xlsx.so"),
// loaded on first use; null when it cannot be had, with the loader's reason
// in `grund`.
void* modulFunktion(const char* modul, const char* funktion, std::string& grund);

}  // namespace cdb2xls

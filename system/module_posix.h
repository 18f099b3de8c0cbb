// The program's modules (the window, the workbook writer): shared objects
// loaded only when a run needs them, so that a plain conversion loads
// neither Qt nor libxlsxwriter. They lie beside the program, or in its
// module folder under its prefix (lib/ARCH/cdb2xls).
#pragma once

#include <string>

namespace cdb2xls {

// What the search for a module's function found.
struct Modulfunktion {
    void* funktion = nullptr;  // null when it cannot be had
    bool fehlt = false;        // no module of that name in any of its folders
    std::string grund;         // why there is no function: the loader's first real error
};

// The function `funktion` of the module `modul` (e.g. "cdb2xls-xlsx.so"),
// loaded on first use. A module is only ever loaded by an absolute path:
// from the program's own folder, or from the module folder the program was
// built for; never from the current folder.
Modulfunktion modulFunktion(const char* modul, const char* funktion);

}  // namespace cdb2xls

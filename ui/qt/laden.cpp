// The Linux start-up's side of the window: loads the window module and calls
// it. Without any display named in the environment, the module (and Qt) is
// not loaded at all.
#include "ui/fenster.h"

#include "system/module_namen.h"
#include "system/module_posix.h"
#include "ui/qt/anzeige.h"
#include "ui/qt/modul.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace cdb2xls {
namespace {

// The module tries the display itself; this spares loading it where none is named.
bool anzeigeVorhanden() {
    for (const char* name : qt::kAnzeigeVariablen) {
        const char* wert = std::getenv(name);
        if (wert != nullptr && *wert != '\0') return true;
    }
    return false;
}

// The module's function `name`; what keeps it from being had is said once.
Modulfunktion funktion(const char* name) {
    Modulfunktion gefunden = modulFunktion(CDB2XLS_FENSTER_MODUL, name);
    static bool gesagt = false;
    if (gefunden.funktion == nullptr && !gesagt) {
        gesagt = true;
        if (gefunden.fehlt) {
            // The window comes in a package of its own, with Qt.
            std::fprintf(stderr, "%s: Fenster nicht verfügbar (es braucht das Paket cdb2xls-fenster und Qt 6): %s\n",
                         kProgramm, gefunden.grund.c_str());
        } else {
            std::fprintf(stderr, "%s: Fenster nicht verfügbar: %s\n", kProgramm, gefunden.grund.c_str());
        }
    }
    return gefunden;
}

}  // namespace

std::optional<int> fensterZeigen(int& argc, char** argv, const Umwandlung& umwandlung) {
    if (!anzeigeVorhanden()) return std::nullopt;
    const Modulfunktion gefunden = funktion("cdb2xls_fenster_zeigen");
    const auto zeigen = reinterpret_cast<Cdb2xlsFensterZeigen>(gefunden.funktion);
    if (zeigen == nullptr) {
        // Not installed: as without a display. Installed but broken: a failure.
        if (gefunden.fehlt) return std::nullopt;
        return 1;
    }
    const int status = zeigen(&argc, argv, &umwandlung);
    if (status == CDB2XLS_KEINE_ANZEIGE) return std::nullopt;
    return status;
}

bool hinweisImFensterZeigen(int& argc, char** argv, const Hinweis& hinweis) {
    if (!anzeigeVorhanden()) return false;
    const auto zeigen = reinterpret_cast<Cdb2xlsHinweisZeigen>(funktion("cdb2xls_hinweis_zeigen").funktion);
    return zeigen != nullptr && zeigen(&argc, argv, &hinweis);
}

}  // namespace cdb2xls

// The Linux start-up's side of the window: loads the window module beside
// the program (or in its library folder) and calls it. Without any display
// named in the environment, the module (and Qt) is not loaded at all.
#include "ui/fenster.h"

#include "ui/qt/modul.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace cdb2xls {
namespace {

// The module tries the display itself; this spares loading it where none is named.
bool anzeigeVorhanden() {
    const auto gesetzt = [](const char* name) {
        const char* wert = std::getenv(name);
        return wert != nullptr && *wert != '\0';
    };
    return gesetzt("QT_QPA_PLATFORM") || gesetzt("DISPLAY") || gesetzt("WAYLAND_DISPLAY");
}

std::string programmOrdner() {
    char pfad[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", pfad, sizeof pfad - 1);
    if (n <= 0) return ".";
    std::string ordner(pfad, static_cast<std::size_t>(n));
    return ordner.substr(0, ordner.rfind('/'));
}

// The loaded module's function `name`, or null when there is none.
void* funktion(const char* name) {
    static void* modul = [] {
        const std::string ordner = programmOrdner();
        for (const std::string& pfad : {ordner + "/" CDB2XLS_MODUL_NAME,
                                        ordner + "/../" CDB2XLS_MODUL_ORDNER "/" CDB2XLS_MODUL_NAME}) {
            if (void* m = ::dlopen(pfad.c_str(), RTLD_NOW | RTLD_LOCAL)) return m;
        }
        // The window comes in a package of its own, with Qt.
        std::fprintf(stderr, "cdb2xls: Fenster nicht verfügbar (es braucht das Paket cdb2xls-fenster und Qt 6): %s\n",
                     ::dlerror());
        return static_cast<void*>(nullptr);
    }();
    void* gefunden = modul != nullptr ? ::dlsym(modul, name) : nullptr;
    if (modul != nullptr && gefunden == nullptr) std::fprintf(stderr, "cdb2xls: Fenster nicht verfügbar: %s\n", ::dlerror());
    return gefunden;
}

}  // namespace

std::optional<int> fensterZeigen(int& argc, char** argv, const Umwandlung& umwandlung) {
    if (!anzeigeVorhanden()) return std::nullopt;
    const auto zeigen = reinterpret_cast<Cdb2xlsFensterZeigen>(funktion("cdb2xls_fenster_zeigen"));
    if (zeigen == nullptr) return std::nullopt;
    const int status = zeigen(&argc, argv, &umwandlung);
    if (status == CDB2XLS_KEINE_ANZEIGE) return std::nullopt;
    return status;
}

bool hinweisImFensterZeigen(int& argc, char** argv, const Hinweis& hinweis) {
    if (!anzeigeVorhanden()) return false;
    const auto zeigen = reinterpret_cast<Cdb2xlsHinweisZeigen>(funktion("cdb2xls_hinweis_zeigen"));
    return zeigen != nullptr && zeigen(&argc, argv, &hinweis);
}

}  // namespace cdb2xls

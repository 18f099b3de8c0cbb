// The Linux start-up's side of the window: finds a display, loads the window
// module beside the program (or in its library folder) and calls it.
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

// Qt ends the process when it cannot open its platform, so look first.
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
        std::fprintf(stderr, "cdb2xls: Fenster nicht verfügbar: %s\n", ::dlerror());
        return static_cast<void*>(nullptr);
    }();
    void* gefunden = modul != nullptr ? ::dlsym(modul, name) : nullptr;
    if (modul != nullptr && gefunden == nullptr) std::fprintf(stderr, "cdb2xls: Fenster nicht verfügbar: %s\n", ::dlerror());
    return gefunden;
}

}  // namespace

std::optional<int> fensterZeigen(int& argc, char** argv, Dateien& dateien) {
    if (!anzeigeVorhanden()) return std::nullopt;
    const auto zeigen = reinterpret_cast<Cdb2xlsFensterZeigen>(funktion("cdb2xls_fenster_zeigen"));
    if (zeigen == nullptr) return std::nullopt;
    return zeigen(&argc, argv, &dateien);
}

bool hinweisImFensterZeigen(int& argc, char** argv, const Hinweis& hinweis) {
    if (!anzeigeVorhanden()) return false;
    const auto zeigen = reinterpret_cast<Cdb2xlsHinweisZeigen>(funktion("cdb2xls_hinweis_zeigen"));
    if (zeigen == nullptr) return false;
    zeigen(&argc, argv, &hinweis);
    return true;
}

}  // namespace cdb2xls

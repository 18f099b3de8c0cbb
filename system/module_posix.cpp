#include "system/module_posix.h"

#include "system/module_namen.h"
#include "system/systemgrund_posix.h"

#include <dlfcn.h>
#include <sys/auxv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

namespace cdb2xls {
namespace {

std::string ordnerVon(const std::string& pfad) { return pfad.substr(0, pfad.rfind('/')); }

// The folder the program file lies in, as an absolute path; empty with the
// reason in `grund` when it cannot be known. /proc names the program file;
// without /proc the path it was started by does, made absolute. Never ".":
// a module from the current folder would be whatever lies there.
std::string programmOrdner(std::string& grund) {
    char pfad[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", pfad, sizeof pfad);
    if (n > 0 && static_cast<std::size_t>(n) < sizeof pfad && pfad[0] == '/') {
        return ordnerVon(std::string(pfad, static_cast<std::size_t>(n)));
    }
    const int procFehler = n < 0 ? errno : ENAMETOOLONG;
    const char* gestartet = reinterpret_cast<const char*>(::getauxval(AT_EXECFN));
    if (gestartet != nullptr) {
        if (char* echt = ::realpath(gestartet, nullptr)) {
            const std::string ordner = ordnerVon(echt);
            std::free(echt);
            return ordner;
        }
    }
    grund = "Programmordner unbekannt (/proc/self/exe: " + systemGrund(procFehler) + ")";
    return {};
}

// Where a module may lie, in the order they are tried: beside the program
// (the build folder), in the module folder under the program's prefix (an
// installation moved elsewhere), in the module folders it was built for.
std::vector<std::string> modulOrdner(std::string& grund) {
    std::vector<std::string> ordner;
    const std::string programm = programmOrdner(grund);
    if (!programm.empty()) {
        ordner.push_back(programm);
        ordner.push_back(programm + "/../" CDB2XLS_MODUL_ORDNER);
    }
    for (const char* gebaut : {CDB2XLS_MODUL_PFADE}) ordner.push_back(gebaut);
    return ordner;
}

struct Geladen {
    void* handle = nullptr;
    bool fehlt = false;
    std::string grund;
};

Geladen laden(const char* modul) {
    Geladen ergebnis;
    std::string gesucht;
    for (const std::string& ordner : modulOrdner(ergebnis.grund)) {
        const std::string pfad = ordner + "/" + modul;
        struct stat info {};
        if (::stat(pfad.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
            gesucht += (gesucht.empty() ? "" : ", ") + pfad;
            continue;
        }
        // It is there: whatever keeps it from loading is the reason, and
        // no other copy stands in for a broken one.
        ergebnis.handle = ::dlopen(pfad.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (ergebnis.handle == nullptr) ergebnis.grund = ::dlerror();
        return ergebnis;
    }
    ergebnis.fehlt = true;
    ergebnis.grund = (ergebnis.grund.empty() ? "" : ergebnis.grund + "; ") + modul + " nicht gefunden (gesucht: " +
                     gesucht + ")";
    return ergebnis;
}

}  // namespace

Modulfunktion modulFunktion(const char* modul, const char* funktion) {
    static std::map<std::string, Geladen> geladen;  // one program, one copy of each module
    auto eintrag = geladen.find(modul);
    if (eintrag == geladen.end()) eintrag = geladen.emplace(modul, laden(modul)).first;
    Modulfunktion ergebnis;
    if (eintrag->second.handle == nullptr) {
        ergebnis.fehlt = eintrag->second.fehlt;
        ergebnis.grund = eintrag->second.grund;
        return ergebnis;
    }
    ergebnis.funktion = ::dlsym(eintrag->second.handle, funktion);
    if (ergebnis.funktion == nullptr) ergebnis.grund = ::dlerror();
    return ergebnis;
}

}  // namespace cdb2xls

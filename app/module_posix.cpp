#include "app/module_posix.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <map>

namespace cdb2xls {
namespace {

std::string programmOrdner() {
    char pfad[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", pfad, sizeof pfad - 1);
    if (n <= 0) return ".";
    std::string ordner(pfad, static_cast<std::size_t>(n));
    return ordner.substr(0, ordner.rfind('/'));
}

}  // namespace

void* modulFunktion(const char* modul, const char* funktion, std::string& grund) {
    static std::map<std::string, void*> geladen;  // one program, one copy of each module
    void*& handle = geladen[modul];
    if (handle == nullptr) {
        const std::string ordner = programmOrdner();
        for (const std::string& pfad :
             {ordner + "/" + modul, ordner + "/../" CDB2XLS_MODUL_ORDNER "/" + modul}) {
            handle = ::dlopen(pfad.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (handle != nullptr) break;
            grund = ::dlerror();
        }
        if (handle == nullptr) return nullptr;
    }
    void* gefunden = ::dlsym(handle, funktion);
    if (gefunden == nullptr) grund = ::dlerror();
    return gefunden;
}

}  // namespace cdb2xls

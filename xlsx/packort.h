// Where the writing library keeps its temporary files and packs the
// workbook, and how the packed workbook is read back, as the platform has
// it: files without a name under $TMPDIR on Linux (packort_posix.cpp), the
// worker's memory in the page (packort_web.cpp).
#pragma once

#include "convert/dateien.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace cdb2xls {

class Packort {
public:
    virtual ~Packort() = default;
    // The folder for the library's temporary files (its tmpdir option).
    virtual const std::string& zwischenordner() const = 0;
    // Runs `schreiben(name)`, in which the library writes the packed
    // workbook under `name`; then the workbook can be read. Throws SchreibFehler.
    virtual void packen(const std::function<void(const std::string& name)>& schreiben) = 0;
    // The packed workbook's size, and up to `anzahl` of its bytes from
    // `stelle` on (fewer only at its end). Throw SchreibFehler.
    virtual std::uint64_t groesse() = 0;
    virtual std::size_t lies(std::uint64_t stelle, char* puffer, std::size_t anzahl) = 0;
    // How far the library's temporary file `datei` is written.
    virtual std::int64_t stelle(std::FILE* datei) const = 0;
    // The place, for messages: "Ordner für Zwischendateien /tmp".
    virtual const std::string& bezeichnung() const = 0;
    // A write into one of the library's temporary files failed with the
    // system's error `grund`: throws SchreibFehler naming the place.
    [[noreturn]] void fehler(int grund) const { throw SchreibFehler(bezeichnung() + ": " + std::strerror(grund)); }
};

// The platform's place. Throws SchreibFehler when it cannot serve.
std::unique_ptr<Packort> packortErstellen();

}  // namespace cdb2xls

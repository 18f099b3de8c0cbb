// How a table takes the place of an earlier file of its name: it is written
// into a file of its own beside the target and moved over the target only
// when complete, with the earlier file's permissions and owner, and never
// over the input it is made from. One protocol for every platform; the
// platform supplies the system calls (dateien.h).
#pragma once

#include "dateien.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace cdb2xls {

// The table would replace the input it is made from.
struct AusgabeIstEingabe : SchreibFehler {
    AusgabeIstEingabe() : SchreibFehler("Ausgabe wäre die Eingabe") {}
};

// An output file being written. Until abschliessen() succeeds nothing of it
// replaces an earlier file of the same name; destroying an Ausgabe that was
// not finished discards what was written.
class Ausgabe {
public:
    virtual ~Ausgabe() = default;
    // Writes all `anzahl` bytes or throws SchreibFehler.
    virtual void schreibe(const char* daten, std::size_t anzahl) = 0;
    // Makes the written bytes the file's content. Throws SchreibFehler,
    // AusgabeIstEingabe.
    virtual void abschliessen() = 0;
};

// The output for a table at `pfad`, made from the open input `eingabe`.
// - An existing file there that may not be written is refused, as opening
//   it for writing would be; a device or a FIFO is written straight into.
// - Otherwise the table goes into a file beside the target, unnamed where
//   the platform allows, and replaces the target when complete.
// - Where the folder takes no new file, or the system would not let a new
//   file replace the existing one, but that file may be written, it is
//   written in place (then a failed run leaves it incomplete).
// Throws AusgabeIstEingabe, SchreibFehler.
std::unique_ptr<Ausgabe> ausgabeErstellen(Dateien& dateien, const std::string& pfad, const Dateikennung& eingabe);

// The name of a file beside the target while the table is written: short
// and always of the same length, so any name the target may have leaves
// room for it. `zahl` makes it unique.
std::string zwischenname(std::uint64_t zahl);

}  // namespace cdb2xls

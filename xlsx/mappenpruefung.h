// A check of the packed workbook, made before it replaces anything. The
// writing library writes each part of the workbook (the worksheet, the
// styles, …) into a temporary file of its own and packs that file into the
// workbook; a write into such a file that fails (a full disk, a file-size
// limit) goes unseen by the library, and the part is packed as far as it
// got. So every part is unpacked once more and must be whole: an XML part
// ends with the closing tag of its root element, and the worksheet holds at
// least the rows it was given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace cdb2xls {

// Reads up to `anzahl` bytes of the packed file from `stelle` on; fewer only
// at its end. Throws SchreibFehler.
using Mappenleser = std::function<std::size_t(std::uint64_t stelle, char* puffer, std::size_t anzahl)>;

// Checks the workbook of `groesse` bytes; `blatt` is the worksheet's part
// ("xl/worksheets/sheet1.xml"), which must unpack to at least `blattMindestens`
// bytes. Throws SchreibFehler with what is wrong.
void mappePruefen(const Mappenleser& lesen, std::uint64_t groesse, const std::string& blatt,
                  std::uint64_t blattMindestens);

}  // namespace cdb2xls

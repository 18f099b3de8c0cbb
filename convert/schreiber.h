// Buffered output: collects the small pieces of a row and hands the output
// large blocks.
#pragma once

#include "dateien.h"

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace cdb2xls {

class Schreiber {
public:
    Schreiber(std::unique_ptr<Ausgabe> ausgabe, std::size_t puffergroesse);

    // Throws SchreibFehler.
    void schreibe(std::string_view text);
    void schreibeWiederholt(char zeichen, std::size_t anzahl);
    // Writes out what is buffered and makes the file complete.
    void abschliessen();

private:
    void leeren();

    std::unique_ptr<Ausgabe> ausgabe_;
    std::vector<char> puffer_;
    std::size_t belegt_ = 0;
};

}  // namespace cdb2xls

// Buffered output: collects the small pieces of a row and hands the output
// large blocks.
#pragma once

#include "ersetzung.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace cdb2xls {

class Schreiber {
public:
    Schreiber(std::unique_ptr<Ausgabe> ausgabe, std::size_t puffergroesse);

    // Throws SchreibFehler.
    void schreibe(std::string_view text) {
        if (text.size() <= puffer_.size() - belegt_) {
            std::memcpy(puffer_.data() + belegt_, text.data(), text.size());
            belegt_ += text.size();
        } else {
            schreibeGross(text);
        }
    }
    void schreibeWiederholt(char zeichen, std::size_t anzahl) {
        if (anzahl == 0) return;
        if (anzahl == 1 && belegt_ < puffer_.size()) {  // the usual TAB between two cells
            puffer_[belegt_++] = zeichen;
        } else if (anzahl <= puffer_.size() - belegt_) {
            std::memset(puffer_.data() + belegt_, zeichen, anzahl);
            belegt_ += anzahl;
        } else {
            schreibeWiederholtGross(zeichen, anzahl);
        }
    }
    // Writes out what is buffered and makes the file complete.
    void abschliessen();

private:
    void schreibeGross(std::string_view text);
    void schreibeWiederholtGross(char zeichen, std::size_t anzahl);
    void leeren();

    std::unique_ptr<Ausgabe> ausgabe_;
    std::vector<char> puffer_;
    std::size_t belegt_ = 0;
};

}  // namespace cdb2xls

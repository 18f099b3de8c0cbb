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
    // Readable bytes after a text handed to schreibeMitUeberhang().
    static constexpr std::size_t kUeberhang = 32;

    Schreiber(std::unique_ptr<Ausgabe> ausgabe, std::size_t puffergroesse);

    // Throws SchreibFehler.
    void schreibe(std::string_view text) {
        if (text.size() <= static_cast<std::size_t>(ende_ - frei_)) {
            std::memcpy(frei_, text.data(), text.size());
            frei_ += text.size();
        } else {
            schreibeGross(text);
        }
    }
    // The same for text in a buffer with at least kUeberhang readable bytes
    // after it (the input block): a short text, the usual case, is copied
    // as one fixed-size move instead of a call to memcpy.
    void schreibeMitUeberhang(std::string_view text) {
        if (text.size() <= kUeberhang && ende_ - frei_ >= static_cast<std::ptrdiff_t>(kUeberhang)) {
            std::memcpy(frei_, text.data(), kUeberhang);
            frei_ += text.size();
        } else {
            schreibe(text);
        }
    }
    void schreibeWiederholt(char zeichen, std::size_t anzahl) {
        if (zeichen == '\t' && anzahl <= kTabs.size() && ende_ - frei_ >= static_cast<std::ptrdiff_t>(kTabs.size())) {
            // The usual run of TABs between two cells, as one fixed-size move.
            std::memcpy(frei_, kTabs.data(), kTabs.size());
            frei_ += anzahl;
        } else if (anzahl <= static_cast<std::size_t>(ende_ - frei_)) {
            std::memset(frei_, zeichen, anzahl);
            frei_ += anzahl;
        } else {
            schreibeWiederholtGross(zeichen, anzahl);
        }
    }
    // Writes out what is buffered and makes the file complete.
    void abschliessen();

private:
    static constexpr std::string_view kTabs = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";

    void schreibeGross(std::string_view text);
    void schreibeWiederholtGross(char zeichen, std::size_t anzahl);
    void leeren();

    std::unique_ptr<Ausgabe> ausgabe_;
    std::vector<char> puffer_;
    char* frei_;  // the buffer holds [puffer_.data(), frei_)
    char* ende_;
};

}  // namespace cdb2xls

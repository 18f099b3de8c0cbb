// Buffered output: collects the small pieces of a row and hands the output
// large blocks.
#pragma once

#include "ersetzung.h"
#include "ueberhang.h"

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
        if (text.size() <= static_cast<std::size_t>(ende_ - frei_)) {
            std::memcpy(frei_, text.data(), text.size());
            frei_ += text.size();
        } else {
            schreibeGross(text);
        }
    }
    void schreibeWiederholt(char zeichen, std::size_t anzahl) {
        if (anzahl <= static_cast<std::size_t>(ende_ - frei_)) {
            std::memset(frei_, zeichen, anzahl);
            frei_ += anzahl;
        } else {
            schreibeWiederholtGross(zeichen, anzahl);
        }
    }
    // Writes out what is buffered and makes the file complete.
    void abschliessen();

    class Direkt;

private:
    static constexpr std::string_view kTabs = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
    static_assert(kTabs.size() == kTabSchritt);

    void schreibeGross(std::string_view text);
    void schreibeWiederholtGross(char zeichen, std::size_t anzahl);
    void leeren();

    std::unique_ptr<Ausgabe> ausgabe_;
    std::vector<char> puffer_;
    char* frei_;  // the buffer holds [puffer_.data(), frei_)
    char* ende_;
};

// Writes the pieces of many lines straight into the buffer, with the write
// position held here, in a register, for the while: a store through a char
// pointer may alias any member, so a loop writing through frei_ would have
// to load it again after every piece. Nothing here calls out, so that the
// loop keeps all its state in registers; where a line's pieces do not fit,
// the loop leaves that line to the Schreiber's own calls.
class Schreiber::Direkt {
public:
    // Empties the buffer first where less than `mindestens` bytes are free.
    // Throws SchreibFehler.
    Direkt(Schreiber& schreiber, std::size_t mindestens) : s_(schreiber) {
        if (static_cast<std::size_t>(s_.ende_ - s_.frei_) < mindestens) s_.leeren();
        frei_ = s_.frei_;
        ende_ = s_.ende_;
    }
    Direkt(const Direkt&) = delete;
    Direkt& operator=(const Direkt&) = delete;
    ~Direkt() { s_.frei_ = frei_; }

    // Whether `anzahl` bytes fit; the pieces written below need room for
    // what they write rounded up to their step (kTabSchritt, kTextSchritt),
    // and at least one step (ueberhang.h).
    bool passt(std::size_t anzahl) const { return static_cast<std::size_t>(ende_ - frei_) >= anzahl; }

    // The first step is taken whatever `anzahl` (also 0): the room is there,
    // and a store costs less than a test.
    void tabs(std::size_t anzahl) {
        char* ziel = frei_;
        frei_ += anzahl;
        do {
            std::memcpy(ziel, kTabs.data(), kTabSchritt);
            ziel += kTabSchritt;
        } while (ziel < frei_);
    }
    // `text` lies in a buffer with kUeberhang readable bytes after it.
    void text(const char* text, std::size_t anzahl) {
        char* ziel = frei_;
        frei_ += anzahl;
        do {
            std::memcpy(ziel, text, kTextSchritt);
            ziel += kTextSchritt;
            text += kTextSchritt;
        } while (ziel < frei_);
    }
    void zeichen(char z) { *frei_++ = z; }

private:
    Schreiber& s_;
    char* frei_;
    char* ende_;
};

}  // namespace cdb2xls

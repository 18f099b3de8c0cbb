// Line input: reads the input in large blocks and hands out one line at a
// time, so memory grows with the longest line only, never with the file.
#pragma once

#include "dateien.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cdb2xls {

class Leser {
public:
    Leser(std::unique_ptr<Eingabe> eingabe, std::size_t blockgroesse);

    // The next line, without its terminator (CR LF, or a CR on its own; a LF
    // on its own is an ordinary character). The view stays valid until the
    // next call. When no line is left, a view whose data() is null; the input
    // is then closed. Throws LeseFehler.
    std::string_view naechsteZeile() {
        // The usual case, inline: the whole line lies in the current block.
        if (anfang_ < ende_) {
            if (lfUeberspringen_) {
                lfUeberspringen_ = false;
                if (block_[anfang_] == '\n') ++anfang_;
            }
            if (const std::string_view zeile = bisCr(); zeile.data() != nullptr) return zeile;
        }
        return naechsteZeileLangsam();
    }

private:
    // From anfang_ on in the current block: the line up to the next CR,
    // taken with its CR. A view whose data() is null when the block holds
    // no CR from there.
    std::string_view bisCr() {
        const char* start = block_.data() + anfang_;
        const void* cr = std::memchr(start, '\r', ende_ - anfang_);
        if (cr == nullptr) return {};
        const auto laenge = static_cast<std::size_t>(static_cast<const char*>(cr) - start);
        anfang_ += laenge + 1;
        lfUeberspringen_ = true;
        return {start, laenge};
    }
    std::string_view naechsteZeileLangsam();
    bool fuelle();

    std::unique_ptr<Eingabe> eingabe_;
    std::vector<char> block_;
    std::size_t anfang_ = 0;  // unread bytes are block_[anfang_, ende_)
    std::size_t ende_ = 0;
    bool lfUeberspringen_ = false;  // the last line ended at a CR
    std::string lang_;              // a line that runs over a block boundary
};

}  // namespace cdb2xls

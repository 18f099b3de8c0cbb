#include "leser.h"

#include <cstring>
#include <utility>

namespace cdb2xls {

Leser::Leser(std::unique_ptr<Eingabe> eingabe, std::size_t blockgroesse)
    : eingabe_(std::move(eingabe)), block_(blockgroesse == 0 ? 1 : blockgroesse) {}

bool Leser::fuelle() {
    anfang_ = ende_ = 0;
    if (!eingabe_) return false;
    const std::size_t n = eingabe_->lies(block_.data(), block_.size());
    if (n == 0) {
        eingabe_.reset();
        return false;
    }
    ende_ = n;
    return true;
}

std::string_view Leser::naechsteZeileLangsam() {
    if (anfang_ == ende_ && !fuelle()) return {};
    if (lfUeberspringen_) {
        // A CR LF may be split between two blocks, so the LF is looked for
        // only once the next byte is at hand.
        lfUeberspringen_ = false;
        if (block_[anfang_] == '\n') {
            ++anfang_;
            if (anfang_ == ende_ && !fuelle()) return {};
        }
    }

    if (const std::string_view zeile = bisCr(); zeile.data() != nullptr) return zeile;

    // The line runs over the end of the block.
    lang_.assign(block_.data() + anfang_, ende_ - anfang_);
    while (fuelle()) {
        if (const std::string_view rest = bisCr(); rest.data() != nullptr) {
            lang_.append(rest);
            return lang_;
        }
        lang_.append(block_.data(), ende_);
    }
    return lang_;  // the last line, without a terminator
}

}  // namespace cdb2xls

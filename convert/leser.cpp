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

    const char* start = block_.data() + anfang_;
    const void* cr = std::memchr(start, '\r', ende_ - anfang_);
    if (cr != nullptr) {
        const auto laenge = static_cast<std::size_t>(static_cast<const char*>(cr) - start);
        anfang_ += laenge + 1;
        lfUeberspringen_ = true;
        return {start, laenge};
    }

    lang_.assign(start, ende_ - anfang_);
    while (fuelle()) {
        start = block_.data();
        cr = std::memchr(start, '\r', ende_);
        if (cr != nullptr) {
            const auto laenge = static_cast<std::size_t>(static_cast<const char*>(cr) - start);
            lang_.append(start, laenge);
            anfang_ = laenge + 1;
            lfUeberspringen_ = true;
            return lang_;
        }
        lang_.append(start, ende_);
    }
    return lang_;  // the last line, without a terminator
}

}  // namespace cdb2xls

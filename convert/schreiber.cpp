#include "schreiber.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace cdb2xls {

Schreiber::Schreiber(std::unique_ptr<Ausgabe> ausgabe, std::size_t puffergroesse)
    : ausgabe_(std::move(ausgabe)),
      puffer_(puffergroesse == 0 ? 1 : puffergroesse),
      frei_(puffer_.data()),
      ende_(puffer_.data() + puffer_.size()) {}

void Schreiber::leeren() {
    if (frei_ == puffer_.data()) return;
    ausgabe_->schreibe(puffer_.data(), static_cast<std::size_t>(frei_ - puffer_.data()));
    frei_ = puffer_.data();
}

// Text that does not fit what is left of the buffer.
void Schreiber::schreibeGross(std::string_view text) {
    leeren();
    if (text.size() >= puffer_.size()) {
        ausgabe_->schreibe(text.data(), text.size());
    } else {
        std::memcpy(frei_, text.data(), text.size());
        frei_ += text.size();
    }
}

void Schreiber::schreibeWiederholtGross(char zeichen, std::size_t anzahl) {
    while (anzahl > 0) {
        if (frei_ == ende_) leeren();
        const std::size_t stueck = std::min(anzahl, static_cast<std::size_t>(ende_ - frei_));
        std::memset(frei_, zeichen, stueck);
        frei_ += stueck;
        anzahl -= stueck;
    }
}

void Schreiber::abschliessen() {
    leeren();
    ausgabe_->abschliessen();
}

}  // namespace cdb2xls

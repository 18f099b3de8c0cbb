#include "schreiber.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace cdb2xls {

Schreiber::Schreiber(std::unique_ptr<Ausgabe> ausgabe, std::size_t puffergroesse)
    : ausgabe_(std::move(ausgabe)), puffer_(puffergroesse == 0 ? 1 : puffergroesse) {}

void Schreiber::leeren() {
    if (belegt_ == 0) return;
    ausgabe_->schreibe(puffer_.data(), belegt_);
    belegt_ = 0;
}

// Text that does not fit what is left of the buffer.
void Schreiber::schreibeGross(std::string_view text) {
    leeren();
    if (text.size() >= puffer_.size()) {
        ausgabe_->schreibe(text.data(), text.size());
    } else {
        std::memcpy(puffer_.data(), text.data(), text.size());
        belegt_ = text.size();
    }
}

void Schreiber::schreibeWiederholtGross(char zeichen, std::size_t anzahl) {
    while (anzahl > 0) {
        if (belegt_ == puffer_.size()) leeren();
        const std::size_t stueck = std::min(anzahl, puffer_.size() - belegt_);
        std::memset(puffer_.data() + belegt_, zeichen, stueck);
        belegt_ += stueck;
        anzahl -= stueck;
    }
}

void Schreiber::abschliessen() {
    leeren();
    ausgabe_->abschliessen();
}

}  // namespace cdb2xls

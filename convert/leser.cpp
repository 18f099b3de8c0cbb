#include "leser.h"

#include "ueberhang.h"

#include <utility>

namespace cdb2xls {

Leser::Leser(std::unique_ptr<Eingabe> eingabe, std::size_t blockgroesse)
    : eingabe_(std::move(eingabe)),
      block_((blockgroesse == 0 ? 1 : blockgroesse) + kUeberhang),
      nochmal_(std::min<std::size_t>(block_.size(), 64 * 1024)) {}

bool Leser::naechsterBlock() {
    stelle_ += groesse_;
    groesse_ = 0;
    const std::size_t n = eingabe_->lies(block_.data(), block_.size() - kUeberhang);
    if (n == 0) return false;
    groesse_ = n;
    scan_.scannen(block_.data(), n);
    return true;
}

}  // namespace cdb2xls

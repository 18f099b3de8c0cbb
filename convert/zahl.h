// The number a numbered entry line begins with, and the column it goes to.
#pragma once

#include <optional>
#include <string_view>

namespace cdb2xls {

// Reads the number at the start of `text` as a leading-number conversion
// does: decimal digits, optionally "." and a fraction, optionally an exponent
// ("E" or "e", a sign, digits); blanks, TABs and LFs anywhere in it are
// skipped, and the first other character ends it. No number gives 0.
// A number too large for a double gives infinity.
double fuehrendeZahl(std::string_view text);

// The column of numbered entry `nummer`: nummer + 7, rounded to the nearest
// whole number, ties to the even one. Empty when that is not a finite number
// or does not fit a column (1 to 32767).
std::optional<int> spalteFuerNummer(double nummer);

}  // namespace cdb2xls

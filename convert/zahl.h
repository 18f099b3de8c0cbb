// The number a numbered entry line begins with, and the column it goes to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace cdb2xls {

// Reads a number as a leading-number conversion does: decimal digits,
// optionally "." and a fraction, optionally an exponent ("E" or "e", a sign,
// digits); blanks, TABs and LFs anywhere in it are skipped, and the first
// other character ends it. The text may come in pieces (a line longer than
// a block), and memory stays small however long the number: leading zeros
// and blanks are only counted, and of the digits the first 800 significant
// ones are kept with a mark that more non-zero digits followed, which
// rounds to the same double as all of them.
class Zahlleser {
public:
    Zahlleser() = default;
    // Starts on a new number (keeping the memory it has).
    void beginnen() {
        *this = Zahlleser(std::move(ziffern_));
    }
    // Takes the next piece; returns how many of its bytes belong to the
    // number. Fewer than `anzahl` when the number ended (fertig()).
    std::size_t weiter(const char* text, std::size_t anzahl);
    // True once a character that cannot continue the number was met.
    bool fertig() const { return phase_ == Phase::Fertig; }
    // The number read so far (at the end of the line, the number); 0 when
    // there was none, infinity when it is too large for a double.
    double wert() const;

private:
    explicit Zahlleser(std::string&& ziffern) : ziffern_(std::move(ziffern)) { ziffern_.clear(); }

    enum class Phase : unsigned char { Ganz, Bruch, E, Vorzeichen, Exponent, Fertig };
    static constexpr std::size_t kZiffern = 800;

    void ziffer(char c);

    Phase phase_ = Phase::Ganz;
    std::string ziffern_;               // significant digits, at most kZiffern
    bool mehr_ = false;                 // non-zero digits followed those kept
    bool irgendeineZiffer_ = false;     // a digit was read (of the integer or the fraction)
    std::int64_t stellen_ = 0;          // the decimal point lies this many places after ziffern_'s start
    bool exponentNegativ_ = false;
    bool exponentZiffer_ = false;       // "1e" without digits is the number 1
    std::int64_t exponent_ = 0;         // held back from overflowing
};

// The whole number at the start of `text` (Zahlleser on one piece).
double fuehrendeZahl(std::string_view text);

// The column of numbered entry `nummer`: nummer + 7, rounded to the nearest
// whole number, ties to the even one. Empty when that is not a finite number
// or does not fit a column (1 to 32767).
std::optional<int> spalteFuerNummer(double nummer);

}  // namespace cdb2xls

#include "zahl.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace cdb2xls {
namespace {

constexpr int kGroessteSpalte = 32767;

bool istZiffer(char c) { return c >= '0' && c <= '9'; }
bool istLeerraum(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// Walks over the number's characters, skipping blanks between them.
class Zeichenfolge {
public:
    explicit Zeichenfolge(std::string_view text) : text_(text) { ueberspringe(); }
    bool ende() const { return i_ >= text_.size(); }
    char aktuell() const { return ende() ? '\0' : text_[i_]; }
    void weiter() {
        ++i_;
        ueberspringe();
    }
    std::size_t stelle() const { return i_; }
    void zurueck(std::size_t stelle) { i_ = stelle; }

private:
    void ueberspringe() {
        while (i_ < text_.size() && istLeerraum(text_[i_])) ++i_;
    }
    std::string_view text_;
    std::size_t i_ = 0;
};

std::string ziffern(Zeichenfolge& z) {
    std::string s;
    while (istZiffer(z.aktuell())) {
        s += z.aktuell();
        z.weiter();
    }
    return s;
}

// The exponent's value, held back from overflowing.
long long exponentWert(std::string_view exponent) {
    const bool negativ = !exponent.empty() && exponent.front() == '-';
    if (!exponent.empty() && (exponent.front() == '-' || exponent.front() == '+')) {
        exponent.remove_prefix(1);
    }
    long long wert = 0;
    for (const char c : exponent) {
        if (wert < 1'000'000'000'000LL) wert = wert * 10 + (c - '0');
    }
    return negativ ? -wert : wert;
}

}  // namespace

double fuehrendeZahl(std::string_view text) {
    Zeichenfolge z(text);
    const std::string ganz = ziffern(z);
    std::string bruch;
    if (z.aktuell() == '.') {
        z.weiter();
        bruch = ziffern(z);
    }
    if (ganz.empty() && bruch.empty()) return 0.0;

    std::string exponent;
    if (z.aktuell() == 'E' || z.aktuell() == 'e') {
        const std::size_t vorher = z.stelle();
        z.weiter();
        std::string vorzeichen;
        if (z.aktuell() == '+' || z.aktuell() == '-') {
            vorzeichen = z.aktuell();
            z.weiter();
        }
        exponent = ziffern(z);
        if (exponent.empty()) {
            z.zurueck(vorher);  // "1e" is the number 1 followed by other text
        } else {
            exponent = vorzeichen + exponent;
        }
    }

    // Small whole numbers, the usual case, need no floating-point parse.
    if (bruch.empty() && exponent.empty() && ganz.size() <= 9) {
        long wert = 0;
        for (const char c : ganz) wert = wert * 10 + (c - '0');
        return static_cast<double>(wert);
    }

    std::string zahl = (ganz.empty() ? "0" : ganz) + (bruch.empty() ? "" : "." + bruch);
    if (!exponent.empty()) zahl += "e" + exponent;
    double wert = 0.0;
    const auto fehler = std::from_chars(zahl.data(), zahl.data() + zahl.size(), wert).ec;
    if (fehler == std::errc::result_out_of_range) {
        // Too large or too small for a double: the decimal order of magnitude
        // decides which.
        long long ordnung = 0;
        const auto erste = ganz.find_first_not_of('0');
        if (erste != std::string::npos) {
            ordnung = static_cast<long long>(ganz.size() - erste);
        } else {
            ordnung = -static_cast<long long>(bruch.find_first_not_of('0'));
        }
        return ordnung + exponentWert(exponent) > 0 ? std::numeric_limits<double>::infinity()
                                                    : 0.0;
    }
    return wert;
}

std::optional<int> spalteFuerNummer(double nummer) {
    const double summe = nummer + 7;
    if (!std::isfinite(summe)) return std::nullopt;
    double gerundet = std::floor(summe);
    const double rest = summe - gerundet;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(gerundet, 2.0) != 0.0)) gerundet += 1.0;
    if (gerundet < 1.0 || gerundet > kGroessteSpalte) return std::nullopt;
    return static_cast<int>(gerundet);
}

}  // namespace cdb2xls

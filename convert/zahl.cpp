#include "zahl.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace cdb2xls {
namespace {

constexpr int kGroessteSpalte = 32767;
// Beyond this decimal order of magnitude a double is infinite or zero; the
// exponent is held here, far from overflowing.
constexpr std::int64_t kGrenze = 1'000'000'000'000LL;

bool istZiffer(char c) { return c >= '0' && c <= '9'; }
bool istLeerraum(char c) { return c == ' ' || c == '\t' || c == '\n'; }

}  // namespace

void Zahlleser::ziffer(char c) {
    irgendeineZiffer_ = true;
    if (phase_ == Phase::Ganz) {
        if (ziffern_.empty() && c == '0') return;  // a leading zero
        if (stellen_ < kGrenze) ++stellen_;
    } else if (ziffern_.empty() && c == '0') {  // a zero right after the point
        if (stellen_ > -kGrenze) --stellen_;
        return;
    }
    if (ziffern_.size() < kZiffern) {
        ziffern_ += c;
    } else if (c != '0') {
        mehr_ = true;
    }
}

std::size_t Zahlleser::weiter(const char* text, std::size_t anzahl) {
    std::size_t i = 0;
    for (; i < anzahl; ++i) {
        const char c = text[i];
        if (istLeerraum(c)) continue;
        switch (phase_) {
            case Phase::Ganz:
            case Phase::Bruch:
                if (istZiffer(c)) {
                    ziffer(c);
                    continue;
                }
                if (c == '.' && phase_ == Phase::Ganz) {
                    phase_ = Phase::Bruch;
                    continue;
                }
                if ((c == 'E' || c == 'e') && irgendeineZiffer_) {
                    phase_ = Phase::E;
                    continue;
                }
                break;
            case Phase::E:
                if (c == '+' || c == '-') {
                    exponentNegativ_ = c == '-';
                    phase_ = Phase::Vorzeichen;
                    continue;
                }
                [[fallthrough]];
            case Phase::Vorzeichen:
            case Phase::Exponent:
                if (istZiffer(c)) {
                    exponentZiffer_ = true;
                    phase_ = Phase::Exponent;
                    if (exponent_ < kGrenze) exponent_ = exponent_ * 10 + (c - '0');
                    continue;
                }
                break;
            case Phase::Fertig:
                return i;
        }
        phase_ = Phase::Fertig;
        return i;
    }
    return i;
}

double Zahlleser::wert() const {
    if (ziffern_.empty()) return 0.0;  // no digit, or zeros only
    // 0.DIGITS times ten to the power of the places and the exponent.
    const std::int64_t exponent = exponentZiffer_ ? (exponentNegativ_ ? -exponent_ : exponent_) : 0;
    const std::int64_t ordnung = stellen_ + exponent;
    // A whole number of a few digits, the usual case, needs no parse.
    if (!mehr_ && ordnung <= 15 && ordnung >= static_cast<std::int64_t>(ziffern_.size())) {
        std::int64_t wert = 0;
        for (const char c : ziffern_) wert = wert * 10 + (c - '0');
        for (auto i = static_cast<std::int64_t>(ziffern_.size()); i < ordnung; ++i) wert *= 10;
        return static_cast<double>(wert);
    }
    if (ordnung > 400) return std::numeric_limits<double>::infinity();
    if (ordnung < -400) return 0.0;
    std::string zahl = "0." + ziffern_;
    if (mehr_) zahl += '1';  // rounds as all the digits that follow would
    zahl += 'e' + std::to_string(ordnung);
    double wert = 0.0;
#if __cpp_lib_to_chars >= 201611L
    if (std::from_chars(zahl.data(), zahl.data() + zahl.size(), wert).ec == std::errc::result_out_of_range) {
        return ordnung > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
#else
    // A standard library without from_chars for doubles (Emscripten's
    // libc++): strtod, which reads "." as the point in the "C" locale such
    // a build always runs in, and gives infinity or 0 out of range.
    wert = std::strtod(zahl.c_str(), nullptr);
#endif
    return wert;
}

double fuehrendeZahl(std::string_view text) {
    Zahlleser leser;
    leser.weiter(text.data(), text.size());
    return leser.wert();
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

// Reading the number of a numbered entry and rounding it to a column.
#include "convert/zahl.h"
#include "convert/zeichen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace cdb2xls::test {
namespace {

struct Zahlfall {
    std::string text;
    double wert;
};

TEST(FuehrendeZahl, LiestWieEineZahlumwandlung) {
    const std::vector<Zahlfall> faelle = {
        {"12", 12},       {"12:a,b", 12},     {"007", 7},         {"1 2", 12},
        {"1\t2\n3", 123}, {"1.5", 1.5},       {"1 . 2 5", 1.25},  {"1.", 1},
        {".5", 0.5},      {"2e3", 2000},      {"2E+3", 2000},     {"25e-1", 2.5},
        {"2 e 3", 2000},  {"2e", 2},          {"2e+", 2},         {"2ex", 2},
        {"3a,b", 3},      {"1.2.3", 1.2},     {"", 0},            {"abc", 0},
        {"12345678901", 12345678901.0},       {"1e-400", 0},      {"0.0e99999", 0},
        {"99999999999999999999", 1e20},
    };
    for (const auto& fall : faelle) {
        EXPECT_DOUBLE_EQ(fuehrendeZahl(fall.text), fall.wert) << "«" << fall.text << "»";
    }
    EXPECT_TRUE(std::isinf(fuehrendeZahl("1e400")));
    EXPECT_TRUE(std::isinf(fuehrendeZahl("1e99999999999999999999")));
    EXPECT_EQ(fuehrendeZahl("1e-99999999999999999999"), 0.0);
}

TEST(SpalteFuerNummer, SiebenDazuGeradeGerundet) {
    const std::vector<std::pair<double, int>> faelle = {
        {0, 7},     {1, 8},     {12, 19},   {0.4, 7},   {0.5, 8},      {0.6, 8},
        {1.5, 8},   {2.5, 10},  {3.5, 10},  {1.49, 8},  {32760, 32767}, {32760.49, 32767},
    };
    for (const auto& [nummer, spalte] : faelle) {
        EXPECT_EQ(spalteFuerNummer(nummer), spalte) << nummer;
    }
}

TEST(SpalteFuerNummer, AusserhalbEntfaellt) {
    for (const double nummer : {32760.5, 32761.0, 1e9, HUGE_VAL, std::nan("")}) {
        EXPECT_FALSE(spalteFuerNummer(nummer).has_value()) << nummer;
    }
}

}  // namespace
}  // namespace cdb2xls::test

namespace cdb2xls::test {
namespace {

// The word-at-a-time search against a plain one, over lengths and places
// that cross the eight-byte steps.
TEST(HinterDemNten, WieEineEinfacheSuche) {
    const auto einfach = [](std::string_view text, char zeichen, int n) {
        std::size_t hinter = 0;
        for (std::size_t i = 0; i < text.size() && n > 0; ++i) {
            if (text[i] == zeichen) {
                hinter = i + 1;
                --n;
            }
        }
        return hinter;
    };
    for (std::size_t laenge = 0; laenge <= 40; ++laenge) {
        for (std::size_t schritt = 1; schritt <= 9; ++schritt) {
            std::string text(laenge, 'a');
            for (std::size_t i = schritt - 1; i < laenge; i += schritt) text[i] = ',';
            if (laenge > 3) text[laenge / 2] = '\xac';  // a byte that differs from ',' only in its high bit
            for (const int n : {1, 2, 3, 5}) {
                EXPECT_EQ(hinterDemNten(text, ',', n), einfach(text, ',', n)) << text << " n=" << n;
            }
        }
    }
}

}  // namespace
}  // namespace cdb2xls::test

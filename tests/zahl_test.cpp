// Reading the number of a numbered entry and rounding it to a column.
#include "convert/zahl.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// A number read in pieces of every size gives what it gives read whole.
double stueckweise(const std::string& text, std::size_t stueck) {
    Zahlleser leser;
    for (std::size_t i = 0; i < text.size() && !leser.fertig(); i += stueck) {
        leser.weiter(text.data() + i, std::min(stueck, text.size() - i));
    }
    return leser.wert();
}

TEST(Zahlleser, RiesigeZahlenWieGanzGelesen) {
    const std::string nullen(1'000'000, '0');
    const std::string ziffern(1'000'000, '7');
    const std::vector<Zahlfall> faelle = {
        {nullen + "1:a,b,c,x", 1},                    // leading zeros cost nothing
        {"0." + nullen + "1", 0},                     // too small for a double
        {"1" + nullen + ":", HUGE_VAL},               // too large
        {"1" + ziffern, HUGE_VAL},
        {"12" + std::string(1'000'000, ' ') + "3:", 123},
        {"4e" + nullen + "2", 400},
        {"4e-" + std::string(1'000'000, '9'), 0},
        {"4e+" + std::string(1'000'000, '9'), HUGE_VAL},
        // halfway between two doubles, and past it only after 800 digits:
        // the mark of the digits not kept must round up
        {"9007199254740993." + std::string(1000, '0') + "1", 9007199254740994.0},
        {"9007199254740993." + std::string(1000, '0'), 9007199254740992.0},
        {"0.1" + std::string(900, '3'), 0.13333333333333333},
    };
    for (const auto& fall : faelle) {
        for (const std::size_t stueck : {fall.text.size(), std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
            EXPECT_EQ(stueckweise(fall.text, stueck), fall.wert) << fall.text.substr(0, 40) << "… in Stücken von " << stueck;
        }
    }
    EXPECT_EQ(spalteFuerNummer(fuehrendeZahl(nullen + "1:")), 8);
    EXPECT_FALSE(spalteFuerNummer(fuehrendeZahl("1" + ziffern)).has_value());
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

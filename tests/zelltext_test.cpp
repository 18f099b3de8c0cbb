// The text of a workbook cell: Windows-1252 to UTF-8, Excel's escapes where
// a reader would otherwise lose or change a character, and the length limit.
#include "xlsx/zelltext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cdb2xls::test {
namespace {

std::string zelle(const std::string& bytes) {
    Zelltext z;
    z.anhaengen(bytes.data(), bytes.size());
    return z.text();
}

// The same bytes handed over one at a time: a "_" at the end of one piece
// and an "x" at the start of the next must still be seen together.
std::string zelleStueckweise(const std::string& bytes) {
    Zelltext z;
    for (const char c : bytes) z.anhaengen(&c, 1);
    return z.text();
}

struct Fall {
    std::string bytes;
    std::string text;
};

TEST(Zelltext, KodiertUndMaskiert) {
    const std::vector<Fall> faelle = {
        {"Album", "Album"},
        {"Die \xc4rzte \xf6\xfc\xdf", "Die Ärzte öüß"},
        {"\x84Zugabe\x93", "„Zugabe“"},
        {"\x80\x8a\x9e\x9f", "€ŠžŸ"},
        {"\x81\x8d\x8f\x90\x9d", "\u0081\u008d\u008f\u0090\u009d"},  // open in the code page
        {"\xa0\xff", "\u00a0ÿ"},
        {std::string("a\0b", 3), "a_x0000_b"},
        {"a\x01\x1a\x1f", "a\x01\x1a\x1f"},  // the library escapes these itself
        {"eins\nzwei", "eins\nzwei"},
        {"_x0041_", "_x005F_x0041_"},
        {"_xyz", "_x005F_xyz"},
        {"a_b _", "a_b _"},
        {"__x", "__x005F_x"},
        {"", ""},
    };
    for (const auto& fall : faelle) {
        EXPECT_EQ(zelle(fall.bytes), fall.text) << "«" << fall.bytes << "»";
        EXPECT_EQ(zelleStueckweise(fall.bytes), fall.text) << "«" << fall.bytes << "», stückweise";
    }
}

TEST(Zelltext, LeerNurOhneZeichen) {
    Zelltext z;
    EXPECT_TRUE(z.leer());
    z.anhaengen("_", 1);
    EXPECT_FALSE(z.leer());
    EXPECT_EQ(z.text(), "_");
    z.leeren();
    EXPECT_TRUE(z.leer());
    EXPECT_EQ(z.text(), "");
}

TEST(Zelltext, SchneidetNachHoechstlaengeAb) {
    const std::size_t n = Zelltext::kHoechstlaenge;
    std::string paare;  // "_x" again and again: each "_" escaped, so 8 to the library for 2 characters
    for (int i = 0; i < 20000; ++i) paare += "_x";
    struct Grenzfall {
        std::string bytes;
        std::size_t laenge;   // of the text, in bytes
        std::size_t zeichen;  // of the cell's own text that it holds
        bool gekuerzt;
    };
    const std::vector<Grenzfall> faelle = {
        {std::string(n, 'x'), n, n, false},
        {std::string(n + 1, 'x'), n, n, true},
        {std::string(n, '\xe4'), 2 * n, n, false},  // ä: one character, two UTF-8 bytes
        {std::string(n + 5, '\xe4'), 2 * n, n, true},
        {std::string(n - 1, 'x') + "_", n, n, false},
        {std::string(n - 1, 'x') + "_x", n - 1, n - 1, true},  // the escaped "_" no longer fits
        {std::string(n, '\x01'), n, n, false},  // the library escapes a control character, counting it once
        {std::string(n + 1, '\x1f'), n, n, true},
        {std::string(n, '\0'), (n / 7) * 7, n / 7, true},  // a NUL is escaped here, counting 7
        {paare, 4095 * 8 + 7, 4095 * 2 + 1, true},
    };
    for (const auto& fall : faelle) {
        Zelltext z;
        z.anhaengen(fall.bytes.data(), fall.bytes.size());
        EXPECT_EQ(z.text().size(), fall.laenge) << fall.bytes.size() << " Bytes";
        EXPECT_EQ(z.zeichen(), fall.zeichen) << fall.bytes.size() << " Bytes";
        EXPECT_EQ(z.gekuerzt(), fall.gekuerzt) << fall.bytes.size() << " Bytes";
    }
}

}  // namespace
}  // namespace cdb2xls::test

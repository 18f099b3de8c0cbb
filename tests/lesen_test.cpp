// Line input and output of the converter: line ends, the last line, the first
// character, and bytes written unchanged. Every case runs through several
// block sizes, so that line ends split between two reads are covered too.
#include "convert/form1.h"
#include "speicher_dateien.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cdb2xls::test {
namespace {

using namespace std::string_literals;

struct Zeilenfall {
    const char* name;
    std::string eingabe;
    std::vector<std::string> zeilen;
};

// Cases show by their name in test listings.
void PrintTo(const Zeilenfall& fall, std::ostream* aus) { *aus << fall.name; }

const std::vector<Zeilenfall> kZeilenfaelle = {
    {"CrLf", "x\r\ny\r\n", {"x", "y"}},
    {"LetzteZeileOhneEnde", "x\r\ny", {"x", "y"}},
    {"EinzelnesCr", "x\ry\r", {"x", "y"}},
    {"NurLfIstEineZeile", "a\nb\nc\n", {"a\nb\nc\n"}},
    {"LeereZeileMitten", "x\r\n\r\ny", {"x", "", "y"}},
    {"LeereDatei", "", {}},
    {"NurEinCr", "\r", {""}},
    {"CrGemischt", "\r\r\n\r", {"", "", ""}},
    {"LfNachCrLfGehoertZurNaechstenZeile", "x\r\n\ny", {"x", "\ny"}},
    {"SteuerzeichenSindGewoehnlich", "a\0b\x1a" "c\r\n\x1a"s, {"a\0b\x1a" "c"s, "\x1a"}},
    {"AchtBitBytes", "\xe4\xf6\xfc\xdf\r\n", {"\xe4\xf6\xfc\xdf"}},
};

class ZeilenTest : public testing::TestWithParam<std::tuple<Zeilenfall, std::size_t>> {};

TEST_P(ZeilenTest, LiefertJedeZeileUndDannDasEnde) {
    const auto& [fall, blockgroesse] = GetParam();
    SpeicherDateien dateien;
    dateien.dateien["in"] = fall.eingabe;
    Form1 form(dateien, blockgroesse);
    form.EingabeNr = std::make_unique<Leser>(dateien.oeffneEingabe("in"), blockgroesse);

    std::vector<std::string> gelesen;
    while (form.EingabeNr) {
        const std::string zeile(form.lesen());
        if (form.EingabeNr) gelesen.push_back(zeile);
        ASSERT_LE(gelesen.size(), fall.zeilen.size() + 1);
    }
    EXPECT_EQ(gelesen, fall.zeilen);
    EXPECT_EQ(dateien.offeneEingaben, 0) << "the input is closed at its end";
    EXPECT_EQ(form.lesen(), "") << "reading on after the end is harmless";
}

INSTANTIATE_TEST_SUITE_P(
    Zeilen, ZeilenTest,
    testing::Combine(testing::ValuesIn(kZeilenfaelle), testing::Values(1, 2, 3, 7, 4096)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_Block" +
               std::to_string(std::get<1>(info.param));
    });

TEST(Lesen, ErstesZeichenIstGrossUndBleibtAmEnde) {
    SpeicherDateien dateien;
    dateien.dateien["in"] = "a=b\r\n\r\n$x\r\n\xe4h\r\n";
    Form1 form(dateien);
    form.EingabeNr = std::make_unique<Leser>(dateien.oeffneEingabe("in"), 4096);

    EXPECT_EQ(form.lesen(), "a=b");
    EXPECT_EQ(form.ErstesZeichen, 'A');
    EXPECT_EQ(form.lesen(), "");
    EXPECT_EQ(form.ErstesZeichen, '\0');
    EXPECT_EQ(form.lesen(), "$x");
    EXPECT_EQ(form.ErstesZeichen, '$');
    EXPECT_EQ(form.lesen(), "\xe4h");
    EXPECT_EQ(form.ErstesZeichen, '\xe4') << "only ASCII letters are upper-cased";
    EXPECT_EQ(form.lesen(), "");
    EXPECT_EQ(form.ErstesZeichen, '\xe4') << "the end of the input leaves it as it was";
}

TEST(Lesen, ZeileLaengerAlsEinBlock) {
    SpeicherDateien dateien;
    const std::string lang(100'000, 'x');
    dateien.dateien["in"] = lang + "\r\n" + lang;
    Form1 form(dateien);
    form.EingabeNr = std::make_unique<Leser>(dateien.oeffneEingabe("in"), 4096);
    EXPECT_EQ(form.lesen(), lang);
    EXPECT_EQ(form.lesen(), lang);
    EXPECT_EQ(form.lesen(), "");
    EXPECT_FALSE(form.EingabeNr);
}

TEST(Schreiben, SchreibtGenauDieBytes) {
    SpeicherDateien dateien;
    Form1 form(dateien, 2);  // a tiny buffer: pieces go through both paths
    form.AusgabeNr = std::make_unique<Schreiber>(ausgabeErstellen(dateien, "out", Dateikennung{}), 2);
    form.schreiben("\t");
    form.schreiben("Album");
    form.schreiben("");
    form.schreiben("\r");
    form.schreiben("\0\xfc"s);
    form.AusgabeNr->abschliessen();
    EXPECT_EQ(dateien.dateien["out"], "\tAlbum\r\0\xfc"s);
}

}  // namespace
}  // namespace cdb2xls::test

// Line input and output of the converter: line ends, the last line, lines
// longer than a block, stretches read again, and bytes written unchanged.
// Every case runs through several block sizes, so that line ends split
// between two reads are covered too.
#include "convert/form1.h"
#include "speicher_dateien.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
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
    {"ZeileLaengerAlsEinBlock", std::string(10'000, 'x') + "\r\n" + std::string(10'000, 'y'),
     {std::string(10'000, 'x'), std::string(10'000, 'y')}},
    {"CrAmEndeEinesWortsDerMaske", std::string(63, 'a') + "\r" + std::string(64, 'b') + "\r\n",
     {std::string(63, 'a'), std::string(64, 'b')}},
};

class ZeilenTest : public testing::TestWithParam<std::tuple<Zeilenfall, std::size_t>> {};

TEST_P(ZeilenTest, LiefertJedeZeileUndDannDasEnde) {
    const auto& [fall, blockgroesse] = GetParam();
    SpeicherDateien dateien;
    dateien.dateien["in"] = fall.eingabe;
    Leser leser(dateien.oeffneEingabe("in"), blockgroesse);

    std::vector<std::string> gelesen;
    std::string zeile;
    leser.zeilen([&](const char* text, std::size_t anzahl, bool zeilenende) {
        EXPECT_LE(anzahl, blockgroesse) << "a piece is never more than a block";
        zeile.append(text, anzahl);
        if (zeilenende) gelesen.push_back(std::exchange(zeile, {}));
        return true;
    });
    EXPECT_EQ(gelesen, fall.zeilen);
    EXPECT_EQ(zeile, "") << "no piece without its line's end";
}

INSTANTIATE_TEST_SUITE_P(
    Zeilen, ZeilenTest,
    testing::Combine(testing::ValuesIn(kZeilenfaelle), testing::Values(1, 2, 3, 7, 64, 65, 4096)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_Block" +
               std::to_string(std::get<1>(info.param));
    });

TEST(Lesen, HoertAufWoDerEmpfaengerEsSagt) {
    SpeicherDateien dateien;
    dateien.dateien["in"] = "a\r\nb\r\nc\r\n";
    Leser leser(dateien.oeffneEingabe("in"), 4096);
    std::vector<std::string> gelesen;
    leser.zeilen([&](const char* text, std::size_t anzahl, bool) {
        gelesen.emplace_back(text, anzahl);
        return gelesen.size() < 2;
    });
    EXPECT_EQ(gelesen, (std::vector<std::string>{"a", "b"}));
}

TEST(Lesen, LiestEineStreckeNochEinmal) {
    SpeicherDateien dateien;
    dateien.dateien["in"] = "0123456789";
    dateien.lesestueck = 3;  // several reads for one stretch
    Leser leser(dateien.oeffneEingabe("in"), 4);
    std::string nochmal;
    leser.wiederLesen(2, 9, [&](const char* text, std::size_t anzahl) { nochmal.append(text, anzahl); });
    EXPECT_EQ(nochmal, "2345678");
    EXPECT_THROW(leser.wiederLesen(8, 12, [](const char*, std::size_t) {}), LeseFehler) << "past the end";
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

// How a table replaces an earlier file: what it keeps, what it refuses, and
// where it writes when the folder takes no new file.
#include "convert/ersetzung.h"
#include "convert/lauf.h"
#include "speicher_dateien.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace cdb2xls::test {
namespace {

const std::string kEingabe = "<LIST>\r\nA=neu\r\n$\r\n\r\n";

struct Gemerkt final : Meldestelle {
    void melden(const Hinweis& h) override { text = h.text(); }
    void ohneListe(const std::string& eingabe) override { ohne = eingabe; }
    std::string text, ohne;
};

class ErsetzungTest : public testing::Test {
protected:
    void SetUp() override { dateien.dateien["CDs.cdb"] = kEingabe; }
    // Converts CDs.cdb into `ausgabe`.xls; the notice's text, empty on success.
    std::string lauf(const std::string& ausgabe = "CDs.cdb") {
        Gemerkt meldung;
        umwandeln(dateien, meldung, "CDs.cdb", ausgabe);
        return meldung.text;
    }
    SpeicherDateien dateien;
};

TEST_F(ErsetzungTest, BehaeltDieRechteDerFrueherenTabelle) {
    dateien.dateien["CDs.cdb.xls"] = "alt";
    dateien.rechte["CDs.cdb.xls"] = 0600;
    EXPECT_EQ(lauf(), "");
    EXPECT_EQ(dateien.dateien["CDs.cdb.xls"], "neu\r");
    EXPECT_EQ(dateien.rechte["CDs.cdb.xls"], 0600);
}

TEST_F(ErsetzungTest, NeueTabelleMitGewoehnlichenRechten) {
    EXPECT_EQ(lauf(), "");
    EXPECT_EQ(dateien.rechte["CDs.cdb.xls"], 0644) << "not the owner-only bits it was written with";
}

TEST_F(ErsetzungTest, SchreibgeschuetzteTabelleWirdAbgelehnt) {
    dateien.dateien["CDs.cdb.xls"] = "alt";
    dateien.schreibgeschuetzt.insert("CDs.cdb.xls");
    EXPECT_EQ(lauf(), "Ausgabe-Datei nicht schreibbar:\r\rCDs.cdb.xls\r\rKeine Berechtigung");
    EXPECT_EQ(dateien.dateien["CDs.cdb.xls"], "alt");
    EXPECT_TRUE(dateien.zwischennamen.empty()) << "refused before anything is written";
}

TEST_F(ErsetzungTest, OrdnerOhneNeueDateienSchreibtDieTabelleAnIhremPlatz) {
    dateien.ordnerVerweigert = true;
    dateien.dateien["CDs.cdb.xls"] = "eine längere frühere Tabelle";
    dateien.rechte["CDs.cdb.xls"] = 0640;
    EXPECT_EQ(lauf(), "");
    EXPECT_EQ(dateien.dateien["CDs.cdb.xls"], "neu\r");
    EXPECT_EQ(dateien.rechte["CDs.cdb.xls"], 0640);
}

TEST_F(ErsetzungTest, NichtErsetzbareTabelleWirdAnIhremPlatzGeschrieben) {
    dateien.nichtErsetzbar.insert("CDs.cdb.xls");
    dateien.dateien["CDs.cdb.xls"] = "eine längere frühere Tabelle";
    dateien.rechte["CDs.cdb.xls"] = 0666;
    EXPECT_EQ(lauf(), "");
    EXPECT_EQ(dateien.dateien["CDs.cdb.xls"], "neu\r");
    EXPECT_EQ(dateien.rechte["CDs.cdb.xls"], 0666);
    EXPECT_TRUE(dateien.zwischennamen.empty()) << "no file beside the target";
}

TEST_F(ErsetzungTest, OrdnerOhneNeueDateienUndOhneTabelle) {
    dateien.ordnerVerweigert = true;
    EXPECT_EQ(lauf(), "Ausgabe-Datei nicht schreibbar:\r\rCDs.cdb.xls\r\rKeine Berechtigung");
    EXPECT_EQ(dateien.dateien.count("CDs.cdb.xls"), 0u);
}

TEST_F(ErsetzungTest, GeraetWirdDirektBeschrieben) {
    dateien.geraete.insert("/dev/gerät");
    dateien.verweise["geraet.xls"] = "/dev/gerät";
    EXPECT_EQ(lauf("geraet"), "");
    EXPECT_EQ(dateien.dateien["/dev/gerät"], "neu\r");
    EXPECT_TRUE(dateien.zwischennamen.empty());
}

TEST_F(ErsetzungTest, VerweisBleibtUndSeinZielBekommtDieTabelle) {
    dateien.dateien["ziel.xls"] = "alt";
    dateien.verweise["verweis.xls"] = "ziel.xls";
    EXPECT_EQ(lauf("verweis"), "");
    EXPECT_EQ(dateien.dateien["ziel.xls"], "neu\r");
    EXPECT_EQ(dateien.verweise["verweis.xls"], "ziel.xls");
}

// However the output's path comes to lead to the input, the input stays.
TEST_F(ErsetzungTest, NieUeberDieEingabe) {
    dateien.verweise["o.xls"] = "CDs.cdb";
    EXPECT_EQ(lauf("o"), "Ausgabe-Datei wäre die cdb-Datei selbst:\r\ro.xls");

    // The path becomes a second name of the input while the table is written.
    dateien.verweise.clear();
    dateien.beimSchliessen = [this] { dateien.harteVerweise["spaeter.xls"] = "CDs.cdb"; };
    EXPECT_EQ(lauf("spaeter"), "Ausgabe-Datei wäre die cdb-Datei selbst:\r\rspaeter.xls");
    EXPECT_EQ(dateien.dateien["CDs.cdb"], kEingabe);
    EXPECT_EQ(dateien.dateien.count("spaeter.xls"), 0u);
}

struct Namensfall {
    const char* name;
    bool unbenannt;  // the platform has files without a name
    int belegt;      // names taken before one is free
    bool gelingt;
};
void PrintTo(const Namensfall& fall, std::ostream* aus) { *aus << fall.name; }

class NamenTest : public testing::TestWithParam<Namensfall> {};

TEST_P(NamenTest, BelegteNamenWerdenUebersprungen) {
    const Namensfall& fall = GetParam();
    SpeicherDateien dateien;
    dateien.dateien["CDs.cdb"] = kEingabe;
    dateien.mitUnbenannten = fall.unbenannt;
    dateien.belegteNamen = fall.belegt;
    Gemerkt meldung;
    const Ausgang ausgang = umwandeln(dateien, meldung, "CDs.cdb", "CDs.cdb");
    EXPECT_EQ(ausgang.erfolgreich(), fall.gelingt);
    if (fall.gelingt) {
        EXPECT_EQ(dateien.dateien["CDs.cdb.xls"], "neu\r");
    } else {
        EXPECT_EQ(meldung.text, "Ausgabe-Datei nicht schreibbar:\r\rCDs.cdb.xls\r\rkein freier Name für eine Zwischendatei");
        EXPECT_EQ(dateien.dateien.count("CDs.cdb.xls"), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Namen, NamenTest,
                         testing::Values(Namensfall{"UnbenanntFrei", true, 0, true},
                                         Namensfall{"UnbenanntDreiBelegt", true, 3, true},
                                         Namensfall{"BenanntDreiBelegt", false, 3, true},
                                         Namensfall{"UnbenanntAlleBelegt", true, 1000, false},
                                         Namensfall{"BenanntAlleBelegt", false, 1000, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Zwischenname, KurzGleichLangUndVerschieden) {
    std::set<std::string> namen;
    for (std::uint64_t z : {0ULL, 1ULL, 31ULL, 32ULL, 0xFFFFFFFFFFULL, 0x123456789ULL}) {
        const std::string name = zwischenname(z);
        EXPECT_EQ(name.size(), 21u) << name;
        EXPECT_EQ(name.find_first_of("/\\:*?\"<>| "), std::string::npos) << name;
        namen.insert(name);
    }
    EXPECT_EQ(namen.size(), 6u);
}

TEST(Lauf, MeldetOhneListe) {
    SpeicherDateien dateien;
    dateien.dateien["CDs.cdb"] = "nichts\r\n";
    Gemerkt meldung;
    EXPECT_TRUE(umwandeln(dateien, meldung, "CDs.cdb", "CDs.cdb").erfolgreich());
    EXPECT_EQ(meldung.ohne, "CDs.cdb");
    EXPECT_EQ(meldung.text, "");
}

}  // namespace
}  // namespace cdb2xls::test

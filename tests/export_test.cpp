// The list export: row building from the list section, the output name, and
// how a run ends when something goes wrong.
#include "convert/form1.h"
#include "speicher_dateien.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cdb2xls::test {
namespace {

using namespace std::string_literals;

std::string tabs(std::size_t n) { return std::string(n, '\t'); }

// Lines joined with CR LF, each one ended.
std::string zeilen(const std::vector<std::string>& z) {
    std::string text;
    for (const auto& zeile : z) text += zeile + "\r\n";
    return text;
}

// A list section: the marker, the lines, and the empty line that ends it.
std::string liste(const std::vector<std::string>& z) {
    return "<LIST>\r\n" + zeilen(z) + "\r\n";
}

struct Exportfall {
    const char* name;
    std::string eingabe;
    std::string ausgabe;
};

// Cases show by their name in test listings.
void PrintTo(const Exportfall& fall, std::ostream* aus) { *aus << fall.name; }

const std::vector<Exportfall> kExportfaelle = {
    {"Beispiel",
     liste({"A-Interpret", "t-Album", "1:0,150,33,Erstes Lied", "2:0,183,40,Zweites Lied", "$",
            "A-Zweite CD", "$"}),
     "Interpret\tAlbum" + tabs(6) + "Erstes Lied\tZweites Lied\rZweite CD\r"},
    {"LeereListe", "<LIST>\r\n\r\n", ""},
    {"VorDerMarkeNichts",
     zeilen({"[Kopf]", "A=nicht", "$", "", "<list>", " <LIST>", "<LIST> ", "T=auch nicht"}) +
         liste({"A=x", "$"}) + zeilen({"A=danach", "$"}),
     "x\r"},
    {"ZweiFelder", liste({"A=x", "T=y", "$"}), "x\ty\r"},
    {"FeldLinksVomStandEntfaellt", liste({"T=y", "A=x", "$"}), "\ty\r"},
    {"GleicheSpalteWirdAngehaengt", liste({"T=ab", "T=cd", "$"}), "\tabcd\r"},
    {"KleinbuchstabenWieGrosse", liste({"a=x", "t=y", "x=z", "c=k", "r=b", "$"}),
     "x\ty\tz\tk\tb\r"},
    {"ZweitesZeichenBeliebig", liste({"AAx", "T\tY", "X"}), "x\tY\t"},
    {"FeldOhneTextAmZeilenanfang", liste({"A", "A=", "T=", "$"}), "\t\r"},
    {"DatensatzOhneDollar", liste({"A=x"}), "x"},
    {"ZweiDollarLeereZeile", liste({"A=x", "$", "$"}), "x\r\r"},
    {"NummerNull", liste({"0:a,b,c,x"}), tabs(6) + "x"},
    {"NummerZwoelf", liste({"12:a,b,c,x"}), tabs(18) + "x"},
    {"NummerOhneKomma", liste({"5:abc"}), tabs(11) + "5:abc"},
    {"NummerMitZweiKommas", liste({"3:a,b"}), tabs(9) + "b"},
    {"NummerMitKommasImText", liste({"1:a,b,c,Wer, wie, was"}), tabs(7) + "Wer, wie, was"},
    {"LangeTexte", liste({"A=" + std::string(100, 'a'), "1:a,b,c," + std::string(70, 'n'), "$"}),
     std::string(100, 'a') + tabs(7) + std::string(70, 'n') + "\r"},
    {"DrittesKommaWeitHinten", liste({"1:" + std::string(60, 'a') + ",b,c,x", "2:a," + std::string(60, 'b') + ",c"}),
     tabs(7) + "x\tc"},
    {"NummerOhneTextBewegtDieZeile", liste({"1:a,b,c,", "1:a,b,c,z", "A=weg", "2:a,b,c,w"}),
     tabs(7) + "z\tw"},
    {"NummerMitLeerraum", liste({"1 2:a,b,c,x"}), tabs(18) + "x"},
    {"NummerMitBruchGeradeGerundet", liste({"0.5:a,b,c,x", "1.5:a,b,c,y", "2.5:a,b,c,z"}),
     tabs(7) + "xy\t\tz"},
    {"NummerMitExponent", liste({"1e1:a,b,c,x"}), tabs(16) + "x"},
    {"NummerOhneDoppelpunkt", liste({"3a,b,c,d"}), tabs(9) + "d"},
    {"NummerZuGrossEntfaellt", liste({"32761:a,b,c,x", "1e9:a,b,c,y", "1e400:a,b,c,z", "T=t"}),
     "\tt"},
    {"AndereZeilenZaehlenNicht", liste({"A=x", " T=y", "#T=z", "%", "\xc4=w", "$Rest", "T=v"}),
     "x\r\tv"},
    {"NeueZeileFaengtVorneAn", liste({"T=y", "$", "A=x", "$"}), "\ty\rx\r"},
    {"AchtBitTextUnveraendert", liste({"A=Die \xc4rzte", "T=Gr\xfc\xdf" "e\0\x1a"s, "$"}),
     "Die \xc4rzte\tGr\xfc\xdf" "e\0\x1a\r"s},
    {"LetzteZeileOhneLeerzeileZaehlt", "<LIST>\r\nA=x\r\n$", "x\r"},
    {"LetzteZeileOhneZeilenende", "<LIST>\r\nA=x\r\n$\r\nT=y", "x\r\ty"},
    {"MarkeAlsLetzteZeile", "<LIST>", ""},
    {"EinzelneCrAlsZeilenende", "<LIST>\rA=x\rT=y\r$\r\r", "x\ty\r"},
    {"LfImFeldBleibt", "<LIST>\r\nA=x\ny\r\n$\r\n\r\n", "x\ny\r"},
};

class ExportTest : public testing::TestWithParam<std::tuple<Exportfall, std::size_t>> {};

TEST_P(ExportTest, SchreibtDieZeilen) {
    const auto& [fall, blockgroesse] = GetParam();
    SpeicherDateien dateien;
    dateien.dateien["CDs.cdb"] = fall.eingabe;
    Form1 form(dateien, blockgroesse);
    form.Eingabedatei = form.Ausgabedatei = "CDs.cdb";

    const Ausgang ausgang = form.exportieren();

    EXPECT_TRUE(ausgang.erfolgreich());
    EXPECT_EQ(ausgang.exitStatus(), 0);
    ASSERT_EQ(dateien.dateien.count("CDs.cdb.xls"), 1U);
    EXPECT_EQ(dateien.dateien["CDs.cdb.xls"], fall.ausgabe);
    EXPECT_EQ(dateien.dateien["CDs.cdb"], fall.eingabe);
    EXPECT_EQ(dateien.offeneEingaben, 0);
}

INSTANTIATE_TEST_SUITE_P(Liste, ExportTest,
                         testing::Combine(testing::ValuesIn(kExportfaelle),
                                          testing::Values(3, Form1::kBlockgroesse)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_Block" +
                                    std::to_string(std::get<1>(info.param));
                         });

// The fast path takes the usual lines of a realistic file, all but the few
// that run over a block end and the ones in an unusual form, and writes the
// table the general path writes.
TEST(Export, SchnellerWegNimmtDieGewoehnlichenZeilen) {
    std::vector<std::string> eintraege;
    std::size_t ungewoehnlich = 0;
    for (int cd = 1; cd <= 3000; ++cd) {
        for (const char* feld : {"A=Interpret ", "T=Album ", "x=Jahr ", "C=Kategorie ", "R=Bemerkung "}) {
            eintraege.push_back(feld + std::to_string(cd));
        }
        for (int lied = 1; lied <= 12; ++lied) {
            eintraege.push_back(std::to_string(lied) + ":0,150," + std::to_string(cd % 60) + ",Lied " +
                                std::to_string(lied));
        }
        if (cd % 100 == 0) {  // three digits, and too few commas: the general path's
            eintraege.push_back("100:0,0,0,Zugabe");
            eintraege.push_back("13:0,Rest");
            ungewoehnlich += 2;
        }
        eintraege.push_back("$");
    }
    const std::string eingabe = "[Kopf]\r\nVersion=3\r\n" + liste(eintraege);
    const auto umwandeln = [&eingabe](std::size_t blockgroesse, std::uint64_t& schnell) {
        SpeicherDateien dateien;
        dateien.dateien["CDs.cdb"] = eingabe;
        Form1 form(dateien, blockgroesse);
        form.Eingabedatei = form.Ausgabedatei = "CDs.cdb";
        EXPECT_TRUE(form.exportieren().erfolgreich());
        schnell = form.schnelleZeilen();
        return dateien.dateien["CDs.cdb.xls"];
    };
    std::uint64_t schnell = 0, kaum = 0;
    const std::string tabelle = umwandeln(Form1::kBlockgroesse, schnell);
    const std::size_t bloecke = eingabe.size() / Form1::kBlockgroesse + 1;
    EXPECT_LE(schnell, eintraege.size() - ungewoehnlich);
    EXPECT_GE(schnell, eintraege.size() - ungewoehnlich - 2 * bloecke);
    EXPECT_EQ(umwandeln(7, kaum), tabelle);
    EXPECT_LT(kaum, eintraege.size() / 10) << "a block of 7 bytes holds hardly a whole line";
}

TEST(Export, GroessteNummerNochInSpalte32767) {
    SpeicherDateien dateien;
    dateien.dateien["CDs.cdb"] = liste({"32760:a,b,c,x", "32761:a,b,c,y"});
    Form1 form(dateien);
    form.Eingabedatei = form.Ausgabedatei = "CDs.cdb";
    ASSERT_TRUE(form.exportieren().erfolgreich());
    EXPECT_EQ(dateien.dateien["CDs.cdb.xls"], tabs(32766) + "x");
}

TEST(Export, OhneListeLeereTabelleUndHinweisFrei) {
    SpeicherDateien dateien;
    dateien.dateien["CDs.cdb"] = zeilen({"A=x", "<list>", "$"});
    Form1 form(dateien);
    form.Eingabedatei = form.Ausgabedatei = "CDs.cdb";
    const Ausgang ausgang = form.exportieren();
    EXPECT_TRUE(ausgang.erfolgreich());
    EXPECT_FALSE(ausgang.listeGefunden);
    EXPECT_EQ(dateien.dateien["CDs.cdb.xls"], "");
}

TEST(Export, AusgabenameBekommtXls) {
    SpeicherDateien dateien;
    dateien.dateien["C:\\Meine Daten\\CDs.cdb"] = liste({"A=x", "$"});
    Form1 form(dateien);
    form.Eingabedatei = "C:\\Meine Daten\\CDs.cdb";
    form.Ausgabedatei = "liste";
    ASSERT_TRUE(form.exportieren().erfolgreich());
    EXPECT_EQ(form.Ausgabedatei, "liste.xls");
    EXPECT_EQ(dateien.dateien["liste.xls"], "x\r");
}

struct Fehlerfall {
    const char* name;
    void (*einrichten)(SpeicherDateien&, Form1&);
    std::string text;  // the notice as the message box shows it
};

// Cases show by their name in test listings.
void PrintTo(const Fehlerfall& fall, std::ostream* aus) { *aus << fall.name; }

const std::vector<Fehlerfall> kFehlerfaelle = {
    {"EingabeFehlt", [](SpeicherDateien&, Form1& f) { f.Eingabedatei = f.Ausgabedatei = "fehlt.cdb"; },
     "cdb-Datei nicht gefunden:\r\rfehlt.cdb"},
    {"EingabeIstOrdner",
     [](SpeicherDateien& d, Form1& f) {
         d.ordner.insert("CDs");
         f.Eingabedatei = f.Ausgabedatei = "CDs";
     },
     "cdb-Datei nicht gefunden:\r\rCDs\r\rist keine Datei, sondern ein Ordner"},
    {"AusgabeWaereDieEingabe",
     [](SpeicherDateien& d, Form1& f) {
         d.dateien["liste.xls"] = d.dateien["CDs.cdb"];
         d.dateien.erase("CDs.cdb");
         f.Eingabedatei = "liste.xls";
         f.Ausgabedatei = "liste";
     },
     "Ausgabe-Datei wäre die cdb-Datei selbst:\r\rliste.xls"},
    {"AusgabeIstOrdner",
     [](SpeicherDateien& d, Form1& f) {
         d.ordner.insert("CDs.cdb.xls");
         f.Eingabedatei = f.Ausgabedatei = "CDs.cdb";
     },
     "Ausgabe-Datei nicht schreibbar:\r\rCDs.cdb.xls\r\rIst ein Verzeichnis"},
    {"LesefehlerMitten",
     [](SpeicherDateien& d, Form1& f) {
         d.lesestueck = 8;
         d.leseFehlerNach = 20;
         f.Eingabedatei = f.Ausgabedatei = "CDs.cdb";
     },
     "cdb-Datei nicht lesbar:\r\rCDs.cdb\r\rEingabe/Ausgabefehler"},
    {"SchreibfehlerMitten",
     [](SpeicherDateien& d, Form1& f) {
         d.schreibFehlerNach = 5;
         f.Eingabedatei = f.Ausgabedatei = "CDs.cdb";
     },
     "Ausgabe-Datei nicht schreibbar:\r\rCDs.cdb.xls\r\r"
     "Auf dem Gerät ist kein Speicherplatz mehr verfügbar"},
};

class FehlerTest : public testing::TestWithParam<Fehlerfall> {};

TEST_P(FehlerTest, HinweisUndNichtsGeschrieben) {
    const Fehlerfall& fall = GetParam();
    SpeicherDateien dateien;
    const std::string eingabe = liste({"A=Interpret", "T=Album", "$", "A=Zweite CD", "$"});
    dateien.dateien["CDs.cdb"] = eingabe;
    Form1 form(dateien, 4);  // small blocks, so a write happens before the end
    fall.einrichten(dateien, form);
    const auto vorher = dateien.dateien;

    const Ausgang ausgang = form.exportieren();

    ASSERT_TRUE(ausgang.hinweis.has_value());
    EXPECT_EQ(ausgang.exitStatus(), 1);
    EXPECT_EQ(ausgang.hinweis->Titel, "Häää?");
    EXPECT_EQ(ausgang.hinweis->text(), fall.text);
    EXPECT_EQ(dateien.dateien, vorher) << "no file is created, changed or replaced";
    EXPECT_EQ(dateien.offeneEingaben, 0);
}

INSTANTIATE_TEST_SUITE_P(Fehler, FehlerTest, testing::ValuesIn(kFehlerfaelle),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Export, FrueheresErgebnisBleibtBeiSchreibfehler) {
    SpeicherDateien dateien;
    dateien.dateien["CDs.cdb"] = liste({"A=neu", "$"});
    dateien.dateien["CDs.cdb.xls"] = "alt\r";
    dateien.schreibFehlerNach = 2;
    Form1 form(dateien, 1);
    form.Eingabedatei = form.Ausgabedatei = "CDs.cdb";
    EXPECT_FALSE(form.exportieren().erfolgreich());
    EXPECT_EQ(dateien.dateien["CDs.cdb.xls"], "alt\r");
}

TEST(Hinweis, ZeileFuerDieBefehlszeile) {
    EXPECT_EQ((Hinweis{"Häää?", "cdb-Datei nicht gefunden:", "fehlt.cdb", ""}.zeile()),
              "cdb2xls: cdb-Datei nicht gefunden: fehlt.cdb");
    EXPECT_EQ((Hinweis{"Häää?", "cdb-Datei nicht lesbar:", "a.cdb", "Permission denied"}.zeile()),
              "cdb2xls: cdb-Datei nicht lesbar: a.cdb: Permission denied");
}

}  // namespace
}  // namespace cdb2xls::test

// The scan of the command line's argument text into input and output name.
#include "convert/form1.h"
#include "speicher_dateien.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cdb2xls::test {
namespace {

struct Befehlszeilenfall {
    std::string argumenttext;
    std::string eingabe;
    std::string ausgabe;
};

TEST(BefehlszeilenParameter, TeiltInEingabeUndAusgabe) {
    const std::vector<Befehlszeilenfall> faelle = {
        {"CDs.cdb", "CDs.cdb", "CDs.cdb"},
        {"\"C:\\Meine Daten\\CDs.cdb\" liste", "C:\\Meine Daten\\CDs.cdb", "liste"},
        {"CDs.cdb    \"Meine Liste\"", "CDs.cdb", "Meine Liste"},
        {"\"CDs.cdb", "CDs.cdb", "CDs.cdb"},
        {"a.cdb b c", "a.cdb", "b"},
        {"\"a b\"c d", "a b", "c"},
        {"  CDs.cdb  ", "CDs.cdb", "CDs.cdb"},
        {"a\tb c", "a\tb", "c"},
        {"a\"b c", "a\"b", "c"},
        {"a \"b c", "a", "b c"},
        {"a \"\"", "a", "a"},
        {"a \"", "a", "a"},
        {"\"\" b", "", "b"},
        {"\"a\"", "a", "a"},
        {"\"a\" ", "a", "a"},
        {"\"a\"  \"b\" c", "a", "b"},
        {"C:\\Müll\\Ä.cdb Ö", "C:\\Müll\\Ä.cdb", "Ö"},
        {"x", "x", "x"},
        {"\"", "", ""},
    };
    for (const auto& fall : faelle) {
        SpeicherDateien dateien;
        Form1 form(dateien);
        ASSERT_TRUE(form.BefehlszeilenParameter(fall.argumenttext)) << "«" << fall.argumenttext << "»";
        EXPECT_EQ(form.Eingabedatei, fall.eingabe) << "«" << fall.argumenttext << "»";
        EXPECT_EQ(form.Ausgabedatei, fall.ausgabe) << "«" << fall.argumenttext << "»";
    }
}

TEST(BefehlszeilenParameter, LeerLaesstDieDateinamen) {
    for (const std::string text : {"", " ", "     "}) {
        SpeicherDateien dateien;
        Form1 form(dateien);
        form.Eingabedatei = "vorher.cdb";
        form.Ausgabedatei = "vorher";
        EXPECT_FALSE(form.BefehlszeilenParameter(text));
        EXPECT_EQ(form.Eingabedatei, "vorher.cdb");
        EXPECT_EQ(form.Ausgabedatei, "vorher");
        EXPECT_EQ(form.Zeile, "");
    }
}

TEST(BefehlszeilenParameter, LangeZeileOhneGrenze) {
    const std::string lang(40'000, 'x');
    SpeicherDateien dateien;
    Form1 form(dateien);
    ASSERT_TRUE(form.BefehlszeilenParameter("\"" + lang + "\" " + lang + "y"));
    EXPECT_EQ(form.Eingabedatei, lang);
    EXPECT_EQ(form.Ausgabedatei, lang + "y");
}

}  // namespace
}  // namespace cdb2xls::test

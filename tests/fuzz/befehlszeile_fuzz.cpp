// Fuzz target: arbitrary text as the command line's argument text. Besides
// "no crash", checks that the scan finds an input exactly when the text is
// not blank, and that both names are pieces of the text.
#include "convert/form1.h"
#include "tests/speicher_dateien.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void verletzt(const char* was) {
    std::fprintf(stderr, "verletzt: %s\n", was);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    const std::string text(reinterpret_cast<const char*>(daten), groesse);
    cdb2xls::test::SpeicherDateien dateien;
    cdb2xls::Form1 form(dateien);
    const bool gefunden = form.BefehlszeilenParameter(text);

    const bool leer = text.find_first_not_of(' ') == std::string::npos;
    if (gefunden == leer) verletzt("an input is found exactly when the text is not blank");
    if (!gefunden) return 0;
    if (text.find(form.Eingabedatei) == std::string::npos) verletzt("input name is a piece of the text");
    if (text.find(form.Ausgabedatei) == std::string::npos) verletzt("output name is a piece of the text");
    if (form.Ausgabedatei.empty() && !form.Eingabedatei.empty()) verletzt("output name defaults to the input");
    const bool inAnfuehrung = form.Zeile.front() == '"';
    if (form.Eingabedatei.find(inAnfuehrung ? '"' : ' ') != std::string::npos) {
        verletzt("first argument runs past its end");
    }
    return 0;
}

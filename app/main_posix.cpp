// cdb2xls on Linux: converts the cdb file named on the command line, or shows
// the drop window when started without one.
//
// The shell has already split the arguments, and joining them again for the
// Windows-style scan would break names with spaces, so the arguments map
// straight onto its results: the first is the input, the second (when given
// and not empty) the output name.
//
// A run from the command line never shows a window and never waits: its
// notices go to stderr. Only --desktop, which the desktop entry passes, shows
// them as message boxes as well.
#include "xlsx/arbeitsmappe.h"
#include "system/systemdateien.h"
#include "convert/lauf.h"
#include "res/version.h"
#include "ui/fenster.h"

#include <sys/stat.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kStatusFehler = 1;
constexpr int kStatusAufruf = 2;
using cdb2xls::kProgramm;

void aufrufZeigen(std::FILE* ziel) {
    std::fprintf(ziel, "Aufruf: %s [OPTION]... EINGABE.cdb [AUSGABE]\n", kProgramm);
}

void hilfeZeigen() {
    aufrufZeigen(stdout);
    std::printf(
        "%s.\n"
        "%s\n"
        "\n"
        "Schreibt den <LIST>-Abschnitt der cdb-Datei EINGABE.cdb als Tabelle mit\n"
        "TAB-getrennten Zellen, eine Zeile je CD, nach AUSGABE.xls; ohne AUSGABE nach\n"
        "EINGABE.cdb.xls. Jeder Aufruf wandelt eine cdb-Datei um. Ohne Argumente zeigt\n"
        "das Programm ein Fenster, auf das die cdb-Datei gezogen werden kann.\n"
        "Das Programm spricht Deutsch (its messages and its window are German).\n"
        "\n"
        "  --xlsx     eine Excel-Arbeitsmappe AUSGABE.xlsx schreiben (Office Open XML,\n"
        "             jede Zelle Text) statt der TAB-getrennten Tabelle AUSGABE.xls\n"
        "  --desktop  Hinweise zusätzlich als Meldungsfenster zeigen (für den Start\n"
        "             vom Desktop oder aus dem Dateimanager)\n"
        "  -h, --help diese Hilfe anzeigen und beenden\n"
        "  --version  Versionsangabe anzeigen und beenden\n"
        "  --         beendet die Optionen (für Dateinamen, die mit - beginnen)\n"
        "\n"
        "Rückgabewert: 0 nach erfolgreicher Umwandlung, 1 bei einem Fehler,\n"
        "2 bei falschem Aufruf.\n",
        CDB2XLS_BESCHREIBUNG, CDB2XLS_PARAMETER);
}

void versionZeigen() { std::printf("%s %s\n%s\n", kProgramm, CDB2XLS_VERSION, CDB2XLS_BESCHREIBUNG); }

// What --help and --version wrote must have arrived.
int standardausgabeSchliessen() {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
    const int fehler = errno;
    std::fprintf(stderr, "%s: Schreibfehler: %s\n", kProgramm, std::strerror(fehler != 0 ? fehler : EIO));
    return kStatusFehler;
}

int falscherAufruf() {
    aufrufZeigen(stderr);
    std::fprintf(stderr, "%s\n„%s --help“ gibt weitere Informationen.\n", CDB2XLS_PARAMETER, kProgramm);
    return kStatusAufruf;
}

bool endetAufCdb(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ende = name.substr(name.size() - 4);
    for (char& c : ende) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ende == ".cdb";
}

bool istVorhandeneDatei(const std::string& pfad) {
    struct stat info {};
    return ::stat(pfad.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Notices on stderr, and with --desktop as message boxes too.
class Befehlszeilenmeldung final : public cdb2xls::Meldestelle {
public:
    Befehlszeilenmeldung(int& argc, char** argv, bool desktop) : argc_(argc), argv_(argv), desktop_(desktop) {}
    void melden(const cdb2xls::Hinweis& hinweis) override {
        std::fprintf(stderr, "%s\n", hinweis.zeile().c_str());
        if (desktop_) cdb2xls::hinweisImFensterZeigen(argc_, argv_, hinweis);
    }
    void ohneListe(const std::string& eingabe) override {
        std::fprintf(stderr, "%s\n", cdb2xls::ohneListeZeile(eingabe).c_str());
    }

private:
    int& argc_;
    char** argv_;
    bool desktop_;
};

}  // namespace

int main(int argc, char** argv) {
    // The system's reasons in the user's language.
    std::setlocale(LC_ALL, "");
    // A file-size limit should fail the write with a notice, not kill the
    // program halfway through its table; a closed pipe on stderr should
    // not decide how the run ends.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);

    std::vector<std::string> dateinamen;
    bool desktop = false;
    bool xlsx = false;
    bool optionenZuEnde = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (!optionenZuEnde && argument.size() > 1 && argument[0] == '-') {
            if (argument == "--") {
                optionenZuEnde = true;
            } else if (argument == "--help" || argument == "-h") {
                hilfeZeigen();
                return standardausgabeSchliessen();
            } else if (argument == "--version") {
                versionZeigen();
                return standardausgabeSchliessen();
            } else if (argument == "--desktop") {
                desktop = true;
            } else if (argument == "--xlsx") {
                xlsx = true;
            } else {
                std::fprintf(stderr, "%s: unbekannte Option „%s“\n", kProgramm, argument.c_str());
                return falscherAufruf();
            }
            continue;
        }
        dateinamen.push_back(argument);
    }

    if (dateinamen.size() > 2) {
        std::fprintf(stderr, "%s: zusätzlicher Operand „%s“\n", kProgramm, dateinamen[2].c_str());
        return falscherAufruf();
    }
    // "cdb2xls *.cdb" with two cdb files would write the first one's table
    // over the second one's.
    if (dateinamen.size() == 2 && endetAufCdb(dateinamen[1]) && istVorhandeneDatei(dateinamen[1])) {
        std::fprintf(stderr,
                     "%s: „%s“ ist eine cdb-Datei, kein Ausgabename; jede cdb-Datei wird für sich umgewandelt "
                     "(%s DATEI.cdb)\n",
                     kProgramm, dateinamen[1].c_str(), kProgramm);
        return falscherAufruf();
    }

    // What the workbook could not hold is said on stderr; the run goes on.
    std::unique_ptr<cdb2xls::Tabellenformat> format;
    if (xlsx) {
        std::string grund;
        format = cdb2xls::arbeitsmappenFormat(
            [](const std::string& text) { std::fprintf(stderr, "%s: Warnung: %s\n", kProgramm, text.c_str()); },
            grund);
        if (!format) {
            // The call is right; the program lacks a part of itself.
            std::fprintf(stderr, "%s: --xlsx ist nicht verfügbar: %s\n", kProgramm, grund.c_str());
            return kStatusFehler;
        }
    }

    cdb2xls::SystemDateien dateien;
    if (dateinamen.empty()) {
        const auto umwandlung = [&dateien, &format](const std::string& pfad, cdb2xls::Meldestelle& fenster) {
            return cdb2xls::umwandeln(dateien, fenster, pfad, {}, format.get()).exitStatus();
        };
        if (const auto status = cdb2xls::fensterZeigen(argc, argv, umwandlung)) return *status;
        return falscherAufruf();
    }

    Befehlszeilenmeldung meldung(argc, argv, desktop);
    const std::string ausgabe = dateinamen.size() > 1 ? dateinamen[1] : std::string();
    return cdb2xls::umwandeln(dateien, meldung, dateinamen[0], ausgabe, format.get()).exitStatus();
}

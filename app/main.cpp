// cdb2xls on Linux: converts the cdb file named on the command line, or shows
// the drop window when started without one.
//
// The shell has already split the arguments, and joining them again for the
// Windows-style scan would break names with spaces, so the arguments map
// straight onto its results: the first is the input, the second (when given
// and not empty) the output name, anything further is ignored.
#include "app/posix_dateien.h"
#include "convert/form1.h"
#include "res/version.h"
#include "ui/fenster.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kStatusAufruf = 2;
constexpr const char* kProgramm = "cdb2xls";

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
        "EINGABE.cdb.xls. Ohne Argumente zeigt das Programm ein Fenster, auf das die\n"
        "cdb-Datei gezogen werden kann.\n"
        "\n"
        "  --help     diese Hilfe anzeigen und beenden\n"
        "  --version  Versionsangabe anzeigen und beenden\n"
        "  --         beendet die Optionen (für Dateinamen, die mit - beginnen)\n"
        "\n"
        "Rückgabewert: 0 nach erfolgreicher Umwandlung, 1 bei einem Fehler,\n"
        "2 bei falschem Aufruf.\n",
        CDB2XLS_BESCHREIBUNG, CDB2XLS_PARAMETER);
}

void versionZeigen() {
    std::printf("%s %s\n%s\n", kProgramm, CDB2XLS_VERSION, CDB2XLS_BESCHREIBUNG);
}

int ohneArgumente() {
    aufrufZeigen(stderr);
    std::fprintf(stderr, "%s\n„%s --help“ gibt weitere Informationen.\n", CDB2XLS_PARAMETER,
                 kProgramm);
    return kStatusAufruf;
}

}  // namespace

int main(int argc, char** argv) {
    // A file-size limit should fail the write with a notice, not kill the
    // program halfway through its temporary file.
    std::signal(SIGXFSZ, SIG_IGN);

    std::vector<std::string> dateinamen;
    bool optionenZuEnde = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (!optionenZuEnde && argument.size() > 1 && argument[0] == '-') {
            if (argument == "--") {
                optionenZuEnde = true;
            } else if (argument == "--help") {
                hilfeZeigen();
                return 0;
            } else if (argument == "--version") {
                versionZeigen();
                return 0;
            } else {
                std::fprintf(stderr, "%s: unbekannte Option „%s“\n", kProgramm, argument.c_str());
                return ohneArgumente();
            }
            continue;
        }
        dateinamen.push_back(argument);
    }

    cdb2xls::PosixDateien dateien;
    if (dateinamen.empty()) {
        if (const auto status = cdb2xls::fensterZeigen(argc, argv, dateien)) return *status;
        return ohneArgumente();
    }

    cdb2xls::Form1 form(dateien);
    form.Eingabedatei = dateinamen[0];
    form.Ausgabedatei = dateinamen.size() > 1 && !dateinamen[1].empty() ? dateinamen[1] : dateinamen[0];
    const cdb2xls::Ausgang ausgang = form.exportieren();
    if (ausgang.hinweis) {
        std::fprintf(stderr, "%s: %s\n", kProgramm, ausgang.hinweis->zeile().c_str());
        // Started from the desktop entry or a file manager, nobody reads
        // stderr: show the notice as a message box as well.
        if (!isatty(STDERR_FILENO)) cdb2xls::hinweisImFensterZeigen(argc, argv, *ausgang.hinweis);
    } else if (!ausgang.listeGefunden) {
        std::fprintf(stderr, "%s: %s: kein <LIST>-Abschnitt gefunden\n", kProgramm,
                     form.Eingabedatei.c_str());
    }
    return ausgang.exitStatus();
}

// How a conversion run ended. The core never ends the process or shows
// anything itself: the front end turns an Ausgang into a message box or a
// line on stderr and into the program's exit status.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cdb2xls {

// The program's name, as every line it writes on stderr begins.
inline constexpr char kProgramm[] = "cdb2xls";

// A message for the user: a box with the stop icon in the window, a line on
// the command line.
struct Hinweis {
    std::string Titel;    // "Häää?"
    std::string Meldung;  // e.g. "cdb-Datei nicht gefunden:"
    std::string Pfad;     // the file it is about
    std::string Grund;    // the system's reason, may be empty

    // The paragraphs of the message box: Meldung, Pfad (and Grund). Inline:
    // the window module lays out its box with it and holds no core.
    std::vector<std::string> absaetze() const {
        std::vector<std::string> a{Meldung, Pfad};
        if (!Grund.empty()) a.push_back(Grund);
        return a;
    }
    // The message box text: the paragraphs, two CRs between them.
    std::string text() const;
    // One line for stderr: "cdb2xls: Meldung Pfad" (": Grund").
    std::string zeile() const;
};

// The warning for an input without a "<LIST>" line, one line for stderr:
// "cdb2xls: CDs.cdb: kein <LIST>-Abschnitt gefunden".
std::string ohneListeZeile(const std::string& eingabe);

struct Ausgang {
    std::optional<Hinweis> hinweis;  // set when the run failed
    bool listeGefunden = true;       // false: the input holds no "<LIST>" line

    bool erfolgreich() const { return !hinweis.has_value(); }
    // 0 for a run that ended normally, 1 after a notice.
    int exitStatus() const { return erfolgreich() ? 0 : 1; }
};

}  // namespace cdb2xls

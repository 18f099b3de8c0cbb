#include "ausgang.h"

namespace cdb2xls {

std::string Hinweis::text() const {
    std::string t;
    for (const std::string& absatz : absaetze()) t += (t.empty() ? "" : "\r\r") + absatz;
    return t;
}

std::string Hinweis::zeile() const {
    std::string z = std::string(kProgramm) + ": " + Meldung + " " + Pfad;
    if (!Grund.empty()) z += ": " + Grund;
    return z;
}

std::string ohneListeZeile(const std::string& eingabe) {
    return std::string(kProgramm) + ": " + eingabe + ": kein <LIST>-Abschnitt gefunden";
}

}  // namespace cdb2xls

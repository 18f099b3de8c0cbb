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

}  // namespace cdb2xls

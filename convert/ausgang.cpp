#include "ausgang.h"

namespace cdb2xls {

std::string Hinweis::text() const {
    std::string t = Meldung + "\r\r" + Pfad;
    if (!Grund.empty()) t += "\r\r" + Grund;
    return t;
}

std::string Hinweis::zeile() const {
    std::string z = Meldung + " " + Pfad;
    if (!Grund.empty()) z += ": " + Grund;
    return z;
}

}  // namespace cdb2xls

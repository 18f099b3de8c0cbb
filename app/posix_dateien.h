// Files on a POSIX system. The output is written to a temporary file in the
// target's folder and renamed over the target when it is complete, so a
// failed run leaves an earlier table of that name as it was.
#pragma once

#include "convert/dateien.h"

namespace cdb2xls {

class PosixDateien final : public Dateien {
public:
    bool istDatei(const std::string& pfad) override;
    bool gleicheDatei(const std::string& a, const std::string& b) override;
    std::unique_ptr<Eingabe> oeffneEingabe(const std::string& pfad) override;
    std::unique_ptr<Ausgabe> erstelleAusgabe(const std::string& pfad) override;
};

}  // namespace cdb2xls

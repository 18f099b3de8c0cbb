// Files held in memory, for running the core without a disk. Faults can be
// set up: a read or a write that fails after a given number of bytes.
#pragma once

#include "convert/dateien.h"

#include <cstddef>
#include <limits>
#include <map>
#include <set>
#include <string>

namespace cdb2xls::test {

class SpeicherDateien final : public Dateien {
public:
    static constexpr std::size_t kNie = std::numeric_limits<std::size_t>::max();

    std::map<std::string, std::string> dateien;  // path -> content
    std::set<std::string> ordner;                // paths that are folders
    std::size_t lesestueck = kNie;               // most bytes one read hands out
    std::size_t leseFehlerNach = kNie;           // a read past this many bytes fails
    std::size_t schreibFehlerNach = kNie;        // a write past this many bytes fails
    int offeneEingaben = 0;                      // inputs not yet closed

    bool istDatei(const std::string& pfad) override;
    bool gleicheDatei(const std::string& a, const std::string& b) override;
    std::unique_ptr<Eingabe> oeffneEingabe(const std::string& pfad) override;
    std::unique_ptr<Ausgabe> erstelleAusgabe(const std::string& pfad) override;
};

}  // namespace cdb2xls::test

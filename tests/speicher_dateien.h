// Files held in memory, for running the core without a disk. Faults can be
// set up: a read or a write that fails after a given number of bytes, a
// folder that takes no new file, a file that may not be written, taken names.
#pragma once

#include "convert/dateien.h"

#include <cstddef>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace cdb2xls::test {

class SpeicherDateien final : public Dateien {
public:
    static constexpr std::size_t kNie = std::numeric_limits<std::size_t>::max();

    std::map<std::string, std::string> dateien;    // path -> content
    std::map<std::string, int> rechte;             // path -> permission bits, where set
    std::set<std::string> ordner;                  // paths that are folders
    std::set<std::string> geraete;                 // paths that are devices (written straight into)
    std::set<std::string> schreibgeschuetzt;       // files the process may not write
    std::set<std::string> nichtErsetzbar;          // files the system would not let another replace
    std::map<std::string, std::string> verweise;   // link -> the path it leads to
    bool ordnerVerweigert = false;                 // the folder takes no new file
    bool mitUnbenannten = true;                    // the platform has files without a name
    int belegteNamen = 0;                          // this many names are taken before one is free
    std::size_t lesestueck = kNie;                 // most bytes one read hands out
    std::size_t leseFehlerNach = kNie;             // a read past this many bytes fails
    std::size_t schreibFehlerNach = kNie;          // a write past this many bytes fails
    std::map<std::string, std::string> harteVerweise;  // path -> the path whose file it names too
    std::function<void()> beimSchliessen;          // runs when the file beside the target is closed
    int offeneEingaben = 0;                        // inputs not yet closed
    std::vector<std::string> zwischennamen;        // names given to files beside a target

    // The path `pfad` leads to, links followed.
    std::string aufgeloest(const std::string& pfad) const;

    Dateiart art(const std::string& pfad) override;
    std::unique_ptr<Eingabe> oeffneEingabe(const std::string& pfad) override;
    std::string ersetzungsziel(const std::string& pfad) override;
    std::unique_ptr<VorhandeneDatei> oeffneVorhandene(const std::string& pfad) override;
    std::optional<Dateikennung> kennung(const std::string& pfad) override;
    std::unique_ptr<Zwischendatei> erstelleUnbenannte(const std::string& neben, bool privat) override;
    std::unique_ptr<Zwischendatei> erstelleBenannte(const std::string& neben, const std::string& name,
                                                    bool privat) override;

    // The identity of a path's file: the path it leads to.
    Dateikennung kennungVon(const std::string& pfad) const;
};

}  // namespace cdb2xls::test

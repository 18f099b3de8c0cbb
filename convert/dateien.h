// The services through which a run touches files. The front end hands the
// core an implementation for its platform; tests hand it one in memory.
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>

namespace cdb2xls {

// Reading the input failed; what() is the system's reason.
struct LeseFehler : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Creating or writing the output failed; what() is the system's reason.
struct SchreibFehler : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// An open input file, read as raw bytes.
class Eingabe {
public:
    virtual ~Eingabe() = default;
    // Reads up to `max` bytes into `puffer`; returns 0 only at the end of the
    // input. Throws LeseFehler.
    virtual std::size_t lies(char* puffer, std::size_t max) = 0;
};

// An output file being written. Until abschliessen() succeeds nothing of it
// replaces an earlier file of the same name; destroying an Ausgabe that was
// not finished discards what was written.
class Ausgabe {
public:
    virtual ~Ausgabe() = default;
    // Writes all `anzahl` bytes or throws SchreibFehler.
    virtual void schreibe(const char* daten, std::size_t anzahl) = 0;
    // Makes the written bytes the file's content. Throws SchreibFehler.
    virtual void abschliessen() = 0;
};

class Dateien {
public:
    virtual ~Dateien() = default;
    // True when `pfad` names an existing regular file (links followed).
    virtual bool istDatei(const std::string& pfad) = 0;
    // True when both paths exist and name the same file.
    virtual bool gleicheDatei(const std::string& a, const std::string& b) = 0;
    // Throws LeseFehler.
    virtual std::unique_ptr<Eingabe> oeffneEingabe(const std::string& pfad) = 0;
    // Throws SchreibFehler.
    virtual std::unique_ptr<Ausgabe> erstelleAusgabe(const std::string& pfad) = 0;
};

}  // namespace cdb2xls

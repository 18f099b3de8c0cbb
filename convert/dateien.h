// The services through which a run touches files. The front end hands the
// core an implementation for its platform; tests hand it one in memory.
// These are thin system calls: how a table replaces an earlier one is the
// core's (ersetzung.h), the same on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
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

// The folder takes no new file (no write permission); what() is the reason.
struct OrdnerVerweigert : SchreibFehler {
    using SchreibFehler::SchreibFehler;
};

// What a path names, as the input sees it.
enum class Dateiart { Fehlt, Datei, Ordner, Pipe, Geraet, Andere };

// Which file a path leads to: device and inode, or volume and file ID.
struct Dateikennung {
    std::uint64_t datentraeger = 0;
    std::uint64_t nummer = 0;
    friend bool operator==(const Dateikennung&, const Dateikennung&) = default;
};

// An open input file, read as raw bytes.
class Eingabe {
public:
    virtual ~Eingabe() = default;
    // Reads up to `max` bytes into `puffer`; returns 0 only at the end of the
    // input. Throws LeseFehler.
    virtual std::size_t lies(char* puffer, std::size_t max) = 0;
    // Reads up to `max` bytes from byte `stelle` on, again, without moving
    // where lies() goes on; returns 0 only at the end of the input. The
    // input is a regular file, so what was read once can be read again.
    // Throws LeseFehler.
    virtual std::size_t liesAb(std::uint64_t stelle, char* puffer, std::size_t max) = 0;
    // The file that is open, whatever path led to it.
    virtual Dateikennung kennung() const = 0;
};

// A file open for writing. Every operation throws SchreibFehler.
class Schreibdatei {
public:
    virtual ~Schreibdatei() = default;
    virtual void schreibe(const char* daten, std::size_t anzahl) = 0;
    // Writes out what the system still holds and closes the file.
    virtual void schliessen() = 0;
};

// A file that already stands where the table goes, open for writing and not
// yet emptied.
class VorhandeneDatei : public Schreibdatei {
public:
    virtual Dateikennung kennung() const = 0;
    // False for a device or a FIFO: those are written straight into.
    virtual bool regulaer() const = 0;
    // False where the system would not let another file take this one's
    // place by a rename (on POSIX: a sticky folder, and neither the folder
    // nor the file is the process's); then it is written in place.
    virtual bool ersetzbar() const = 0;
    // Empties the file, to write it in place.
    virtual void leeren() = 0;
    // Lets go of the file's pages in the system's cache, where the platform
    // can: the file is about to be replaced. Only a hint; its content stays.
    virtual void zwischenspeicherAufgeben() = 0;
};

// The new table while it is written, beside its target. Destroyed before it
// replaced the target, it is removed.
class Zwischendatei : public Schreibdatei {
public:
    // Gives a file that has no name yet the name `name` in its folder; false
    // when that name is taken. A file created with a name has it already.
    virtual bool benennen(const std::string& name) = 0;
    // Gives it the permission bits, and the owner and group where the process
    // may set them, of the file it will replace.
    virtual void eigenschaftenVon(const VorhandeneDatei& vorbild) = 0;
    // Replaces the file at `ziel` by this one, after schliessen(): nothing
    // more is written then, though a platform may keep the file open until
    // it has replaced its target.
    virtual void ersetze(const std::string& ziel) = 0;
};

class Dateien {
public:
    virtual ~Dateien() = default;
    // What `pfad` names, links followed: a regular file is a Datei.
    virtual Dateiart art(const std::string& pfad) = 0;
    // Throws LeseFehler.
    virtual std::unique_ptr<Eingabe> oeffneEingabe(const std::string& pfad) = 0;

    // The path whose file a table for `pfad` replaces: the final target of a
    // link, so that the link stays (a dangling link's target is made, as the
    // shell's ">" makes it), otherwise `pfad` itself.
    virtual std::string ersetzungsziel(const std::string& pfad) = 0;
    // The file at `pfad` opened for writing, not emptied; null when there is
    // none. Throws SchreibFehler when it may not be written.
    virtual std::unique_ptr<VorhandeneDatei> oeffneVorhandene(const std::string& pfad) = 0;
    // What stands at `pfad` now, the entry itself (a link is not followed);
    // empty when nothing does.
    virtual std::optional<Dateikennung> kennung(const std::string& pfad) = 0;
    // A new file without a name in the folder of `neben`, where the platform
    // has such files and can name them later; null otherwise. `privat`:
    // open to its owner only until it takes the permissions of the file it
    // replaces. Throws OrdnerVerweigert or SchreibFehler.
    virtual std::unique_ptr<Zwischendatei> erstelleUnbenannte(const std::string& neben, bool privat) = 0;
    // A new file named `name` in the folder of `neben`; null when the name is
    // taken. As a run ended from outside may not get to remove it, the
    // platform removes it then where it can. Throws OrdnerVerweigert or
    // SchreibFehler.
    virtual std::unique_ptr<Zwischendatei> erstelleBenannte(const std::string& neben, const std::string& name,
                                                            bool privat) = 0;
};

}  // namespace cdb2xls

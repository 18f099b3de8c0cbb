#include "speicher_dateien.h"

#include <algorithm>

namespace cdb2xls::test {
namespace {

class SpeicherEingabe final : public Eingabe {
public:
    SpeicherEingabe(const std::string& inhalt, SpeicherDateien& dateien)
        : inhalt_(inhalt), dateien_(dateien) {
        ++dateien_.offeneEingaben;
    }
    ~SpeicherEingabe() override { --dateien_.offeneEingaben; }

    std::size_t lies(char* puffer, std::size_t max) override {
        const std::size_t n = std::min({max, dateien_.lesestueck, inhalt_.size() - stelle_});
        if (n > 0 && stelle_ + n > dateien_.leseFehlerNach) throw LeseFehler("Eingabe/Ausgabefehler");
        std::copy_n(inhalt_.data() + stelle_, n, puffer);
        stelle_ += n;
        return n;
    }

private:
    std::string inhalt_;
    std::size_t stelle_ = 0;
    SpeicherDateien& dateien_;
};

class SpeicherAusgabe final : public Ausgabe {
public:
    SpeicherAusgabe(std::string pfad, SpeicherDateien& dateien)
        : pfad_(std::move(pfad)), dateien_(dateien) {}

    void schreibe(const char* daten, std::size_t anzahl) override {
        if (inhalt_.size() + anzahl > dateien_.schreibFehlerNach) {
            throw SchreibFehler("Auf dem Gerät ist kein Speicherplatz mehr verfügbar");
        }
        inhalt_.append(daten, anzahl);
    }
    void abschliessen() override { dateien_.dateien[pfad_] = inhalt_; }

private:
    std::string pfad_;
    std::string inhalt_;
    SpeicherDateien& dateien_;
};

}  // namespace

bool SpeicherDateien::istDatei(const std::string& pfad) { return dateien.count(pfad) != 0; }

bool SpeicherDateien::gleicheDatei(const std::string& a, const std::string& b) {
    return a == b && (dateien.count(a) != 0 || ordner.count(a) != 0);
}

std::unique_ptr<Eingabe> SpeicherDateien::oeffneEingabe(const std::string& pfad) {
    const auto datei = dateien.find(pfad);
    if (datei == dateien.end()) throw LeseFehler("Datei oder Verzeichnis nicht gefunden");
    return std::make_unique<SpeicherEingabe>(datei->second, *this);
}

std::unique_ptr<Ausgabe> SpeicherDateien::erstelleAusgabe(const std::string& pfad) {
    if (ordner.count(pfad) != 0) throw SchreibFehler("Ist ein Verzeichnis");
    return std::make_unique<SpeicherAusgabe>(pfad, *this);
}

}  // namespace cdb2xls::test

#include "speicher_dateien.h"

#include <algorithm>

namespace cdb2xls::test {
namespace {

std::string ordnerVon(const std::string& pfad) {
    const auto trenner = pfad.find_last_of("/\\");
    return trenner == std::string::npos ? std::string() : pfad.substr(0, trenner + 1);
}

class SpeicherEingabe final : public Eingabe {
public:
    SpeicherEingabe(const std::string& inhalt, Dateikennung kennung, SpeicherDateien& dateien)
        : inhalt_(inhalt), kennung_(kennung), dateien_(dateien) {
        ++dateien_.offeneEingaben;
    }
    ~SpeicherEingabe() override { --dateien_.offeneEingaben; }

    std::size_t lies(char* puffer, std::size_t max) override {
        const std::size_t n = liesAb(stelle_, puffer, max);
        stelle_ += n;
        return n;
    }
    std::size_t liesAb(std::uint64_t stelle, char* puffer, std::size_t max) override {
        if (stelle >= inhalt_.size()) return 0;
        const std::size_t n = std::min({max, dateien_.lesestueck, inhalt_.size() - static_cast<std::size_t>(stelle)});
        if (stelle + n > dateien_.leseFehlerNach) throw LeseFehler("Eingabe/Ausgabefehler");
        std::copy_n(inhalt_.data() + stelle, n, puffer);
        return n;
    }
    Dateikennung kennung() const override { return kennung_; }

private:
    std::string inhalt_;
    std::size_t stelle_ = 0;
    Dateikennung kennung_;
    SpeicherDateien& dateien_;
};

// Content being written, with the fault set up.
class Inhalt {
public:
    explicit Inhalt(SpeicherDateien& dateien) : dateien_(dateien) {}
    void anhaengen(const char* daten, std::size_t anzahl) {
        if (text.size() + anzahl > dateien_.schreibFehlerNach) {
            throw SchreibFehler("Auf dem Gerät ist kein Speicherplatz mehr verfügbar");
        }
        text.append(daten, anzahl);
    }
    std::string text;

private:
    SpeicherDateien& dateien_;
};

class SpeicherVorhandene final : public VorhandeneDatei {
public:
    SpeicherVorhandene(std::string pfad, SpeicherDateien& dateien)
        : pfad_(std::move(pfad)), dateien_(dateien), inhalt_(dateien) {}
    void schreibe(const char* daten, std::size_t anzahl) override {
        inhalt_.anhaengen(daten, anzahl);
        if (!regulaer()) dateien_.dateien[pfad_] = inhalt_.text;
    }
    void schliessen() override {
        if (regulaer() && geleert_) dateien_.dateien[pfad_] = inhalt_.text;
    }
    Dateikennung kennung() const override { return dateien_.kennungVon(pfad_); }
    bool regulaer() const override { return dateien_.geraete.count(pfad_) == 0; }
    bool ersetzbar() const override { return dateien_.nichtErsetzbar.count(pfad_) == 0; }
    void leeren() override {
        geleert_ = true;
        dateien_.dateien[pfad_].clear();
    }
    void zwischenspeicherAufgeben() override {}
    const std::string& pfad() const { return pfad_; }

private:
    std::string pfad_;
    SpeicherDateien& dateien_;
    Inhalt inhalt_;
    bool geleert_ = false;
};

class SpeicherZwischendatei final : public Zwischendatei {
public:
    SpeicherZwischendatei(std::string ordner, std::string name, bool privat, SpeicherDateien& dateien)
        : ordner_(std::move(ordner)), name_(std::move(name)), dateien_(dateien), inhalt_(dateien),
          rechte_(privat ? 0600 : 0644) {}
    void schreibe(const char* daten, std::size_t anzahl) override { inhalt_.anhaengen(daten, anzahl); }
    void schliessen() override {
        if (dateien_.beimSchliessen) dateien_.beimSchliessen();
    }
    bool benennen(const std::string& name) override {
        if (!name_.empty()) return true;
        if (dateien_.belegteNamen > 0) {
            --dateien_.belegteNamen;
            return false;
        }
        name_ = name;
        dateien_.zwischennamen.push_back(name);
        return true;
    }
    void eigenschaftenVon(const VorhandeneDatei& vorbild) override {
        const auto& pfad = static_cast<const SpeicherVorhandene&>(vorbild).pfad();
        const auto r = dateien_.rechte.find(pfad);
        rechte_ = r == dateien_.rechte.end() ? 0644 : r->second;
    }
    void ersetze(const std::string& ziel) override {
        if (name_.empty()) throw SchreibFehler("Zwischendatei ohne Namen");
        dateien_.dateien[ziel] = inhalt_.text;
        dateien_.rechte[ziel] = rechte_;
        dateien_.verweise.erase(ziel);
    }

private:
    std::string ordner_;
    std::string name_;  // empty while it has none
    SpeicherDateien& dateien_;
    Inhalt inhalt_;
    int rechte_;
};

}  // namespace

std::string SpeicherDateien::aufgeloest(const std::string& pfad) const {
    std::string p = pfad;
    for (int i = 0; i < 40; ++i) {
        const auto v = verweise.find(p);
        if (v == verweise.end()) break;
        p = v->second;
    }
    return p;
}

Dateikennung SpeicherDateien::kennungVon(const std::string& pfad) const {
    return Dateikennung{1, std::hash<std::string>{}(aufgeloest(pfad))};
}

Dateiart SpeicherDateien::art(const std::string& pfad) {
    const std::string ziel = aufgeloest(pfad);
    if (ordner.count(ziel) != 0) return Dateiart::Ordner;
    if (geraete.count(ziel) != 0) return Dateiart::Geraet;
    return dateien.count(ziel) != 0 ? Dateiart::Datei : Dateiart::Fehlt;
}

std::unique_ptr<Eingabe> SpeicherDateien::oeffneEingabe(const std::string& pfad) {
    const auto datei = dateien.find(aufgeloest(pfad));
    if (datei == dateien.end()) throw LeseFehler("Datei oder Verzeichnis nicht gefunden");
    return std::make_unique<SpeicherEingabe>(datei->second, kennungVon(pfad), *this);
}

std::string SpeicherDateien::ersetzungsziel(const std::string& pfad) {
    const std::string ziel = aufgeloest(pfad);
    return dateien.count(ziel) != 0 || ordner.count(ziel) != 0 || geraete.count(ziel) != 0 ? ziel : pfad;
}

std::unique_ptr<VorhandeneDatei> SpeicherDateien::oeffneVorhandene(const std::string& pfad) {
    const std::string ziel = aufgeloest(pfad);
    if (ordner.count(ziel) != 0) throw SchreibFehler("Ist ein Verzeichnis");
    if (dateien.count(ziel) == 0 && geraete.count(ziel) == 0) return nullptr;
    if (schreibgeschuetzt.count(ziel) != 0) throw SchreibFehler("Keine Berechtigung");
    return std::make_unique<SpeicherVorhandene>(ziel, *this);
}

std::optional<Dateikennung> SpeicherDateien::kennung(const std::string& pfad) {
    if (const auto hart = harteVerweise.find(pfad); hart != harteVerweise.end()) return kennungVon(hart->second);
    if (dateien.count(pfad) == 0 && verweise.count(pfad) == 0) return std::nullopt;
    return Dateikennung{1, std::hash<std::string>{}(verweise.count(pfad) != 0 ? "->" + pfad : pfad)};
}

std::unique_ptr<Zwischendatei> SpeicherDateien::erstelleUnbenannte(const std::string& neben, bool privat) {
    if (!mitUnbenannten) return nullptr;
    if (ordnerVerweigert) throw OrdnerVerweigert("Keine Berechtigung");
    return std::make_unique<SpeicherZwischendatei>(ordnerVon(neben), std::string(), privat, *this);
}

std::unique_ptr<Zwischendatei> SpeicherDateien::erstelleBenannte(const std::string& neben, const std::string& name,
                                                                 bool privat) {
    if (ordnerVerweigert) throw OrdnerVerweigert("Keine Berechtigung");
    if (belegteNamen > 0) {
        --belegteNamen;
        return nullptr;
    }
    zwischennamen.push_back(name);
    return std::make_unique<SpeicherZwischendatei>(ordnerVon(neben), name, privat, *this);
}

}  // namespace cdb2xls::test

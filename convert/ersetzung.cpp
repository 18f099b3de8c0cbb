#include "ersetzung.h"

#include <chrono>
#include <random>
#include <utility>

namespace cdb2xls {
namespace {

// Names are random, so a taken one is a rare accident; this many in a row
// means something else is wrong.
constexpr int kNamensversuche = 100;

std::uint64_t zufallszahl() {
    std::uint64_t zahl = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    try {
        std::random_device zufall;
        zahl ^= (static_cast<std::uint64_t>(zufall()) << 32) | zufall();
    } catch (const std::exception&) {
        // No source of randomness: the clock alone still varies.
    }
    return zahl;
}

// Tries fresh names until `versuch(name)` takes one.
template <typename Versuch>
void mitFreiemNamen(Versuch&& versuch) {
    std::mt19937_64 zahlen(zufallszahl());
    for (int i = 0; i < kNamensversuche; ++i) {
        if (versuch(zwischenname(zahlen()))) return;
    }
    throw SchreibFehler("kein freier Name für eine Zwischendatei");
}

void pruefeNichtEingabe(const Dateikennung& ziel, const Dateikennung& eingabe) {
    if (ziel == eingabe) throw AusgabeIstEingabe();
}

// Writes straight into the file that is there: a device, a FIFO, or a table
// in a folder that takes no new file.
class DirekteAusgabe final : public Ausgabe {
public:
    explicit DirekteAusgabe(std::unique_ptr<VorhandeneDatei> datei) : datei_(std::move(datei)) {}
    void schreibe(const char* daten, std::size_t anzahl) override { datei_->schreibe(daten, anzahl); }
    void abschliessen() override { datei_->schliessen(); }

private:
    std::unique_ptr<VorhandeneDatei> datei_;
};

// Writes into a file beside the target and moves it over the target when
// complete; until then the target stays as it was.
class ErsetzendeAusgabe final : public Ausgabe {
public:
    ErsetzendeAusgabe(Dateien& dateien, std::string ziel, Dateikennung eingabe,
                      std::unique_ptr<VorhandeneDatei> vorhandene, std::unique_ptr<Zwischendatei> neu)
        : dateien_(dateien), ziel_(std::move(ziel)), eingabe_(eingabe), vorhandene_(std::move(vorhandene)),
          neu_(std::move(neu)) {}

    void schreibe(const char* daten, std::size_t anzahl) override { neu_->schreibe(daten, anzahl); }

    void abschliessen() override {
        mitFreiemNamen([this](const std::string& name) { return neu_->benennen(name); });
        if (vorhandene_) {
            neu_->eigenschaftenVon(*vorhandene_);
            vorhandene_->schliessen();
            vorhandene_.reset();
        }
        neu_->schliessen();
        // What the replacement would replace is looked at once more right
        // before: a path may have come to lead to the input meanwhile.
        if (const auto jetzt = dateien_.kennung(ziel_)) pruefeNichtEingabe(*jetzt, eingabe_);
        neu_->ersetze(ziel_);
        neu_.reset();
    }

private:
    Dateien& dateien_;
    std::string ziel_;
    Dateikennung eingabe_;
    std::unique_ptr<VorhandeneDatei> vorhandene_;  // its permissions go over
    std::unique_ptr<Zwischendatei> neu_;
};

}  // namespace

std::string zwischenname(std::uint64_t zahl) {
    constexpr char kZiffern[] = "0123456789abcdefghijklmnopqrstuv";  // 5 bits each
    std::string name = ".cdb2xls-";
    for (int i = 0; i < 8; ++i, zahl >>= 5) name += kZiffern[zahl & 31];
    return name + ".tmp";
}

std::unique_ptr<Ausgabe> ausgabeErstellen(Dateien& dateien, const std::string& pfad, const Dateikennung& eingabe) {
    const std::string ziel = dateien.ersetzungsziel(pfad);
    std::unique_ptr<VorhandeneDatei> vorhandene = dateien.oeffneVorhandene(ziel);
    if (vorhandene) {
        pruefeNichtEingabe(vorhandene->kennung(), eingabe);
        if (!vorhandene->regulaer()) return std::make_unique<DirekteAusgabe>(std::move(vorhandene));
    }
    const bool privat = vorhandene != nullptr;

    // As a plain program would: the table that is there is overwritten.
    const auto anOrtUndStelle = [&vorhandene]() -> std::unique_ptr<Ausgabe> {
        vorhandene->leeren();
        return std::make_unique<DirekteAusgabe>(std::move(vorhandene));
    };
    // Decided before any work: the rename at the end would be refused.
    if (vorhandene && !vorhandene->ersetzbar()) return anOrtUndStelle();

    std::unique_ptr<Zwischendatei> neu;
    try {
        neu = dateien.erstelleUnbenannte(ziel, privat);
        if (!neu) {
            mitFreiemNamen([&](const std::string& name) {
                neu = dateien.erstelleBenannte(ziel, name, privat);
                return neu != nullptr;
            });
        }
    } catch (const OrdnerVerweigert&) {
        if (!vorhandene) throw;
        return anOrtUndStelle();
    }
    // The earlier table goes once the new one is complete: its cached pages
    // are let go now, so that the new table's take their place, rather than
    // memory the system has to find (on a virtual machine, often memory the
    // host has taken back), and the two are not held at once.
    if (vorhandene) vorhandene->zwischenspeicherAufgeben();
    return std::make_unique<ErsetzendeAusgabe>(dateien, ziel, eingabe, std::move(vorhandene), std::move(neu));
}

}  // namespace cdb2xls

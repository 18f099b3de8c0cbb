// The files of a run in the page's worker. The input is the file the user
// dropped or picked (a Blob the worker's script holds), read in slices as
// the run asks for them; the table goes out piece by piece to the script,
// which makes the download of it. There is nothing else: no folder, no
// earlier table, no other file.
#pragma once

#include "convert/dateien.h"

#include <string>

namespace cdb2xls::web {

class BrowserDateien final : public Dateien {
public:
    // `eingabe`: the name of the file the script holds.
    explicit BrowserDateien(std::string eingabe) : eingabe_(std::move(eingabe)) {}

    Dateiart art(const std::string& pfad) override;
    std::unique_ptr<Eingabe> oeffneEingabe(const std::string& pfad) override;
    std::string ersetzungsziel(const std::string& pfad) override { return pfad; }
    std::unique_ptr<VorhandeneDatei> oeffneVorhandene(const std::string&) override { return nullptr; }
    std::optional<Dateikennung> kennung(const std::string&) override { return std::nullopt; }
    std::unique_ptr<Zwischendatei> erstelleUnbenannte(const std::string& neben, bool privat) override;
    std::unique_ptr<Zwischendatei> erstelleBenannte(const std::string& neben, const std::string& name,
                                                    bool privat) override;

private:
    std::string eingabe_;
};

}  // namespace cdb2xls::web

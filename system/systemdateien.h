// The files of the system the program runs on: POSIX in dateien_posix.cpp,
// Windows in dateien_win32.cpp, the one the build is for chosen by CMake.
#pragma once

#include "convert/dateien.h"

namespace cdb2xls {

class SystemDateien final : public Dateien {
public:
    Dateiart art(const std::string& pfad) override;
    std::unique_ptr<Eingabe> oeffneEingabe(const std::string& pfad) override;
    std::string ersetzungsziel(const std::string& pfad) override;
    std::unique_ptr<VorhandeneDatei> oeffneVorhandene(const std::string& pfad) override;
    std::optional<Dateikennung> kennung(const std::string& pfad) override;
    std::unique_ptr<Zwischendatei> erstelleUnbenannte(const std::string& neben, bool privat) override;
    std::unique_ptr<Zwischendatei> erstelleBenannte(const std::string& neben, const std::string& name,
                                                    bool privat) override;
};

}  // namespace cdb2xls

// Files on Windows, through the wide API so that any file name works. As on
// Linux, the table is written beside its target and moved over it only when
// complete.
#pragma once

#include "convert/dateien.h"

namespace cdb2xls::win32 {

class Win32Dateien final : public Dateien {
public:
    bool istDatei(const std::string& pfad) override;
    bool gleicheDatei(const std::string& a, const std::string& b) override;
    std::unique_ptr<Eingabe> oeffneEingabe(const std::string& pfad) override;
    std::unique_ptr<Ausgabe> erstelleAusgabe(const std::string& pfad) override;
};

}  // namespace cdb2xls::win32

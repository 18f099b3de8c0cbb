// The design of the drop window, shared by its Qt and its Win32 side.
// Lengths are in twips (a twentieth of a printer's point, 1440 an inch).
#pragma once

namespace cdb2xls::entwurf {

constexpr int kTwipsJeZoll = 1440;

constexpr int kFensterBreite = 3744;  // client area
constexpr int kFensterHoehe = 2556;
constexpr int kLabelLinks = 120;      // a strip on the left takes no drops
constexpr int kLabelOben = 0;
constexpr int kLabelBreite = 3612;
constexpr int kLabelHoehe = 2532;

constexpr const char* kLabelText = "Bitte einfach die cdb-Datei in dieses Fenster ziehen!";
constexpr const char* kSchriftart = "Comic Sans MS";
constexpr int kSchriftZehntelPunkte = 222;  // 22.2 points, normal weight

// Pixels for a length in twips at `dpi`, rounded to the nearest pixel.
constexpr int pixelAusTwips(int twips, int dpi) {
    return (twips * dpi + kTwipsJeZoll / 2) / kTwipsJeZoll;
}

}  // namespace cdb2xls::entwurf

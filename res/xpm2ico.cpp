// Build tool: turns the program's XPM icon (32 x 32, at most 16 colours, one
// character a pixel, "None" transparent) into a Windows .ico file.
// Usage: xpm2ico ICON.xpm ICON.ico
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kGroesse = 32;

struct Farbe {
    std::uint8_t r = 0, g = 0, b = 0;
    bool durchsichtig = false;
};

// The quoted strings of the XPM file, in order.
std::vector<std::string> zeichenketten(std::istream& ein) {
    std::vector<std::string> ergebnis;
    std::string zeile;
    while (std::getline(ein, zeile)) {
        const auto anfang = zeile.find('"');
        const auto ende = zeile.rfind('"');
        if (anfang != std::string::npos && ende > anfang) ergebnis.push_back(zeile.substr(anfang + 1, ende - anfang - 1));
    }
    return ergebnis;
}

void schreibe16(std::string& aus, std::uint16_t wert) {
    aus += static_cast<char>(wert & 0xff);
    aus += static_cast<char>(wert >> 8);
}
void schreibe32(std::string& aus, std::uint32_t wert) {
    schreibe16(aus, static_cast<std::uint16_t>(wert & 0xffff));
    schreibe16(aus, static_cast<std::uint16_t>(wert >> 16));
}

bool fehler(const std::string& text) {
    std::cerr << "xpm2ico: " << text << "\n";
    return false;
}

bool umwandeln(const char* xpmPfad, const char* icoPfad) {
    std::ifstream ein(xpmPfad);
    if (!ein) return fehler(std::string(xpmPfad) + ": nicht lesbar");
    const auto texte = zeichenketten(ein);
    if (texte.empty()) return fehler("keine XPM-Daten");
    int breite = 0, hoehe = 0, anzahl = 0, proPixel = 0;
    std::istringstream(texte[0]) >> breite >> hoehe >> anzahl >> proPixel;
    if (breite != kGroesse || hoehe != kGroesse || proPixel != 1 || anzahl > 16) {
        return fehler("32 x 32 Pixel, ein Zeichen je Pixel, höchstens 16 Farben erwartet");
    }
    if (static_cast<int>(texte.size()) < 1 + anzahl + hoehe) return fehler("zu wenige Zeilen");

    std::map<char, int> index;
    std::vector<Farbe> palette(16);
    for (int i = 0; i < anzahl; ++i) {
        const std::string& t = texte[1 + i];
        const auto c = t.find(" c ");
        if (c == std::string::npos) return fehler("Farbzeile ohne c: " + t);
        const std::string wert = t.substr(c + 3);
        Farbe f;
        if (wert == "None") {
            f.durchsichtig = true;
        } else if (wert.size() == 7 && wert[0] == '#') {
            const unsigned long rgb = std::stoul(wert.substr(1), nullptr, 16);
            f.r = static_cast<std::uint8_t>(rgb >> 16);
            f.g = static_cast<std::uint8_t>(rgb >> 8);
            f.b = static_cast<std::uint8_t>(rgb);
        } else {
            return fehler("Farbe nicht als #RRGGBB: " + wert);
        }
        index[t[0]] = i;
        palette[i] = f;
    }

    // 4 bits a pixel and a 1-bit mask, both bottom-up, rows padded to 4 bytes.
    std::string farbbits, maske;
    for (int y = kGroesse - 1; y >= 0; --y) {
        const std::string& reihe = texte[1 + anzahl + y];
        if (static_cast<int>(reihe.size()) != kGroesse) return fehler("Zeile mit falscher Breite");
        std::uint32_t maskenreihe = 0;
        for (int x = 0; x < kGroesse; x += 2) {
            int paar[2];
            for (int k = 0; k < 2; ++k) {
                const auto gefunden = index.find(reihe[x + k]);
                if (gefunden == index.end()) return fehler("unbekanntes Pixelzeichen");
                const bool durchsichtig = palette[gefunden->second].durchsichtig;
                paar[k] = durchsichtig ? 0 : gefunden->second;
                if (durchsichtig) maskenreihe |= 0x80000000u >> (x + k);
            }
            farbbits += static_cast<char>((paar[0] << 4) | paar[1]);
        }
        for (int k = 3; k >= 0; --k) maske += static_cast<char>((maskenreihe >> (8 * k)) & 0xff);
    }

    std::string bild;
    schreibe32(bild, 40);             // BITMAPINFOHEADER
    schreibe32(bild, kGroesse);
    schreibe32(bild, kGroesse * 2);   // colour bits and mask
    schreibe16(bild, 1);
    schreibe16(bild, 4);
    schreibe32(bild, 0);
    schreibe32(bild, static_cast<std::uint32_t>(farbbits.size() + maske.size()));
    schreibe32(bild, 0);
    schreibe32(bild, 0);
    schreibe32(bild, 16);
    schreibe32(bild, 0);
    for (const Farbe& f : palette) {
        bild += static_cast<char>(f.b);
        bild += static_cast<char>(f.g);
        bild += static_cast<char>(f.r);
        bild += '\0';
    }
    bild += farbbits + maske;

    std::string ico;
    schreibe16(ico, 0);  // ICONDIR
    schreibe16(ico, 1);
    schreibe16(ico, 1);
    ico += static_cast<char>(kGroesse);  // ICONDIRENTRY
    ico += static_cast<char>(kGroesse);
    ico += static_cast<char>(16);
    ico += '\0';
    schreibe16(ico, 1);
    schreibe16(ico, 4);
    schreibe32(ico, static_cast<std::uint32_t>(bild.size()));
    schreibe32(ico, 6 + 16);
    ico += bild;

    std::ofstream aus(icoPfad, std::ios::binary);
    aus.write(ico.data(), static_cast<std::streamsize>(ico.size()));
    aus.close();
    if (!aus) return fehler(std::string(icoPfad) + ": nicht schreibbar");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "Aufruf: xpm2ico ICON.xpm ICON.ico\n";
        return 2;
    }
    return umwandeln(argv[1], argv[2]) ? 0 : 1;
}

// Build tool: makes every picture of the program's icon from its one source,
// the 32 x 32 XPM (at most 16 colours, one character a pixel, "None"
// transparent). The icon is pixel art, so it is scaled by taking the nearest
// pixel, never smoothed.
// Usage: symbol ICON.xpm png GROESSE AUS.png
//        symbol ICON.xpm svg AUS.svg       (a square a pixel: scalable as it is)
//        symbol ICON.xpm ico AUS.ico       (16, 32, 48 and 256 pixels)
#include <array>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kQuelle = 32;

struct Farbe {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;  // a = 0: transparent
    bool operator==(const Farbe&) const = default;
};

// The source: kQuelle x kQuelle colours, row by row from the top.
using Bild = std::vector<Farbe>;

struct Fehler {
    std::string text;
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

Bild lies(const char* pfad) {
    std::ifstream ein(pfad);
    if (!ein) throw Fehler{std::string(pfad) + ": nicht lesbar"};
    const auto texte = zeichenketten(ein);
    if (texte.empty()) throw Fehler{"keine XPM-Daten"};
    int breite = 0, hoehe = 0, anzahl = 0, proPixel = 0;
    std::istringstream(texte[0]) >> breite >> hoehe >> anzahl >> proPixel;
    if (breite != kQuelle || hoehe != kQuelle || proPixel != 1 || anzahl > 16) {
        throw Fehler{"32 x 32 Pixel, ein Zeichen je Pixel, höchstens 16 Farben erwartet"};
    }
    if (static_cast<int>(texte.size()) < 1 + anzahl + hoehe) throw Fehler{"zu wenige Zeilen"};

    std::map<char, Farbe> farben;
    for (int i = 0; i < anzahl; ++i) {
        const std::string& t = texte[1 + i];
        const auto c = t.find(" c ");
        if (c == std::string::npos) throw Fehler{"Farbzeile ohne c: " + t};
        const std::string wert = t.substr(c + 3);
        Farbe f;
        if (wert != "None") {
            if (wert.size() != 7 || wert[0] != '#') throw Fehler{"Farbe nicht als #RRGGBB: " + wert};
            const unsigned long rgb = std::stoul(wert.substr(1), nullptr, 16);
            f = {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                 static_cast<std::uint8_t>(rgb), 255};
        }
        farben[t[0]] = f;
    }
    Bild bild;
    for (int y = 0; y < kQuelle; ++y) {
        const std::string& reihe = texte[1 + anzahl + y];
        if (static_cast<int>(reihe.size()) != kQuelle) throw Fehler{"Zeile mit falscher Breite"};
        for (const char c : reihe) {
            const auto f = farben.find(c);
            if (f == farben.end()) throw Fehler{"unbekanntes Pixelzeichen"};
            bild.push_back(f->second);
        }
    }
    return bild;
}

// The pixel (x, y) of the icon drawn `groesse` pixels wide: the source pixel
// under its centre.
Farbe pixel(const Bild& bild, int groesse, int x, int y) {
    const auto quelle = [groesse](int i) { return (2 * i + 1) * kQuelle / (2 * groesse); };
    return bild[static_cast<std::size_t>(quelle(y) * kQuelle + quelle(x))];
}

void le16(std::string& aus, std::uint32_t wert) {
    aus += static_cast<char>(wert & 0xff);
    aus += static_cast<char>((wert >> 8) & 0xff);
}
void le32(std::string& aus, std::uint32_t wert) {
    le16(aus, wert & 0xffff);
    le16(aus, wert >> 16);
}
void be32(std::string& aus, std::uint32_t wert) {
    for (int k = 3; k >= 0; --k) aus += static_cast<char>((wert >> (8 * k)) & 0xff);
}

std::uint32_t crc32(const std::string& daten) {
    static const std::array<std::uint32_t, 256> tabelle = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (const unsigned char b : daten) c = tabelle[(c ^ b) & 0xff] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void abschnitt(std::string& png, const char* art, const std::string& inhalt) {
    be32(png, static_cast<std::uint32_t>(inhalt.size()));
    const std::string mitArt = art + inhalt;
    png += mitArt;
    be32(png, crc32(mitArt));
}

// A PNG of 8-bit RGBA. The pixel data go into zlib's stored (uncompressed)
// blocks: the pictures are small, and no compressor is needed.
std::string png(const Bild& bild, int groesse) {
    std::string roh;
    for (int y = 0; y < groesse; ++y) {
        roh += '\0';  // no filter
        for (int x = 0; x < groesse; ++x) {
            const Farbe f = pixel(bild, groesse, x, y);
            roh += {static_cast<char>(f.r), static_cast<char>(f.g), static_cast<char>(f.b), static_cast<char>(f.a)};
        }
    }
    std::string z = "\x78\x01";
    for (std::size_t i = 0; i < roh.size(); i += 65535) {
        const std::size_t n = std::min<std::size_t>(65535, roh.size() - i);
        z += static_cast<char>(i + n == roh.size() ? 1 : 0);
        le16(z, static_cast<std::uint32_t>(n));
        le16(z, static_cast<std::uint32_t>(~n & 0xffff));
        z.append(roh, i, n);
    }
    std::uint32_t a = 1, b = 0;
    for (const unsigned char c : roh) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    be32(z, (b << 16) | a);

    std::string kopf;
    be32(kopf, static_cast<std::uint32_t>(groesse));
    be32(kopf, static_cast<std::uint32_t>(groesse));
    kopf += {8, 6, 0, 0, 0};  // 8 bits, RGBA, deflate, no filter, no interlace
    std::string ergebnis = "\x89PNG\r\n\x1a\n";
    abschnitt(ergebnis, "IHDR", kopf);
    abschnitt(ergebnis, "IDAT", z);
    abschnitt(ergebnis, "IEND", {});
    return ergebnis;
}

// A square a pixel (runs of one colour in a row joined), crisp at any size.
std::string svg(const Bild& bild) {
    std::ostringstream aus;
    aus << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kQuelle << "\" height=\"" << kQuelle
        << "\" viewBox=\"0 0 " << kQuelle << ' ' << kQuelle << "\" shape-rendering=\"crispEdges\">\n";
    for (int y = 0; y < kQuelle; ++y) {
        for (int x = 0; x < kQuelle;) {
            const Farbe f = bild[static_cast<std::size_t>(y * kQuelle + x)];
            int bis = x + 1;
            while (bis < kQuelle && bild[static_cast<std::size_t>(y * kQuelle + bis)] == f) ++bis;
            if (f.a != 0) {
                char farbe[8];
                std::snprintf(farbe, sizeof farbe, "#%02x%02x%02x", f.r, f.g, f.b);
                aus << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << bis - x << "\" height=\"1\" fill=\""
                    << farbe << "\"/>\n";
            }
            x = bis;
        }
    }
    aus << "</svg>\n";
    return aus.str();
}

// An icon image as a 32-bit bitmap with its mask, as .ico files hold them.
std::string bitmap(const Bild& bild, int groesse) {
    std::string b;
    le32(b, 40);  // BITMAPINFOHEADER
    le32(b, static_cast<std::uint32_t>(groesse));
    le32(b, static_cast<std::uint32_t>(groesse * 2));  // colours and mask
    le16(b, 1);
    le16(b, 32);
    for (int i = 0; i < 6; ++i) le32(b, 0);
    const int maskenreihe = (groesse + 31) / 32 * 4;
    std::string maske;
    for (int y = groesse - 1; y >= 0; --y) {
        std::string reihe(static_cast<std::size_t>(maskenreihe), '\0');
        for (int x = 0; x < groesse; ++x) {
            const Farbe f = pixel(bild, groesse, x, y);
            b += {static_cast<char>(f.b), static_cast<char>(f.g), static_cast<char>(f.r), static_cast<char>(f.a)};
            if (f.a == 0) reihe[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
        }
        maske += reihe;
    }
    return b + maske;
}

std::string ico(const Bild& bild) {
    const int groessen[] = {16, 32, 48, 256};
    std::vector<std::string> bilder;
    for (const int g : groessen) bilder.push_back(g == 256 ? png(bild, g) : bitmap(bild, g));  // large ones as PNG
    std::string aus;
    le16(aus, 0);  // ICONDIR
    le16(aus, 1);
    le16(aus, static_cast<std::uint32_t>(bilder.size()));
    std::uint32_t stelle = 6 + 16 * static_cast<std::uint32_t>(bilder.size());
    for (std::size_t i = 0; i < bilder.size(); ++i) {
        aus += static_cast<char>(groessen[i] & 0xff);  // 0 stands for 256
        aus += static_cast<char>(groessen[i] & 0xff);
        aus += '\0';
        aus += '\0';
        le16(aus, 1);
        le16(aus, 32);
        le32(aus, static_cast<std::uint32_t>(bilder[i].size()));
        le32(aus, stelle);
        stelle += static_cast<std::uint32_t>(bilder[i].size());
    }
    for (const std::string& b : bilder) aus += b;
    return aus;
}

void schreibe(const std::string& pfad, const std::string& inhalt) {
    std::ofstream aus(pfad, std::ios::binary);
    aus.write(inhalt.data(), static_cast<std::streamsize>(inhalt.size()));
    aus.close();
    if (!aus) throw Fehler{pfad + ": nicht schreibbar"};
}

}  // namespace

int main(int argc, char** argv) {
    const std::string art = argc > 2 ? argv[2] : "";
    if (!((art == "png" && argc == 5) || ((art == "svg" || art == "ico") && argc == 4))) {
        std::cerr << "Aufruf: symbol ICON.xpm png GROESSE AUS.png | svg AUS.svg | ico AUS.ico\n";
        return 2;
    }
    try {
        const Bild bild = lies(argv[1]);
        if (art == "png") {
            const int groesse = std::stoi(argv[3]);
            if (groesse < 1 || groesse > 1024) throw Fehler{"Größe von 1 bis 1024 erwartet"};
            schreibe(argv[4], png(bild, groesse));
        } else if (art == "svg") {
            schreibe(argv[3], svg(bild));
        } else {
            schreibe(argv[3], ico(bild));
        }
    } catch (const Fehler& f) {
        std::cerr << "symbol: " << f.text << "\n";
        return 1;
    } catch (const std::exception& f) {
        std::cerr << "symbol: " << f.what() << "\n";
        return 1;
    }
    return 0;
}

#include "xlsx/mappenpruefung.h"

#include "convert/dateien.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <vector>

namespace cdb2xls {
namespace {

constexpr std::uint32_t kEndeSignatur = 0x06054b50;
constexpr std::uint32_t kEnde64Signatur = 0x06064b50;
constexpr std::uint32_t kEnde64ZeigerSignatur = 0x07064b50;
constexpr std::uint32_t kEintragSignatur = 0x02014b50;
constexpr std::uint32_t kKopfSignatur = 0x04034b50;
constexpr std::size_t kEndeLaenge = 22;
constexpr std::size_t kEnde64ZeigerLaenge = 20;
constexpr std::size_t kHoechsterKommentar = 65535;

[[noreturn]] void kaputt(const std::string& was) { throw SchreibFehler("Arbeitsmappe unvollständig (" + was + ")"); }

std::uint64_t zahl(const unsigned char* p, int bytes) {
    std::uint64_t z = 0;
    for (int i = bytes - 1; i >= 0; --i) z = (z << 8) | p[i];
    return z;
}

void fuellen(const Mappenleser& lesen, std::uint64_t stelle, unsigned char* puffer, std::size_t anzahl) {
    for (std::size_t gelesen = 0; gelesen < anzahl;) {
        const std::size_t n = lesen(stelle + gelesen, reinterpret_cast<char*>(puffer) + gelesen, anzahl - gelesen);
        if (n == 0) kaputt("zu kurz");
        gelesen += n;
    }
}

std::vector<unsigned char> stueck(const Mappenleser& lesen, std::uint64_t stelle, std::size_t anzahl) {
    std::vector<unsigned char> daten(anzahl);
    fuellen(lesen, stelle, daten.data(), anzahl);
    return daten;
}

struct Verzeichnis {
    std::uint64_t stelle = 0;
    std::uint64_t laenge = 0;
    std::uint64_t eintraege = 0;
};

// The central directory, from the end record (and its ZIP64 form).
Verzeichnis verzeichnisFinden(const Mappenleser& lesen, std::uint64_t groesse) {
    if (groesse < kEndeLaenge) kaputt("zu kurz");
    const std::size_t schwanz = static_cast<std::size_t>(std::min<std::uint64_t>(groesse, kEndeLaenge + kHoechsterKommentar));
    const std::vector<unsigned char> ende = stueck(lesen, groesse - schwanz, schwanz);
    std::size_t e = schwanz - kEndeLaenge + 1;
    do {
        --e;
    } while (e > 0 && zahl(&ende[e], 4) != kEndeSignatur);
    if (zahl(&ende[e], 4) != kEndeSignatur) kaputt("kein Inhaltsverzeichnis");
    Verzeichnis v{zahl(&ende[e + 16], 4), zahl(&ende[e + 12], 4), zahl(&ende[e + 10], 2)};
    const std::uint64_t endeStelle = groesse - schwanz + e;
    if (endeStelle >= kEnde64ZeigerLaenge) {
        const auto zeiger = stueck(lesen, endeStelle - kEnde64ZeigerLaenge, kEnde64ZeigerLaenge);
        if (zahl(zeiger.data(), 4) == kEnde64ZeigerSignatur) {
            const auto ende64 = stueck(lesen, zahl(&zeiger[8], 8), 56);
            if (zahl(ende64.data(), 4) != kEnde64Signatur) kaputt("kein ZIP64-Inhaltsverzeichnis");
            v = {zahl(&ende64[48], 8), zahl(&ende64[40], 8), zahl(&ende64[32], 8)};
        }
    }
    if (v.stelle + v.laenge > groesse) kaputt("Inhaltsverzeichnis außerhalb der Datei");
    return v;
}

struct Teil {
    std::string name;
    int verfahren = 0;  // 0 stored, 8 deflated
    std::uint64_t gepackt = 0;
    std::uint64_t ungepackt = 0;
    std::uint64_t kopf = 0;  // where its local header begins
};

std::vector<Teil> teileLesen(const Mappenleser& lesen, const Verzeichnis& v) {
    const std::vector<unsigned char> d = stueck(lesen, v.stelle, static_cast<std::size_t>(v.laenge));
    std::vector<Teil> teile;
    std::size_t p = 0;
    for (std::uint64_t i = 0; i < v.eintraege; ++i) {
        if (p + 46 > d.size() || zahl(&d[p], 4) != kEintragSignatur) kaputt("Inhaltsverzeichnis beschädigt");
        Teil t;
        t.verfahren = static_cast<int>(zahl(&d[p + 10], 2));
        t.gepackt = zahl(&d[p + 20], 4);
        t.ungepackt = zahl(&d[p + 24], 4);
        t.kopf = zahl(&d[p + 42], 4);
        const std::size_t name = zahl(&d[p + 28], 2), extra = zahl(&d[p + 30], 2), kommentar = zahl(&d[p + 32], 2);
        if (p + 46 + name + extra + kommentar > d.size()) kaputt("Inhaltsverzeichnis beschädigt");
        t.name.assign(reinterpret_cast<const char*>(&d[p + 46]), name);
        // ZIP64: the sizes and the offset that do not fit 32 bits, in this order.
        for (std::size_t x = p + 46 + name; x + 4 <= p + 46 + name + extra;) {
            const std::size_t laenge = zahl(&d[x + 2], 2);
            if (zahl(&d[x], 2) == 1) {
                std::size_t f = x + 4;
                for (std::uint64_t* feld : {&t.ungepackt, &t.gepackt, &t.kopf}) {
                    if (*feld == 0xFFFFFFFF && f + 8 <= x + 4 + laenge) {
                        *feld = zahl(&d[f], 8);
                        f += 8;
                    }
                }
            }
            x += 4 + laenge;
        }
        teile.push_back(std::move(t));
        p += 46 + name + extra + kommentar;
    }
    return teile;
}

// What a part unpacks to, seen as it streams past: its length, the name of
// its root element and its last bytes.
class Teilende {
public:
    void nimm(const unsigned char* daten, std::size_t anzahl) {
        laenge_ += anzahl;
        if (anfang_.size() < kAnfang) anfang_.append(reinterpret_cast<const char*>(daten), std::min(anzahl, kAnfang - anfang_.size()));
        ende_.append(reinterpret_cast<const char*>(daten), anzahl);
        if (ende_.size() > 2 * kEnde) ende_.erase(0, ende_.size() - kEnde);
    }
    std::uint64_t laenge() const { return laenge_; }
    // The part is XML that ends with the closing tag of its root element.
    bool ganz() const {
        std::size_t p = 0;
        while ((p = anfang_.find('<', p)) != std::string::npos && p + 1 < anfang_.size() &&
               (anfang_[p + 1] == '?' || anfang_[p + 1] == '!')) {
            ++p;
        }
        if (p == std::string::npos) return false;
        const std::size_t nach = anfang_.find_first_of(" \t\r\n/>", p + 1);
        if (nach == std::string::npos) return false;
        const std::string schluss = "</" + anfang_.substr(p + 1, nach - p - 1) + ">";
        std::size_t e = ende_.size();
        while (e > 0 && std::isspace(static_cast<unsigned char>(ende_[e - 1]))) --e;
        return e >= schluss.size() && ende_.compare(e - schluss.size(), schluss.size(), schluss) == 0;
    }

private:
    static constexpr std::size_t kAnfang = 4096;
    static constexpr std::size_t kEnde = 256;
    std::uint64_t laenge_ = 0;
    std::string anfang_;
    std::string ende_;
};

Teilende auspacken(const Mappenleser& lesen, std::uint64_t groesse, const Teil& t) {
    const auto kopf = stueck(lesen, t.kopf, 30);
    if (zahl(kopf.data(), 4) != kKopfSignatur) kaputt(t.name + ": Kopf fehlt");
    std::uint64_t stelle = t.kopf + 30 + zahl(&kopf[26], 2) + zahl(&kopf[28], 2);
    if (stelle + t.gepackt > groesse) kaputt(t.name + ": außerhalb der Datei");
    Teilende ende;
    std::vector<unsigned char> ein(256 * 1024), aus(256 * 1024);
    std::uint64_t uebrig = t.gepackt;
    // The next piece of the packed data into `ein`; its length.
    const auto naechstes = [&]() {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(uebrig, ein.size()));
        fuellen(lesen, stelle, ein.data(), n);
        stelle += n;
        uebrig -= n;
        return n;
    };
    if (t.verfahren == 0) {
        while (uebrig > 0) {
            const std::size_t n = naechstes();
            ende.nimm(ein.data(), n);
        }
        return ende;
    }
    if (t.verfahren != 8) kaputt(t.name + ": unbekanntes Packverfahren");
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) throw SchreibFehler("Arbeitsmappe: zlib");
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        if (z.avail_in == 0) {
            if (uebrig == 0) break;
            z.avail_in = static_cast<uInt>(naechstes());
            z.next_in = ein.data();
        }
        z.next_out = aus.data();
        z.avail_out = static_cast<uInt>(aus.size());
        status = inflate(&z, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) break;
        ende.nimm(aus.data(), aus.size() - z.avail_out);
    }
    inflateEnd(&z);
    if (status != Z_STREAM_END) kaputt(t.name + ": Daten beschädigt");
    return ende;
}

}  // namespace

void mappePruefen(const Mappenleser& lesen, std::uint64_t groesse, const std::string& blatt,
                  std::uint64_t blattMindestens) {
    bool blattGefunden = false;
    for (const Teil& t : teileLesen(lesen, verzeichnisFinden(lesen, groesse))) {
        if (t.name.empty() || t.name.back() == '/') continue;
        const Teilende ende = auspacken(lesen, groesse, t);
        if (ende.laenge() != t.ungepackt || !ende.ganz()) kaputt(t.name);
        if (t.name == blatt) {
            blattGefunden = true;
            if (ende.laenge() < blattMindestens) kaputt(t.name);
        }
    }
    if (!blattGefunden) kaputt(blatt + " fehlt");
}

}  // namespace cdb2xls

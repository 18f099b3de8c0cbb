// Writes a deterministic, realistic cdb file of about the given size to
// stdout: a header section, a <LIST> section of CD records (A/T/X/C/R lines
// and numbered tracks), and a section after the list's empty line.
// Usage: cdb_erzeugen MIB
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// A small linear congruential generator: the same file on every machine.
class Zufall {
public:
    std::uint32_t naechste(std::uint32_t grenze) {
        zustand_ = zustand_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(zustand_ >> 33) % grenze;
    }

private:
    std::uint64_t zustand_ = 20040314;
};

const char* const kWoerter[] = {
    "Liebe", "Nacht", "Stra\xdf" "e", "M\xe4" "dchen", "Herz", "Sommer", "Regen", "Stadt",
    "Tr\xe4ume", "Zeit", "Feuer", "Wind", "Gl\xfc" "ck", "Himmel", "Lied", "Br\xfc" "cke",
};
const char* const kKategorien[] = {"Rock", "Pop", "Klassik", "Jazz", "Schlager", "Elektronik"};

std::string woerter(Zufall& z, int anzahl) {
    std::string text;
    for (int i = 0; i < anzahl; ++i) {
        if (i > 0) text += ' ';
        text += kWoerter[z.naechste(sizeof kWoerter / sizeof *kWoerter)];
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Aufruf: cdb_erzeugen MIB\n");
        return 2;
    }
    const std::uint64_t ziel = std::strtoull(argv[1], nullptr, 10) * 1024 * 1024;
    Zufall z;
    std::string block = "[Tromil CDDB]\r\nVersion=2.1\r\n<INFO>\r\nName=Benchmark\r\nA=kein Eintrag\r\n\r\n<LIST>\r\n";
    std::uint64_t geschrieben = 0;
    std::uint64_t cd = 0;
    while (geschrieben + block.size() < ziel) {
        ++cd;
        block += "A=" + woerter(z, 2) + " " + std::to_string(cd) + "\r\n";
        block += "T=" + woerter(z, 1 + static_cast<int>(z.naechste(4))) + "\r\n";
        block += "X=Label " + std::to_string(z.naechste(500)) + "\r\n";
        block += std::string("C=") + kKategorien[z.naechste(6)] + "\r\n";
        block += "R=" + std::to_string(1960 + z.naechste(45)) + "\r\n";
        const int titel = 8 + static_cast<int>(z.naechste(10));
        std::uint32_t start = 0;
        for (int t = 1; t <= titel; ++t) {
            const std::uint32_t laenge = 120 + z.naechste(300);
            block += std::to_string(t) + ":" + std::to_string(t - 1) + "," + std::to_string(start) +
                     "," + std::to_string(laenge) + "," + woerter(z, 1 + static_cast<int>(z.naechste(3))) +
                     "\r\n";
            start += laenge;
        }
        block += "$\r\n";
        if (block.size() > (1 << 20)) {
            std::fwrite(block.data(), 1, block.size(), stdout);
            geschrieben += block.size();
            block.clear();
        }
    }
    block += "\r\n<TRACKS>\r\nA=nach der Liste\r\n$\r\n";
    std::fwrite(block.data(), 1, block.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

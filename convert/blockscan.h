// Where the CRs and the commas of a block are: found in one vector pass over
// the block, kept as bit masks (bit i of word w stands for byte 64 w + i),
// so that the converter goes from line end to line end, and from comma to
// comma, without looking at the bytes in between.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace cdb2xls {

// The masks of a scanned block and what is read from them. A view, cheap to
// copy: a loop that also writes bytes keeps a copy in registers, where a
// member would have to be loaded again after every byte written (a store
// through a char pointer may change any object).
class Blockmasken {
public:
    static constexpr std::size_t kKeins = static_cast<std::size_t>(-1);

    // The position of the first CR (or comma) at or after `ab`, or kKeins.
    std::size_t naechstesCr(std::size_t ab) const { return naechstes(cr_, ab); }
    std::size_t naechstesKomma(std::size_t ab) const { return naechstes(komma_, ab); }

    // The same for a CR near `ab`, the usual case of a loop over many lines,
    // without a branch the processor may guess wrong: where no CR lies in
    // the window (see below) from `ab` on, the search goes on word by word.
    // Past the block's last CR, the position 64 * woerter of the stop mark.
    std::size_t crAb(std::size_t ab) const {
        const std::uint64_t bits = fenster(cr_, ab);
        if (bits != 0) [[likely]] return ab + static_cast<std::size_t>(std::countr_zero(bits));
        const std::size_t cr = naechstesCr(ab);
        return cr != kKeins ? cr : woerter_ * 64;
    }

    // The position just past the third comma in [ab, bis), or kKeins. The
    // usual case, the three commas within the window from `ab` on, takes a
    // few bit operations: its two lowest commas cleared, the next one is
    // the third, unless it lies beyond `bis`.
    std::size_t hinterDemDrittenKomma(std::size_t ab, std::size_t bis) const {
        std::uint64_t bits = fenster(komma_, ab);
        bits &= bits - 1;
        bits &= bits - 1;
        if (bits != 0) {
            const std::size_t hinter = ab + static_cast<std::size_t>(std::countr_zero(bits)) + 1;
            return hinter <= bis ? hinter : kKeins;
        }
        if (bis <= ab + kFenster) return kKeins;
        std::size_t hinter = 0;
        return kommas(ab, bis, 3, hinter) == 3 ? hinter : kKeins;
    }

    // How many CRs lie in [ab, bis).
    std::size_t crs(std::size_t ab, std::size_t bis) const {
        std::size_t anzahl = 0;
        for (std::size_t wort = ab / 64; wort * 64 < bis && wort < woerter_; ++wort) {
            std::uint64_t bits = cr_[wort];
            if (wort == ab / 64) bits &= ~std::uint64_t{0} << (ab % 64);
            if (bis - wort * 64 < 64) bits &= (std::uint64_t{1} << (bis - wort * 64)) - 1;
            anzahl += static_cast<std::size_t>(std::popcount(bits));
        }
        return anzahl;
    }

    // Counts the commas in [ab, bis), up to `hoechstens`; `hinter` is then
    // the position just past the last one counted (unchanged when none).
    int kommas(std::size_t ab, std::size_t bis, int hoechstens, std::size_t& hinter) const {
        int gezaehlt = 0;
        if (ab >= bis) return 0;
        std::size_t wort = ab / 64;
        std::uint64_t bits = komma_[wort] & (~std::uint64_t{0} << (ab % 64));
        for (;;) {
            const std::size_t basis = wort * 64;
            if (bis - basis < 64) bits &= (std::uint64_t{1} << (bis - basis)) - 1;
            while (bits != 0) {
                hinter = basis + static_cast<std::size_t>(std::countr_zero(bits)) + 1;
                if (++gezaehlt == hoechstens) return gezaehlt;
                bits &= bits - 1;  // the lowest comma is counted
            }
            if (bis - basis <= 64) return gezaehlt;
            bits = komma_[++wort];
        }
    }

protected:
    // Each mask has one word more than the block needs: a stop mark for
    // crAb(), a CR just past the last word, and no comma.
    const std::uint64_t* cr_ = nullptr;
    const std::uint64_t* komma_ = nullptr;
    std::size_t woerter_ = 0;

private:
    static constexpr std::size_t kFenster = 64 - 7;

    // The mask's bits for the bytes [ab, ab + kFenster) at least, bit 0 for
    // `ab`, in one load: the 64 bits from the byte that holds the bit of `ab`
    // on (bit i of word w is bit i % 8 of byte 8 w + i / 8, as the words lie
    // in memory), shifted to begin at `ab`. There is always a word after the
    // bit of `ab` (the stop mark's).
    static std::uint64_t fenster(const std::uint64_t* maske, std::size_t ab) {
        static_assert(std::endian::native == std::endian::little, "the masks are read as bytes");
        std::uint64_t bits = 0;
        std::memcpy(&bits, reinterpret_cast<const unsigned char*>(maske) + ab / 8, sizeof bits);
        return bits >> (ab % 8);
    }

    std::size_t naechstes(const std::uint64_t* maske, std::size_t ab) const {
        std::size_t wort = ab / 64;
        if (wort >= woerter_) return kKeins;
        std::uint64_t bits = maske[wort] & (~std::uint64_t{0} << (ab % 64));
        while (bits == 0) {
            if (++wort == woerter_) return kKeins;
            bits = maske[wort];
        }
        return wort * 64 + static_cast<std::size_t>(std::countr_zero(bits));
    }
};

// Scans a block and holds its masks.
class Blockscan : public Blockmasken {
public:
    // How the block is scanned: with SSE2 (byte by byte where there is
    // none), or with AVX2.
    enum class Verfahren { Grundform, Avx2 };
    // The ways this processor can take, the fastest last.
    static std::vector<Verfahren> verfuegbar();

    explicit Blockscan(Verfahren verfahren = verfuegbar().back()) : verfahren_(verfahren) {}
    Blockscan(const Blockscan&) = delete;  // the masks point into its own storage
    Blockscan& operator=(const Blockscan&) = delete;

    // Scans the `anzahl` bytes at `daten`.
    void scannen(const char* daten, std::size_t anzahl);
    Blockmasken masken() const { return *this; }

private:
    [[maybe_unused]] Verfahren verfahren_;  // one way only where there is no AVX2 build
    std::vector<std::uint64_t> crSpeicher_;
    std::vector<std::uint64_t> kommaSpeicher_;
};

}  // namespace cdb2xls

// Where the CRs and the commas of a block are: found in one vector pass over
// the block, kept as bit masks (bit i of word w stands for byte 64 w + i),
// so that the converter goes from line end to line end, and from comma to
// comma, without looking at the bytes in between.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace cdb2xls {

class Blockscan {
public:
    static constexpr std::size_t kKeins = static_cast<std::size_t>(-1);

    // Scans the `anzahl` bytes at `daten`.
    void scannen(const char* daten, std::size_t anzahl);

    // The position of the first CR (or comma) at or after `ab`, or kKeins.
    std::size_t naechstesCr(std::size_t ab) const { return naechstes(cr_, ab); }
    std::size_t naechstesKomma(std::size_t ab) const { return naechstes(komma_, ab); }

    // The position just past the third comma in [ab, bis), or kKeins. The
    // usual case, a line of at most 64 bytes, takes a few bit operations: a
    // 64-bit window of the mask from `ab` on (out of one word, or two where
    // the line crosses a word's end), its two lowest commas cleared, and the
    // next one is the third.
    std::size_t hinterDemDrittenKomma(std::size_t ab, std::size_t bis) const {
        if (ab >= bis) return kKeins;
        if (bis - ab > 64) {
            std::size_t hinter = 0;
            return kommas(ab, bis, 3, hinter) == 3 ? hinter : kKeins;
        }
        const std::size_t wort = ab / 64;
        const std::size_t versatz = ab % 64;
        std::uint64_t bits = komma_[wort] >> versatz;
        if (versatz != 0 && bis > (wort + 1) * 64) bits |= komma_[wort + 1] << (64 - versatz);
        if (bis - ab < 64) bits &= (std::uint64_t{1} << (bis - ab)) - 1;
        bits &= bits - 1;
        bits &= bits - 1;
        return bits == 0 ? kKeins : ab + static_cast<std::size_t>(std::countr_zero(bits)) + 1;
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

private:
    std::size_t naechstes(const std::vector<std::uint64_t>& maske, std::size_t ab) const {
        std::size_t wort = ab / 64;
        if (wort >= woerter_) return kKeins;
        std::uint64_t bits = maske[wort] & (~std::uint64_t{0} << (ab % 64));
        while (bits == 0) {
            if (++wort == woerter_) return kKeins;
            bits = maske[wort];
        }
        return wort * 64 + static_cast<std::size_t>(std::countr_zero(bits));
    }

    std::vector<std::uint64_t> cr_;
    std::vector<std::uint64_t> komma_;
    std::size_t woerter_ = 0;
};

}  // namespace cdb2xls

// Small byte searches for the converter's inner loop.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace cdb2xls {

// Position just past the n-th occurrence of `zeichen` in `text` (n >= 1),
// or past the last one when there are fewer; 0 when there is none. Eight
// bytes are looked at a time, as lines are short and calls would cost more
// than the search.
inline std::size_t hinterDemNten(std::string_view text, char zeichen, int n) {
    constexpr std::uint64_t kEinsen = 0x0101010101010101ULL;
    constexpr std::uint64_t kSieben = 0x7F7F7F7F7F7F7F7FULL;
    const std::uint64_t muster = kEinsen * static_cast<unsigned char>(zeichen);
    std::size_t hinter = 0;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t wort;
        std::memcpy(&wort, text.data() + i, 8);
        if constexpr (std::endian::native == std::endian::big) wort = __builtin_bswap64(wort);
        const std::uint64_t x = wort ^ muster;  // a zero byte where `zeichen` stands
        std::uint64_t treffer = ~(((x & kSieben) + kSieben) | x | kSieben);
        while (treffer != 0) {
            hinter = i + static_cast<std::size_t>(std::countr_zero(treffer)) / 8 + 1;
            if (--n == 0) return hinter;
            treffer &= treffer - 1;
        }
    }
    for (; i < text.size(); ++i) {
        if (text[i] == zeichen) {
            hinter = i + 1;
            if (--n == 0) return hinter;
        }
    }
    return hinter;
}

}  // namespace cdb2xls

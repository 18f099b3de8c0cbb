#include "blockscan.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cdb2xls {
namespace {

struct Masken {
    std::uint64_t cr;
    std::uint64_t komma;
};

#if defined(__SSE2__)
// 64 bytes at once with SSE2, which every x86-64 processor has: four
// 16-byte compares per character, each giving a 16-bit mask. (AVX2, chosen
// at run time, saved some 11 of about 160 instructions per line and no time
// that could be measured; it is left out.)
Masken masken64(const char* p) {
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i komma = _mm_set1_epi8(',');
    Masken m{0, 0};
    for (int i = 0; i < 4; ++i) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        const auto maske = [&bytes](__m128i zeichen) {
            return static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, zeichen))));
        };
        m.cr |= maske(cr) << (16 * i);
        m.komma |= maske(komma) << (16 * i);
    }
    return m;
}

#else  // elsewhere: byte by byte
Masken masken64(const char* p) {
    Masken m{0, 0};
    for (int i = 0; i < 64; ++i) {
        m.cr |= static_cast<std::uint64_t>(p[i] == '\r') << i;
        m.komma |= static_cast<std::uint64_t>(p[i] == ',') << i;
    }
    return m;
}
#endif

}  // namespace

void Blockscan::scannen(const char* daten, std::size_t anzahl) {
    woerter_ = (anzahl + 63) / 64;
    if (cr_.size() < woerter_) {
        cr_.resize(woerter_);
        komma_.resize(woerter_);
    }
    const std::size_t ganze = anzahl / 64;
    for (std::size_t w = 0; w < ganze; ++w) {
        const Masken m = masken64(daten + 64 * w);
        cr_[w] = m.cr;
        komma_[w] = m.komma;
    }
    if (ganze < woerter_) {  // the last bytes, padded with bytes that are neither
        char rest[64] = {};
        std::memcpy(rest, daten + 64 * ganze, anzahl - 64 * ganze);
        const Masken m = masken64(rest);
        cr_[ganze] = m.cr;
        komma_[ganze] = m.komma;
    }
}

}  // namespace cdb2xls

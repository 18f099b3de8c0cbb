#include "blockscan.h"

#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#elif defined(__SSE2__)
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
// 16-byte compares per character, each giving a 16-bit mask.
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

// The whole 64-byte steps of a block.
void ganzeScannen(const char* daten, std::size_t woerter, std::uint64_t* cr, std::uint64_t* komma) {
    for (std::size_t w = 0; w < woerter; ++w) {
        const Masken m = masken64(daten + 64 * w);
        cr[w] = m.cr;
        komma[w] = m.komma;
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same with AVX2 where the processor has it (chosen at run time): two
// 32-byte compares per character instead of four, the scan's instructions
// about halved.
__attribute__((target("avx2"))) std::uint64_t maske64Avx2(__m256i unten, __m256i oben, __m256i zeichen) {
    const auto u = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(unten, zeichen)));
    const auto o = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(oben, zeichen)));
    return static_cast<std::uint64_t>(o) << 32 | u;
}

__attribute__((target("avx2"))) void ganzeScannenAvx2(const char* daten, std::size_t woerter, std::uint64_t* cr,
                                                      std::uint64_t* komma) {
    const __m256i crs = _mm256_set1_epi8('\r');
    const __m256i kommas = _mm256_set1_epi8(',');
    for (std::size_t w = 0; w < woerter; ++w) {
        const __m256i unten = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(daten + 64 * w));
        const __m256i oben = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(daten + 64 * w + 32));
        cr[w] = maske64Avx2(unten, oben, crs);
        komma[w] = maske64Avx2(unten, oben, kommas);
    }
}

using Scanner = void (*)(const char*, std::size_t, std::uint64_t*, std::uint64_t*);
const Scanner kGanzeScannen = __builtin_cpu_supports("avx2") ? ganzeScannenAvx2 : ganzeScannen;
#else
constexpr auto kGanzeScannen = ganzeScannen;
#endif

}  // namespace

void Blockscan::scannen(const char* daten, std::size_t anzahl) {
    woerter_ = (anzahl + 63) / 64;
    if (crSpeicher_.size() < woerter_ + 1) {
        crSpeicher_.resize(woerter_ + 1);
        kommaSpeicher_.resize(woerter_ + 1);
    }
    std::uint64_t* cr = crSpeicher_.data();
    std::uint64_t* komma = kommaSpeicher_.data();
    cr_ = cr;
    komma_ = komma;
    cr[woerter_] = 1;
    komma[woerter_] = 0;
    const std::size_t ganze = anzahl / 64;
    kGanzeScannen(daten, ganze, cr, komma);
    if (ganze < woerter_) {  // the last bytes, padded with bytes that are neither
        char rest[64] = {};
        std::memcpy(rest, daten + 64 * ganze, anzahl - 64 * ganze);
        const Masken m = masken64(rest);
        cr[ganze] = m.cr;
        komma[ganze] = m.komma;
    }
}

}  // namespace cdb2xls

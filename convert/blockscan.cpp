#include "blockscan.h"

#include <cstring>

// AVX2 beside SSE2 where GCC or Clang build for x86-64, but not for Windows:
// there GCC keeps the stack 16-byte aligned only, and a 32-byte vector it
// puts on the stack may fault (GCC bug 54412).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(_WIN32)
#define CDB2XLS_AVX2 1
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

#if CDB2XLS_AVX2
// The same with AVX2: two 32-byte compares per character instead of four,
// the scan's instructions about halved. (Written out in one function: a
// vector passed to a helper that is not inlined would go by the stack.)
__attribute__((target("avx2"))) void ganzeScannenAvx2(const char* daten, std::size_t woerter, std::uint64_t* cr,
                                                      std::uint64_t* komma) {
    const __m256i crs = _mm256_set1_epi8('\r');
    const __m256i kommas = _mm256_set1_epi8(',');
    for (std::size_t w = 0; w < woerter; ++w) {
        const __m256i unten = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(daten + 64 * w));
        const __m256i oben = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(daten + 64 * w + 32));
        const auto crUnten = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(unten, crs)));
        const auto crOben = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(oben, crs)));
        const auto kommaUnten = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(unten, kommas)));
        const auto kommaOben = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(oben, kommas)));
        cr[w] = static_cast<std::uint64_t>(crOben) << 32 | crUnten;
        komma[w] = static_cast<std::uint64_t>(kommaOben) << 32 | kommaUnten;
    }
}
#endif

}  // namespace

std::vector<Blockscan::Verfahren> Blockscan::verfuegbar() {
    std::vector<Verfahren> verfahren{Verfahren::Grundform};
#if CDB2XLS_AVX2
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) verfahren.push_back(Verfahren::Avx2);
#endif
    return verfahren;
}

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
#if CDB2XLS_AVX2
    if (verfahren_ == Verfahren::Avx2) {
        ganzeScannenAvx2(daten, ganze, cr, komma);
    } else {
        ganzeScannen(daten, ganze, cr, komma);
    }
#else
    ganzeScannen(daten, ganze, cr, komma);
#endif
    if (ganze < woerter_) {  // the last bytes, padded with bytes that are neither
        char rest[64] = {};
        std::memcpy(rest, daten + 64 * ganze, anzahl - 64 * ganze);
        const Masken m = masken64(rest);
        cr[ganze] = m.cr;
        komma[ganze] = m.komma;
    }
}

}  // namespace cdb2xls

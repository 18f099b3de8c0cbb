#include "blockscan.h"

#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
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

#if defined(__GNUC__) && defined(__x86_64__)
#define CDB2XLS_AVX2
// The same with AVX2, where the processor has it (chosen at run time): two
// 32-byte compares per character.
__attribute__((target("avx2"))) Masken masken64Avx2(const char* p) {
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i komma = _mm256_set1_epi8(',');
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
    // (a lambda would not take the function's target along)
    const auto crA = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(a, cr)));
    const auto crB = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(b, cr)));
    const auto kommaA = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(a, komma)));
    const auto kommaB = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(b, komma)));
    return {crA | static_cast<std::uint64_t>(crB) << 32, kommaA | static_cast<std::uint64_t>(kommaB) << 32};
}
#endif
#else
Masken masken64(const char* p) {
    Masken m{0, 0};
    for (int i = 0; i < 64; ++i) {
        m.cr |= static_cast<std::uint64_t>(p[i] == '\r') << i;
        m.komma |= static_cast<std::uint64_t>(p[i] == ',') << i;
    }
    return m;
}
#endif

// All whole 64-byte words of a block, with the given way of scanning one.
template <Masken (*kMasken)(const char*)>
void woerterScannen(const char* daten, std::size_t woerter, std::uint64_t* cr, std::uint64_t* komma) {
    for (std::size_t w = 0; w < woerter; ++w) {
        const Masken m = kMasken(daten + 64 * w);
        cr[w] = m.cr;
        komma[w] = m.komma;
    }
}

#if defined(CDB2XLS_AVX2)
__attribute__((target("avx2"))) void woerterScannenAvx2(const char* daten, std::size_t woerter, std::uint64_t* cr,
                                                        std::uint64_t* komma) {
    for (std::size_t w = 0; w < woerter; ++w) {
        const Masken m = masken64Avx2(daten + 64 * w);
        cr[w] = m.cr;
        komma[w] = m.komma;
    }
}
const bool kMitAvx2 = __builtin_cpu_supports("avx2");
#endif

}  // namespace

void Blockscan::scannen(const char* daten, std::size_t anzahl) {
    woerter_ = (anzahl + 63) / 64;
    if (cr_.size() < woerter_) {
        cr_.resize(woerter_);
        komma_.resize(woerter_);
    }
    const std::size_t ganze = anzahl / 64;
#if defined(CDB2XLS_AVX2)
    if (kMitAvx2) {
        woerterScannenAvx2(daten, ganze, cr_.data(), komma_.data());
    } else {
        woerterScannen<masken64>(daten, ganze, cr_.data(), komma_.data());
    }
#else
    woerterScannen<masken64>(daten, ganze, cr_.data(), komma_.data());
#endif
    if (ganze < woerter_) {  // the last bytes, padded with bytes that are neither
        char rest[64] = {};
        std::memcpy(rest, daten + 64 * ganze, anzahl - 64 * ganze);
        const Masken m = masken64(rest);
        cr_[ganze] = m.cr;
        komma_[ganze] = m.komma;
    }
}

}  // namespace cdb2xls

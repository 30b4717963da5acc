#include "platform/gdi/blit_row_kernels.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define PELMORA_BLIT_AVX2 1
#endif

namespace gdi {

namespace {

template <bool start>
void AccumulateRowsPlain(std::uint32_t* acc, const BYTE* a, std::uint32_t wa, const BYTE* b, std::uint32_t wb,
                         std::size_t from, std::size_t count) {
    for (std::size_t i = from; i < count; ++i) {
        const std::uint32_t sum = wa * a[i] + wb * b[i];
        acc[i] = start ? sum : acc[i] + sum;
    }
}

#if defined(__SSE2__)
// Two rows at once: their bytes interleaved into 16-bit pairs (a, b), so
// that one multiply-add gives wa * a + wb * b per element.
template <bool start>
std::size_t AccumulateRowsSse2(std::uint32_t* acc, const BYTE* a, std::uint32_t wa, const BYTE* b, std::uint32_t wb,
                               std::size_t count) {
    const __m128i weights = _mm_set1_epi32(static_cast<int>(wa | wb << 16));
    const __m128i zero = _mm_setzero_si128();
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        const __m128i low = _mm_unpacklo_epi8(va, vb);
        const __m128i high = _mm_unpackhi_epi8(va, vb);
        __m128i sums[4] = {
            _mm_madd_epi16(_mm_unpacklo_epi8(low, zero), weights),
            _mm_madd_epi16(_mm_unpackhi_epi8(low, zero), weights),
            _mm_madd_epi16(_mm_unpacklo_epi8(high, zero), weights),
            _mm_madd_epi16(_mm_unpackhi_epi8(high, zero), weights),
        };
        auto* out = reinterpret_cast<__m128i*>(acc + i);
        for (int k = 0; k < 4; ++k) {
            if (!start) sums[k] = _mm_add_epi32(sums[k], _mm_loadu_si128(out + k));
            _mm_storeu_si128(out + k, sums[k]);
        }
    }
    return i;
}
#endif

#if defined(PELMORA_BLIT_AVX2)
// The same, 32 bytes of each row at a time, on processors that have it.
template <bool start>
__attribute__((target("avx2"))) std::size_t AccumulateRowsAvx2(std::uint32_t* acc, const BYTE* a, std::uint32_t wa,
                                                               const BYTE* b, std::uint32_t wb, std::size_t count) {
    const __m256i weights = _mm256_set1_epi32(static_cast<int>(wa | wb << 16));
    const __m256i zero = _mm256_setzero_si256();
    std::size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
        const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
        // Unpacking works within each 16-byte half: elements 0-7 and 16-23
        // come out of `low`, 8-15 and 24-31 out of `high`.
        const __m256i low = _mm256_unpacklo_epi8(va, vb);
        const __m256i high = _mm256_unpackhi_epi8(va, vb);
        const __m256i s0 = _mm256_madd_epi16(_mm256_unpacklo_epi8(low, zero), weights);   // 0-3, 16-19
        const __m256i s1 = _mm256_madd_epi16(_mm256_unpackhi_epi8(low, zero), weights);   // 4-7, 20-23
        const __m256i s2 = _mm256_madd_epi16(_mm256_unpacklo_epi8(high, zero), weights);  // 8-11, 24-27
        const __m256i s3 = _mm256_madd_epi16(_mm256_unpackhi_epi8(high, zero), weights);  // 12-15, 28-31
        __m256i sums[4] = {
            _mm256_permute2x128_si256(s0, s1, 0x20),
            _mm256_permute2x128_si256(s2, s3, 0x20),
            _mm256_permute2x128_si256(s0, s1, 0x31),
            _mm256_permute2x128_si256(s2, s3, 0x31),
        };
        auto* out = reinterpret_cast<__m256i*>(acc + i);
        for (int k = 0; k < 4; ++k) {
            if (!start) sums[k] = _mm256_add_epi32(sums[k], _mm256_loadu_si256(out + k));
            _mm256_storeu_si256(out + k, sums[k]);
        }
    }
    return i;
}

bool HasAvx2() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
}
#endif

template <int pixelBytes>
void AverageAcrossOf(const std::uint32_t* acc, const BlitCellSpan* cells, std::size_t cellCount, std::uint32_t whole,
                     const CRoundingDivider& divide, BYTE* out, std::ptrdiff_t step) {
    for (std::size_t c = 0; c < cellCount; ++c) {
        const BlitCellSpan& cell = cells[c];
        const std::uint32_t* first = acc + std::size_t{cell.first} * pixelBytes;
        const std::uint32_t* last = acc + std::size_t{cell.last} * pixelBytes;
        std::uint64_t between[3] = {0, 0, 0};
        for (const std::uint32_t* a = first + pixelBytes; a < last; a += pixelBytes) {
            between[0] += a[0];
            between[1] += a[1];
            between[2] += a[2];
        }
        BYTE* pixel = out + static_cast<std::ptrdiff_t>(c) * step;
        for (int i = 0; i < 3; ++i) {
            const std::uint64_t sum = std::uint64_t{cell.firstWeight} * first[i] +
                                      std::uint64_t{cell.lastWeight} * last[i] + std::uint64_t{whole} * between[i];
            pixel[i] = divide(sum);
        }
        pixel[3] = 0;
    }
}

}  // namespace

CRoundingDivider::CRoundingDivider(std::uint64_t total) : half(total), twice(2 * total) {
#if defined(__SIZEOF_INT128__)
    // For n < 2^50 and twice <= 2^l, floor(n * ceil(2^(50+l) / twice) / 2^(50+l))
    // is floor(n / twice) (Granlund and Montgomery).
    shift = 50 + static_cast<int>(std::bit_width(twice - 1));
    const unsigned __int128 power = static_cast<unsigned __int128>(1) << shift;
    magic = static_cast<std::uint64_t>((power + twice - 1) / twice);
#endif
}

void AverageAcross(const std::uint32_t* acc, int pixelBytes, const BlitCellSpan* cells, std::size_t cellCount,
                   std::uint32_t whole, const CRoundingDivider& divide, BYTE* out, std::ptrdiff_t step) {
    if (pixelBytes == 3) {
        AverageAcrossOf<3>(acc, cells, cellCount, whole, divide, out, step);
    } else {
        AverageAcrossOf<4>(acc, cells, cellCount, whole, divide, out, step);
    }
}

void AccumulateRows(std::uint32_t* acc, const BYTE* a, std::uint32_t wa, const BYTE* b, std::uint32_t wb,
                    std::size_t count, bool start) {
    std::size_t done = 0;
#if defined(__SSE2__)
    if (wa <= fastRowWeight && wb <= fastRowWeight) {
#if defined(PELMORA_BLIT_AVX2)
        if (HasAvx2()) {
            done = start ? AccumulateRowsAvx2<true>(acc, a, wa, b, wb, count)
                         : AccumulateRowsAvx2<false>(acc, a, wa, b, wb, count);
        }
#endif
        done += start ? AccumulateRowsSse2<true>(acc + done, a + done, wa, b + done, wb, count - done)
                      : AccumulateRowsSse2<false>(acc + done, a + done, wa, b + done, wb, count - done);
    }
#endif
    if (start) {
        AccumulateRowsPlain<true>(acc, a, wa, b, wb, done, count);
    } else {
        AccumulateRowsPlain<false>(acc, a, wa, b, wb, done, count);
    }
}

}  // namespace gdi

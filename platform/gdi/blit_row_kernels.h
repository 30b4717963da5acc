#pragma once
// The inner loops of area averaging, where nearly all of its time goes.

#include <cstddef>
#include <cstdint>

#include "platform/types.h"

namespace gdi {

// Weights up to this take the fast path of AccumulateRows.
inline constexpr std::uint32_t fastRowWeight = 0x7FFF;

// acc[i] = wa * a[i] + wb * b[i] when `start`, else acc[i] += the same, for
// i < count. Each sum must fit in 32 bits.
void AccumulateRows(std::uint32_t* acc, const BYTE* a, std::uint32_t wa, const BYTE* b, std::uint32_t wb,
                    std::size_t count, bool start);

// h / total rounded to nearest, for h up to 255 * total and total up to
// 2^41, exactly, with a multiplication in place of a division.
class CRoundingDivider {
public:
    explicit CRoundingDivider(std::uint64_t total);
    BYTE operator()(std::uint64_t h) const {
        const std::uint64_t n = 2 * h + half;
#if defined(__SIZEOF_INT128__)
        return static_cast<BYTE>((static_cast<unsigned __int128>(n) * magic) >> shift);
#else
        return static_cast<BYTE>(n / twice);
#endif
    }

private:
    std::uint64_t half;
    std::uint64_t twice;
    std::uint64_t magic = 0;
    int shift = 0;
};

// One destination cell along an accumulated row: the source pixels under it
// are first .. last (counted in pixels of that row); the first and the last
// weigh what the cell covers of them, those between weigh a whole pixel.
struct BlitCellSpan {
    std::uint32_t first;
    std::uint32_t last;
    std::uint32_t firstWeight;
    std::uint32_t lastWeight;  // 0 when first == last
};

// Writes each cell's average as blue, green, red, 0 to out, stepping
// `step` bytes from cell to cell. acc holds pixelBytes (3 or 4) channel sums
// per pixel; `whole` is the weight of a whole pixel.
void AverageAcross(const std::uint32_t* acc, int pixelBytes, const BlitCellSpan* cells, std::size_t cellCount,
                   std::uint32_t whole, const CRoundingDivider& divide, BYTE* out, std::ptrdiff_t step);

}  // namespace gdi

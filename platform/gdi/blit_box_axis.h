#pragma once
// One axis of a box filter: sourceCount source pixels shared out among
// cellCount destination cells laid over them, each cell covering
// sourceCount / cellCount source pixels. Lengths are whole numbers in units of
// 1 / (cellCount / g) source pixel, g being the greatest common divisor of the
// two counts, so every overlap is an exact integer and the overlaps of one
// cell add up to Total().

#include <cstdint>
#include <numeric>

namespace gdi {

class CBoxAxis {
public:
    // Both counts positive and at most 2^24, so that every product below fits
    // in 64 bits with room to spare.
    CBoxAxis(std::int64_t sourceCount, std::int64_t cellCount)
        : pixelLength(cellCount / std::gcd(sourceCount, cellCount)),
          cellLength(sourceCount / std::gcd(sourceCount, cellCount)) {}

    // The source pixels that cell k overlaps: [FirstSource(k), EndSource(k)).
    std::int64_t FirstSource(std::int64_t k) const { return k * cellLength / pixelLength; }
    std::int64_t EndSource(std::int64_t k) const { return ((k + 1) * cellLength - 1) / pixelLength + 1; }

    // How much of source pixel p lies under cell k.
    std::uint32_t Weight(std::int64_t k, std::int64_t p) const {
        const std::int64_t from = p * pixelLength > k * cellLength ? p * pixelLength : k * cellLength;
        const std::int64_t to =
            (p + 1) * pixelLength < (k + 1) * cellLength ? (p + 1) * pixelLength : (k + 1) * cellLength;
        return static_cast<std::uint32_t>(to - from);
    }

    // The weight of a source pixel wholly under a cell.
    std::int64_t PixelLength() const { return pixelLength; }

    // The sum of one cell's weights: the length of a cell.
    std::uint64_t Total() const { return static_cast<std::uint64_t>(cellLength); }

private:
    std::int64_t pixelLength;  // one source pixel
    std::int64_t cellLength;   // one destination cell
};

// The source pixel under the centre of cell k, for nearest-pixel sampling.
inline std::int64_t NearestSource(std::int64_t k, std::int64_t sourceCount, std::int64_t cellCount) {
    return (2 * k + 1) * sourceCount / (2 * cellCount);
}

}  // namespace gdi

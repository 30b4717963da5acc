#include "platform/gdi/blit_axis_aligned.h"

#include <cstring>
#include <vector>

#include "platform/gdi/blit_box_axis.h"

namespace gdi {

namespace {

// floor((2 h + t) / 2 t), h / t rounded to nearest, without a hardware
// division per channel: a floating-point estimate, then made exact.
class CRoundingDivider {
public:
    explicit CRoundingDivider(std::uint64_t total)
        : half(total), twice(2 * total), inverse(1.0 / static_cast<double>(2 * total)) {}

    BYTE operator()(std::uint64_t h) const {
        const std::uint64_t n = 2 * h + half;
        std::uint64_t q = static_cast<std::uint64_t>(static_cast<double>(n) * inverse);
        if (q * twice > n) {
            --q;
        } else if (n - q * twice >= twice) {
            ++q;
        }
        return static_cast<BYTE>(q);
    }

private:
    std::uint64_t half;
    std::uint64_t twice;
    double inverse;
};

// Source rows as Row hands them out, keeping the last two decoded ones: a
// row under the border of two cells is needed twice in a row.
class CRowCache {
public:
    CRowCache(const CBlitSourcePixels& pixels, LONG x, LONG count)
        : pixels(pixels), x(x), count(count) {
        if (!pixels.ReadsInPlace()) {
            for (auto& slot : slots) slot.bytes.resize(static_cast<std::size_t>(count) * 4);
        }
    }

    const BYTE* Row(LONG y) {
        if (pixels.ReadsInPlace()) return pixels.Row(y, x, count, nullptr);
        for (auto& slot : slots) {
            if (slot.y == y) return slot.bytes.data();
        }
        Slot& slot = slots[next];
        next ^= 1;
        slot.y = y;
        return pixels.Row(y, x, count, slot.bytes.data());
    }

private:
    struct Slot {
        LONG y = -1;
        std::vector<BYTE> bytes;
    };
    const CBlitSourcePixels& pixels;
    LONG x;
    LONG count;
    Slot slots[2];
    int next = 0;
};

void StorePixel(BYTE* to, BYTE blue, BYTE green, BYTE red) {
    to[0] = blue;
    to[1] = green;
    to[2] = red;
    to[3] = 0;
}

}  // namespace

void DrawAxisAlignedAverage(const BlitAxisAlignedJob& job) {
    const BlitAxisCells& across = job.across;
    const BlitAxisCells& down = job.down;
    const CBoxAxis acrossAxis(across.sourceCount, across.cellCount);
    const CBoxAxis downAxis(down.sourceCount, down.cellCount);
    const int pixelBytes = job.pixels->PixelBytes();

    // The stretch of each source row that the visible cells reach.
    const std::int64_t spanFirst = acrossAxis.FirstSource(across.firstCell);
    const std::int64_t spanEnd = acrossAxis.EndSource(across.endCell - 1);
    const auto spanCount = static_cast<LONG>(spanEnd - spanFirst);

    // Per visible cell across: where its source pixels start in the span and
    // their weights.
    const std::size_t cells = static_cast<std::size_t>(across.endCell - across.firstCell);
    std::vector<std::uint32_t> weightBegin(cells + 1);
    std::vector<std::uint32_t> spanOffset(cells);
    std::vector<std::uint32_t> weights;
    weights.reserve(static_cast<std::size_t>(spanCount) + cells);
    for (std::int64_t k = across.firstCell; k < across.endCell; ++k) {
        const std::size_t c = static_cast<std::size_t>(k - across.firstCell);
        weightBegin[c] = static_cast<std::uint32_t>(weights.size());
        spanOffset[c] = static_cast<std::uint32_t>(acrossAxis.FirstSource(k) - spanFirst);
        for (std::int64_t p = acrossAxis.FirstSource(k); p < acrossAxis.EndSource(k); ++p) {
            weights.push_back(acrossAxis.Weight(k, p));
        }
    }
    weightBegin[cells] = static_cast<std::uint32_t>(weights.size());

    const std::size_t accCount = static_cast<std::size_t>(spanCount) * pixelBytes;
    std::vector<std::uint32_t> acc(accCount);
    CRowCache rows(*job.pixels, static_cast<LONG>(across.sourceStart + spanFirst), spanCount);
    const CRoundingDivider divide(acrossAxis.Total() * downAxis.Total());

    for (std::int64_t j = down.firstCell; j < down.endCell; ++j) {
        BYTE* const rowPixel = job.firstPixel + (j - down.firstCell) * job.downStep;
        // Down the source's columns: the cell's source rows, weighted.
        const std::int64_t firstRow = downAxis.FirstSource(j);
        const std::int64_t endRow = downAxis.EndSource(j);
        for (std::int64_t r = firstRow; r < endRow; ++r) {
            const std::uint32_t w = downAxis.Weight(j, r);
            const BYTE* row = rows.Row(static_cast<LONG>(down.sourceStart + r));
            if (r == firstRow) {
                for (std::size_t i = 0; i < accCount; ++i) acc[i] = w * row[i];
            } else {
                for (std::size_t i = 0; i < accCount; ++i) acc[i] += w * row[i];
            }
        }
        // Along the rows: each cell's columns, weighted, then normalised.
        for (std::size_t c = 0; c < cells; ++c) {
            BYTE* const pixel = rowPixel + static_cast<std::ptrdiff_t>(c) * job.acrossStep;
            const std::uint32_t* a = acc.data() + std::size_t{spanOffset[c]} * pixelBytes;
            std::uint64_t blue = 0, green = 0, red = 0;
            for (std::uint32_t k = weightBegin[c]; k < weightBegin[c + 1]; ++k, a += pixelBytes) {
                const std::uint64_t w = weights[k];
                blue += w * a[0];
                green += w * a[1];
                red += w * a[2];
            }
            StorePixel(pixel, divide(blue), divide(green), divide(red));
        }
    }
}

void DrawAxisAlignedNearest(const BlitAxisAlignedJob& job) {
    const BlitAxisCells& across = job.across;
    const BlitAxisCells& down = job.down;
    const int pixelBytes = job.pixels->PixelBytes();

    const std::int64_t spanFirst = NearestSource(across.firstCell, across.sourceCount, across.cellCount);
    const std::int64_t spanEnd = NearestSource(across.endCell - 1, across.sourceCount, across.cellCount) + 1;
    const auto spanCount = static_cast<LONG>(spanEnd - spanFirst);

    const std::size_t cells = static_cast<std::size_t>(across.endCell - across.firstCell);
    std::vector<std::uint32_t> column(cells);
    for (std::size_t c = 0; c < cells; ++c) {
        const auto k = across.firstCell + static_cast<std::int64_t>(c);
        column[c] = static_cast<std::uint32_t>(
            (NearestSource(k, across.sourceCount, across.cellCount) - spanFirst) * pixelBytes);
    }
    CRowCache rows(*job.pixels, static_cast<LONG>(across.sourceStart + spanFirst), spanCount);

    for (std::int64_t j = down.firstCell; j < down.endCell; ++j) {
        BYTE* const rowPixel = job.firstPixel + (j - down.firstCell) * job.downStep;
        const BYTE* row = rows.Row(
            static_cast<LONG>(down.sourceStart + NearestSource(j, down.sourceCount, down.cellCount)));
        for (std::size_t c = 0; c < cells; ++c) {
            BYTE* const pixel = rowPixel + static_cast<std::ptrdiff_t>(c) * job.acrossStep;
            const BYTE* from = row + column[c];
            StorePixel(pixel, from[0], from[1], from[2]);
        }
    }
}

}  // namespace gdi

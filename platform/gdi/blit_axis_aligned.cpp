#include "platform/gdi/blit_axis_aligned.h"

#include <cstring>
#include <vector>

#include "platform/gdi/blit_box_axis.h"
#include "platform/gdi/blit_row_kernels.h"

namespace gdi {

namespace {

// Source rows as Row hands them out, keeping the last two decoded ones: a
// row under the border of two cells is needed twice in a row.
class CRowCache {
public:
    CRowCache(const CBlitSourcePixels& pixels, LONG x, LONG count) : pixels(pixels), x(x), count(count) {
        if (!pixels.ReadsInPlace()) {
            for (auto& slot : slots) slot.bytes.resize(static_cast<std::size_t>(count) * 3 + 1);
        }
    }

    // The row returned last stays valid through the next call.
    const BYTE* Row(LONG y) {
        if (pixels.ReadsInPlace()) return pixels.Row(y, x, count, nullptr);
        for (int i = 0; i < 2; ++i) {
            if (slots[i].y == y) {
                older = 1 - i;
                return slots[i].bytes.data();
            }
        }
        Slot& slot = slots[older];
        older = 1 - older;
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
    int older = 0;  // the slot used less recently
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

    // Per visible cell across: its source pixels in the span, and how much
    // of the first and last it covers.
    const std::size_t cells = static_cast<std::size_t>(across.endCell - across.firstCell);
    std::vector<BlitCellSpan> spans(cells);
    for (std::size_t c = 0; c < cells; ++c) {
        const std::int64_t k = across.firstCell + static_cast<std::int64_t>(c);
        const std::int64_t first = acrossAxis.FirstSource(k);
        const std::int64_t last = acrossAxis.EndSource(k) - 1;
        spans[c].first = static_cast<std::uint32_t>(first - spanFirst);
        spans[c].last = static_cast<std::uint32_t>(last - spanFirst);
        spans[c].firstWeight = acrossAxis.Weight(k, first);
        spans[c].lastWeight = last > first ? acrossAxis.Weight(k, last) : 0;
    }

    const std::size_t accCount = static_cast<std::size_t>(spanCount) * pixelBytes;
    std::vector<std::uint32_t> acc(accCount);
    CRowCache rows(*job.pixels, static_cast<LONG>(across.sourceStart + spanFirst), spanCount);
    const CRoundingDivider divide(acrossAxis.Total() * downAxis.Total());
    const auto whole = static_cast<std::uint32_t>(acrossAxis.PixelLength());

    for (std::int64_t j = down.firstCell; j < down.endCell; ++j) {
        BYTE* const rowPixel = job.firstPixel + (j - down.firstCell) * job.downStep;
        // Down the source's columns: the cell's source rows, weighted.
        const std::int64_t firstRow = downAxis.FirstSource(j);
        const std::int64_t endRow = downAxis.EndSource(j);
        for (std::int64_t r = firstRow; r < endRow; r += 2) {
            const BYTE* a = rows.Row(static_cast<LONG>(down.sourceStart + r));
            const std::uint32_t wa = downAxis.Weight(j, r);
            const BYTE* b = a;
            std::uint32_t wb = 0;
            if (r + 1 < endRow) {
                b = rows.Row(static_cast<LONG>(down.sourceStart + r + 1));
                wb = downAxis.Weight(j, r + 1);
            }
            AccumulateRows(acc.data(), a, wa, b, wb, accCount, r == firstRow);
        }
        // Along the rows: each cell's columns, weighted, then normalised.
        AverageAcross(acc.data(), pixelBytes, spans.data(), cells, whole, divide, rowPixel, job.acrossStep);
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
        column[c] = static_cast<std::uint32_t>((NearestSource(k, across.sourceCount, across.cellCount) - spanFirst) *
                                               pixelBytes);
    }
    CRowCache rows(*job.pixels, static_cast<LONG>(across.sourceStart + spanFirst), spanCount);

    for (std::int64_t j = down.firstCell; j < down.endCell; ++j) {
        BYTE* const rowPixel = job.firstPixel + (j - down.firstCell) * job.downStep;
        const BYTE* row =
            rows.Row(static_cast<LONG>(down.sourceStart + NearestSource(j, down.sourceCount, down.cellCount)));
        for (std::size_t c = 0; c < cells; ++c) {
            BYTE* const pixel = rowPixel + static_cast<std::ptrdiff_t>(c) * job.acrossStep;
            const BYTE* from = row + column[c];
            StorePixel(pixel, from[0], from[1], from[2]);
        }
    }
}

}  // namespace gdi

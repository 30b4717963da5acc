#include "platform/gdi/parallelogram_blit.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "platform/gdi/blit_axis_aligned.h"
#include "platform/gdi/blit_slanted.h"
#include "platform/gdi/blit_source_pixels.h"

namespace gdi {

namespace {

// A side of the parallelogram longer than this, along either axis, is
// refused: no screen or saved photo comes near it, and the arithmetic keeps
// its headroom.
constexpr std::int64_t maxExtent = std::int64_t{1} << 20;

std::int64_t Magnitude(std::int64_t v) { return v < 0 ? -v : v; }

bool TargetIsUsable(const BlitTarget& target) {
    return target.topRow != nullptr && target.width >= 0 && target.height >= 0 &&
           Magnitude(target.pitch) >= std::int64_t{4} * target.width;
}

// Where one side of the source rectangle lands on one destination axis: from
// `corner`, `extent` pixels (leftward or upward when negative), of which
// only [clipFrom, clipTo) may be written.
struct Placement {
    std::int64_t corner;
    std::int64_t extent;
    std::int64_t clipFrom;
    std::int64_t clipTo;

    // Cell k covers pixel corner + k, or corner - 1 - k running backwards.
    std::int64_t PixelOfCell(std::int64_t k) const { return extent > 0 ? corner + k : corner - 1 - k; }

    BlitAxisCells Cells(std::int64_t sourceStart, std::int64_t sourceCount) const {
        BlitAxisCells cells;
        cells.sourceStart = sourceStart;
        cells.sourceCount = sourceCount;
        cells.cellCount = Magnitude(extent);
        const std::int64_t from = extent > 0 ? clipFrom - corner : corner - clipTo;
        const std::int64_t to = extent > 0 ? clipTo - corner : corner - clipFrom;
        cells.firstCell = std::max<std::int64_t>(from, 0);
        cells.endCell = std::min(to, cells.cellCount);
        return cells;
    }
};

// A parallelogram with axis-parallel sides: the source's rows run along
// `across` and its columns along `down`; `turned` when the rows run down the
// destination (a quarter turn either way, or a mirroring of one).
void DrawAxisAligned(const CBlitSourcePixels& pixels, LONG srcX, LONG srcY, LONG srcWidth, LONG srcHeight,
                     const Placement& across, const Placement& down, bool turned, const BlitTarget& target,
                     BlitFilter filter) {
    BlitAxisAlignedJob job;
    job.pixels = &pixels;
    job.across = across.Cells(srcX, srcWidth);
    job.down = down.Cells(srcY, srcHeight);
    if (job.across.firstCell >= job.across.endCell || job.down.firstCell >= job.down.endCell) return;

    const std::int64_t acrossPixel = across.PixelOfCell(job.across.firstCell);
    const std::int64_t downPixel = down.PixelOfCell(job.down.firstCell);
    const std::int64_t x = turned ? downPixel : acrossPixel;
    const std::int64_t y = turned ? acrossPixel : downPixel;
    const std::ptrdiff_t pitch = target.pitch;
    job.firstPixel = target.topRow + y * pitch + 4 * x;
    const std::ptrdiff_t acrossUnit = turned ? pitch : 4;
    const std::ptrdiff_t downUnit = turned ? 4 : pitch;
    job.acrossStep = across.extent > 0 ? acrossUnit : -acrossUnit;
    job.downStep = down.extent > 0 ? downUnit : -downUnit;
    if (filter == BlitFilter::AreaAverage) {
        DrawAxisAlignedAverage(job);
    } else {
        DrawAxisAlignedNearest(job);
    }
}

bool Blit(const BlitSource& source, LONG srcX, LONG srcY, LONG srcWidth, LONG srcHeight, const POINT points[3],
          const BlitTarget& target, BlitFilter filter) {
    CBlitSourcePixels pixels;
    if (points == nullptr || !pixels.Open(source) || !TargetIsUsable(target)) return false;
    if (filter != BlitFilter::Nearest && filter != BlitFilter::AreaAverage) return false;
    if (srcX < 0 || srcY < 0 || srcWidth <= 0 || srcHeight <= 0 || std::int64_t{srcX} + srcWidth > source.width ||
        std::int64_t{srcY} + srcHeight > source.height) {
        return false;
    }

    // Everything below is in target pixels.
    const std::int64_t cornerX = std::int64_t{points[0].x} - target.origin.x;
    const std::int64_t cornerY = std::int64_t{points[0].y} - target.origin.y;
    const std::int64_t acrossX = std::int64_t{points[1].x} - points[0].x;
    const std::int64_t acrossY = std::int64_t{points[1].y} - points[0].y;
    const std::int64_t downX = std::int64_t{points[2].x} - points[0].x;
    const std::int64_t downY = std::int64_t{points[2].y} - points[0].y;
    for (std::int64_t v : {acrossX, acrossY, downX, downY}) {
        if (Magnitude(v) > maxExtent) return false;
    }
    if (acrossX * downY - acrossY * downX == 0) return true;  // no area: nothing to draw

    // The writable box: the target, its clip, and the parallelogram's bounds.
    const std::int64_t xs[4] = {cornerX, cornerX + acrossX, cornerX + downX, cornerX + acrossX + downX};
    const std::int64_t ys[4] = {cornerY, cornerY + acrossY, cornerY + downY, cornerY + acrossY + downY};
    const std::int64_t left =
        std::max({std::int64_t{0}, std::int64_t{target.clip.left} - target.origin.x, *std::min_element(xs, xs + 4)});
    const std::int64_t right = std::min(
        {std::int64_t{target.width}, std::int64_t{target.clip.right} - target.origin.x, *std::max_element(xs, xs + 4)});
    const std::int64_t top =
        std::max({std::int64_t{0}, std::int64_t{target.clip.top} - target.origin.y, *std::min_element(ys, ys + 4)});
    const std::int64_t bottom =
        std::min({std::int64_t{target.height}, std::int64_t{target.clip.bottom} - target.origin.y,
                  *std::max_element(ys, ys + 4)});
    if (left >= right || top >= bottom) return true;

    if (acrossY == 0 && downX == 0) {
        const Placement x{cornerX, acrossX, left, right};
        const Placement y{cornerY, downY, top, bottom};
        DrawAxisAligned(pixels, srcX, srcY, srcWidth, srcHeight, x, y, false, target, filter);
    } else if (acrossX == 0 && downY == 0) {
        const Placement y{cornerY, acrossY, top, bottom};
        const Placement x{cornerX, downX, left, right};
        DrawAxisAligned(pixels, srcX, srcY, srcWidth, srcHeight, y, x, true, target, filter);
    } else {
        BlitSlantedJob job;
        job.pixels = &pixels;
        job.srcX = srcX;
        job.srcY = srcY;
        job.srcWidth = srcWidth;
        job.srcHeight = srcHeight;
        job.cornerX = cornerX;
        job.cornerY = cornerY;
        job.acrossX = acrossX;
        job.acrossY = acrossY;
        job.downX = downX;
        job.downY = downY;
        job.left = left;
        job.top = top;
        job.right = right;
        job.bottom = bottom;
        job.topRow = target.topRow;
        job.pitch = target.pitch;
        DrawSlanted(job, filter);
    }
    return true;
}

}  // namespace

bool BlitParallelogram(const BlitSource& source, LONG srcX, LONG srcY, LONG srcWidth, LONG srcHeight,
                       const POINT points[3], const BlitTarget& target, BlitFilter filter) {
    try {
        return Blit(source, srcX, srcY, srcWidth, srcHeight, points, target, filter);
    } catch (const std::bad_alloc&) {
        // Scratch memory is all taken before the first pixel is written.
        return false;
    }
}

}  // namespace gdi

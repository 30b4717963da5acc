#pragma once
// Drawing onto a parallelogram whose sides are axis-parallel: quarter turns,
// mirrorings and plain stretches. The source's own rows and columns become
// destination rows or columns, so the work is laid out in the source's
// orientation: a grid of cells, one per destination pixel, where cell (i, j)
// is the i-th destination pixel along the source's rows and the j-th along
// its columns, counted from the source rectangle's upper-left corner.

#include <cstddef>
#include <cstdint>

#include "platform/gdi/blit_source_pixels.h"

namespace gdi {

// One source axis and the destination pixels laid along it.
struct BlitAxisCells {
    std::int64_t sourceStart = 0;  // first source pixel of the rectangle on this axis
    std::int64_t sourceCount = 0;  // source pixels on this axis
    std::int64_t cellCount = 0;    // destination pixels the axis is stretched over
    std::int64_t firstCell = 0;    // the cells that lie inside the clip box
    std::int64_t endCell = 0;
};

struct BlitAxisAlignedJob {
    const CBlitSourcePixels* pixels = nullptr;
    BlitAxisCells across;  // along the source's rows
    BlitAxisCells down;    // along the source's columns
    // The destination pixel of cell (across.firstCell, down.firstCell), and
    // the byte distances to the pixels of the next cell across and down.
    BYTE* firstPixel = nullptr;
    std::ptrdiff_t acrossStep = 0;
    std::ptrdiff_t downStep = 0;
};

// Each cell becomes the exact area-weighted average of the source pixels
// under it, rounded to nearest. Throws std::bad_alloc before writing
// anything when its scratch memory cannot be had.
void DrawAxisAlignedAverage(const BlitAxisAlignedJob& job);

// Each cell becomes the source pixel under its centre.
void DrawAxisAlignedNearest(const BlitAxisAlignedJob& job);

}  // namespace gdi

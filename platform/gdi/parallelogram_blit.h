#pragma once
// The pixel engine behind PlgBlt: maps a source rectangle onto a destination
// parallelogram, resampling by exact area averaging or by nearest pixel. It
// works on plain memory and knows nothing of handles or drawing surfaces.

#include "platform/types.h"

namespace gdi {

// Source pixels laid out as a DIB section lays them out.
struct BlitSource {
    const BYTE* topRow = nullptr;  // first byte of the image's top row
    LONG width = 0;                // the whole image, in pixels
    LONG height = 0;
    LONG pitch = 0;        // bytes from one row to the row below it; negative bottom-up
    int bitsPerPixel = 0;  // 1, 4, 8 (indexed), 16, 24 or 32
    // 16 and 32 bits: channel masks, each a run of contiguous bits. A 16-bit
    // BI_RGB image is passed as 0x7C00, 0x03E0, 0x001F; a 32-bit BI_RGB one
    // as 0xFF0000, 0xFF00, 0xFF.
    DWORD redMask = 0;
    DWORD greenMask = 0;
    DWORD blueMask = 0;
    // Indexed depths: blue, green, red, reserved quads; an index at or past
    // colorCount reads as black.
    const BYTE* colorTable = nullptr;
    int colorCount = 0;
};

// A 32-bit destination: blue, green, red and a fourth byte per pixel.
struct BlitTarget {
    BYTE* topRow = nullptr;
    LONG width = 0;
    LONG height = 0;
    LONG pitch = 0;
    POINT origin{0, 0};     // logical coordinates of the target's pixel (0, 0)
    RECT clip{0, 0, 0, 0};  // logical coordinates; only pixels inside it are written
};

enum class BlitFilter {
    Nearest,      // the source pixel under the centre of the pixel's pre-image
    AreaAverage,  // the exact area-weighted average over the pixel's pre-image
};

// Draws the source rectangle (srcX, srcY, srcWidth, srcHeight) onto the
// parallelogram whose corners points[0], points[1] and points[2] (logical
// coordinates) are the images of the rectangle's upper-left, upper-right and
// lower-left corners. Destination pixel (x, y) stands for the unit square
// [x, x+1) x [y, y+1); each channel is rounded to nearest and the fourth
// byte written is 0. With axis-parallel sides the pixels inside the
// parallelogram are drawn; with slanted sides those whose centre lies inside
// it, averaging a grid of samples over the pre-image. Only pixels
// inside both the target and its clip are written, and the work done is
// proportional to that area.
//
// Returns false, writing nothing, when a description is unusable (no
// memory or points, an unknown depth or filter, rows shorter than the width
// needs, a colour table missing, a mask that is not one run of bits inside
// the pixel, an image side past 2^20), when the source rectangle is empty or
// not inside the image, when a side of the parallelogram spans more than
// 2^20 pixels along an axis, or when scratch memory runs out. A
// parallelogram without area, or one that misses the clip, draws nothing and
// returns true. A channel whose mask is 0 reads as 0; an n-bit channel is
// scaled to 0..255 as round(v * 255 / (2^n - 1)), reading channels wider
// than 12 bits from their top 12.
bool BlitParallelogram(const BlitSource& source, LONG srcX, LONG srcY, LONG srcWidth, LONG srcHeight,
                       const POINT points[3], const BlitTarget& target, BlitFilter filter);

}  // namespace gdi

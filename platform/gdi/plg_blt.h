#pragma once
// Drawing a rectangle of one surface onto a parallelogram of another.

#include "platform/gdi/records.h"

namespace gdi {

// Maps the source rectangle (srcX, srcY, width, height) of the bitmap
// selected into source (or of a surface over memory) onto the parallelogram
// whose first three corners, points[0..2], are the images of the
// rectangle's upper-left, upper-right and lower-left corners. Sources of 1,
// 4, 8 (through their colour table), 16, 24 and 32 bits are read; a plain
// monochrome bitmap draws its 0 bits in the destination's text colour and
// its 1 bits in its background colour. The destination must have 32-bit
// pixels; only its pixels inside its bounds and clip are written.
// HALFTONE averages the covered source area exactly; every other stretch
// mode takes the source pixel nearest each destination pixel's centre.
// Returns FALSE for an invalid surface, a destination without 32-bit
// pixels, a source rectangle outside the image, a surface drawn onto
// itself, or any mask (masks are not supported).
BOOL PlgBlt(HDC destination, const POINT* points, HDC source, int srcX, int srcY, int width, int height, HBITMAP mask,
            int maskX, int maskY);

}  // namespace gdi

#pragma once
// Filling a rectangle with the selected brush and a raster operation.

#include "platform/gdi/records.h"

namespace gdi {

// Applies rop to the rectangle (x, y, width, height) (negative extents
// count from the other side), within the surface's bounds and clip:
// PATCOPY, PATINVERT, DSTINVERT, BLACKNESS, WHITENESS on 32-bit surfaces
// (a 32-bit bitmap selected into a memory surface, or a surface over
// memory); PATINVERT and DSTINVERT on the screen surface, whose inversions
// go to its back-end in one call. Pattern brushes are aligned to logical
// (0, 0). FALSE for an invalid surface, another raster operation, a
// surface without 32-bit pixels, or, on the screen, a pattern colour other
// than black or white. A null brush draws nothing and succeeds.
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);

}  // namespace gdi

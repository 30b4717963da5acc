#pragma once
// Regions: sets of pixels made of rectangles, combined with set operations.
// Coordinates beyond +/- 2^27 are clamped to that range.

#include "platform/gdi/records.h"

namespace gdi {

// The rectangle [left, right) x [top, bottom), normalised when the corners
// are given the wrong way round; empty when it has no area.
[[nodiscard]] HRGN CreateRectRgn(int left, int top, int right, int bottom);
[[nodiscard]] HRGN CreateRectRgnIndirect(const RECT* rect);

// destination = source1 op source2 for RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF;
// RGN_COPY copies source1 and ignores source2. The destination may be one
// of the sources. Returns the destination's new type, or ERROR (the
// destination unchanged) for an invalid handle or mode.
int CombineRgn(HRGN destination, HRGN source1, HRGN source2, int mode);

// The bounding box (all zero when empty) and the region's type, or ERROR.
int GetRgnBox(HRGN region, RECT* box);

}  // namespace gdi

#pragma once
// Brushes: a solid colour, or a monochrome pattern tiled from the surface's
// logical (0, 0). A pattern's 0 bits take the surface's text colour and its
// 1 bits its background colour, as they are when the brush is used.

#include "platform/gdi/records.h"

namespace gdi {

[[nodiscard]] HBRUSH CreateSolidBrush(COLORREF color);

// A brush from a plain monochrome bitmap (CreateBitmap, 1 bit per pixel),
// whose pixels are copied: the bitmap may be deleted afterwards. Null for
// an invalid handle or any other kind of bitmap.
[[nodiscard]] HBRUSH CreatePatternBrush(HBITMAP bitmap);

}  // namespace gdi

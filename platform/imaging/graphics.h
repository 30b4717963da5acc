#pragma once
// Drawing one bitmap into another through a graphics context.

#include "platform/imaging/records.h"
#include "platform/imaging/status.h"

namespace gdiplus {

// A graphics context drawing into image, which must be a bitmap of a
// format that is not indexed.
[[nodiscard]] Status GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics);

// Draws image with its upper-left corner at (x, y), one pixel to one pixel,
// source over target, converting between the two bitmaps' formats; parts
// outside the target are left out.
Status GdipDrawImageI(GpGraphics* graphics, GpImage* image, INT x, INT y);

Status GdipDeleteGraphics(GpGraphics* graphics);

}  // namespace gdiplus

#pragma once
// Making an imaging-library bitmap from a drawing-service bitmap.

#include "platform/gdi/records.h"
#include "platform/imaging/records.h"
#include "platform/imaging/status.h"

namespace gdiplus {

using HPALETTE = void*;

// A copy of a DIB section of any depth: 1, 4 and 8 bits give indexed
// bitmaps with the DIB's colour table; 16 bits 5-5-5 or 5-6-5 (from its
// masks); 24 bits RGB; 32 bits (and unusual masks) PixelFormat32bppRGB.
// palette must be null. InvalidParameter for a plain bitmap or a stale
// handle; ObjectBusy for an indexed DIB section selected into a surface,
// whose colour table only that surface can read.
[[nodiscard]] Status GdipCreateBitmapFromHBITMAP(gdi::HBITMAP bitmap, HPALETTE palette, GpBitmap** result);

}  // namespace gdiplus

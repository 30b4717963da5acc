#pragma once
// Library-internal: turning a decoded picture upright by its EXIF or TIFF
// orientation (1 = as stored, 2..8 = mirrored and/or turned).

#include <cstddef>

#include "platform/imaging/raster.h"

namespace gdiplus {

// The Orientation tag of an APP1 "Exif" block (the bytes after the marker
// length), or 1 when the block has none or is malformed.
int ExifOrientation(const BYTE* app1, size_t size);

// Replaces *raster with its upright form, its Orientation item (if it has
// one) then 1. Orientations outside 2..8 and formats of fewer than 8 bits
// per pixel leave it as it is. OutOfMemory when the turned copy cannot be
// allocated.
Status ApplyOrientation(Raster* raster, int orientation);

// For pictures the codec library turns upright itself (HEIF, JPEG XL): the
// Orientation item, if there is one, then says 1.
void ReportUpright(ImageProperties* properties);

}  // namespace gdiplus

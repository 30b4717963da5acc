#pragma once
// Bitmaps: DIB sections, whose pixel memory the caller addresses directly,
// and plain bitmaps, whose pixels only drawing operations reach.

#include "platform/gdi/records.h"

namespace gdi {

// A DIB section of 1, 4, 8, 16, 24 or 32 bits per pixel, BI_RGB or (16 and
// 32 bits) BI_BITFIELDS with three contiguous, non-overlapping masks after
// the 40-byte header. Rows are padded to 32 bits; a positive biHeight
// stores them bottom-up, a negative one top-down. The pixels start zeroed;
// an indexed DIB section takes biClrUsed colours (0: all 1 << depth) from
// the table after the header, and the rest of its table is black.
// usage must be DIB_RGB_COLORS and section null (no file mappings); the
// surface is not needed and ignored. *bits receives the pixel memory (null
// on failure). A DIB section's pixel memory is below 2 GiB, so that any row
// offset fits a signed 32-bit integer. Null on any invalid field.
[[nodiscard]] HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                       DWORD offset);

// A plain bitmap (planes must be 1) whose rows are given padded to 16
// bits, or zeroed when pixels is null. A zero width or height gives the
// stock 1 x 1 monochrome bitmap.
[[nodiscard]] HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* pixels);

// The colour table of the indexed DIB section selected into a memory
// surface: entries from first on, as many as fit. Returns how many were
// set (or read); 0 when the surface holds no indexed DIB section.
UINT SetDIBColorTable(HDC dc, UINT first, UINT count, const RGBQUAD* colors);
UINT GetDIBColorTable(HDC dc, UINT first, UINT count, RGBQUAD* colors);

}  // namespace gdi

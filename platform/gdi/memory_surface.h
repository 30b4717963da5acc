#pragma once
// A 32-bit drawing surface over pixel memory its caller owns, such as a
// window's back buffer: blue, green, red and an unused byte per pixel, the
// layout of Qt's RGB32 images, so no copy is needed.

#include "platform/gdi/records.h"

namespace gdi {

// Logical point (x, y) is pixel (x - origin.x, y - origin.y) of the
// memory, whose row r starts at topRow + r * pitch (pitch may be negative;
// its magnitude is at least 4 * width). A paint surface for an area whose
// upper-left corner is client (x0, y0) takes origin (x0, y0), and its
// owner draws in client coordinates. Patterns align to logical (0, 0).
// Everything else (stretch mode, clip, brush, colours) works as on any
// surface. DeleteDC frees the surface, never the memory. Null when the
// sizes are negative or beyond 2^27, or the memory is missing for a
// non-empty area.
[[nodiscard]] HDC CreateSurfaceOverMemory(BYTE* topRow, LONG width, LONG height, LONG pitch, POINT origin);

}  // namespace gdi

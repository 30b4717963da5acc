#pragma once
// The clip region of a drawing surface, in its logical coordinates.

#include "platform/gdi/records.h"

namespace gdi {

// Makes a copy of region the surface's clip (null: no clip, the whole
// surface). Returns the type of what can now be drawn (clip within the
// surface's bounds), or ERROR for an invalid surface or region.
int SelectClipRgn(HDC dc, HRGN region);

// The bounding box of what can be drawn: the surface's bounds, within its
// clip region if it has one. Returns the type of that area (NULLREGION with
// an all-zero box when nothing can be drawn), or ERROR.
int GetClipBox(HDC dc, RECT* box);

}  // namespace gdi

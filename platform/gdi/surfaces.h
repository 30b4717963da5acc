#pragma once
// Drawing surfaces (device contexts) and the state each one keeps: the
// selected bitmap and brush, the stretch mode, the text and background
// colours. Clipping is in clipping.h; surfaces over the caller's memory in
// memory_surface.h; the whole-screen surface in screen.h.

#include "platform/gdi/records.h"

namespace gdi {

// A memory surface; dc must be null or a live surface. It starts with the
// stock 1 x 1 monochrome bitmap and the white brush selected, stretch mode
// BLACKONWHITE, black text on a white background and no clip.
[[nodiscard]] HDC CreateCompatibleDC(HDC dc);

// Frees a memory surface or a surface over memory (never the memory
// itself), releasing whatever is selected into it. The screen surface is
// released with ReleaseDC instead.
BOOL DeleteDC(HDC dc);

// Selects a bitmap (memory surfaces only; a bitmap is selected into at
// most one surface at a time, stock bitmaps excepted) or a brush, and
// returns the object it replaces; null on failure. A region becomes the
// clip as with SelectClipRgn, and the result is that region type cast to
// a handle, or HGDI_ERROR.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);

// Returns the previous mode; 0 on failure (an invalid surface, or a mode
// outside BLACKONWHITE..HALFTONE).
int SetStretchBltMode(HDC dc, int mode);

// Return the previous colour; CLR_INVALID on failure. A monochrome pattern
// brush draws its 0 bits in the text colour and its 1 bits in the
// background colour.
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);

}  // namespace gdi

#pragma once
// Operations that apply to every kind of drawing object.
//
// Every handle is checked: a handle that was never issued, that has been
// deleted, or that names an object of another kind makes the call fail
// with its documented failure value. Stock objects are permanent: deleting
// one succeeds and does nothing, and they are not counted as live.

#include "platform/gdi/records.h"

namespace gdi {

// OBJ_BITMAP, OBJ_BRUSH, OBJ_FONT, OBJ_REGION, OBJ_MEMDC (CreateCompatibleDC) or
// OBJ_DC (screen and memory-backed surfaces); 0 for an invalid handle.
DWORD GetObjectType(HGDIOBJ object);

// Bitmaps, brushes, fonts and regions. Fails (FALSE) for an invalid handle, for a
// surface (use DeleteDC / ReleaseDC), and for a bitmap or brush still
// selected into a surface.
BOOL DeleteObject(HGDIOBJ object);

// Describes a bitmap (a DIB section fills a whole DIBSECTION when size
// allows, otherwise a BITMAP; a plain bitmap fills only a BITMAP) or a
// brush (LOGBRUSH) or a font (LOGFONTA, as created). Returns the number of bytes written, or with a null
// buffer the number it would write; 0 on failure or a too-small buffer.
int GetObjectA(HGDIOBJ object, int size, void* buffer);

}  // namespace gdi

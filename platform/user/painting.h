#pragma once
// Invalidating and painting windows.

#include "platform/user/records.h"

namespace user {

struct PAINTSTRUCT {
    gdi::HDC hdc;
    BOOL fErase;   // the background still needs erasing (the class has no brush)
    RECT rcPaint;  // bounding box of the area to paint, client coordinates
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

// For WM_PAINT: a 32-bit drawing surface over the window's client pixels
// in client coordinates, clipped to the area to paint, which is then no
// longer invalid. When an invalidation asked for erasing, WM_ERASEBKGND is
// sent first. Null (with an empty rcPaint) when the window has no pixels.
gdi::HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
// Frees the surface; what was drawn is on the screen when the paint
// message returns (at once when painting outside WM_PAINT).
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

// Adds the rectangle (the whole client area for null) to the area still to
// paint; one WM_PAINT follows, however many areas were added before it.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
// Delivers the pending WM_PAINT now, if there is one.
BOOL UpdateWindow(HWND window);

}  // namespace user

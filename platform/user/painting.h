#pragma once
// Invalidating and painting windows.

#include "platform/user/records.h"

namespace user {

// Adds the rectangle (the whole client area for null) to the area still to
// paint; one WM_PAINT follows, however many areas were added before it.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
// Delivers the pending WM_PAINT now, if there is one.
BOOL UpdateWindow(HWND window);

}  // namespace user

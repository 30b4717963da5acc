#pragma once
// Mouse capture: while a window holds it, mouse moves and button releases
// reach that window wherever the pointer is, in its client coordinates
// (negative left of or above it). A window that loses the capture, to
// another window, a menu, a message box or ReleaseCapture, is told with
// WM_CAPTURECHANGED.

#include "platform/user/records.h"

namespace user {

// Returns the window that held the capture before.
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();

}  // namespace user

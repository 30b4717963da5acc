#pragma once
// What a window does with WM_PAINT and WM_ERASEBKGND when its procedure
// leaves them to the default handling.

#include "platform/user/records.h"

namespace user::internal {

// Validates the area to paint (drawing nothing).
LRESULT DefaultPaint(HWND window);
// Fills the area with the class background, if the class has one; nonzero
// when it did.
LRESULT DefaultErase(HWND window, WPARAM surface);

}  // namespace user::internal

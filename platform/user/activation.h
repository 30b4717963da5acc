#pragma once
// The active top-level window, the keyboard focus and each owner's most
// recently active pop-up.

#include "platform/user/records.h"

namespace user {

HWND GetActiveWindow();
// Activates a top-level window of the program and brings it (with the
// windows it owns) to the front; returns the previously active one.
HWND SetActiveWindow(HWND window);
// The window owned by this one that was active last, or the window itself
// when none was or that one is gone.
HWND GetLastActivePopup(HWND window);

HWND GetFocus();
HWND SetFocus(HWND window);

}  // namespace user

#pragma once
// Showing a menu and waiting for the choice.

#include "platform/user/records.h"

namespace user::internal {

// Shows the menu with its upper-left corner at the screen point and runs a
// nested loop until it closes. Returns the chosen item's id, 0 when the
// menu was dismissed. Whoever held the mouse capture loses it.
UINT RunMenu(HMENU menu, int x, int y, UINT flags);

// The window menu of a top-level window at a screen point; the chosen item
// arrives as WM_SYSCOMMAND.
void ShowWindowMenu(HWND window, int x, int y);

}  // namespace user::internal

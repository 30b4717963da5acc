#pragma once
// Menus: built in code or loaded from the program's menu resources, shown
// as pop-ups at a screen point.

#include "platform/user/records.h"

namespace user {

[[nodiscard]] HMENU CreatePopupMenu();
// Destroys the menu and every pop-up in it.
BOOL DestroyMenu(HMENU menu);
// A registered menu resource of the program's instance; null when absent.
[[nodiscard]] HMENU LoadMenuA(HINSTANCE instance, LPCSTR name);
// The pop-up at that position, owned by the menu; null for other items.
HMENU GetSubMenu(HMENU menu, int position);
// MF_STRING (text in UTF-8), MF_SEPARATOR or MF_POPUP (idOrPopup is the
// pop-up's handle), with MF_GRAYED, MF_DISABLED, MF_CHECKED.
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
// MF_BYCOMMAND or MF_BYPOSITION with MF_ENABLED, MF_GRAYED or MF_DISABLED;
// the previous state, or -1 when there is no such item.
int EnableMenuItem(HMENU menu, UINT item, UINT flags);
int GetMenuItemCount(HMENU menu);

// Shows the menu with its upper-left corner at the screen point (moved only
// as far as needed to stay on the screen) and returns once it closes. The
// chosen item then reaches owner as WM_COMMAND with its id, posted so that
// it arrives after this returns; nothing is sent when the menu is
// dismissed. With TPM_RETURNCMD the id is returned instead (0: none), with
// TPM_NONOTIFY nothing is sent. TPM_LEFTBUTTON (0): only the left button
// chooses. FALSE when the menu or the owner is not valid.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect);

// The window menu of a top-level window with WS_SYSMENU (Move, Minimise,
// Close, and whatever was appended); its items report as WM_SYSCOMMAND.
// revert TRUE puts back the standard menu and returns null. Null for a
// window without one.
HMENU GetSystemMenu(HWND window, BOOL revert);

}  // namespace user

// The window menu of top-level windows.
#include "platform/user/internal/menu_runner.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/menus.h"
#include "platform/user/messages.h"

namespace user {
namespace {

HMENU StandardWindowMenu() {
    const HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    AppendMenuA(menu, MF_STRING, SC_RESTORE, "&Restore");
    AppendMenuA(menu, MF_STRING, SC_MOVE, "&Move");
    AppendMenuA(menu, MF_STRING, SC_MINIMIZE, "Mi&nimize");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
    return menu;
}

}  // namespace

HMENU GetSystemMenu(HWND window, BOOL revert) {
    internal::WindowRecord* record = internal::FindWindowRecord(window);
    if (!record || internal::IsChildStyle(*record) || !(record->style & WS_SYSMENU)) return nullptr;
    if (revert) {
        if (record->systemMenu) DestroyMenu(record->systemMenu);
        record->systemMenu = nullptr;
        return nullptr;
    }
    if (GetMenuItemCount(record->systemMenu) < 0) {
        record->systemMenu = StandardWindowMenu();
    }
    return record->systemMenu;
}

namespace internal {

void ShowWindowMenu(HWND window, int x, int y) {
    const HMENU menu = GetSystemMenu(window, FALSE);
    const WindowRecord* record = FindWindowRecord(window);
    if (!menu || !record) return;
    // The standard items follow the window's state.
    const bool minimised = (record->style & WS_MINIMIZE) != 0;
    EnableMenuItem(menu, SC_RESTORE, minimised ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(menu, SC_MOVE, minimised ? MF_GRAYED : MF_ENABLED);
    EnableMenuItem(menu, SC_MINIMIZE, (record->style & WS_MINIMIZEBOX) && !minimised ? MF_ENABLED : MF_GRAYED);
    const UINT chosen = RunMenu(menu, x, y, TPM_LEFTBUTTON);
    if (chosen != 0) PostMessageA(window, WM_SYSCOMMAND, chosen, MAKELPARAM(x, y));
}

}  // namespace internal
}  // namespace user

#pragma once
// Creating, placing, showing and destroying windows.

#include "platform/user/records.h"

namespace user {

// A window of a registered class. Without WS_CHILD it is a top-level
// window: WS_POPUP without WS_CAPTION has neither border nor caption and
// sits at exactly the given screen rectangle; a parent given then is its
// owner, which it stays above, is hidden with and is destroyed with.
// WS_EX_TOOLWINDOW keeps it off the task bar. Sides are kept within 0 ..
// 32767 and positions within -32767 .. 32767, what the X server can show.
// Null when the class is unknown, the parent is not a window, or WM_NCCREATE
// or WM_CREATE refuses.
[[nodiscard]] HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                                   int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                                   LPVOID param);

// Destroys owned windows first (each gets WM_DESTROY), then the window
// (WM_DESTROY, then its children), then WM_NCDESTROY; the handle is dead
// afterwards.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);

BOOL ShowWindow(HWND window, int command);
BOOL IsWindowVisible(HWND window);
BOOL IsIconic(HWND window);

// Window rectangle in screen pixels; the client rectangle starts at (0, 0).
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL GetClientRect(HWND window, RECT* rect);
// Exact position and size (screen pixels for top-level windows, the
// parent's client coordinates for child windows).
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL ClientToScreen(HWND window, POINT* point);

// A child's parent, or a pop-up's owner; null otherwise.
HWND GetParent(HWND window);
// GW_OWNER; GW_CHILD (the first child); and for child windows their
// siblings in creation order, which is also the order a dialog's controls
// are stacked and tabbed in: GW_HWNDFIRST, GW_HWNDLAST, GW_HWNDNEXT,
// GW_HWNDPREV. Null where there is none.
HWND GetWindow(HWND window, UINT relation);

// Returns the previous state: nonzero when the window was disabled.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);

BOOL SetWindowTextA(HWND window, LPCSTR text);
// Copies at most size - 1 bytes and a terminating NUL; returns the length.
int GetWindowTextA(HWND window, LPSTR buffer, int size);
int GetWindowTextLengthA(HWND window);

LONG_PTR GetWindowLongPtrA(HWND window, int index);
// Returns the previous value; 0 (and nothing changed) for an unknown index.
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);

}  // namespace user

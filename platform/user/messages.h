#pragma once
// Messages: sent at once to a window's procedure, or posted to arrive after
// what is under way now.

#include "platform/user/records.h"

namespace user {

// The procedure's result; 0 for a dead window.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues the message; it is dropped if the window is gone by then.
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The default handling every window procedure passes unhandled messages to.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace user

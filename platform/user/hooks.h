#pragma once
// Hooks: procedures the service calls at points of its own work. Only the
// computer-based-training hook's window creation is told (HCBT_CREATEWND):
// it comes after the window exists and before its first message.

#include "platform/user/records.h"

namespace user {

struct HHOOK__;
using HHOOK = HHOOK__*;
using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);

inline constexpr int WH_CBT = 5;
inline constexpr int HCBT_CREATEWND = 3;

// What HCBT_CREATEWND carries in lParam; wParam is the new window.
struct CBT_CREATEWNDA {
    CREATESTRUCTA* lpcs;
    HWND hwndInsertAfter;
};

// Installs proc at the front of the chain of that kind; it is called until
// unhooked. A nonzero answer to HCBT_CREATEWND refuses the window, which
// is destroyed (CreateWindowExA returns null). Null for another kind than
// WH_CBT or a null proc. The module and thread are those of the one GUI
// thread, whatever is given.
HHOOK SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
// Passes the call on to the hook installed before hook; 0 when there is
// none.
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

}  // namespace user

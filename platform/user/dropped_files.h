#pragma once
// Files dropped onto a window from the desktop's file manager: a window
// that accepts them gets WM_DROPFILES with a drop handle, reads the files'
// paths from it in the order the drop lists them, and ends it.

#include "platform/user/records.h"

namespace user {

struct HDROP__;
using HDROP = HDROP__*;

inline constexpr UINT WM_DROPFILES = 0x0233;
inline constexpr DWORD WS_EX_ACCEPTFILES = 0x00000010;

// Lets the window (and the child windows within it that do not accept
// files themselves) take dropped files, or stops it. Only local files
// (file: addresses on this machine) are taken, and only by an enabled
// window; other drops are refused while the pointer is still dragging.
void DragAcceptFiles(HWND window, BOOL accept);

// With file 0xFFFFFFFF: the number of files. Otherwise the path of that
// file, in the ANSI code page, copied into buffer (at most size - 1 bytes
// and a NUL); the bytes copied, or with a null buffer the path's length.
// 0 for a bad handle or index.
UINT DragQueryFileA(HDROP drop, UINT file, LPSTR buffer, UINT size);
// Ends the handle.
void DragFinish(HDROP drop);

}  // namespace user

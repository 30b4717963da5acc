#pragma once
// The HTML Help viewer as a loadable module: "hhctrl.ocx" with its entry
// "HtmlHelpA", looked up by callers on first use.

#include "platform/user/records.h"

namespace user {

using DWORD_PTR = ULONG_PTR;

inline constexpr UINT HH_DISPLAY_TOPIC = 0x0000;
inline constexpr UINT HH_DISPLAY_TOC = 0x0001;
inline constexpr UINT HH_HELP_CONTEXT = 0x000F;

// The entry's type. caller: the window asking (the viewer opens on its
// monitor but is not owned by it, so a modal dialog never blocks it). file:
// path of the compiled help file. HH_HELP_CONTEXT shows the topic mapped to
// the context number in data; HH_DISPLAY_TOPIC shows the topic named by the
// string data points to ("page.htm"), or the default topic when data is 0;
// HH_DISPLAY_TOC shows the default topic. Returns the viewer's window, the
// same one for every call while it is open; null, with nothing shown, when
// the file cannot be read, the context is not mapped or the command is
// another.
using HtmlHelpProc = HWND (*)(HWND caller, const char* file, UINT command, DWORD_PTR data);

// Registers the module; calling it again changes nothing.
void InstallHtmlHelpModule();

}  // namespace user

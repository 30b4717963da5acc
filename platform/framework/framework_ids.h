#pragma once
// Numbers the application framework gives its commands, messages, help
// contexts and own strings. The program's resources use the same numbers
// for the framework's messages.

#include "platform/user/records.h"

namespace user {

// Commands.
inline constexpr UINT ID_HELP = 0xE146;          // 57670: help for the current context
inline constexpr UINT ID_DEFAULT_HELP = 0xE147;  // 57671: no window named a context

// The framework's request for a help context (wParam 0, lParam 0, or a
// context to use); nonzero when the window showed help.
inline constexpr UINT WM_COMMANDHELP = 0x0365;

// Help contexts: a dialog's is its template id above the resource base, a
// framework message box's its string id above the prompt base.
inline constexpr DWORD HID_BASE_COMMAND = 0x00010000;
inline constexpr DWORD HID_BASE_RESOURCE = 0x00020000;
inline constexpr DWORD HID_BASE_PROMPT = 0x00030000;

// WinHelp commands, as the framework's help calls take them.
inline constexpr UINT HELP_CONTEXT = 0x0001;
inline constexpr UINT HELP_CONTENTS = 0x0003;
inline constexpr UINT HELP_FINDER = 0x000B;

// The framework's own strings.
inline constexpr UINT AFX_IDS_APP_TITLE = 0xE000;              // 57344
inline constexpr UINT AFX_IDP_FAILED_TO_LAUNCH_HELP = 0xF107;  // 61703
inline constexpr UINT AFX_IDP_PARSE_INT = 0xF110;              // 61712

}  // namespace user

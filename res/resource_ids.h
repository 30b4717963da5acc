#pragma once
// Numbers of the program's resources and of the controls and commands they
// hold, shared by the resources and the code that uses them.

#include "platform/types.h"

namespace res {

// Dialog templates.
inline constexpr WORD IDD_ABOUTBOX = 100;
inline constexpr WORD IDD_LAUNCHER = 102;
inline constexpr WORD IDD_RESIZE = 139;

// Menus.
inline constexpr WORD IDR_PHOTO_MENU = 129;

// Pictures.
inline constexpr WORD IDR_MAINFRAME = 128;  // application icon
inline constexpr WORD IDI_OPEN_PHOTO = 1000;
inline constexpr WORD IDI_HELP = 138;
inline constexpr WORD IDB_BANNER = 132;
inline constexpr WORD IDC_HAND_POINTER = 137;

// Strings. The framework's own messages keep the framework's numbers.
inline constexpr WORD IDS_ABOUTBOX = 101;
inline constexpr WORD AFX_IDS_APP_TITLE = 57344;  // deliberately absent
inline constexpr WORD AFX_IDP_FAILED_TO_LAUNCH_HELP = 61703;
inline constexpr WORD AFX_IDP_PARSE_INT = 61712;

// Controls.
inline constexpr int IDC_STATIC = -1;
inline constexpr int IDC_OPEN_PHOTO = 1000;
inline constexpr int IDC_LENGTH = 1002;
inline constexpr int IDC_SIDE_HEIGHT = 1003;
inline constexpr int IDC_SIDE_WIDTH = 1004;
inline constexpr int IDC_SIDE_LONG = 1005;
inline constexpr int IDC_SIDE_SHORT = 1006;
inline constexpr int IDC_WEB_LINK = 1007;

// Commands.
inline constexpr UINT IDM_ABOUTBOX = 16;  // window-menu item
inline constexpr UINT ID_PHOTO_SAVE = 32774;
inline constexpr UINT ID_PHOTO_CLOSE = 32775;
inline constexpr UINT ID_PHOTO_ROTATE = 32776;
inline constexpr UINT ID_PHOTO_RESIZE = 32777;
inline constexpr UINT ID_HELP = 57670;

}  // namespace res

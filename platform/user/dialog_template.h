#pragma once
// Dialog templates: the window and the controls a dialog is built from,
// with positions and sizes in dialog units (see dialogs.h). The fields are
// those of an extended dialog template, in its order.

#include <span>

#include "platform/user/records.h"

namespace user {

struct DialogItemTemplate {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    int id = 0;  // -1 for a control nothing addresses
    // "Button", "Edit", "Static" or a registered class (letter case does
    // not matter).
    const char* className = nullptr;
    // The window text (UTF-8), or, when textOrdinal is not 0, the number of
    // the resource the control shows (an icon or a bitmap).
    const char* text = nullptr;
    WORD textOrdinal = 0;
};

struct DialogTemplate {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    WORD menu = 0;                      // 0: none
    const char* windowClass = nullptr;  // null: the dialog class
    const char* title = nullptr;        // UTF-8
    // Used with DS_SETFONT only.
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charSet = 0;
    const char* typeface = nullptr;
    std::span<const DialogItemTemplate> items;
};

// Dialog styles.
inline constexpr DWORD DS_ABSALIGN = 0x01;
inline constexpr DWORD DS_SYSMODAL = 0x02;
inline constexpr DWORD DS_3DLOOK = 0x04;
inline constexpr DWORD DS_FIXEDSYS = 0x08;
inline constexpr DWORD DS_NOFAILCREATE = 0x10;
inline constexpr DWORD DS_LOCALEDIT = 0x20;
inline constexpr DWORD DS_SETFONT = 0x40;
inline constexpr DWORD DS_MODALFRAME = 0x80;
inline constexpr DWORD DS_NOIDLEMSG = 0x100;
inline constexpr DWORD DS_SETFOREGROUND = 0x200;
inline constexpr DWORD DS_CONTROL = 0x400;
inline constexpr DWORD DS_CENTER = 0x800;
inline constexpr DWORD DS_SHELLFONT = DS_SETFONT | DS_FIXEDSYS;

}  // namespace user

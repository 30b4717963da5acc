#pragma once
// The program's resources: menus, dialog templates, strings, pointer
// shapes, icons and bitmaps, registered by number at start-up and found
// again by LoadMenuA, the dialog functions, LoadStringA, LoadCursorA,
// LoadIconA and the pictures of static controls. Registration copies the
// data.

#include <span>

#include "platform/user/dialog_template.h"
#include "platform/user/records.h"

namespace user {

// One item of a menu template. A pop-up's items follow in popup.
struct MenuItemResource {
    UINT flags = MF_STRING;      // MF_STRING, MF_SEPARATOR or MF_POPUP, with MF_GRAYED, MF_CHECKED
    UINT id = 0;                 // the command an item reports; unused by separators and pop-ups
    const char* text = nullptr;  // UTF-8; '&' marks the mnemonic; null for separators
    std::span<const MenuItemResource> popup{};
};

// Each returns false, registering nothing, for a malformed resource (menus
// at most 16 deep). A number registered again replaces the earlier one;
// handles already loaded keep what they were loaded from.
[[nodiscard]] bool RegisterMenuResource(WORD id, std::span<const MenuItemResource> items);
// Strings are UTF-8; an empty string registers nothing (it reads as absent).
[[nodiscard]] bool RegisterStringResource(WORD id, const char* text);
// Templates need a class for every control and at most 255 controls.
[[nodiscard]] bool RegisterDialogResource(WORD id, const DialogTemplate& dialog);

// Pictures from the bytes of an icon (.ico), cursor (.cur) or bitmap
// (.bmp) file with uncompressed pictures of 1, 4, 8, 24 or 32 bits per
// pixel, each 1 to 256 pixels a side; false for a malformed or truncated
// file.
[[nodiscard]] bool RegisterIconFile(WORD id, std::span<const BYTE> file);
[[nodiscard]] bool RegisterCursorFile(WORD id, std::span<const BYTE> file);
[[nodiscard]] bool RegisterBitmapFile(WORD id, std::span<const BYTE> file);

// Finding a registered resource again: FindResourceA, then LoadResource,
// then LockResource gives its data. Only dialog templates (RT_DIALOG) of
// the program's own module are found; their data is the DialogTemplate as
// registered, controls included, valid until the number is registered
// again. Null for anything else.
struct HRSRC__;
using HRSRC = HRSRC__*;
using HGLOBAL = void*;
inline const LPCSTR RT_DIALOG = MAKEINTRESOURCEA(5);
HRSRC FindResourceA(HINSTANCE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HINSTANCE module, HRSRC resource);
const void* LockResource(HGLOBAL data);

// The string's bytes, at most size - 1 of them, and a terminator; the
// length copied, 0 when there is no such string (or no buffer).
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size);

}  // namespace user

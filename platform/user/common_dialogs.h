#pragma once
// The open and save dialogs of the common dialog library.
//
//   char path[32768] = "*.jpg";
//   OPENFILENAMEA ofn{};
//   ofn.lStructSize = sizeof ofn;
//   ofn.hwndOwner = owner;
//   ofn.lpstrFilter = "JPEG Files (*.jpg)\0*.jpg\0PNG Files (*.png)\0*.png\0";
//   ofn.lpstrFile = path;
//   ofn.nMaxFile = sizeof path;
//   ofn.Flags = OFN_FILEMUSTEXIST;
//   if (GetOpenFileNameA(&ofn)) Open(path);

#include "platform/user/records.h"

namespace user {

inline constexpr DWORD OFN_READONLY = 0x00000001;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
inline constexpr DWORD OFN_ENABLEHOOK = 0x00000020;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr DWORD OFN_EXPLORER = 0x00080000;

inline constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
inline constexpr DWORD CDERR_INITIALIZATION = 0x0002;
inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;

using LPOFNHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// Texts are in the ANSI code page; the path that comes back is the file
// system's own bytes, however long, also for names that are not valid text.
struct OPENFILENAMEA {
    DWORD lStructSize;  // sizeof(OPENFILENAMEA), else CDERR_STRUCTSIZE
    HWND hwndOwner;     // disabled while the dialog is up; it opens centred over it
    HINSTANCE hInstance;
    // Pairs "description\0patterns\0" ending in an empty description;
    // patterns are ';'-separated. A description that does not end in its
    // patterns in parentheses is shown with them.
    LPCSTR lpstrFilter;
    LPSTR lpstrCustomFilter;  // not kept
    DWORD nMaxCustFilter;
    // In: the pair first selected, from 1 (0 means 1). Out: the pair
    // selected when the dialog closed.
    DWORD nFilterIndex;
    // In: the name first in the name field, which a pattern (with '*' or
    // '?') may be. Out: the chosen file's full path, NUL-terminated.
    LPSTR lpstrFile;
    DWORD nMaxFile;        // bytes at lpstrFile
    LPSTR lpstrFileTitle;  // out, when given: the name without its folder
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;  // the folder first shown
    LPCSTR lpstrTitle;       // null: the dialog's own title
    // OFN_FILEMUSTEXIST (open): only existing files are taken.
    // OFN_OVERWRITEPROMPT (save): asks before an existing file is taken.
    // The others are accepted and change nothing here.
    DWORD Flags;
    WORD nFileOffset;     // out: where the name starts in lpstrFile
    WORD nFileExtension;  // out: where the extension starts after its dot;
                          // the terminator's offset without one, 0 after a final dot
    LPCSTR lpstrDefExt;   // added, without its dot, to a name typed without extension
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;  // never called: the dialog is not made of windows of the service
    LPCSTR lpTemplateName;
    void* pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
};

// Runs the dialog modally and returns TRUE with the chosen path in
// lpstrFile, or FALSE when it was cancelled or failed (CommDlgExtendedError
// tells which). A name with a wildcard typed into the dialog filters its
// list (a folder in front of it is opened) and is never returned. Whatever
// the program was doing with the pointer ends first.
BOOL GetOpenFileNameA(OPENFILENAMEA* ofn);
BOOL GetSaveFileNameA(OPENFILENAMEA* ofn);

// Why the last dialog returned FALSE: 0 when it was cancelled;
// FNERR_BUFFERTOOSMALL when the path did not fit in nMaxFile bytes (the
// first two bytes of lpstrFile then hold the size needed);
// CDERR_STRUCTSIZE for a wrong lStructSize; CDERR_INITIALIZATION when no
// application is running.
DWORD CommDlgExtendedError();

}  // namespace user

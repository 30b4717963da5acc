#pragma once
// Dialogs built from templates: a top-level window of the dialog class
// with one control per template item. Positions and sizes in a template
// are dialog units: a quarter of the dialog font's average letter width
// horizontally and an eighth of its height vertically.
//
// The dialog manager moves the keyboard focus with Tab (among controls
// with WS_TABSTOP, in template order) and with the arrow keys (within a
// group, which starts at a control with WS_GROUP); Enter presses the
// focused push button, else the default push button, else sends IDOK;
// Esc and the close box send IDCANCEL.

#include "platform/user/controls.h"
#include "platform/user/dialog_template.h"
#include "platform/user/records.h"

namespace user {

// A dialog procedure returns nonzero when it handled the message.
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

inline constexpr UINT DM_GETDEFID = WM_USER + 0;
inline constexpr UINT DM_SETDEFID = WM_USER + 1;
inline constexpr WORD DC_HASDEFID = 0x534B;

// Creates the dialog hidden, creates its controls, gives each the dialog's
// font, sends WM_INITDIALOG (wParam: the first tab stop; lParam: param)
// and, when that returns nonzero, focuses the first tab stop. Shows the
// dialog when the template has WS_VISIBLE. The template's (x, y) is
// relative to the owner's client area (screen coordinates with
// DS_ABSALIGN or without owner). Null when the template is unusable, the
// window cannot be created, or a control cannot (unless DS_NOFAILCREATE).
[[nodiscard]] HWND CreateDialogIndirectParamA(HINSTANCE instance, const DialogTemplate* dialog, HWND owner,
                                              DLGPROC proc, LPARAM param);
// The same from a registered dialog resource.
[[nodiscard]] HWND CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param);

// The dialog class's default handling: its font, the default button
// (DM_GETDEFID, DM_SETDEFID), the close box as IDCANCEL, the navigation
// keys, the face colour as background, and a dialog procedure's answers
// first. A class of one's own for dialogs passes its messages here.
LRESULT DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Hides the dialog at once; whoever runs it modally ends its run with
// the result. FALSE for a window that is not a dialog.
BOOL EndDialog(HWND dialog, INT_PTR result);

HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND control);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);

// The next (or previous) visible, enabled control with WS_TABSTOP after
// control, wrapping around; the first one for a null control; control
// itself when there is no other.
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
// The next (or previous) visible, enabled control within control's group,
// wrapping around within it.
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);

}  // namespace user

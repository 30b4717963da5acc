#pragma once
// The framework's modal runs: which window owns a modal dialog or message
// box, which windows are disabled meanwhile, and where it opens.

#include "platform/user/records.h"

namespace user::internal {

// The owner for a modal window: parent when given (or, for a child, its
// top-level window), else the main window's most recently active pop-up.
// With disabledTop, the top of the owner's chain of owners (the main
// window) is disabled too when it is another window and still enabled, and
// returned there to be enabled again afterwards (null otherwise).
HWND GetSafeOwner(HWND parent, HWND* disabledTop);

// Where a window of size lands centred over centreOn, kept inside the work
// area (its right and bottom edges first, then its left and top).
POINT CentredPosition(const RECT& centreOn, SIZE size, const RECT& workArea);

// What a window of the program is centred over and kept within: its owner
// (or alternate) and the owner's monitor's work area, or the work area of
// the main window's monitor when the owner is missing, hidden or
// minimised.
void CentringFrame(HWND window, HWND alternateOwner, RECT* centreOn, RECT* workArea);

}  // namespace user::internal

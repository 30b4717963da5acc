#pragma once
// Where a window opens centred: over its owner, kept within the owner's
// monitor's work area; over the work area of a reference window's monitor
// when the owner is missing, hidden or minimised. The framework's
// CenterWindow and the common dialogs place their windows by it.

#include "platform/user/records.h"

namespace user {

// Where a window of size lands centred over centreOn, kept inside the work
// area (its right and bottom edges first, then its left and top).
POINT CentredPosition(const RECT& centreOn, SIZE size, const RECT& workArea);

// What a window is centred over and kept within, for its owner and, when
// the owner does not serve, a reference window (null: the primary monitor).
void CentringFrame(HWND owner, HWND reference, RECT* centreOn, RECT* workArea);

}  // namespace user

#pragma once
// Activation as the toolkit reports it, and stacking of owners and the
// windows they own.

#include "platform/user/records.h"

namespace user::internal {

void NoteActivated(HWND window);
void NoteDeactivated(HWND window);
// Raises a top-level window, then every window it owns above it.
void RaiseWithOwned(HWND window);
// Hides the windows a minimised owner owns, or shows again those it hid.
void ShowOwnedWindows(HWND owner, bool show);
// The owner at the top of a window's chain of owners.
HWND RootOwnerOf(HWND window);

}  // namespace user::internal

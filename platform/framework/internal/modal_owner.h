#pragma once
// The framework's modal runs: which window owns a modal dialog or message
// box, and which windows are disabled meanwhile.

#include "platform/user/records.h"

namespace user::internal {

// The owner for a modal window: parent when given (or, for a child, its
// top-level window), else the main window's most recently active pop-up.
// With disabledTop, the top of the owner's chain of owners (the main
// window) is disabled too when it is another window and still enabled, and
// returned there to be enabled again afterwards (null otherwise).
HWND GetSafeOwner(HWND parent, HWND* disabledTop);

}  // namespace user::internal

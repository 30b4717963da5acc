#pragma once
// Pointer shapes.

#include "platform/user/records.h"

namespace user {

// instance null: a system shape (IDC_ARROW, IDC_SIZENWSE, IDC_WAIT, ...);
// the program's instance: a registered cursor resource. The handle is
// shared: loading the same shape again gives the same handle. Null for an
// unknown shape or resource.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
// The pointer takes the shape at once over the window it is on (over the
// capturing window, wherever it is, while one holds the capture); null
// hides it. Returns the shape set before.
HCURSOR SetCursor(HCURSOR cursor);

}  // namespace user

#pragma once
// Window classes: a name with the procedure, pointer shape, icon and
// background that its windows start with.

#include "platform/user/records.h"

namespace user {

// The class's atom, or 0 when the record is incomplete, the instance is not
// the program's or the name is taken.
[[nodiscard]] ATOM RegisterClassA(const WNDCLASSA* windowClass);
// Fills *windowClass from a registered class; FALSE when there is none.
BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, WNDCLASSA* windowClass);

}  // namespace user

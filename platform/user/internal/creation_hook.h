#pragma once
// Tells the hooks about a window just made, before its first message.

#include "platform/user/records.h"

namespace user::internal {

// False when a hook refuses the window.
bool CreationAllowed(HWND window, CREATESTRUCTA* create);

}  // namespace user::internal

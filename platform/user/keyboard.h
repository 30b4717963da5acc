#pragma once
// The keyboard's state as the program sees it.

#include "platform/user/records.h"

namespace user {

using SHORT = std::int16_t;

// For VK_SHIFT, VK_CONTROL and VK_MENU: negative (high bit set) when the
// key was down as of the input handled so far (the message being handled);
// 0 for other keys and when it was up.
SHORT GetKeyState(int virtualKey);

}  // namespace user

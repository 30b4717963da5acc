#pragma once
// Lets the framework bind its object to a window before the window's first
// message.

#include "platform/user/records.h"

namespace user::internal {

using CreationHook = void (*)(HWND window, void* context);

// The next CreateWindowExA calls hook right after the window exists.
void SetCreationHook(CreationHook hook, void* context);
void ClearCreationHook();
void RunCreationHook(HWND window);

}  // namespace user::internal

#pragma once
// Icons.

#include "platform/user/records.h"

namespace user {

// instance null: a system icon (IDI_APPLICATION, IDI_EXCLAMATION, ...);
// the program's instance: a registered icon resource with all its sizes.
// Shared handles, as for pointer shapes; null when there is none.
HICON LoadIconA(HINSTANCE instance, LPCSTR name);

}  // namespace user

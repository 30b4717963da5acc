#pragma once
// Icons.

#include "platform/user/records.h"

namespace user {

// instance null: a system icon (IDI_APPLICATION, IDI_EXCLAMATION, ...);
// the program's instance: a registered icon resource with all its sizes.
// Shared handles, as for pointer shapes; null when there is none.
HICON LoadIconA(HINSTANCE instance, LPCSTR name);

// Draws the icon at the system icon size (SM_CXICON x SM_CYICON) with its
// upper-left corner at (x, y), blended over what is there. The surface
// needs 32-bit pixels (a paint surface, or a memory surface with a 32-bit
// bitmap). FALSE for an invalid icon or surface.
BOOL DrawIcon(gdi::HDC dc, int x, int y, HICON icon);

}  // namespace user

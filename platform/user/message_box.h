#pragma once
// Message boxes.

#include "platform/user/records.h"

namespace user {

// Shows text (UTF-8) with the buttons and icon of type and waits for an
// answer in a nested loop. The owner (the top-level window of owner) is
// disabled meanwhile; every other window keeps working. Without a caption
// the application's title is shown. Returns IDOK, IDCANCEL, IDYES, IDNO,
// ...; 0 when no box could be shown.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

}  // namespace user

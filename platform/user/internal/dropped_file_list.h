#pragma once
// How the window widgets hand a drop of files to their window.

#include <string>
#include <vector>

#include "platform/user/records.h"

namespace user::internal {

// Whether the window takes dropped files now: it asked for them with
// DragAcceptFiles and neither it nor a window it lies in is disabled.
bool AcceptsDroppedFiles(HWND window);

// Posts WM_DROPFILES with a new drop handle listing the files (paths in the
// ANSI code page, in the drop's order); false when the window takes none.
bool PostDroppedFiles(HWND window, std::vector<std::string> files);

}  // namespace user::internal

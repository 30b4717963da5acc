#pragma once
// The extension of a path, as the shell's path helpers find it.

#include "platform/kernel/code_page.h"

namespace kernel {

// The address of the '.' that starts the last path component's extension
// (the last dot after the last '/'), or of the terminator when there is
// none. A null path gives null.
const char* PathFindExtensionA(const char* path);
const WCHAR* PathFindExtensionW(const WCHAR* path);

}  // namespace kernel

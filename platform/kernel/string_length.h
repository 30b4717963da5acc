#pragma once
// Length of a NUL-terminated byte string.

namespace kernel {

// Bytes before the terminator; 0 for a null pointer.
int lstrlenA(const char* text);

}  // namespace kernel

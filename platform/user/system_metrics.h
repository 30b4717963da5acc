#pragma once
// Sizes the calling code asks the system for.

namespace user {

// Screen size, icon and cursor sizes; 0 for anything else.
int GetSystemMetrics(int index);

}  // namespace user

#pragma once
// What the drawing service's tests arrange and read back; the system's code
// never includes this header. The functions are part of
// pelmora_platform_gdi.

#include "platform/gdi/records.h"

namespace gdi {

// Number of live objects of one OBJ_* type, stock objects excluded: tests
// use it to find leaks.
long LiveObjectCount(DWORD objectType);

// WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH; null for any other index. The
// system selects brushes of its own; tests select these.
HGDIOBJ GetStockObject(int index);

}  // namespace gdi

#pragma once
// What the whole-screen surface draws on. The windowing service decides
// which back-end is installed (screen.h).

#include <cstddef>

#include "platform/types.h"

namespace gdi {

class ScreenBackend {
public:
    virtual ~ScreenBackend() = default;
    // Screen bounds in screen pixels.
    virtual RECT Bounds() const = 0;
    // Inverts, within each rectangle (screen coordinates, already clipped,
    // non-overlapping), the pixels whose bit in the 8 x 8 pattern is 1.
    // rows[k] is pattern row (y mod 8) == k, most-significant bit = x mod 8
    // == 0; the pattern is aligned to the screen's (0, 0). Everything is
    // visible on the screen when it returns.
    virtual bool InvertPattern(const RECT* rects, size_t count, const BYTE rows[8]) = 0;
};

}  // namespace gdi

#pragma once
// A screen held in memory: 32-bit pixels (blue, green, red, unused), all
// black at first. Tests read it back; it also stands in when no display
// can be drawn on.

#include <vector>

#include "platform/gdi/screen_backend.h"

namespace gdi {

class MemoryScreen final : public ScreenBackend {
public:
    // Negative sizes count as 0.
    MemoryScreen(LONG width, LONG height);

    RECT Bounds() const override;
    // Inverts blue, green and red; the fourth byte is kept.
    bool InvertPattern(const RECT* rects, size_t count, const BYTE rows[8]) override;

    LONG Width() const { return width_; }
    LONG Height() const { return height_; }
    // 0x00rrggbb plus the fourth byte on top; 0 outside the screen.
    DWORD Pixel(LONG x, LONG y) const;
    void SetPixel(LONG x, LONG y, DWORD value);
    // Row y starts at Pixels() + y * Width().
    const DWORD* Pixels() const { return pixels_.data(); }
    DWORD* Pixels() { return pixels_.data(); }

private:
    LONG width_;
    LONG height_;
    std::vector<DWORD> pixels_;
};

}  // namespace gdi

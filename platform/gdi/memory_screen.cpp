#include "platform/gdi/memory_screen.h"

#include <algorithm>

namespace gdi {

MemoryScreen::MemoryScreen(LONG width, LONG height)
    : width_(std::max<LONG>(width, 0)),
      height_(std::max<LONG>(height, 0)),
      pixels_(static_cast<size_t>(width_) * height_, 0) {}

RECT MemoryScreen::Bounds() const { return RECT{0, 0, width_, height_}; }

bool MemoryScreen::InvertPattern(const RECT* rects, size_t count, const BYTE rows[8]) {
    if (count > 0 && (rects == nullptr || rows == nullptr)) return false;
    for (size_t i = 0; i < count; ++i) {
        // Trust nothing: keep every write inside the buffer.
        const LONG left = std::max<LONG>(rects[i].left, 0);
        const LONG top = std::max<LONG>(rects[i].top, 0);
        const LONG right = std::min(rects[i].right, width_);
        const LONG bottom = std::min(rects[i].bottom, height_);
        for (LONG y = top; y < bottom; ++y) {
            const BYTE row = rows[y & 7];
            DWORD* line = pixels_.data() + static_cast<size_t>(y) * width_;
            for (LONG x = left; x < right; ++x) {
                if ((row >> (7 - (x & 7))) & 1) line[x] ^= 0x00FFFFFFu;
            }
        }
    }
    return true;
}

DWORD MemoryScreen::Pixel(LONG x, LONG y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

void MemoryScreen::SetPixel(LONG x, LONG y, DWORD value) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<size_t>(y) * width_ + x] = value;
}

}  // namespace gdi

#include "photo/drag_frame.h"

#include <algorithm>
#include <cstdint>

#include "platform/gdi/gdi.h"

namespace {

// Pattern rows alternately 0x55 and 0xAA, each padded to 16 bits: on the
// screen, pixels whose x + y is odd are inverted and their neighbours kept.
constexpr BYTE halftoneRows[16] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};

// Made on first use and kept for the life of the process; a failed attempt
// is tried again at the next frame.
gdi::HBRUSH HalftoneBrush() {
    static gdi::HBRUSH brush = nullptr;
    if (!brush) {
        const gdi::HBITMAP pattern = gdi::CreateBitmap(8, 8, 1, 1, halftoneRows);
        if (!pattern) return nullptr;
        brush = gdi::CreatePatternBrush(pattern);
        gdi::DeleteObject(pattern);
    }
    return brush;
}

// Null when out of memory.
gdi::HRGN CreateFrameRegion(const RECT& rect, SIZE thickness) {
    // A rectangle without area has no frame; CreateRectRgn would swap the
    // corners of an inside-out one instead.
    if (rect.right <= rect.left || rect.bottom <= rect.top) return gdi::CreateRectRgn(0, 0, 0, 0);
    const gdi::HRGN frame = gdi::CreateRectRgnIndirect(&rect);
    if (!frame) return nullptr;

    // A negative thickness grows the interior past the rectangle, which the
    // intersection below cuts back: it counts as 0.
    const std::int64_t cx = std::max<LONG>(thickness.cx, 0);
    const std::int64_t cy = std::max<LONG>(thickness.cy, 0);
    const std::int64_t width = std::int64_t{rect.right} - rect.left;
    const std::int64_t height = std::int64_t{rect.bottom} - rect.top;
    if (width <= 2 * cx || height <= 2 * cy) return frame;  // no interior: all frame

    const RECT interior{static_cast<LONG>(rect.left + cx), static_cast<LONG>(rect.top + cy),
                        static_cast<LONG>(rect.right - cx), static_cast<LONG>(rect.bottom - cy)};
    const gdi::HRGN inner = gdi::CreateRectRgnIndirect(&interior);
    const bool ok = inner && gdi::CombineRgn(frame, frame, inner, gdi::RGN_DIFF) != gdi::ERROR;
    if (inner) gdi::DeleteObject(inner);
    if (!ok) {
        gdi::DeleteObject(frame);
        return nullptr;
    }
    return frame;
}

bool PaintInverted(gdi::HDC screen, gdi::HRGN region) {
    const gdi::HBRUSH brush = HalftoneBrush();
    if (!brush) return false;
    RECT box{};
    if (gdi::GetRgnBox(region, &box) == gdi::NULLREGION) return true;
    if (gdi::SelectClipRgn(screen, region) == gdi::ERROR) return false;
    const gdi::HGDIOBJ previousBrush = gdi::SelectObject(screen, brush);
    const BOOL painted = previousBrush && gdi::PatBlt(screen, box.left, box.top, box.right - box.left,
                                                      box.bottom - box.top, gdi::PATINVERT);
    gdi::SelectClipRgn(screen, nullptr);
    if (previousBrush) gdi::SelectObject(screen, previousBrush);
    return painted != FALSE;
}

}  // namespace

CScreenSurface::CScreenSurface() : dc_(gdi::GetDC(nullptr)) {}

CScreenSurface::~CScreenSurface() {
    if (dc_) gdi::ReleaseDC(nullptr, dc_);
}

bool DrawDragFrame(gdi::HDC screen, const RECT& rect, SIZE thickness, const RECT* previous, SIZE previousThickness) {
    if (!screen) return false;
    const gdi::HRGN region = CreateFrameRegion(rect, thickness);
    if (!region) return false;
    bool ok = true;
    if (previous) {
        // Only the pixels in which the two frames differ change.
        const gdi::HRGN old = CreateFrameRegion(*previous, previousThickness);
        ok = old && gdi::CombineRgn(region, region, old, gdi::RGN_XOR) != gdi::ERROR;
        if (old) gdi::DeleteObject(old);
    }
    ok = ok && PaintInverted(screen, region);
    gdi::DeleteObject(region);
    return ok;
}

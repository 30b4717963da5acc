#include "platform/gdi/pattern_blt.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "platform/gdi/objects.h"
#include "platform/gdi/screen_backend.h"

namespace gdi {

using namespace internal;

namespace {

LONG Wrap(LONG value, LONG period) {
    const LONG r = value % period;
    return r < 0 ? r + period : r;
}

// The brush's colour at logical (x, y) on this surface.
COLORREF BrushColor(const BrushObject& brush, const SurfaceObject& surface, LONG x, LONG y) {
    if (brush.style != BS_PATTERN) return brush.color;
    const LONG px = Wrap(x, brush.patternWidth);
    const LONG py = Wrap(y, brush.patternHeight);
    const BYTE bit = brush.pattern[static_cast<std::size_t>(py) * brush.patternWidth + px];
    return bit != 0 ? surface.backgroundColor : surface.textColor;
}

LONG ClampToLong(std::int64_t value) {
    return static_cast<LONG>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

bool UsesBrush(DWORD rop) { return rop == PATCOPY || rop == PATINVERT; }

void Paint(const PixelView& pixels, const Region32& area, const BrushObject* brush, const SurfaceObject& surface,
           DWORD rop) {
    int count = 0;
    const pixman_box32_t* boxes = area.Rects(&count);
    for (int i = 0; i < count; ++i) {
        for (LONG y = boxes[i].y1; y < boxes[i].y2; ++y) {
            BYTE* row = pixels.topRow + static_cast<std::ptrdiff_t>(y - pixels.origin.y) * pixels.pitch;
            for (LONG x = boxes[i].x1; x < boxes[i].x2; ++x) {
                BYTE* pixel = row + static_cast<std::ptrdiff_t>(x - pixels.origin.x) * 4;
                const COLORREF c = UsesBrush(rop) ? BrushColor(*brush, surface, x, y) : 0;
                switch (rop) {
                    case PATCOPY:
                        pixel[0] = GetBValue(c), pixel[1] = GetGValue(c), pixel[2] = GetRValue(c);
                        pixel[3] = 0;
                        break;
                    case PATINVERT: pixel[0] ^= GetBValue(c), pixel[1] ^= GetGValue(c), pixel[2] ^= GetRValue(c); break;
                    case DSTINVERT: pixel[0] ^= 0xFF, pixel[1] ^= 0xFF, pixel[2] ^= 0xFF; break;
                    case BLACKNESS: pixel[0] = pixel[1] = pixel[2] = pixel[3] = 0; break;
                    case WHITENESS:
                        pixel[0] = pixel[1] = pixel[2] = 0xFF;
                        pixel[3] = 0;
                        break;
                }
            }
        }
    }
}

// The 8 x 8 inversion pattern (rows most-significant bit first) that rop
// with this brush makes on the screen; false when it is not an inversion.
bool InversionRows(const BrushObject* brush, const SurfaceObject& surface, DWORD rop, BYTE rows[8]) {
    if (rop == DSTINVERT) {
        std::fill(rows, rows + 8, BYTE{0xFF});
        return true;
    }
    if (brush->style == BS_PATTERN && (8 % brush->patternWidth != 0 || 8 % brush->patternHeight != 0)) {
        return false;  // does not tile the screen's 8 x 8 grid
    }
    for (LONG y = 0; y < 8; ++y) {
        BYTE row = 0;
        for (LONG x = 0; x < 8; ++x) {
            const COLORREF c = BrushColor(*brush, surface, x, y) & 0x00FFFFFFu;
            if (c == 0x00FFFFFFu) {
                row |= static_cast<BYTE>(0x80u >> x);
            } else if (c != 0) {
                return false;
            }
        }
        rows[y] = row;
    }
    return true;
}

}  // namespace

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
    if (rop != PATCOPY && rop != PATINVERT && rop != DSTINVERT && rop != BLACKNESS && rop != WHITENESS) {
        return FALSE;
    }
    ObjectTable& table = Objects();
    std::shared_ptr<ScreenBackend> screen;
    std::vector<RECT> rects;
    BYTE rows[8];
    {
        std::lock_guard lock(table.mutex);
        const SurfaceObject* surface = table.FindSurface(dc);
        if (surface == nullptr) return FALSE;
        const BrushObject* brush = table.FindBrush(surface->brush);
        if (UsesBrush(rop) && (brush == nullptr || brush->style == BS_NULL)) {
            return brush != nullptr ? TRUE : FALSE;
        }
        const RECT rect{x, y, ClampToLong(std::int64_t{x} + width), ClampToLong(std::int64_t{y} + height)};
        Region32 area;
        if (!DrawableRegion(table, *surface, rect, &area)) return FALSE;

        if (surface->kind != SurfaceKind::Screen) {
            const std::optional<PixelView> pixels = SurfacePixels(table, *surface);
            if (!pixels.has_value()) return FALSE;
            Paint(*pixels, area, brush, *surface, rop);
            return TRUE;
        }
        if (rop != PATINVERT && rop != DSTINVERT) return FALSE;
        if (!InversionRows(brush, *surface, rop, rows)) return FALSE;
        if (std::all_of(rows, rows + 8, [](BYTE row) { return row == 0; })) return TRUE;
        int count = 0;
        const pixman_box32_t* boxes = area.Rects(&count);
        try {
            rects.reserve(static_cast<std::size_t>(count));
        } catch (const std::bad_alloc&) {
            return FALSE;
        }
        for (int i = 0; i < count; ++i) {
            rects.push_back(RECT{boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2});
        }
        screen = surface->screen;
    }
    // Outside the lock: the back-end may take its time talking to a server.
    if (rects.empty()) return TRUE;
    return screen->InvertPattern(rects.data(), rects.size(), rows) ? TRUE : FALSE;
}

}  // namespace gdi

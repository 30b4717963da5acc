#include "platform/gdi/plg_blt.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include "platform/gdi/objects.h"
#include "platform/gdi/parallelogram_blit.h"

namespace gdi {

using namespace internal;

namespace {

// The source surface's pixels as the engine reads them, with the logical
// coordinates of its pixel (0, 0).
struct SourceView {
    BlitSource pixels;
    POINT origin{0, 0};
    RGBQUAD monochrome[2]{};  // colours of a plain monochrome bitmap
};

void SetMasks(BlitSource& source, DWORD red, DWORD green, DWORD blue) {
    source.redMask = red;
    source.greenMask = green;
    source.blueMask = blue;
}

RGBQUAD Quad(COLORREF color) { return RGBQUAD{GetBValue(color), GetGValue(color), GetRValue(color), 0}; }

bool DescribeSource(ObjectTable& table, const SurfaceObject& surface, const SurfaceObject& destination,
                    SourceView* view) {
    BlitSource& s = view->pixels;
    if (surface.kind == SurfaceKind::OverMemory) {
        s = BlitSource{surface.memory, surface.memoryWidth, surface.memoryHeight, surface.memoryPitch, 32};
        SetMasks(s, 0xFF0000, 0xFF00, 0xFF);
        view->origin = surface.origin;
        return true;
    }
    if (surface.kind != SurfaceKind::Memory) return false;
    const BitmapObject* bitmap = table.FindBitmap(surface.bitmap);
    if (bitmap == nullptr || bitmap->pixels == nullptr) return false;
    s = BlitSource{bitmap->TopRow(), bitmap->width, bitmap->height, bitmap->Pitch(), bitmap->bitsPerPixel};
    const bool bitFields = bitmap->isDibSection && bitmap->header.biCompression == BI_BITFIELDS;
    switch (bitmap->bitsPerPixel) {
        case 1:
        case 4:
        case 8:
            if (!bitmap->colorTable.empty()) {
                s.colorTable = reinterpret_cast<const BYTE*>(bitmap->colorTable.data());
                s.colorCount = static_cast<int>(bitmap->colorTable.size());
            } else if (bitmap->bitsPerPixel == 1) {
                // A plain monochrome bitmap takes the destination's colours.
                view->monochrome[0] = Quad(destination.textColor);
                view->monochrome[1] = Quad(destination.backgroundColor);
                s.colorTable = reinterpret_cast<const BYTE*>(view->monochrome);
                s.colorCount = 2;
            } else {
                return false;  // a plain indexed bitmap has no colours to draw with
            }
            break;
        case 16:
            if (bitFields) {
                SetMasks(s, bitmap->masks[0], bitmap->masks[1], bitmap->masks[2]);
            } else {
                SetMasks(s, 0x7C00, 0x03E0, 0x001F);  // 5-5-5
            }
            break;
        case 32:
            if (bitFields) {
                SetMasks(s, bitmap->masks[0], bitmap->masks[1], bitmap->masks[2]);
            } else {
                SetMasks(s, 0xFF0000, 0xFF00, 0xFF);
            }
            break;
        default: break;  // 24 bits: blue, green, red
    }
    return true;
}

bool Overlaps(const BlitSource& source, const PixelView& target) {
    auto span = [](const BYTE* top, LONG pitch, LONG height) {
        const std::ptrdiff_t last = static_cast<std::ptrdiff_t>(height > 0 ? height - 1 : 0) * pitch;
        const BYTE* a = top + (last < 0 ? last : 0);
        const BYTE* b = top + (last > 0 ? last : 0) + (pitch < 0 ? -pitch : pitch);
        return std::pair{a, b};
    };
    const auto [s0, s1] = span(source.topRow, source.pitch, source.height);
    const auto [t0, t1] = span(target.topRow, target.pitch, target.height);
    return s0 < t1 && t0 < s1;
}

}  // namespace

BOOL PlgBlt(HDC destination, const POINT* points, HDC source, int srcX, int srcY, int width, int height, HBITMAP mask,
            int, int) {
    if (mask != nullptr || points == nullptr) return FALSE;
    ObjectTable& table = Objects();
    // Held for the whole draw: the bitmaps cannot go away under the engine.
    std::lock_guard lock(table.mutex);
    const SurfaceObject* target = table.FindSurface(destination);
    const SurfaceObject* from = table.FindSurface(source);
    if (target == nullptr || from == nullptr) return FALSE;
    const std::optional<PixelView> pixels = SurfacePixels(table, *target);
    if (!pixels.has_value()) return FALSE;
    SourceView view;
    if (!DescribeSource(table, *from, *target, &view)) return FALSE;
    if (pixels->width > 0 && pixels->height > 0 && view.pixels.width > 0 && view.pixels.height > 0 &&
        Overlaps(view.pixels, *pixels)) {
        return FALSE;  // the engine reads the source while it writes
    }

    Region32 area;
    if (!DrawableRegion(table, *target, SurfaceBounds(table, *target), &area)) return FALSE;
    const BlitFilter filter = target->stretchMode == HALFTONE ? BlitFilter::AreaAverage : BlitFilter::Nearest;
    BlitTarget blitTarget{pixels->topRow, pixels->width, pixels->height, pixels->pitch, pixels->origin};
    // Out-of-range results stay out of range, and the engine refuses them.
    auto toPixels = [](int logical, LONG origin) {
        return static_cast<LONG>(std::clamp<std::int64_t>(std::int64_t{logical} - origin, INT32_MIN, INT32_MAX));
    };
    const LONG x = toPixels(srcX, view.origin.x);
    const LONG y = toPixels(srcY, view.origin.y);

    int count = 0;
    const pixman_box32_t* boxes = area.Rects(&count);
    if (count == 0) {
        // Nothing to write (an empty surface or clip), but the request
        // itself is still checked, against an empty target.
        BYTE none = 0;
        const BlitTarget empty{&none, 0, 0, 0, pixels->origin, RECT{0, 0, 0, 0}};
        return BlitParallelogram(view.pixels, x, y, width, height, points, empty, filter);
    }
    for (int i = 0; i < count; ++i) {
        blitTarget.clip = RECT{boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2};
        if (!BlitParallelogram(view.pixels, x, y, width, height, points, blitTarget, filter)) {
            return FALSE;
        }
    }
    return TRUE;
}

}  // namespace gdi

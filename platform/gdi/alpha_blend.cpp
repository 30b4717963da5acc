#include "platform/gdi/alpha_blend.h"

#include <cstdint>

#include "platform/gdi/objects.h"

namespace gdi {

using namespace internal;

namespace {

BYTE Over(unsigned source, unsigned destination, unsigned constant, unsigned sourceAlpha) {
    // result = s * k + d * (1 - a * k), all in 0..255 with rounding.
    const unsigned scaled = (source * constant + 127) / 255;
    const unsigned coverage = (sourceAlpha * constant + 127) / 255;
    const unsigned value = scaled + (destination * (255 - coverage) + 127) / 255;
    return static_cast<BYTE>(value > 255 ? 255 : value);
}

}  // namespace

BOOL AlphaBlend(HDC destination, int x, int y, int width, int height, HDC source, int srcX, int srcY, int srcWidth,
                int srcHeight, BLENDFUNCTION blend) {
    if (blend.BlendOp != AC_SRC_OVER || (blend.AlphaFormat & ~AC_SRC_ALPHA) != 0) return FALSE;
    if (width != srcWidth || height != srcHeight || width < 0 || height < 0) return FALSE;
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    const SurfaceObject* target = table.FindSurface(destination);
    const SurfaceObject* from = table.FindSurface(source);
    if (target == nullptr || from == nullptr || target == from) return FALSE;
    const std::optional<PixelView> to = SurfacePixels(table, *target);
    const std::optional<PixelView> in = SurfacePixels(table, *from);
    if (!to.has_value() || !in.has_value()) return FALSE;
    const RECT sourceBounds = SurfaceBounds(table, *from);
    if (std::int64_t{srcX} < sourceBounds.left || std::int64_t{srcY} < sourceBounds.top ||
        std::int64_t{srcX} + width > sourceBounds.right || std::int64_t{srcY} + height > sourceBounds.bottom) {
        return FALSE;
    }
    if (width == 0 || height == 0) return TRUE;
    const std::int64_t right = std::int64_t{x} + width;
    const std::int64_t bottom = std::int64_t{y} + height;
    if (right > INT32_MAX || bottom > INT32_MAX) return FALSE;
    Region32 area;
    if (!DrawableRegion(table, *target, RECT{x, y, static_cast<LONG>(right), static_cast<LONG>(bottom)}, &area)) {
        return FALSE;
    }
    const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    const unsigned constant = blend.SourceConstantAlpha;
    int count = 0;
    const pixman_box32_t* boxes = area.Rects(&count);
    for (int i = 0; i < count; ++i) {
        for (LONG row = boxes[i].y1; row < boxes[i].y2; ++row) {
            BYTE* out = to->topRow + static_cast<std::ptrdiff_t>(row - to->origin.y) * to->pitch;
            const BYTE* src = in->topRow + static_cast<std::ptrdiff_t>(row - y + srcY - in->origin.y) * in->pitch;
            for (LONG column = boxes[i].x1; column < boxes[i].x2; ++column) {
                BYTE* d = out + static_cast<std::ptrdiff_t>(column - to->origin.x) * 4;
                const BYTE* s = src + static_cast<std::ptrdiff_t>(column - x + srcX - in->origin.x) * 4;
                const unsigned alpha = perPixel ? s[3] : 255;
                for (int c = 0; c < 3; ++c) d[c] = Over(s[c], d[c], constant, alpha);
            }
        }
    }
    return TRUE;
}

}  // namespace gdi

#include "platform/gdi/brushes.h"

#include <new>

#include "platform/gdi/objects.h"

namespace gdi {

using namespace internal;

HBRUSH CreateSolidBrush(COLORREF color) {
    if ((color & 0xFF000000u) != 0) return nullptr;
    ObjectTable& table = Objects();
    try {
        auto brush = std::make_unique<BrushObject>();
        brush->style = BS_SOLID;
        brush->color = color;
        std::lock_guard lock(table.mutex);
        return static_cast<HBRUSH>(table.Add(OBJ_BRUSH, std::move(brush)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    const BitmapObject* source = table.FindBitmap(bitmap);
    if (source == nullptr || source->isDibSection || source->bitsPerPixel != 1) return nullptr;
    try {
        auto brush = std::make_unique<BrushObject>();
        brush->style = BS_PATTERN;
        brush->patternWidth = source->width;
        brush->patternHeight = source->height;
        brush->patternSource = bitmap;
        brush->pattern.resize(static_cast<std::size_t>(source->width) * source->height);
        for (LONG y = 0; y < source->height; ++y) {
            const BYTE* row = source->pixels.get() + static_cast<std::size_t>(y) * source->stride;
            for (LONG x = 0; x < source->width; ++x) {
                // Most significant bit first.
                brush->pattern[static_cast<std::size_t>(y) * source->width + x] = (row[x / 8] >> (7 - x % 8)) & 1;
            }
        }
        return static_cast<HBRUSH>(table.Add(OBJ_BRUSH, std::move(brush)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace gdi

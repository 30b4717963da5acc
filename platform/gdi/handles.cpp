#include "platform/gdi/handles.h"

#include <cstring>

#include "platform/gdi/gdi_testing.h"
#include "platform/gdi/objects.h"

namespace gdi {

using namespace internal;

DWORD GetObjectType(HGDIOBJ object) {
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    DWORD type = 0;
    return table.Find(object, &type) != nullptr ? type : 0;
}

BOOL DeleteObject(HGDIOBJ object) {
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    DWORD type = 0;
    bool stock = false;
    Object* found = table.Find(object, &type, &stock);
    if (found == nullptr) return FALSE;
    if (stock) return TRUE;  // permanent; deleting one is harmless
    switch (type) {
        case OBJ_BITMAP:
            // Its pixels are in use by the surface it is selected into.
            if (static_cast<BitmapObject*>(found)->selectedInto != nullptr) return FALSE;
            break;
        case OBJ_BRUSH:
            if (static_cast<BrushObject*>(found)->selections > 0) return FALSE;
            break;
        case OBJ_REGION:
        case OBJ_FONT: break;
        default: return FALSE;  // surfaces go through DeleteDC or ReleaseDC
    }
    table.Remove(object);
    return TRUE;
}

namespace {

BITMAP DescribeBitmap(const BitmapObject& bitmap) {
    BITMAP description{};
    description.bmType = 0;
    description.bmWidth = bitmap.width;
    description.bmHeight = bitmap.height;
    description.bmWidthBytes = bitmap.stride;
    description.bmPlanes = 1;
    description.bmBitsPixel = static_cast<WORD>(bitmap.bitsPerPixel);
    // Only a DIB section's pixels are the caller's to address.
    description.bmBits = bitmap.isDibSection ? bitmap.pixels.get() : nullptr;
    return description;
}

int Describe(const BitmapObject& bitmap, int size, void* buffer) {
    if (bitmap.isDibSection && (buffer == nullptr || size >= int{sizeof(DIBSECTION)})) {
        if (buffer == nullptr) return sizeof(DIBSECTION);
        DIBSECTION section{};
        section.dsBm = DescribeBitmap(bitmap);
        section.dsBmih = bitmap.header;
        std::memcpy(section.dsBitfields, bitmap.masks, sizeof section.dsBitfields);
        section.dshSection = nullptr;
        section.dsOffset = 0;
        std::memcpy(buffer, &section, sizeof section);
        return sizeof(DIBSECTION);
    }
    if (buffer == nullptr) return sizeof(BITMAP);
    if (size < int{sizeof(BITMAP)}) return 0;
    const BITMAP description = DescribeBitmap(bitmap);
    std::memcpy(buffer, &description, sizeof description);
    return sizeof(BITMAP);
}

int Describe(const BrushObject& brush, int size, void* buffer) {
    if (buffer == nullptr) return sizeof(LOGBRUSH);
    if (size < int{sizeof(LOGBRUSH)}) return 0;
    LOGBRUSH description{};
    description.lbStyle = brush.style;
    description.lbColor = brush.style == BS_PATTERN ? 0 : brush.color;
    description.lbHatch = reinterpret_cast<ULONG_PTR>(brush.patternSource);
    std::memcpy(buffer, &description, sizeof description);
    return sizeof(LOGBRUSH);
}

int Describe(const FontObject& font, int size, void* buffer) {
    if (buffer == nullptr) return sizeof(LOGFONTA);
    if (size < int{sizeof(LOGFONTA)}) return 0;
    std::memcpy(buffer, &font.description, sizeof(LOGFONTA));
    return sizeof(LOGFONTA);
}

}  // namespace

int GetObjectA(HGDIOBJ object, int size, void* buffer) {
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    if (buffer != nullptr && size <= 0) return 0;
    DWORD type = 0;
    Object* found = table.Find(object, &type);
    if (found == nullptr) return 0;
    switch (type) {
        case OBJ_BITMAP: return Describe(*static_cast<BitmapObject*>(found), size, buffer);
        case OBJ_BRUSH: return Describe(*static_cast<BrushObject*>(found), size, buffer);
        case OBJ_FONT: return Describe(*static_cast<FontObject*>(found), size, buffer);
        default: return 0;
    }
}

HGDIOBJ GetStockObject(int index) {
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    return table.StockObject(index);
}

long LiveObjectCount(DWORD objectType) {
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    return table.LiveCount(objectType);
}

}  // namespace gdi

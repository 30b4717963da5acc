#include "platform/gdi/objects.h"

#include <new>

#include "platform/gdi/screen.h"

namespace gdi::internal {
namespace {

// The kind tag of drawing-object handles, apart from the windowing
// service's.
constexpr unsigned objectTag = 0x47;

std::unique_ptr<BrushObject> SolidBrush(COLORREF color, UINT style = BS_SOLID) {
    auto brush = std::make_unique<BrushObject>();
    brush->style = style;
    brush->color = color;
    return brush;
}

}  // namespace

ObjectTable::ObjectTable() : entries_(objectTag) {
    whiteBrush_ = static_cast<HBRUSH>(AddStock(OBJ_BRUSH, SolidBrush(RGB(255, 255, 255))));
    blackBrush_ = static_cast<HBRUSH>(AddStock(OBJ_BRUSH, SolidBrush(RGB(0, 0, 0))));
    nullBrush_ = static_cast<HBRUSH>(AddStock(OBJ_BRUSH, SolidBrush(0, BS_NULL)));
    // The 1 x 1 monochrome bitmap every new memory surface starts with.
    auto bitmap = std::make_unique<BitmapObject>();
    bitmap->width = 1;
    bitmap->height = 1;
    bitmap->bitsPerPixel = 1;
    bitmap->stride = 2;
    bitmap->pixels.reset(static_cast<BYTE*>(std::calloc(1, 2)));
    defaultBitmap_ = static_cast<HBITMAP>(AddStock(OBJ_BITMAP, std::move(bitmap)));
}

HGDIOBJ ObjectTable::AddEntry(DWORD type, bool stock, std::unique_ptr<Object> object) {
    try {
        auto entry = std::make_shared<Entry>();
        entry->type = type;
        entry->stock = stock;
        entry->object = std::move(object);
        return entries_.Add(std::move(entry));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HGDIOBJ ObjectTable::Add(DWORD type, std::unique_ptr<Object> object) {
    const HGDIOBJ handle = AddEntry(type, false, std::move(object));
    if (handle != nullptr) ++live_[type];
    return handle;
}

HGDIOBJ ObjectTable::AddStock(DWORD type, std::unique_ptr<Object> object) {
    return AddEntry(type, true, std::move(object));
}

Object* ObjectTable::Find(HGDIOBJ handle, DWORD* type, bool* stock) {
    const Entry* entry = entries_.Find(handle);
    if (entry == nullptr) return nullptr;
    if (type != nullptr) *type = entry->type;
    if (stock != nullptr) *stock = entry->stock;
    return entry->object.get();
}

void ObjectTable::Remove(HGDIOBJ handle) {
    const Entry* entry = entries_.Find(handle);
    if (entry == nullptr || entry->stock) return;
    --live_[entry->type];
    try {
        entries_.Remove(handle);
    } catch (const std::bad_alloc&) {
        // The handle has ended already; only its slot is not reused.
    }
}

long ObjectTable::LiveCount(DWORD type) const { return type < 16 ? live_[type] : 0; }

namespace {

// The live object of handle when its type is one of those wanted.
template <typename Kind>
Kind* FindOfType(ObjectTable& table, HGDIOBJ handle, DWORD wanted, DWORD alsoWanted = 0) {
    DWORD type = 0;
    Object* object = table.Find(handle, &type);
    return type != 0 && (type == wanted || type == alsoWanted) ? static_cast<Kind*>(object) : nullptr;
}

}  // namespace

BitmapObject* ObjectTable::FindBitmap(HGDIOBJ handle) { return FindOfType<BitmapObject>(*this, handle, OBJ_BITMAP); }
BrushObject* ObjectTable::FindBrush(HGDIOBJ handle) { return FindOfType<BrushObject>(*this, handle, OBJ_BRUSH); }
RegionObject* ObjectTable::FindRegion(HGDIOBJ handle) { return FindOfType<RegionObject>(*this, handle, OBJ_REGION); }
FontObject* ObjectTable::FindFont(HGDIOBJ handle) { return FindOfType<FontObject>(*this, handle, OBJ_FONT); }
SurfaceObject* ObjectTable::FindSurface(HDC handle) {
    return FindOfType<SurfaceObject>(*this, handle, OBJ_DC, OBJ_MEMDC);
}

HGDIOBJ ObjectTable::StockObject(int index) const {
    switch (index) {
        case WHITE_BRUSH: return whiteBrush_;
        case BLACK_BRUSH: return blackBrush_;
        case NULL_BRUSH: return nullBrush_;
        default: return nullptr;
    }
}

bool ObjectTable::IsStock(HGDIOBJ handle) {
    const Entry* entry = entries_.Find(handle);
    return entry != nullptr && entry->stock;
}

ObjectTable& Objects() {
    static ObjectTable* const table = new ObjectTable;
    return *table;
}

std::optional<PixelView> SurfacePixels(ObjectTable& table, const SurfaceObject& surface) {
    switch (surface.kind) {
        case SurfaceKind::Memory: {
            const BitmapObject* bitmap = table.FindBitmap(surface.bitmap);
            if (bitmap == nullptr || bitmap->bitsPerPixel != 32 || bitmap->pixels == nullptr) {
                return std::nullopt;
            }
            return PixelView{bitmap->TopRow(), bitmap->width, bitmap->height, bitmap->Pitch(), {0, 0}};
        }
        case SurfaceKind::OverMemory:
            return PixelView{surface.memory, surface.memoryWidth, surface.memoryHeight, surface.memoryPitch,
                             surface.origin};
        case SurfaceKind::Screen: return std::nullopt;
    }
    return std::nullopt;
}

RECT SurfaceBounds(ObjectTable& table, const SurfaceObject& surface) {
    switch (surface.kind) {
        case SurfaceKind::Memory:
            if (const BitmapObject* bitmap = table.FindBitmap(surface.bitmap)) {
                return RECT{0, 0, bitmap->width, bitmap->height};
            }
            return RECT{0, 0, 0, 0};
        case SurfaceKind::OverMemory:
            return RECT{surface.origin.x, surface.origin.y, surface.origin.x + surface.memoryWidth,
                        surface.origin.y + surface.memoryHeight};
        case SurfaceKind::Screen: return surface.screen != nullptr ? surface.screen->Bounds() : RECT{0, 0, 0, 0};
    }
    return RECT{0, 0, 0, 0};
}

bool DrawableRegion(ObjectTable& table, const SurfaceObject& surface, const RECT& rect, Region32* out) {
    const Region32 bounds(SurfaceBounds(table, surface));
    const Region32 wanted(rect);
    if (!out->Combine(bounds, wanted, RGN_AND)) return false;
    if (surface.clip.has_value() && !out->Combine(*out, *surface.clip, RGN_AND)) return false;
    return true;
}

}  // namespace gdi::internal

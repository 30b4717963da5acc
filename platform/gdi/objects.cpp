#include "platform/gdi/objects.h"

#include <new>

#include "platform/gdi/screen.h"

namespace gdi::internal {
namespace {

// Handle values: the slot's generation in the upper half, (index + 1) << 4
// in the lower, so that a handle is never null, never a plausible address
// and never equal to a handle of an earlier object in the same slot.
constexpr unsigned indexShift = 4;

HGDIOBJ MakeHandle(std::uint32_t index, std::uint32_t generation) {
    const std::uint64_t value = (std::uint64_t{generation} << 32) | (std::uint64_t{index + 1} << indexShift);
    return reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(value));
}

std::unique_ptr<BrushObject> SolidBrush(COLORREF color, UINT style = BS_SOLID) {
    auto brush = std::make_unique<BrushObject>();
    brush->style = style;
    brush->color = color;
    return brush;
}

}  // namespace

ObjectTable::ObjectTable() {
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

HGDIOBJ ObjectTable::Add(DWORD type, std::unique_ptr<Object> object) {
    try {
        std::uint32_t index;
        if (!freeSlots_.empty()) {
            index = freeSlots_.back();
            freeSlots_.pop_back();
        } else {
            slots_.emplace_back();
            index = static_cast<std::uint32_t>(slots_.size() - 1);
        }
        Slot& slot = slots_[index];
        slot.type = type;
        slot.stock = false;
        slot.object = std::move(object);
        ++live_[type];
        return MakeHandle(index, slot.generation);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HGDIOBJ ObjectTable::AddStock(DWORD type, std::unique_ptr<Object> object) {
    slots_.emplace_back();
    Slot& slot = slots_.back();
    slot.type = type;
    slot.stock = true;
    slot.object = std::move(object);
    return MakeHandle(static_cast<std::uint32_t>(slots_.size() - 1), slot.generation);
}

ObjectTable::Slot* ObjectTable::SlotOf(HGDIOBJ handle) {
    const auto value = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(handle));
    const std::uint64_t low = value & 0xFFFFFFFFu;
    if (low == 0 || (low & ((1u << indexShift) - 1)) != 0) return nullptr;
    const std::uint64_t index = (low >> indexShift) - 1;
    if (index >= slots_.size()) return nullptr;
    Slot& slot = slots_[index];
    if (slot.type == 0 || slot.generation != (value >> 32)) return nullptr;
    return &slot;
}

Object* ObjectTable::Find(HGDIOBJ handle, DWORD* type, bool* stock) {
    Slot* slot = SlotOf(handle);
    if (slot == nullptr) return nullptr;
    if (type != nullptr) *type = slot->type;
    if (stock != nullptr) *stock = slot->stock;
    return slot->object.get();
}

void ObjectTable::Remove(HGDIOBJ handle) {
    Slot* slot = SlotOf(handle);
    if (slot == nullptr || slot->stock) return;
    --live_[slot->type];
    slot->object.reset();
    slot->type = 0;
    // Generation 0 never appears in a handle, which keeps handles non-null.
    if (++slot->generation == 0) slot->generation = 1;
    try {
        freeSlots_.push_back(static_cast<std::uint32_t>(slot - slots_.data()));
    } catch (const std::bad_alloc&) {
        // The slot is simply not reused.
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
    Slot* slot = SlotOf(handle);
    return slot != nullptr && slot->stock;
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

#include "platform/gdi/regions.h"

#include <new>

#include "platform/gdi/objects.h"

namespace gdi {

using namespace internal;

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    ObjectTable& table = Objects();
    try {
        auto region = std::make_unique<RegionObject>();
        Region32 rect(RECT{left, top, right, bottom});
        region->region.Swap(rect);
        std::lock_guard lock(table.mutex);
        return static_cast<HRGN>(table.Add(OBJ_REGION, std::move(region)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
    if (rect == nullptr) return nullptr;
    return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

int CombineRgn(HRGN destination, HRGN source1, HRGN source2, int mode) {
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    RegionObject* target = table.FindRegion(destination);
    const RegionObject* a = table.FindRegion(source1);
    const RegionObject* b = mode == RGN_COPY ? a : table.FindRegion(source2);
    if (target == nullptr || a == nullptr || b == nullptr) return ERROR;
    if (mode < RGN_AND || mode > RGN_COPY) return ERROR;
    if (!target->region.Combine(a->region, b->region, mode)) return ERROR;
    return target->region.Type();
}

int GetRgnBox(HRGN region, RECT* box) {
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    const RegionObject* found = table.FindRegion(region);
    if (found == nullptr || box == nullptr) return ERROR;
    *box = found->region.Box();
    return found->region.Type();
}

}  // namespace gdi

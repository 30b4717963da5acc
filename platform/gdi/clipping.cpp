#include "platform/gdi/clipping.h"

#include "platform/gdi/objects.h"

namespace gdi {

using namespace internal;

namespace {

// The type and box of what the surface can draw; ERROR when out of memory.
int DrawableArea(ObjectTable& table, const SurfaceObject& surface, RECT* box) {
    Region32 area;
    const RECT bounds = SurfaceBounds(table, surface);
    if (!DrawableRegion(table, surface, bounds, &area)) return ERROR;
    if (box != nullptr) *box = area.Box();
    return area.Type();
}

}  // namespace

namespace internal {

int SelectClip(ObjectTable& table, SurfaceObject& surface, HRGN region) {
    if (region == nullptr) {
        surface.clip.reset();
        return DrawableArea(table, surface, nullptr);
    }
    const RegionObject* source = table.FindRegion(region);
    if (source == nullptr) return ERROR;
    // Copy first, so that a failure keeps the clip the surface had.
    Region32 copy;
    if (!copy.CopyFrom(source->region)) return ERROR;
    if (!surface.clip.has_value()) surface.clip.emplace();
    surface.clip->Swap(copy);
    return DrawableArea(table, surface, nullptr);
}

}  // namespace internal

int SelectClipRgn(HDC dc, HRGN region) {
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    SurfaceObject* surface = table.FindSurface(dc);
    if (surface == nullptr) return ERROR;
    return SelectClip(table, *surface, region);
}

int GetClipBox(HDC dc, RECT* box) {
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    const SurfaceObject* surface = table.FindSurface(dc);
    if (surface == nullptr || box == nullptr) return ERROR;
    return DrawableArea(table, *surface, box);
}

}  // namespace gdi

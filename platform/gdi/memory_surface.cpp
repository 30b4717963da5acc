#include "platform/gdi/memory_surface.h"

#include <cstdint>
#include <new>

#include "platform/gdi/objects.h"

namespace gdi {

using namespace internal;

HDC CreateSurfaceOverMemory(BYTE* topRow, LONG width, LONG height, LONG pitch, POINT origin) {
    // Keeps origin + size, and every offset computed from them, in range.
    constexpr LONG limit = LONG{1} << 27;
    if (width < 0 || height < 0 || width > limit || height > limit) return nullptr;
    if (origin.x < -limit || origin.x > limit || origin.y < -limit || origin.y > limit) {
        return nullptr;
    }
    if (width > 0 && height > 0) {
        const std::int64_t magnitude = pitch < 0 ? -std::int64_t{pitch} : pitch;
        if (topRow == nullptr || magnitude < std::int64_t{width} * 4) return nullptr;
    }
    ObjectTable& table = Objects();
    try {
        auto surface = std::make_unique<SurfaceObject>();
        surface->kind = SurfaceKind::OverMemory;
        surface->memory = topRow;
        surface->memoryWidth = width;
        surface->memoryHeight = height;
        surface->memoryPitch = pitch;
        surface->origin = origin;
        std::lock_guard lock(table.mutex);
        return AddSurface(table, OBJ_DC, std::move(surface));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace gdi

#include "platform/gdi/screen.h"

#include <mutex>
#include <new>

#include "platform/gdi/objects.h"

namespace gdi {

using namespace internal;

namespace {

struct InstalledBackend {
    std::mutex mutex;
    std::shared_ptr<ScreenBackend> backend;
};

InstalledBackend& Installed() {
    // Never destroyed: surfaces may be released while the process ends.
    static InstalledBackend* const installed = new InstalledBackend;
    return *installed;
}

}  // namespace

void SetScreenBackend(std::shared_ptr<ScreenBackend> backend) {
    InstalledBackend& installed = Installed();
    std::lock_guard lock(installed.mutex);
    installed.backend = std::move(backend);
}

std::shared_ptr<ScreenBackend> CurrentScreenBackend() {
    InstalledBackend& installed = Installed();
    std::lock_guard lock(installed.mutex);
    return installed.backend;
}

HDC GetDC(std::nullptr_t) {
    std::shared_ptr<ScreenBackend> backend = CurrentScreenBackend();
    if (backend == nullptr) return nullptr;
    ObjectTable& table = Objects();
    try {
        auto surface = std::make_unique<SurfaceObject>();
        surface->kind = SurfaceKind::Screen;
        surface->screen = std::move(backend);
        std::lock_guard lock(table.mutex);
        return AddSurface(table, OBJ_DC, std::move(surface));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

int ReleaseDC(std::nullptr_t, HDC dc) {
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    const SurfaceObject* surface = table.FindSurface(dc);
    if (surface == nullptr || surface->kind != SurfaceKind::Screen) return 0;
    DestroySurface(table, dc);
    return 1;
}

}  // namespace gdi

#include <memory>
#include <mutex>
#include <new>

#include "platform/handle_table.h"
#include "platform/imaging/image_object.h"
#include "platform/imaging/imaging_testing.h"

namespace gdiplus {
namespace {

constexpr unsigned imageTag = 0x69;
constexpr unsigned graphicsTag = 0x67;

// The library may be called from any thread.
struct Registry {
    std::mutex mutex;
    platform::CHandleTable<GpImage*, BitmapObject> images{imageTag};
    platform::CHandleTable<GpGraphics*, GraphicsObject> graphics{graphicsTag};
};

Registry& State() {
    static Registry registry;
    return registry;
}

}  // namespace

GpImage* AddImage(std::shared_ptr<BitmapObject> image) {
    Registry& r = State();
    std::lock_guard lock(r.mutex);
    return r.images.Add(std::move(image));
}

void RemoveImage(GpImage* image) {
    Registry& r = State();
    std::lock_guard lock(r.mutex);
    r.images.Remove(image);
}

GpGraphics* AddGraphics(std::shared_ptr<GraphicsObject> graphics) {
    Registry& r = State();
    std::lock_guard lock(r.mutex);
    return r.graphics.Add(std::move(graphics));
}

void RemoveGraphics(GpGraphics* graphics) {
    Registry& r = State();
    std::lock_guard lock(r.mutex);
    r.graphics.Remove(graphics);
}

BitmapObject* LiveBitmap(GpImage* image) {
    Registry& r = State();
    std::lock_guard lock(r.mutex);
    return r.images.Find(image);
}

GraphicsObject* LiveGraphics(GpGraphics* graphics) {
    Registry& r = State();
    std::lock_guard lock(r.mutex);
    return r.graphics.Find(graphics);
}

Status MakeBitmap(Raster pixels, const GUID& rawFormat, GpBitmap** bitmap) {
    try {
        auto made = std::make_shared<BitmapObject>(std::move(pixels));
        made->rawFormat = rawFormat;
        GpImage* handle = AddImage(std::move(made));
        if (handle == nullptr) return OutOfMemory;
        // A bitmap's handle is its image handle: GpBitmap adds nothing to GpImage.
        *bitmap = static_cast<GpBitmap*>(handle);
        return Ok;
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

size_t LiveImageCount() {
    Registry& r = State();
    std::lock_guard lock(r.mutex);
    return r.images.Count();
}

size_t LiveGraphicsCount() {
    Registry& r = State();
    std::lock_guard lock(r.mutex);
    return r.graphics.Count();
}

}  // namespace gdiplus

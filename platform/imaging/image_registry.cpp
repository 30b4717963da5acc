#include <memory>
#include <mutex>
#include <new>
#include <unordered_set>

#include "platform/imaging/image_object.h"
#include "platform/imaging/imaging_testing.h"

namespace gdiplus {
namespace {

struct Registry {
    std::mutex mutex;
    std::unordered_set<const GpImage*> images;
    std::unordered_set<const GpGraphics*> graphics;
    unsigned long long lastSerial = 0;
};

Registry& State() {
    static Registry registry;
    return registry;
}

}  // namespace

void RegisterImage(BitmapObject* image) {
    Registry& r = State();
    std::lock_guard lock(r.mutex);
    r.images.insert(image);
    image->serial = ++r.lastSerial;
}

void UnregisterImage(GpImage* image) {
    Registry& r = State();
    std::lock_guard lock(r.mutex);
    r.images.erase(image);
}

void RegisterGraphics(GraphicsObject* graphics) {
    Registry& r = State();
    std::lock_guard lock(r.mutex);
    r.graphics.insert(graphics);
}

void UnregisterGraphics(GpGraphics* graphics) {
    Registry& r = State();
    std::lock_guard lock(r.mutex);
    r.graphics.erase(graphics);
}

BitmapObject* LiveBitmap(GpImage* image) {
    if (image == nullptr) return nullptr;
    Registry& r = State();
    {
        std::lock_guard lock(r.mutex);
        if (r.images.count(image) == 0) return nullptr;
    }
    return dynamic_cast<BitmapObject*>(image);
}

GraphicsObject* LiveGraphics(GpGraphics* graphics) {
    if (graphics == nullptr) return nullptr;
    Registry& r = State();
    {
        std::lock_guard lock(r.mutex);
        if (r.graphics.count(graphics) == 0) return nullptr;
    }
    return dynamic_cast<GraphicsObject*>(graphics);
}

Status MakeBitmap(Raster pixels, const GUID& rawFormat, GpBitmap** bitmap) {
    try {
        std::unique_ptr<BitmapObject> made(new BitmapObject(std::move(pixels)));
        made->rawFormat = rawFormat;
        RegisterImage(made.get());
        *bitmap = made.release();
        return Ok;
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

size_t LiveImageCount() {
    Registry& r = State();
    std::lock_guard lock(r.mutex);
    return r.images.size();
}

size_t LiveGraphicsCount() {
    Registry& r = State();
    std::lock_guard lock(r.mutex);
    return r.graphics.size();
}

}  // namespace gdiplus

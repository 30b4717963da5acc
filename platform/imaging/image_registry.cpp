#include <memory>
#include <mutex>
#include <new>

#include "platform/handle_table.h"
#include "platform/imaging/image_object.h"
#include "platform/imaging/imaging_testing.h"
#include "platform/imaging/startup.h"

namespace gdiplus {
namespace {

constexpr unsigned imageTag = 0x69;
constexpr unsigned graphicsTag = 0x67;

// A handle table the library's callers may use from any thread.
template <typename Handle, typename Object>
class CLockedTable {
public:
    explicit CLockedTable(unsigned tag) : table_(tag) {}
    Handle Add(std::shared_ptr<Object> object) {
        std::lock_guard lock(mutex_);
        return table_.Add(std::move(object));
    }
    void Remove(Handle handle) {
        std::lock_guard lock(mutex_);
        table_.Remove(handle);
    }
    Object* Find(Handle handle) {
        std::lock_guard lock(mutex_);
        return table_.Find(handle);
    }
    size_t Count() {
        std::lock_guard lock(mutex_);
        return table_.Count();
    }

private:
    std::mutex mutex_;
    platform::CHandleTable<Handle, Object> table_;
};

CLockedTable<GpImage*, BitmapObject>& Images() {
    static CLockedTable<GpImage*, BitmapObject> images(imageTag);
    return images;
}

CLockedTable<GpGraphics*, GraphicsObject>& Graphics() {
    static CLockedTable<GpGraphics*, GraphicsObject> graphics(graphicsTag);
    return graphics;
}

}  // namespace

GpImage* AddImage(std::shared_ptr<BitmapObject> image) { return Images().Add(std::move(image)); }
void RemoveImage(GpImage* image) { Images().Remove(image); }
GpGraphics* AddGraphics(std::shared_ptr<GraphicsObject> graphics) { return Graphics().Add(std::move(graphics)); }
void RemoveGraphics(GpGraphics* graphics) { Graphics().Remove(graphics); }
BitmapObject* LiveBitmap(GpImage* image) { return Images().Find(image); }
GraphicsObject* LiveGraphics(GpGraphics* graphics) { return Graphics().Find(graphics); }

BitmapObject* CheckedBitmap(GpImage* image, Status* status) {
    if (!IsStarted()) {
        *status = GdiplusNotInitialized;
        return nullptr;
    }
    BitmapObject* bitmap = LiveBitmap(image);
    *status = bitmap != nullptr ? Ok : InvalidParameter;
    return bitmap;
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

size_t LiveImageCount() { return Images().Count(); }
size_t LiveGraphicsCount() { return Graphics().Count(); }

}  // namespace gdiplus

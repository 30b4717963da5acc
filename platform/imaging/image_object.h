#pragma once
// Library-internal: what the image and graphics handles point to, and the
// registry through which every call checks the handle it is given.

#include <memory>

#include "platform/imaging/guid.h"
#include "platform/imaging/raster.h"
#include "platform/imaging/records.h"

namespace gdiplus {

class BitmapObject final : public GpBitmap {
public:
    explicit BitmapObject(Raster pixels) : raster(std::move(pixels)) {}

    struct Lock {
        bool active = false;
        Rect rect{};
        UINT flags = 0;
        PixelFormat format = PixelFormatUndefined;
        BYTE* scan0 = nullptr;  // what the caller was given
        INT stride = 0;
        std::unique_ptr<BYTE, FreeDeleter> converted;  // null when scan0 is the bitmap's own
        bool userBuffer = false;
    };

    Raster raster;
    Lock lock;
    GUID rawFormat = GUID_NULL;
    // Unique over the process's life, so that a handle kept elsewhere can
    // tell its image from a later one made at the same address.
    unsigned long long serial = 0;
};

class GraphicsObject final : public GpGraphics {
public:
    GraphicsObject(BitmapObject* target, unsigned long long targetSerial)
        : target(target), targetSerial(targetSerial) {}
    BitmapObject* target;
    unsigned long long targetSerial;
};

struct ImageDeleter {
    void operator()(GpImage* image) const { delete image; }
};
struct GraphicsDeleter {
    void operator()(GpGraphics* graphics) const { delete graphics; }
};

// Every object made is registered until it is deleted; the calls refuse
// handles that are not.
void RegisterImage(BitmapObject* image);
void UnregisterImage(GpImage* image);
void RegisterGraphics(GraphicsObject* graphics);
void UnregisterGraphics(GpGraphics* graphics);

// The live object behind a handle, or null when the handle is null, stale
// or of another kind.
BitmapObject* LiveBitmap(GpImage* image);
GraphicsObject* LiveGraphics(GpGraphics* graphics);

// Registers a new bitmap over pixels; OutOfMemory when the object cannot be
// made.
Status MakeBitmap(Raster pixels, const GUID& rawFormat, GpBitmap** bitmap);

}  // namespace gdiplus

#pragma once
// Library-internal: what the image and graphics handles stand for, and the
// tables through which every call checks the handle it is given.

#include <memory>

#include "platform/imaging/guid.h"
#include "platform/imaging/raster.h"
#include "platform/imaging/records.h"

namespace gdiplus {

class BitmapObject {
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
};

// A graphics holds its target by handle: once the target is disposed of,
// drawing fails instead of reaching it.
struct GraphicsObject {
    GpImage* target;
};

// Every object made is kept in a table until it is deleted; the calls
// refuse handles that name no live object.
GpImage* AddImage(std::shared_ptr<BitmapObject> image);
void RemoveImage(GpImage* image);
GpGraphics* AddGraphics(std::shared_ptr<GraphicsObject> graphics);
void RemoveGraphics(GpGraphics* graphics);

// The live object behind a handle, or null when the handle is null, stale
// or of another kind.
BitmapObject* LiveBitmap(GpImage* image);
GraphicsObject* LiveGraphics(GpGraphics* graphics);
// The same after checking that the library is started; null with the
// status a call returns (GdiplusNotInitialized, InvalidParameter).
BitmapObject* CheckedBitmap(GpImage* image, Status* status);

// One value of a checked bitmap, as every getter returns it.
template <typename T, typename Read>
Status ReadValue(GpImage* image, T* value, Read read) {
    Status status;
    const BitmapObject* bitmap = CheckedBitmap(image, &status);
    if (bitmap == nullptr) return status;
    if (value == nullptr) return InvalidParameter;
    *value = read(*bitmap);
    return Ok;
}

// Registers a new bitmap over pixels; OutOfMemory when the object cannot be
// made.
Status MakeBitmap(Raster pixels, const GUID& rawFormat, GpBitmap** bitmap);

}  // namespace gdiplus

#include "platform/imaging/bitmap.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/imaging/image_object.h"
#include "platform/imaging/imaging_testing.h"
#include "platform/imaging/startup.h"

namespace gdiplus {

Status GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0,
                                 GpBitmap** bitmap) {
    if (!IsStarted()) return GdiplusNotInitialized;
    if (bitmap == nullptr) return InvalidParameter;
    *bitmap = nullptr;
    if (width <= 0 || height <= 0 || !IsSupportedPixelFormat(format)) return InvalidParameter;

    Raster pixels;
    if (scan0 == nullptr) {
        if (Status s = Raster::Allocate(static_cast<UINT>(width), static_cast<UINT>(height), format, true, &pixels);
            s != Ok) {
            return s;
        }
    } else {
        long long magnitude = stride < 0 ? -static_cast<long long>(stride) : stride;
        size_t rowBytes = PackedRowBytes(static_cast<UINT>(width), format);
        if (magnitude % 4 != 0 || static_cast<unsigned long long>(magnitude) < rowBytes) {
            return InvalidParameter;
        }
        pixels = Raster::Wrap(static_cast<UINT>(width), static_cast<UINT>(height), format, scan0, stride);
    }
    return MakeBitmap(std::move(pixels), ImageFormatMemoryBMP, bitmap);
}

Status GdipGetImagePixelFormat(GpImage* image, PixelFormat* format) {
    return ReadValue(image, format, [](const BitmapObject& b) { return b.raster.Format(); });
}

Status GdipGetImageWidth(GpImage* image, UINT* width) {
    return ReadValue(image, width, [](const BitmapObject& b) { return b.raster.Width(); });
}

Status GdipGetImageHeight(GpImage* image, UINT* height) {
    return ReadValue(image, height, [](const BitmapObject& b) { return b.raster.Height(); });
}

Status GdipGetImageRawFormat(GpImage* image, GUID* format) {
    return ReadValue(image, format, [](const BitmapObject& b) { return b.rawFormat; });
}

namespace {

constexpr size_t paletteHeaderBytes = offsetof(ColorPalette, Entries);

size_t PaletteBytes(size_t count) {
    size_t bytes = paletteHeaderBytes + count * sizeof(ARGB);
    return bytes < sizeof(ColorPalette) ? sizeof(ColorPalette) : bytes;
}

}  // namespace

Status GdipGetImagePaletteSize(GpImage* image, INT* size) {
    return ReadValue(image, size,
                     [](const BitmapObject& b) { return static_cast<INT>(PaletteBytes(b.raster.palette.size())); });
}

Status GdipGetImagePalette(GpImage* image, ColorPalette* palette, INT size) {
    Status status;
    BitmapObject* bitmap = CheckedBitmap(image, &status);
    if (bitmap == nullptr) return status;
    if (palette == nullptr || size < 0) return InvalidParameter;
    const Raster& raster = bitmap->raster;
    size_t count = raster.palette.size();
    if (static_cast<size_t>(size) < PaletteBytes(count)) return InvalidParameter;
    palette->Flags = raster.paletteFlags;
    palette->Count = static_cast<UINT>(count);
    if (count > 0) std::memcpy(palette->Entries, raster.palette.data(), count * sizeof(ARGB));
    return Ok;
}

Status GdipSetImagePalette(GpImage* image, const ColorPalette* palette) {
    Status status;
    BitmapObject* bitmap = CheckedBitmap(image, &status);
    if (bitmap == nullptr) return status;
    if (palette == nullptr) return InvalidParameter;
    PixelFormat format = bitmap->raster.Format();
    if (!IsIndexedPixelFormat(format)) return InvalidParameter;
    UINT addressable = 1u << GetPixelFormatSize(format);
    if (palette->Count == 0 || palette->Count > addressable) return InvalidParameter;
    try {
        bitmap->raster.palette.assign(palette->Entries, palette->Entries + palette->Count);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    bitmap->raster.paletteFlags = palette->Flags;
    return Ok;
}

Status GdipDisposeImage(GpImage* image) {
    Status status;
    if (CheckedBitmap(image, &status) == nullptr) return status;
    RemoveImage(image);
    return Ok;
}

}  // namespace gdiplus

// Pixel locks: a view of a bitmap's rows, its own or converted.

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/image_object.h"
#include "platform/imaging/pixel_convert.h"
#include "platform/imaging/startup.h"

namespace gdiplus {
namespace {

constexpr UINT knownLockFlags = ImageLockModeRead | ImageLockModeWrite | ImageLockModeUserInputBuf;

void ConvertRows(const Raster& source, const Rect& rect, PixelFormat targetFormat, BYTE* target, INT targetStride,
                 std::vector<Pixel64>& line) {
    UINT width = static_cast<UINT>(rect.Width);
    for (INT y = 0; y < rect.Height; ++y) {
        BYTE* out = target + static_cast<std::ptrdiff_t>(y) * targetStride;
        const BYTE* in = source.Row(static_cast<UINT>(rect.Y + y));
        if (IsIndexedPixelFormat(targetFormat)) {
            // Same indexed format at a bit offset: copy index by index.
            UINT bits = GetPixelFormatSize(targetFormat);
            std::memset(out, 0, PackedRowBytes(width, targetFormat));
            for (UINT x = 0; x < width; ++x) {
                UINT from = (static_cast<UINT>(rect.X) + x) * bits;
                UINT to = x * bits;
                unsigned mask = (1u << bits) - 1;
                unsigned index = (in[from / 8] >> (8 - bits - from % 8)) & mask;
                out[to / 8] = static_cast<BYTE>(out[to / 8] | index << (8 - bits - to % 8));
            }
        } else if (targetFormat == source.Format()) {
            size_t pixelBytes = GetPixelFormatSize(targetFormat) / 8;
            std::memcpy(out, in + static_cast<size_t>(rect.X) * pixelBytes, width * pixelBytes);
        } else {
            UnpackRow(in, static_cast<UINT>(rect.X), width, source.Format(), source.palette.data(),
                      static_cast<UINT>(source.palette.size()), line.data());
            PackRow(line.data(), width, targetFormat, out, 0);
        }
    }
}

void WriteBack(Raster& target, const Rect& rect, PixelFormat sourceFormat, const BYTE* source, INT sourceStride,
               std::vector<Pixel64>& line) {
    UINT width = static_cast<UINT>(rect.Width);
    for (INT y = 0; y < rect.Height; ++y) {
        const BYTE* in = source + static_cast<std::ptrdiff_t>(y) * sourceStride;
        BYTE* out = target.Row(static_cast<UINT>(rect.Y + y));
        if (IsIndexedPixelFormat(sourceFormat)) {
            UINT bits = GetPixelFormatSize(sourceFormat);
            unsigned mask = (1u << bits) - 1;
            for (UINT x = 0; x < width; ++x) {
                UINT from = x * bits;
                UINT to = (static_cast<UINT>(rect.X) + x) * bits;
                unsigned index = (in[from / 8] >> (8 - bits - from % 8)) & mask;
                unsigned shift = 8 - bits - to % 8;
                out[to / 8] = static_cast<BYTE>((out[to / 8] & ~(mask << shift)) | index << shift);
            }
        } else if (sourceFormat == target.Format()) {
            size_t pixelBytes = GetPixelFormatSize(sourceFormat) / 8;
            std::memcpy(out + static_cast<size_t>(rect.X) * pixelBytes, in, width * pixelBytes);
        } else {
            UnpackRow(in, 0, width, sourceFormat, nullptr, 0, line.data());
            PackRow(line.data(), width, target.Format(), out, static_cast<UINT>(rect.X));
        }
    }
}

}  // namespace

Status GdipBitmapLockBits(GpBitmap* bitmap, const Rect* rect, UINT flags, PixelFormat format, BitmapData* lockedData) {
    if (!IsStarted()) return GdiplusNotInitialized;
    BitmapObject* target = LiveBitmap(bitmap);
    if (target == nullptr || lockedData == nullptr) return InvalidParameter;
    if ((flags & ~knownLockFlags) != 0 || (flags & (ImageLockModeRead | ImageLockModeWrite)) == 0) {
        return InvalidParameter;
    }
    if (target->lock.active) return WrongState;

    Raster& raster = target->raster;
    Rect area =
        rect != nullptr ? *rect : Rect{0, 0, static_cast<INT>(raster.Width()), static_cast<INT>(raster.Height())};
    if (area.X < 0 || area.Y < 0 || area.Width <= 0 || area.Height <= 0 ||
        static_cast<long long>(area.X) + area.Width > raster.Width() ||
        static_cast<long long>(area.Y) + area.Height > raster.Height()) {
        return InvalidParameter;
    }
    if (!CanConvert(raster.Format(), format)) return InvalidParameter;

    BitmapObject::Lock lock;
    lock.rect = area;
    lock.flags = flags;
    lock.format = format;
    UINT width = static_cast<UINT>(area.Width);
    size_t bitOffset = static_cast<size_t>(area.X) * GetPixelFormatSize(format);
    bool userBuffer = (flags & ImageLockModeUserInputBuf) != 0;

    if (format == raster.Format() && bitOffset % 8 == 0 && !userBuffer) {
        lock.scan0 = raster.Row(static_cast<UINT>(area.Y)) + bitOffset / 8;
        lock.stride = raster.Stride();
    } else {
        if (userBuffer) {
            if (lockedData->Scan0 == nullptr) return InvalidParameter;
            long long magnitude =
                lockedData->Stride < 0 ? -static_cast<long long>(lockedData->Stride) : lockedData->Stride;
            if (static_cast<unsigned long long>(magnitude) < PackedRowBytes(width, format)) {
                return InvalidParameter;
            }
            lock.scan0 = static_cast<BYTE*>(lockedData->Scan0);
            lock.stride = lockedData->Stride;
            lock.userBuffer = true;
        } else {
            size_t stride = RowBytes(width, format);
            BYTE* memory =
                stride == 0 ? nullptr : static_cast<BYTE*>(std::malloc(stride * static_cast<size_t>(area.Height)));
            if (memory == nullptr) return OutOfMemory;
            lock.converted.reset(memory);
            lock.scan0 = memory;
            lock.stride = static_cast<INT>(stride);
        }
        if ((flags & ImageLockModeRead) != 0) {
            try {
                std::vector<Pixel64> line(width);
                ConvertRows(raster, area, format, lock.scan0, lock.stride, line);
            } catch (const std::bad_alloc&) {
                return OutOfMemory;
            }
        }
    }

    lockedData->Width = width;
    lockedData->Height = static_cast<UINT>(area.Height);
    lockedData->Stride = lock.stride;
    lockedData->PixelFormat = format;
    lockedData->Scan0 = lock.scan0;
    lockedData->Reserved = 0;
    lock.active = true;
    target->lock = std::move(lock);
    return Ok;
}

Status GdipBitmapUnlockBits(GpBitmap* bitmap, BitmapData* lockedData) {
    if (!IsStarted()) return GdiplusNotInitialized;
    BitmapObject* target = LiveBitmap(bitmap);
    if (target == nullptr || lockedData == nullptr) return InvalidParameter;
    BitmapObject::Lock& lock = target->lock;
    if (!lock.active) return WrongState;
    if (lockedData->Scan0 != lock.scan0) return InvalidParameter;

    Status status = Ok;
    bool ownRows = lock.converted == nullptr && !lock.userBuffer;
    if (!ownRows && (lock.flags & ImageLockModeWrite) != 0) {
        try {
            std::vector<Pixel64> line(static_cast<size_t>(lock.rect.Width));
            WriteBack(target->raster, lock.rect, lock.format, lock.scan0, lock.stride, line);
        } catch (const std::bad_alloc&) {
            status = OutOfMemory;
        }
    }
    target->lock = BitmapObject::Lock{};
    return status;
}

}  // namespace gdiplus

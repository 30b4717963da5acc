#include "platform/imaging/raster.h"

#include <climits>

#include "platform/gdi/records.h"
#include "platform/imaging/decode_limits.h"

namespace gdiplus {

bool IsSupportedPixelFormat(PixelFormat format) {
    switch (format) {
        case PixelFormat1bppIndexed:
        case PixelFormat4bppIndexed:
        case PixelFormat8bppIndexed:
        case PixelFormat16bppGrayScale:
        case PixelFormat16bppRGB555:
        case PixelFormat16bppRGB565:
        case PixelFormat16bppARGB1555:
        case PixelFormat24bppRGB:
        case PixelFormat32bppRGB:
        case PixelFormat32bppARGB:
        case PixelFormat32bppPARGB:
        case PixelFormat48bppRGB:
        case PixelFormat64bppARGB:
        case PixelFormat64bppPARGB: return true;
        default: return false;
    }
}

size_t PackedRowBytes(UINT width, PixelFormat format) {
    return (static_cast<size_t>(width) * GetPixelFormatSize(format) + 7) / 8;
}

size_t RowBytes(UINT width, PixelFormat format) {
    size_t bytes = gdi::DibRowBytes(width, GetPixelFormatSize(format));
    return bytes > INT_MAX ? 0 : bytes;
}

Status Raster::Allocate(UINT width, UINT height, PixelFormat format, bool zeroed, Raster* out) {
    if (!IsSupportedPixelFormat(format)) return InvalidParameter;
    if (Status s = CheckDecodeSize(width, height, GetPixelFormatSize(format)); s != Ok) return s;
    size_t stride = RowBytes(width, format);
    if (stride == 0) return OutOfMemory;
    Raster raster;
    if (!raster.owned_.Allocate(stride * height, zeroed)) return OutOfMemory;
    BYTE* memory = raster.owned_.data();
    raster.width_ = width;
    raster.height_ = height;
    raster.format_ = format;
    raster.stride_ = static_cast<INT>(stride);
    raster.top_ = memory;
    if (IsIndexedPixelFormat(format)) raster.palette = DefaultPalette(format);
    *out = std::move(raster);
    return Ok;
}

Raster Raster::Wrap(UINT width, UINT height, PixelFormat format, BYTE* top, INT stride) {
    Raster raster;
    raster.width_ = width;
    raster.height_ = height;
    raster.format_ = format;
    raster.stride_ = stride;
    raster.top_ = top;
    if (IsIndexedPixelFormat(format)) raster.palette = DefaultPalette(format);
    return raster;
}

std::vector<ARGB> GreyPalette(UINT count) {
    std::vector<ARGB> palette(count);
    for (UINT i = 0; i < count; ++i) {
        ARGB level = count > 1 ? i * 255 / (count - 1) : 0;
        palette[i] = 0xFF000000u | level << 16 | level << 8 | level;
    }
    return palette;
}

std::vector<ARGB> DefaultPalette(PixelFormat format) {
    switch (format) {
        case PixelFormat1bppIndexed: return {0xFF000000u, 0xFFFFFFFFu};
        case PixelFormat4bppIndexed:
            return {0xFF000000u, 0xFF800000u, 0xFF008000u, 0xFF808000u, 0xFF000080u, 0xFF800080u,
                    0xFF008080u, 0xFF808080u, 0xFFC0C0C0u, 0xFFFF0000u, 0xFF00FF00u, 0xFFFFFF00u,
                    0xFF0000FFu, 0xFFFF00FFu, 0xFF00FFFFu, 0xFFFFFFFFu};
        case PixelFormat8bppIndexed: {
            std::vector<ARGB> palette;
            palette.reserve(256);
            for (ARGB r = 0; r < 6; ++r)
                for (ARGB g = 0; g < 6; ++g)
                    for (ARGB b = 0; b < 6; ++b)
                        palette.push_back(0xFF000000u | (r * 51) << 16 | (g * 51) << 8 | b * 51);
            for (ARGB i = 0; palette.size() < 256; ++i) {
                ARGB level = i * 255 / 39;
                palette.push_back(0xFF000000u | level << 16 | level << 8 | level);
            }
            return palette;
        }
        default: return {};
    }
}

}  // namespace gdiplus

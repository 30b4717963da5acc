#pragma once
// Library-internal: the pixels of one bitmap, either owned or laid over the
// caller's memory, with the palette of an indexed format and the property
// items (metadata) that travel with them.

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/assert.h"
#include "platform/imaging/image_properties.h"
#include "platform/imaging/pixel_memory.h"
#include "platform/imaging/records.h"
#include "platform/imaging/status.h"

namespace gdiplus {

// Bytes of one row of width pixels, padded to 32 bits as every bitmap the
// library makes is; 0 when that does not fit in an INT.
size_t RowBytes(UINT width, PixelFormat format);

// Bytes that width pixels occupy without padding.
size_t PackedRowBytes(UINT width, PixelFormat format);

// The formats bitmaps can hold.
bool IsSupportedPixelFormat(PixelFormat format);

struct FreeDeleter {
    void operator()(BYTE* p) const { std::free(p); }
};

class Raster {
public:
    Raster() = default;
    Raster(Raster&&) = default;
    Raster& operator=(Raster&&) = default;

    // Allocates rows for a width x height bitmap of format. Fails with
    // OutOfMemory when the size is refused by the decoding limits or the
    // memory cannot be had; the pixels are zero only when zeroed is true.
    static Status Allocate(UINT width, UINT height, PixelFormat format, bool zeroed, Raster* out);

    // Lays a bitmap over memory the caller keeps; top is the first row,
    // stride may be negative.
    static Raster Wrap(UINT width, UINT height, PixelFormat format, BYTE* top, INT stride);

    UINT Width() const { return width_; }
    UINT Height() const { return height_; }
    PixelFormat Format() const { return format_; }
    INT Stride() const { return stride_; }
    // Row y, 0 being the top; y is below Height().
    BYTE* Row(UINT y) {
        PELMORA_ASSERT(y < height_);
        return top_ + static_cast<std::ptrdiff_t>(y) * stride_;
    }
    const BYTE* Row(UINT y) const {
        PELMORA_ASSERT(y < height_);
        return top_ + static_cast<std::ptrdiff_t>(y) * stride_;
    }
    bool Empty() const { return top_ == nullptr; }

    std::vector<ARGB> palette;
    UINT paletteFlags = 0;
    ImageProperties properties;

private:
    UINT width_ = 0;
    UINT height_ = 0;
    PixelFormat format_ = PixelFormatUndefined;
    INT stride_ = 0;
    BYTE* top_ = nullptr;
    PixelMemory owned_;
};

// Palettes the library gives a new indexed bitmap: black and white, the 16
// standard colours, or a 6 x 6 x 6 colour cube followed by a grey ramp.
std::vector<ARGB> DefaultPalette(PixelFormat format);

// A palette of count entries running evenly from black to white.
std::vector<ARGB> GreyPalette(UINT count);

}  // namespace gdiplus

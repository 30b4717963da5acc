#pragma once
// Records and handles the imaging library's flat calls pass around.

#include "platform/imaging/pixel_format.h"
#include "platform/types.h"

namespace gdiplus {

using ARGB = DWORD;  // 0xAARRGGBB

struct Rect {
    INT X;
    INT Y;
    INT Width;
    INT Height;
};

enum ImageLockMode {
    ImageLockModeRead = 0x0001,
    ImageLockModeWrite = 0x0002,
    ImageLockModeUserInputBuf = 0x0004,
};

struct BitmapData {
    UINT Width;
    UINT Height;
    INT Stride;
    ::gdiplus::PixelFormat PixelFormat;  // named as the library names it
    void* Scan0;
    UINT_PTR Reserved;
};

enum PaletteFlags {
    PaletteFlagsHasAlpha = 0x0001,
    PaletteFlagsGrayScale = 0x0002,
    PaletteFlagsHalftone = 0x0004,
};

// Count entries follow the header; the record is as long as they need.
struct ColorPalette {
    UINT Flags;
    UINT Count;
    ARGB Entries[1];
};

// Handles. The library hands out checked handles of these types, never
// pointers to its objects, and checks every one it is given, so a stale or
// foreign handle fails with InvalidParameter. A bitmap is an image, as the
// calls that take any image accept bitmaps. The types are never made.
class GpImage {
    GpImage() = delete;
};

class GpBitmap : public GpImage {
    GpBitmap() = delete;
};

class GpGraphics {
    GpGraphics() = delete;
};

}  // namespace gdiplus

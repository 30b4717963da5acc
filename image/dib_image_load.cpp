// Decoding a file into the raster image: the DIB depth and library format
// a decoded picture is given, its palette, and its pixels copied row by
// row or redrawn through the library.

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "image/ansi_path.h"
#include "image/dib_image.h"
#include "image/gdip_bitmap_holder.h"
#include "image/imaging_runtime.h"
#include "image/small_buffer.h"

using namespace gdiplus;

namespace {

constexpr UINT colorTableEntries = 256;
const DWORD rgb565Masks[3] = {0xF800, 0x07E0, 0x001F};

// Redraws decoded into the DIB's own memory through a library bitmap laid
// over it; false when any step fails.
bool Redraw(GdipBitmapHolder& decoded, LONG width, LONG height, LONG pitch, PixelFormat format, BYTE* bits) {
    GdipBitmapHolder target = GdipBitmapHolder::FromScan0(width, height, pitch, format, bits);
    if (target.LastStatus() != Ok) return false;
    GpGraphics* graphics = nullptr;
    if (target.GetGraphicsContext(&graphics) != Ok) return false;
    Status drawn = GdipDrawImageI(graphics, decoded.Image(), 0, 0);
    GdipDeleteGraphics(graphics);
    return drawn == Ok;
}

// The decoded file; the wide path is released as soon as the library has
// read the file. The converter throws when the path cannot be widened.
GdipBitmapHolder DecodeFile(const char* path) {
    CAnsiToWide widePath(path);
    return GdipBitmapHolder::FromFile(widePath.Get());
}

}  // namespace

HRESULT CDibImage::LoadFromFile(const char* path) {
    if (!ImagingRuntime::Instance().EnsureStarted()) return E_FAIL;
    GdipBitmapHolder holder = DecodeFile(path);
    if (holder.LastStatus() != Ok) return E_FAIL;
    return ImportDecodedBitmap(holder);
}

HRESULT CDibImage::ImportDecodedBitmap(GdipBitmapHolder& holder) {
    PixelFormat format = PixelFormatUndefined;
    holder.GetPixelFormat(&format);

    int depth = 32;
    PixelFormat described = PixelFormat32bppRGB;
    bool alpha = false;
    if ((format & PixelFormatGDI) != 0) {
        depth = (format >> 8) & 0xFF;
        described = format;
    }
    if ((format & PixelFormatAlpha) != 0) {  // checked second: it wins
        depth = 32;
        described = PixelFormat32bppARGB;
        alpha = true;
    }

    UINT sourceHeight = 0, sourceWidth = 0;
    holder.GetHeight(&sourceHeight);
    holder.GetWidth(&sourceWidth);
    // A DIB with 16 bits and no masks reads its rows as 5-5-5: a 5-6-5
    // picture says so with its masks, or every colour would be wrong.
    bool rgb565 = described == PixelFormat16bppRGB565;
    if (!CreateDib(static_cast<LONG>(sourceWidth), static_cast<LONG>(sourceHeight), depth,
                   rgb565 ? gdi::BI_BITFIELDS : gdi::BI_RGB, rgb565 ? rgb565Masks : nullptr, alpha ? dibHasAlpha : 0)) {
        return E_FAIL;
    }

    CSmallBuffer paletteBuffer;
    if ((format & PixelFormatIndexed) != 0) {
        INT size = 0;
        if (holder.GetPaletteSize(&size) != Ok || size < static_cast<INT>(sizeof(ColorPalette))) return E_FAIL;
        auto* palette = reinterpret_cast<ColorPalette*>(paletteBuffer.Obtain(static_cast<size_t>(size)));
        if (palette == nullptr) return E_OUTOFMEMORY;
        if (holder.GetPalette(palette, size) != Ok) return E_FAIL;
        // The colour table holds 256 entries; never read past the palette
        // record either.
        size_t fits = (static_cast<size_t>(size) - offsetof(ColorPalette, Entries)) / sizeof(ARGB);
        UINT count = static_cast<UINT>(std::min<size_t>({palette->Count, fits, colorTableEntries}));
        gdi::RGBQUAD table[colorTableEntries];
        for (UINT i = 0; i < count; ++i) {
            ARGB entry = palette->Entries[i];
            table[i].rgbRed = static_cast<BYTE>(entry >> 16);
            table[i].rgbGreen = static_cast<BYTE>(entry >> 8);
            table[i].rgbBlue = static_cast<BYTE>(entry);
            table[i].rgbReserved = 0;  // the entry's alpha is dropped
        }
        WriteColorTable(0, count, table);
    }

    if (format == described) {
        Rect whole{0, 0, width, height};
        BitmapData data{};
        if (holder.LockBits(&whole, ImageLockModeRead, format, &data) != Ok) return E_FAIL;
        UINT bytesPerRow = (static_cast<UINT>(width) * static_cast<UINT>(depth) + 7) / 8;
        for (LONG r = 0; r < height; ++r) {
            std::memcpy(bits + static_cast<std::ptrdiff_t>(r) * pitch,
                        static_cast<const BYTE*>(data.Scan0) + static_cast<std::ptrdiff_t>(r) * data.Stride,
                        bytesPerRow);
        }
        holder.UnlockBits(&data);
    } else if (!Redraw(holder, width, height, pitch, described, bits)) {
        return E_FAIL;
    }
    // Metadata never fails a load: what cannot be read stays behind.
    propertyItems.ReadFrom(holder.Image());
    return S_OK;
}

#include "platform/imaging/bitmap_from_hbitmap.h"

#include <bit>
#include <cstring>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/handles.h"
#include "platform/gdi/surfaces.h"
#include "platform/imaging/bitmap.h"
#include "platform/imaging/image_object.h"
#include "platform/imaging/startup.h"

namespace gdiplus {
namespace {

struct Masks {
    DWORD red, green, blue;
    bool operator==(const Masks&) const = default;
};

// Reads a colour channel given by a mask, scaled to 8 bits.
BYTE Channel(DWORD pixel, DWORD mask) {
    if (mask == 0) return 0;
    int shift = std::countr_zero(mask);
    int bits = std::bit_width(mask >> shift);
    DWORD v = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<BYTE>(v >> (bits - 8));
    DWORD top = (1u << bits) - 1;
    return static_cast<BYTE>((v * 255 + top / 2) / top);
}

// The colour table, read through a surface of our own: false when the
// bitmap is held by another surface.
bool ReadColorTable(gdi::HBITMAP bitmap, UINT entries, std::vector<ARGB>* palette) {
    gdi::HDC dc = gdi::CreateCompatibleDC(nullptr);
    if (dc == nullptr) return false;
    gdi::HGDIOBJ previous = gdi::SelectObject(dc, bitmap);
    bool ok = previous != nullptr;
    if (ok) {
        std::vector<gdi::RGBQUAD> table(entries);
        UINT read = gdi::GetDIBColorTable(dc, 0, entries, table.data());
        palette->resize(read);
        for (UINT i = 0; i < read; ++i) {
            (*palette)[i] = 0xFF000000u | static_cast<ARGB>(table[i].rgbRed) << 16 |
                            static_cast<ARGB>(table[i].rgbGreen) << 8 | table[i].rgbBlue;
        }
        gdi::SelectObject(dc, previous);
    }
    gdi::DeleteDC(dc);
    return ok;
}

}  // namespace

Status GdipCreateBitmapFromHBITMAP(gdi::HBITMAP bitmap, HPALETTE palette, GpBitmap** result) {
    if (!IsStarted()) return GdiplusNotInitialized;
    if (result == nullptr || palette != nullptr) return InvalidParameter;
    *result = nullptr;
    gdi::DIBSECTION section{};
    if (gdi::GetObjectA(bitmap, sizeof section, &section) != int{sizeof section}) return InvalidParameter;
    const gdi::BITMAPINFOHEADER& header = section.dsBmih;
    if (header.biWidth <= 0 || header.biHeight == 0 || section.dsBm.bmBits == nullptr) return InvalidParameter;
    UINT width = static_cast<UINT>(header.biWidth);
    UINT height = static_cast<UINT>(header.biHeight < 0 ? -static_cast<long long>(header.biHeight) : header.biHeight);
    UINT bits = header.biBitCount;
    bool bitfields = header.biCompression == gdi::BI_BITFIELDS;
    Masks masks = bitfields    ? Masks{section.dsBitfields[0], section.dsBitfields[1], section.dsBitfields[2]}
                  : bits == 16 ? Masks{0x7C00, 0x03E0, 0x001F}
                               : Masks{0x00FF0000, 0x0000FF00, 0x000000FF};

    PixelFormat format;
    bool generic = false;  // masks of another layout, read channel by channel
    switch (bits) {
        case 1: format = PixelFormat1bppIndexed; break;
        case 4: format = PixelFormat4bppIndexed; break;
        case 8: format = PixelFormat8bppIndexed; break;
        case 16:
            if (masks == Masks{0xF800, 0x07E0, 0x001F}) {
                format = PixelFormat16bppRGB565;
            } else {
                format = masks == Masks{0x7C00, 0x03E0, 0x001F} ? PixelFormat16bppRGB555 : PixelFormat32bppRGB;
                generic = format == PixelFormat32bppRGB;
            }
            break;
        case 24: format = PixelFormat24bppRGB; break;
        case 32:
            format = PixelFormat32bppRGB;
            generic = !(masks == Masks{0x00FF0000, 0x0000FF00, 0x000000FF});
            break;
        default: return InvalidParameter;
    }

    Raster copy;
    if (Status s = Raster::Allocate(width, height, format, false, &copy); s != Ok) return s;
    if (IsIndexedPixelFormat(format) && !ReadColorTable(bitmap, 1u << bits, &copy.palette)) return ObjectBusy;

    size_t stride = gdi::DibRowBytes(width, bits);
    const BYTE* start = static_cast<const BYTE*>(section.dsBm.bmBits);
    bool bottomUp = header.biHeight > 0;
    for (UINT y = 0; y < height; ++y) {
        const BYTE* in = start + static_cast<size_t>(bottomUp ? height - 1 - y : y) * stride;
        BYTE* out = copy.Row(y);
        if (!generic) {
            std::memcpy(out, in, PackedRowBytes(width, format));
            continue;
        }
        for (UINT x = 0; x < width; ++x, out += 4) {
            DWORD v = bits == 16 ? static_cast<DWORD>(in[2 * x] | in[2 * x + 1] << 8)
                                 : static_cast<DWORD>(in[4 * x] | in[4 * x + 1] << 8 | in[4 * x + 2] << 16 |
                                                      static_cast<DWORD>(in[4 * x + 3]) << 24);
            out[0] = Channel(v, masks.blue), out[1] = Channel(v, masks.green), out[2] = Channel(v, masks.red);
            out[3] = 0xFF;
        }
    }
    return MakeBitmap(std::move(copy), ImageFormatMemoryBMP, result);
}

}  // namespace gdiplus

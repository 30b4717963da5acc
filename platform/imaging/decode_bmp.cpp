// Windows bitmap files, read by our own code: core, info, V2/V3, V4 and V5
// headers; 1, 4, 8, 16, 24 and 32 bits; uncompressed, bit fields, RLE4 and
// RLE8; rows bottom-up or top-down.

#include <bit>
#include <climits>
#include <cstring>

#include "platform/gdi/dib_reader.h"
#include "platform/imaging/decode_limits.h"
#include "platform/imaging/decoders.h"

namespace gdiplus {
namespace {

using gdi::BI_ALPHABITFIELDS;
using gdi::BI_BITFIELDS;
using gdi::BI_RGB;
using gdi::BI_RLE4;
using gdi::BI_RLE8;

constexpr size_t fileHeaderBytes = 14;

using gdi::DibDword;
using gdi::DibWord;

struct Header {
    UINT width = 0;
    UINT height = 0;
    bool topDown = false;
    UINT bitCount = 0;
    DWORD compression = BI_RGB;
    DWORD colorsUsed = 0;
    DWORD masks[4] = {};  // red, green, blue, alpha
    bool hasMasks = false;
    size_t paletteOffset = 0;
    size_t paletteEntryBytes = 4;
    size_t pixelOffset = 0;
};

// A colour mask as shift and width, so that a channel reads as
// (pixel & mask) >> shift, scaled from width bits to 8.
struct Channel {
    DWORD mask = 0;
    int shift = 0;
    int bits = 0;
    BYTE Read(DWORD pixel) const {
        if (bits == 0) return 0;
        DWORD v = (pixel & mask) >> shift;
        if (bits >= 8) return static_cast<BYTE>(v >> (bits - 8));
        DWORD top = (1u << bits) - 1;
        return static_cast<BYTE>((v * 255 + top / 2) / top);
    }
};

Channel ChannelOf(DWORD mask) {
    Channel c;
    if (mask == 0) return c;
    c.mask = mask;
    c.shift = std::countr_zero(mask);
    // A mask with holes reads as if contiguous up to its highest bit.
    c.bits = std::bit_width(mask >> c.shift);
    return c;
}

Status ReadHeader(const BYTE* data, size_t size, Header* h) {
    if (size < fileHeaderBytes + 4) return GenericError;
    DWORD offBits = DibDword(data + 10);
    gdi::DibHeader dib;
    switch (gdi::ReadDibHeader({data + fileHeaderBytes, size - fileHeaderBytes}, &dib)) {
        case gdi::DibHeaderResult::ok: break;
        case gdi::DibHeaderResult::malformed: return GenericError;
        case gdi::DibHeaderResult::unknownKind: return UnknownImageFormat;
    }
    const DWORD headerBytes = dib.headerBytes;
    if (headerBytes != 12 && headerBytes != 40 && headerBytes != 52 && headerBytes != 56 && headerBytes != 108 &&
        headerBytes != 124) {
        return UnknownImageFormat;  // OS/2 2.x and other variants
    }
    if (dib.planes != 1) return GenericError;
    h->bitCount = dib.bitCount;
    h->compression = dib.compression;
    h->colorsUsed = dib.colorsUsed;
    std::memcpy(h->masks, dib.masks, sizeof h->masks);
    h->hasMasks = dib.hasMasks;
    h->paletteEntryBytes = dib.paletteEntryBytes;
    h->topDown = dib.topDown;
    if (dib.width <= 0 || dib.height <= 0) return GenericError;
    if (dib.width > UINT_MAX || dib.height > UINT_MAX) return OutOfMemory;
    h->width = static_cast<UINT>(dib.width);
    h->height = static_cast<UINT>(dib.height);

    size_t afterHeader = fileHeaderBytes + headerBytes;
    switch (h->compression) {
        case BI_RGB:
            if (h->bitCount != 1 && h->bitCount != 4 && h->bitCount != 8 && h->bitCount != 16 && h->bitCount != 24 &&
                h->bitCount != 32) {
                return GenericError;
            }
            break;
        case BI_RLE8:
            if (h->bitCount != 8 || h->topDown) return GenericError;
            break;
        case BI_RLE4:
            if (h->bitCount != 4 || h->topDown) return GenericError;
            break;
        case BI_BITFIELDS:
        case BI_ALPHABITFIELDS:
            if (h->bitCount != 16 && h->bitCount != 32) return GenericError;
            if (headerBytes == 40) {
                // The masks follow the header.
                size_t count = h->compression == BI_ALPHABITFIELDS ? 4 : 3;
                if (size < afterHeader + 4 * count) return GenericError;
                for (size_t i = 0; i < count; ++i) h->masks[i] = DibDword(data + afterHeader + 4 * i);
                afterHeader += 4 * count;
                h->hasMasks = true;
            }
            break;
        default: return UnknownImageFormat;  // embedded JPEG or PNG, OS/2 Huffman
    }
    if (h->bitCount <= 8) {
        DWORD full = 1u << h->bitCount;
        // A palette longer than the depth can address is cut to what it can.
        h->colorsUsed = h->colorsUsed == 0 || h->colorsUsed > full ? full : h->colorsUsed;
    } else {
        h->colorsUsed = 0;
    }
    h->paletteOffset = afterHeader;
    size_t paletteEnd = afterHeader + h->colorsUsed * h->paletteEntryBytes;
    // Writers that leave the offset out (or get it wrong) put the pixels
    // straight after the palette.
    h->pixelOffset = offBits >= afterHeader && offBits <= size ? offBits : paletteEnd;
    if (h->pixelOffset > size) return GenericError;
    return Ok;
}

Status ReadPalette(const BYTE* data, size_t size, const Header& h, Raster* raster) {
    size_t end = h.paletteOffset + h.colorsUsed * h.paletteEntryBytes;
    if (end > size) return GenericError;
    raster->palette.resize(h.colorsUsed);
    for (DWORD i = 0; i < h.colorsUsed; ++i) {
        const BYTE* q = data + h.paletteOffset + i * h.paletteEntryBytes;
        raster->palette[i] = 0xFF000000u | gdi::DibColor(q);
    }
    raster->paletteFlags = 0;
    return Ok;
}

// The file's row for image row y.
const BYTE* FileRow(const BYTE* pixels, size_t rowBytes, const Header& h, UINT y) {
    UINT fileRow = h.topDown ? y : h.height - 1 - y;
    return pixels + static_cast<size_t>(fileRow) * rowBytes;
}

// Walks the RLE codes, handing each pixel they paint inside the picture to
// paint (x, file row counted from the bottom, colour index). Ok at the
// end-of-bitmap mark or past the last row; GenericError when the codes run
// out before either.
template <typename Paint>
Status WalkRle(const BYTE* data, size_t size, const Header& h, Paint paint) {
    const BYTE* p = data + h.pixelOffset;
    const BYTE* end = data + size;
    bool four = h.compression == BI_RLE4;
    UINT x = 0, y = 0;
    auto put = [&](unsigned index) {
        if (x < h.width && y < h.height) paint(x, y, index);
        ++x;
    };
    while (true) {
        if (end - p < 2) return GenericError;  // no end-of-bitmap mark: truncated
        BYTE count = p[0], value = p[1];
        p += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i) put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            return Ok;
        } else if (value == 2) {  // move right and up
            if (end - p < 2) return GenericError;
            x += p[0];
            y += p[1];
            p += 2;
        } else {  // literal run, padded to a 16-bit boundary
            size_t bytes = four ? (value + 1u) / 2 : value;
            size_t padded = (bytes + 1) & ~size_t{1};
            if (static_cast<size_t>(end - p) < bytes) return GenericError;
            for (unsigned i = 0; i < value; ++i) put(four ? ((i & 1) ? p[i / 2] & 0x0F : p[i / 2] >> 4) : p[i]);
            p += padded <= static_cast<size_t>(end - p) ? padded : bytes;
        }
        if (y >= h.height) return Ok;
    }
}

// Pixels the codes leave out stay index 0. The codes are walked once
// without a bitmap first: a file must paint enough of the picture it
// declares before memory is taken for all of it.
Status DecodeRle(const BYTE* data, size_t size, const Header& h, PixelFormat format, Raster* raster) {
    unsigned long long painted = 0;
    if (Status s = WalkRle(data, size, h, [&](UINT, UINT, unsigned) { ++painted; }); s != Ok) return s;
    if (Status s = CheckBackedArea(static_cast<unsigned long long>(h.width) * h.height, painted); s != Ok) return s;
    if (Status s = Raster::Allocate(h.width, h.height, format, true, raster); s != Ok) return s;
    bool four = h.compression == BI_RLE4;
    return WalkRle(data, size, h, [&](UINT x, UINT y, unsigned index) {
        BYTE* row = raster->Row(h.height - 1 - y);
        if (four) {
            BYTE& b = row[x / 2];
            b = static_cast<BYTE>((x & 1) ? (b & 0xF0) | index : (b & 0x0F) | index << 4);
        } else {
            row[x] = static_cast<BYTE>(index);
        }
    });
}

bool MasksAre(const DWORD* masks, DWORD r, DWORD g, DWORD b) { return masks[0] == r && masks[1] == g && masks[2] == b; }

}  // namespace

Status DecodeBmp(const BYTE* data, size_t size, Raster* out) {
    Header h;
    if (Status s = ReadHeader(data, size, &h); s != Ok) return s;

    bool rle = h.compression == BI_RLE8 || h.compression == BI_RLE4;
    bool bitfields = h.compression == BI_BITFIELDS || h.compression == BI_ALPHABITFIELDS;
    // Bit fields give the colour layout; an info header's masks count only
    // with them, but a V3 or later header's alpha mask counts for 32 bits.
    DWORD masks[4] = {};
    if (bitfields) {
        std::memcpy(masks, h.masks, sizeof masks);
    } else if (h.bitCount == 16) {
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else if (h.bitCount == 32) {
        masks[0] = 0x00FF0000, masks[1] = 0x0000FF00, masks[2] = 0x000000FF;
        masks[3] = h.masks[3];
    }

    PixelFormat format;
    bool generic = false;  // bit fields of an unusual layout, read channel by channel
    switch (h.bitCount) {
        case 1: format = PixelFormat1bppIndexed; break;
        case 4: format = PixelFormat4bppIndexed; break;
        case 8: format = PixelFormat8bppIndexed; break;
        case 24: format = PixelFormat24bppRGB; break;
        case 16:
            if (MasksAre(masks, 0x7C00, 0x03E0, 0x001F) && masks[3] == 0) {
                format = PixelFormat16bppRGB555;
            } else if (MasksAre(masks, 0x7C00, 0x03E0, 0x001F) && masks[3] == 0x8000) {
                format = PixelFormat16bppARGB1555;
            } else if (MasksAre(masks, 0xF800, 0x07E0, 0x001F) && masks[3] == 0) {
                format = PixelFormat16bppRGB565;
            } else {
                format = masks[3] != 0 ? PixelFormat32bppARGB : PixelFormat32bppRGB;
                generic = true;
            }
            break;
        default:  // 32
            if (MasksAre(masks, 0x00FF0000, 0x0000FF00, 0x000000FF) && (masks[3] == 0 || masks[3] == 0xFF000000)) {
                format = masks[3] != 0 ? PixelFormat32bppARGB : PixelFormat32bppRGB;
            } else {
                format = masks[3] != 0 ? PixelFormat32bppARGB : PixelFormat32bppRGB;
                generic = true;
            }
            break;
    }

    size_t fileRowBytes = gdi::DibRowBytes(h.width, h.bitCount);
    Raster raster;
    if (rle) {
        if (Status s = DecodeRle(data, size, h, format, &raster); s != Ok) return s;
    } else {
        // Check the pixels are all there before allocating for them.
        if (Status s = CheckDecodeSize(h.width, h.height, GetPixelFormatSize(format)); s != Ok) return s;
        if ((size - h.pixelOffset) / fileRowBytes < h.height) return GenericError;
        if (Status s = Raster::Allocate(h.width, h.height, format, false, &raster); s != Ok) return s;
    }
    if (h.bitCount <= 8) {
        if (Status s = ReadPalette(data, size, h, &raster); s != Ok) return s;
    }

    if (rle) {
        // The pixels are in already.
    } else if (!generic) {
        size_t copyBytes = PackedRowBytes(h.width, format);
        for (UINT y = 0; y < h.height; ++y) {
            std::memcpy(raster.Row(y), FileRow(data + h.pixelOffset, fileRowBytes, h, y), copyBytes);
        }
    } else {
        Channel channels[4] = {ChannelOf(masks[0]), ChannelOf(masks[1]), ChannelOf(masks[2]), ChannelOf(masks[3])};
        bool alpha = masks[3] != 0;
        for (UINT y = 0; y < h.height; ++y) {
            const BYTE* in = FileRow(data + h.pixelOffset, fileRowBytes, h, y);
            BYTE* px = raster.Row(y);
            for (UINT x = 0; x < h.width; ++x, px += 4) {
                DWORD v = h.bitCount == 16 ? DibWord(in + 2 * x) : DibDword(in + 4 * x);
                px[0] = channels[2].Read(v);
                px[1] = channels[1].Read(v);
                px[2] = channels[0].Read(v);
                px[3] = alpha ? channels[3].Read(v) : 0xFF;
            }
        }
    }
    *out = std::move(raster);
    return Ok;
}

}  // namespace gdiplus

#pragma once
// Library-internal: the encoders, each turning a bitmap of any format into
// a whole file's bytes with its defaults.

#include <vector>

#include "platform/imaging/pixel_convert.h"
#include "platform/imaging/raster.h"
#include "platform/imaging/status.h"

namespace gdiplus {

using Encoder = Status (*)(const Raster& raster, std::vector<BYTE>* out);

// BMP: indexed bitmaps with their palette, bitmaps with alpha as 32-bit
// with an alpha mask, all others 24-bit; rows bottom-up.
Status EncodeBmp(const Raster& raster, std::vector<BYTE>* out);
// JPEG: quality 90, optimised Huffman tables; 8-bit indexed bitmaps with
// the grey palette as greyscale; alpha dropped.
Status EncodeJpeg(const Raster& raster, std::vector<BYTE>* out);
// GIF: indexed bitmaps with their own palette; others with their colours
// when they have at most 256, else a median-cut palette of 256 with
// Floyd-Steinberg error diffusion. Pixels under alpha below half, or
// palette entries so marked, become the transparent index.
Status EncodeGif(const Raster& raster, std::vector<BYTE>* out);
// TIFF, LZW: indexed bitmaps as palette files, others as 8-bit RGB, or RGBA
// with unassociated alpha.
Status EncodeTiff(const Raster& raster, std::vector<BYTE>* out);
// PNG, zlib's default level: indexed bitmaps stay indexed (tRNS for their
// palette's alpha), 16-bit grey stays 16-bit grey, RGB without alpha, RGBA
// with it, 16 bits per channel for the 48- and 64-bit formats.
Status EncodePng(const Raster& raster, std::vector<BYTE>* out);

// WebP, libwebp's defaults (lossy, quality 75); alpha kept.
Status EncodeWebp(const Raster& raster, std::vector<BYTE>* out);
// HEIC and AVIF through libheif (x265, aom) at its defaults; alpha kept.
Status EncodeHeic(const Raster& raster, std::vector<BYTE>* out);
Status EncodeAvif(const Raster& raster, std::vector<BYTE>* out);
// JPEG XL, libjxl's defaults (lossy, distance 1), sRGB; alpha kept. With
// a colour profile the pixels are coded in its colour space rather than
// the library's own (XYB), whose files keep a profile the library can
// describe only as its own description of it, not byte for byte.
Status EncodeJxl(const Raster& raster, std::vector<BYTE>* out);

// True when some pixel of the bitmap may be less than opaque.
bool HasAlpha(const Raster& raster);

// Rows of a bitmap in another format, converted one at a time (or the
// bitmap's own rows when the format is its own).
class RowReader {
public:
    RowReader(const Raster& raster, PixelFormat format);
    // Out of memory when constructing: every Row() call returns null.
    const BYTE* Row(UINT y);

private:
    const Raster& raster_;
    PixelFormat format_;
    std::vector<BYTE> row_;
    std::vector<Pixel64> line_;
    bool failed_ = false;
};

}  // namespace gdiplus

// TIFF files through libtiff's RGBA reader: 24-bit RGB, or 32-bit ARGB
// when the file carries alpha; the first image of the file, its
// Orientation tag applied.

#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/imaging/decode_limits.h"
#include "platform/imaging/decoders.h"
#include "platform/imaging/orientation.h"
#include "platform/imaging/tiff_memory_io.h"
#include "platform/imaging/tiff_metadata.h"

namespace gdiplus {
namespace {

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};

struct RgbaImage {
    TIFFRGBAImage img{};
    bool begun = false;
    ~RgbaImage() {
        if (begun) TIFFRGBAImageEnd(&img);
    }
};

struct Free32 {
    void operator()(uint32_t* p) const { std::free(p); }
};

BYTE Unpremultiply(unsigned c, unsigned a) {
    if (a == 0) return 0;
    unsigned v = (c * 255 + a / 2) / a;
    return static_cast<BYTE>(v > 255 ? 255 : v);
}

// Plain 8-bit RGB or RGBA in strips, read a row at a time straight into
// B, G, R(, A) order. This keeps unassociated alpha exact, which the RGBA
// reader would premultiply and lose at low alpha.
bool IsPlainRgb(TIFF* tif, bool* alpha) {
    uint16_t photometric = 0, bits = 0, samples = 0, planar = 0, extraCount = 0;
    uint16_t* extra = nullptr;
    if (TIFFIsTiled(tif)) return false;
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric) || photometric != PHOTOMETRIC_RGB) return false;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
    if (bits != 8 || planar != PLANARCONFIG_CONTIG) return false;
    if (samples == 3 && extraCount == 0) {
        *alpha = false;
        return true;
    }
    if (samples == 4 && extraCount == 1 && extra != nullptr && extra[0] == EXTRASAMPLE_UNASSALPHA) {
        *alpha = true;
        return true;
    }
    return false;
}

Status ReadPlainRgb(TIFF* tif, bool alpha, ImageProperties* properties, Raster* out) {
    uint32_t width = 0, height = 0;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    PixelFormat format = alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    size_t turnBytes = orientation != ORIENTATION_TOPLEFT ? RowBytes(width, format) * height : 0;
    if (Status s = CheckDecodeSize(width, height, GetPixelFormatSize(format), turnBytes); s != Ok) return s;
    tmsize_t lineBytes = TIFFScanlineSize(tif);
    size_t samples = alpha ? 4 : 3;
    if (lineBytes <= 0 || static_cast<size_t>(lineBytes) < static_cast<size_t>(width) * samples) return GenericError;

    Raster raster;
    if (Status s = Raster::Allocate(width, height, format, false, &raster); s != Ok) return s;
    std::unique_ptr<BYTE, FreeDeleter> line(static_cast<BYTE*>(std::malloc(static_cast<size_t>(lineBytes))));
    if (!line) return OutOfMemory;
    for (uint32_t y = 0; y < height; ++y) {
        if (TIFFReadScanline(tif, line.get(), y, 0) < 0) return GenericError;
        const BYTE* in = line.get();
        BYTE* px = raster.Row(y);
        for (uint32_t x = 0; x < width; ++x, in += samples, px += samples) {
            px[0] = in[2], px[1] = in[1], px[2] = in[0];
            if (alpha) px[3] = in[3];
        }
    }
    raster.properties = std::move(*properties);
    if (Status s = ApplyOrientation(&raster, orientation); s != Ok) return s;
    *out = std::move(raster);
    return Ok;
}

}  // namespace

Status DecodeTiff(const BYTE* data, size_t size, Raster* out) {
    TiffMemory memory;
    memory.data = data;
    memory.size = size;
    std::unique_ptr<TIFF, TiffCloser> tif(OpenTiffMemory(&memory, "rm"));
    if (!tif || memory.errors > 0) return GenericError;
    ImageProperties properties;
    ReadTiffMetadata(tif.get(), data, size, &properties);
    bool plainAlpha = false;
    if (IsPlainRgb(tif.get(), &plainAlpha)) {
        Raster raster;
        Status status = ReadPlainRgb(tif.get(), plainAlpha, &properties, &raster);
        if (status == Ok && memory.errors > 0) status = GenericError;
        if (status == Ok) *out = std::move(raster);
        return status;
    }

    char message[1024] = "";
    if (!TIFFRGBAImageOK(tif.get(), message)) return GenericError;
    RgbaImage rgba;
    if (!TIFFRGBAImageBegin(&rgba.img, tif.get(), 1, message)) return GenericError;
    rgba.begun = true;

    UINT width = rgba.img.width, height = rgba.img.height;
    bool alpha = rgba.img.alpha != 0;
    PixelFormat format = alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    int orientation = rgba.img.orientation;
    // The reader's own buffer, and the upright copy when the picture turns.
    size_t readerBytes = static_cast<size_t>(width) * height * 4;
    size_t turnBytes = orientation != ORIENTATION_TOPLEFT ? RowBytes(width, format) * height : 0;
    if (Status s = CheckDecodeSize(width, height, GetPixelFormatSize(format), readerBytes + turnBytes);
        s != Ok) {
        return s;
    }

    std::unique_ptr<uint32_t, Free32> pixels(static_cast<uint32_t*>(std::malloc(readerBytes)));
    if (!pixels) return OutOfMemory;
    // Read the rows as stored; the turn is ours, for all eight orientations.
    rgba.img.orientation = ORIENTATION_TOPLEFT;
    rgba.img.req_orientation = ORIENTATION_TOPLEFT;
    if (!TIFFRGBAImageGet(&rgba.img, pixels.get(), width, height) || memory.errors > 0) return GenericError;

    Raster raster;
    if (Status s = Raster::Allocate(width, height, format, false, &raster); s != Ok) return s;
    for (UINT y = 0; y < height; ++y) {
        const uint32_t* in = pixels.get() + static_cast<size_t>(y) * width;
        BYTE* px = raster.Row(y);
        for (UINT x = 0; x < width; ++x) {
            uint32_t v = in[x];
            unsigned r = TIFFGetR(v), g = TIFFGetG(v), b = TIFFGetB(v);
            if (alpha) {
                // The reader hands out premultiplied colour.
                unsigned a = TIFFGetA(v);
                px[0] = Unpremultiply(b, a), px[1] = Unpremultiply(g, a), px[2] = Unpremultiply(r, a);
                px[3] = static_cast<BYTE>(a);
                px += 4;
            } else {
                px[0] = static_cast<BYTE>(b), px[1] = static_cast<BYTE>(g), px[2] = static_cast<BYTE>(r);
                px += 3;
            }
        }
    }
    pixels.reset();
    raster.properties = std::move(properties);
    if (Status s = ApplyOrientation(&raster, orientation); s != Ok) return s;
    *out = std::move(raster);
    return Ok;
}

}  // namespace gdiplus

// TIFF files through libtiff's RGBA reader: 24-bit RGB, or 32-bit ARGB
// when the file carries alpha; the first image of the file, its
// Orientation tag applied.

#include <algorithm>
#include <cstdint>
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

// At most how many bytes one stored byte of a strip or tile decodes to, for
// the compressions that bound it; 0 for those that do not (CCITT fax, JPEG
// and the like), whose strips are only checked to lie inside the file.
uint64_t MaxExpansion(uint16_t compression) {
    switch (compression) {
        case COMPRESSION_NONE: return 1;
        case COMPRESSION_PACKBITS: return 64;  // two bytes repeat one up to 128 times
        case COMPRESSION_LZW: return 4096;     // a code takes more than a byte and stands for fewer than 4096
        case COMPRESSION_DEFLATE:
        case COMPRESSION_ADOBE_DEFLATE: return 1032;  // deflate's own ceiling
        default: return 0;
    }
}

// The bytes the picture's strips or tiles decode to, as declared.
uint64_t DeclaredBytes(TIFF* tif, uint32_t stored) {
    if (TIFFIsTiled(tif)) return MultiplyBytes(TIFFTileSize64(tif), stored);
    uint32_t height = 0;
    uint16_t planar = PLANARCONFIG_CONTIG, samples = 1;
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    uint64_t planes = planar == PLANARCONFIG_SEPARATE ? samples : 1;
    return MultiplyBytes(MultiplyBytes(TIFFScanlineSize64(tif), height), planes);
}

// Before anything is allocated for the picture: every strip or tile lies
// inside the file (GenericError: it was cut short), and together they hold
// enough to decode to the declared size where the compression bounds that
// (OutOfMemory otherwise: a few bytes must not claim gigabytes). Reports
// the largest, which libtiff copies whole to decode.
Status CheckStoredData(TIFF* tif, size_t fileSize, uint64_t* largest) {
    uint32_t count = TIFFIsTiled(tif) ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    if (count == 0) return GenericError;
    uint64_t stored = 0;
    *largest = 0;
    for (uint32_t i = 0; i < count; ++i) {
        int error = 0;
        uint64_t offset = TIFFGetStrileOffsetWithErr(tif, i, &error);
        uint64_t bytes = TIFFGetStrileByteCountWithErr(tif, i, &error);
        if (error != 0 || offset > fileSize || bytes > fileSize - offset) return GenericError;
        stored += bytes;  // each within the file: no overflow
        *largest = std::max(*largest, bytes);
    }
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    uint64_t expansion = MaxExpansion(compression);
    if (expansion != 0 && MultiplyBytes(stored, expansion) < DeclaredBytes(tif, count)) return OutOfMemory;
    return Ok;
}

// libtiff's own buffers while reading: one decoded strip or tile (one per
// sample for separate planes) and the largest stored one.
size_t LibraryBytes(TIFF* tif, uint64_t largestStored) {
    uint16_t planar = PLANARCONFIG_CONTIG, samples = 1;
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    uint64_t decoded = TIFFIsTiled(tif) ? TIFFTileSize64(tif) : TIFFStripSize64(tif);
    uint64_t planes = planar == PLANARCONFIG_SEPARATE ? samples : 1;
    return AddBytes(MultiplyBytes(decoded, planes), largestStored);
}

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

Status ReadPlainRgb(TIFF* tif, bool alpha, size_t libraryBytes, ImageProperties* properties, Raster* out) {
    uint32_t width = 0, height = 0;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    PixelFormat format = alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    size_t turnBytes = orientation != ORIENTATION_TOPLEFT ? MultiplyBytes(RowBytes(width, format), height) : 0;
    tmsize_t lineBytes = TIFFScanlineSize(tif);
    size_t extraBytes = AddBytes(AddBytes(turnBytes, libraryBytes), lineBytes > 0 ? static_cast<size_t>(lineBytes) : 0);
    if (Status s = CheckDecodeSize(width, height, GetPixelFormatSize(format), extraBytes); s != Ok) return s;
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
    uint64_t largestStored = 0;
    if (Status s = CheckStoredData(tif.get(), size, &largestStored); s != Ok) return s;
    size_t libraryBytes = LibraryBytes(tif.get(), largestStored);
    ImageProperties properties;
    ReadTiffMetadata(tif.get(), data, size, &properties);
    bool plainAlpha = false;
    if (IsPlainRgb(tif.get(), &plainAlpha)) {
        Raster raster;
        Status status = ReadPlainRgb(tif.get(), plainAlpha, libraryBytes, &properties, &raster);
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
    size_t readerBytes = MultiplyBytes(MultiplyBytes(width, height), 4);
    size_t turnBytes = orientation != ORIENTATION_TOPLEFT ? MultiplyBytes(RowBytes(width, format), height) : 0;
    if (Status s = CheckDecodeSize(width, height, GetPixelFormatSize(format),
                                   AddBytes(AddBytes(readerBytes, turnBytes), libraryBytes));
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

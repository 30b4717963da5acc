// TIFF files through libtiff, LZW-compressed.

#include <memory>
#include <new>

#include "platform/imaging/encoders.h"
#include "platform/imaging/tiff_memory_io.h"
#include "platform/imaging/tiff_metadata.h"

namespace gdiplus {
namespace {

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};

}  // namespace

Status EncodeTiff(const Raster& raster, std::vector<BYTE>* out) {
    UINT width = raster.Width(), height = raster.Height();
    bool indexed = IsIndexedPixelFormat(raster.Format());
    bool alpha = !indexed && HasAlpha(raster);
    out->clear();

    TiffMemory memory;
    memory.sink = out;
    std::unique_ptr<TIFF, TiffCloser> tif(OpenTiffMemory(&memory, "w"));
    if (!tif) return memory.failed ? OutOfMemory : GenericError;

    TIFF* t = tif.get();
    uint16_t bits = indexed ? static_cast<uint16_t>(GetPixelFormatSize(raster.Format())) : 8;
    uint16_t samples = indexed ? 1 : alpha ? 4 : 3;
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
    TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(t, TIFFTAG_XRESOLUTION, 96.0);
    TIFFSetField(t, TIFFTAG_YRESOLUTION, 96.0);
    MetadataBlocks metadata = BlocksToWrite(raster.properties);
    WriteTiffMetadata(t, metadata);

    std::vector<uint16_t> red, green, blue;
    std::vector<BYTE> line;
    try {
        if (indexed) {
            size_t entries = size_t{1} << bits;
            red.assign(entries, 0), green.assign(entries, 0), blue.assign(entries, 0);
            for (size_t i = 0; i < entries && i < raster.palette.size(); ++i) {
                ARGB c = raster.palette[i];
                red[i] = static_cast<uint16_t>(((c >> 16) & 0xFF) * 257);
                green[i] = static_cast<uint16_t>(((c >> 8) & 0xFF) * 257);
                blue[i] = static_cast<uint16_t>((c & 0xFF) * 257);
            }
        } else {
            line.resize(static_cast<size_t>(width) * samples);
        }
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    if (indexed) {
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
        TIFFSetField(t, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
    } else {
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        if (alpha) {
            uint16_t extra = EXTRASAMPLE_UNASSALPHA;
            TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &extra);
        }
    }

    RowReader rows(raster, indexed ? raster.Format() : alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB);
    for (UINT y = 0; y < height; ++y) {
        const BYTE* row = rows.Row(y);
        if (row == nullptr) return OutOfMemory;
        void* scanline;
        if (indexed) {
            scanline = const_cast<BYTE*>(row);
        } else {
            // Ours are B, G, R(, A); the file's R, G, B(, A).
            for (UINT x = 0; x < width; ++x) {
                const BYTE* in = row + x * samples;
                BYTE* px = line.data() + x * samples;
                px[0] = in[2], px[1] = in[1], px[2] = in[0];
                if (alpha) px[3] = in[3];
            }
            scanline = line.data();
        }
        if (TIFFWriteScanline(t, scanline, y, 0) < 0) return memory.failed ? OutOfMemory : GenericError;
    }
    if (!TIFFWriteDirectory(t)) return memory.failed ? OutOfMemory : GenericError;
    tif.reset();
    if (memory.failed) return OutOfMemory;
    AddExifToTiff(metadata.exif, out);
    return Ok;
}

}  // namespace gdiplus

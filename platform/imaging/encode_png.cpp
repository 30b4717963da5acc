// PNG files through libpng, at zlib's default compression level.

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>

#include "platform/imaging/encoders.h"
#include "platform/imaging/png_metadata.h"

namespace gdiplus {
namespace {

struct WriteState {
    std::vector<BYTE>* out;
    bool outOfMemory = false;
};

void WriteToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* state = static_cast<WriteState*>(png_get_io_ptr(png));
    try {
        state->out->insert(state->out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        state->outOfMemory = true;
    }
    // png_error jumps away: never from inside the handler, which would skip
    // the end of the exception's life.
    if (state->outOfMemory) png_error(png, "out of memory");
}

void Flush(png_structp) {}

[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

struct Layout {
    PixelFormat rowFormat;  // rows handed to libpng, in our byte order
    int depth;
    int colorType;
    bool bgr;   // B, G, R order to be swapped
    bool swap;  // 16-bit samples little-endian
    bool dropFiller;
};

Layout LayoutOf(const Raster& raster) {
    PixelFormat f = raster.Format();
    switch (f) {
        case PixelFormat1bppIndexed: return {f, 1, PNG_COLOR_TYPE_PALETTE, false, false, false};
        case PixelFormat4bppIndexed: return {f, 4, PNG_COLOR_TYPE_PALETTE, false, false, false};
        case PixelFormat8bppIndexed: return {f, 8, PNG_COLOR_TYPE_PALETTE, false, false, false};
        case PixelFormat16bppGrayScale: return {f, 16, PNG_COLOR_TYPE_GRAY, false, true, false};
        case PixelFormat24bppRGB: return {f, 8, PNG_COLOR_TYPE_RGB, true, false, false};
        case PixelFormat32bppRGB: return {f, 8, PNG_COLOR_TYPE_RGB, true, false, true};
        case PixelFormat48bppRGB: return {f, 16, PNG_COLOR_TYPE_RGB, true, true, false};
        case PixelFormat64bppARGB:
        case PixelFormat64bppPARGB: return {PixelFormat64bppARGB, 16, PNG_COLOR_TYPE_RGB_ALPHA, true, true, false};
        case PixelFormat32bppARGB:
        case PixelFormat32bppPARGB:
        case PixelFormat16bppARGB1555: return {PixelFormat32bppARGB, 8, PNG_COLOR_TYPE_RGB_ALPHA, true, false, false};
        default:  // 16-bit RGB
            return {PixelFormat24bppRGB, 8, PNG_COLOR_TYPE_RGB, true, false, false};
    }
}

// Palette entries the picture needs: its palette, extended (black) to its
// highest index so that every pixel has an entry.
size_t PaletteLength(const Raster& raster, int depth) {
    size_t full = size_t{1} << depth;
    size_t length = std::min(raster.palette.size(), full);
    if (length == full) return full;
    size_t highest = 0;
    for (UINT y = 0; y < raster.Height(); ++y) {
        const BYTE* row = raster.Row(y);
        for (UINT x = 0; x < raster.Width(); ++x) {
            size_t bit = static_cast<size_t>(x) * depth;
            size_t index = (row[bit / 8] >> (8 - depth - bit % 8)) & (full - 1);
            highest = std::max(highest, index);
        }
    }
    return std::max({length, highest + 1, size_t{1}});
}

struct PngEncode {
    png_structp png = nullptr;
    png_infop info = nullptr;
    WriteState state;
    std::vector<png_color> colours;
    std::vector<png_byte> alpha;
    MetadataBlocks metadata;
};

Status Run(PngEncode& e, const Raster& raster, const Layout& layout, RowReader& rows) {
    png_structp png = e.png;
    if (setjmp(png_jmpbuf(png)) != 0) return e.state.outOfMemory ? OutOfMemory : GenericError;
    png_set_write_fn(png, &e.state, WriteToVector, Flush);
    png_set_IHDR(png, e.info, raster.Width(), raster.Height(), layout.depth, layout.colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (layout.colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, e.info, e.colours.data(), static_cast<int>(e.colours.size()));
        if (!e.alpha.empty()) {
            png_set_tRNS(png, e.info, e.alpha.data(), static_cast<int>(e.alpha.size()), nullptr);
        }
    }
    WritePngMetadata(png, e.info, e.metadata);
    png_write_info(png, e.info);
    if (layout.bgr) png_set_bgr(png);
    if (layout.swap) png_set_swap(png);
    if (layout.dropFiller) png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (UINT y = 0; y < raster.Height(); ++y) {
        const BYTE* row = rows.Row(y);
        if (row == nullptr) return OutOfMemory;
        png_write_row(png, const_cast<png_bytep>(row));
    }
    png_write_end(png, nullptr);
    return Ok;
}

}  // namespace

Status EncodePng(const Raster& raster, std::vector<BYTE>* out) {
    Layout layout = LayoutOf(raster);
    RowReader rows(raster, layout.rowFormat);
    PngEncode e;
    e.state.out = out;
    out->clear();
    try {
        if (layout.colorType == PNG_COLOR_TYPE_PALETTE) {
            size_t length = PaletteLength(raster, layout.depth);
            e.colours.resize(length);
            size_t lastTranslucent = 0;
            bool translucent = false;
            for (size_t i = 0; i < length; ++i) {
                ARGB c = i < raster.palette.size() ? raster.palette[i] : 0xFF000000u;
                e.colours[i] = {static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8),
                                static_cast<png_byte>(c)};
                if ((c >> 24) != 0xFF) translucent = true, lastTranslucent = i;
            }
            if (translucent) {
                for (size_t i = 0; i <= lastTranslucent; ++i) {
                    ARGB c = i < raster.palette.size() ? raster.palette[i] : 0xFF000000u;
                    e.alpha.push_back(static_cast<png_byte>(c >> 24));
                }
            }
        }
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    e.metadata = BlocksToWrite(raster.properties);
    e.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (e.png == nullptr) return OutOfMemory;
    e.info = png_create_info_struct(e.png);
    if (e.info == nullptr) {
        png_destroy_write_struct(&e.png, nullptr);
        return OutOfMemory;
    }
    Status status = Run(e, raster, layout, rows);
    png_destroy_write_struct(&e.png, &e.info);
    if (status != Ok) out->clear();
    return status;
}

}  // namespace gdiplus

// PNG files through libpng: palette and low-depth grey files stay indexed
// (2-bit widened to 4), 16-bit grey and RGB keep their depth, alpha and
// tRNS transparency give ARGB.

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include "platform/imaging/decode_limits.h"
#include "platform/imaging/decoders.h"
#include "platform/imaging/memory_reader.h"
#include "platform/imaging/png_metadata.h"

namespace gdiplus {
namespace {

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    if (!static_cast<MemoryReader*>(png_get_io_ptr(png))->ReadAll(out, length)) png_error(png, "file ends early");
}

struct ErrorState {
    bool outOfMemory = false;
};

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
    auto* state = static_cast<ErrorState*>(png_get_error_ptr(png));
    state->outOfMemory = std::strstr(message, "memory") != nullptr;
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Everything that must outlive a jump back to the decode's start.
struct PngDecode {
    png_structp png = nullptr;
    png_infop info = nullptr;
    MemoryReader reader{};
    ErrorState errors;
    Raster raster;
    ImageProperties properties;  // gathered while the chunks are read
    std::vector<png_bytep> rows;
    std::vector<BYTE> widened;  // 2-bit files read at one byte per pixel
};

// Packs one byte per pixel into 4-bit nibbles, high nibble first.
void PackNibbles(const BYTE* in, UINT width, BYTE* out) {
    for (UINT x = 0; x + 1 < width; x += 2) out[x / 2] = static_cast<BYTE>(in[x] << 4 | (in[x + 1] & 0x0F));
    if (width & 1) out[width / 2] = static_cast<BYTE>(in[width - 1] << 4);
}

// Chunks libpng would otherwise read, decompress and keep: text (tEXt, zTXt
// and iTXt inflate to megabytes each, a thousand of them allowed), palettes
// for other displays, and metadata the bitmap has no place for. They are
// never decompressed nor kept, whatever their size, and never count against
// the decode budget; the one iTXt chunk that holds XMP is taken as it passes
// (KeepPngXmp). The colour profile (iCCP) and EXIF (eXIf) are read, within
// the chunk-size cap below.
const png_byte ignoredChunks[] =
    "bKGD\0cHRM\0gAMA\0hIST\0iTXt\0oFFs\0pCAL\0pHYs\0sBIT\0sCAL\0sPLT\0sRGB\0sTER\0tEXt\0tIME\0zTXt";
constexpr int ignoredChunkCount = sizeof ignoredChunks / 5;

void IgnoreChunksOfNoUse(png_structp png) {
    // Chunks libpng does not know are dropped as well.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, ignoredChunks, ignoredChunkCount);
    // What is still read whole (the palette and its transparency, at most
    // 768 and 256 bytes, and later the metadata taken out of the list above)
    // is capped, as is the number of chunks libpng would keep.
    png_set_chunk_malloc_max(png, maxMetadataBytes);
    png_set_chunk_cache_max(png, 16);
}

Status Run(PngDecode& d) {
    png_structp png = d.png;
    png_infop info = d.info;
    if (setjmp(png_jmpbuf(png)) != 0) return d.errors.outOfMemory ? OutOfMemory : GenericError;

    png_set_read_fn(png, &d.reader, ReadFromMemory);
    png_read_info(png, info);
    png_uint_32 width, height;
    int depth, colorType, interlace;
    png_get_IHDR(png, info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
    bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;

    PixelFormat format;
    bool widenTwoBit = false;
    bool indexed = colorType == PNG_COLOR_TYPE_PALETTE || (colorType == PNG_COLOR_TYPE_GRAY && depth <= 8);
    if (indexed) {
        format = depth == 1 ? PixelFormat1bppIndexed : depth == 8 ? PixelFormat8bppIndexed : PixelFormat4bppIndexed;
        if (depth == 2) {
            widenTwoBit = true;
            png_set_packing(png);
        }
    } else if (colorType == PNG_COLOR_TYPE_GRAY && !hasTrns) {
        format = PixelFormat16bppGrayScale;
        png_set_swap(png);
    } else if (colorType == PNG_COLOR_TYPE_RGB && !hasTrns) {
        format = depth == 16 ? PixelFormat48bppRGB : PixelFormat24bppRGB;
        png_set_bgr(png);
        if (depth == 16) png_set_swap(png);
    } else if (colorType == PNG_COLOR_TYPE_RGB_ALPHA && depth == 16) {
        format = PixelFormat64bppARGB;
        png_set_bgr(png);
        png_set_swap(png);
    } else {
        // RGBA 8, grey with alpha, grey 16 or RGB with a transparent colour.
        format = PixelFormat32bppARGB;
        png_set_strip_16(png);
        if (hasTrns) png_set_tRNS_to_alpha(png);
        if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
            png_set_gray_to_rgb(png);
        }
        png_set_bgr(png);
    }
    if (interlace != PNG_INTERLACE_NONE) png_set_interlace_handling(png);
    png_read_update_info(png, info);

    // Beside the bitmap: the 2-bit rows widened, a pointer to every row, and
    // libpng's current and previous rows at up to 8 bytes a pixel.
    size_t widenedBytes = widenTwoBit ? MultiplyBytes(width, height) : 0;
    size_t workingBytes = AddBytes(MultiplyBytes(height, sizeof(png_bytep)), MultiplyBytes(width, 2 * 8));
    if (Status s = CheckDecodeSize(width, height, GetPixelFormatSize(format), AddBytes(widenedBytes, workingBytes));
        s != Ok) {
        return s;
    }
    if (Status s = Raster::Allocate(width, height, format, false, &d.raster); s != Ok) return s;
    ReadPngMetadata(png, info, &d.properties);
    d.raster.properties = std::move(d.properties);
    if (widenTwoBit && png_get_rowbytes(png, info) != width) return GenericError;
    if (!widenTwoBit && png_get_rowbytes(png, info) != PackedRowBytes(width, format)) return GenericError;

    if (indexed) {
        if (colorType == PNG_COLOR_TYPE_PALETTE) {
            png_colorp colours = nullptr;
            int count = 0;
            png_get_PLTE(png, info, &colours, &count);
            png_bytep alpha = nullptr;
            int alphaCount = 0;
            if (hasTrns) png_get_tRNS(png, info, &alpha, &alphaCount, nullptr);
            int addressable = 1 << depth;
            if (count > addressable) count = addressable;
            d.raster.palette.resize(static_cast<size_t>(count));
            bool anyAlpha = false;
            for (int i = 0; i < count; ++i) {
                ARGB a = i < alphaCount ? alpha[i] : 0xFF;
                anyAlpha = anyAlpha || a != 0xFF;
                d.raster.palette[static_cast<size_t>(i)] =
                    a << 24 | static_cast<ARGB>(colours[i].red) << 16 | colours[i].green << 8 | colours[i].blue;
            }
            d.raster.paletteFlags = anyAlpha ? PaletteFlagsHasAlpha : 0;
        } else {
            d.raster.palette = GreyPalette(1u << depth);
            d.raster.paletteFlags = PaletteFlagsGrayScale;
            png_color_16p grey = nullptr;
            if (hasTrns && png_get_tRNS(png, info, nullptr, nullptr, &grey) != 0 && grey != nullptr &&
                grey->gray < d.raster.palette.size()) {
                d.raster.palette[grey->gray] &= 0x00FFFFFFu;
                d.raster.paletteFlags |= PaletteFlagsHasAlpha;
            }
        }
    }

    try {
        d.rows.resize(height);
        if (widenTwoBit) d.widened.resize(widenedBytes);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    for (png_uint_32 y = 0; y < height; ++y) {
        d.rows[y] = widenTwoBit ? d.widened.data() + static_cast<size_t>(y) * width : d.raster.Row(y);
    }
    png_read_image(png, d.rows.data());
    if (widenTwoBit) {
        for (png_uint_32 y = 0; y < height; ++y) PackNibbles(d.rows[y], width, d.raster.Row(y));
    }
    return Ok;
}

}  // namespace

Status DecodePng(const BYTE* data, size_t size, Raster* out) {
    PngDecode d;
    d.reader = {data, size, 0};
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &d.errors, OnError, OnWarning);
    if (d.png == nullptr) return OutOfMemory;
    d.info = png_create_info_struct(d.png);
    if (d.info == nullptr) {
        png_destroy_read_struct(&d.png, nullptr, nullptr);
        return OutOfMemory;
    }
    IgnoreChunksOfNoUse(d.png);
    KeepPngXmp(d.png, &d.properties);
#ifdef PELMORA_FUZZING
    // Mutated chunks would all fail their checksums and never reach the
    // decoding; the fuzzers' build alone reads them as if they were whole.
    png_set_crc_action(d.png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    png_set_option(d.png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    Status status = Run(d);
    png_destroy_read_struct(&d.png, &d.info, nullptr);
    if (status != Ok) return status;
    *out = std::move(d.raster);
    return Ok;
}

}  // namespace gdiplus

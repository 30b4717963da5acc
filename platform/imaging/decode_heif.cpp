// HEIF files (HEIC, AVIF) through libheif: the primary image with its
// rotation, mirroring and cropping applied, 8 bits per channel as B, G, R
// (A) rows, more bits as 16-bit channels.

#include <libheif/heif.h>

#include <memory>

#include "platform/imaging/decode_limits.h"
#include "platform/imaging/decoders.h"

namespace gdiplus {
namespace {

struct ContextDeleter {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleDeleter {
    void operator()(const heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageDeleter {
    void operator()(const heif_image* image) const { heif_image_release(image); }
};
struct OptionsDeleter {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};

Status StatusOf(const heif_error& error) {
    if (error.code == heif_error_Ok) return Ok;
    if (error.code == heif_error_Memory_allocation_error || error.subcode == heif_suberror_Security_limit_exceeded) {
        return OutOfMemory;
    }
    return GenericError;
}

void EnsureLibraryStarted() {
    static const bool started = [] {
        heif_init(nullptr);
        return true;
    }();
    (void)started;
}

// Copies interleaved R, G, B (A) samples into B, G, R (A) rows; 16-bit
// samples of fewer significant bits are spread over the whole range.
void CopyRows(const BYTE* samples, int stride, UINT channels, int bits, Raster* out) {
    const UINT width = out->Width();
    if (bits <= 8) {
        for (UINT y = 0; y < out->Height(); ++y) {
            const BYTE* from = samples + static_cast<std::ptrdiff_t>(y) * stride;
            BYTE* to = out->Row(y);
            for (UINT x = 0; x < width; ++x, from += channels, to += channels) {
                to[0] = from[2], to[1] = from[1], to[2] = from[0];
                if (channels == 4) to[3] = from[3];
            }
        }
        return;
    }
    const unsigned maximum = (1u << bits) - 1;
    auto widen = [maximum](const BYTE* p) {
        unsigned v = static_cast<unsigned>(p[0] | p[1] << 8);
        if (v > maximum) v = maximum;
        return (v * 65535u + maximum / 2) / maximum;
    };
    auto store = [](BYTE* p, unsigned v) {
        p[0] = static_cast<BYTE>(v);
        p[1] = static_cast<BYTE>(v >> 8);
    };
    for (UINT y = 0; y < out->Height(); ++y) {
        const BYTE* from = samples + static_cast<std::ptrdiff_t>(y) * stride;
        BYTE* to = out->Row(y);
        for (UINT x = 0; x < width; ++x, from += 2 * channels, to += 2 * channels) {
            store(to, widen(from + 4));
            store(to + 2, widen(from + 2));
            store(to + 4, widen(from));
            if (channels == 4) store(to + 6, widen(from + 6));
        }
    }
}

}  // namespace

Status DecodeHeif(const BYTE* data, size_t size, Raster* out) {
    EnsureLibraryStarted();
    std::unique_ptr<heif_context, ContextDeleter> context(heif_context_alloc());
    if (!context) return OutOfMemory;
    // The library refuses larger sides itself, before allocating.
    heif_context_set_maximum_image_size_limit(context.get(), static_cast<int>(maxDecodedSide));
    if (Status s = StatusOf(heif_context_read_from_memory_without_copy(context.get(), data, size, nullptr)); s != Ok) {
        return s;
    }
    heif_image_handle* rawHandle = nullptr;
    if (Status s = StatusOf(heif_context_get_primary_image_handle(context.get(), &rawHandle)); s != Ok) return s;
    std::unique_ptr<const heif_image_handle, HandleDeleter> handle(rawHandle);

    const int width = heif_image_handle_get_width(handle.get());
    const int height = heif_image_handle_get_height(handle.get());
    if (width <= 0 || height <= 0) return GenericError;
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    const bool premultiplied = alpha && heif_image_handle_is_premultiplied_alpha(handle.get()) != 0;
    const int lumaBits = heif_image_handle_get_luma_bits_per_pixel(handle.get());
    const bool deep = lumaBits > 8;
    const UINT channels = alpha ? 4 : 3;
    PixelFormat format =
        deep ? (alpha ? (premultiplied ? PixelFormat64bppPARGB : PixelFormat64bppARGB) : PixelFormat48bppRGB)
             : (alpha ? (premultiplied ? PixelFormat32bppPARGB : PixelFormat32bppARGB) : PixelFormat24bppRGB);
    // The library's decoded planes and its interleaved copy live beside the
    // bitmap until the end.
    size_t libraryBytes = 2 * static_cast<size_t>(width) * static_cast<size_t>(height) * channels * (deep ? 2 : 1);
    if (Status s = CheckDecodeSize(static_cast<UINT>(width), static_cast<UINT>(height), GetPixelFormatSize(format),
                                   libraryBytes);
        s != Ok) {
        return s;
    }

    const heif_chroma chroma = deep ? (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
                                    : (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
    std::unique_ptr<heif_decoding_options, OptionsDeleter> options(heif_decoding_options_alloc());
    if (!options) return OutOfMemory;
    heif_image* rawImage = nullptr;
    if (Status s = StatusOf(heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB, chroma, options.get()));
        s != Ok) {
        return s;
    }
    std::unique_ptr<const heif_image, ImageDeleter> image(rawImage);

    const int shownWidth = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int shownHeight = heif_image_get_height(image.get(), heif_channel_interleaved);
    const int bits = heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved);
    int stride = 0;
    const uint8_t* samples = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    if (samples == nullptr || shownWidth <= 0 || shownHeight <= 0 || bits <= 0 || bits > 16 || (bits > 8) != deep) {
        return GenericError;
    }
    const size_t rowSamples = static_cast<size_t>(shownWidth) * channels * (deep ? 2 : 1);
    if (stride < 0 || static_cast<size_t>(stride) < rowSamples) return GenericError;

    Raster raster;
    if (Status s =
            Raster::Allocate(static_cast<UINT>(shownWidth), static_cast<UINT>(shownHeight), format, false, &raster);
        s != Ok) {
        return s;
    }
    CopyRows(samples, stride, channels, bits, &raster);
    *out = std::move(raster);
    return Ok;
}

}  // namespace gdiplus

// HEIF files (HEIC, AVIF) through libheif: the primary image with its
// rotation, mirroring and cropping applied, 8 bits per channel as B, G, R
// (A) rows, more bits as 16-bit channels. The colour profile (colr prof
// or rICC), the Exif item and the XMP item are kept as property items.

#include <libheif/heif.h>

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "platform/owned.h"
#include "platform/imaging/decode_limits.h"
#include "platform/imaging/decoders.h"
#include "platform/imaging/metadata_blocks.h"
#include "platform/imaging/orientation.h"

namespace gdiplus {
namespace {

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

// The bytes of a metadata item, or none when it is larger than a kept
// block may be or cannot be read.
std::vector<BYTE> MetadataOf(const heif_image_handle* handle, heif_item_id id) {
    std::vector<BYTE> bytes;
    const size_t size = heif_image_handle_get_metadata_size(handle, id);
    if (size == 0 || size > maxMetadataBytes) return bytes;
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        return {};
    }
    if (heif_image_handle_get_metadata(handle, id, bytes.data()).code != heif_error_Ok) bytes.clear();
    return bytes;
}

// The profile, the first Exif item and the first XMP item of the primary
// image; their bytes count in *keptBytes.
void KeepMetadata(const heif_image_handle* handle, ImageProperties* properties, size_t* keptBytes) {
    const heif_color_profile_type profileType = heif_image_handle_get_color_profile_type(handle);
    if (profileType == heif_color_profile_type_prof || profileType == heif_color_profile_type_rICC) {
        const size_t size = heif_image_handle_get_raw_color_profile_size(handle);
        if (size > 0 && size <= maxMetadataBytes) {
            try {
                std::vector<BYTE> profile(size);
                if (heif_image_handle_get_raw_color_profile(handle, profile.data()).code == heif_error_Ok) {
                    KeepIccProfile(profile.data(), profile.size(), properties);
                    *keptBytes = AddBytes(*keptBytes, size);
                }
            } catch (const std::bad_alloc&) {
                // Left out; the picture is decoded all the same.
            }
        }
    }
    const int count = heif_image_handle_get_number_of_metadata_blocks(handle, nullptr);
    if (count <= 0) return;
    std::vector<heif_item_id> ids;
    try {
        ids.resize(static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        return;
    }
    const int listed = heif_image_handle_get_list_of_metadata_block_IDs(handle, nullptr, ids.data(), count);
    bool haveExif = false, haveXmp = false;
    for (int i = 0; i < listed && i < count; ++i) {
        const heif_item_id id = ids[static_cast<size_t>(i)];
        const char* type = heif_image_handle_get_metadata_type(handle, id);
        const char* contentType = heif_image_handle_get_metadata_content_type(handle, id);
        if (type == nullptr) continue;
        const bool exif = !haveExif && std::strcmp(type, "Exif") == 0;
        const bool xmp = !haveXmp && std::strcmp(type, "mime") == 0 && contentType != nullptr &&
                         std::strcmp(contentType, "application/rdf+xml") == 0;
        if (!exif && !xmp) continue;
        std::vector<BYTE> bytes = MetadataOf(handle, id);
        if (bytes.empty()) continue;
        *keptBytes = AddBytes(*keptBytes, bytes.size());
        if (exif) {
            haveExif = true;
            // The item starts with the offset of the TIFF header from the
            // end of those four bytes.
            if (bytes.size() < 4) continue;
            const size_t offset = static_cast<size_t>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
            if (offset > bytes.size() - 4) continue;
            KeepExif(bytes.data() + 4 + offset, bytes.size() - 4 - offset, properties);
        } else {
            haveXmp = true;
            KeepXmp(bytes.data(), bytes.size(), properties);
        }
    }
}

}  // namespace

Status DecodeHeif(const BYTE* data, size_t size, Raster* out) {
    EnsureLibraryStarted();
    platform::Owned<heif_context, heif_context_free> context(heif_context_alloc());
    if (!context) return OutOfMemory;
    // The library refuses larger sides itself, before allocating.
    heif_context_set_maximum_image_size_limit(context.get(), static_cast<int>(maxDecodedSide));
    if (Status s = StatusOf(heif_context_read_from_memory_without_copy(context.get(), data, size, nullptr)); s != Ok) {
        return s;
    }
    heif_image_handle* rawHandle = nullptr;
    if (Status s = StatusOf(heif_context_get_primary_image_handle(context.get(), &rawHandle)); s != Ok) return s;
    platform::Owned<const heif_image_handle, heif_image_handle_release> handle(rawHandle);

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
    ImageProperties properties;
    size_t keptBytes = 0;
    KeepMetadata(handle.get(), &properties, &keptBytes);
    if (Status s = CheckDecodeSize(static_cast<UINT>(width), static_cast<UINT>(height), GetPixelFormatSize(format),
                                   AddBytes(libraryBytes, keptBytes));
        s != Ok) {
        return s;
    }

    const heif_chroma chroma = deep ? (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
                                    : (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
    platform::Owned<heif_decoding_options, heif_decoding_options_free> options(heif_decoding_options_alloc());
    if (!options) return OutOfMemory;
    heif_image* rawImage = nullptr;
    if (Status s = StatusOf(heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB, chroma, options.get()));
        s != Ok) {
        return s;
    }
    platform::Owned<const heif_image, heif_image_release> image(rawImage);

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
    // The library has applied the file's own rotation and mirroring.
    raster.properties = std::move(properties);
    ReportUpright(&raster.properties);
    *out = std::move(raster);
    return Ok;
}

}  // namespace gdiplus

// HEIC (HEVC through x265) and AVIF (AV1 through aom) files through libheif
// with its default settings; bitmaps with alpha keep it. The colour profile
// goes in a colr box, the EXIF and XMP in items of their own.

#include <libheif/heif.h>

#include <memory>
#include <new>

#include "platform/owned.h"
#include "platform/imaging/encoders.h"
#include "platform/imaging/metadata_blocks.h"

namespace gdiplus {
namespace {

Status StatusOf(const heif_error& error) {
    if (error.code == heif_error_Ok) return Ok;
    return error.code == heif_error_Memory_allocation_error ? OutOfMemory : GenericError;
}

heif_error WriteToVector(heif_context*, const void* data, size_t size, void* userdata) {
    auto* out = static_cast<std::vector<BYTE>*>(userdata);
    try {
        const BYTE* bytes = static_cast<const BYTE*>(data);
        out->insert(out->end(), bytes, bytes + size);
    } catch (const std::bad_alloc&) {
        return {heif_error_Memory_allocation_error, heif_suberror_Unspecified, "out of memory"};
    }
    return {heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

Status Encode(const Raster& raster, heif_compression_format compression, std::vector<BYTE>* out) {
    out->clear();
    const UINT width = raster.Width(), height = raster.Height();
    const bool alpha = HasAlpha(raster);
    const UINT channels = alpha ? 4 : 3;

    heif_image* rawImage = nullptr;
    if (Status s =
            StatusOf(heif_image_create(static_cast<int>(width), static_cast<int>(height), heif_colorspace_RGB,
                                       alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, &rawImage));
        s != Ok) {
        return s;
    }
    platform::Owned<heif_image, heif_image_release> image(rawImage);
    if (Status s = StatusOf(heif_image_add_plane(image.get(), heif_channel_interleaved, static_cast<int>(width),
                                                 static_cast<int>(height), 8));
        s != Ok) {
        return s;
    }
    int stride = 0;
    BYTE* plane = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
    if (plane == nullptr) return OutOfMemory;
    RowReader rows(raster, alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB);
    for (UINT y = 0; y < height; ++y) {
        const BYTE* from = rows.Row(y);
        if (from == nullptr) return OutOfMemory;
        BYTE* to = plane + static_cast<std::ptrdiff_t>(y) * stride;
        for (UINT x = 0; x < width; ++x, from += channels, to += channels) {
            to[0] = from[2], to[1] = from[1], to[2] = from[0];
            if (alpha) to[3] = from[3];
        }
    }

    // A profile the library refuses is left out, as are blocks below.
    const MetadataBlocks metadata = BlocksToWrite(raster.properties);
    if (!metadata.iccProfile.empty()) {
        (void)heif_image_set_raw_color_profile(image.get(), "prof", metadata.iccProfile.data(),
                                               metadata.iccProfile.size());
    }

    platform::Owned<heif_context, heif_context_free> context(heif_context_alloc());
    if (!context) return OutOfMemory;
    heif_encoder* rawEncoder = nullptr;
    if (Status s = StatusOf(heif_context_get_encoder_for_format(context.get(), compression, &rawEncoder)); s != Ok) {
        return s;
    }
    platform::Owned<heif_encoder, heif_encoder_release> encoder(rawEncoder);
    // The codec's progress reports would go to the standard error.
    heif_encoder_set_logging_level(encoder.get(), 0);
    heif_image_handle* rawHandle = nullptr;
    if (Status s = StatusOf(heif_context_encode_image(context.get(), image.get(), encoder.get(), nullptr, &rawHandle));
        s != Ok) {
        return s;
    }
    platform::Owned<heif_image_handle, heif_image_handle_release> handle(rawHandle);
    // The library puts the offset of the TIFF header before the EXIF block.
    if (!metadata.exif.empty()) {
        (void)heif_context_add_exif_metadata(context.get(), handle.get(), metadata.exif.data(),
                                             static_cast<int>(metadata.exif.size()));
    }
    if (!metadata.xmp.empty()) {
        (void)heif_context_add_XMP_metadata(context.get(), handle.get(), metadata.xmp.data(),
                                            static_cast<int>(metadata.xmp.size()));
    }
    heif_writer writer{1, WriteToVector};
    Status status = StatusOf(heif_context_write(context.get(), &writer, out));
    if (status != Ok) out->clear();
    return status;
}

}  // namespace

Status EncodeHeic(const Raster& raster, std::vector<BYTE>* out) { return Encode(raster, heif_compression_HEVC, out); }

Status EncodeAvif(const Raster& raster, std::vector<BYTE>* out) { return Encode(raster, heif_compression_AV1, out); }

}  // namespace gdiplus

// WebP files through libwebp: without alpha straight to B, G, R rows, with
// it to straight B, G, R, A; an animation gives its first frame on the
// whole canvas. The EXIF orientation is applied; the ICCP, EXIF and XMP
// chunks are kept as property items.

#include <webp/decode.h>
#include <webp/demux.h>

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

// The orientation in the file's EXIF chunk, 1 without one. The chunk holds
// the TIFF structure itself; some writers put the JPEG "Exif" prefix first.
int FindOrientation(const WebPDemuxer* demux) {
    if ((WebPDemuxGetI(demux, WEBP_FF_FORMAT_FLAGS) & EXIF_FLAG) == 0) return 1;
    WebPChunkIterator chunk;
    if (!WebPDemuxGetChunk(demux, "EXIF", 1, &chunk)) return 1;
    static const BYTE exifId[6] = {'E', 'x', 'i', 'f', 0, 0};
    const BYTE* bytes = chunk.chunk.bytes;
    size_t size = chunk.chunk.size;
    int orientation = 1;
    if (size >= 6 && std::memcmp(bytes, exifId, 6) == 0) {
        orientation = ExifOrientation(bytes, size);
    } else {
        try {
            std::vector<BYTE> block(exifId, exifId + 6);
            block.insert(block.end(), bytes, bytes + size);
            orientation = ExifOrientation(block.data(), block.size());
        } catch (const std::bad_alloc&) {
            orientation = 1;  // shown as stored rather than not at all
        }
    }
    WebPDemuxReleaseChunkIterator(&chunk);
    return orientation;
}

// The ICCP, EXIF and XMP chunks (the first of each), each dropped when too
// large or damaged; their bytes kept count in *keptBytes.
void KeepMetadata(const WebPDemuxer* demux, ImageProperties* properties, size_t* keptBytes) {
    static const struct {
        const char* fourcc;
        void (*keep)(const BYTE*, size_t, ImageProperties*);
    } chunks[] = {{"ICCP", KeepIccProfile}, {"EXIF", KeepExif}, {"XMP ", KeepXmp}};
    for (const auto& c : chunks) {
        WebPChunkIterator chunk;
        if (!WebPDemuxGetChunk(demux, c.fourcc, 1, &chunk)) continue;
        if (chunk.chunk.size <= maxMetadataBytes) {
            c.keep(chunk.chunk.bytes, chunk.chunk.size, properties);
            *keptBytes = AddBytes(*keptBytes, chunk.chunk.size);
        }
        WebPDemuxReleaseChunkIterator(&chunk);
    }
}

Status DecodeStill(const BYTE* data, size_t size, const WebPBitstreamFeatures& features, Raster* out) {
    UINT width = static_cast<UINT>(features.width), height = static_cast<UINT>(features.height);
    PixelFormat format = features.has_alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    if (Status s = Raster::Allocate(width, height, format, false, out); s != Ok) return s;
    size_t bytes = static_cast<size_t>(out->Stride()) * height;
    uint8_t* decoded = features.has_alpha ? WebPDecodeBGRAInto(data, size, out->Row(0), bytes, out->Stride())
                                          : WebPDecodeBGRInto(data, size, out->Row(0), bytes, out->Stride());
    if (decoded == nullptr) {
        *out = Raster();
        return GenericError;
    }
    return Ok;
}

Status DecodeFirstFrame(const BYTE* data, size_t size, const WebPBitstreamFeatures& features, Raster* out) {
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) return GenericError;
    options.color_mode = MODE_BGRA;
    options.use_threads = 0;
    WebPData webp{data, size};
    platform::Owned<WebPAnimDecoder, WebPAnimDecoderDelete> decoder(WebPAnimDecoderNew(&webp, &options));
    if (!decoder) return GenericError;
    WebPAnimInfo info;
    if (!WebPAnimDecoderGetInfo(decoder.get(), &info)) return GenericError;
    UINT width = info.canvas_width, height = info.canvas_height;
    PixelFormat format = features.has_alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    // The decoder keeps a canvas of its own (and the previous one) beside
    // the bitmap.
    size_t canvases = 2 * static_cast<size_t>(width) * height * 4;
    if (Status s = CheckDecodeSize(width, height, GetPixelFormatSize(format), canvases); s != Ok) return s;
    uint8_t* canvas = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.get(), &canvas, &timestamp) || canvas == nullptr) return GenericError;
    if (Status s = Raster::Allocate(width, height, format, false, out); s != Ok) return s;
    for (UINT y = 0; y < height; ++y) {
        const BYTE* from = canvas + static_cast<size_t>(y) * width * 4;
        BYTE* to = out->Row(y);
        if (format == PixelFormat32bppARGB) {
            std::memcpy(to, from, static_cast<size_t>(width) * 4);
        } else {
            for (UINT x = 0; x < width; ++x, from += 4, to += 3) to[0] = from[0], to[1] = from[1], to[2] = from[2];
        }
    }
    return Ok;
}

}  // namespace

Status DecodeWebp(const BYTE* data, size_t size, Raster* out) {
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(data, size, &features) != VP8_STATUS_OK) return GenericError;
    // Parsing the whole container also refuses files whose chunks run past
    // their end.
    WebPData webp{data, size};
    platform::Owned<WebPDemuxer, WebPDemuxDelete> demux(WebPDemux(&webp));
    if (!demux) return GenericError;
    int orientation = FindOrientation(demux.get());
    ImageProperties properties;
    size_t keptBytes = 0;
    KeepMetadata(demux.get(), &properties, &keptBytes);

    UINT width = static_cast<UINT>(features.width), height = static_cast<UINT>(features.height);
    PixelFormat format = features.has_alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    // The upright copy needs room of its own while the stored one exists.
    size_t turnBytes = orientation != 1 ? RowBytes(width, format) * height : 0;
    if (Status s = CheckDecodeSize(width, height, GetPixelFormatSize(format), AddBytes(turnBytes, keptBytes));
        s != Ok) {
        return s;
    }

    Raster raster;
    Status status = features.has_animation ? DecodeFirstFrame(data, size, features, &raster)
                                           : DecodeStill(data, size, features, &raster);
    if (status != Ok) return status;
    raster.properties = std::move(properties);
    if (Status s = ApplyOrientation(&raster, orientation); s != Ok) return s;
    *out = std::move(raster);
    return Ok;
}

}  // namespace gdiplus

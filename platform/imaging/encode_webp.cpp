// WebP files through libwebp with its default settings (lossy, quality 75);
// bitmaps with alpha keep it. The colour profile, EXIF and XMP go in ICCP,
// EXIF and XMP chunks.

#include <webp/encode.h>
#include <webp/mux.h>

#include <memory>
#include <new>

#include "platform/owned.h"
#include "platform/imaging/encoders.h"
#include "platform/imaging/metadata_blocks.h"

namespace gdiplus {
namespace {

// The encoded file with the blocks added; the file as it was when the
// library cannot add them.
Status AddMetadata(const MetadataBlocks& blocks, std::vector<BYTE>* file) {
    if (blocks.iccProfile.empty() && blocks.exif.empty() && blocks.xmp.empty()) return Ok;
    const WebPData encoded{file->data(), file->size()};
    platform::Owned<WebPMux, WebPMuxDelete> mux(WebPMuxCreate(&encoded, 0));
    if (!mux) return Ok;
    const struct {
        const char* fourcc;
        const std::vector<BYTE>& block;
    } chunks[] = {{"ICCP", blocks.iccProfile}, {"EXIF", blocks.exif}, {"XMP ", blocks.xmp}};
    for (const auto& c : chunks) {
        if (c.block.empty()) continue;
        const WebPData chunk{c.block.data(), c.block.size()};
        if (WebPMuxSetChunk(mux.get(), c.fourcc, &chunk, 0) != WEBP_MUX_OK) return Ok;
    }
    WebPData assembled{nullptr, 0};
    if (WebPMuxAssemble(mux.get(), &assembled) != WEBP_MUX_OK) return Ok;
    Status status = Ok;
    try {
        std::vector<BYTE> with(assembled.bytes, assembled.bytes + assembled.size);
        file->swap(with);
    } catch (const std::bad_alloc&) {
        status = OutOfMemory;
    }
    WebPDataClear(&assembled);
    return status;
}

}  // namespace

Status EncodeWebp(const Raster& raster, std::vector<BYTE>* out) {
    out->clear();
    const UINT width = raster.Width(), height = raster.Height();
    if (width > WEBP_MAX_DIMENSION || height > WEBP_MAX_DIMENSION) return GenericError;
    const bool alpha = HasAlpha(raster);
    const PixelFormat rowFormat = alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    const size_t rowBytes = static_cast<size_t>(width) * (alpha ? 4 : 3);
    // The library takes the whole picture at once, in its own row order.
    std::vector<BYTE> pixels;
    try {
        pixels.resize(rowBytes * height);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    RowReader rows(raster, rowFormat);
    for (UINT y = 0; y < height; ++y) {
        const BYTE* row = rows.Row(y);
        if (row == nullptr) return OutOfMemory;
        std::copy(row, row + rowBytes, pixels.begin() + static_cast<std::ptrdiff_t>(rowBytes * y));
    }

    WebPConfig config;
    WebPPicture picture;
    if (!WebPConfigInit(&config) || !WebPPictureInit(&picture)) return GenericError;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &writer;
    const int stride = static_cast<int>(rowBytes);
    bool imported = alpha ? WebPPictureImportBGRA(&picture, pixels.data(), stride) != 0
                          : WebPPictureImportBGR(&picture, pixels.data(), stride) != 0;
    bool encoded = imported && WebPEncode(&config, &picture) != 0;
    Status status = encoded ? Ok : picture.error_code == VP8_ENC_ERROR_OUT_OF_MEMORY ? OutOfMemory : GenericError;
    if (encoded) {
        try {
            out->assign(writer.mem, writer.mem + writer.size);
        } catch (const std::bad_alloc&) {
            status = OutOfMemory;
        }
    }
    WebPPictureFree(&picture);
    WebPMemoryWriterClear(&writer);
    if (status == Ok) status = AddMetadata(BlocksToWrite(raster.properties), out);
    if (status != Ok) out->clear();
    return status;
}

}  // namespace gdiplus

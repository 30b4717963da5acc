// JPEG XL files through libjxl with its default settings (lossy, distance
// 1, effort 7), in sRGB or in the bitmap's colour profile; bitmaps with
// alpha keep it. The EXIF and XMP go in Exif and "xml " boxes.

#include <jxl/encode.h>
#include <jxl/resizable_parallel_runner.h>

#include <cstring>
#include <memory>
#include <new>

#include "platform/owned.h"
#include "platform/imaging/encoders.h"
#include "platform/imaging/metadata_blocks.h"

namespace gdiplus {
namespace {

// The Exif box: the offset of the TIFF header (none) before the block.
std::vector<BYTE> ExifBox(const std::vector<BYTE>& exif) {
    std::vector<BYTE> box(4, 0);
    box.insert(box.end(), exif.begin(), exif.end());
    return box;
}

// The file for R, G, B (A) pixels.
Status Encode(const std::vector<BYTE>& pixels, UINT width, UINT height, bool alpha, const MetadataBlocks& metadata,
              std::vector<BYTE>* out) {
    out->clear();
    const UINT channels = alpha ? 4 : 3;
    platform::Owned<JxlEncoder, JxlEncoderDestroy> encoder(JxlEncoderCreate(nullptr));
    platform::Owned<void, JxlResizableParallelRunnerDestroy> runner(JxlResizableParallelRunnerCreate(nullptr));
    if (!encoder || !runner) return OutOfMemory;
    JxlResizableParallelRunnerSetThreads(runner.get(), JxlResizableParallelRunnerSuggestThreads(width, height));
    JxlBasicInfo info;
    JxlEncoderInitBasicInfo(&info);
    info.xsize = width;
    info.ysize = height;
    info.bits_per_sample = 8;
    info.num_color_channels = 3;
    info.num_extra_channels = alpha ? 1 : 0;
    info.alpha_bits = alpha ? 8 : 0;
    // In its own colour space (XYB) the library would keep a profile it can
    // describe (sRGB's, say) only as that description: the profile read
    // back would differ from the one saved.
    info.uses_original_profile = metadata.iccProfile.empty() ? JXL_FALSE : JXL_TRUE;
    JxlColorEncoding colour;
    JxlColorEncodingSetToSRGB(&colour, JXL_FALSE);
    std::vector<BYTE> exifBox;
    try {
        if (!metadata.exif.empty()) exifBox = ExifBox(metadata.exif);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    const bool boxes = !exifBox.empty() || !metadata.xmp.empty();
    const JxlPixelFormat format{channels, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    JxlEncoderFrameSettings* settings = nullptr;
    if (JxlEncoderSetParallelRunner(encoder.get(), JxlResizableParallelRunner, runner.get()) != JXL_ENC_SUCCESS ||
        (boxes && JxlEncoderUseBoxes(encoder.get()) != JXL_ENC_SUCCESS) ||
        JxlEncoderSetBasicInfo(encoder.get(), &info) != JXL_ENC_SUCCESS) {
        return GenericError;
    }
    // The pixels' numbers stand in the profile's colour space; a profile the
    // library cannot take leaves them in sRGB, as without one.
    if (metadata.iccProfile.empty() || JxlEncoderSetICCProfile(encoder.get(), metadata.iccProfile.data(),
                                                               metadata.iccProfile.size()) != JXL_ENC_SUCCESS) {
        if (JxlEncoderSetColorEncoding(encoder.get(), &colour) != JXL_ENC_SUCCESS) return GenericError;
    }
    if (!exifBox.empty()) {
        (void)JxlEncoderAddBox(encoder.get(), "Exif", exifBox.data(), exifBox.size(), JXL_FALSE);
    }
    if (!metadata.xmp.empty()) {
        (void)JxlEncoderAddBox(encoder.get(), "xml ", metadata.xmp.data(), metadata.xmp.size(), JXL_FALSE);
    }
    if (boxes) JxlEncoderCloseBoxes(encoder.get());
    if ((settings = JxlEncoderFrameSettingsCreate(encoder.get(), nullptr)) == nullptr ||
        JxlEncoderAddImageFrame(settings, &format, pixels.data(), pixels.size()) != JXL_ENC_SUCCESS) {
        return GenericError;
    }
    JxlEncoderCloseInput(encoder.get());

    try {
        out->resize(64 * 1024);
        size_t used = 0;
        for (;;) {
            uint8_t* next = out->data() + used;
            size_t available = out->size() - used;
            JxlEncoderStatus status = JxlEncoderProcessOutput(encoder.get(), &next, &available);
            used = static_cast<size_t>(next - out->data());
            if (status == JXL_ENC_SUCCESS) break;
            if (status != JXL_ENC_NEED_MORE_OUTPUT) {
                out->clear();
                return GenericError;
            }
            out->resize(out->size() * 2);
        }
        out->resize(used);
    } catch (const std::bad_alloc&) {
        out->clear();
        return OutOfMemory;
    }
    return Ok;
}

}  // namespace

Status EncodeJxl(const Raster& raster, std::vector<BYTE>* out) {
    out->clear();
    const UINT width = raster.Width(), height = raster.Height();
    const bool alpha = HasAlpha(raster);
    const UINT channels = alpha ? 4 : 3;
    // The library takes the whole picture at once, as R, G, B (A).
    std::vector<BYTE> pixels;
    try {
        pixels.resize(static_cast<size_t>(width) * height * channels);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    RowReader rows(raster, alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB);
    BYTE* to = pixels.data();
    for (UINT y = 0; y < height; ++y) {
        const BYTE* from = rows.Row(y);
        if (from == nullptr) return OutOfMemory;
        for (UINT x = 0; x < width; ++x, from += channels, to += channels) {
            to[0] = from[2], to[1] = from[1], to[2] = from[0];
            if (alpha) to[3] = from[3];
        }
    }

    MetadataBlocks metadata = BlocksToWrite(raster.properties);
    // A profile for another colour space than the picture's (its header
    // says which) the library would take and mistreat the pixels by; one it
    // cannot take (damaged) fails the encode. Either is left out, not an
    // error.
    const std::vector<BYTE>& profile = metadata.iccProfile;
    if (profile.size() >= 20 && std::memcmp(profile.data() + 16, "RGB ", 4) != 0) metadata.iccProfile.clear();
    Status status = Encode(pixels, width, height, alpha, metadata, out);
    if (status == GenericError && !metadata.iccProfile.empty()) {
        metadata.iccProfile.clear();
        status = Encode(pixels, width, height, alpha, metadata, out);
    }
    return status;
}

}  // namespace gdiplus

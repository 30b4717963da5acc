// JPEG XL files through libjxl with its default settings (lossy, distance
// 1, effort 7), in sRGB; bitmaps with alpha keep it.

#include <jxl/encode.h>
#include <jxl/resizable_parallel_runner.h>

#include <memory>
#include <new>

#include "platform/imaging/encoders.h"

namespace gdiplus {
namespace {

struct EncoderDeleter {
    void operator()(JxlEncoder* encoder) const { JxlEncoderDestroy(encoder); }
};
struct RunnerDeleter {
    void operator()(void* runner) const { JxlResizableParallelRunnerDestroy(runner); }
};

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

    std::unique_ptr<JxlEncoder, EncoderDeleter> encoder(JxlEncoderCreate(nullptr));
    std::unique_ptr<void, RunnerDeleter> runner(JxlResizableParallelRunnerCreate(nullptr));
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
    info.uses_original_profile = JXL_FALSE;
    JxlColorEncoding colour;
    JxlColorEncodingSetToSRGB(&colour, JXL_FALSE);
    const JxlPixelFormat format{channels, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    JxlEncoderFrameSettings* settings = nullptr;
    if (JxlEncoderSetParallelRunner(encoder.get(), JxlResizableParallelRunner, runner.get()) != JXL_ENC_SUCCESS ||
        JxlEncoderSetBasicInfo(encoder.get(), &info) != JXL_ENC_SUCCESS ||
        JxlEncoderSetColorEncoding(encoder.get(), &colour) != JXL_ENC_SUCCESS ||
        (settings = JxlEncoderFrameSettingsCreate(encoder.get(), nullptr)) == nullptr ||
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

}  // namespace gdiplus

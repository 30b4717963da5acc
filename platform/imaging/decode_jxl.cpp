// JPEG XL files through libjxl: the first displayed frame, turned upright
// by the header's orientation, 8 bits per channel as B, G, R (A) rows and
// more bits (or floating point) as 16-bit channels.

#include <jxl/decode.h>
#include <jxl/resizable_parallel_runner.h>

#include <memory>

#include "platform/imaging/decode_limits.h"
#include "platform/imaging/decoders.h"

namespace gdiplus {
namespace {

struct DecoderDeleter {
    void operator()(JxlDecoder* decoder) const { JxlDecoderDestroy(decoder); }
};
struct RunnerDeleter {
    void operator()(void* runner) const { JxlResizableParallelRunnerDestroy(runner); }
};

struct Target {
    Raster* raster;
    UINT channels;
    bool deep;
};

// Receives decoded R, G, B (A) runs of one row, possibly from several
// threads at once, each on pixels of its own.
void StoreRun(void* opaque, size_t x, size_t y, size_t count, const void* pixels) {
    const Target& target = *static_cast<const Target*>(opaque);
    Raster& raster = *target.raster;
    if (y >= raster.Height() || x >= raster.Width() || count > raster.Width() - x) return;
    const UINT channels = target.channels;
    if (!target.deep) {
        const BYTE* from = static_cast<const BYTE*>(pixels);
        BYTE* to = raster.Row(static_cast<UINT>(y)) + x * channels;
        for (size_t i = 0; i < count; ++i, from += channels, to += channels) {
            to[0] = from[2], to[1] = from[1], to[2] = from[0];
            if (channels == 4) to[3] = from[3];
        }
        return;
    }
    const auto* from = static_cast<const std::uint16_t*>(pixels);
    auto* to = reinterpret_cast<BYTE*>(raster.Row(static_cast<UINT>(y))) + x * channels * 2;
    auto store = [](BYTE* p, unsigned v) {
        p[0] = static_cast<BYTE>(v);
        p[1] = static_cast<BYTE>(v >> 8);
    };
    for (size_t i = 0; i < count; ++i, from += channels, to += 2 * channels) {
        store(to, from[2]), store(to + 2, from[1]), store(to + 4, from[0]);
        if (channels == 4) store(to + 6, from[3]);
    }
}

Status Run(JxlDecoder* decoder, void* runner, Raster* out) {
    JxlBasicInfo info{};
    Target target{out, 3, false};
    JxlPixelFormat pixels{3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    for (;;) {
        switch (JxlDecoderProcessInput(decoder)) {
            case JXL_DEC_BASIC_INFO: {
                if (JxlDecoderGetBasicInfo(decoder, &info) != JXL_DEC_SUCCESS) return GenericError;
                // The sides as shown: orientations 5 to 8 turn the picture.
                const bool turned = info.orientation >= JXL_ORIENT_TRANSPOSE;
                const UINT width = turned ? info.ysize : info.xsize;
                const UINT height = turned ? info.xsize : info.ysize;
                const bool alpha = info.alpha_bits > 0;
                target.deep = info.bits_per_sample > 8 || info.exponent_bits_per_sample > 0;
                target.channels = alpha ? 4 : 3;
                PixelFormat format = target.deep ? (alpha ? PixelFormat64bppARGB : PixelFormat48bppRGB)
                                                 : (alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB);
                // The decoder works on floating-point planes of the whole
                // frame beside the bitmap.
                size_t working = static_cast<size_t>(width) * height * (target.channels + 1) * sizeof(float);
                if (Status s = CheckDecodeSize(width, height, GetPixelFormatSize(format), working); s != Ok) return s;
                if (Status s = Raster::Allocate(width, height, format, false, out); s != Ok) return s;
                pixels = {target.channels, target.deep ? JXL_TYPE_UINT16 : JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
                JxlResizableParallelRunnerSetThreads(runner,
                                                     JxlResizableParallelRunnerSuggestThreads(info.xsize, info.ysize));
                break;
            }
            case JXL_DEC_NEED_IMAGE_OUT_BUFFER:
                if (out->Empty()) return GenericError;
                if (JxlDecoderSetImageOutCallback(decoder, &pixels, StoreRun, &target) != JXL_DEC_SUCCESS) {
                    return GenericError;
                }
                break;
            case JXL_DEC_FULL_IMAGE:
                // Only the first frame is shown.
                return out->Empty() ? GenericError : Ok;
            case JXL_DEC_SUCCESS:
                // Ended without a frame.
                return GenericError;
            default:
                // Errors, and input that ends before the frame does.
                return GenericError;
        }
    }
}

}  // namespace

Status DecodeJxl(const BYTE* data, size_t size, Raster* out) {
    std::unique_ptr<JxlDecoder, DecoderDeleter> decoder(JxlDecoderCreate(nullptr));
    std::unique_ptr<void, RunnerDeleter> runner(JxlResizableParallelRunnerCreate(nullptr));
    if (!decoder || !runner) return OutOfMemory;
    if (JxlDecoderSubscribeEvents(decoder.get(), JXL_DEC_BASIC_INFO | JXL_DEC_FULL_IMAGE) != JXL_DEC_SUCCESS ||
        JxlDecoderSetParallelRunner(decoder.get(), JxlResizableParallelRunner, runner.get()) != JXL_DEC_SUCCESS ||
        JxlDecoderSetUnpremultiplyAlpha(decoder.get(), JXL_TRUE) != JXL_DEC_SUCCESS ||
        JxlDecoderSetInput(decoder.get(), data, size) != JXL_DEC_SUCCESS) {
        return GenericError;
    }
    JxlDecoderCloseInput(decoder.get());
    Raster raster;
    Status status = Run(decoder.get(), runner.get(), &raster);
    if (status != Ok) return status;
    *out = std::move(raster);
    return Ok;
}

}  // namespace gdiplus

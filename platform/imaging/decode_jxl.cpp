// JPEG XL files through libjxl: the first displayed frame, turned upright
// by the header's orientation, 8 bits per channel as B, G, R (A) rows and
// more bits (or floating point) as 16-bit channels. The ICC profile the
// file carries and its Exif and "xml " boxes (brob-compressed or not) are
// kept as property items.

#include <jxl/decode.h>
#include <jxl/encode.h>  // JxlColorEncodingSetToSRGB
#include <jxl/resizable_parallel_runner.h>

#include <algorithm>
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

// The profile the file carries, if any (one made up from the file's
// colour description is none), and, for pictures stored in the library's
// own colour space, sRGB pixels rather than the linear ones it would give.
void ReadColour(JxlDecoder* decoder, const JxlBasicInfo& info, ImageProperties* properties) {
    if (JxlDecoderGetColorAsEncodedProfile(decoder, nullptr, JXL_COLOR_PROFILE_TARGET_ORIGINAL, nullptr) ==
        JXL_DEC_SUCCESS) {
        return;
    }
    size_t size = 0;
    if (JxlDecoderGetICCProfileSize(decoder, nullptr, JXL_COLOR_PROFILE_TARGET_ORIGINAL, &size) == JXL_DEC_SUCCESS &&
        size > 0 && size <= maxMetadataBytes) {
        try {
            std::vector<BYTE> profile(size);
            if (JxlDecoderGetColorAsICCProfile(decoder, nullptr, JXL_COLOR_PROFILE_TARGET_ORIGINAL, profile.data(),
                                               size) == JXL_DEC_SUCCESS) {
                KeepIccProfile(profile.data(), size, properties);
            }
        } catch (const std::bad_alloc&) {
            // Left out; the picture is decoded all the same.
        }
    }
    if (!info.uses_original_profile) {
        JxlColorEncoding srgb;
        JxlColorEncodingSetToSRGB(&srgb, info.num_color_channels == 1 ? JXL_TRUE : JXL_FALSE);
        (void)JxlDecoderSetPreferredColorProfile(decoder, &srgb);
    }
}

// Gathers the first Exif and "xml " boxes, each up to maxMetadataBytes
// (after decompression); a larger one is skipped.
class Boxes {
public:
    explicit Boxes(JxlDecoder* decoder) : decoder_(decoder) {}

    // At each JXL_DEC_BOX event and at the end.
    void BoxStarts(ImageProperties* properties) {
        Finish(properties);
        JxlBoxType type;
        if (JxlDecoderGetBoxType(decoder_, type, JXL_TRUE) != JXL_DEC_SUCCESS) return;
        if (std::memcmp(type, "Exif", 4) == 0 && !haveExif_) {
            current_ = Kind::exif;
            haveExif_ = true;
        } else if (std::memcmp(type, "xml ", 4) == 0 && !haveXmp_) {
            current_ = Kind::xmp;
            haveXmp_ = true;
        } else {
            return;
        }
        Grow();
    }
    // At JXL_DEC_BOX_NEED_MORE_OUTPUT.
    void NeedsMore() {
        if (current_ == Kind::none) return;
        used_ = bytes_.size() - JxlDecoderReleaseBoxBuffer(decoder_);
        if (bytes_.size() >= maxBytes) {
            // Too large: the rest of the box is skipped.
            Drop();
            return;
        }
        Grow();
    }
    void Finish(ImageProperties* properties) {
        if (current_ == Kind::none) return;
        used_ = bytes_.size() - JxlDecoderReleaseBoxBuffer(decoder_);
        const BYTE* data = bytes_.data();
        size_t size = used_;
        if (current_ == Kind::xmp) {
            KeepXmp(data, size, properties);
        } else if (size >= 4) {
            // The box starts with the offset of the TIFF header from the end
            // of those four bytes.
            const size_t offset = static_cast<size_t>(data[0]) << 24 | data[1] << 16 | data[2] << 8 | data[3];
            if (offset <= size - 4) KeepExif(data + 4 + offset, size - 4 - offset, properties);
        }
        Drop();
    }

private:
    // Room for the Exif box's offset beside a block of the largest size.
    static constexpr size_t maxBytes = maxMetadataBytes + 4;
    enum class Kind { none, exif, xmp };

    // The buffer grown for the rest of the current box, which is dropped
    // when that cannot be done.
    void Grow() {
        try {
            bytes_.resize(std::min(maxBytes, std::max<size_t>(4096, 2 * bytes_.size())));
        } catch (const std::bad_alloc&) {
            Drop();
            return;
        }
        if (JxlDecoderSetBoxBuffer(decoder_, bytes_.data() + used_, bytes_.size() - used_) != JXL_DEC_SUCCESS) {
            JxlDecoderReleaseBoxBuffer(decoder_);
            Drop();
        }
    }
    // No box gathered; the buffer is released already.
    void Drop() {
        current_ = Kind::none;
        bytes_.clear();
        used_ = 0;
    }

    JxlDecoder* decoder_;
    Kind current_ = Kind::none;
    bool haveExif_ = false, haveXmp_ = false;
    std::vector<BYTE> bytes_;
    size_t used_ = 0;
};

Status Run(JxlDecoder* decoder, void* runner, Raster* out) {
    JxlBasicInfo info{};
    ImageProperties properties;
    Boxes boxes(decoder);
    bool shown = false;
    // The boxes after the frame are read too; whatever follows them (more
    // frames, damage) no longer matters.
    auto done = [&]() {
        boxes.Finish(&properties);
        out->properties = std::move(properties);
        // The library has applied the header's orientation.
        ReportUpright(&out->properties);
        return Ok;
    };
    Target target{out, 3, false};
    JxlPixelFormat pixels{3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    for (;;) {
        const JxlDecoderStatus status = JxlDecoderProcessInput(decoder);
        if (shown && status != JXL_DEC_BOX && status != JXL_DEC_BOX_NEED_MORE_OUTPUT) return done();
        switch (status) {
            case JXL_DEC_BOX: boxes.BoxStarts(&properties); break;
            case JXL_DEC_BOX_NEED_MORE_OUTPUT: boxes.NeedsMore(); break;
            case JXL_DEC_COLOR_ENCODING: ReadColour(decoder, info, &properties); break;
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
                if (out->Empty()) return GenericError;
                shown = true;
                break;
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
    platform::Owned<JxlDecoder, JxlDecoderDestroy> decoder(JxlDecoderCreate(nullptr));
    platform::Owned<void, JxlResizableParallelRunnerDestroy> runner(JxlResizableParallelRunnerCreate(nullptr));
    if (!decoder || !runner) return OutOfMemory;
    if (JxlDecoderSubscribeEvents(decoder.get(), JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING | JXL_DEC_BOX |
                                                     JXL_DEC_FULL_IMAGE) != JXL_DEC_SUCCESS ||
        JxlDecoderSetDecompressBoxes(decoder.get(), JXL_TRUE) != JXL_DEC_SUCCESS ||
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

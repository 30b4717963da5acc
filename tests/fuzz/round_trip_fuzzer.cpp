// libFuzzer target for the whole road of a picture, as the program takes
// it: whatever file the decoders accept is drawn into a 32-bit image (what
// the save command saves), written by every installed encoder and read back.
// Writing a picture that was drawn must work (unless the format cannot hold
// its size), and what is read back must have its size; the lossless formats
// must give back its very pixels. Any other
// outcome aborts, which libFuzzer reports.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/codec_info.h"
#include "platform/imaging/decode_limits.h"
#include "platform/imaging/decoders.h"
#include "platform/imaging/encoder_table.h"
#include "platform/imaging/graphics.h"
#include "platform/imaging/image_object.h"
#include "platform/imaging/imaging_testing.h"
#include "platform/imaging/pixel_convert.h"
#include "platform/imaging/startup.h"

namespace {

using namespace gdiplus;

std::vector<CLSID> encoders;

// Larger pictures take the same road, only slower: the decoders' own
// targets look at those.
constexpr unsigned long long maxPixels = 1u << 20;

[[noreturn]] void Fail(const char* what, const GUID& format) {
    std::fprintf(stderr, "round trip: %s (format %08x)\n", what, format.Data1);
    std::abort();
}

bool IsLossless(const GUID& format) {
    return format == ImageFormatBMP || format == ImageFormatPNG || format == ImageFormatTIFF;
}

struct Disposer {
    GpImage* image = nullptr;
    ~Disposer() {
        if (image != nullptr) GdipDisposeImage(image);
    }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetDecodeMemoryLimit(256u << 20);
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) != Ok) std::abort();
    UINT count = 0, size = 0;
    if (GdipGetImageEncodersSize(&count, &size) != Ok) std::abort();
    std::vector<std::max_align_t> list(size / sizeof(std::max_align_t) + 1);
    auto* infos = reinterpret_cast<ImageCodecInfo*>(list.data());
    if (GdipGetImageEncoders(count, size, infos) != Ok) std::abort();
    for (UINT i = 0; i < count; ++i) encoders.push_back(infos[i].Clsid);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Raster decoded;
    GUID format = GUID_NULL;
    if (DecodeImage(data, size, &decoded, &format) != Ok) return 0;
    UINT width = decoded.Width(), height = decoded.Height();
    if (static_cast<unsigned long long>(width) * height > maxPixels) return 0;

    Disposer source, drawn;
    GpBitmap* bitmap = nullptr;
    if (MakeBitmap(std::move(decoded), format, &bitmap) != Ok) Fail("no bitmap", format);
    source.image = bitmap;
    if (GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height), 0, PixelFormat32bppRGB, nullptr,
                                  &bitmap) != Ok) {
        Fail("no 32-bit image", format);
    }
    drawn.image = bitmap;
    GpGraphics* graphics = nullptr;
    if (GdipGetImageGraphicsContext(drawn.image, &graphics) != Ok) Fail("no graphics", format);
    if (GdipDrawImageI(graphics, source.image, 0, 0) != Ok) Fail("not drawn", format);
    GdipDeleteGraphics(graphics);

    const Raster& image = LiveBitmap(drawn.image)->raster;
    std::vector<Pixel64> expected(width), got(width);
    for (const CLSID& clsid : encoders) {
        const EncoderEntry* encoder = FindEncoder(clsid);
        std::vector<BYTE> bytes;
        Status encoded = encoder->encode(image, &bytes);
        // JPEG holds at most 65500 pixels a side: a longer picture is refused.
        bool tooLong = encoder->formatId == ImageFormatJPEG && std::max(width, height) > 65500;
        if (tooLong && encoded == InvalidParameter) continue;
        if (encoded != Ok) Fail("not encoded", encoder->formatId);
        Raster again;
        GUID againFormat = GUID_NULL;
        if (DecodeImage(bytes.data(), bytes.size(), &again, &againFormat) != Ok)
            Fail("not read back", encoder->formatId);
        if (again.Width() != width || again.Height() != height) Fail("read back at another size", encoder->formatId);
        if (!IsLossless(encoder->formatId)) continue;
        for (UINT y = 0; y < height; ++y) {
            UnpackRow(image.Row(y), 0, width, image.Format(), nullptr, 0, expected.data());
            UnpackRow(again.Row(y), 0, width, again.Format(), again.palette.data(),
                      static_cast<UINT>(again.palette.size()), got.data());
            for (UINT x = 0; x < width; ++x) {
                if (got[x].r != expected[x].r || got[x].g != expected[x].g || got[x].b != expected[x].b) {
                    Fail("read back with other pixels", encoder->formatId);
                }
            }
        }
    }
    return 0;
}

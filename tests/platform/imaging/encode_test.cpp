// The encoder list, and round trips of bitmaps of every kind through every
// encoder and back through the decoders.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/codec_info.h"
#include "platform/imaging/imaging_testing.h"
#include "tests/platform/imaging/imaging_test_support.h"

namespace {

using namespace gdiplus;
using namespace imaging_test;

TEST_F(ImagingTest, EncodersAreListedInOrderWithTheirPatterns) {
    UINT count = 0, size = 0;
    ASSERT_EQ(GdipGetImageEncodersSize(&count, &size), Ok);
    ASSERT_EQ(count, 9u);
    std::vector<ImageCodecInfo> records(size / sizeof(ImageCodecInfo) + 1);
    ImageCodecInfo* list = records.data();
    ASSERT_EQ(GdipGetImageEncoders(count, size, list), Ok);

    struct Expected {
        CLSID clsid;
        GUID format;
        std::u16string extensions, mime;
    };
    const Expected expected[] = {
        {ClsidBmpEncoder, ImageFormatBMP, u"*.BMP;*.DIB;*.RLE", u"image/bmp"},
        {ClsidJpegEncoder, ImageFormatJPEG, u"*.JPG;*.JPEG;*.JPE;*.JFIF", u"image/jpeg"},
        {ClsidGifEncoder, ImageFormatGIF, u"*.GIF", u"image/gif"},
        {ClsidTiffEncoder, ImageFormatTIFF, u"*.TIF;*.TIFF", u"image/tiff"},
        {ClsidPngEncoder, ImageFormatPNG, u"*.PNG", u"image/png"},
        {ClsidWebpEncoder, ImageFormatWEBP, u"*.WEBP", u"image/webp"},
        {ClsidHeifEncoder, ImageFormatHEIF, u"*.HEIC;*.HEIF", u"image/heif"},
        {ClsidAvifEncoder, ImageFormatAVIF, u"*.AVIF", u"image/avif"},
        {ClsidJxlEncoder, ImageFormatJXL, u"*.JXL", u"image/jxl"},
    };
    const BYTE* begin = reinterpret_cast<const BYTE*>(list);
    const BYTE* end = begin + size;
    auto inside = [&](const void* p) { return p >= begin && p < end; };
    for (UINT i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(list[i].Clsid, expected[i].clsid);
        EXPECT_EQ(list[i].FormatID, expected[i].format);
        EXPECT_EQ(std::u16string(list[i].FilenameExtension), expected[i].extensions);
        EXPECT_EQ(std::u16string(list[i].MimeType), expected[i].mime);
        EXPECT_TRUE(std::u16string(list[i].CodecName).starts_with(u"Built-in "));
        // Everything the records point to lies in the one buffer.
        EXPECT_TRUE(inside(list[i].CodecName) && inside(list[i].FilenameExtension) && inside(list[i].MimeType) &&
                    inside(list[i].SigPattern));
        EXPECT_NE(list[i].Flags & ImageCodecFlagsEncoder, 0u);
    }
    // The published class ids.
    EXPECT_EQ(list[1].Clsid.Data1, 0x557cf401u);
    EXPECT_EQ(list[4].Clsid.Data1, 0x557cf406u);

    EXPECT_EQ(GdipGetImageEncoders(count - 1, size, list), InvalidParameter);
    EXPECT_EQ(GdipGetImageEncoders(count, size - 1, list), InvalidParameter);
    EXPECT_EQ(GdipGetImageEncoders(count, size, nullptr), InvalidParameter);
}

// A bitmap of the given format over its own memory, filled from pixels
// (0xAARRGGBB, row by row) through a converting lock, or from indices.
BitmapPtr MakeBitmap(PixelFormat format, UINT width, UINT height, const std::vector<ARGB>& pixels) {
    BitmapPtr bitmap;
    EXPECT_EQ(
        GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height), 0, format, nullptr, bitmap.out()),
        Ok);
    BitmapData data{};
    EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeWrite, PixelFormat32bppARGB, &data), Ok);
    for (UINT y = 0; y < height; ++y) {
        std::memcpy(static_cast<BYTE*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride,
                    pixels.data() + y * width, width * 4);
    }
    EXPECT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
    return bitmap;
}

BitmapPtr MakeIndexed(PixelFormat format, UINT width, UINT height, const std::vector<BYTE>& indices,
                      const std::vector<ARGB>& palette) {
    BitmapPtr bitmap;
    EXPECT_EQ(
        GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height), 0, format, nullptr, bitmap.out()),
        Ok);
    std::vector<BYTE> buffer(8 + 4 * palette.size());
    auto* header = reinterpret_cast<ColorPalette*>(buffer.data());
    header->Flags = 0;
    header->Count = static_cast<UINT>(palette.size());
    std::memcpy(header->Entries, palette.data(), 4 * palette.size());
    EXPECT_EQ(GdipSetImagePalette(bitmap.get(), header), Ok);
    BitmapData data{};
    EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeWrite, format, &data), Ok);
    UINT bits = GetPixelFormatSize(format);
    for (UINT y = 0; y < height; ++y) {
        BYTE* row = static_cast<BYTE*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride;
        std::memset(row, 0, (width * bits + 7) / 8);
        for (UINT x = 0; x < width; ++x) {
            UINT bit = x * bits;
            row[bit / 8] = static_cast<BYTE>(row[bit / 8] | indices[y * width + x] << (8 - bits - bit % 8));
        }
    }
    EXPECT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
    return bitmap;
}

Status SaveAndLoad(GpBitmap* bitmap, const CLSID& encoder, const char* extension, BitmapPtr* loaded) {
    TempFolder folder;
    std::string path = folder / (std::string("saved") + extension);
    Status saved = GdipSaveImageToFile(bitmap, WidePath(path).c_str(), &encoder, nullptr);
    if (saved != Ok) return saved;
    return Load(path, loaded);
}

std::vector<ARGB> PatternPixels(bool alpha) {
    std::vector<ARGB> pixels;
    for (UINT y = 0; y < 5; ++y)
        for (UINT x = 0; x < 7; ++x)
            pixels.push_back(alpha ? (Pattern(x, y) & 0xFFFFFF) | PatternAlpha(x, y) << 24 : Pattern(x, y));
    return pixels;
}

struct RoundTrip {
    const char* name;
    CLSID encoder;
    PixelFormat source;
    bool alpha;
    PixelFormat decoded;
    int tolerance;
};

void PrintTo(const RoundTrip& c, std::ostream* os) { *os << c.name; }

class EncodeRoundTrip : public ImagingTest, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(EncodeRoundTrip, KeepsThePixels) {
    const RoundTrip& c = GetParam();
    std::vector<ARGB> pixels = PatternPixels(c.alpha);
    BitmapPtr bitmap = MakeBitmap(c.source, 7, 5, pixels);
    std::vector<ARGB> original = PixelsOf(bitmap.get());  // after the source format's own rounding
    BitmapPtr loaded;
    ASSERT_EQ(SaveAndLoad(bitmap.get(), c.encoder, ".out", &loaded), Ok);
    EXPECT_EQ(FormatOf(loaded.get()), c.decoded);
    std::vector<ARGB> back = PixelsOf(loaded.get());
    ASSERT_EQ(back.size(), original.size());
    int worst = 0;
    for (size_t i = 0; i < back.size(); ++i) {
        if ((original[i] >> 24) == 0 && (back[i] >> 24) == 0) continue;  // clear either way
        worst = std::max(worst, ChannelDistance(back[i], original[i]));
        EXPECT_LE(ChannelDistance(back[i], original[i]), c.tolerance)
            << "pixel " << i << std::hex << ": " << back[i] << " vs " << original[i];
    }
    RecordProperty("worst", worst);
}

INSTANTIATE_TEST_SUITE_P(
    Encoders, EncodeRoundTrip,
    ::testing::Values(
        RoundTrip{"BmpRgb24", ClsidBmpEncoder, PixelFormat24bppRGB, false, PixelFormat24bppRGB, 0},
        RoundTrip{"BmpRgb32", ClsidBmpEncoder, PixelFormat32bppRGB, false, PixelFormat24bppRGB, 0},
        RoundTrip{"BmpRgb565", ClsidBmpEncoder, PixelFormat16bppRGB565, false, PixelFormat24bppRGB, 0},
        RoundTrip{"BmpArgb", ClsidBmpEncoder, PixelFormat32bppARGB, true, PixelFormat32bppARGB, 0},
        RoundTrip{"BmpPargb", ClsidBmpEncoder, PixelFormat32bppPARGB, true, PixelFormat32bppARGB, 0},
        RoundTrip{"BmpRgb48", ClsidBmpEncoder, PixelFormat48bppRGB, false, PixelFormat24bppRGB, 0},
        RoundTrip{"PngRgb24", ClsidPngEncoder, PixelFormat24bppRGB, false, PixelFormat24bppRGB, 0},
        RoundTrip{"PngRgb32", ClsidPngEncoder, PixelFormat32bppRGB, false, PixelFormat24bppRGB, 0},
        RoundTrip{"PngRgb555", ClsidPngEncoder, PixelFormat16bppRGB555, false, PixelFormat24bppRGB, 0},
        RoundTrip{"PngArgb", ClsidPngEncoder, PixelFormat32bppARGB, true, PixelFormat32bppARGB, 0},
        RoundTrip{"PngArgb1555", ClsidPngEncoder, PixelFormat16bppARGB1555, true, PixelFormat32bppARGB, 0},
        RoundTrip{"PngRgb48", ClsidPngEncoder, PixelFormat48bppRGB, false, PixelFormat48bppRGB, 0},
        RoundTrip{"PngArgb64", ClsidPngEncoder, PixelFormat64bppARGB, true, PixelFormat64bppARGB, 0},
        RoundTrip{"PngPargb64", ClsidPngEncoder, PixelFormat64bppPARGB, true, PixelFormat64bppARGB, 0},
        RoundTrip{"PngGrey16", ClsidPngEncoder, PixelFormat16bppGrayScale, false, PixelFormat16bppGrayScale, 0},
        RoundTrip{"TiffRgb24", ClsidTiffEncoder, PixelFormat24bppRGB, false, PixelFormat24bppRGB, 0},
        RoundTrip{"TiffArgb", ClsidTiffEncoder, PixelFormat32bppARGB, true, PixelFormat32bppARGB, 0},
        RoundTrip{"GifFewColours", ClsidGifEncoder, PixelFormat24bppRGB, false, PixelFormat8bppIndexed, 0},
        RoundTrip{"GifFewColoursWithAlpha", ClsidGifEncoder, PixelFormat32bppARGB, true, PixelFormat8bppIndexed, 255},
        RoundTrip{"JpegRgb24", ClsidJpegEncoder, PixelFormat24bppRGB, false, PixelFormat24bppRGB, 90},
        RoundTrip{"JpegArgb", ClsidJpegEncoder, PixelFormat32bppARGB, false, PixelFormat24bppRGB, 90},
        // Lossy at their libraries' defaults, on a picture of sharp colour
        // steps; alpha is kept.
        RoundTrip{"WebpRgb24", ClsidWebpEncoder, PixelFormat24bppRGB, false, PixelFormat24bppRGB, 255},
        RoundTrip{"WebpArgb", ClsidWebpEncoder, PixelFormat32bppARGB, true, PixelFormat32bppARGB, 255},
        RoundTrip{"HeicRgb24", ClsidHeifEncoder, PixelFormat24bppRGB, false, PixelFormat24bppRGB, 255},
        RoundTrip{"HeicArgb", ClsidHeifEncoder, PixelFormat32bppARGB, true, PixelFormat32bppARGB, 255},
        RoundTrip{"AvifRgb24", ClsidAvifEncoder, PixelFormat24bppRGB, false, PixelFormat24bppRGB, 255},
        RoundTrip{"AvifArgb", ClsidAvifEncoder, PixelFormat32bppARGB, true, PixelFormat32bppARGB, 255},
        RoundTrip{"JxlRgb24", ClsidJxlEncoder, PixelFormat24bppRGB, false, PixelFormat24bppRGB, 255},
        RoundTrip{"JxlArgb", ClsidJxlEncoder, PixelFormat32bppARGB, true, PixelFormat32bppARGB, 255},
        RoundTrip{"JxlRgb48", ClsidJxlEncoder, PixelFormat48bppRGB, false, PixelFormat24bppRGB, 255}),
    [](const auto& info) { return info.param.name; });

TEST_F(ImagingTest, SixteenBitChannelsSurviveThePngEncoder) {
    BitmapPtr source;
    ASSERT_EQ(Load(FixturePath("png-rgba-16.png"), &source), Ok);
    BitmapPtr back;
    ASSERT_EQ(SaveAndLoad(source.get(), ClsidPngEncoder, ".png", &back), Ok);
    EXPECT_EQ(WidePixelsOf(back.get()), WidePixelsOf(source.get()));
}

// Each encoder's defaults, on a smooth picture (where a swap of channels
// or a lost alpha would show in the mean).
struct LossyCase {
    const char* name;
    CLSID encoder;
    bool alpha;        // the smooth picture with an alpha ramp
    double meanLimit;  // of the largest channel difference per pixel
};

void PrintTo(const LossyCase& c, std::ostream* os) { *os << c.name; }

class LossyEncoder : public ImagingTest, public ::testing::WithParamInterface<LossyCase> {};

TEST_P(LossyEncoder, StaysNearTheOriginalAtItsDefaults) {
    const LossyCase& c = GetParam();
    auto pixel = [&](UINT x, UINT y) {
        return c.alpha ? (Smooth(x, y) & 0xFFFFFF) | (255 - 12 * x) << 24 : Smooth(x, y);
    };
    std::vector<ARGB> original;
    for (UINT y = 0; y < 8; ++y)
        for (UINT x = 0; x < 16; ++x) original.push_back(pixel(x, y));
    BitmapPtr smooth = MakeBitmap(c.alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB, 16, 8, original);
    BitmapPtr back;
    ASSERT_EQ(SaveAndLoad(smooth.get(), c.encoder, ".out", &back), Ok);
    ASSERT_EQ(WidthOf(back.get()), 16u);
    ASSERT_EQ(HeightOf(back.get()), 8u);
    std::vector<ARGB> pixels = PixelsOf(back.get());
    double total = 0;
    for (size_t i = 0; i < pixels.size(); ++i) total += ChannelDistance(pixels[i], original[i]);
    RecordProperty("mean", std::to_string(total / 128));
    EXPECT_LT(total / 128, c.meanLimit);
}

INSTANTIATE_TEST_SUITE_P(Encoders, LossyEncoder,
                         ::testing::Values(LossyCase{"JpegQuality90", ClsidJpegEncoder, false, 6.0},
                                           LossyCase{"Webp", ClsidWebpEncoder, false, 12.0},
                                           LossyCase{"WebpAlpha", ClsidWebpEncoder, true, 12.0},
                                           LossyCase{"Heic", ClsidHeifEncoder, false, 20.0},
                                           LossyCase{"HeicAlpha", ClsidHeifEncoder, true, 20.0},
                                           LossyCase{"Avif", ClsidAvifEncoder, false, 20.0},
                                           LossyCase{"AvifAlpha", ClsidAvifEncoder, true, 20.0},
                                           LossyCase{"Jxl", ClsidJxlEncoder, false, 12.0},
                                           LossyCase{"JxlAlpha", ClsidJxlEncoder, true, 12.0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct IndexedCase {
    const char* name;
    CLSID encoder;
    PixelFormat format;
    PixelFormat decoded;
    bool keepsPalette;
};

void PrintTo(const IndexedCase& c, std::ostream* os) { *os << c.name; }

class IndexedRoundTrip : public ImagingTest, public ::testing::WithParamInterface<IndexedCase> {};

TEST_P(IndexedRoundTrip, KeepsIndicesAndColours) {
    const IndexedCase& c = GetParam();
    UINT bits = GetPixelFormatSize(c.format);
    // A short palette with one translucent entry (where the format keeps it).
    std::vector<ARGB> palette = {Rgb(10, 20, 30), Rgb(200, 0, 0), Rgb(0, 200, 0, 0), Rgb(5, 5, 250)};
    if (bits == 1) palette.resize(2);
    std::vector<BYTE> indices;
    for (UINT i = 0; i < 35; ++i) indices.push_back(static_cast<BYTE>((i * 7 + i / 7) % palette.size()));
    BitmapPtr bitmap = MakeIndexed(c.format, 7, 5, indices, palette);
    std::vector<ARGB> original = PixelsOf(bitmap.get());

    BitmapPtr back;
    ASSERT_EQ(SaveAndLoad(bitmap.get(), c.encoder, ".out", &back), Ok);
    EXPECT_EQ(FormatOf(back.get()), c.decoded);
    std::vector<ARGB> pixels = PixelsOf(back.get());
    for (size_t i = 0; i < pixels.size(); ++i) {
        bool clear = (original[i] >> 24) == 0;
        if (c.encoder == ClsidBmpEncoder || c.encoder == ClsidTiffEncoder) {
            // These files keep no palette alpha.
            EXPECT_EQ(pixels[i] & 0xFFFFFF, original[i] & 0xFFFFFF) << i;
        } else if (clear) {
            EXPECT_EQ(pixels[i] >> 24, 0u) << i;
        } else {
            EXPECT_EQ(pixels[i], original[i]) << i;
        }
    }
    if (c.keepsPalette) {
        std::vector<ARGB> kept = PaletteOf(back.get());
        ASSERT_GE(kept.size(), palette.size());
        for (size_t i = 0; i < palette.size(); ++i) {
            if (c.encoder == ClsidBmpEncoder) {
                EXPECT_EQ(kept[i], palette[i] | 0xFF000000u);
            } else {
                EXPECT_EQ(kept[i], palette[i]);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Encoders, IndexedRoundTrip,
    ::testing::Values(IndexedCase{"Bmp1", ClsidBmpEncoder, PixelFormat1bppIndexed, PixelFormat1bppIndexed, true},
                      IndexedCase{"Bmp4", ClsidBmpEncoder, PixelFormat4bppIndexed, PixelFormat4bppIndexed, true},
                      IndexedCase{"Bmp8", ClsidBmpEncoder, PixelFormat8bppIndexed, PixelFormat8bppIndexed, true},
                      IndexedCase{"Png1", ClsidPngEncoder, PixelFormat1bppIndexed, PixelFormat1bppIndexed, true},
                      IndexedCase{"Png4", ClsidPngEncoder, PixelFormat4bppIndexed, PixelFormat4bppIndexed, true},
                      IndexedCase{"Png8", ClsidPngEncoder, PixelFormat8bppIndexed, PixelFormat8bppIndexed, true},
                      IndexedCase{"Gif4", ClsidGifEncoder, PixelFormat4bppIndexed, PixelFormat8bppIndexed, false},
                      IndexedCase{"Gif8", ClsidGifEncoder, PixelFormat8bppIndexed, PixelFormat8bppIndexed, false},
                      IndexedCase{"Tiff8", ClsidTiffEncoder, PixelFormat8bppIndexed, PixelFormat24bppRGB, false},
                      IndexedCase{"Tiff1", ClsidTiffEncoder, PixelFormat1bppIndexed, PixelFormat24bppRGB, false}),
    [](const auto& info) { return info.param.name; });

TEST_F(ImagingTest, GreyIndexedJpegStaysGrey) {
    std::vector<BYTE> indices;
    for (UINT i = 0; i < 64; ++i) indices.push_back(static_cast<BYTE>(i * 4));
    std::vector<ARGB> grey;
    for (unsigned i = 0; i < 256; ++i) grey.push_back(Rgb(i, i, i));
    BitmapPtr bitmap = MakeIndexed(PixelFormat8bppIndexed, 8, 8, indices, grey);
    BitmapPtr back;
    ASSERT_EQ(SaveAndLoad(bitmap.get(), ClsidJpegEncoder, ".jpg", &back), Ok);
    EXPECT_EQ(FormatOf(back.get()), PixelFormat8bppIndexed);
}

TEST_F(ImagingTest, GifOfManyColoursIsDiffusedOverA256ColourPalette) {
    // 64 x 64 with 4096 colours: too many for a GIF palette.
    const UINT side = 64;
    std::vector<ARGB> pixels;
    for (UINT y = 0; y < side; ++y)
        for (UINT x = 0; x < side; ++x) pixels.push_back(Rgb(x * 4, y * 4, (x + y) * 2));
    BitmapPtr bitmap = MakeBitmap(PixelFormat24bppRGB, side, side, pixels);
    BitmapPtr back;
    ASSERT_EQ(SaveAndLoad(bitmap.get(), ClsidGifEncoder, ".gif", &back), Ok);
    EXPECT_EQ(FormatOf(back.get()), PixelFormat8bppIndexed);
    EXPECT_LE(PaletteOf(back.get()).size(), 256u);

    std::vector<ARGB> got = PixelsOf(back.get());
    std::set<ARGB> used(got.begin(), got.end());
    EXPECT_GT(used.size(), 128u);
    // Each 8 x 8 block's mean colour stays close: error diffusion carries
    // what one pixel could not show to its neighbours.
    for (UINT by = 0; by < side; by += 8) {
        for (UINT bx = 0; bx < side; bx += 8) {
            double want[3] = {}, have[3] = {};
            for (UINT y = by; y < by + 8; ++y) {
                for (UINT x = bx; x < bx + 8; ++x) {
                    for (int c = 0; c < 3; ++c) {
                        want[c] += (pixels[y * side + x] >> (8 * c)) & 0xFF;
                        have[c] += (got[y * side + x] >> (8 * c)) & 0xFF;
                    }
                }
            }
            // Inner blocks have palette colours on every side of theirs;
            // the corners of the colour range have not.
            bool inner = bx > 0 && by > 0 && bx + 8 < side && by + 8 < side;
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(have[c] / 64, want[c] / 64, inner ? 2.5 : 12.0) << bx << "," << by;
            }
        }
    }
}

TEST_F(ImagingTest, SavingRefusesUnknownEncodersParametersAndLockedBitmaps) {
    TempFolder folder;
    BitmapPtr bitmap = MakeBitmap(PixelFormat24bppRGB, 7, 5, PatternPixels(false));
    std::u16string path = WidePath(folder / "x.png");
    CLSID unknown = ClsidPngEncoder;
    unknown.Data1 = 0x12345678;
    EXPECT_EQ(GdipSaveImageToFile(bitmap.get(), path.c_str(), &unknown, nullptr), InvalidParameter);
    EXPECT_EQ(GdipSaveImageToFile(bitmap.get(), path.c_str(), nullptr, nullptr), InvalidParameter);
    EncoderParameters parameters{1, {{GUID_NULL, 1, 4, nullptr}}};
    EXPECT_EQ(GdipSaveImageToFile(bitmap.get(), path.c_str(), &ClsidPngEncoder, &parameters), NotImplemented);
    BitmapData data{};
    ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeRead, PixelFormat24bppRGB, &data), Ok);
    EXPECT_EQ(GdipSaveImageToFile(bitmap.get(), path.c_str(), &ClsidPngEncoder, nullptr), WrongState);
    ASSERT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
    EXPECT_TRUE(folder.Entries().empty());
    parameters.Count = 0;
    EXPECT_EQ(GdipSaveImageToFile(bitmap.get(), path.c_str(), &ClsidPngEncoder, &parameters), Ok);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"x.png"});
}

}  // namespace

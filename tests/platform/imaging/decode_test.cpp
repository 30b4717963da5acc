// Decoding the fixture files, made by an independent encoder, into the
// pixel format each kind of file calls for.

#include <gtest/gtest.h>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/imaging_testing.h"
#include "tests/platform/imaging/imaging_test_support.h"

namespace {

using namespace gdiplus;
using namespace imaging_test;

ARGB PatternPixel(UINT x, UINT y) { return Pattern(x, y); }
ARGB GreyPixel(UINT x, UINT y) { return Rgb(Grey(x, y), Grey(x, y), Grey(x, y)); }
ARGB Levels1(UINT x, UINT y) { return (x + y) % 2 ? Rgb(255, 255, 255) : Rgb(0, 0, 0); }
ARGB Levels2(UINT x, UINT y) {
    unsigned v = (x + y) % 4 * 85;
    return Rgb(v, v, v);
}
ARGB Levels4(UINT x, UINT y) {
    unsigned v = (3 * x + y) % 16 * 17;
    return Rgb(v, v, v);
}
ARGB Palette1(UINT x, UINT y) { return (x + y) % 2 ? Rgb(10, 40, 220) : Rgb(200, 30, 10); }
ARGB PatternWithAlpha(UINT x, UINT y) { return (Pattern(x, y) & 0xFFFFFF) | PatternAlpha(x, y) << 24; }
ARGB GreyWithAlpha(UINT x, UINT y) { return (GreyPixel(x, y) & 0xFFFFFF) | PatternAlpha(x, y) << 24; }
// Pattern with its colour at (0, 0), (0, 0, 30), fully transparent.
ARGB PatternKeyed(UINT x, UINT y) { return x == 0 && y == 0 ? 0 : Pattern(x, y); }
ARGB ShortPalette(UINT x, UINT y) {
    ARGB c = Colours16(x, y);
    return c == Rgb(0, 0, 0) ? Rgb(255, 0, 0) : c;
}
// The 16-bit pattern read back at 8 bits.
ARGB Pattern16As8(UINT x, UINT y) {
    auto eight = [&](int c) { return (Pattern16(x, y, c) * 255u + 32767) / 65535; };
    return Rgb(eight(0), eight(1), eight(2));
}
ARGB Pattern16AlphaAs8(UINT x, UINT y) {
    return (Pattern16As8(x, y) & 0xFFFFFF) | ((Pattern16(x, y, 3) * 255u + 32767) / 65535) << 24;
}
ARGB Red(UINT, UINT) { return Rgb(255, 0, 0); }
ARGB Grey16As8(UINT x, UINT y) {
    unsigned v = (Grey16(x, y) * 255u + 32767) / 65535;
    return Rgb(v, v, v);
}

struct DecodeCase {
    const char* file;
    PixelFormat format;
    UINT width, height;
    ARGB (*expected)(UINT x, UINT y);
    int tolerance;      // per channel
    UINT paletteCount;  // 0: not checked
};

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.file; }

class Decode : public ImagingTest, public ::testing::WithParamInterface<DecodeCase> {};

TEST_P(Decode, GivesTheFormatSizeAndPixelsOfTheFile) {
    const DecodeCase& c = GetParam();
    BitmapPtr bitmap;
    ASSERT_TRUE(LoadsAs(FixturePath(c.file), c.format, c.width, c.height, &bitmap));
    if (c.paletteCount != 0) {
        EXPECT_EQ(PaletteOf(bitmap.get()).size(), c.paletteCount);
    }

    std::vector<ARGB> pixels = PixelsOf(bitmap.get());
    ASSERT_EQ(pixels.size(), size_t{c.width} * c.height);
    int worst = 0;
    for (UINT y = 0; y < c.height; ++y) {
        for (UINT x = 0; x < c.width; ++x) {
            ARGB got = pixels[y * c.width + x], want = c.expected(x, y);
            // Under full transparency the colour does not matter.
            if ((want >> 24) == 0) {
                EXPECT_EQ(got >> 24, 0u) << "at " << x << "," << y;
                continue;
            }
            int distance = ChannelDistance(got, want);
            worst = std::max(worst, distance);
            EXPECT_LE(distance, c.tolerance)
                << "at " << x << "," << y << std::hex << ": got " << got << ", want " << want;
        }
    }
    RecordProperty("worst", worst);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, Decode,
                         ::testing::Values(
                             // JPEG: colour straight to B, G, R; grey indexed; CMYK converted.
                             DecodeCase{"jpeg-colour.jpg", PixelFormat24bppRGB, 16, 8, Smooth, 3, 0},
                             DecodeCase{"jpeg-progressive.jpg", PixelFormat24bppRGB, 16, 8, Smooth, 6, 0},
                             DecodeCase{"jpeg-grey.jpg", PixelFormat8bppIndexed, 7, 5, GreyPixel, 3, 256},
                             DecodeCase{"jpeg-cmyk.jpg", PixelFormat24bppRGB, 16, 8, Smooth, 6, 0},
                             // PNG: palettes and low-depth grey stay indexed, 2-bit widened to 4.
                             DecodeCase{"png-palette-1.png", PixelFormat1bppIndexed, 7, 5, Palette1, 0, 2},
                             DecodeCase{"png-palette-2.png", PixelFormat4bppIndexed, 7, 5, Colours4, 0, 4},
                             DecodeCase{"png-palette-4.png", PixelFormat4bppIndexed, 7, 5, Colours16, 0, 16},
                             DecodeCase{"png-palette-8.png", PixelFormat8bppIndexed, 7, 5, PatternPixel, 0, 35},
                             DecodeCase{"png-palette-trns.png", PixelFormat8bppIndexed, 7, 5, PatternKeyed, 0, 35},
                             DecodeCase{"png-grey-1.png", PixelFormat1bppIndexed, 7, 5, Levels1, 0, 2},
                             DecodeCase{"png-grey-2.png", PixelFormat4bppIndexed, 7, 5, Levels2, 0, 4},
                             DecodeCase{"png-grey-4.png", PixelFormat4bppIndexed, 7, 5, Levels4, 0, 16},
                             DecodeCase{"png-grey-8.png", PixelFormat8bppIndexed, 7, 5, GreyPixel, 0, 256},
                             DecodeCase{"png-grey-16.png", PixelFormat16bppGrayScale, 7, 5, Grey16As8, 0, 0},
                             DecodeCase{"png-rgb-8.png", PixelFormat24bppRGB, 7, 5, PatternPixel, 0, 0},
                             DecodeCase{"png-interlaced.png", PixelFormat24bppRGB, 7, 5, PatternPixel, 0, 0},
                             DecodeCase{"png-rgb-16.png", PixelFormat48bppRGB, 7, 5, Pattern16As8, 0, 0},
                             DecodeCase{"png-rgba-8.png", PixelFormat32bppARGB, 7, 5, PatternWithAlpha, 0, 0},
                             DecodeCase{"png-rgba-16.png", PixelFormat64bppARGB, 7, 5, Pattern16AlphaAs8, 0, 0},
                             DecodeCase{"png-grey-alpha.png", PixelFormat32bppARGB, 7, 5, GreyWithAlpha, 0, 0},
                             DecodeCase{"png-rgb-trns.png", PixelFormat32bppARGB, 7, 5, PatternKeyed, 0, 0},
                             // GIF: 8-bit indexed, the first frame on the logical screen.
                             DecodeCase{"gif-pattern.gif", PixelFormat8bppIndexed, 7, 5, PatternPixel, 0, 0},
                             DecodeCase{"gif-interlaced.gif", PixelFormat8bppIndexed, 7, 5, PatternPixel, 0, 0},
                             DecodeCase{"gif-transparent.gif", PixelFormat8bppIndexed, 7, 5, PatternKeyed, 0, 0},
                             DecodeCase{"gif-short-palette.gif", PixelFormat8bppIndexed, 7, 5, ShortPalette, 0, 16},
                             // BMP: its own depth.
                             DecodeCase{"bmp-core-24.bmp", PixelFormat24bppRGB, 7, 5, PatternPixel, 0, 0},
                             DecodeCase{"bmp-core-4.bmp", PixelFormat4bppIndexed, 7, 5, Colours16, 0, 16},
                             DecodeCase{"bmp-info-1.bmp", PixelFormat1bppIndexed, 7, 5, Levels1, 0, 2},
                             DecodeCase{"bmp-info-4.bmp", PixelFormat4bppIndexed, 7, 5, Colours16, 0, 16},
                             DecodeCase{"bmp-info-8.bmp", PixelFormat8bppIndexed, 7, 5, PatternPixel, 0, 256},
                             DecodeCase{"bmp-rle-8.bmp", PixelFormat8bppIndexed, 7, 5, PatternPixel, 0, 256},
                             DecodeCase{"bmp-info-24.bmp", PixelFormat24bppRGB, 7, 5, PatternPixel, 0, 0},
                             DecodeCase{"bmp-info-32.bmp", PixelFormat32bppRGB, 7, 5, PatternPixel, 0, 0},
                             DecodeCase{"bmp-v5-555.bmp", PixelFormat16bppRGB555, 7, 5, PatternPixel, 8, 0},
                             DecodeCase{"bmp-v5-565.bmp", PixelFormat16bppRGB565, 7, 5, PatternPixel, 8, 0},
                             DecodeCase{"bmp-v5-32-alpha.bmp", PixelFormat32bppARGB, 7, 5, PatternWithAlpha, 0, 0},
                             // TIFF: 24-bit RGB, or 32-bit ARGB with alpha.
                             DecodeCase{"tiff-rgb.tif", PixelFormat24bppRGB, 7, 5, PatternPixel, 0, 0},
                             DecodeCase{"tiff-grey.tif", PixelFormat24bppRGB, 7, 5, GreyPixel, 0, 0},
                             DecodeCase{"tiff-palette.tif", PixelFormat24bppRGB, 7, 5, PatternPixel, 0, 0},
                             DecodeCase{"tiff-rgba.tif", PixelFormat32bppARGB, 7, 5, PatternWithAlpha, 2, 0},
                             // WebP: an animation shows its first frame.
                             DecodeCase{"webp-animated.webp", PixelFormat24bppRGB, 4, 3, Red, 0, 0}),
                         NamedByFile());

}  // namespace

namespace {

// Files named PREFIX-orientation-N.EXTENSION, N from 2 to 8.
struct OrientedFiles {
    const char* prefix;
    const char* extension;
};

void PrintTo(const OrientedFiles& c, std::ostream* os) { *os << c.prefix; }

class Orientation : public ImagingTest, public ::testing::WithParamInterface<OrientedFiles> {};

TEST_P(Orientation, ShowsThePictureUpright) {
    for (int orientation = 2; orientation <= 8; ++orientation) {
        std::string file =
            std::string(GetParam().prefix) + "-orientation-" + std::to_string(orientation) + GetParam().extension;
        SCOPED_TRACE(file);
        BitmapPtr bitmap;
        ASSERT_EQ(Load(FixturePath(file), &bitmap), Ok);
        ASSERT_EQ(WidthOf(bitmap.get()), 32u);
        ASSERT_EQ(HeightOf(bitmap.get()), 16u);
        std::vector<ARGB> pixels = PixelsOf(bitmap.get());
        // The middle of each 8 x 8 block, away from its edges' ringing.
        for (UINT y = 3; y < 16; y += 8) {
            for (UINT x = 3; x < 32; x += 8) {
                EXPECT_LE(ChannelDistance(pixels[y * 32 + x], Blocks(x, y)), 8) << "block at " << x << "," << y;
            }
        }
    }
}

// JPEG, TIFF and WebP by their EXIF orientation, HEIF by its rotation and
// mirroring boxes, JPEG XL by its header.
INSTANTIATE_TEST_SUITE_P(Files, Orientation,
                         ::testing::Values(OrientedFiles{"jpeg", ".jpg"}, OrientedFiles{"tiff", ".tif"},
                                           OrientedFiles{"webp", ".webp"}, OrientedFiles{"heic", ".heic"},
                                           OrientedFiles{"jxl", ".jxl"}),
                         [](const auto& info) { return std::string(info.param.prefix); });

TEST_F(ImagingTest, GreyJpegHasAGreyPalette) {
    BitmapPtr bitmap;
    ASSERT_EQ(Load(FixturePath("jpeg-grey.jpg"), &bitmap), Ok);
    std::vector<ARGB> palette = PaletteOf(bitmap.get());
    ASSERT_EQ(palette.size(), 256u);
    for (unsigned i = 0; i < 256; ++i) EXPECT_EQ(palette[i], Rgb(i, i, i));
}

TEST_F(ImagingTest, TransparentIndexHasAlphaZeroInThePalette) {
    for (const char* file : {"gif-transparent.gif", "png-palette-trns.png"}) {
        SCOPED_TRACE(file);
        BitmapPtr bitmap;
        ASSERT_EQ(Load(FixturePath(file), &bitmap), Ok);
        std::vector<ARGB> palette = PaletteOf(bitmap.get());
        int transparent = 0;
        for (ARGB entry : palette) {
            if ((entry >> 24) == 0) {
                ++transparent;
            } else {
                EXPECT_EQ(entry >> 24, 0xFFu);
            }
        }
        EXPECT_EQ(transparent, 1);
    }
}

TEST_F(ImagingTest, SixteenBitFilesKeepTheirPrecision) {
    BitmapPtr grey, rgb, rgba;
    ASSERT_EQ(Load(FixturePath("png-grey-16.png"), &grey), Ok);
    ASSERT_EQ(Load(FixturePath("png-rgb-16.png"), &rgb), Ok);
    ASSERT_EQ(Load(FixturePath("png-rgba-16.png"), &rgba), Ok);
    std::vector<std::uint64_t> g = WidePixelsOf(grey.get()), c = WidePixelsOf(rgb.get()), a = WidePixelsOf(rgba.get());
    auto channel = [](std::uint64_t p, int c) { return static_cast<std::uint16_t>(p >> (16 * c)); };
    for (UINT y = 0; y < 5; ++y) {
        for (UINT x = 0; x < 7; ++x) {
            size_t i = y * 7 + x;
            EXPECT_EQ(channel(g[i], 0), Grey16(x, y));
            for (int k : {0, 1, 2}) {
                // 64-bit pixels are blue, green, red, alpha from the low end.
                EXPECT_EQ(channel(c[i], 2 - k), Pattern16(x, y, k)) << x << "," << y << " channel " << k;
                EXPECT_EQ(channel(a[i], 2 - k), Pattern16(x, y, k));
            }
            EXPECT_EQ(channel(c[i], 3), 65535);
            EXPECT_EQ(channel(a[i], 3), Pattern16(x, y, 3));
        }
    }
}

TEST_F(ImagingTest, GifShowsOnlyItsFirstFrameOnTheLogicalScreen) {
    BitmapPtr offset, animated;
    ASSERT_EQ(Load(FixturePath("gif-offset-frame.gif"), &offset), Ok);
    ASSERT_EQ(WidthOf(offset.get()), 10u);
    ASSERT_EQ(HeightOf(offset.get()), 8u);
    std::vector<ARGB> pixels = PixelsOf(offset.get());
    for (UINT y = 0; y < 8; ++y) {
        for (UINT x = 0; x < 10; ++x) {
            bool inFrame = x >= 2 && x < 6 && y >= 1 && y < 4;
            // Outside the frame nothing is drawn: clear.
            EXPECT_EQ(pixels[y * 10 + x] >> 24, inFrame ? 0xFFu : 0u) << x << "," << y;
            if (inFrame) {
                EXPECT_EQ(pixels[y * 10 + x], Rgb(255, 0, 0)) << x << "," << y;
            }
        }
    }

    ASSERT_EQ(Load(FixturePath("gif-animated.gif"), &animated), Ok);
    for (ARGB p : PixelsOf(animated.get())) EXPECT_EQ(p, Rgb(255, 0, 0));
}

TEST_F(ImagingTest, DecoderIsChosenByContentNotName) {
    TempFolder folder;
    WriteBytes(folder / "really-a-png.jpg", ReadBytes(FixturePath("png-rgb-8.png")));
    BitmapPtr bitmap;
    ASSERT_EQ(Load(folder / "really-a-png.jpg", &bitmap), Ok);
    GUID format;
    ASSERT_EQ(GdipGetImageRawFormat(bitmap.get(), &format), Ok);
    EXPECT_EQ(format, ImageFormatPNG);
    EXPECT_EQ(FormatOf(bitmap.get()), PixelFormat24bppRGB);
}

TEST_F(ImagingTest, RawFormatNamesTheKindOfFile) {
    struct Case {
        const char* file;
        GUID format;
    };
    // AVIF files name the general HEIF brand too.
    for (const Case& c : {Case{"heic-smooth.heic", ImageFormatHEIF}, Case{"avif-smooth.avif", ImageFormatAVIF},
                          Case{"webp-lossy.webp", ImageFormatWEBP}, Case{"jxl-lossless.jxl", ImageFormatJXL},
                          Case{"jxl-orientation-2.jxl", ImageFormatJXL}}) {
        SCOPED_TRACE(c.file);
        BitmapPtr bitmap;
        ASSERT_EQ(Load(FixturePath(c.file), &bitmap), Ok);
        GUID format;
        ASSERT_EQ(GdipGetImageRawFormat(bitmap.get(), &format), Ok);
        EXPECT_EQ(format, c.format);
    }
}

TEST_F(ImagingTest, OpensFileNamesThatAreNotTextInTheCodePage) {
    TempFolder folder;
    // Latin-1 bytes, not valid UTF-8: they reach the library as lone
    // surrogates and must still name the same file.
    std::string name = folder / "caf\xE9-\xFF.png";
    WriteBytes(name, ReadBytes(FixturePath("png-rgb-8.png")));
    std::u16string wide = WidePath(name);
    ASSERT_NE(wide.find(u'\xDCE9'), std::u16string::npos);
    BitmapPtr bitmap;
    EXPECT_EQ(GdipCreateBitmapFromFile(wide.c_str(), bitmap.out()), Ok);
}

}  // namespace

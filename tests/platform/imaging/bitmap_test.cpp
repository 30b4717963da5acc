// Bitmaps over memory, pixel locks with and without conversion, palettes,
// drawing one bitmap into another, and handle checks.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/graphics.h"
#include "platform/imaging/imaging_testing.h"
#include "tests/platform/imaging/imaging_test_support.h"

namespace {

using namespace gdiplus;
using namespace imaging_test;

TEST_F(ImagingTest, Scan0BitmapSharesTheCallersMemoryTopRowFirst) {
    // Three rows stored bottom-up, as a DIB does: the top row is last in
    // memory and the stride is negative.
    std::vector<ARGB> memory = {Rgb(0, 0, 3), Rgb(0, 0, 33), Rgb(0, 0, 2), Rgb(0, 0, 22), Rgb(0, 0, 1), Rgb(0, 0, 11)};
    BYTE* top = reinterpret_cast<BYTE*>(memory.data() + 4);
    BitmapPtr bitmap;
    ASSERT_EQ(GdipCreateBitmapFromScan0(2, 3, -8, PixelFormat32bppARGB, top, bitmap.out()), Ok);
    EXPECT_EQ(PixelsOf(bitmap.get()), (std::vector<ARGB>{Rgb(0, 0, 1), Rgb(0, 0, 11), Rgb(0, 0, 2), Rgb(0, 0, 22),
                                                         Rgb(0, 0, 3), Rgb(0, 0, 33)}));

    // Writing through a lock lands in the caller's memory.
    BitmapData data{};
    Rect row{1, 2, 1, 1};
    ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), &row, ImageLockModeWrite, PixelFormat32bppARGB, &data), Ok);
    *static_cast<ARGB*>(data.Scan0) = Rgb(9, 9, 9);
    ASSERT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
    EXPECT_EQ(memory[1], Rgb(9, 9, 9));
}

TEST_F(ImagingTest, Scan0RefusesBadShapes) {
    BYTE memory[64] = {};
    BitmapPtr bitmap;
    struct Case {
        INT width, height, stride;
        PixelFormat format;
    };
    for (const Case& c : {Case{0, 1, 4, PixelFormat32bppRGB}, Case{1, -1, 4, PixelFormat32bppRGB},
                          Case{2, 1, 4, PixelFormat32bppRGB},   // stride shorter than a row
                          Case{1, 1, 6, PixelFormat24bppRGB},   // not a multiple of 4
                          Case{1, 1, 4, PixelFormat32bppCMYK},  // not a format bitmaps hold
                          Case{1, 1, 4, 0x12345678}}) {
        EXPECT_EQ(GdipCreateBitmapFromScan0(c.width, c.height, c.stride, c.format, memory, bitmap.out()),
                  InvalidParameter);
        EXPECT_FALSE(bitmap);
    }
    // Without memory of the caller's the bitmap makes its own, cleared.
    ASSERT_EQ(GdipCreateBitmapFromScan0(3, 2, 0, PixelFormat24bppRGB, nullptr, bitmap.out()), Ok);
    for (ARGB p : PixelsOf(bitmap.get())) EXPECT_EQ(p, Rgb(0, 0, 0));
}

// One pixel in each format, and the 0xAARRGGBB it reads as.
struct FormatCase {
    PixelFormat format;
    std::vector<BYTE> bytes;
    ARGB argb;
};

class LockConversion : public ImagingTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(LockConversion, ReadsAndWritesEveryFormat) {
    const FormatCase& c = GetParam();
    std::vector<BYTE> memory(8, 0);
    std::memcpy(memory.data(), c.bytes.data(), c.bytes.size());
    BitmapPtr bitmap;
    ASSERT_EQ(GdipCreateBitmapFromScan0(1, 1, 8, c.format, memory.data(), bitmap.out()), Ok);
    EXPECT_EQ(PixelsOf(bitmap.get()), std::vector<ARGB>{c.argb});

    // Writing the same colour back through a converting lock gives the
    // same bytes.
    std::memset(memory.data(), 0, memory.size());
    BitmapData data{};
    ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeWrite, PixelFormat32bppARGB, &data), Ok);
    *static_cast<ARGB*>(data.Scan0) = c.argb;
    ASSERT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
    EXPECT_EQ(std::vector<BYTE>(memory.begin(), memory.begin() + static_cast<std::ptrdiff_t>(c.bytes.size())), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, LockConversion,
    ::testing::Values(
        FormatCase{PixelFormat24bppRGB, {0x10, 0x20, 0x30}, Rgb(0x30, 0x20, 0x10)},
        FormatCase{PixelFormat32bppRGB, {0x10, 0x20, 0x30, 0xFF}, Rgb(0x30, 0x20, 0x10)},
        FormatCase{PixelFormat32bppARGB, {0x10, 0x20, 0x30, 0x80}, Rgb(0x30, 0x20, 0x10, 0x80)},
        // premultiplied 0x40 at alpha 0x80 is 0x80 straight
        FormatCase{PixelFormat32bppPARGB, {0x08, 0x10, 0x40, 0x80}, Rgb(0x80, 0x20, 0x10, 0x80)},
        FormatCase{PixelFormat16bppRGB555, {0x1F, 0x7C}, Rgb(0xFF, 0x00, 0xFF)},
        FormatCase{PixelFormat16bppRGB565, {0xE0, 0x07}, Rgb(0x00, 0xFF, 0x00)},
        FormatCase{PixelFormat16bppARGB1555, {0x00, 0xFC}, Rgb(0xFF, 0x00, 0x00, 0xFF)},
        FormatCase{PixelFormat16bppGrayScale, {0x80, 0x80}, Rgb(0x80, 0x80, 0x80)},
        // 16-bit channels: 0x1010 is 0x10 at 8 bits
        FormatCase{PixelFormat48bppRGB, {0x10, 0x10, 0x20, 0x20, 0x30, 0x30}, Rgb(0x30, 0x20, 0x10)},
        FormatCase{PixelFormat64bppARGB, {0x10, 0x10, 0x20, 0x20, 0x30, 0x30, 0xFF, 0xFF}, Rgb(0x30, 0x20, 0x10)}));

TEST_F(ImagingTest, LockOfTheOwnFormatGivesTheOwnRows) {
    BitmapPtr bitmap;
    ASSERT_EQ(GdipCreateBitmapFromScan0(5, 4, 0, PixelFormat24bppRGB, nullptr, bitmap.out()), Ok);
    BitmapData whole{}, part{};
    ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeRead, PixelFormat24bppRGB, &whole), Ok);
    EXPECT_EQ(whole.Stride, 16);  // 15 bytes padded to 16
    EXPECT_EQ(whole.PixelFormat, PixelFormat24bppRGB);
    // One lock at a time.
    EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeRead, PixelFormat24bppRGB, &part), WrongState);
    BYTE* scan0 = static_cast<BYTE*>(whole.Scan0);
    ASSERT_EQ(GdipBitmapUnlockBits(bitmap.get(), &whole), Ok);
    EXPECT_EQ(GdipBitmapUnlockBits(bitmap.get(), &whole), WrongState);

    Rect rect{2, 1, 2, 2};
    ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), &rect, ImageLockModeRead, PixelFormat24bppRGB, &part), Ok);
    EXPECT_EQ(part.Scan0, scan0 + 16 + 6);
    EXPECT_EQ(part.Width, 2u);
    EXPECT_EQ(part.Height, 2u);
    ASSERT_EQ(GdipBitmapUnlockBits(bitmap.get(), &part), Ok);

    for (Rect bad : {Rect{-1, 0, 1, 1}, Rect{0, 0, 6, 1}, Rect{4, 3, 2, 1}, Rect{0, 0, 0, 1}}) {
        EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), &bad, ImageLockModeRead, PixelFormat24bppRGB, &part),
                  InvalidParameter);
    }
    // No converting into an indexed format.
    EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeRead, PixelFormat8bppIndexed, &part),
              InvalidParameter);
}

TEST_F(ImagingTest, IndexedLocksAtABitOffsetCopyTheIndices) {
    // 1-bit rows: 10110010 01...
    BYTE memory[8] = {0xB2, 0x40, 0, 0, 0x0F, 0xF0, 0, 0};
    BitmapPtr bitmap;
    ASSERT_EQ(GdipCreateBitmapFromScan0(10, 2, 4, PixelFormat1bppIndexed, memory, bitmap.out()), Ok);
    Rect rect{3, 0, 6, 2};
    BitmapData data{};
    ASSERT_EQ(
        GdipBitmapLockBits(bitmap.get(), &rect, ImageLockModeRead | ImageLockModeWrite, PixelFormat1bppIndexed, &data),
        Ok);
    const BYTE* rows = static_cast<const BYTE*>(data.Scan0);
    EXPECT_EQ(rows[0] & 0xFC, 0x90);            // bits 3..8 of row 0: 100100
    EXPECT_EQ(rows[data.Stride] & 0xFC, 0x7C);  // bits 3..8 of row 1: 011111
    static_cast<BYTE*>(data.Scan0)[0] = 0xFC;   // set all six
    ASSERT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
    EXPECT_EQ(memory[0], 0xBF);
    EXPECT_EQ(memory[1], 0xC0);
}

TEST_F(ImagingTest, PalettesAreReadWholeAndSetWithinTheDepth) {
    BYTE memory[4] = {0x10, 0, 0, 0};  // index 1
    BitmapPtr bitmap;
    ASSERT_EQ(GdipCreateBitmapFromScan0(1, 1, 4, PixelFormat4bppIndexed, memory, bitmap.out()), Ok);
    EXPECT_EQ(PaletteOf(bitmap.get()).size(), 16u);

    struct {
        ColorPalette header;
        ARGB more[2];
    } three{{0, 3, {Rgb(1, 2, 3)}}, {Rgb(4, 5, 6, 0x80), Rgb(7, 8, 9)}};
    ASSERT_EQ(GdipSetImagePalette(bitmap.get(), &three.header), Ok);
    EXPECT_EQ(PaletteOf(bitmap.get()), (std::vector<ARGB>{Rgb(1, 2, 3), Rgb(4, 5, 6, 0x80), Rgb(7, 8, 9)}));
    EXPECT_EQ(PixelsOf(bitmap.get()), std::vector<ARGB>{Rgb(4, 5, 6, 0x80)});

    INT size = 0;
    ASSERT_EQ(GdipGetImagePaletteSize(bitmap.get(), &size), Ok);
    EXPECT_EQ(size, 8 + 3 * 4);
    std::vector<BYTE> small(static_cast<size_t>(size) - 1);
    EXPECT_EQ(GdipGetImagePalette(bitmap.get(), reinterpret_cast<ColorPalette*>(small.data()), size - 1),
              InvalidParameter);

    ColorPalette tooMany{0, 17, {0}};
    EXPECT_EQ(GdipSetImagePalette(bitmap.get(), &tooMany), InvalidParameter);
    BitmapPtr rgb;
    ASSERT_EQ(GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat24bppRGB, nullptr, rgb.out()), Ok);
    EXPECT_EQ(GdipSetImagePalette(rgb.get(), &three.header), InvalidParameter);
    ASSERT_EQ(GdipGetImagePaletteSize(rgb.get(), &size), Ok);
    EXPECT_EQ(size, static_cast<INT>(sizeof(ColorPalette)));
}

struct DrawCase {
    const char* name;
    PixelFormat source;
    std::vector<BYTE> sourcePixel;
    PixelFormat target;
    std::vector<BYTE> targetBefore;
    ARGB expected;  // the target pixel afterwards, read as ARGB
    int tolerance;
};

void PrintTo(const DrawCase& c, std::ostream* os) { *os << c.name; }

class Draw : public ImagingTest, public ::testing::WithParamInterface<DrawCase> {};

TEST_P(Draw, ConvertsAndDrawsSourceOverTarget) {
    const DrawCase& c = GetParam();
    std::vector<BYTE> source(8, 0), target(8, 0);
    std::copy(c.sourcePixel.begin(), c.sourcePixel.end(), source.begin());
    std::copy(c.targetBefore.begin(), c.targetBefore.end(), target.begin());
    BitmapPtr from, to;
    ASSERT_EQ(GdipCreateBitmapFromScan0(1, 1, 8, c.source, source.data(), from.out()), Ok);
    ASSERT_EQ(GdipCreateBitmapFromScan0(1, 1, 8, c.target, target.data(), to.out()), Ok);
    GpGraphics* graphics = nullptr;
    ASSERT_EQ(GdipGetImageGraphicsContext(to.get(), &graphics), Ok);
    EXPECT_EQ(GdipDrawImageI(graphics, from.get(), 0, 0), Ok);
    EXPECT_EQ(GdipDeleteGraphics(graphics), Ok);
    ARGB got = PixelsOf(to.get())[0];
    EXPECT_LE(ChannelDistance(got, c.expected), c.tolerance) << std::hex << got << " vs " << c.expected;
}

const std::vector<BYTE> blueTarget = {0xFF, 0x00, 0x00, 0xFF};  // opaque blue (B, G, R, A)

INSTANTIATE_TEST_SUITE_P(
    Formats, Draw,
    ::testing::Values(
        DrawCase{"Rgb24ToRgb32", PixelFormat24bppRGB, {1, 2, 3}, PixelFormat32bppRGB, {}, Rgb(3, 2, 1), 0},
        DrawCase{"Grey16ToRgb32",
                 PixelFormat16bppGrayScale,
                 {0x00, 0x80},
                 PixelFormat32bppRGB,
                 {},
                 Rgb(0x80, 0x80, 0x80),
                 0},
        DrawCase{"Rgb48ToRgb32",
                 PixelFormat48bppRGB,
                 {0, 0x10, 0, 0x20, 0, 0x30},
                 PixelFormat32bppRGB,
                 {},
                 Rgb(0x30, 0x20, 0x10),
                 0},
        DrawCase{"Pargb32IntoClearArgb",
                 PixelFormat32bppPARGB,
                 {0x20, 0x20, 0x40, 0x80},
                 PixelFormat32bppARGB,
                 {},
                 Rgb(0x80, 0x40, 0x40, 0x80),
                 1},
        DrawCase{"Argb64IntoClearArgb",
                 PixelFormat64bppARGB,
                 {0, 0x10, 0, 0x20, 0, 0x30, 0, 0x80},
                 PixelFormat32bppARGB,
                 {},
                 Rgb(0x30, 0x20, 0x10, 0x80),
                 0},
        DrawCase{"Argb1555IntoClearArgb",
                 PixelFormat16bppARGB1555,
                 {0x00, 0xFC},
                 PixelFormat32bppARGB,
                 {},
                 Rgb(0xFF, 0, 0),
                 0},
        DrawCase{"HalfRedOverOpaqueBlue",
                 PixelFormat32bppARGB,
                 {0, 0, 0xFF, 0x80},
                 PixelFormat32bppRGB,
                 blueTarget,
                 Rgb(0x80, 0, 0x7F),
                 1},
        DrawCase{"ClearOverOpaqueBlue",
                 PixelFormat32bppARGB,
                 {0, 0, 0xFF, 0x00},
                 PixelFormat32bppARGB,
                 blueTarget,
                 Rgb(0, 0, 0xFF),
                 0},
        DrawCase{"HalfRedOverHalfBlue",
                 PixelFormat32bppARGB,
                 {0, 0, 0xFF, 0x80},
                 PixelFormat32bppARGB,
                 {0xFF, 0, 0, 0x80},
                 Rgb(0xAA, 0, 0x55, 0xC0),
                 1},
        DrawCase{"RgbIntoPargb", PixelFormat24bppRGB, {1, 2, 3}, PixelFormat32bppPARGB, {}, Rgb(3, 2, 1), 0},
        DrawCase{
            "RgbIntoArgb1555", PixelFormat24bppRGB, {0, 0, 0xFF}, PixelFormat16bppARGB1555, {}, Rgb(0xFF, 0, 0), 0}),
    [](const auto& info) { return info.param.name; });

TEST_F(ImagingTest, DrawingClipsToTheTargetAndCopiesIndexedColours) {
    BYTE source[8] = {0x01, 0x10, 0, 0, 0x11, 0x00, 0, 0};  // 4-bit indices, two rows of three
    BitmapPtr from, to;
    ASSERT_EQ(GdipCreateBitmapFromScan0(3, 2, 4, PixelFormat4bppIndexed, source, from.out()), Ok);
    ASSERT_EQ(GdipCreateBitmapFromScan0(3, 3, 0, PixelFormat32bppRGB, nullptr, to.out()), Ok);
    GpGraphics* graphics = nullptr;
    ASSERT_EQ(GdipGetImageGraphicsContext(to.get(), &graphics), Ok);
    // Half off the left and bottom edges.
    ASSERT_EQ(GdipDrawImageI(graphics, from.get(), -1, 2), Ok);
    ASSERT_EQ(GdipDrawImageI(graphics, from.get(), 5, 5), Ok);  // wholly outside
    ASSERT_EQ(GdipDeleteGraphics(graphics), Ok);
    std::vector<ARGB> pixels = PixelsOf(to.get());
    ARGB black = Rgb(0, 0, 0), maroon = Rgb(0x80, 0, 0);
    EXPECT_EQ(pixels, (std::vector<ARGB>{black, black, black, black, black, black, maroon, maroon, black}));
}

TEST_F(ImagingTest, StaleAndForeignHandlesAreRefused) {
    BitmapPtr bitmap;
    ASSERT_EQ(GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat8bppIndexed, nullptr, bitmap.out()), Ok);
    GpGraphics* graphics = nullptr;
    EXPECT_EQ(GdipGetImageGraphicsContext(bitmap.get(), &graphics), InvalidParameter);  // indexed target

    GpBitmap* gone = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat32bppRGB, nullptr, &gone), Ok);
    ASSERT_EQ(GdipGetImageGraphicsContext(gone, &graphics), Ok);
    ASSERT_EQ(GdipDisposeImage(gone), Ok);
    UINT width = 0;
    PixelFormat format = 0;
    BitmapData data{};
    EXPECT_EQ(GdipDisposeImage(gone), InvalidParameter);
    EXPECT_EQ(GdipGetImageWidth(gone, &width), InvalidParameter);
    EXPECT_EQ(GdipGetImagePixelFormat(nullptr, &format), InvalidParameter);
    EXPECT_EQ(GdipBitmapLockBits(gone, nullptr, ImageLockModeRead, PixelFormat32bppRGB, &data), InvalidParameter);
    // The graphics of a disposed bitmap draws nothing.
    EXPECT_EQ(GdipDrawImageI(graphics, bitmap.get(), 0, 0), InvalidParameter);
    EXPECT_EQ(GdipDeleteGraphics(graphics), Ok);
    EXPECT_EQ(GdipDeleteGraphics(graphics), InvalidParameter);
    auto* foreign = reinterpret_cast<GpImage*>(&width);
    EXPECT_EQ(GdipGetImageWidth(foreign, &width), InvalidParameter);
}

}  // namespace

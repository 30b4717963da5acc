// Windows bitmap variants the fixture encoder does not write: run-length
// 4-bit, top-down rows, the V4 header, unusual bit fields, short palettes.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/imaging/bitmap.h"
#include "tests/platform/imaging/imaging_test_support.h"

namespace {

using namespace gdiplus;
using namespace imaging_test;

void Put(std::vector<BYTE>& out, DWORD value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<BYTE>(value >> (8 * i)));
}

struct BmpLayout {
    DWORD headerBytes = 40;
    LONG width = 0;
    LONG height = 0;
    WORD bits = 24;
    DWORD compression = 0;
    std::vector<DWORD> masks;   // red, green, blue(, alpha)
    std::vector<ARGB> palette;  // written as BGRX quads
    DWORD colorsUsed = 0;
    std::vector<BYTE> pixels;
};

std::vector<BYTE> MakeBmp(const BmpLayout& s) {
    std::vector<BYTE> header;
    Put(header, s.headerBytes, 4);
    Put(header, static_cast<DWORD>(s.width), 4);
    Put(header, static_cast<DWORD>(s.height), 4);
    Put(header, 1, 2);
    Put(header, s.bits, 2);
    Put(header, s.compression, 4);
    Put(header, static_cast<DWORD>(s.pixels.size()), 4);
    Put(header, 2835, 4);
    Put(header, 2835, 4);
    Put(header, s.colorsUsed, 4);
    Put(header, 0, 4);
    std::vector<BYTE> extra;
    if (s.headerBytes > 40) {
        for (size_t i = 0; i < 4; ++i) Put(header, i < s.masks.size() ? s.masks[i] : 0, 4);
        header.resize(s.headerBytes, 0);
    } else {
        for (DWORD m : s.masks) Put(extra, m, 4);
    }
    for (ARGB c : s.palette) Put(extra, c & 0xFFFFFF, 4);
    std::vector<BYTE> file = {'B', 'M'};
    DWORD offset = 14 + static_cast<DWORD>(header.size() + extra.size());
    Put(file, offset + static_cast<DWORD>(s.pixels.size()), 4);
    Put(file, 0, 4);
    Put(file, offset, 4);
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), extra.begin(), extra.end());
    file.insert(file.end(), s.pixels.begin(), s.pixels.end());
    return file;
}

const std::vector<ARGB> sixteen = {Rgb(0, 0, 0),       Rgb(128, 0, 0),   Rgb(0, 128, 0),   Rgb(128, 128, 0),
                                   Rgb(0, 0, 128),     Rgb(128, 0, 128), Rgb(0, 128, 128), Rgb(192, 192, 192),
                                   Rgb(128, 128, 128), Rgb(255, 0, 0),   Rgb(0, 255, 0),   Rgb(255, 255, 0),
                                   Rgb(0, 0, 255),     Rgb(255, 0, 255), Rgb(0, 255, 255), Rgb(255, 255, 255)};

TEST_F(ImagingTest, Rle4RunsLiteralsAndJumps) {
    // 6 x 3, bottom row first: a run of 5 pixels alternating 1 and 2, an
    // end of line; a literal 3 4 5, a jump two right and zero up, an end
    // of line; an end of bitmap before the top row (left at index 0).
    BmpLayout s;
    s.width = 6, s.height = 3, s.bits = 4, s.compression = 2, s.palette = sixteen;
    s.pixels = {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 2, 2, 0, 0, 1};
    BitmapPtr bitmap;
    ASSERT_EQ(LoadBytes(MakeBmp(s), &bitmap), Ok);
    EXPECT_EQ(FormatOf(bitmap.get()), PixelFormat4bppIndexed);
    std::vector<ARGB> p = PixelsOf(bitmap.get());
    auto at = [&](int x, int y) { return p[static_cast<size_t>(y * 6 + x)]; };
    for (int x = 0; x < 6; ++x) EXPECT_EQ(at(x, 0), sixteen[0]) << x;  // never written
    EXPECT_EQ(at(0, 1), sixteen[3]);
    EXPECT_EQ(at(1, 1), sixteen[4]);
    EXPECT_EQ(at(2, 1), sixteen[5]);
    EXPECT_EQ(at(3, 1), sixteen[0]);
    const int bottom[6] = {1, 2, 1, 2, 1, 0};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(at(x, 2), sixteen[bottom[x]]) << x;
}

TEST_F(ImagingTest, RleThatNeverEndsIsTruncated) {
    BmpLayout s;
    s.width = 4, s.height = 2, s.bits = 8, s.compression = 1, s.palette = sixteen, s.colorsUsed = 16;
    s.pixels = {4, 1, 0, 0, 4, 2};  // no end-of-bitmap mark
    BitmapPtr bitmap;
    EXPECT_EQ(LoadBytes(MakeBmp(s), &bitmap), GenericError);
    s.pixels = {0, 2, 200, 200, 0, 1};  // a jump far outside is harmless
    EXPECT_EQ(LoadBytes(MakeBmp(s), &bitmap), Ok);
    s.height = -2;  // run-length rows are always bottom-up
    s.pixels = {4, 1, 0, 1};
    EXPECT_EQ(LoadBytes(MakeBmp(s), &bitmap), GenericError);
}

TEST_F(ImagingTest, TopDownRowsStartWithTheTopRow) {
    BmpLayout s;
    s.width = 1, s.height = -2, s.bits = 24;
    s.pixels = {1, 2, 3, 0, 4, 5, 6, 0};  // rows padded to 4 bytes
    BitmapPtr bitmap;
    ASSERT_EQ(LoadBytes(MakeBmp(s), &bitmap), Ok);
    EXPECT_EQ(PixelsOf(bitmap.get()), (std::vector<ARGB>{Rgb(3, 2, 1), Rgb(6, 5, 4)}));
    s.height = 2;
    ASSERT_EQ(LoadBytes(MakeBmp(s), &bitmap), Ok);
    EXPECT_EQ(PixelsOf(bitmap.get()), (std::vector<ARGB>{Rgb(6, 5, 4), Rgb(3, 2, 1)}));
}

TEST_F(ImagingTest, HeadersAndMasksGiveTheFormat) {
    struct Case {
        const char* name;
        DWORD headerBytes;
        WORD bits;
        DWORD compression;
        std::vector<DWORD> masks;
        std::vector<BYTE> pixel;  // one pixel, padded
        PixelFormat format;
        ARGB argb;
    };
    const Case cases[] = {
        {"v4 argb",
         108,
         32,
         3,
         {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
         {1, 2, 3, 0x80},
         PixelFormat32bppARGB,
         Rgb(3, 2, 1, 0x80)},
        {"v5 rgb, alpha mask ignored for 24 bits",
         124,
         24,
         0,
         {0, 0, 0, 0xFF000000},
         {1, 2, 3, 0},
         PixelFormat24bppRGB,
         Rgb(3, 2, 1)},
        {"info 32 rgb", 40, 32, 0, {}, {1, 2, 3, 0x80}, PixelFormat32bppRGB, Rgb(3, 2, 1)},
        {"info bitfields 565",
         40,
         16,
         3,
         {0xF800, 0x07E0, 0x001F},
         {0x00, 0xF8, 0, 0},
         PixelFormat16bppRGB565,
         Rgb(255, 0, 0)},
        {"argb 4444 read channel by channel",
         108,
         16,
         3,
         {0x0F00, 0x00F0, 0x000F, 0xF000},
         {0x0F, 0x8F, 0, 0},
         PixelFormat32bppARGB,
         Rgb(0xFF, 0, 0xFF, 0x88)},
        {"32 bits with its bytes swapped",
         40,
         32,
         3,
         {0x0000FF00, 0x00FF0000, 0xFF000000},
         {0, 1, 2, 3},
         PixelFormat32bppRGB,
         Rgb(1, 2, 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpLayout s;
        s.headerBytes = c.headerBytes, s.width = 1, s.height = 1, s.bits = c.bits, s.compression = c.compression;
        s.masks = c.masks;
        s.pixels = c.pixel;
        BitmapPtr bitmap;
        ASSERT_EQ(LoadBytes(MakeBmp(s), &bitmap), Ok);
        EXPECT_EQ(FormatOf(bitmap.get()), c.format);
        EXPECT_EQ(PixelsOf(bitmap.get())[0], c.argb);
    }
}

TEST_F(ImagingTest, ShortPalettesStayShortAndLongOnesAreCut) {
    BmpLayout s;
    s.width = 2, s.height = 1, s.bits = 8, s.colorsUsed = 3;
    s.palette = {Rgb(1, 1, 1), Rgb(2, 2, 2), Rgb(3, 3, 3)};
    s.pixels = {2, 7, 0, 0};  // index 7 is beyond the palette: black
    BitmapPtr bitmap;
    ASSERT_EQ(LoadBytes(MakeBmp(s), &bitmap), Ok);
    EXPECT_EQ(PaletteOf(bitmap.get()).size(), 3u);
    EXPECT_EQ(PixelsOf(bitmap.get()), (std::vector<ARGB>{Rgb(3, 3, 3), Rgb(0, 0, 0)}));

    s.bits = 1, s.colorsUsed = 5, s.pixels = {0x40, 0, 0, 0};
    s.palette.resize(5, Rgb(9, 9, 9));
    ASSERT_EQ(LoadBytes(MakeBmp(s), &bitmap), Ok);
    EXPECT_EQ(PaletteOf(bitmap.get()).size(), 2u);
}

TEST_F(ImagingTest, MalformedBitmapsFail) {
    BmpLayout good;
    good.width = 2, good.height = 2, good.bits = 24, good.pixels.assign(16, 0);
    struct Case {
        const char* name;
        BmpLayout layout;
        Status expected;
    };
    std::vector<Case> cases;
    auto variant = [&](const char* name, Status expected, auto change) {
        BmpLayout s = good;
        change(s);
        cases.push_back({name, s, expected});
    };
    variant("zero width", GenericError, [](BmpLayout& s) { s.width = 0; });
    variant("negative width", GenericError, [](BmpLayout& s) { s.width = -2; });
    variant("depth 7", GenericError, [](BmpLayout& s) { s.bits = 7; });
    variant("rle8 at 24 bits", GenericError, [](BmpLayout& s) { s.compression = 1; });
    variant("embedded jpeg", UnknownImageFormat, [](BmpLayout& s) { s.compression = 4; });
    variant("header of 64 bytes", UnknownImageFormat, [](BmpLayout& s) { s.headerBytes = 64; });
    variant("rows missing", GenericError, [](BmpLayout& s) { s.pixels.resize(10); });
    variant("bit fields missing", GenericError, [](BmpLayout& s) { s.bits = 32, s.compression = 3, s.pixels.clear(); });
    for (const Case& c : cases) {
        BitmapPtr bitmap;
        EXPECT_EQ(LoadBytes(MakeBmp(c.layout), &bitmap), c.expected) << c.name;
    }
}

}  // namespace

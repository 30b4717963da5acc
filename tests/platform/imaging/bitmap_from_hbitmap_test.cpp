// Bitmaps copied from DIB sections of the drawing service.

#include "platform/gdi/gdi_testing.h"
#include "platform/imaging/bitmap_from_hbitmap.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/handles.h"
#include "platform/gdi/surfaces.h"
#include "tests/platform/imaging/imaging_test_support.h"

namespace {

using namespace gdiplus;
using namespace imaging_test;

struct DibInfo {
    gdi::BITMAPINFOHEADER header;
    gdi::RGBQUAD colors[256];
};

// A 3 x 2 DIB section; height < 0 stores rows top-down.
gdi::HBITMAP MakeDib(LONG height, WORD bits, DWORD compression, std::initializer_list<DWORD> masks, BYTE** pixels,
                     UINT colours = 0, const gdi::RGBQUAD* table = nullptr) {
    DibInfo info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = 3;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = bits;
    info.header.biCompression = compression;
    info.header.biClrUsed = colours;
    if (masks.size() > 0) std::memcpy(info.colors, masks.begin(), masks.size() * sizeof(DWORD));
    if (table != nullptr) std::memcpy(info.colors, table, colours * sizeof(gdi::RGBQUAD));
    void* memory = nullptr;
    gdi::HBITMAP dib = gdi::CreateDIBSection(nullptr, reinterpret_cast<const gdi::BITMAPINFO*>(&info),
                                             gdi::DIB_RGB_COLORS, &memory, nullptr, 0);
    *pixels = static_cast<BYTE*>(memory);
    return dib;
}

class FromHbitmap : public ImagingTest {
protected:
    void TearDown() override {
        ImagingTest::TearDown();
        EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_BITMAP), bitmaps_);
        EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_MEMDC), surfaces_);
    }

private:
    long bitmaps_ = gdi::LiveObjectCount(gdi::OBJ_BITMAP);
    long surfaces_ = gdi::LiveObjectCount(gdi::OBJ_MEMDC);
};

TEST_F(FromHbitmap, CopiesDirectColourDibsInTheirFormat) {
    struct Case {
        const char* name;
        LONG height;
        WORD bits;
        DWORD compression;
        std::initializer_list<DWORD> masks;
        std::vector<BYTE> bottomRow;  // the first row in memory for a bottom-up DIB
        PixelFormat format;
        ARGB first;  // pixel (0, 1): the start of the bottom row
    };
    const Case cases[] = {
        {"32 rgb", 2, 32, gdi::BI_RGB, {}, {1, 2, 3, 0}, PixelFormat32bppRGB, Rgb(3, 2, 1)},
        {"24 rgb", 2, 24, gdi::BI_RGB, {}, {1, 2, 3}, PixelFormat24bppRGB, Rgb(3, 2, 1)},
        {"16 rgb is 555", 2, 16, gdi::BI_RGB, {}, {0x00, 0x7C}, PixelFormat16bppRGB555, Rgb(255, 0, 0)},
        {"16 bitfields 565",
         2,
         16,
         gdi::BI_BITFIELDS,
         {0xF800, 0x07E0, 0x001F},
         {0x00, 0xF8},
         PixelFormat16bppRGB565,
         Rgb(255, 0, 0)},
        {"32 bitfields unusual",
         2,
         32,
         gdi::BI_BITFIELDS,
         {0x000003FF, 0x000FFC00, 0x3FF00000},
         {0xFF, 0x03, 0, 0},
         PixelFormat32bppRGB,
         Rgb(255, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BYTE* pixels = nullptr;
        gdi::HBITMAP dib = MakeDib(c.height, c.bits, c.compression, c.masks, &pixels);
        ASSERT_NE(dib, nullptr);
        std::memcpy(pixels, c.bottomRow.data(), c.bottomRow.size());
        BitmapPtr bitmap;
        ASSERT_EQ(GdipCreateBitmapFromHBITMAP(dib, nullptr, bitmap.out()), Ok);
        EXPECT_EQ(FormatOf(bitmap.get()), c.format);
        EXPECT_EQ(WidthOf(bitmap.get()), 3u);
        EXPECT_EQ(HeightOf(bitmap.get()), 2u);
        std::vector<ARGB> read = PixelsOf(bitmap.get());
        EXPECT_EQ(read[3], c.first);
        EXPECT_EQ(read[0], Rgb(0, 0, 0));
        gdi::DeleteObject(dib);
    }
}

TEST_F(FromHbitmap, IndexedDibsKeepTheirColourTable) {
    gdi::RGBQUAD table[3] = {{10, 20, 30, 0}, {40, 50, 60, 0}, {70, 80, 90, 0}};
    BYTE* pixels = nullptr;
    gdi::HBITMAP dib = MakeDib(-2, 8, gdi::BI_RGB, {}, &pixels, 3, table);  // top-down
    ASSERT_NE(dib, nullptr);
    pixels[0] = 2, pixels[1] = 1;
    BitmapPtr bitmap;
    ASSERT_EQ(GdipCreateBitmapFromHBITMAP(dib, nullptr, bitmap.out()), Ok);
    EXPECT_EQ(FormatOf(bitmap.get()), PixelFormat8bppIndexed);
    std::vector<ARGB> palette = PaletteOf(bitmap.get());
    ASSERT_EQ(palette.size(), 256u);
    EXPECT_EQ(palette[0], Rgb(30, 20, 10));
    EXPECT_EQ(palette[2], Rgb(90, 80, 70));
    EXPECT_EQ(palette[3], Rgb(0, 0, 0));
    std::vector<ARGB> read = PixelsOf(bitmap.get());
    EXPECT_EQ(read[0], Rgb(90, 80, 70));
    EXPECT_EQ(read[1], Rgb(60, 50, 40));

    // While a surface holds it, only that surface can read its table.
    gdi::HDC dc = gdi::CreateCompatibleDC(nullptr);
    gdi::HGDIOBJ previous = gdi::SelectObject(dc, dib);
    EXPECT_EQ(GdipCreateBitmapFromHBITMAP(dib, nullptr, bitmap.out()), ObjectBusy);
    gdi::SelectObject(dc, previous);
    gdi::DeleteDC(dc);
    gdi::DeleteObject(dib);
}

TEST_F(FromHbitmap, RefusesWhatIsNoDibSection) {
    BitmapPtr bitmap;
    gdi::HBITMAP plain = gdi::CreateBitmap(8, 8, 1, 1, nullptr);
    EXPECT_EQ(GdipCreateBitmapFromHBITMAP(plain, nullptr, bitmap.out()), InvalidParameter);
    gdi::DeleteObject(plain);
    EXPECT_EQ(GdipCreateBitmapFromHBITMAP(plain, nullptr, bitmap.out()), InvalidParameter);  // stale
    EXPECT_EQ(GdipCreateBitmapFromHBITMAP(nullptr, nullptr, bitmap.out()), InvalidParameter);
    BYTE* pixels = nullptr;
    gdi::HBITMAP dib = MakeDib(2, 32, gdi::BI_RGB, {}, &pixels);
    int palette = 0;
    EXPECT_EQ(GdipCreateBitmapFromHBITMAP(dib, &palette, bitmap.out()), InvalidParameter);
    gdi::DeleteObject(dib);
    EXPECT_FALSE(bitmap);
}

}  // namespace

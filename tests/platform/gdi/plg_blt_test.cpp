#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "platform/gdi/gdi.h"
#include "tests/platform/gdi/dib_surface.h"
#include "tests/platform/gdi/live_objects.h"

namespace {

using namespace gdi;
using gditest::LiveObjectsTest;
using Surface = gditest::CDibSurface;

constexpr DWORD sentinel = 0xA5C3E1F0;

// Writes an n-bit pixel value at (x, y) of a packed row.
void PutPacked(BYTE* row, LONG x, int depth, DWORD value) {
    switch (depth) {
        case 1: row[x / 8] |= static_cast<BYTE>(value << (7 - x % 8)); break;
        case 4: row[x / 2] |= static_cast<BYTE>(value << (x % 2 == 0 ? 4 : 0)); break;
        case 8: row[x] = static_cast<BYTE>(value); break;
        case 16: std::memcpy(row + 2 * x, &value, 2); break;
        case 24: std::memcpy(row + 3 * x, &value, 3); break;
        case 32: std::memcpy(row + 4 * x, &value, 4); break;
    }
}

class PlgBltThroughHandles : public LiveObjectsTest {};

TEST_F(PlgBltThroughHandles, EveryDepthIsReadThroughItsLayout) {
    const std::vector<RGBQUAD> palette = {{0, 0, 0, 0},   {255, 0, 0, 0},  {0, 255, 0, 0},
                                          {0, 0, 255, 0}, {10, 20, 30, 0}, {200, 100, 50, 0}};
    const DWORD masks565[3] = {0xF800, 0x07E0, 0x001F};
    const DWORD masks32[3] = {0x0000FF, 0x00FF00, 0xFF0000};  // red in the low byte
    struct Case {
        const char* name;
        WORD depth;
        DWORD compression;
        const DWORD* masks;
        std::vector<RGBQUAD> colors;
        // Stored value and the 0x00rrggbb it must draw as, for pixels 0..2.
        std::vector<std::pair<DWORD, DWORD>> pixels;
    };
    const Case cases[] = {
        {"1 bit",
         1,
         BI_RGB,
         nullptr,
         {{1, 2, 3, 0}, {200, 150, 100, 0}},
         {{1, 0x6496C8}, {0, 0x030201}, {1, 0x6496C8}}},
        {"4 bits", 4, BI_RGB, nullptr, palette, {{5, 0x3264C8}, {3, 0xFF0000}, {4, 0x1E140A}}},
        {"8 bits", 8, BI_RGB, nullptr, palette, {{1, 0x0000FF}, {2, 0x00FF00}, {200, 0}}},
        {"5-5-5", 16, BI_RGB, nullptr, {}, {{0x7C00, 0xFF0000}, {0x03E0, 0x00FF00}, {0x4210, 0x848484}}},
        {"5-6-5", 16, BI_BITFIELDS, masks565, {}, {{0xF800, 0xFF0000}, {0x07E0, 0x00FF00}, {0x001F, 0x0000FF}}},
        {"24 bits", 24, BI_RGB, nullptr, {}, {{0x123456, 0x123456}, {0xABCDEF, 0xABCDEF}, {0, 0}}},
        {"32 bits", 32, BI_RGB, nullptr, {}, {{0xFF123456, 0x123456}, {0x00ABCDEF, 0xABCDEF}, {7, 7}}},
        {"32-bit fields", 32, BI_BITFIELDS, masks32, {}, {{0x563412, 0x123456}, {0xFF, 0xFF0000}, {0, 0}}},
    };
    for (const Case& c : cases) {
        for (bool bottomUp : {true, false}) {
            for (int mode : {HALFTONE, COLORONCOLOR}) {
                SCOPED_TRACE(testing::Message()
                             << c.name << (bottomUp ? " bottom-up" : " top-down") << " mode " << mode);
                // Pixel k of the 3 x 2 source sits at (k, 0) and, mirrored, at (2 - k, 1).
                Surface source(3, 2, c.depth, bottomUp, c.compression, c.masks, c.colors);
                ASSERT_NE(source.bitmap, nullptr);
                for (LONG k = 0; k < 3; ++k) {
                    PutPacked(source.Row(0), k, c.depth, c.pixels[k].first);
                    PutPacked(source.Row(1), 2 - k, c.depth, c.pixels[k].first);
                }
                Surface target(3, 2, 32);
                target.Fill32(sentinel);
                SetStretchBltMode(target.dc, mode);
                const POINT same[3] = {{0, 0}, {3, 0}, {0, 2}};
                ASSERT_TRUE(PlgBlt(target.dc, same, source.dc, 0, 0, 3, 2, nullptr, 0, 0));
                for (LONG k = 0; k < 3; ++k) {
                    EXPECT_EQ(target.Pixel32(k, 0), c.pixels[k].second) << "pixel " << k;
                    EXPECT_EQ(target.Pixel32(2 - k, 1), c.pixels[k].second) << "pixel " << k;
                }
            }
        }
    }
}

TEST_F(PlgBltThroughHandles, HalftoneAveragesAndOtherModesPickAPixel) {
    Surface source(3, 1, 32);
    source.Pixel32(0, 0) = 0x000000;
    source.Pixel32(1, 0) = 0x000000;
    source.Pixel32(2, 0) = 0xFFFFFF;
    const POINT onePixel[3] = {{0, 0}, {1, 0}, {0, 1}};
    struct Case {
        int mode;
        DWORD expected;
    };
    for (const Case& c :
         {Case{HALFTONE, 0x555555}, Case{BLACKONWHITE, 0}, Case{COLORONCOLOR, 0}, Case{WHITEONBLACK, 0}}) {
        Surface target(1, 1, 32);
        SetStretchBltMode(target.dc, c.mode);
        ASSERT_TRUE(PlgBlt(target.dc, onePixel, source.dc, 0, 0, 3, 1, nullptr, 0, 0));
        EXPECT_EQ(target.Pixel32(0, 0), c.expected) << "mode " << c.mode;
    }
}

TEST_F(PlgBltThroughHandles, AQuarterTurnLandsWhereItsCornersSay) {
    // Upper-left to (2, 0), upper-right to (2, 3), lower-left to (0, 0):
    // a 3 x 2 image turned clockwise into a 2 x 3 area.
    Surface source(3, 2, 32, false);
    for (LONG y = 0; y < 2; ++y)
        for (LONG x = 0; x < 3; ++x) source.Pixel32(x, y) = 0x10 * (y + 1) + x;
    Surface target(2, 3, 32);
    SetStretchBltMode(target.dc, HALFTONE);
    const POINT turned[3] = {{2, 0}, {2, 3}, {0, 0}};
    ASSERT_TRUE(PlgBlt(target.dc, turned, source.dc, 0, 0, 3, 2, nullptr, 0, 0));
    for (LONG y = 0; y < 3; ++y) {
        for (LONG x = 0; x < 2; ++x) {
            // Target (x, y) shows source (y, 1 - x).
            EXPECT_EQ(target.Pixel32(x, y), source.Pixel32(y, 1 - x)) << x << ", " << y;
        }
    }
}

TEST_F(PlgBltThroughHandles, OnlyTheClipAndTheSurfaceAreWritten) {
    Surface source(4, 4, 24);
    std::memset(source.bits, 0x40, source.stride * 4);
    Surface target(10, 8, 32);
    target.Fill32(sentinel);
    HRGN clip = CreateRectRgn(1, 1, 4, 3);
    HRGN second = CreateRectRgn(6, 2, 20, 20);
    CombineRgn(clip, clip, second, RGN_OR);
    SelectClipRgn(target.dc, clip);
    SetStretchBltMode(target.dc, HALFTONE);
    const POINT beyond[3] = {{-5, -5}, {30, -5}, {-5, 30}};
    ASSERT_TRUE(PlgBlt(target.dc, beyond, source.dc, 0, 0, 4, 4, nullptr, 0, 0));
    for (LONG y = 0; y < 8; ++y) {
        for (LONG x = 0; x < 10; ++x) {
            const bool inside = (x >= 1 && x < 4 && y >= 1 && y < 3) || (x >= 6 && y >= 2);
            ASSERT_EQ(target.Pixel32(x, y), inside ? 0x404040u : sentinel) << x << ", " << y;
        }
    }
    DeleteObject(clip);
    DeleteObject(second);
}

TEST_F(PlgBltThroughHandles, ASurfaceOverMemoryIsDrawnInLogicalCoordinates) {
    Surface source(2, 2, 32);
    source.Fill32(0x00ABCDEF);
    // Memory for logical [10, 14) x [20, 23).
    std::vector<DWORD> memory(4 * 3, sentinel);
    HDC dc = CreateSurfaceOverMemory(reinterpret_cast<BYTE*>(memory.data()), 4, 3, 16, POINT{10, 20});
    const POINT at[3] = {{11, 21}, {13, 21}, {11, 23}};
    ASSERT_TRUE(PlgBlt(dc, at, source.dc, 0, 0, 2, 2, nullptr, 0, 0));
    for (LONG y = 0; y < 3; ++y) {
        for (LONG x = 0; x < 4; ++x) {
            const bool inside = x >= 1 && x < 3 && y >= 1;
            EXPECT_EQ(memory[y * 4 + x], inside ? 0x00ABCDEFu : sentinel) << x << ", " << y;
        }
    }
    // With nothing to write, a valid request still succeeds.
    HRGN nowhere = CreateRectRgn(0, 0, 0, 0);
    SelectClipRgn(dc, nowhere);
    EXPECT_TRUE(PlgBlt(dc, at, source.dc, 0, 0, 2, 2, nullptr, 0, 0));
    EXPECT_FALSE(PlgBlt(dc, at, source.dc, 0, 0, 3, 2, nullptr, 0, 0)) << "but a bad one fails";
    SelectClipRgn(dc, nullptr);
    DeleteObject(nowhere);
    HDC emptyArea = CreateSurfaceOverMemory(nullptr, 0, 0, 0, POINT{0, 0});
    EXPECT_TRUE(PlgBlt(emptyArea, at, source.dc, 0, 0, 2, 2, nullptr, 0, 0));
    DeleteDC(emptyArea);
    // As a source, the same memory is read through its origin too.
    Surface target(1, 1, 32);
    const POINT one[3] = {{0, 0}, {1, 0}, {0, 1}};
    ASSERT_TRUE(PlgBlt(target.dc, one, dc, 12, 22, 1, 1, nullptr, 0, 0));
    EXPECT_EQ(target.Pixel32(0, 0), 0x00ABCDEFu);
    EXPECT_FALSE(PlgBlt(target.dc, one, dc, 0, 0, 1, 1, nullptr, 0, 0)) << "outside its pixels";
    EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(PlgBltThroughHandles, APlainMonochromeSourceTakesTheTargetColours) {
    const BYTE rows[2] = {0x40, 0};  // pixels 0 and 1: bits 0 and 1
    HBITMAP mono = CreateBitmap(2, 1, 1, 1, rows);
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(source, mono);
    Surface target(2, 1, 32);
    SetTextColor(target.dc, RGB(1, 2, 3));
    SetBkColor(target.dc, RGB(250, 251, 252));
    const POINT same[3] = {{0, 0}, {2, 0}, {0, 1}};
    ASSERT_TRUE(PlgBlt(target.dc, same, source, 0, 0, 2, 1, nullptr, 0, 0));
    EXPECT_EQ(target.Pixel32(0, 0), 0x00010203u);
    EXPECT_EQ(target.Pixel32(1, 0), 0x00FAFBFCu);
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(mono);
}

TEST_F(PlgBltThroughHandles, RefusalsWriteNothing) {
    auto source = std::make_unique<Surface>(4, 4, 32);
    source->Fill32(0x00112233);
    Surface target(4, 4, 32);
    Surface deep(4, 4, 24);
    const POINT same[3] = {{0, 0}, {4, 0}, {0, 4}};
    const BYTE maskRows[8] = {};
    HBITMAP mask = CreateBitmap(4, 4, 1, 1, maskRows);
    HDC empty = CreateCompatibleDC(nullptr);
    std::vector<DWORD> wrapped(16);
    HDC overlapping = CreateSurfaceOverMemory(source->bits, 4, 4, 16, POINT{0, 0});

    struct Case {
        const char* name;
        std::function<BOOL()> call;
    };
    const Case cases[] = {
        {"a mask", [&] { return PlgBlt(target.dc, same, source->dc, 0, 0, 4, 4, mask, 0, 0); }},
        {"no points", [&] { return PlgBlt(target.dc, nullptr, source->dc, 0, 0, 4, 4, nullptr, 0, 0); }},
        {"source past the image", [&] { return PlgBlt(target.dc, same, source->dc, 1, 0, 4, 4, nullptr, 0, 0); }},
        {"empty source rectangle", [&] { return PlgBlt(target.dc, same, source->dc, 0, 0, 0, 4, nullptr, 0, 0); }},
        {"24-bit target", [&] { return PlgBlt(deep.dc, same, source->dc, 0, 0, 4, 4, nullptr, 0, 0); }},
        {"monochrome target", [&] { return PlgBlt(empty, same, source->dc, 0, 0, 4, 4, nullptr, 0, 0); }},
        {"drawn onto itself", [&] { return PlgBlt(source->dc, same, source->dc, 0, 0, 2, 2, nullptr, 0, 0); }},
        {"overlapping memory", [&] { return PlgBlt(overlapping, same, source->dc, 0, 0, 2, 2, nullptr, 0, 0); }},
        {"bitmap as surface",
         [&] { return PlgBlt(target.dc, same, reinterpret_cast<HDC>(source->bitmap), 0, 0, 4, 4, nullptr, 0, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        target.Fill32(sentinel);
        source->Fill32(0x00112233);
        EXPECT_FALSE(c.call());
        for (LONG y = 0; y < 4; ++y)
            for (LONG x = 0; x < 4; ++x) {
                ASSERT_EQ(target.Pixel32(x, y), sentinel);
                ASSERT_EQ(source->Pixel32(x, y), 0x00112233u);
            }
    }
    // Stale surfaces.
    const HDC staleSource = source->dc;
    DeleteDC(overlapping);
    source.reset();
    EXPECT_FALSE(PlgBlt(target.dc, same, staleSource, 0, 0, 4, 4, nullptr, 0, 0));
    EXPECT_FALSE(PlgBlt(staleSource, same, target.dc, 0, 0, 4, 4, nullptr, 0, 0));
    DeleteDC(empty);
    DeleteObject(mask);
}

TEST_F(PlgBltThroughHandles, TheScreenIsNotADrawingTarget) {
    auto screen = std::make_shared<MemoryScreen>(8, 8);
    SetScreenBackend(screen);
    HDC dc = GetDC(nullptr);
    Surface source(2, 2, 32);
    const POINT same[3] = {{0, 0}, {2, 0}, {0, 2}};
    EXPECT_FALSE(PlgBlt(dc, same, source.dc, 0, 0, 2, 2, nullptr, 0, 0));
    EXPECT_FALSE(PlgBlt(source.dc, same, dc, 0, 0, 2, 2, nullptr, 0, 0));
    ReleaseDC(nullptr, dc);
    SetScreenBackend(nullptr);
}

}  // namespace

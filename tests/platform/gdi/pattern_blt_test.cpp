#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_testing.h"
#include "tests/platform/gdi/dib_surface.h"
#include "tests/platform/gdi/live_objects.h"

namespace {

using namespace gdi;
using gditest::LiveObjectsTest;
using Surface = gditest::CDibSurface;

constexpr BYTE halftoneRows[16] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};

class PatternBlt : public LiveObjectsTest {};

TEST_F(PatternBlt, RasterOperationsChangeOnlyTheRectangle) {
    struct Case {
        const char* name;
        DWORD rop;
        DWORD expected;
    };
    const DWORD start = 0x78563412;  // blue 12, green 34, red 56, fourth byte 78
    const Case cases[] = {
        {"PATCOPY", PATCOPY, 0x00030201},
        {"PATINVERT", PATINVERT, start ^ 0x00030201},
        {"DSTINVERT", DSTINVERT, start ^ 0x00FFFFFF},
        {"BLACKNESS", BLACKNESS, 0x00000000},
        {"WHITENESS", WHITENESS, 0x00FFFFFF},
    };
    for (const Case& c : cases) {
        for (bool bottomUp : {true, false}) {
            SCOPED_TRACE(testing::Message() << c.name << (bottomUp ? " bottom-up" : " top-down"));
            Surface canvas(6, 5, 32, bottomUp);
            HBRUSH brush = CreateSolidBrush(RGB(3, 2, 1));
            HGDIOBJ oldBrush = SelectObject(canvas.dc, brush);
            canvas.Fill32(start);
            // Negative extents count back from (4, 4): the rectangle [1, 4) x [2, 4).
            ASSERT_TRUE(PatBlt(canvas.dc, 4, 4, -3, -2, c.rop));
            for (LONG y = 0; y < 5; ++y) {
                for (LONG x = 0; x < 6; ++x) {
                    const bool inside = x >= 1 && x < 4 && y >= 2 && y < 4;
                    ASSERT_EQ(canvas.Pixel32(x, y), inside ? c.expected : start) << "at (" << x << ", " << y << ")";
                }
            }
            SelectObject(canvas.dc, oldBrush);
            EXPECT_TRUE(DeleteObject(brush));
        }
    }
}

TEST_F(PatternBlt, StaysInsideAComplexClipAndTheSurface) {
    Surface canvas(8, 8);
    canvas.Fill32(0);
    HRGN a = CreateRectRgn(0, 0, 3, 3);
    HRGN b = CreateRectRgn(5, 5, 20, 20);
    CombineRgn(a, a, b, RGN_OR);
    SelectClipRgn(canvas.dc, a);
    ASSERT_TRUE(PatBlt(canvas.dc, -100, -100, 300, 300, DSTINVERT));
    for (LONG y = 0; y < 8; ++y) {
        for (LONG x = 0; x < 8; ++x) {
            const bool inside = (x < 3 && y < 3) || (x >= 5 && y >= 5);
            ASSERT_EQ(canvas.Pixel32(x, y), inside ? 0x00FFFFFFu : 0u) << x << ", " << y;
        }
    }
    EXPECT_TRUE(DeleteObject(a));
    EXPECT_TRUE(DeleteObject(b));
}

TEST_F(PatternBlt, PatternsAlignToLogicalZeroAndTakeTheSurfaceColours) {
    // The surface's memory starts at logical (3, 5): alignment must not
    // follow the memory.
    std::vector<DWORD> memory(6 * 4, 0x00FFFFFF);
    HDC dc = CreateSurfaceOverMemory(reinterpret_cast<BYTE*>(memory.data()), 6, 4, 24, POINT{3, 5});
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, halftoneRows);
    HBRUSH brush = CreatePatternBrush(pattern);
    ASSERT_NE(brush, nullptr);
    // The brush keeps its own copy of the pattern.
    EXPECT_TRUE(DeleteObject(pattern));
    SelectObject(dc, brush);

    ASSERT_TRUE(PatBlt(dc, 3, 5, 6, 4, PATINVERT));
    for (LONG y = 5; y < 9; ++y) {
        for (LONG x = 3; x < 9; ++x) {
            // Rows 0x55, 0xAA...: bit 1 where x + y is odd; 1 bits take the
            // white background and so invert.
            const DWORD expected = (x + y) % 2 == 1 ? 0u : 0x00FFFFFFu;
            ASSERT_EQ(memory[(y - 5) * 6 + (x - 3)], expected) << x << ", " << y;
        }
    }

    SetTextColor(dc, RGB(255, 0, 0));
    SetBkColor(dc, RGB(0, 0, 255));
    ASSERT_TRUE(PatBlt(dc, 3, 5, 6, 4, PATCOPY));
    for (LONG y = 5; y < 9; ++y) {
        for (LONG x = 3; x < 9; ++x) {
            const DWORD expected = (x + y) % 2 == 1 ? 0x000000FFu : 0x00FF0000u;
            ASSERT_EQ(memory[(y - 5) * 6 + (x - 3)], expected) << x << ", " << y;
        }
    }
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(PatternBlt, WhatCannotBeDrawnIsRefused) {
    Surface deep(4, 4, 24);
    EXPECT_FALSE(PatBlt(deep.dc, 0, 0, 4, 4, PATCOPY)) << "only 32-bit pixels";
    HDC fresh = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(PatBlt(fresh, 0, 0, 1, 1, WHITENESS)) << "the stock monochrome bitmap";
    EXPECT_TRUE(DeleteDC(fresh));

    Surface canvas(4, 4);
    canvas.Fill32(0x00123456);
    EXPECT_FALSE(PatBlt(canvas.dc, 0, 0, 4, 4, 0x00CC0020)) << "a source copy needs a source";
    SelectObject(canvas.dc, GetStockObject(NULL_BRUSH));
    EXPECT_TRUE(PatBlt(canvas.dc, 0, 0, 4, 4, PATCOPY)) << "a null brush paints nothing";
    EXPECT_EQ(canvas.Pixel32(2, 2), 0x00123456u);
    // Huge extents do not overflow.
    EXPECT_TRUE(PatBlt(canvas.dc, INT32_MAX - 1, 0, INT32_MAX, 4, DSTINVERT));
    EXPECT_TRUE(PatBlt(canvas.dc, 0, 0, INT32_MAX, INT32_MAX, DSTINVERT));
    EXPECT_EQ(canvas.Pixel32(3, 3), 0x00123456u ^ 0x00FFFFFFu);
}

}  // namespace

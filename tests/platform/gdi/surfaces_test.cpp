#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_testing.h"
#include "tests/platform/gdi/live_objects.h"
#include "tests/support/print_types.h"

namespace {

using namespace gdi;
using gditest::ExpectOneByOneMonochrome;
using gditest::LiveObjectsTest;

HBITMAP MakeDib(LONG width, LONG height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
}

class MemorySurface : public LiveObjectsTest {};

TEST_F(MemorySurface, StartsWithTheStockMonochromeBitmapAndDefaults) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), OBJ_MEMDC);
    // Each setter returns what was there; setting the same leaves it so.
    EXPECT_EQ(SetStretchBltMode(dc, BLACKONWHITE), BLACKONWHITE);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(SetBkColor(dc, RGB(255, 255, 255)), RGB(255, 255, 255));
    RECT box{};
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{0, 0, 1, 1}));

    HBITMAP bitmap = MakeDib(6, 4);
    HGDIOBJ first = SelectObject(dc, bitmap);
    ASSERT_NE(first, nullptr);
    ExpectOneByOneMonochrome(first);
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{0, 0, 6, 4}));

    // The same stock bitmap starts every surface.
    HDC other = CreateCompatibleDC(dc);
    ASSERT_NE(other, nullptr);
    HBITMAP second = MakeDib(1, 1);
    EXPECT_EQ(SelectObject(other, second), first);
    EXPECT_EQ(SelectObject(other, first), second);

    EXPECT_EQ(SelectObject(dc, first), bitmap);
    EXPECT_TRUE(DeleteDC(other));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(second));
}

TEST_F(MemorySurface, ABitmapLivesInOneSurfaceAtATime) {
    HDC a = CreateCompatibleDC(nullptr);
    HDC b = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = MakeDib(2, 2);
    HGDIOBJ stock = SelectObject(a, bitmap);
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(SelectObject(a, bitmap), bitmap) << "selecting it again changes nothing";
    EXPECT_EQ(SelectObject(b, bitmap), nullptr) << "already held by another surface";
    EXPECT_EQ(SelectObject(a, stock), bitmap);
    EXPECT_NE(SelectObject(b, bitmap), nullptr) << "free again";
    EXPECT_EQ(SelectObject(b, stock), bitmap);
    EXPECT_TRUE(DeleteDC(a));
    EXPECT_TRUE(DeleteDC(b));
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(MemorySurface, KeepsItsModeAndColours) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SetStretchBltMode(dc, HALFTONE), BLACKONWHITE);
    EXPECT_EQ(SetStretchBltMode(dc, COLORONCOLOR), HALFTONE);
    for (int invalid : {0, 5, -1}) {
        EXPECT_EQ(SetStretchBltMode(dc, invalid), 0);
    }
    EXPECT_EQ(SetStretchBltMode(dc, COLORONCOLOR), COLORONCOLOR);
    EXPECT_EQ(SetTextColor(dc, RGB(0, 0, 255)), RGB(0, 0, 0));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
    EXPECT_EQ(SetBkColor(dc, RGB(1, 2, 3)), RGB(255, 255, 255));
    EXPECT_EQ(SetBkColor(dc, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(SetTextColor(dc, 0x01000000), CLR_INVALID) << "palette colours are not kept";
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
    EXPECT_TRUE(DeleteDC(dc));
}

class SurfaceOverMemory : public LiveObjectsTest {};

TEST_F(SurfaceOverMemory, RefusesImpossibleLayouts) {
    BYTE pixels[64];
    struct Case {
        const char* name;
        BYTE* memory;
        LONG width, height, pitch;
        POINT origin;
        bool valid;
    };
    const Case cases[] = {
        {"top-down", pixels, 4, 4, 16, {0, 0}, true},
        {"bottom-up", pixels + 48, 4, 4, -16, {0, 0}, true},
        {"empty, no memory", nullptr, 0, 0, 0, {5, 5}, true},
        {"negative width", pixels, -1, 4, 16, {0, 0}, false},
        {"negative height", pixels, 4, -1, 16, {0, 0}, false},
        {"no memory", nullptr, 4, 4, 16, {0, 0}, false},
        {"rows overlap", pixels, 4, 4, 12, {0, 0}, false},
        {"rows overlap bottom-up", pixels + 48, 4, 4, -12, {0, 0}, false},
        {"origin too far", pixels, 4, 4, 16, {1 << 28, 0}, false},
        {"too wide", pixels, (1 << 27) + 1, 1, 0x7FFFFFFF, {0, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HDC dc = CreateSurfaceOverMemory(c.memory, c.width, c.height, c.pitch, c.origin);
        EXPECT_EQ(dc != nullptr, c.valid);
        if (dc != nullptr) {
            EXPECT_TRUE(DeleteDC(dc));
        }
    }
}

TEST_F(SurfaceOverMemory, LogicalPointsMapThroughTheOrigin) {
    // A 4 x 3 window onto the logical plane at (100, 50), rows bottom-up.
    std::vector<DWORD> memory(4 * 3, 0);
    BYTE* top = reinterpret_cast<BYTE*>(memory.data() + 2 * 4);
    HDC dc = CreateSurfaceOverMemory(top, 4, 3, -16, POINT{100, 50});
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), OBJ_DC);
    RECT box{};
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{100, 50, 104, 53}));

    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_BRUSH)), GetStockObject(WHITE_BRUSH));
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(dc, red);
    // Logical (101, 50) is memory column 1 of the top row, the last in memory.
    ASSERT_TRUE(PatBlt(dc, 101, 50, 1, 1, PATCOPY));
    ASSERT_TRUE(PatBlt(dc, 0, 0, 100, 100, PATINVERT)) << "ends where the surface begins";
    EXPECT_EQ(memory[2 * 4 + 1], 0x00FF0000u);
    EXPECT_EQ(std::count(memory.begin(), memory.end(), 0u), 11);

    // A bitmap cannot be selected into it.
    HBITMAP bitmap = MakeDib(1, 1);
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteDC(dc));
    // The memory is the caller's, still there and untouched by the delete.
    EXPECT_EQ(memory[2 * 4 + 1], 0x00FF0000u);
}

}  // namespace

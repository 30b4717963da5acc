#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_testing.h"
#include "tests/platform/gdi/live_objects.h"

namespace {

using namespace gdi;
using gditest::LiveObjectsTest;

HBITMAP MakeDib(LONG width, LONG height, WORD depth) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = depth;
    info.bmiHeader.biCompression = BI_RGB;
    // Indexed depths read a colour table after the header.
    static RGBQUAD room[10 + 256];
    std::memcpy(room, &info, sizeof info);
    return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(room), DIB_RGB_COLORS, nullptr, nullptr, 0);
}

HGDIOBJ Fabricated(std::uintptr_t value) { return reinterpret_cast<HGDIOBJ>(value); }

class Handles : public LiveObjectsTest {};

TEST_F(Handles, EveryKindIsCountedWhileItLives) {
    struct Case {
        std::string name;
        DWORD type;
        std::function<HGDIOBJ()> make;
        std::function<BOOL(HGDIOBJ)> free;
    };
    const BYTE pattern[16] = {};
    const std::vector<Case> cases = {
        {"DIB section", OBJ_BITMAP, [] { return MakeDib(4, 4, 32); }, DeleteObject},
        {"plain bitmap", OBJ_BITMAP, [&] { return CreateBitmap(8, 8, 1, 1, pattern); }, DeleteObject},
        {"solid brush", OBJ_BRUSH, [] { return CreateSolidBrush(RGB(1, 2, 3)); }, DeleteObject},
        {"region", OBJ_REGION, [] { return CreateRectRgn(0, 0, 5, 5); }, DeleteObject},
        {"memory surface", OBJ_MEMDC, [] { return CreateCompatibleDC(nullptr); },
         [](HGDIOBJ h) { return DeleteDC(static_cast<HDC>(h)); }},
        {"surface over memory", OBJ_DC,
         [] {
             static BYTE pixels[16];
             return CreateSurfaceOverMemory(pixels, 2, 2, 8, POINT{0, 0});
         },
         [](HGDIOBJ h) { return DeleteDC(static_cast<HDC>(h)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const long before = LiveObjectCount(c.type);
        HGDIOBJ object = c.make();
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(GetObjectType(object), c.type);
        EXPECT_EQ(LiveObjectCount(c.type), before + 1);
        EXPECT_TRUE(c.free(object));
        EXPECT_EQ(LiveObjectCount(c.type), before);
        EXPECT_EQ(GetObjectType(object), 0u);
        EXPECT_FALSE(c.free(object)) << "freed twice";
    }
}

TEST_F(Handles, StaleHandlesFailEveryCallCleanly) {
    HBITMAP bitmap = MakeDib(4, 4, 8);
    HBRUSH brush = CreateSolidBrush(RGB(9, 9, 9));
    HRGN region = CreateRectRgn(0, 0, 3, 3);
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_TRUE(bitmap && brush && region && dc);
    ASSERT_TRUE(DeleteObject(bitmap));
    ASSERT_TRUE(DeleteObject(brush));
    ASSERT_TRUE(DeleteObject(region));
    ASSERT_TRUE(DeleteDC(dc));

    // New objects may take the same slots; the old handles must not reach them.
    HBITMAP newBitmap = MakeDib(4, 4, 8);
    HRGN newRegion = CreateRectRgn(0, 0, 3, 3);
    HDC newDc = CreateCompatibleDC(nullptr);
    EXPECT_NE(newBitmap, bitmap);
    EXPECT_NE(newRegion, region);
    EXPECT_NE(newDc, dc);

    EXPECT_EQ(SelectObject(newDc, bitmap), nullptr);
    EXPECT_EQ(SelectObject(newDc, brush), nullptr);
    EXPECT_EQ(SelectObject(dc, newBitmap), nullptr);
    EXPECT_EQ(CombineRgn(newRegion, region, newRegion, RGN_OR), ERROR);
    EXPECT_EQ(CombineRgn(region, newRegion, newRegion, RGN_OR), ERROR);
    EXPECT_EQ(SelectClipRgn(newDc, region), ERROR);
    RECT box{1, 2, 3, 4};
    EXPECT_EQ(GetRgnBox(region, &box), ERROR);
    EXPECT_EQ(GetClipBox(dc, &box), ERROR);
    DIBSECTION section{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof section, &section), 0);
    EXPECT_EQ(CreatePatternBrush(bitmap), nullptr);
    EXPECT_EQ(SetStretchBltMode(dc, HALFTONE), 0);
    EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);
    EXPECT_FALSE(PatBlt(dc, 0, 0, 1, 1, PATCOPY));
    const RGBQUAD color{1, 2, 3, 0};
    EXPECT_EQ(SetDIBColorTable(dc, 0, 1, &color), 0u);

    EXPECT_TRUE(DeleteObject(newBitmap));
    EXPECT_TRUE(DeleteObject(newRegion));
    EXPECT_TRUE(DeleteDC(newDc));
}

TEST_F(Handles, WrongTypesAndForgedValuesAreRefused) {
    HBITMAP bitmap = MakeDib(2, 2, 32);
    HRGN region = CreateRectRgn(0, 0, 1, 1);
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_TRUE(bitmap && region && dc);
    const HDC bitmapAsDc = reinterpret_cast<HDC>(bitmap);

    EXPECT_FALSE(DeleteObject(dc)) << "surfaces are freed with DeleteDC";
    EXPECT_FALSE(DeleteDC(bitmapAsDc));
    EXPECT_EQ(SelectObject(bitmapAsDc, region), nullptr);
    EXPECT_EQ(SelectObject(dc, dc), nullptr);
    EXPECT_EQ(CombineRgn(region, reinterpret_cast<HRGN>(bitmap), region, RGN_OR), ERROR);
    EXPECT_EQ(CreatePatternBrush(reinterpret_cast<HBITMAP>(region)), nullptr);
    EXPECT_EQ(GetObjectA(region, 64, nullptr), 0);
    EXPECT_EQ(GetObjectA(dc, 64, nullptr), 0);

    static int local;
    for (std::uintptr_t forged : {std::uintptr_t{0}, std::uintptr_t{1}, std::uintptr_t{0x10}, std::uintptr_t{0x1234},
                                  ~std::uintptr_t{0}, reinterpret_cast<std::uintptr_t>(&local),
                                  reinterpret_cast<std::uintptr_t>(bitmap) + (std::uintptr_t{1} << 32)}) {
        SCOPED_TRACE(forged);
        EXPECT_EQ(GetObjectType(Fabricated(forged)), 0u);
        EXPECT_FALSE(DeleteObject(Fabricated(forged)));
        EXPECT_FALSE(DeleteDC(static_cast<HDC>(Fabricated(forged))));
        EXPECT_EQ(SelectObject(dc, Fabricated(forged)), nullptr);
        if (forged != 0) {  // null asks for a surface compatible with the screen
            EXPECT_EQ(CreateCompatibleDC(static_cast<HDC>(Fabricated(forged))), nullptr);
        }
    }
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(region));
    EXPECT_TRUE(DeleteDC(dc));
}

// A selected object cannot be deleted; it is free again once put back or
// once its surface is deleted.
TEST_F(Handles, SelectedObjectsLiveUntilTheirSurfaceLetsGo) {
    for (const bool putBack : {true, false}) {
        SCOPED_TRACE(putBack ? "put back" : "surface deleted");
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = MakeDib(3, 3, 24);
        HBRUSH brush = CreateSolidBrush(RGB(5, 6, 7));
        HGDIOBJ stockBitmap = SelectObject(dc, bitmap);
        HGDIOBJ stockBrush = SelectObject(dc, brush);
        ASSERT_NE(stockBitmap, nullptr);
        ASSERT_NE(stockBrush, nullptr);

        EXPECT_FALSE(DeleteObject(bitmap));
        EXPECT_FALSE(DeleteObject(brush));
        // Still alive and usable.
        BITMAP description{};
        EXPECT_EQ(GetObjectA(bitmap, sizeof description, &description), int{sizeof description});

        if (putBack) {
            EXPECT_EQ(SelectObject(dc, stockBitmap), bitmap);
            EXPECT_EQ(SelectObject(dc, stockBrush), brush);
        }
        ASSERT_TRUE(DeleteDC(dc));
        EXPECT_TRUE(DeleteObject(bitmap));
        EXPECT_TRUE(DeleteObject(brush));
    }
}

TEST_F(Handles, StockObjectsArePermanentAndUncounted) {
    for (int index : {WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH}) {
        HGDIOBJ stock = GetStockObject(index);
        ASSERT_NE(stock, nullptr);
        EXPECT_EQ(GetObjectType(stock), OBJ_BRUSH);
        EXPECT_TRUE(DeleteObject(stock)) << "deleting a stock object is harmless";
        EXPECT_EQ(GetObjectType(stock), OBJ_BRUSH) << "and does nothing";
        EXPECT_EQ(GetStockObject(index), stock);
    }
    EXPECT_EQ(GetStockObject(1234), nullptr);
    LOGBRUSH white{};
    ASSERT_EQ(GetObjectA(GetStockObject(WHITE_BRUSH), sizeof white, &white), int{sizeof white});
    EXPECT_EQ(white.lbStyle, BS_SOLID);
    EXPECT_EQ(white.lbColor, RGB(255, 255, 255));
    EXPECT_EQ(LiveObjectCount(OBJ_BRUSH), 0);
}

}  // namespace

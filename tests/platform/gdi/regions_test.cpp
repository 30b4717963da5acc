#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

#include "platform/gdi/gdi.h"
#include "tests/platform/gdi/live_objects.h"
#include "tests/support/print_types.h"

namespace {

using namespace gdi;
using gditest::LiveObjectsTest;

class Regions : public LiveObjectsTest {};

bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// Which pixels of (-1, -1) .. (16, 16) the region holds, found as drawing
// finds them: painted through it as the clip of a surface.
constexpr int paintedSide = 18;
std::vector<bool> Painted(HRGN region) {
    std::vector<DWORD> pixels(paintedSide * paintedSide, 0);
    HDC dc = CreateSurfaceOverMemory(reinterpret_cast<BYTE*>(pixels.data()), paintedSide, paintedSide, paintedSide * 4,
                                     POINT{-1, -1});
    EXPECT_NE(SelectClipRgn(dc, region), ERROR);
    EXPECT_TRUE(PatBlt(dc, -1, -1, paintedSide, paintedSide, WHITENESS));
    EXPECT_TRUE(DeleteDC(dc));
    std::vector<bool> inside;
    for (DWORD pixel : pixels) inside.push_back(pixel != 0);
    return inside;
}

TEST_F(Regions, CombineMatchesSetArithmeticPixelByPixel) {
    const RECT a{0, 0, 10, 10};
    const RECT b{5, 3, 15, 8};
    struct Case {
        int mode;
        int type;
        RECT box;
        std::function<bool(bool, bool)> rule;
    };
    const Case cases[] = {
        {RGN_AND, SIMPLEREGION, {5, 3, 10, 8}, [](bool p, bool q) { return p && q; }},
        {RGN_OR, COMPLEXREGION, {0, 0, 15, 10}, [](bool p, bool q) { return p || q; }},
        {RGN_XOR, COMPLEXREGION, {0, 0, 15, 10}, [](bool p, bool q) { return p != q; }},
        {RGN_DIFF, COMPLEXREGION, {0, 0, 10, 10}, [](bool p, bool q) { return p && !q; }},
        {RGN_COPY, SIMPLEREGION, {0, 0, 10, 10}, [](bool p, bool) { return p; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        HRGN ra = CreateRectRgnIndirect(&a);
        HRGN rb = CreateRectRgnIndirect(&b);
        HRGN result = CreateRectRgn(0, 0, 0, 0);
        ASSERT_EQ(CombineRgn(result, ra, rb, c.mode), c.type);
        RECT box{};
        EXPECT_EQ(GetRgnBox(result, &box), c.type);
        EXPECT_EQ(box, c.box);
        const std::vector<bool> painted = Painted(result);
        for (int y = -1; y <= 16; ++y) {
            for (int x = -1; x <= 16; ++x) {
                ASSERT_EQ(painted[(y + 1) * paintedSide + x + 1], c.rule(Inside(a, x, y), Inside(b, x, y)))
                    << "at (" << x << ", " << y << ")";
            }
        }
        // The destination may be a source.
        ASSERT_EQ(CombineRgn(ra, ra, rb, c.mode), c.type);
        EXPECT_EQ(GetRgnBox(ra, &box), c.type);
        EXPECT_EQ(box, c.box);
        EXPECT_EQ(Painted(ra), painted);
        EXPECT_TRUE(DeleteObject(ra));
        EXPECT_TRUE(DeleteObject(rb));
        EXPECT_TRUE(DeleteObject(result));
    }
}

TEST_F(Regions, XorOfARegionWithItselfIsEmpty) {
    HRGN a = CreateRectRgn(2, 2, 9, 9);
    HRGN empty = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(empty, a, a, RGN_XOR), NULLREGION);
    RECT box{1, 1, 1, 1};
    EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);
    EXPECT_EQ(box, (RECT{0, 0, 0, 0}));
    EXPECT_TRUE(DeleteObject(a));
    EXPECT_TRUE(DeleteObject(empty));
}

TEST_F(Regions, RectanglesAreNormalisedAndClamped) {
    struct Case {
        RECT given;
        int type;
        RECT box;
    };
    const Case cases[] = {
        {{10, 20, 0, 5}, SIMPLEREGION, {0, 5, 10, 20}},
        {{3, 3, 3, 9}, NULLREGION, {0, 0, 0, 0}},
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, SIMPLEREGION, {-(1 << 27), -(1 << 27), 1 << 27, 1 << 27}},
    };
    for (const Case& c : cases) {
        HRGN region = CreateRectRgnIndirect(&c.given);
        ASSERT_NE(region, nullptr);
        RECT box{};
        EXPECT_EQ(GetRgnBox(region, &box), c.type);
        EXPECT_EQ(box, c.box);
        EXPECT_TRUE(DeleteObject(region));
    }
    EXPECT_EQ(CreateRectRgnIndirect(nullptr), nullptr);
}

TEST_F(Regions, BadModeLeavesTheDestinationAlone) {
    HRGN a = CreateRectRgn(0, 0, 4, 4);
    HRGN d = CreateRectRgn(1, 1, 2, 2);
    for (int mode : {0, 6, -3}) {
        EXPECT_EQ(CombineRgn(d, a, a, mode), ERROR);
    }
    EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_OR), ERROR);
    EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_COPY), SIMPLEREGION) << "copy ignores the second";
    RECT box{};
    GetRgnBox(d, &box);
    EXPECT_EQ(box, (RECT{0, 0, 4, 4}));
    EXPECT_TRUE(DeleteObject(a));
    EXPECT_TRUE(DeleteObject(d));
}

class Clipping : public LiveObjectsTest {};

TEST_F(Clipping, TheSurfaceKeepsItsOwnCopyOfTheClip) {
    BYTE pixels[10 * 10 * 4];
    HDC dc = CreateSurfaceOverMemory(pixels, 10, 10, 40, POINT{0, 0});
    HRGN region = CreateRectRgn(2, 3, 20, 6);
    ASSERT_EQ(SelectClipRgn(dc, region), SIMPLEREGION);
    RECT box{};
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{2, 3, 10, 6})) << "within the surface";

    // Changing or deleting the region afterwards does not reach the clip.
    HRGN other = CreateRectRgn(0, 0, 1, 1);
    CombineRgn(region, other, nullptr, RGN_COPY);
    EXPECT_TRUE(DeleteObject(region));
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{2, 3, 10, 6}));

    // A clip that misses the surface leaves nothing to draw.
    HRGN outside = CreateRectRgn(50, 50, 60, 60);
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(SelectObject(dc, outside)), NULLREGION);
    EXPECT_EQ(GetClipBox(dc, &box), NULLREGION);
    EXPECT_EQ(box, (RECT{0, 0, 0, 0}));

    EXPECT_EQ(SelectClipRgn(dc, nullptr), SIMPLEREGION);
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{0, 0, 10, 10}));
    EXPECT_EQ(GetClipBox(dc, nullptr), ERROR);

    EXPECT_TRUE(DeleteObject(other));
    EXPECT_TRUE(DeleteObject(outside));
    EXPECT_TRUE(DeleteDC(dc));
}

}  // namespace

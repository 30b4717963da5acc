#include "photo/geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "tests/support/print_types.h"

namespace {

constexpr LONG maxLong = std::numeric_limits<LONG>::max();
constexpr LONG minLong = std::numeric_limits<LONG>::min();

RECT Locked(RECT r, LONG aw, LONG ah) {
    LockAspect(r, aw, ah);
    return r;
}

LONG Width(const RECT& r) { return r.right - r.left; }
LONG Height(const RECT& r) { return r.bottom - r.top; }

// ---------------------------------------------------------------- LockAspect

struct LockCase {
    RECT input;
    LONG aw, ah;
    RECT expected;
};

TEST(LockAspect, WorkedExamples) {
    const LockCase cases[] = {
        {{100, 100, 500, 300}, 1600, 1200, {100, 100, 433, 349}},
        {{10, 10, 410, 410}, 3000, 2000, {10, 10, 510, 343}},
        {{0, 0, 30, 10}, 1600, 1200, {0, 0, 58, 43}},              // minimum first, height ends below 50
        {{200, 200, 150, 260}, 1200, 1600, {200, 200, 247, 262}},  // inside out
        {{0, 0, 233, 174}, 1600, 1200, {0, 0, 232, 174}},          // truncation moves a pixel
        {{0, 0, 232, 174}, 1600, 1200, {0, 0, 232, 174}},          // ... and then holds
        {{0, 0, 100, 100}, 0, 5, {0, 0, 100, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.input));
        EXPECT_EQ(Locked(c.input, c.aw, c.ah), c.expected);
    }
}

TEST(LockAspect, NonPositiveAspectLeavesEvenTinyRectanglesAlone) {
    const RECT tiny{5, 6, 15, 9};
    const LONG pairs[][2] = {{0, 5}, {5, 0}, {0, 0}, {-3, 4}, {4, -3}, {minLong, 1}};
    for (const auto& p : pairs) {
        SCOPED_TRACE(testing::Message() << p[0] << " x " << p[1]);
        EXPECT_EQ(Locked(tiny, p[0], p[1]), tiny);
    }
}

TEST(LockAspect, NeverMovesTheUpperLeftCorner) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<LONG> coord(-5000, 5000), aspect(1, 8000);
    for (int i = 0; i < 2000; ++i) {
        const RECT r{coord(rng), coord(rng), coord(rng), coord(rng)};
        const RECT out = Locked(r, aspect(rng), aspect(rng));
        ASSERT_EQ(out.left, r.left);
        ASSERT_EQ(out.top, r.top);
    }
}

// ------------------------------------------------------------- HitResizeGrip

TEST(HitResizeGrip, StrictComparisonsAndNoOuterBound) {
    const RECT client{0, 0, 200, 150};
    const struct {
        POINT p;
        int expected;
    } cases[] = {
        {{180, 140}, -1},                                                   // x = W - 20 is outside
        {{181, 131}, 1},                                                    // first column and first row inside
        {{181, 130}, -1},                                                   // y = H - 20 is outside
        {{250, 400}, 1},                                                    // right of and below the client area
        {{199, 149}, 1},  {{0, 0}, -1}, {{-5, 149}, -1}, {{180, 149}, -1},  // W - 20, H - 1: a move drag
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.p));
        EXPECT_EQ(HitResizeGrip(client, c.p), c.expected);
    }
}

TEST(HitResizeGrip, ExtremeValuesDoNotWrap) {
    // W - 20 taken in 32 bits would wrap to a huge value and miss every point.
    EXPECT_EQ(HitResizeGrip({0, 0, minLong, minLong}, {0, 0}), 1);
    EXPECT_EQ(HitResizeGrip({0, 0, maxLong, maxLong}, {maxLong, maxLong}), 1);
    EXPECT_EQ(HitResizeGrip({0, 0, maxLong, maxLong}, {minLong, maxLong}), -1);
}

// --------------------------------------------------------------- DraggedRect

TEST(DraggedRect, DragCases) {
    const RECT start{150, 50, 383, 224};  // 233 x 174
    const struct {
        const char* name;
        DragMode kind;
        POINT from, to;
        RECT expected;
    } cases[] = {
        {"move right and down", dragMove, {10, 10}, {40, 25}, {180, 65, 413, 239}},
        {"move into negative client coordinates", dragMove, {10, 10}, {-90, -60}, {50, -20, 283, 154}},
        {"click outside the grip keeps the window", dragMove, {5, 5}, {5, 5}, start},
        {"click in the grip snaps the size", dragResize, {220, 160}, {220, 160}, {150, 50, 382, 224}},
        {"resize larger", dragResize, {220, 160}, {320, 260}, {150, 50, 499, 311}},
        // Past the upper-left corner: width and height start from 50.
        {"resize inside out", dragResize, {220, 160}, {-100, -100}, {150, 50, 208, 93}},
        {"idle is no drag", dragIdle, {0, 0}, {100, 100}, start},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DraggedRect(c.kind, start, c.from, c.to, 1600, 1200), c.expected);
    }
}

TEST(DraggedRect, MoveKeepsSizeAndResizeKeepsCorner) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<LONG> coord(-4000, 4000), side(1, 4000), aspect(1, 9000), pointer(-32768, 32767);
    for (int i = 0; i < 2000; ++i) {
        const LONG left = coord(rng), top = coord(rng);
        const RECT start{left, top, left + side(rng), top + side(rng)};
        const POINT from{pointer(rng), pointer(rng)}, to{pointer(rng), pointer(rng)};
        const LONG aw = aspect(rng), ah = aspect(rng);

        const RECT moved = DraggedRect(dragMove, start, from, to, aw, ah);
        ASSERT_EQ(Width(moved), Width(start));
        ASSERT_EQ(Height(moved), Height(start));
        ASSERT_EQ(moved.left - start.left, to.x - from.x);
        ASSERT_EQ(moved.top - start.top, to.y - from.y);

        const RECT resized = DraggedRect(dragResize, start, from, to, aw, ah);
        ASSERT_EQ(resized.left, start.left);
        ASSERT_EQ(resized.top, start.top);
        // The same rectangle as locking the moved corner by hand.
        ASSERT_EQ(resized,
                  Locked({start.left, start.top, start.right + to.x - from.x, start.bottom + to.y - from.y}, aw, ah));
    }
}

// --------------------------------------------------------- RotateQuarterTurn

TEST(RotateQuarterTurn, OneTurnSwapsSidesAroundTheCorner) {
    LONG rotation = 0, aw = 3000, ah = 2000;
    RECT r{10, 20, 310, 220};
    RotateQuarterTurn(rotation, aw, ah, r);
    EXPECT_EQ(rotation, 1);
    EXPECT_EQ(aw, 2000);
    EXPECT_EQ(ah, 3000);
    EXPECT_EQ(r, (RECT{10, 20, 210, 320}));
}

TEST(RotateQuarterTurn, RotationCyclesThroughFourValues) {
    const LONG steps[][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}};
    for (const auto& s : steps) {
        LONG rotation = s[0], aw = 4, ah = 3;
        RECT r{0, 0, 4, 3};
        RotateQuarterTurn(rotation, aw, ah, r);
        EXPECT_EQ(rotation, s[1]) << "from " << s[0];
    }
}

TEST(RotateQuarterTurn, FourTurnsRestoreEverything) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<LONG> coord(-10000, 10000), side(1, 20000), aspect(1, 60000), turn(0, 3);
    for (int i = 0; i < 2000; ++i) {
        const LONG left = coord(rng), top = coord(rng);
        const RECT start{left, top, left + side(rng), top + side(rng)};
        const LONG rotation0 = turn(rng), aw0 = aspect(rng), ah0 = aspect(rng);
        LONG rotation = rotation0, aw = aw0, ah = ah0;
        RECT r = start;
        for (int k = 0; k < 4; ++k) {
            RotateQuarterTurn(rotation, aw, ah, r);
            ASSERT_EQ(r.left, start.left);
            ASSERT_EQ(r.top, start.top);
        }
        ASSERT_EQ(rotation, rotation0);
        ASSERT_EQ(aw, aw0);
        ASSERT_EQ(ah, ah0);
        ASSERT_EQ(r, start);
    }
}

// ------------------------------------------------------------ RotationPoints

TEST(RotationPoints, OnePointTriplePerQuarterTurn) {
    const RECT client{0, 0, 300, 200};
    const struct {
        LONG rotation;
        PointTriple expected;
    } cases[] = {
        {0, {POINT{0, 0}, POINT{300, 0}, POINT{0, 200}}},     {1, {POINT{300, 0}, POINT{300, 200}, POINT{0, 0}}},
        {2, {POINT{300, 200}, POINT{0, 200}, POINT{300, 0}}}, {3, {POINT{0, 200}, POINT{0, 0}, POINT{300, 200}}},
        {4, {POINT{0, 0}, POINT{300, 0}, POINT{0, 200}}},  // taken modulo 4
        {-1, {POINT{0, 200}, POINT{0, 0}, POINT{300, 200}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rotation);
        EXPECT_EQ(RotationPoints(c.rotation, client), c.expected);
    }
}

TEST(RotationPoints, UsesAllFourSidesOfAnOffsetRectangle) {
    const RECT r{5, 7, 50, 30};
    EXPECT_EQ(RotationPoints(1, r), (PointTriple{POINT{50, 7}, POINT{50, 30}, POINT{5, 7}}));
    EXPECT_EQ(RotationPoints(3, r), (PointTriple{POINT{5, 30}, POINT{5, 7}, POINT{50, 30}}));
}

// --------------------------------------------------------------- CascadeRect

TEST(CascadeRect, WorkedExamples) {
    const struct {
        LONG n;
        RECT landscape, portrait;
    } cases[] = {
        {0, {150, 50, 383, 224}, {150, 50, 325, 283}},   {1, {160, 60, 393, 234}, {160, 60, 335, 293}},
        {9, {240, 140, 473, 314}, {240, 140, 415, 373}}, {10, {140, 60, 373, 234}, {140, 60, 315, 293}},
        {11, {150, 70, 383, 244}, {150, 70, 325, 303}},  {100, {50, 150, 283, 324}, {50, 150, 225, 383}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(CascadeRect(c.n, 1600, 1200), c.landscape);
        EXPECT_EQ(CascadeRect(c.n, 1200, 1600), c.portrait);
    }
}

TEST(CascadeRect, SquarePhotoKeeps200By200) {
    for (LONG n : {0, 3, 10, 57}) {
        const RECT r = CascadeRect(n, 4000, 4000);
        EXPECT_EQ(Width(r), 200) << n;
        EXPECT_EQ(Height(r), 200) << n;
    }
}

TEST(CascadeRect, NextGroupOfTenStartsLeftAndBelow) {
    for (LONG n = 0; n < 500; ++n) {
        const RECT a = CascadeRect(n, 1600, 1200);
        const RECT b = CascadeRect(n + 10, 1600, 1200);
        ASSERT_EQ(b.left - a.left, -10) << n;
        ASSERT_EQ(b.top - a.top, 10) << n;
        ASSERT_EQ(Width(b), Width(a)) << n;
        ASSERT_EQ(Height(b), Height(a)) << n;
    }
}

// --------------------------------------------------------- RectForSideLength

TEST(RectForSideLength, WorkedExamples) {
    const struct {
        RECT window;
        LONG aw, ah;
        RECT height, width, longSide, shortSide;
    } cases[] = {
        {{150, 50, 383, 224},
         1600,
         1200,  // landscape
         {150, 50, 550, 350},
         {150, 50, 450, 275},
         {150, 50, 450, 275},
         {150, 50, 550, 350}},
        {{150, 50, 325, 283},
         1200,
         1600,  // portrait
         {150, 50, 375, 350},
         {150, 50, 450, 450},
         {150, 50, 375, 350},
         {150, 50, 450, 450}},
        {{0, 0, 100, 100},
         1001,
         1000,  // square: long is the height, short the width
         {0, 0, 300, 300},
         {0, 0, 300, 299},
         {0, 0, 300, 300},
         {0, 0, 300, 299}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.window));
        EXPECT_EQ(RectForSideLength(c.window, sideHeight, 300, c.aw, c.ah), c.height);
        EXPECT_EQ(RectForSideLength(c.window, sideWidth, 300, c.aw, c.ah), c.width);
        EXPECT_EQ(RectForSideLength(c.window, sideLong, 300, c.aw, c.ah), c.longSide);
        EXPECT_EQ(RectForSideLength(c.window, sideShort, 300, c.aw, c.ah), c.shortSide);
    }
}

TEST(RectForSideLength, NoMinimumApplies) {
    const RECT square{0, 0, 100, 100};
    EXPECT_EQ(RectForSideLength(square, sideLong, 20, 1000, 1000), (RECT{0, 0, 20, 20}));
    EXPECT_EQ(RectForSideLength(square, sideShort, 20, 1600, 1200), (RECT{0, 0, 20, 15}));
    EXPECT_EQ(RectForSideLength(square, sideLong, 20, 1600, 1200), (RECT{0, 0, 26, 20}));
}

TEST(RectForSideLength, UnknownSideOrAspectLeavesTheWindow) {
    const RECT window{150, 50, 383, 224};
    for (LONG side : {-1, 4, 99}) {
        EXPECT_EQ(RectForSideLength(window, static_cast<ResizeSide>(side), 300, 1600, 1200), window) << side;
    }
    EXPECT_EQ(RectForSideLength(window, sideWidth, 300, 1600, 0), window);
    EXPECT_EQ(RectForSideLength(window, sideHeight, 300, 0, 1200), window);
}

// -------------------------------------------------------- FitWindowSideLimit

TEST(FitWindowSideLimit, ScalesDownFromTheUpperLeftCorner) {
    const struct {
        const char* name;
        RECT input;
        RECT expected;
    } cases[] = {
        {"within the limit", {10, 20, 410, 320}, {10, 20, 410, 320}},
        {"both sides exactly at the limit", {0, 0, 32767, 32767}, {0, 0, 32767, 32767}},
        {"one pixel too wide", {0, 0, 32768, 32768}, {0, 0, 32767, 32767}},
        // 30000 x 32767 / 40000 = 24575.25
        {"too wide", {10, 20, 40010, 30020}, {10, 20, 32777, 24595}},
        // 24000 x 32767 / 45000 = 17475.7
        {"too tall", {-500, -300, 23500, 44700}, {-500, -300, 16975, 32467}},
        {"both sides too long", {0, 0, 100000, 50000}, {0, 0, 32767, 16383}},
        {"a side of 0 stays 0", {5, 5, 40005, 5}, {5, 5, 32772, 5}},
        {"inside out is within the limit", {100, 100, 50, 40}, {100, 100, 50, 40}},
        // The width saturates to 2^31 - 1; 200000 x 32767 / (2^31 - 1) = 3.05
        {"widest rectangle", {minLong, 0, maxLong, 200000}, {minLong, 0, minLong + 32767, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FitWindowSideLimit(c.input, 32767), c.expected);
    }
}

TEST(FitWindowSideLimit, NonPositiveLimitLeavesTheRectangle) {
    const RECT huge{0, 0, 100000, 70000};
    EXPECT_EQ(FitWindowSideLimit(huge, 0), huge);
    EXPECT_EQ(FitWindowSideLimit(huge, -1), huge);
}

TEST(FitWindowSideLimit, KeepsCornerAndProportionsOfLockedRectangles) {
    std::mt19937 rng(13);
    std::uniform_int_distribution<LONG> coord(-30000, 30000), side(1, 2'000'000), aspect(1, 9000);
    for (int i = 0; i < 2000; ++i) {
        const LONG left = coord(rng), top = coord(rng);
        RECT r{left, top, left + side(rng), top + side(rng)};
        LockAspect(r, aspect(rng), aspect(rng));
        const RECT out = FitWindowSideLimit(r, 32767);
        ASSERT_EQ(out.left, r.left);
        ASSERT_EQ(out.top, r.top);
        ASSERT_LE(Width(out), 32767);
        ASSERT_LE(Height(out), 32767);
        ASSERT_EQ(std::max(Width(out), Height(out)), std::min(32767, std::max(Width(r), Height(r))));
        // Uniform scaling: the shorter side is off by less than one pixel
        // from its exact share.
        const double exactHeight = static_cast<double>(Height(r)) * Width(out) / Width(r);
        const double exactWidth = static_cast<double>(Width(r)) * Height(out) / Height(r);
        ASSERT_TRUE(std::abs(Height(out) - exactHeight) < 1.0 || std::abs(Width(out) - exactWidth) < 1.0)
            << testing::PrintToString(r);
    }
}

// ------------------------------------------ results beyond the 32-bit range

TEST(Saturation, ProductsAndSumsClampInsteadOfOverflowing) {
    const struct {
        const char* name;
        RECT actual, expected;
    } cases[] = {
        // 2e9 x 2e9 / 1 saturates before it is averaged with the width.
        {"lock: implied width",
         Locked({0, 0, 2'000'000'000, 2'000'000'000}, 2'000'000'000, 1),
         {0, 0, 2'073'741'823, 1}},
        {"lock: right edge",
         Locked({2'147'483'000, 0, 2'147'483'600, 1000}, 1000, 1),
         {2'147'483'000, 0, maxLong, 500}},
        {"lock: inside out across the whole range",
         Locked({maxLong, maxLong, minLong, minLong}, 3, 2),
         {maxLong, maxLong, maxLong, maxLong}},
        {"length: width of two billion",
         RectForSideLength({100, 100, 400, 300}, sideWidth, 2'000'000'000, 1600, 1200),
         {100, 100, 2'000'000'100, 1'500'000'100}},
        {"length: height of two billion",
         RectForSideLength({100, 100, 400, 300}, sideHeight, 2'000'000'000, 1600, 1200),
         {100, 100, maxLong, 2'000'000'100}},
        {"length: largest length and aspect",
         RectForSideLength({0, 0, 10, 10}, sideLong, maxLong, maxLong, 1),
         {0, 0, maxLong, maxLong}},
        {"length: negative length",
         RectForSideLength({0, 0, 10, 10}, sideWidth, minLong, maxLong, 1),
         {0, 0, minLong, -1}},
        {"cascade: last count", CascadeRect(maxLong, 1600, 1200), {-2'147'483'420, maxLong, -2'147'483'320, maxLong}},
        {"move: far past the edge",
         DraggedRect(dragMove, {maxLong - 100, 0, maxLong, 100}, {minLong, 0}, {maxLong, 0}, 1, 1),
         {maxLong, 0, maxLong, 100}},
        {"resize: far past the edge",
         DraggedRect(dragResize, {0, 0, 100, 100}, {minLong, minLong}, {maxLong, maxLong}, 1, 1),
         {0, 0, maxLong, maxLong}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.actual, c.expected);
    }
}

TEST(Saturation, QuarterTurnOfTheWidestRectangle) {
    LONG rotation = maxLong, aw = maxLong, ah = 1;
    RECT r{minLong, 0, maxLong, 10};
    RotateQuarterTurn(rotation, aw, ah, r);
    EXPECT_EQ(rotation, 0);  // maxLong is 3 modulo 4
    EXPECT_EQ(aw, 1);
    EXPECT_EQ(ah, maxLong);
    EXPECT_EQ(r, (RECT{minLong, 0, minLong + 10, maxLong}));
}

}  // namespace

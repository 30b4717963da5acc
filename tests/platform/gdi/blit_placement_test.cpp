// Which pixels a blit writes and where they come from: the parallelogram
// against the target's bounds and clip, nearest-pixel sampling, slanted
// sides, parallelograms without area.

#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/gdi/blit_reference.h"
#include "tests/support/print_types.h"

namespace {

using namespace blit_test;
using gdi::BlitFilter;

constexpr Turn turns[] = {Turn::upright,         Turn::quarter,      Turn::half,      Turn::threeQuarters,
                          Turn::mirrorLeftRight, Turn::mirrorUpDown, Turn::transposed};

// A clipped draw writes exactly the clipped part of the unclipped draw, byte
// for byte, and nothing else: a cell's colour does not depend on which of
// its neighbours are visible.
TEST(BlitClip, WritesExactlyTheClippedPartOfTheWholeDraw) {
    const RECT clips[] = {
        {100, 200, 130, 220},  // all of the target
        {105, 203, 117, 211},  // a window in the middle
        {100, 207, 130, 208},  // one row
        {112, 200, 113, 220},  // one column
        {50, 150, 103, 300},   // sticking out of the target
        {125, 200, 400, 400},  // mostly right of it
        {110, 210, 110, 215},  // empty
        {115, 215, 105, 205},  // inside out
    };
    const TestImage image = MakeImage(Layout::indexed8, 50, 37, true, 5);
    const POINT origin{100, 200};
    for (Turn turn : turns) {
        for (BlitFilter filter : {BlitFilter::AreaAverage, BlitFilter::Nearest}) {
            // Larger than the target and sticking out on its left and top.
            const LONG w = Turns(turn) ? 27 : 36, h = Turns(turn) ? 36 : 27;
            const Blit blit{4, 3, 41, 29, Corners(turn, 96, 197, 96 + w, 197 + h)};
            TestTarget whole(30, 20, origin);
            ASSERT_TRUE(Draw(image, blit, whole, filter));
            EXPECT_TRUE(MatchesReference(whole, Reference(image, blit, whole.target, filter == BlitFilter::Nearest),
                                         filter == BlitFilter::Nearest ? 0.0 : 1.0));
            for (const RECT& clip : clips) {
                SCOPED_TRACE(testing::Message() << Name(turn) << (filter == BlitFilter::Nearest ? ", nearest" : "")
                                                << ", clip " << testing::PrintToString(clip));
                TestTarget clipped(30, 20, origin);
                clipped.target.clip = clip;
                ASSERT_TRUE(Draw(image, blit, clipped, filter));
                int wrong = 0;
                for (LONG y = 0; y < 20; ++y) {
                    for (LONG x = 0; x < 30; ++x) {
                        const LONG X = x + origin.x, Y = y + origin.y;
                        const bool visible = X >= clip.left && X < clip.right && Y >= clip.top && Y < clip.bottom;
                        wrong += visible ? std::memcmp(clipped.Pixel(x, y), whole.Pixel(x, y), 4) != 0
                                         : !clipped.Untouched(x, y);
                    }
                }
                EXPECT_EQ(wrong, 0);
            }
        }
    }
}

// Everything outside the target is left alone wherever the parallelogram
// lies, including entirely off it on any side.
TEST(BlitClip, StaysInsideTheTarget) {
    const TestImage image = MakeImage(Layout::bgr24, 9, 7, false, 3);
    const RECT places[] = {
        {-20, -20, -2, -3}, {31, 0, 60, 20}, {0, 21, 30, 40}, {-5, -5, 35, 25}, {29, 19, 40, 31}, {-9, -9, 1, 1},
    };
    for (const RECT& r : places) {
        for (Turn turn : {Turn::upright, Turn::quarter, Turn::half}) {
            SCOPED_TRACE(testing::Message() << testing::PrintToString(r) << ", " << Name(turn));
            TestTarget drawn(30, 20, POINT{0, 0}, true);
            const Blit blit{0, 0, 9, 7, Corners(turn, r.left, r.top, r.right, r.bottom)};
            ASSERT_TRUE(Draw(image, blit, drawn));
            EXPECT_TRUE(MatchesReference(drawn, Reference(image, blit, drawn.target), 1.0));
        }
    }
}

TEST(BlitNearest, PicksThePixelUnderEachCentre) {
    struct Case {
        const char* name;
        std::vector<BYTE> source;  // grey levels, row by row
        LONG srcWidth;
        Turn turn;
        LONG width, height;          // the destination rectangle
        std::vector<BYTE> expected;  // destination rows
    };
    const Case cases[] = {
        {"doubled",
         {10, 20, 30, 40},
         2,
         Turn::upright,
         4,
         4,
         {10, 10, 20, 20, 10, 10, 20, 20, 30, 30, 40, 40, 30, 30, 40, 40}},
        {"halved", {1, 2, 3, 4}, 4, Turn::upright, 2, 1, {2, 4}},
        {"two thirds", {1, 2, 3}, 3, Turn::upright, 2, 1, {1, 3}},
        {"quarter turn", {1, 2, 3, 4, 5, 6}, 3, Turn::quarter, 2, 3, {4, 1, 5, 2, 6, 3}},
        {"three quarters", {1, 2, 3, 4, 5, 6}, 3, Turn::threeQuarters, 2, 3, {3, 6, 2, 5, 1, 4}},
        {"half turn", {1, 2, 3, 4, 5, 6}, 3, Turn::half, 3, 2, {6, 5, 4, 3, 2, 1}},
        {"mirrored", {1, 2, 3, 4, 5, 6}, 3, Turn::mirrorLeftRight, 3, 2, {3, 2, 1, 6, 5, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto srcHeight = static_cast<LONG>(c.source.size()) / c.srcWidth;
        TestImage image = MakeImage(Layout::bgr24, c.srcWidth, srcHeight, false, 1);
        for (LONG y = 0; y < srcHeight; ++y) {
            for (LONG x = 0; x < c.srcWidth; ++x) {
                BYTE* p = image.bytes.data() + y * std::abs(image.source.pitch) + 3 * x;
                p[0] = p[1] = p[2] = c.source[y * c.srcWidth + x];
            }
        }
        TestTarget drawn(c.width, c.height);
        ASSERT_TRUE(Draw(image, {0, 0, c.srcWidth, srcHeight, Corners(c.turn, 0, 0, c.width, c.height)}, drawn,
                         BlitFilter::Nearest));
        std::vector<BYTE> got;
        for (LONG y = 0; y < c.height; ++y) {
            for (LONG x = 0; x < c.width; ++x) got.push_back(drawn.Pixel(x, y)[1]);
        }
        EXPECT_EQ(got, c.expected);
    }
}

TEST(BlitNearest, MatchesTheReferenceForEveryLayoutAndTurn) {
    unsigned seed = 40;
    for (Layout layout : allLayouts) {
        const TestImage image = MakeImage(layout, 23, 17, seed % 2 == 0, seed);
        ++seed;
        for (Turn turn : turns) {
            SCOPED_TRACE(testing::Message() << Name(layout) << ", " << Name(turn));
            const LONG w = Turns(turn) ? 31 : 9, h = Turns(turn) ? 9 : 31;
            TestTarget drawn(w + 2, h + 2);
            const Blit blit{2, 1, 19, 14, Corners(turn, 1, 1, 1 + w, 1 + h)};
            ASSERT_TRUE(Draw(image, blit, drawn, BlitFilter::Nearest));
            EXPECT_TRUE(MatchesReference(drawn, Reference(image, blit, drawn.target, true), 0.0));
        }
    }
}

// Slanted sides: the pixels whose centres lie inside are drawn, and nothing
// else.
TEST(BlitSlanted, DrawsThePixelsWhoseCentresLieInside) {
    const std::array<POINT, 3> parallelograms[] = {
        {{{10, 2}, {30, 12}, {4, 20}}},     // turned a little, skewed
        {{{3, 3}, {30, 4}, {2, 25}}},       // almost upright
        {{{20, 1}, {5, 16}, {35, 16}}},     // a diamond, mirrored
        {{{0, 10}, {38, 10}, {10, 20}}},    // sheared along x only
        {{{-15, -6}, {50, 30}, {-30, 8}}},  // larger than the target
    };
    TestImage image = MakeImage(Layout::indexed8, 11, 13, false, 9);
    // One colour everywhere: the drawn pixels must all be exactly it.
    std::fill(image.bytes.begin(), image.bytes.end(), BYTE{0});
    image.colorTable[0] = 40, image.colorTable[1] = 140, image.colorTable[2] = 240;
    const Colour even{40, 140, 240};
    for (const auto& points : parallelograms) {
        for (BlitFilter filter : {BlitFilter::AreaAverage, BlitFilter::Nearest}) {
            SCOPED_TRACE(testing::Message()
                         << testing::PrintToString(points[0]) << " " << testing::PrintToString(points[1]) << " "
                         << testing::PrintToString(points[2]));
            TestTarget drawn(40, 24);
            const Blit blit{0, 0, 11, 13, points};
            ASSERT_TRUE(Draw(image, blit, drawn, filter));
            auto expected = Reference(image, blit, drawn.target, true);
            for (auto& e : expected) {
                if (e) e = even;
            }
            EXPECT_TRUE(MatchesReference(drawn, expected, 0.0));
        }
    }
}

// A gently varying picture drawn slanted comes out close to a dense
// sampling of each pixel's pre-image, enlarged or reduced.
TEST(BlitSlanted, AveragesCloseToADenseSampling) {
    struct Case {
        LONG srcWidth, srcHeight;
        std::array<POINT, 3> points;
    };
    const Case cases[] = {
        {12, 9, {{{20, 2}, {44, 20}, {2, 26}}}},    // enlarged about 2.5 times
        {180, 120, {{{8, 1}, {40, 12}, {1, 22}}}},  // reduced about 5 times
    };
    for (const Case& c : cases) {
        const TestImage image = MakeImage(Layout::bgr24, c.srcWidth, c.srcHeight, true, 4, true);
        const Blit blit{0, 0, c.srcWidth, c.srcHeight, c.points};
        TestTarget drawn(48, 40);
        ASSERT_TRUE(Draw(image, blit, drawn));
        const PreImage pre(blit);
        auto expected = Reference(image, blit, drawn.target, true);
        constexpr int n = 24;
        for (LONG y = 0; y < drawn.target.height; ++y) {
            for (LONG x = 0; x < drawn.target.width; ++x) {
                auto& e = expected[static_cast<std::size_t>(y) * drawn.target.width + x];
                if (!e) continue;
                Colour sum{0, 0, 0};
                for (int t = 0; t < n; ++t) {
                    for (int s = 0; s < n; ++s) {
                        const double X = x + (s + 0.5) / n, Y = y + (t + 0.5) / n;
                        const auto u = std::clamp<LONG>(static_cast<LONG>(std::floor(pre.U(X, Y))), 0, c.srcWidth - 1);
                        const auto v = std::clamp<LONG>(static_cast<LONG>(std::floor(pre.V(X, Y))), 0, c.srcHeight - 1);
                        for (int i = 0; i < 3; ++i) sum[i] += image.At(u, v)[i] / (n * n);
                    }
                }
                e = sum;
            }
        }
        EXPECT_TRUE(MatchesReference(drawn, expected, 3.0));
    }
}

TEST(BlitParallelogram, WithoutAreaDrawsNothing) {
    const std::array<POINT, 3> flat[] = {
        {{{0, 0}, {10, 10}, {5, 5}}},  // on one line
        {{{3, 3}, {3, 3}, {3, 12}}},   // no width
        {{{3, 3}, {12, 3}, {3, 3}}},   // no height
        {{{4, 4}, {4, 4}, {4, 4}}},    // a point
        {{{0, 0}, {0, 10}, {0, 20}}},  // upright line
    };
    const TestImage image = MakeImage(Layout::bgr24, 4, 4, false, 1);
    for (const auto& points : flat) {
        TestTarget drawn(16, 16);
        EXPECT_TRUE(Draw(image, {0, 0, 4, 4, points}, drawn));
        EXPECT_TRUE(
            std::all_of(drawn.bytes.begin(), drawn.bytes.end(), [](BYTE b) { return b == TestTarget::sentinel; }));
    }
}

}  // namespace

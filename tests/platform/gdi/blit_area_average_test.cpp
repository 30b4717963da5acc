// Area averaging against the double-precision reference: every source
// layout, row order, quarter turn and mirroring, reductions and
// enlargements by awkward factors.

#include <gtest/gtest.h>

#include "tests/platform/gdi/blit_reference.h"

namespace {

using namespace blit_test;

struct Scale {
    const char* name;
    LONG imageWidth, imageHeight;          // the whole source image
    LONG srcX, srcY, srcWidth, srcHeight;  // the part drawn
    LONG width, height;                    // what it is stretched to, before turning
};

constexpr Scale scales[] = {
    {"reduced", 40, 25, 0, 0, 40, 25, 11, 7},
    {"enlarged", 5, 4, 0, 0, 5, 4, 17, 13},
    {"mixed, from a sub-rectangle", 20, 15, 3, 2, 13, 9, 29, 4},
    {"reduced to one pixel", 9, 7, 1, 1, 7, 5, 1, 1},
};

constexpr Turn turns[] = {Turn::upright,         Turn::quarter,      Turn::half,      Turn::threeQuarters,
                          Turn::mirrorLeftRight, Turn::mirrorUpDown, Turn::transposed};

TEST(BlitAreaAverage, MatchesTheReferenceForEveryLayoutTurnAndScale) {
    unsigned seed = 1;
    for (Layout layout : allLayouts) {
        for (const Scale& scale : scales) {
            for (bool bottomUp : {false, true}) {
                const TestImage image = MakeImage(layout, scale.imageWidth, scale.imageHeight, bottomUp, seed++);
                for (Turn turn : turns) {
                    SCOPED_TRACE(testing::Message() << Name(layout) << ", " << scale.name << ", " << Name(turn)
                                                    << (bottomUp ? ", bottom-up" : ", top-down"));
                    // Laid with a margin into a target with its origin moved.
                    const LONG w = Turns(turn) ? scale.height : scale.width;
                    const LONG h = Turns(turn) ? scale.width : scale.height;
                    TestTarget drawn(w + 4, h + 3, POINT{-10, 20});
                    const Blit blit{scale.srcX, scale.srcY, scale.srcWidth, scale.srcHeight,
                                    Corners(turn, -8, 21, -8 + w, 21 + h)};
                    ASSERT_TRUE(Draw(image, blit, drawn));
                    EXPECT_TRUE(MatchesReference(drawn, Reference(image, blit, drawn.target), 1.0));
                }
            }
        }
    }
}

// The whole of a layout's image drawn to width x height before the turn.
struct WholeImage {
    Layout layout;
    LONG imageWidth, imageHeight, width, height;
    Turn turn;
};

void DrawsTheWholeImageWithinOne(const WholeImage& c, bool bottomUp, unsigned seed) {
    const TestImage image = MakeImage(c.layout, c.imageWidth, c.imageHeight, bottomUp, seed);
    const LONG w = Turns(c.turn) ? c.height : c.width;
    const LONG h = Turns(c.turn) ? c.width : c.height;
    TestTarget drawn(w, h);
    const Blit blit{0, 0, c.imageWidth, c.imageHeight, Corners(c.turn, 0, 0, w, h)};
    ASSERT_TRUE(Draw(image, blit, drawn));
    EXPECT_TRUE(MatchesReference(drawn, Reference(image, blit, drawn.target), 1.0));
}

// 6000 -> 901 and 901 -> 6000 have no common factor: every cell's border
// falls inside a source pixel, at a different place each time.
TEST(BlitAreaAverage, LongNonIntegerReductionsStayWithinOne) {
    const WholeImage cases[] = {
        {Layout::bgr24, 6000, 5, 901, 3, Turn::upright}, {Layout::bgr24, 6000, 5, 901, 3, Turn::quarter},
        {Layout::bgr24, 5, 6000, 2, 901, Turn::upright}, {Layout::bgr24, 5, 6000, 2, 901, Turn::threeQuarters},
        {Layout::indexed8, 6000, 4, 901, 3, Turn::half}, {Layout::bgrx32, 4, 6000, 3, 901, Turn::quarter},
    };
    unsigned seed = 100;
    for (const WholeImage& c : cases) {
        SCOPED_TRACE(testing::Message() << Name(c.layout) << " " << c.imageWidth << "x" << c.imageHeight << ", "
                                        << Name(c.turn));
        ASSERT_NO_FATAL_FAILURE(DrawsTheWholeImageWithinOne(c, true, seed++));
    }
}

TEST(BlitAreaAverage, LargeEnlargementsStayWithinOne) {
    const WholeImage cases[] = {
        {Layout::bgr24, 7, 3, 640, 20, Turn::upright},
        {Layout::rgb565, 3, 7, 21, 640, Turn::quarter},
        {Layout::indexed4, 7, 7, 640, 9, Turn::mirrorLeftRight},
    };
    unsigned seed = 200;
    for (const WholeImage& c : cases) {
        SCOPED_TRACE(testing::Message() << Name(c.layout) << ", " << Name(c.turn));
        ASSERT_NO_FATAL_FAILURE(DrawsTheWholeImageWithinOne(c, false, seed++));
    }
}

// An even colour has nothing to average: any error in how the weights are
// normalised shows up as a pixel off by one.
TEST(BlitAreaAverage, EvenColourComesOutExactlyAtAnyScale) {
    const LONG sizes[][4] = {{6000, 3, 901, 2}, {7, 5, 640, 3}, {1, 1, 37, 41}, {97, 89, 89, 97}};
    for (const auto& size : sizes) {
        TestImage image = MakeImage(Layout::bgr24, size[0], size[1], false, 1);
        for (LONG y = 0; y < size[1]; ++y) {
            for (LONG x = 0; x < size[0]; ++x) {
                BYTE* p = image.bytes.data() + y * image.source.pitch + 3 * x;
                p[0] = 255, p[1] = 1, p[2] = 128;
            }
        }
        for (Turn turn : {Turn::upright, Turn::quarter}) {
            SCOPED_TRACE(testing::Message()
                         << size[0] << "x" << size[1] << " -> " << size[2] << "x" << size[3] << ", " << Name(turn));
            TestTarget drawn(size[2], size[3]);
            ASSERT_TRUE(Draw(image, {0, 0, size[0], size[1], Corners(turn, 0, 0, size[2], size[3])}, drawn));
            int wrong = 0;
            for (LONG y = 0; y < size[3]; ++y) {
                for (LONG x = 0; x < size[2]; ++x) {
                    const BYTE* p = drawn.Pixel(x, y);
                    wrong += !(p[0] == 255 && p[1] == 1 && p[2] == 128 && p[3] == 0);
                }
            }
            EXPECT_EQ(wrong, 0);
        }
    }
}

// The averages are rounded to nearest, not truncated.
TEST(BlitAreaAverage, RoundsToNearest) {
    struct Case {
        std::vector<BYTE> source;  // one row, the same in every channel
        LONG width;
        std::vector<BYTE> expected;
    };
    const Case cases[] = {
        {{0, 0, 4}, 2, {0, 3}},              // 2.67
        {{0, 0, 1}, 2, {0, 1}},              // 0.67
        {{255, 254, 254}, 2, {255, 254}},    // 254.67
        {{10, 20}, 3, {10, 15, 20}},         // 15 exactly
        {{0, 1, 1, 1, 1, 1, 1}, 2, {1, 1}},  // 2.5 / 3.5 = 0.71
    };
    for (const Case& c : cases) {
        const auto srcWidth = static_cast<LONG>(c.source.size());
        TestImage image = MakeImage(Layout::bgr24, srcWidth, 1, false, 1);
        for (LONG x = 0; x < srcWidth; ++x) {
            for (int i = 0; i < 3; ++i) image.bytes[3 * x + i] = c.source[x];
        }
        TestTarget drawn(c.width, 1);
        ASSERT_TRUE(Draw(image, {0, 0, srcWidth, 1, Corners(Turn::upright, 0, 0, c.width, 1)}, drawn));
        for (LONG x = 0; x < c.width; ++x) {
            SCOPED_TRACE(testing::Message() << "case " << &c - cases << ", pixel " << x);
            for (int i = 0; i < 3; ++i) EXPECT_EQ(drawn.Pixel(x, 0)[i], c.expected[x]);
        }
    }
}

}  // namespace

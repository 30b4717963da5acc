// Descriptions the engine must refuse without writing anything, and extreme
// but valid ones it must draw without overflowing.

#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "tests/platform/gdi/blit_reference.h"

namespace {

using namespace blit_test;
using gdi::BlitFilter;

struct Scene {
    TestImage image = MakeImage(Layout::rgb555, 6, 5, true, 3);
    TestImage indexed = MakeImage(Layout::indexed4, 6, 5, false, 4);
    TestTarget target{8, 8};
    Blit blit{0, 0, 6, 5, Corners(Turn::upright, 1, 1, 7, 6)};
    const TestImage* drawn = &image;
    bool noPoints = false;
    BlitFilter filter = BlitFilter::AreaAverage;
};

TEST(BlitInput, RefusesWhatItCannotDrawAndWritesNothing) {
    const struct {
        const char* name;
        std::function<void(Scene&)> spoil;
    } cases[] = {
        {"no source memory", [](Scene& s) { s.image.source.topRow = nullptr; }},
        {"depth 0", [](Scene& s) { s.image.source.bitsPerPixel = 0; }},
        {"depth 2", [](Scene& s) { s.image.source.bitsPerPixel = 2; }},
        {"depth 15", [](Scene& s) { s.image.source.bitsPerPixel = 15; }},
        {"depth 64", [](Scene& s) { s.image.source.bitsPerPixel = 64; }},
        {"no width", [](Scene& s) { s.image.source.width = 0; }},
        {"negative height", [](Scene& s) { s.image.source.height = -5; }},
        {"rows too short", [](Scene& s) { s.image.source.pitch = -10; }},
        {"no pitch", [](Scene& s) { s.image.source.pitch = 0; }},
        {"a side past 2^20", [](Scene& s) { s.image.source.width = (1 << 20) + 1; }},
        {"mask with a gap", [](Scene& s) { s.image.source.redMask = 0x7C01; }},
        {"mask wider than the pixel", [](Scene& s) { s.image.source.blueMask = 0x1F0000; }},
        {"colour table missing", [](Scene& s) { s.drawn = &s.indexed, s.indexed.source.colorTable = nullptr; }},
        {"negative colour count", [](Scene& s) { s.drawn = &s.indexed, s.indexed.source.colorCount = -1; }},
        {"rectangle left of the image", [](Scene& s) { s.blit.srcX = -1; }},
        {"rectangle above the image", [](Scene& s) { s.blit.srcY = -1, s.blit.srcHeight = 4; }},
        {"rectangle past the right", [](Scene& s) { s.blit.srcX = 1; }},
        {"rectangle past the bottom", [](Scene& s) { s.blit.srcY = 1; }},
        {"rectangle wrapping around", [](Scene& s) { s.blit.srcX = 2, s.blit.srcWidth = INT_MAX; }},
        {"empty rectangle", [](Scene& s) { s.blit.srcWidth = 0; }},
        {"inverted rectangle", [](Scene& s) { s.blit.srcHeight = -5; }},
        {"no points", [](Scene& s) { s.noPoints = true; }},
        {"no target memory", [](Scene& s) { s.target.target.topRow = nullptr; }},
        {"target rows too short", [](Scene& s) { s.target.target.pitch = 31; }},
        {"negative target width", [](Scene& s) { s.target.target.width = -1; }},
        {"unknown filter", [](Scene& s) { s.filter = static_cast<BlitFilter>(7); }},
        {"side longer than 2^20",
         [](Scene& s) {
             s.blit.points = {{{0, 0}, {(1 << 20) + 1, 0}, {0, 4}}};
         }},
        {"sides from one end of the plane to the other",
         [](Scene& s) {
             s.blit.points = {{{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MIN, INT_MAX}}};
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scene s;
        c.spoil(s);
        EXPECT_FALSE(gdi::BlitParallelogram(s.drawn->source, s.blit.srcX, s.blit.srcY, s.blit.srcWidth,
                                            s.blit.srcHeight, s.noPoints ? nullptr : s.blit.points.data(),
                                            s.target.target, s.filter));
        EXPECT_TRUE(std::all_of(s.target.bytes.begin(), s.target.bytes.end(),
                                [](BYTE b) { return b == TestTarget::sentinel; }));
    }
}

// The unspoiled scene draws, so each refusal above is down to its one fault.
TEST(BlitInput, TheUnspoiledSceneDraws) {
    Scene s;
    for (const TestImage* image : {&s.image, &s.indexed}) {
        TestTarget target(8, 8);
        EXPECT_TRUE(Draw(*image, s.blit, target));
        EXPECT_TRUE(MatchesReference(target, Reference(*image, s.blit, target.target), 1.0));
    }
}

// A channel without bits reads as 0; the other channels are unaffected.
TEST(BlitInput, AnEmptyMaskReadsAsZero) {
    TestImage image = MakeImage(Layout::rgb565, 4, 3, false, 8);
    image.source.greenMask = 0;
    for (Colour& c : image.colours) c[1] = 0;
    TestTarget drawn(7, 5);
    const Blit blit{0, 0, 4, 3, Corners(Turn::quarter, 1, 1, 6, 5)};
    ASSERT_TRUE(Draw(image, blit, drawn));
    EXPECT_TRUE(MatchesReference(drawn, Reference(image, blit, drawn.target), 1.0));
}

// Sizes at the edges of what real images and windows reach, and coordinates
// at the ends of the 32-bit range, draw correctly.
TEST(BlitInput, ExtremeButValidSizesAndCoordinates) {
    struct Case {
        const char* name;
        LONG imageWidth, imageHeight;
        POINT origin;
        LONG targetWidth, targetHeight;
        std::array<POINT, 3> points;
    };
    constexpr LONG farRight = INT_MAX - 40, farUp = INT_MIN + 10;
    const Case cases[] = {
        {"65535 wide onto 32767", 65535, 2, {0, 0}, 32767, 1, Corners(Turn::upright, 0, 0, 32767, 1)},
        {"65535 high onto 32767, turned", 2, 65535, {0, 0}, 32767, 1, Corners(Turn::quarter, 0, 0, 32767, 1)},
        {"three pixels stretched over 2^20",
         3,
         3,
         {0, 0},
         12,
         4,
         {{{-500000, 0}, {(1 << 20) - 500000, 0}, {-500000, 3}}}},
        {"at the far end of the coordinates",
         5,
         4,
         {farRight, farUp},
         30,
         20,
         Corners(Turn::half, farRight + 3, farUp + 2, farRight + 28, farUp + 19)},
        {"slanted there",
         5,
         4,
         {farRight, farUp},
         30,
         20,
         {{{farRight + 3, farUp + 2}, {farRight + 28, farUp + 9}, {farRight + 1, farUp + 19}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TestImage image = MakeImage(Layout::bgr24, c.imageWidth, c.imageHeight, true, 6);
        TestTarget drawn(c.targetWidth, c.targetHeight, c.origin);
        const Blit blit{0, 0, c.imageWidth, c.imageHeight, c.points};
        ASSERT_TRUE(Draw(image, blit, drawn));
        const bool slanted = c.points[0].y != c.points[1].y && c.points[0].x != c.points[1].x;
        const auto expected = Reference(image, blit, drawn.target, slanted);
        if (slanted) {
            // Slanted: only which pixels are drawn is compared.
            for (LONG y = 0; y < c.targetHeight; ++y) {
                for (LONG x = 0; x < c.targetWidth; ++x) {
                    EXPECT_EQ(expected[static_cast<std::size_t>(y) * c.targetWidth + x].has_value(),
                              !drawn.Untouched(x, y));
                }
            }
            continue;
        }
        EXPECT_TRUE(MatchesReference(drawn, expected, 1.0));
    }
}

}  // namespace

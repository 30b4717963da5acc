// The drag frame drawn on an in-memory screen: which pixels each drawing
// step inverts, that erasing restores the screen, and that nothing but the
// kept halftone brush outlives a step.
#include <gtest/gtest.h>

#include <memory>

#include "photo/drag_frame.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_testing.h"
#include "tests/support/print_types.h"

namespace {

constexpr LONG screenWidth = 64;
constexpr LONG screenHeight = 48;

// Whether the frame of rect with thickness t covers (x, y): rect minus its
// interior, the interior empty when rect is too small for one.
bool InFrame(const RECT& rect, SIZE t, LONG x, LONG y) {
    const bool inRect = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
    const bool hasInterior = rect.right - rect.left > 2 * t.cx && rect.bottom - rect.top > 2 * t.cy;
    const bool inInterior =
        hasInterior && x >= rect.left + t.cx && x < rect.right - t.cx && y >= rect.top + t.cy && y < rect.bottom - t.cy;
    return inRect && !inInterior;
}

class DragFrame : public testing::Test {
protected:
    void SetUp() override {
        screen_ = std::make_shared<gdi::MemoryScreen>(screenWidth, screenHeight);
        // A screen that is not uniform.
        for (LONG y = 0; y < screenHeight; ++y)
            for (LONG x = 0; x < screenWidth; ++x) screen_->SetPixel(x, y, static_cast<DWORD>(x * 4 + y * 1000));
        original_ = Copy();
        gdi::SetScreenBackend(screen_);
    }
    void TearDown() override {
        gdi::SetScreenBackend(nullptr);
        EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_REGION), 0) << "regions left";
        EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_DC), 0) << "surfaces left";
        EXPECT_LE(gdi::LiveObjectCount(gdi::OBJ_BRUSH), 1) << "only the halftone brush is kept";
        EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_BITMAP), 0) << "the pattern bitmap goes once the brush exists";
    }

    std::vector<DWORD> Copy() const { return {screen_->Pixels(), screen_->Pixels() + screenWidth * screenHeight}; }

    bool Draw(const RECT& rect, SIZE thickness, const RECT* previous = nullptr, SIZE previousThickness = {0, 0}) {
        const CScreenSurface surface;
        return DrawDragFrame(surface.Get(), rect, thickness, previous, previousThickness);
    }

    // The screen is the original with the pixels that lie in exactly one of
    // the given frames inverted where x + y is odd.
    void ExpectInverted(std::initializer_list<std::pair<RECT, SIZE>> frames) {
        int wrong = 0;
        for (LONG y = 0; y < screenHeight; ++y) {
            for (LONG x = 0; x < screenWidth; ++x) {
                bool inverted = false;
                for (const auto& [rect, thickness] : frames) inverted ^= InFrame(rect, thickness, x, y);
                inverted = inverted && (x + y) % 2 != 0;
                const DWORD expected = original_[y * screenWidth + x] ^ (inverted ? 0xFFFFFFu : 0u);
                if (screen_->Pixel(x, y) != expected && wrong++ == 0) {
                    ADD_FAILURE() << "first wrong pixel " << x << ", " << y;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
    }

    std::shared_ptr<gdi::MemoryScreen> screen_;
    std::vector<DWORD> original_;
};

struct FrameCase {
    const char* name;
    RECT rect;
    SIZE thickness;
};

TEST_F(DragFrame, FrameOfOneRectangle) {
    const FrameCase cases[] = {
        {"thickness 5", {10, 8, 40, 30}, {5, 5}},
        {"different thicknesses", {10, 8, 40, 30}, {2, 7}},
        {"just room for an interior", {10, 8, 21, 19}, {5, 5}},
        {"too narrow for an interior: all frame", {10, 8, 20, 30}, {5, 5}},
        {"too low for an interior: all frame", {10, 8, 40, 18}, {5, 5}},
        // Shrunk by 7 the interior would turn inside out, not be empty.
        {"thicker than half the width: all frame", {10, 8, 20, 30}, {7, 3}},
        {"reaching past the screen", {-10, -20, 60, 70}, {5, 5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Draw(c.rect, c.thickness));
        ExpectInverted({{c.rect, c.thickness}});
        EXPECT_TRUE(Draw(c.rect, SIZE{0, 0}, &c.rect, c.thickness));
        EXPECT_TRUE(Copy() == original_) << "erasing restores the screen";
    }
}

TEST_F(DragFrame, NothingIsDrawnForEmptyFrames) {
    const FrameCase cases[] = {
        {"thickness 0 x 0", {10, 8, 40, 30}, {0, 0}},
        {"negative thickness", {10, 8, 40, 30}, {-3, -3}},
        {"no width", {10, 8, 10, 30}, {5, 5}},
        {"inside out", {40, 30, 10, 8}, {5, 5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Draw(c.rect, c.thickness));
        EXPECT_TRUE(Copy() == original_);
    }
}

TEST_F(DragFrame, MovingAFrameInvertsOnlyWhereOldAndNewDiffer) {
    const RECT first{5, 5, 35, 25};
    const RECT second{12, 9, 50, 40};
    const SIZE t{5, 5};
    ASSERT_TRUE(Draw(first, t));
    ASSERT_TRUE(Draw(second, t, &first, t));
    ExpectInverted({{second, t}});
    // The button-up's step: the frame of the final rectangle at 0 x 0 over
    // the last frame drawn, wherever the final rectangle is.
    const RECT final{20, 20, 30, 30};
    ASSERT_TRUE(Draw(final, SIZE{0, 0}, &second, t));
    EXPECT_TRUE(Copy() == original_);
}

TEST_F(DragFrame, WithoutAScreenSurfaceNothingIsDrawn) {
    gdi::SetScreenBackend(nullptr);
    const CScreenSurface surface;
    EXPECT_EQ(surface.Get(), nullptr);
    EXPECT_FALSE(DrawDragFrame(surface.Get(), RECT{10, 8, 40, 30}, SIZE{5, 5}, nullptr, SIZE{0, 0}));
    EXPECT_TRUE(Copy() == original_);
}

TEST_F(DragFrame, TheHalftoneBrushIsMadeOnceAndKept) {
    ASSERT_TRUE(Draw(RECT{10, 8, 40, 30}, SIZE{5, 5}));
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_BRUSH), 1);
    for (int i = 0; i < 20; ++i) {
        const RECT from{10 + i, 8, 40 + i, 30};
        const RECT to{11 + i, 8, 41 + i, 30};
        ASSERT_TRUE(Draw(to, SIZE{5, 5}, &from, SIZE{5, 5}));
    }
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_BRUSH), 1);
    const RECT last{30, 8, 60, 30};
    ASSERT_TRUE(Draw(last, SIZE{0, 0}, &last, SIZE{5, 5}));
    EXPECT_TRUE(Copy() == original_);
}

}  // namespace

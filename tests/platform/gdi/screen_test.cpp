#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_testing.h"
#include "tests/platform/gdi/drag_frame.h"
#include "tests/platform/gdi/live_objects.h"
#include "tests/support/print_types.h"

namespace {

using namespace gdi;
using namespace gditest;

// Every pixel different, so that a wrong inversion cannot hide.
std::shared_ptr<MemoryScreen> PaintedScreen(LONG width, LONG height) {
    auto screen = std::make_shared<MemoryScreen>(width, height);
    for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x) screen->SetPixel(x, y, 0x5A000000u | ((x * 0x0301u) ^ (y << 16)));
    return screen;
}

bool InFrame(const RECT& r, SIZE t, LONG x, LONG y) {
    const bool outer = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
    const bool inner = x >= r.left + t.cx && x < r.right - t.cx && y >= r.top + t.cy && y < r.bottom - t.cy;
    return outer && !inner;
}

class ScreenSurface : public LiveObjectsTest {
protected:
    void SetUp() override {
        screen_ = PaintedScreen(64, 48);
        original_ = PaintedScreen(64, 48);
        SetScreenBackend(screen_);
        brush_ = CreateHalftoneBrush();
    }
    void TearDown() override {
        DeleteObject(brush_);
        SetScreenBackend(nullptr);
        LiveObjectsTest::TearDown();
    }
    // Expects the screen to be the original with the frames' odd pixels
    // inverted.
    void ExpectFrames(const std::vector<RECT>& frames, SIZE thickness) {
        for (LONG y = 0; y < 48; ++y) {
            for (LONG x = 0; x < 64; ++x) {
                bool inverted = false;
                for (const RECT& r : frames) inverted ^= InFrame(r, thickness, x, y);
                inverted = inverted && (x + y) % 2 == 1;
                ASSERT_EQ(screen_->Pixel(x, y), original_->Pixel(x, y) ^ (inverted ? 0x00FFFFFFu : 0u))
                    << "at (" << x << ", " << y << ")";
            }
        }
    }

    std::shared_ptr<MemoryScreen> screen_;
    std::shared_ptr<MemoryScreen> original_;
    HBRUSH brush_ = nullptr;
};

TEST_F(ScreenSurface, AFrameInvertsExactlyItsPixelsWithOddCoordinateSums) {
    HDC dc = GetDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), OBJ_DC);
    RECT box{};
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{0, 0, 64, 48}));

    const RECT frame{10, 8, 41, 30};
    HRGN region = CreateFrameRegion(frame, SIZE{5, 5});
    ASSERT_TRUE(PaintInverted(dc, region, brush_));
    ExpectFrames({frame}, SIZE{5, 5});
    EXPECT_TRUE(DeleteObject(region));
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
}

TEST_F(ScreenSurface, PaintingTheSameRegionTwiceRestoresEveryByte) {
    HDC dc = GetDC(nullptr);
    // Partly off the screen, to cover the clipping to its bounds.
    HRGN region = CreateFrameRegion(RECT{-7, 20, 30, 60}, SIZE{5, 5});
    ASSERT_TRUE(PaintInverted(dc, region, brush_));
    ASSERT_TRUE(PaintInverted(dc, region, brush_));
    for (LONG y = 0; y < 48; ++y)
        for (LONG x = 0; x < 64; ++x) ASSERT_EQ(screen_->Pixel(x, y), original_->Pixel(x, y));
    EXPECT_TRUE(DeleteObject(region));
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
}

TEST_F(ScreenSurface, XorOfOldAndNewFramesMovesTheFrame) {
    const SIZE thickness{5, 5};
    const RECT steps[] = {{10, 8, 41, 30}, {12, 9, 45, 33}, {30, 20, 62, 47}, {31, 20, 40, 27}};
    HDC dc = GetDC(nullptr);
    HRGN first = CreateFrameRegion(steps[0], thickness);
    ASSERT_TRUE(PaintInverted(dc, first, brush_));
    DeleteObject(first);
    for (size_t i = 1; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(MoveFrame(dc, steps[i - 1], steps[i], thickness, brush_));
        ExpectFrames({steps[i]}, thickness);
    }
    ASSERT_TRUE(MoveFrame(dc, steps[3], steps[3], thickness, brush_)) << "nothing to paint";
    ExpectFrames({steps[3]}, thickness);
    // Erasing: the last frame against a frame of no thickness.
    HRGN last = CreateFrameRegion(steps[3], thickness);
    HRGN none = CreateFrameRegion(steps[3], SIZE{0, 0});
    CombineRgn(last, last, none, RGN_XOR);
    ASSERT_TRUE(PaintInverted(dc, last, brush_));
    ExpectFrames({}, thickness);
    DeleteObject(last);
    DeleteObject(none);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
}

// Records what reaches the back-end.
class RecordingScreen final : public ScreenBackend {
public:
    RECT Bounds() const override { return RECT{-100, -50, 100, 50}; }
    bool InvertPattern(const RECT* rects, size_t count, const BYTE rows[8]) override {
        calls.push_back(std::vector<RECT>(rects, rects + count));
        lastRows.assign(rows, rows + 8);
        return true;
    }
    std::vector<std::vector<RECT>> calls;
    std::vector<BYTE> lastRows;
};

TEST_F(ScreenSurface, TheBackEndGetsTheClippedRectanglesInOneCall) {
    auto recorder = std::make_shared<RecordingScreen>();
    SetScreenBackend(recorder);
    HDC dc = GetDC(nullptr);
    HRGN clip = CreateRectRgn(-120, -10, -90, 10);
    HRGN second = CreateRectRgn(0, 0, 40, 40);
    CombineRgn(clip, clip, second, RGN_OR);
    SelectClipRgn(dc, clip);
    SelectObject(dc, brush_);
    ASSERT_TRUE(PatBlt(dc, -95, -5, 120, 10, PATINVERT));
    ASSERT_EQ(recorder->calls.size(), 1u);
    // Clip and PatBlt rectangle intersected: [-95, -90) x [-5, 5) and
    // [0, 25) x [0, 5), in non-overlapping rectangles.
    const RECT left{-95, -5, -90, 5}, right{0, 0, 25, 5};
    auto within = [](const RECT& r, const RECT& outer) {
        return r.left >= outer.left && r.right <= outer.right && r.top >= outer.top && r.bottom <= outer.bottom &&
               r.left < r.right && r.top < r.bottom;
    };
    long area = 0;
    for (const RECT& r : recorder->calls[0]) {
        EXPECT_TRUE(within(r, left) || within(r, right)) << testing::PrintToString(r);
        area += (r.right - r.left) * (r.bottom - r.top);
    }
    EXPECT_EQ(area, 5 * 10 + 25 * 5);
    EXPECT_EQ(recorder->lastRows, (std::vector<BYTE>{0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA}));

    // Swapping the colours swaps the pattern; nothing to draw, no call.
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, RGB(0, 0, 0));
    ASSERT_TRUE(PatBlt(dc, 0, 0, 1, 1, PATINVERT));
    EXPECT_EQ(recorder->lastRows, (std::vector<BYTE>{0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}));
    const size_t calls = recorder->calls.size();
    ASSERT_TRUE(PatBlt(dc, 60, 60, 5, 5, PATINVERT));
    EXPECT_EQ(recorder->calls.size(), calls) << "outside the clip: nothing sent";

    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(clip);
    DeleteObject(second);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
}

TEST_F(ScreenSurface, OnlyInversionsReachTheScreen) {
    HDC dc = GetDC(nullptr);
    HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
    struct Case {
        const char* name;
        HGDIOBJ brush;
        DWORD rop;
        BOOL result;
        bool inverts;
    };
    const Case cases[] = {
        {"copy", GetStockObject(WHITE_BRUSH), PATCOPY, FALSE, false},
        {"blackness", GetStockObject(WHITE_BRUSH), BLACKNESS, FALSE, false},
        {"grey XOR", grey, PATINVERT, FALSE, false},
        {"black XOR", GetStockObject(BLACK_BRUSH), PATINVERT, TRUE, false},
        {"null brush", GetStockObject(NULL_BRUSH), PATINVERT, TRUE, false},
        {"white XOR", GetStockObject(WHITE_BRUSH), PATINVERT, TRUE, true},
        {"destination", GetStockObject(BLACK_BRUSH), DSTINVERT, TRUE, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HGDIOBJ previous = SelectObject(dc, c.brush);
        EXPECT_EQ(PatBlt(dc, 3, 4, 2, 1, c.rop), c.result);
        EXPECT_EQ(screen_->Pixel(3, 4), original_->Pixel(3, 4) ^ (c.inverts ? 0xFFFFFFu : 0u));
        EXPECT_EQ(screen_->Pixel(4, 4), original_->Pixel(4, 4) ^ (c.inverts ? 0xFFFFFFu : 0u));
        if (c.inverts) PatBlt(dc, 3, 4, 2, 1, c.rop);
        SelectObject(dc, previous);
    }
    DeleteObject(grey);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
}

TEST_F(ScreenSurface, ReleasedOnlyAsAScreenSurface) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(DeleteDC(screen));
    EXPECT_EQ(ReleaseDC(nullptr, memory), 0);
    // A surface keeps the back-end it was made on.
    SetScreenBackend(nullptr);
    EXPECT_EQ(GetDC(nullptr), nullptr);
    SelectObject(screen, GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(PatBlt(screen, 0, 0, 1, 1, PATINVERT));
    EXPECT_EQ(screen_->Pixel(0, 0), original_->Pixel(0, 0) ^ 0xFFFFFFu);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 0);
    EXPECT_TRUE(DeleteDC(memory));
}

}  // namespace

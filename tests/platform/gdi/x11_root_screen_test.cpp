// The drag frame on the root window of the test's own Xvfb, read back with
// XGetImage from a second connection.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/gdi/gdi.h"
#include "tests/platform/gdi/drag_frame.h"
#include "tests/platform/gdi/live_objects.h"
#include "tests/support/print_types.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using namespace gditest;

constexpr RECT area{40, 30, 200, 160};  // where the tests draw and look
constexpr SIZE thickness{5, 5};

class X11Root : public LiveObjectsTest {
protected:
    void SetUp() override {
        display_ = XOpenDisplay(nullptr);
        ASSERT_NE(display_, nullptr);
        screen_ = gdi::X11RootScreen::Open(nullptr);
        ASSERT_NE(screen_, nullptr);
        gdi::SetScreenBackend(screen_);
        brush_ = CreateHalftoneBrush();
        dc_ = gdi::GetDC(nullptr);
        ASSERT_NE(dc_, nullptr);
        before_ = Read();
    }
    void TearDown() override {
        if (dc_ != nullptr) gdi::ReleaseDC(nullptr, dc_);
        gdi::DeleteObject(brush_);
        gdi::SetScreenBackend(nullptr);
        screen_.reset();
        if (display_ != nullptr) XCloseDisplay(display_);
        LiveObjectsTest::TearDown();
    }

    // The pixels of `area` on the screen, windows included.
    std::vector<unsigned long> Read() {
        XImage* image = XGetImage(display_, DefaultRootWindow(display_), area.left, area.top, area.right - area.left,
                                  area.bottom - area.top, AllPlanes, ZPixmap);
        std::vector<unsigned long> pixels;
        if (image == nullptr) return pixels;
        for (LONG y = 0; y < area.bottom - area.top; ++y)
            for (LONG x = 0; x < area.right - area.left; ++x) pixels.push_back(XGetPixel(image, x, y));
        XDestroyImage(image);
        return pixels;
    }

    // Expects the screen to be as before with the frame's odd pixels inverted.
    void ExpectFrame(const RECT* frame) {
        const std::vector<unsigned long> after = Read();
        ASSERT_EQ(after.size(), before_.size());
        size_t i = 0;
        for (LONG y = area.top; y < area.bottom; ++y) {
            for (LONG x = area.left; x < area.right; ++x, ++i) {
                bool inverted = false;
                if (frame != nullptr) {
                    const RECT& r = *frame;
                    const bool outer = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                    const bool inner = x >= r.left + thickness.cx && x < r.right - thickness.cx &&
                                       y >= r.top + thickness.cy && y < r.bottom - thickness.cy;
                    inverted = outer && !inner && (x + y) % 2 == 1;
                }
                ASSERT_EQ(after[i], before_[i] ^ (inverted ? 0xFFFFFFul : 0ul)) << "at (" << x << ", " << y << ")";
            }
        }
    }

    Display* display_ = nullptr;
    std::shared_ptr<gdi::X11RootScreen> screen_;
    gdi::HBRUSH brush_ = nullptr;
    gdi::HDC dc_ = nullptr;
    std::vector<unsigned long> before_;
};

TEST_F(X11Root, CoversTheWholeScreen) {
    EXPECT_EQ(screen_->Bounds(), (RECT{0, 0, 1920, 1080}));
    RECT box{};
    EXPECT_EQ(gdi::GetClipBox(dc_, &box), gdi::SIMPLEREGION);
    EXPECT_EQ(box, (RECT{0, 0, 1920, 1080}));
}

TEST_F(X11Root, AFrameInvertsThePixelsWithOddCoordinateSums) {
    const RECT frame{50, 40, 121, 95};
    gdi::HRGN region = CreateFrameRegion(frame, thickness);
    ASSERT_TRUE(PaintInverted(dc_, region, brush_));
    ExpectFrame(&frame);
    ASSERT_TRUE(PaintInverted(dc_, region, brush_));
    EXPECT_EQ(Read(), before_) << "painting the region twice restores the screen";
    gdi::DeleteObject(region);
}

TEST_F(X11Root, XorOfOldAndNewFramesMovesTheFrame) {
    const RECT first{50, 40, 121, 95};
    const RECT second{61, 47, 180, 150};
    gdi::HRGN region = CreateFrameRegion(first, thickness);
    ASSERT_TRUE(PaintInverted(dc_, region, brush_));
    gdi::DeleteObject(region);
    ASSERT_TRUE(MoveFrame(dc_, first, second, thickness, brush_));
    ExpectFrame(&second);
    // Erasing paints the last frame once more.
    region = CreateFrameRegion(second, thickness);
    ASSERT_TRUE(PaintInverted(dc_, region, brush_));
    gdi::DeleteObject(region);
    EXPECT_EQ(Read(), before_);
}

TEST_F(X11Root, DrawsOverWindowsToo) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = 0x3366CC;
    const Window window = XCreateWindow(display_, DefaultRootWindow(display_), 70, 60, 80, 50, 0, CopyFromParent,
                                        InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapWindow(display_, window);
    XSync(display_, False);
    before_ = Read();
    ASSERT_EQ(before_[(80 - area.top) * (area.right - area.left) + (100 - area.left)], 0x3366CCul);

    const RECT frame{60, 50, 170, 130};
    gdi::HRGN region = CreateFrameRegion(frame, SIZE{30, 30});
    ASSERT_TRUE(PaintInverted(dc_, region, brush_));
    // (81, 62) lies over the window, inside the frame, with an odd sum.
    const std::vector<unsigned long> after = Read();
    const size_t i = (62 - area.top) * (area.right - area.left) + (81 - area.left);
    EXPECT_EQ(after[i], 0x3366CCul ^ 0xFFFFFFul);
    ASSERT_TRUE(PaintInverted(dc_, region, brush_));
    EXPECT_EQ(Read(), before_);
    gdi::DeleteObject(region);
    XDestroyWindow(display_, window);
    XSync(display_, False);
}

TEST(X11RootOpen, AnUnreachableDisplayGivesNoScreen) { EXPECT_EQ(gdi::X11RootScreen::Open(":4093"), nullptr); }

}  // namespace

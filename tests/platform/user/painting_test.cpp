// Painting: the paint surface covers the area to paint, clipped to it, and
// what is drawn is on the screen; nothing erases a window behind its
// handler's back.
#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_testing.h"
#include "platform/framework/framework.h"
#include "tests/platform/user/fill_window.h"
#include "tests/platform/user/recording_window.h"
#include "tests/support/gui_pump.h"
#include "tests/support/x_session.h"

namespace {

using namespace user;
using testsupport::PumpUntil;
using usertest::CFillWnd;
using usertest::ColourRef;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

constexpr std::uint32_t red = 0xFF0000;
constexpr std::uint32_t blue = 0x0000FF;
constexpr std::uint32_t green = 0x00FF00;

class Painting : public testing::Test {
protected:
    static constexpr int left = 400;
    static constexpr int top = 300;

    void SetUp() override {
        ASSERT_TRUE(window_.CreateEx(0, AfxRegisterWndClass(0), "painted window", WS_POPUP | WS_VISIBLE, left, top, 120,
                                     80, nullptr));
        ASSERT_TRUE(PumpUntil([&] { return Screen().At(60, 40) == red; }));
        window_.painted.clear();
    }
    void TearDown() override { window_.DestroyWindow(); }

    testsupport::Pixels Screen() { return x_.Grab(left, top, 120, 80); }

    CFillWnd window_;
    testsupport::CXSession x_;
};

TEST_F(Painting, OnlyTheInvalidAreaIsPaintedAndTheRestKeepsItsPixels) {
    window_.colour = blue;
    const RECT first{10, 10, 30, 30};
    const RECT second{60, 40, 90, 70};
    InvalidateRect(window_.GetSafeHwnd(), &first, TRUE);
    InvalidateRect(window_.GetSafeHwnd(), &second, TRUE);
    ASSERT_TRUE(PumpUntil([&] { return Screen().At(75, 55) == blue; }));

    ASSERT_EQ(window_.painted.size(), 1u);
    EXPECT_EQ(window_.painted[0], (RECT{10, 10, 90, 70}));
    const testsupport::Pixels screen = Screen();
    struct Probe {
        int x, y;
        std::uint32_t expected;
    };
    for (const Probe& probe :
         {Probe{10, 10, blue}, Probe{29, 29, blue}, Probe{30, 30, red}, Probe{45, 35, red}, Probe{60, 40, blue},
          Probe{89, 69, blue}, Probe{90, 69, red}, Probe{0, 0, red}, Probe{119, 79, red}}) {
        EXPECT_EQ(screen.At(probe.x, probe.y), probe.expected) << probe.x << ", " << probe.y;
    }
}

TEST_F(Painting, PaintingOutsideAPaintMessageShowsAtOnce) {
    const RECT part{20, 20, 40, 30};
    InvalidateRect(window_.GetSafeHwnd(), &part, FALSE);
    PAINTSTRUCT paint;
    window_.colour = green;
    const gdi::HDC dc = BeginPaint(window_.GetSafeHwnd(), &paint);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(paint.rcPaint, part);
    window_.Fill(dc);
    EXPECT_TRUE(EndPaint(window_.GetSafeHwnd(), &paint));
    EXPECT_FALSE(EndPaint(window_.GetSafeHwnd(), &paint)) << "a surface ends once";
    EXPECT_TRUE(PumpUntil([&] { return Screen().At(25, 25) == green; }));
    EXPECT_EQ(Screen().At(45, 25), red);
}

TEST_F(Painting, PaintSurfacesNeverOutliveThePaint) {
    const long before = gdi::LiveObjectCount(gdi::OBJ_DC);
    window_.endPainting = false;
    InvalidateRect(window_.GetSafeHwnd(), nullptr, FALSE);
    ASSERT_TRUE(PumpUntil([&] { return !window_.painted.empty(); }));
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_DC), before);
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_BRUSH), 0);
}

TEST_F(Painting, OnlyAClassBackgroundErases) {
    // Neither window's handler draws: the screen shows what erasing did.
    const gdi::HBRUSH background = gdi::CreateSolidBrush(ColourRef(green));
    CFillWnd erased;
    erased.fill = false;
    ASSERT_TRUE(erased.CreateEx(0, AfxRegisterWndClass(0, nullptr, background), "erased window", WS_POPUP | WS_VISIBLE,
                                600, 500, 40, 40, nullptr));
    EXPECT_TRUE(PumpUntil([&] { return x_.Grab(600, 500, 40, 40).At(5, 5) == green; }));
    ASSERT_FALSE(erased.erase.empty());
    EXPECT_FALSE(erased.erase.back()) << "the class brush erased it";

    window_.fill = false;
    InvalidateRect(window_.GetSafeHwnd(), nullptr, TRUE);
    ASSERT_TRUE(PumpUntil([&] { return !window_.erase.empty(); }));
    EXPECT_TRUE(window_.erase.back()) << "without a class brush the handler is asked to erase";
    testsupport::Settle();
    EXPECT_EQ(Screen().At(60, 40), red);

    erased.DestroyWindow();
    gdi::DeleteObject(background);
}

}  // namespace

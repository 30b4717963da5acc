// Parts of windows beyond the screen are not painted, and are painted once
// they come onto it, for top-level windows and for child windows moving with
// their top-level window.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/framework/framework.h"
#include "tests/platform/user/fill_window.h"
#include "tests/support/gui_pump.h"
#include "tests/support/print_types.h"
#include "tests/support/x_session.h"

namespace {

using namespace user;
using testsupport::PumpUntil;
using usertest::CFillWnd;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

// The private X server's screen.
constexpr int screenWidth = 1920;
constexpr int screenHeight = 1080;

constexpr std::uint32_t red = 0xFF0000;
constexpr std::uint32_t blue = 0x0000FF;

class OffScreenPaint : public testing::Test {
protected:
    std::uint32_t ScreenAt(int x, int y) { return x_.Grab(x, y, 1, 1).At(0, 0); }

    testsupport::CXSession x_;
};

TEST_F(OffScreenPaint, OnlyThePartOnTheScreenIsPainted) {
    const struct {
        const char* name;
        RECT window;  // left, top, width, height
        RECT paint;
    } cases[] = {
        {"on the screen", {400, 300, 120, 80}, {0, 0, 120, 80}},
        {"over the lower-right corner", {1800, 1000, 400, 300}, {0, 0, 120, 80}},
        {"largest window, around the screen",
         {-100, -100, 32767, 32767},
         {100, 100, 100 + screenWidth, 100 + screenHeight}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CFillWnd window;
        ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), "partly off the screen", WS_POPUP | WS_VISIBLE,
                                    c.window.left, c.window.top, c.window.right, c.window.bottom, nullptr));
        ASSERT_TRUE(PumpUntil([&] { return !window.painted.empty(); }));
        testsupport::Settle();
        EXPECT_EQ(window.painted.back(), c.paint);
        window.DestroyWindow();
    }
}

TEST_F(OffScreenPaint, PartsComingOntoTheScreenArePaintedThen) {
    CFillWnd window;
    ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), "moved onto the screen", WS_POPUP | WS_VISIBLE, 1800, 1000,
                                400, 300, nullptr));
    ASSERT_TRUE(PumpUntil([&] { return ScreenAt(1850, 1050) == red; }));

    // Nothing is invalidated: what was painted stays, what was skipped is
    // painted now, with erasing as for any newly shown part.
    window.colour = blue;
    window.painted.clear();
    MoveWindow(window.GetSafeHwnd(), 1500, 700, 400, 300, TRUE);
    ASSERT_TRUE(PumpUntil([&] { return ScreenAt(1500 + 300, 700 + 200) == blue; }));
    EXPECT_EQ(ScreenAt(1500 + 60, 700 + 40), red) << "painted before, kept";
    EXPECT_EQ(ScreenAt(1500 + 399, 700 + 299), blue);
    EXPECT_EQ(ScreenAt(1500 + 119, 700 + 299), blue);
    EXPECT_EQ(ScreenAt(1500 + 399, 700 + 79), blue);
    ASSERT_FALSE(window.painted.empty());
    EXPECT_TRUE(window.erase.back());
    window.DestroyWindow();
}

TEST_F(OffScreenPaint, ChildWindowsArePaintedWhenTheirWindowBringsThemOn) {
    CFillWnd parent;
    CFillWnd child;
    child.colour = blue;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "parent off the screen", WS_POPUP | WS_VISIBLE, 1850, 1000,
                                300, 200, nullptr));
    ASSERT_TRUE(child.CreateEx(0, AfxRegisterWndClass(0), "child", WS_CHILD | WS_VISIBLE, 20, 20, 200, 150,
                               parent.GetSafeHwnd()));
    ASSERT_TRUE(PumpUntil([&] { return ScreenAt(1880, 1030) == blue; }));

    MoveWindow(parent.GetSafeHwnd(), 1000, 500, 300, 200, TRUE);
    EXPECT_TRUE(PumpUntil([&] { return ScreenAt(1000 + 200, 500 + 150) == blue; }));
    EXPECT_EQ(ScreenAt(1000 + 250, 500 + 180), red) << "the parent's own uncovered part";
    child.DestroyWindow();
    parent.DestroyWindow();
}

}  // namespace

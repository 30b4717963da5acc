// Real pointer input through the X server: capture, moving by a body that
// calls itself caption, transparent children, pointer shapes.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/framework/framework.h"
#include "platform/user/user_testing.h"
#include "tests/platform/user/recording_window.h"
#include "tests/support/gui_pump.h"
#include "tests/support/x_session.h"

namespace {

using namespace user;
using namespace usertest;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

// Captures the mouse on a left press and lets it go on the release, like a
// window that drags something.
class CDragWnd : public CWnd {
public:
    std::vector<POINT> moves;
    std::vector<POINT> downs;
    std::vector<POINT> ups;
    std::vector<HWND> captureChanges;

protected:
    void OnLButtonDown(UINT flags, POINT point) override {
        SetCapture(GetSafeHwnd());
        downs.push_back(point);
        CWnd::OnLButtonDown(flags, point);
    }
    void OnMouseMove(UINT flags, POINT point) override {
        moves.push_back(point);
        CWnd::OnMouseMove(flags, point);
    }
    void OnLButtonUp(UINT flags, POINT point) override {
        ups.push_back(point);
        ReleaseCapture();
        CWnd::OnLButtonUp(flags, point);
    }
    void OnCaptureChanged(HWND newCapture) override {
        captureChanges.push_back(newCapture);
        CWnd::OnCaptureChanged(newCapture);
    }
};

class Input : public CWindowTest {
protected:
    void SetUp() override {
        CWindowTest::SetUp();
        x_.MovePointer(5, 1075);
        testsupport::Settle();
    }
    void TearDown() override {
        x_.ReleaseButton(1);
        if (GetCapture()) ReleaseCapture();
        CWindowTest::TearDown();
    }
    // Moves the pointer in small steps, each one handled before the next,
    // as a hand would.
    void Travel(int fromX, int fromY, int toX, int toY, int steps = 8) {
        for (int i = 1; i <= steps; ++i) {
            x_.MovePointer(fromX + (toX - fromX) * i / steps, fromY + (toY - fromY) * i / steps);
            testsupport::Settle();
        }
    }
    // Presses the left button at (fromX, fromY), travels to (toX, toY) and
    // lets go.
    void Drag(int fromX, int fromY, int toX, int toY) {
        x_.MovePointer(fromX, fromY);
        testsupport::Settle();
        x_.PressButton(1);
        testsupport::Settle();
        Travel(fromX, fromY, toX, toY);
        x_.ReleaseButton(1);
    }
};

TEST_F(Input, DragFromInsideToOutsideReachesTheCapturingWindowWithNegativeCoordinates) {
    CDragWnd window;
    ASSERT_TRUE(
        window.CreateEx(0, AfxRegisterWndClass(0), "drag source", WS_POPUP | WS_VISIBLE, 200, 200, 100, 100, nullptr));
    WaitUntilShown("drag source");
    x_.MovePointer(250, 250);
    testsupport::Settle();
    x_.PressButton(1);
    ASSERT_TRUE(PumpUntil([&] { return !window.downs.empty(); }));
    EXPECT_EQ(GetCapture(), window.GetSafeHwnd());
    Travel(250, 250, 150, 120);
    x_.MovePointer(100, 90);
    ASSERT_TRUE(PumpUntil([&] { return !window.moves.empty() && window.moves.back() == POINT{-100, -110}; }));
    x_.ReleaseButton(1);
    ASSERT_TRUE(PumpUntil([&] { return !window.ups.empty(); }));

    EXPECT_EQ(window.downs.front(), (POINT{50, 50}));
    EXPECT_NE(std::find(window.moves.begin(), window.moves.end(), POINT{-50, -80}), window.moves.end());
    EXPECT_EQ(window.ups.front(), (POINT{-100, -110}));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(window.captureChanges, (std::vector<HWND>{nullptr})) << "ReleaseCapture tells the window too";
    window.DestroyWindow();
}

TEST_F(Input, CaptureHoldsWithoutAButtonDown) {
    CDragWnd window;
    ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), "captured without button", WS_POPUP | WS_VISIBLE, 500, 500,
                                60, 60, nullptr));
    WaitUntilShown("captured without button");
    SetCapture(window.GetSafeHwnd());
    x_.MovePointer(470, 450);
    EXPECT_TRUE(PumpUntil([&] { return !window.moves.empty() && window.moves.back() == POINT{-30, -50}; }));
    x_.MovePointer(900, 800);
    EXPECT_TRUE(PumpUntil([&] { return window.moves.back() == POINT{400, 300}; }));
    window.DestroyWindow();
}

TEST_F(Input, TheWindowLosingTheCaptureIsTold) {
    CDragWnd holder;
    CDragWnd other;
    ASSERT_TRUE(
        holder.CreateEx(0, AfxRegisterWndClass(0), "capture holder", WS_POPUP | WS_VISIBLE, 10, 10, 30, 30, nullptr));
    ASSERT_TRUE(
        other.CreateEx(0, AfxRegisterWndClass(0), "capture taker", WS_POPUP | WS_VISIBLE, 50, 10, 30, 30, nullptr));
    struct Party {
        const char* name;
        void (*take)(HWND holder, HWND other);
        bool toOther;
    };
    const Party parties[] = {
        {"another window", [](HWND, HWND other) { SetCapture(other); }, true},
        {"release", [](HWND, HWND) { ReleaseCapture(); }, false},
        {"disabling", [](HWND holder, HWND) { EnableWindow(holder, FALSE); }, false},
        {"hiding", [](HWND holder, HWND) { ShowWindow(holder, SW_HIDE); }, false},
    };
    for (const Party& party : parties) {
        SCOPED_TRACE(party.name);
        EnableWindow(holder.GetSafeHwnd(), TRUE);
        ShowWindow(holder.GetSafeHwnd(), SW_SHOW);
        SetCapture(holder.GetSafeHwnd());
        holder.captureChanges.clear();
        party.take(holder.GetSafeHwnd(), other.GetSafeHwnd());
        const HWND expected = party.toOther ? other.GetSafeHwnd() : nullptr;
        EXPECT_EQ(holder.captureChanges, (std::vector<HWND>{expected}));
        EXPECT_EQ(GetCapture(), expected);
        ReleaseCapture();
    }

    // Destroying the holder tells it before its destroy handling.
    SetCapture(holder.GetSafeHwnd());
    const HWND held = holder.GetSafeHwnd();
    holder.captureChanges.clear();
    holder.DestroyWindow();
    EXPECT_EQ(holder.captureChanges, (std::vector<HWND>{nullptr}));
    EXPECT_FALSE(IsWindow(held));
    EXPECT_EQ(GetCapture(), nullptr);
    other.DestroyWindow();
}

TEST_F(Input, PressOnABodyThatCallsItselfCaptionMovesTheWindowByThePointersTravel) {
    const HWND window = Keep(CreateRecordingWindow("moved by its body", 300, 300, 100, 80));
    usertest::SetHitTest(window, HTCAPTION);
    const auto windowX = WaitUntilShown("moved by its body");
    Drag(310, 310, 350, 335);
    EXPECT_TRUE(PumpUntil([&] { return x_.Geometry(windowX) == ScreenRect{340, 325, 100, 80}; }));
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect, (RECT{340, 325, 440, 405}));
    EXPECT_EQ(Log().Count(window, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(Log().Count(window, WM_NCLBUTTONDOWN), 1);

    // After the release the pointer no longer carries the window.
    Travel(350, 335, 380, 360);
    testsupport::Settle();
    EXPECT_EQ(x_.Geometry(windowX), (ScreenRect{340, 325, 100, 80}));
}

TEST_F(Input, TransparentChildrenLetThePressFallThroughToTheWindow) {
    const HWND window = Keep(CreateRecordingWindow("window with children", 600, 300, 200, 100));
    usertest::SetHitTest(window, HTCAPTION);
    const HWND label = CreateRecordingWindow("label", 10, 10, 80, 30, window, WS_CHILD | WS_VISIBLE, 0);
    usertest::SetHitTest(label, HTTRANSPARENT);
    const HWND button = CreateRecordingWindow("button", 110, 10, 80, 30, window, WS_CHILD | WS_VISIBLE, 0);
    const auto windowX = WaitUntilShown("window with children");

    // A press on the button is the button's own.
    x_.MovePointer(730, 320);
    testsupport::Settle();
    x_.PressButton(1);
    x_.ReleaseButton(1);
    ASSERT_TRUE(PumpUntil([&] { return Log().Count(button, WM_LBUTTONUP) == 1; }));
    EXPECT_EQ(Log().Points(button, WM_LBUTTONDOWN), (std::vector<POINT>{{20, 10}}));

    // A press on the label moves the window.
    Drag(620, 320, 600, 350);
    EXPECT_TRUE(PumpUntil([&] { return x_.Geometry(windowX) == ScreenRect{580, 330, 200, 100}; }));
    EXPECT_EQ(Log().Count(label, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(Log().Count(window, WM_NCLBUTTONDOWN), 1);
}

TEST_F(Input, WithoutCaptureMovesGoToTheWindowUnderThePointer) {
    const HWND left = Keep(CreateRecordingWindow("left neighbour", 100, 600, 100, 100));
    const HWND right = Keep(CreateRecordingWindow("right neighbour", 200, 600, 100, 100));
    WaitUntilShown("right neighbour");
    x_.MovePointer(150, 650);
    testsupport::Settle();
    x_.PressButton(1);
    ASSERT_TRUE(PumpUntil([&] { return Log().Count(left, WM_LBUTTONDOWN) == 1; }));
    EXPECT_EQ(GetActiveWindow(), left) << "a click activates";
    Travel(150, 650, 250, 650);
    x_.ReleaseButton(1);
    ASSERT_TRUE(PumpUntil([&] { return Log().Count(right, WM_LBUTTONUP) == 1; }));
    for (const POINT& point : Log().Points(left, WM_MOUSEMOVE)) EXPECT_LT(point.x, 100);
    EXPECT_EQ(Log().Points(right, WM_LBUTTONUP), (std::vector<POINT>{{50, 50}}));
    EXPECT_EQ(Log().Count(left, WM_LBUTTONUP), 0);
}

TEST_F(Input, MoveFromTheWindowMenuFollowsThePointerUntilAClick) {
    const HWND window = Keep(
        CreateRecordingWindow("moved from its menu", 100, 200, 80, 60, nullptr, WS_POPUP | WS_VISIBLE | WS_SYSMENU, 0));
    const auto windowX = WaitUntilShown("moved from its menu");
    x_.MovePointer(500, 500);
    testsupport::Settle();
    SendMessageA(window, WM_SYSCOMMAND, SC_MOVE, 0);
    Travel(500, 500, 530, 520);
    EXPECT_TRUE(PumpUntil([&] { return x_.Geometry(windowX) == ScreenRect{130, 220, 80, 60}; }));
    x_.PressButton(1);
    x_.ReleaseButton(1);
    testsupport::Settle();
    Travel(530, 520, 560, 560);
    testsupport::Settle();
    EXPECT_EQ(x_.Geometry(windowX), (ScreenRect{130, 220, 80, 60})) << "the click ended the move";
    EXPECT_EQ(Log().Count(window, WM_ENTERSIZEMOVE), 1);
    EXPECT_EQ(Log().Count(window, WM_EXITSIZEMOVE), 1);
}

// Pointer shapes as the X server shows them.
class PointerShapes : public Input {
protected:
    testsupport::CursorPicture Shown() {
        testsupport::Settle();
        return x_.Cursor().value_or(testsupport::CursorPicture{});
    }
};

bool SamePicture(const testsupport::CursorPicture& a, const testsupport::CursorPicture& b) {
    return a.width == b.width && a.height == b.height && a.hotX == b.hotX && a.hotY == b.hotY && a.argb == b.argb;
}

TEST_F(PointerShapes, SetCursorChangesWhatTheWindowShows) {
    const HWND window = Keep(CreateRecordingWindow("shaped window", 700, 600, 100, 100));
    WaitUntilShown("shaped window");
    x_.MovePointer(750, 650);
    ASSERT_TRUE(PumpUntil([&] { return Log().Count(window, WM_MOUSEMOVE) > 0; }));

    const HCURSOR sizing = LoadCursorA(nullptr, IDC_SIZENWSE);
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    const HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    ASSERT_TRUE(sizing && arrow && wait);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow) << "shapes are shared";

    SetCursor(sizing);
    const auto sizingPicture = Shown();
    EXPECT_EQ(SetCursor(arrow), sizing);
    const auto arrowPicture = Shown();
    SetCursor(wait);
    const auto waitPicture = Shown();
    EXPECT_EQ(GetCursor(), wait);
    EXPECT_FALSE(SamePicture(sizingPicture, arrowPicture));
    EXPECT_FALSE(SamePicture(waitPicture, arrowPicture));
    EXPECT_FALSE(SamePicture(waitPicture, sizingPicture));
    SetCursor(sizing);
    EXPECT_TRUE(SamePicture(Shown(), sizingPicture)) << "the same shape looks the same again";
}

TEST_F(PointerShapes, TheProgramsCursorIsShownAsDrawnAlsoOutsideTheCapturingWindow) {
    // A 32 x 32 picture: opaque black and white halves with a transparent
    // corner, hot spot (3, 5).
    std::vector<std::uint32_t> argb(32 * 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            argb[static_cast<std::size_t>(y) * 32 + x] =
                (x > 24 && y > 24) ? 0x00000000 : (x < 16 ? 0xFF000000 : 0xFFFFFFFF);
        }
    }
    ASSERT_TRUE(RegisterCursorResource(137, CursorResource{ImageResource{32, 32, 1, argb.data()}, POINT{3, 5}}));
    const HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(137));
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(138)), nullptr) << "not registered";
    EXPECT_EQ(LoadCursorA(reinterpret_cast<HINSTANCE>(0x1234), MAKEINTRESOURCEA(137)), nullptr);

    const HWND window = Keep(CreateRecordingWindow("capturing shaped window", 700, 400, 50, 50));
    WaitUntilShown("capturing shaped window");
    SetCapture(window);
    x_.MovePointer(900, 900);
    ASSERT_TRUE(PumpUntil([&] { return !Log().Points(window, WM_MOUSEMOVE).empty(); }));
    SetCursor(hand);
    const auto picture = Shown();
    EXPECT_EQ(picture.width, 32);
    EXPECT_EQ(picture.height, 32);
    EXPECT_EQ(picture.hotX, 3);
    EXPECT_EQ(picture.hotY, 5);
    EXPECT_EQ(picture.argb, argb);
}

}  // namespace

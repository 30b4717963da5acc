// Windows on the X server: placement, ownership, destruction, painting
// requests, activation, creation hooks and refusal of dead handles.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/user/user.h"
#include "platform/user/user_testing.h"
#include "tests/platform/user/recording_window.h"
#include "tests/support/gui_pump.h"
#include "tests/support/x_session.h"

namespace {

using namespace user;
using namespace usertest;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

class Windows : public CWindowTest {};

TEST_F(Windows, PopupSitsExactlyAtItsRectangleWithoutFrameAboveItsOwner) {
    const HWND owner = Keep(CreateRecordingWindow("owner for exact popup", 10, 10, 100, 100));
    const HWND popup = Keep(CreateRecordingWindow("exact popup", 150, 50, 383, 224, owner));
    ASSERT_NE(popup, nullptr);
    const auto ownerX = WaitUntilShown("owner for exact popup");
    const auto popupX = WaitUntilShown("exact popup");
    ASSERT_NE(popupX, 0u);

    EXPECT_EQ(x_.Geometry(popupX), (ScreenRect{150, 50, 383, 224}));
    EXPECT_EQ(x_.BorderWidth(popupX), 0);
    EXPECT_EQ(x_.TransientFor(popupX), ownerX);
    const auto types = x_.WindowTypes(popupX);
    EXPECT_NE(std::find(types.begin(), types.end(), "_NET_WM_WINDOW_TYPE_UTILITY"), types.end());

    RECT window{};
    RECT client{};
    ASSERT_TRUE(GetWindowRect(popup, &window));
    ASSERT_TRUE(GetClientRect(popup, &client));
    EXPECT_EQ(window, (RECT{150, 50, 533, 274}));
    EXPECT_EQ(client, (RECT{0, 0, 383, 224}));
    EXPECT_EQ(GetParent(popup), owner);
    EXPECT_EQ(GetParent(owner), nullptr);
}

TEST_F(Windows, ToolWindowsStayOffTheTaskBarUnlessAskedOnIt) {
    struct Case {
        const char* title;
        DWORD exStyle;
        bool offTaskBar;
    };
    const Case cases[] = {
        {"tool window", WS_EX_TOOLWINDOW, true},
        {"tool window on the task bar", WS_EX_TOOLWINDOW | WS_EX_APPWINDOW, false},
        {"plain window", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        Keep(CreateRecordingWindow(c.title, 600, 10, 40, 40, nullptr, WS_POPUP | WS_VISIBLE, c.exStyle));
        const auto states = x_.WindowStates(WaitUntilShown(c.title));
        EXPECT_EQ(std::find(states.begin(), states.end(), "_NET_WM_STATE_SKIP_TASKBAR") != states.end(), c.offTaskBar);
    }
}

TEST_F(Windows, OwnedWindowsStayAboveTheirOwner) {
    const HWND owner = Keep(CreateRecordingWindow("stacked owner", 10, 300, 200, 200));
    Keep(CreateRecordingWindow("stacked owned", 50, 350, 50, 50, owner));
    Keep(CreateRecordingWindow("unrelated on top", 0, 280, 300, 300));
    const auto ownerX = WaitUntilShown("stacked owner");
    const auto ownedX = WaitUntilShown("stacked owned");
    const auto otherX = WaitUntilShown("unrelated on top");

    SetActiveWindow(owner);
    auto position = [&](unsigned long window) {
        const auto order = x_.StackingOrder();
        return std::find(order.begin(), order.end(), window) - order.begin();
    };
    EXPECT_TRUE(PumpUntil([&] { return position(ownerX) > position(otherX); }));
    EXPECT_GT(position(ownedX), position(ownerX));
}

TEST_F(Windows, WindowIconsCarryEverySizeOfTheIcon) {
    std::vector<std::uint32_t> small(16 * 16, 0xFF336699);
    std::vector<std::uint32_t> large(32 * 32, 0xFF996633);
    const ImageResource images[] = {{16, 16, 24, small.data()}, {32, 32, 24, large.data()}};
    ASSERT_TRUE(RegisterIconResource(128, IconResource{images}));
    const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128)), icon) << "icons are shared";
    EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(129)), nullptr);
    EXPECT_NE(LoadIconA(nullptr, IDI_EXCLAMATION), nullptr);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(1)), nullptr);

    const HWND window = Keep(
        CreateRecordingWindow("window with icons", 10, 10, 40, 40, nullptr, WS_POPUP | WS_VISIBLE, WS_EX_APPWINDOW));
    EXPECT_EQ(SendMessageA(window, WM_SETICON, 1, reinterpret_cast<LPARAM>(icon)), 0);
    EXPECT_EQ(SendMessageA(window, WM_SETICON, 0, reinterpret_cast<LPARAM>(icon)), 0);
    EXPECT_EQ(SendMessageA(window, WM_GETICON, 1, 0), reinterpret_cast<LRESULT>(icon));
    const auto windowX = WaitUntilShown("window with icons");
    EXPECT_TRUE(PumpUntil([&] {
        const auto sizes = x_.IconSizes(windowX);
        return std::find(sizes.begin(), sizes.end(), std::make_pair(16, 16)) != sizes.end() &&
               std::find(sizes.begin(), sizes.end(), std::make_pair(32, 32)) != sizes.end();
    }));
}

TEST_F(Windows, DestroyingTheOwnerDestroysOwnedWindowsFirst) {
    const HWND owner = CreateRecordingWindow("destroyed owner", 10, 10, 100, 100);
    const HWND first = CreateRecordingWindow("owned one", 200, 10, 50, 50, owner);
    const HWND second = CreateRecordingWindow("owned two", 300, 10, 50, 50, owner);
    const HWND child = CreateRecordingWindow("child of owned", 5, 5, 20, 20, first, WS_CHILD | WS_VISIBLE, 0);
    const auto secondX = WaitUntilShown("owned two");
    Log().Clear();

    ASSERT_TRUE(DestroyWindow(owner));

    std::vector<HWND> destroyed;
    for (const auto& entry : Log().Entries()) {
        if (entry.message == WM_DESTROY) destroyed.push_back(entry.window);
    }
    EXPECT_EQ(destroyed, (std::vector<HWND>{first, child, second, owner}));
    for (HWND window : {owner, first, second, child}) {
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(Log().Count(window, WM_NCDESTROY), 1);
    }
    EXPECT_TRUE(PumpUntil([&] { return !x_.IsShown(secondX); }));
}

struct MoveCase {
    const char* name;
    int x, y, width, height;
    RECT windowRect;
    ScreenRect shown;  // what the X server shows
};

TEST_F(Windows, MoveWindowPlacesExactlyAndKeepsSidesWithinWhatTheServerShows) {
    const MoveCase cases[] = {
        {"exact", 300, 200, 50, 60, {300, 200, 350, 260}, {300, 200, 50, 60}},
        {"side beyond the limit", 10, 20, 40000, 100, {10, 20, 32777, 120}, {10, 20, 32767, 100}},
        {"empty", 40, 30, 0, 0, {40, 30, 40, 30}, {40, 30, 1, 1}},
        {"negative side", 40, 30, -5, 10, {40, 30, 40, 40}, {40, 30, 1, 10}},
        {"position beyond the limit", -40000, 50, 10, 10, {-32767, 50, -32757, 60}, {-32767, 50, 10, 10}},
    };
    const HWND window = Keep(CreateRecordingWindow("moved window", 0, 0, 10, 10));
    const auto windowX = WaitUntilShown("moved window");
    for (const MoveCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(MoveWindow(window, c.x, c.y, c.width, c.height, TRUE));
        RECT rect{};
        GetWindowRect(window, &rect);
        EXPECT_EQ(rect, c.windowRect);
        RECT client{};
        GetClientRect(window, &client);
        EXPECT_EQ(client, (RECT{0, 0, c.windowRect.right - c.windowRect.left, c.windowRect.bottom - c.windowRect.top}));
        EXPECT_TRUE(PumpUntil([&] { return x_.Geometry(windowX) == c.shown; }));
    }
}

TEST_F(Windows, InvalidationsBeforeAPaintGiveOnePaint) {
    const HWND window = Keep(CreateRecordingWindow("invalidated window", 50, 400, 80, 60));
    WaitUntilShown("invalidated window");
    ASSERT_TRUE(PumpUntil([&] { return Log().Count(window, WM_PAINT) > 0; }));
    testsupport::Settle();
    Log().Clear();

    const RECT part{10, 10, 20, 20};
    InvalidateRect(window, &part, TRUE);
    InvalidateRect(window, nullptr, TRUE);
    InvalidateRect(window, &part, FALSE);
    ASSERT_TRUE(PumpUntil([&] { return Log().Count(window, WM_PAINT) > 0; }));
    testsupport::Settle();
    EXPECT_EQ(Log().Count(window, WM_PAINT), 1);
}

TEST_F(Windows, OwnedWindowsHideWhileTheirOwnerIsMinimised) {
    const HWND owner = Keep(CreateRecordingWindow("minimised owner", 10, 600, 100, 100, nullptr,
                                                  WS_POPUP | WS_VISIBLE | WS_MINIMIZEBOX, 0));
    Keep(CreateRecordingWindow("hidden with owner", 200, 600, 50, 50, owner));
    const auto ownedX = WaitUntilShown("hidden with owner");

    ShowWindow(owner, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(owner));
    EXPECT_TRUE(PumpUntil([&] { return !x_.IsShown(ownedX); }));

    ShowWindow(owner, SW_RESTORE);
    EXPECT_FALSE(IsIconic(owner));
    EXPECT_TRUE(PumpUntil([&] { return x_.IsShown(ownedX); }));
}

TEST_F(Windows, ActivationIsTrackedPerOwner) {
    const HWND owner = Keep(CreateRecordingWindow("activation owner", 10, 700, 100, 100));
    EXPECT_EQ(GetActiveWindow(), owner);
    EXPECT_EQ(GetLastActivePopup(owner), owner);

    const HWND first = Keep(CreateRecordingWindow("first popup", 200, 700, 50, 50, owner));
    EXPECT_EQ(GetActiveWindow(), first);
    EXPECT_EQ(GetLastActivePopup(owner), first);
    const HWND second = CreateRecordingWindow("second popup", 300, 700, 50, 50, owner);
    EXPECT_EQ(GetLastActivePopup(owner), second);

    SetActiveWindow(first);
    EXPECT_EQ(GetLastActivePopup(owner), first);
    SetActiveWindow(second);
    DestroyWindow(second);
    // The owner takes the activation back.
    EXPECT_EQ(GetActiveWindow(), owner);
    EXPECT_EQ(GetLastActivePopup(owner), owner);
}

TEST_F(Windows, EnablingReportsThePreviousState) {
    const HWND window = Keep(CreateRecordingWindow("enabled window", 10, 10, 30, 30));
    EXPECT_FALSE(EnableWindow(window, FALSE));
    EXPECT_FALSE(IsWindowEnabled(window));
    EXPECT_TRUE(EnableWindow(window, FALSE));
    EXPECT_TRUE(EnableWindow(window, TRUE));
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ(Log().Count(window, WM_ENABLE), 2);
}

TEST_F(Windows, TextIsCopiedWithinTheCallersBuffer) {
    const HWND window = Keep(CreateRecordingWindow("写真", 10, 10, 30, 30));
    EXPECT_EQ(GetWindowTextLengthA(window), 6);  // UTF-8 bytes
    char buffer[5];
    EXPECT_EQ(GetWindowTextA(window, buffer, sizeof buffer), 4);
    EXPECT_EQ(std::string(buffer), std::string("写真").substr(0, 4));
    ASSERT_TRUE(SetWindowTextA(window, "renamed window"));
    EXPECT_NE(WaitUntilShown("renamed window"), 0u);
}

TEST_F(Windows, DeadAndMadeUpHandlesAreRefused) {
    const HWND dead = CreateRecordingWindow("dead window", 10, 10, 30, 30);
    DestroyWindow(dead);
    const HWND madeUp = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x12345678));
    const HWND menuAsWindow = reinterpret_cast<HWND>(CreatePopupMenu());
    for (HWND window : {dead, madeUp, menuAsWindow, static_cast<HWND>(nullptr)}) {
        RECT rect{1, 2, 3, 4};
        POINT point{5, 6};
        EXPECT_FALSE(IsWindow(window));
        EXPECT_FALSE(GetWindowRect(window, &rect));
        EXPECT_FALSE(GetClientRect(window, &rect));
        EXPECT_FALSE(MoveWindow(window, 0, 0, 10, 10, TRUE));
        EXPECT_FALSE(ClientToScreen(window, &point));
        EXPECT_FALSE(DestroyWindow(window));
        EXPECT_FALSE(ShowWindow(window, SW_SHOW));
        if (window) {
            EXPECT_FALSE(InvalidateRect(window, nullptr, TRUE));
        }
        EXPECT_EQ(SendMessageA(window, WM_USER, 1, 2), 0);
        EXPECT_FALSE(PostMessageA(window, WM_USER, 1, 2));
        EXPECT_EQ(GetParent(window), nullptr);
        EXPECT_EQ(SetCapture(window), nullptr);
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(rect, (RECT{1, 2, 3, 4}));
        EXPECT_EQ(point, (POINT{5, 6}));
    }
    DestroyMenu(reinterpret_cast<HMENU>(menuAsWindow));
}

TEST_F(Windows, CreationIsRefusedForUnknownClassesAndParents) {
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr),
              nullptr);
    const HWND dead = CreateRecordingWindow("dead parent", 10, 10, 30, 30);
    DestroyWindow(dead);
    EXPECT_EQ(CreateRecordingWindow("orphan", 0, 0, 10, 10, dead), nullptr);
    EXPECT_EQ(CreateRecordingWindow("orphan child", 0, 0, 10, 10, nullptr, WS_CHILD | WS_VISIBLE, 0), nullptr);

    // A creation hook answering nonzero refuses the window; hooks run
    // newest first, each passing the call on with CallNextHookEx.
    static int refusals = 0;
    static HHOOK refusing = nullptr;
    static HHOOK passing = nullptr;
    refusing = SetWindowsHookExA(
        WH_CBT,
        [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (code != HCBT_CREATEWND) return CallNextHookEx(refusing, code, wParam, lParam);
            ++refusals;
            return 1;
        },
        nullptr, 0);
    passing = SetWindowsHookExA(
        WH_CBT, [](int code, WPARAM wParam, LPARAM lParam) { return CallNextHookEx(passing, code, wParam, lParam); },
        nullptr, 0);
    const long before = LiveWindowCount();
    EXPECT_EQ(CreateRecordingWindow("refused by a hook", 0, 0, 10, 10), nullptr);
    EXPECT_EQ(refusals, 1);
    EXPECT_EQ(LiveWindowCount(), before);
    EXPECT_TRUE(UnhookWindowsHookEx(refusing));
    EXPECT_FALSE(UnhookWindowsHookEx(refusing));
    const HWND allowed = CreateRecordingWindow("allowed once unhooked", 0, 0, 10, 10);
    EXPECT_NE(allowed, nullptr);
    EXPECT_EQ(refusals, 1);
    EXPECT_TRUE(UnhookWindowsHookEx(passing));
    DestroyWindow(allowed);
}

}  // namespace

// CWnd: binding before the first message, routing to handlers, Default()
// with the message's own parameters, and the end of the binding.
#include <gtest/gtest.h>

#include "platform/framework/framework.h"
#include "tests/platform/user/recording_window.h"
#include "tests/support/gui_pump.h"

namespace {

using namespace user;
using usertest::Log;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

class CProbeWnd : public CWnd {
public:
    std::vector<UINT> messages;
    bool boundAtCreate = false;
    std::vector<POINT> points;
    std::vector<std::tuple<UINT, UINT, HWND>> commands;
    std::vector<UINT> sysCommands;
    std::vector<HWND> destroyedWhileBound;
    bool* deleted = nullptr;
    bool deleteOnDestroy = false;
    HWND nestedTarget = nullptr;

    ~CProbeWnd() override {
        if (deleted) *deleted = true;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    int OnCreate(CREATESTRUCTA* create) override {
        boundAtCreate = FromHandlePermanent(GetSafeHwnd()) == this;
        return CWnd::OnCreate(create);
    }
    void OnLButtonDown(UINT flags, POINT point) override {
        points.push_back(point);
        // A message sent meanwhile must not change what Default() passes on.
        if (nestedTarget) SendMessageA(nestedTarget, WM_USER + 1, 0, 0);
        CWnd::OnLButtonDown(flags, point);
    }
    void OnMouseMove(UINT flags, POINT point) override {
        points.push_back(point);
        CWnd::OnMouseMove(flags, point);
    }
    void OnRButtonDown(UINT flags, POINT point) override {
        points.push_back(point);
        CWnd::OnRButtonDown(flags, point);
    }
    BOOL OnCommand(UINT id, UINT code, HWND control) override {
        commands.emplace_back(id, code, control);
        return id == 32775;
    }
    void OnSysCommand(UINT id, LPARAM lParam) override {
        sysCommands.push_back(id);
        CWnd::OnSysCommand(id, lParam);
    }
    void OnDestroy() override {
        destroyedWhileBound.push_back(GetSafeHwnd());
        CWnd::OnDestroy();
    }
    void PostNcDestroy() override {
        EXPECT_EQ(GetSafeHwnd(), nullptr) << "unbound before PostNcDestroy";
        if (deleteOnDestroy) delete this;
    }
};

TEST(CWnd, ObjectIsBoundBeforeTheFirstMessage) {
    CProbeWnd window;
    ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), "probe", WS_POPUP, 0, 0, 20, 20, nullptr));
    ASSERT_FALSE(window.messages.empty());
    EXPECT_EQ(window.messages.front(), WM_NCCREATE);
    EXPECT_TRUE(window.boundAtCreate);
    EXPECT_EQ(CWnd::FromHandlePermanent(window.GetSafeHwnd()), &window);
    EXPECT_FALSE(window.CreateEx(0, AfxRegisterWndClass(0), "again", WS_POPUP, 0, 0, 20, 20, nullptr))
        << "one object, one window";
}

TEST(CWnd, HandlersGetTheirMessagesParameters) {
    CProbeWnd window;
    ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), "handlers", WS_POPUP, 0, 0, 20, 20, nullptr));
    window.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, -7));
    window.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(32767, -32768));
    window.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 4));
    EXPECT_EQ(window.points, (std::vector<POINT>{{-5, -7}, {32767, -32768}, {3, 4}}));

    const HWND control = window.GetSafeHwnd();
    EXPECT_EQ(window.SendMessage(WM_COMMAND, MAKEWPARAM(32776, 1), reinterpret_cast<LPARAM>(control)), 0);
    EXPECT_EQ(window.commands.size(), 1u);
    EXPECT_EQ(window.commands[0], std::make_tuple(UINT{32776}, UINT{1}, control));
}

TEST(CWnd, DefaultPassesTheMessageOnUnchangedToTheOriginalProcedure) {
    const HWND recorded = usertest::CreateRecordingWindow("subclassed", 0, 0, 30, 30, nullptr, WS_POPUP, 0);
    const HWND other = usertest::CreateRecordingWindow("other", 0, 0, 30, 30, nullptr, WS_POPUP, 0);
    CProbeWnd window;
    ASSERT_TRUE(window.SubclassWindow(recorded));
    EXPECT_FALSE(CProbeWnd().SubclassWindow(recorded)) << "bound already";
    window.nestedTarget = other;
    Log().Clear();

    window.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 9));
    const auto passed = Log().Of(recorded, WM_LBUTTONDOWN);
    ASSERT_EQ(passed.size(), 1u);
    EXPECT_EQ(passed[0].wParam, MK_LBUTTON);
    EXPECT_EQ(passed[0].lParam, MAKELPARAM(7, 9));
    EXPECT_EQ(Log().Count(other, WM_USER + 1), 1);

    // A hit test nobody overrides is the default one.
    RECT rect{};
    GetWindowRect(recorded, &rect);
    EXPECT_EQ(window.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rect.left + 1, rect.top + 1)), HTCLIENT);
    EXPECT_EQ(window.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rect.right + 5, rect.top)), HTNOWHERE);

    EXPECT_EQ(window.UnsubclassWindow(), recorded);
    EXPECT_EQ(CWnd::FromHandlePermanent(recorded), nullptr);
    Log().Clear();
    SendMessageA(recorded, WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(window.points.size(), 1u) << "no longer routed to the object";
    EXPECT_EQ(Log().Count(recorded, WM_LBUTTONDOWN), 1);
    DestroyWindow(recorded);
    DestroyWindow(other);
}

TEST(CWnd, CloseCommandDestroysAndASelfOwnedObjectMayDeleteItself) {
    bool deleted = false;
    auto* window = new CProbeWnd;
    window->deleted = &deleted;
    window->deleteOnDestroy = true;
    ASSERT_TRUE(
        window->CreateEx(0, AfxRegisterWndClass(0), "self owned", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr));
    const HWND handle = window->GetSafeHwnd();
    EXPECT_EQ(window->destroyedWhileBound.size(), 0u);
    SendMessageA(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(IsWindow(handle));
}

TEST(CWnd, DestroyingTheObjectDestroysItsWindowWithoutReachingIt) {
    HWND handle = nullptr;
    {
        CProbeWnd window;
        ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), "scoped", WS_POPUP, 0, 0, 20, 20, nullptr));
        handle = window.GetSafeHwnd();
    }
    EXPECT_FALSE(IsWindow(handle));
}

TEST(CWnd, FrameworkClassesAreRegisteredOnceByTheirTraits) {
    const char* plain = AfxRegisterWndClass(0);
    ASSERT_NE(plain, nullptr);
    EXPECT_STREQ(plain, "Afx:00400000:0");
    EXPECT_EQ(AfxRegisterWndClass(0), plain);
    EXPECT_STREQ(AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW), "Afx:00400000:3");
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    const char* withCursor = AfxRegisterWndClass(0, arrow);
    EXPECT_NE(std::string(withCursor), std::string(plain));

    WNDCLASSA found{};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), plain, &found));
    EXPECT_EQ(found.style, 0u);
    EXPECT_EQ(found.hCursor, nullptr);
    EXPECT_EQ(found.hbrBackground, nullptr);
    EXPECT_EQ(found.lpfnWndProc, &DefWindowProcA);
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), withCursor, &found));
    EXPECT_EQ(found.hCursor, arrow);
}

}  // namespace

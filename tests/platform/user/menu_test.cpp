// Pop-up menus and window menus, chosen with the real pointer and keys
// from a helper thread while the GUI thread runs the menu.
#include <gtest/gtest.h>

#include <thread>

#include "platform/user/user.h"
#include "platform/user/user_testing.h"
#include "tests/platform/user/recording_window.h"
#include "tests/support/gui_pump.h"
#include "tests/support/x_session.h"

namespace {

using namespace user;
using namespace usertest;
using testsupport::OnHelperThread;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

// Waits for a menu to be on the screen and returns where it is; presses Esc
// if none shows, so that the GUI thread never waits for ever.
std::optional<ScreenRect> WaitForMenu(CXSession& x) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < end) {
        for (auto window : x.OverrideRedirectWindows()) {
            const auto geometry = x.Geometry(window);
            if (geometry && geometry->width > 20 && geometry->height > 20) {
                // Shown, and the program done with what showing it set off.
                testsupport::Settle();
                return x.Geometry(window);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    x.TapKey("Escape");
    return std::nullopt;
}

class Menus : public CWindowTest {
protected:
    void SetUp() override {
        CWindowTest::SetUp();
        owner_ = Keep(CreateRecordingWindow("menu owner", 100, 100, 200, 150));
        WaitUntilShown("menu owner");
        menu_ = CreatePopupMenu();
        AppendMenuA(menu_, MF_STRING, 11, "&First");
        AppendMenuA(menu_, MF_STRING, 12, "&Second");
        AppendMenuA(menu_, MF_STRING, 13, "&Third");
    }
    void TearDown() override {
        DestroyMenu(menu_);
        CWindowTest::TearDown();
    }

    HWND owner_ = nullptr;
    HMENU menu_ = nullptr;
};

TEST_F(Menus, ClickedItemReachesTheOwnerAfterTheMenuCloses) {
    auto helper = OnHelperThread([] {
        CXSession x;
        const auto menu = WaitForMenu(x);
        if (menu) {
            // The middle of three items.
            x.MovePointer(menu->x + menu->width / 2, menu->y + menu->height / 2);
            testsupport::Settle();
            x.PressButton(1);
            x.ReleaseButton(1);
        }
        return menu;
    });
    EXPECT_TRUE(TrackPopupMenu(menu_, 0, 400, 300, 0, owner_, nullptr));
    const auto menu = helper.get();
    ASSERT_TRUE(menu.has_value());
    EXPECT_EQ(menu->x, 400) << "upper-left corner at the point";
    EXPECT_EQ(menu->y, 300);
    EXPECT_EQ(Log().Count(owner_, WM_COMMAND), 0) << "the command arrives after the menu closed";
    ASSERT_TRUE(PumpUntil([&] { return Log().Count(owner_, WM_COMMAND) > 0; }));
    const auto commands = Log().Of(owner_, WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, MAKEWPARAM(12, 0));
}

TEST_F(Menus, KeysChooseAndEscDismissesWithoutACommand) {
    struct Case {
        const char* name;
        std::vector<const char*> keys;
        UINT flags;
        BOOL result;
        int commands;
    };
    const Case cases[] = {
        {"Down, Return", {"Down", "Return"}, 0, TRUE, 11},
        {"Esc", {"Escape"}, 0, TRUE, 0},
        {"mnemonic, returning the command", {"t"}, TPM_RETURNCMD, 13, 0},
        {"Down, Return, told nobody", {"Down", "Return"}, TPM_NONOTIFY, TRUE, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Log().Clear();
        auto helper = OnHelperThread([keys = c.keys] {
            CXSession x;
            const bool shown = WaitForMenu(x).has_value();
            for (const char* key : keys) x.TapKey(key);
            return shown;
        });
        EXPECT_EQ(TrackPopupMenu(menu_, c.flags, 500, 500, 0, owner_, nullptr), c.result);
        EXPECT_TRUE(helper.get());
        testsupport::Settle();
        const auto commands = Log().Of(owner_, WM_COMMAND);
        if (c.commands) {
            ASSERT_EQ(commands.size(), 1u);
            EXPECT_EQ(commands[0].wParam, static_cast<WPARAM>(c.commands));
        } else {
            EXPECT_TRUE(commands.empty());
        }
    }
}

TEST_F(Menus, OpeningAMenuTakesTheCaptureAway) {
    const HWND holder = CreateRecordingWindow("capture before menu", 400, 100, 40, 40);
    SetCapture(holder);
    auto helper = OnHelperThread([] {
        CXSession x;
        const bool shown = WaitForMenu(x).has_value();
        x.TapKey("Escape");
        return shown;
    });
    TrackPopupMenu(menu_, 0, 500, 500, 0, owner_, nullptr);
    EXPECT_TRUE(helper.get());
    EXPECT_EQ(GetCapture(), nullptr);
    const auto changes = Log().Of(holder, WM_CAPTURECHANGED);
    ASSERT_EQ(changes.size(), 1u);
    DestroyWindow(holder);
}

TEST_F(Menus, BadMenusAndOwnersAreRefused) {
    const HWND dead = CreateRecordingWindow("dead menu owner", 0, 0, 10, 10);
    DestroyWindow(dead);
    EXPECT_FALSE(TrackPopupMenu(menu_, 0, 0, 0, 0, dead, nullptr));
    EXPECT_FALSE(TrackPopupMenu(reinterpret_cast<HMENU>(owner_), 0, 0, 0, 0, owner_, nullptr));
    const HMENU empty = CreatePopupMenu();
    EXPECT_TRUE(TrackPopupMenu(empty, 0, 0, 0, 0, owner_, nullptr)) << "an empty menu closes at once";
    DestroyMenu(empty);
}

class WindowMenus : public CWindowTest {
protected:
    void SetUp() override {
        CWindowTest::SetUp();
        window_ = Keep(CreateRecordingWindow("window with a menu", 300, 400, 160, 100, nullptr,
                                             WS_POPUP | WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX, 0));
        SetHitTest(window_, HTCAPTION);
        WaitUntilShown("window with a menu");
        const HMENU menu = GetSystemMenu(window_, FALSE);
        ASSERT_NE(menu, nullptr);
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, 16, "バージョン情報 (&A)...");
    }
    std::vector<WPARAM> SysCommands() const {
        std::vector<WPARAM> commands;
        for (const auto& entry : Log().Of(window_, WM_SYSCOMMAND)) commands.push_back(entry.wParam);
        return commands;
    }

    HWND window_ = nullptr;
};

TEST_F(WindowMenus, TheMenuHasTheUsualItemsAndWhatWasAppended) {
    const HMENU menu = GetSystemMenu(window_, FALSE);
    EXPECT_EQ(GetSystemMenu(window_, FALSE), menu);
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) ids.push_back(GetMenuItemID(menu, i));
    EXPECT_EQ(ids, (std::vector<UINT>{SC_RESTORE, SC_MOVE, SC_MINIMIZE, 0, SC_CLOSE, 0, 16}));
    char text[64];
    GetMenuStringA(menu, 16, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "バージョン情報 (&A)...");

    EXPECT_EQ(GetSystemMenu(window_, TRUE), nullptr);
    EXPECT_EQ(GetMenuItemCount(GetSystemMenu(window_, FALSE)), 5) << "reverted to the standard menu";
    const HWND plain = CreateRecordingWindow("window without a menu", 0, 0, 10, 10);
    EXPECT_EQ(GetSystemMenu(plain, FALSE), nullptr);
    DestroyWindow(plain);
}

TEST_F(WindowMenus, RightClickOnACaptionBodyOpensItAndTheAppendedItemReportsItsId) {
    x_.MovePointer(380, 450);
    testsupport::Settle();
    auto helper = OnHelperThread([] {
        CXSession x;
        const auto menu = WaitForMenu(x);
        if (menu) {
            // The last item, at the bottom of the menu.
            x.MovePointer(menu->x + 20, menu->y + menu->height - 8);
            testsupport::Settle();
            x.PressButton(1);
            x.ReleaseButton(1);
        }
        return menu;
    });
    x_.PressButton(3);
    x_.ReleaseButton(3);
    ASSERT_TRUE(PumpUntil([&] { return helper.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    const auto menu = helper.get();
    ASSERT_TRUE(menu.has_value());
    EXPECT_EQ(menu->x, 380);
    EXPECT_EQ(menu->y, 450);
    ASSERT_TRUE(PumpUntil([&] { return !SysCommands().empty(); }));
    EXPECT_EQ(SysCommands(), (std::vector<WPARAM>{16}));
}

TEST_F(WindowMenus, AltSpaceOpensItAndCloseDestroysTheWindow) {
    SetFocus(window_);
    testsupport::Settle();
    auto helper = OnHelperThread([] {
        CXSession x;
        x.TapKey("space", {"Alt_L"});
        const auto menu = WaitForMenu(x);
        if (menu) x.TapKey("c");
        return menu;
    });
    ASSERT_TRUE(PumpUntil([&] { return helper.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    const auto menu = helper.get();
    ASSERT_TRUE(menu.has_value());
    EXPECT_EQ(menu->x, 300) << "at the window's upper-left corner";
    EXPECT_EQ(menu->y, 400);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window_); }));
    EXPECT_EQ(SysCommands(), (std::vector<WPARAM>{SC_KEYMENU, SC_CLOSE}));
}

}  // namespace

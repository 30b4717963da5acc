// The launcher inside the test program: what it sets up when it opens, the
// cascade of the photo windows it opens, what failed and cancelled
// openings leave, dragging it by its body, its window menu, and what
// closing it takes with it. Pointer and keys are real (XTest).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "image/dib_image.h"
#include "photo/geometry.h"
#include "photo/photo_wnd.h"
#include "platform/gdi/gdi_testing.h"
#include "platform/gdi/handles.h"
#include "platform/user/help_viewer.h"
#include "platform/framework/framework.h"
#include "platform/user/user_testing.h"
#include "res/resource_ids.h"
#include "tests/app/launcher_support.h"
#include "tests/app/pelmora_process.h"
#include "tests/platform/framework/test_dialogs.h"
#include "tests/support/gui_pump.h"

namespace {

using namespace user;
using namespace apptest;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

// 3:2 and 2:3 photos, so that the aspect shows in each window's size.
const std::string landscape = fixtures + "/jpeg-colour.jpg";

struct ImageSize {
    LONG width;
    LONG height;
};

ImageSize SizeOf(const std::string& path) {
    CDibImage image;
    EXPECT_EQ(image.LoadFromFile(path.c_str()), S_OK) << path;
    return ImageSize{image.width, image.height};
}

ScreenRect Cascaded(LONG openedBefore, const ImageSize& size) {
    return apptest::ToScreenRect(CascadeRect(openedBefore, size.width, size.height));
}

POINT Centre(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

TEST(PelmoraApp, UsesHtmlHelpFromTheFileBesideTheExecutable) {
    CPelmoraApp app;
    EXPECT_EQ(app.helpEngine, afxHTMLHelp);
    app.DerivePaths("/opt/tools/photo.bin");
    EXPECT_EQ(app.helpFilePath, "/opt/tools/photo.CHM");
    EXPECT_EQ(app.appTitle, "photo") << "the resources hold no title of their own";
}

TEST_F(LauncherTest, OpensAtTheCornerWithItsIconsTheAboutItemAndTheOpenButtonFocused) {
    RunLauncher([&] {
        const HWND launcher = Launcher();
        RECT rect{};
        GetWindowRect(launcher, &rect);
        EXPECT_EQ(rect.left, 0);
        EXPECT_EQ(rect.top, 0);
        EXPECT_EQ(launcher_->photoCount, 0);

        const HINSTANCE instance = GetModuleHandleA(nullptr);
        const HICON appIcon = LoadIconA(instance, MAKEINTRESOURCEA(res::IDR_MAINFRAME));
        ASSERT_NE(appIcon, nullptr);
        EXPECT_EQ(launcher_->appIcon, appIcon);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(launcher, WM_GETICON, ICON_BIG, 0)), appIcon);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(launcher, WM_GETICON, ICON_SMALL, 0)), appIcon);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(launcher, WM_QUERYDRAGICON, 0, 0)), appIcon);
        struct {
            int button;
            WORD icon;
        } const images[] = {{res::IDC_OPEN_PHOTO, res::IDI_OPEN_PHOTO},
                            {static_cast<int>(res::ID_HELP), res::IDI_HELP}};
        for (const auto& image : images) {
            const HICON shown =
                reinterpret_cast<HICON>(SendDlgItemMessageA(launcher, image.button, BM_GETIMAGE, IMAGE_ICON, 0));
            EXPECT_EQ(shown, LoadIconA(instance, MAKEINTRESOURCEA(image.icon))) << "button " << image.button;
            EXPECT_NE(shown, nullptr);
        }

        const HMENU menu = GetSystemMenu(launcher, FALSE);
        ASSERT_NE(menu, nullptr);
        const int count = GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        EXPECT_EQ(GetMenuItemID(menu, count - 2), 0u) << "a separator";
        EXPECT_EQ(GetMenuItemID(menu, count - 1), 16u);
        char text[64] = {};
        GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, "バージョン情報 (&A)...");

        EXPECT_TRUE(PumpUntil([&] { return GetFocus() == GetDlgItem(launcher, res::IDC_OPEN_PHOTO); }));
    });
}

TEST_F(LauncherTest, OkDoesNothingAndOnlyCancelEndsTheRun) {
    const INT_PTR result = RunLauncher([&] {
        SendMessageA(Launcher(), WM_COMMAND, IDOK, 0);
        testsupport::Settle();
        EXPECT_TRUE(IsWindowVisible(Launcher()));
        EXPECT_NE(x_.FindWindow(apptest::launcherTitle), 0u);
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(LauncherTest, PhotosCascadeByHowManyWereOpenedEvenAfterTheyClosed) {
    const ImageSize size = SizeOf(landscape);
    RunLauncher([&] {
        for (LONG opened = 0; opened <= 10; ++opened) {
            OpenPhoto(landscape);
            EXPECT_EQ(launcher_->photoCount, opened + 1);
            ASSERT_TRUE(PumpUntil([&] { return apptest::PhotoWindowRects(x_).size() == 1; }));
            if (opened == 0 || opened == 10) {
                EXPECT_EQ(apptest::PhotoWindowRects(x_).front(), Cascaded(opened, size)) << "photo " << opened + 1;
            }
            // Closed from its menu's command; the count stays.
            SendMessageA(GetLastActivePopup(Launcher()), WM_COMMAND, res::ID_PHOTO_CLOSE, 0);
            ASSERT_TRUE(PumpUntil([&] { return apptest::PhotoWindowRects(x_).empty(); }));
        }
    });
}

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}

TEST_F(LauncherTest, AThousandPhotosOpenedAndClosedLeaveNothingBehind) {
    struct Counts {
        long bitmaps, surfaces, memorySurfaces, fonts, windows;
        bool operator==(const Counts&) const = default;
    };
    const auto count = [] {
        return Counts{gdi::LiveObjectCount(gdi::OBJ_BITMAP), gdi::LiveObjectCount(gdi::OBJ_DC),
                      gdi::LiveObjectCount(gdi::OBJ_MEMDC), gdi::LiveObjectCount(gdi::OBJ_FONT), LiveWindowCount()};
    };
    RunLauncher([&] {
        const Counts start = count();
        const int widgets = apptest::ToolkitWidgetCount();
        long afterTenth = 0;
        for (int cycle = 1; cycle <= 1000; ++cycle) {
            // The open steps the command takes once its dialog has returned.
            ASSERT_TRUE(launcher_->OpenPhotoFile(landscape.c_str())) << "cycle " << cycle;
            HWND photo = nullptr;
            ASSERT_TRUE(PumpUntil([&] { return (photo = GetLastActivePopup(Launcher())) != Launcher(); }));
            auto* window = dynamic_cast<CPhotoWnd*>(CWnd::FromHandlePermanent(photo));
            ASSERT_NE(window, nullptr);
            launcher_->ClosePhotoWindow(window);
            ASSERT_FALSE(IsWindow(photo));
            // The toolkit deletes a closed window's widget from its loop, as
            // the program's own loop does between two clicks.
            ASSERT_TRUE(PumpUntil([&] { return apptest::ToolkitWidgetCount() == widgets; }));
            if (cycle == 10) afterTenth = ResidentKb();
        }
        const Counts end = count();
        EXPECT_EQ(end.bitmaps, start.bitmaps);
        EXPECT_EQ(end.surfaces, start.surfaces);
        // The pool keeps up to four idle memory surfaces for later use.
        EXPECT_LE(end.memorySurfaces, start.memorySurfaces + 4);
        EXPECT_EQ(end.fonts, start.fonts);
        EXPECT_EQ(end.windows, start.windows);
        EXPECT_LE(ResidentKb() - afterTenth, 5 * 1024) << "resident memory grew from the tenth cycle to the last";
    });
}

TEST_F(LauncherTest, FailedAndCancelledOpeningsTakeNoPlaceInTheCascade) {
    apptest::CTempFolder folder("pelmora_launcher");
    const std::string broken = folder.Path() + "/broken.jpg";
    std::ofstream(broken) << "not a photo at all";
    const std::string empty = folder.Path() + "/empty.png";
    std::ofstream(empty).flush();
    const std::string portrait = fixtures + "/png-rgb-8.png";
    const ImageSize size = SizeOf(portrait);

    RunLauncher([&] {
        OpenPhoto(landscape);
        ASSERT_EQ(launcher_->photoCount, 1);
        ASSERT_TRUE(PumpUntil([&] { return apptest::PhotoWindowRects(x_).size() == 1; }));
        for (const std::string& path : {broken, empty, std::string()}) {
            SCOPED_TRACE(path.empty() ? "cancelled" : path);
            OpenPhoto(path);
            EXPECT_EQ(launcher_->photoCount, 1);
            testsupport::Settle();
            EXPECT_EQ(apptest::PhotoWindowRects(x_).size(), 1u) << "no window";
            EXPECT_TRUE(IsWindowEnabled(Launcher())) << "the launcher is usable again";
        }
        OpenPhoto(portrait);
        EXPECT_EQ(launcher_->photoCount, 2);
        ASSERT_TRUE(PumpUntil([&] { return apptest::PhotoWindowRects(x_).size() == 2; }));
        EXPECT_EQ(apptest::PhotoWindowRects(x_).back(), Cascaded(1, size)) << "the place the failures did not take";
    });
}

TEST_F(LauncherTest, EscClosesTheLauncherAndEveryPhotoWindowWithIt) {
    const INT_PTR result = RunLauncher([&] {
        OpenPhoto(landscape);
        OpenPhoto(fixtures + "/gif-pattern.gif");
        ASSERT_TRUE(PumpUntil([&] { return apptest::PhotoWindowRects(x_).size() == 2; }));
        SetActiveWindow(Launcher());
        ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == Launcher(); }));
        x_.TapKey("Escape");
        // The run ends inside this wait.
        PumpUntil([&] { return !IsWindowVisible(Launcher()); });
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(PumpUntil([&] { return apptest::PhotoWindowRects(x_).empty(); }));
    EXPECT_EQ(x_.FindWindow(apptest::launcherTitle), 0u);
}

// Where a press starts and whether dragging from there moves the launcher.
struct DragCase {
    const char* name;
    int control;  // a button's id, or one of the places below
    bool moves;
};
constexpr int pressEmptyArea = 0;
constexpr int pressPicture = 1;
constexpr int pressLabel = 2;

class LauncherDrag : public LauncherTest, public testing::WithParamInterface<DragCase> {};

TEST_P(LauncherDrag, TheBodyDragsTheLauncherAndTheButtonsDoNot) {
    const DragCase& drag = GetParam();
    RunLauncher([&] {
        RECT before{};
        GetWindowRect(Launcher(), &before);
        POINT from{};
        const HWND banner = GetWindow(Launcher(), GW_CHILD);
        const HWND label = GetWindow(banner, GW_HWNDNEXT);
        RECT labelRect{};
        GetWindowRect(label, &labelRect);
        if (drag.control == pressEmptyArea) {
            // Between the help button and the label, under the banner.
            const RECT help = ControlRect(static_cast<int>(res::ID_HELP));
            from = POINT{(help.right + labelRect.left) / 2, (help.top + help.bottom) / 2};
        } else if (drag.control == pressPicture) {
            RECT rect{};
            GetWindowRect(banner, &rect);
            from = Centre(rect);
        } else if (drag.control == pressLabel) {
            from = Centre(labelRect);
        } else {
            from = Centre(ControlRect(drag.control));
        }
        auto done = testsupport::OnHelperThread([from] {
            CXSession x;
            apptest::Drag(x, from.x, from.y, from.x + 120, from.y + 90);
        });
        ASSERT_TRUE(PumpUntil([&] { return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
        testsupport::Settle();
        RECT after{};
        GetWindowRect(Launcher(), &after);
        if (drag.moves) {
            EXPECT_EQ(after.left, before.left + 120);
            EXPECT_EQ(after.top, before.top + 90);
            EXPECT_EQ(x_.Geometry(x_.FindWindow(apptest::launcherTitle))->x, after.left);
        } else {
            EXPECT_EQ(after.left, before.left);
            EXPECT_EQ(after.top, before.top);
        }
        EXPECT_EQ(launcher_->photoCount, 0) << "no button was clicked";
        EXPECT_FALSE(HelpViewerWindow()) << "no button was clicked";
    });
}

INSTANTIATE_TEST_SUITE_P(Launcher, LauncherDrag,
                         testing::Values(DragCase{"picture", pressPicture, true}, DragCase{"label", pressLabel, true},
                                         DragCase{"emptyArea", pressEmptyArea, true},
                                         DragCase{"openButton", res::IDC_OPEN_PHOTO, false},
                                         DragCase{"helpButton", static_cast<int>(res::ID_HELP), false}),
                         [](const testing::TestParamInfo<DragCase>& info) { return std::string(info.param.name); });

TEST_F(LauncherTest, WindowMenuOpensTheAboutBoxFromItsLastItem) {
    RunLauncher([&] {
        RECT banner{};
        GetWindowRect(GetWindow(Launcher(), GW_CHILD), &banner);
        const POINT at = Centre(banner);
        auto done = testsupport::OnHelperThread([at] {
            CXSession x;
            // A right click on the body is a right click on the caption.
            apptest::Click(x, at.x, at.y, 3);
            const bool menuShown = apptest::WaitFor([&] { return !x.OverrideRedirectWindows().empty(); });
            x.TapKey("Up");  // the last item
            x.TapKey("Return");
            const testsupport::XWindow about = x.WaitForWindow(apptest::aboutTitle, std::chrono::seconds(5));
            // Esc once the box has the keyboard; its close box if Esc was
            // lost, so that a failure cannot leave the box up for ever.
            const bool keyboard = about && apptest::WaitFor([&] { return x.KeyboardFocus() == about; });
            x.TapKey("Escape");
            if (about && !apptest::WaitFor([&] { return !x.IsShown(about); })) apptest::ClickCloseBox(x, about);
            return menuShown && about != 0 && keyboard;
        });
        ASSERT_TRUE(PumpUntil([&] { return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                              std::chrono::seconds(15)));
        EXPECT_TRUE(done.get()) << "the menu, then the About box from its last item";
        EXPECT_TRUE(PumpUntil([&] { return x_.FindWindow(apptest::aboutTitle) == 0; }));
        EXPECT_TRUE(IsWindowEnabled(Launcher()));
    });
}

TEST_F(LauncherTest, MinimisingHidesThePhotoWindowsAndRestoringShowsThem) {
    RunLauncher([&] {
        OpenPhoto(landscape);
        ASSERT_TRUE(PumpUntil([&] { return apptest::PhotoWindowRects(x_).size() == 1; }));
        SendMessageA(Launcher(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(PumpUntil([&] { return IsIconic(Launcher()) != FALSE; }));
        EXPECT_TRUE(PumpUntil([&] { return apptest::PhotoWindowRects(x_).empty(); }))
            << "photo windows are hidden with their owner";
        SendMessageA(Launcher(), WM_SYSCOMMAND, SC_RESTORE, 0);
        ASSERT_TRUE(PumpUntil([&] { return !IsIconic(Launcher()); }));
        EXPECT_TRUE(PumpUntil([&] { return apptest::PhotoWindowRects(x_).size() == 1; }));
    });
}

TEST_F(LauncherTest, HelpButtonAndF1InAPhotoWindowShowTheLaunchersTopic) {
    RunLauncher([&] {
        const POINT help = Centre(ControlRect(static_cast<int>(res::ID_HELP)));
        auto click = testsupport::OnHelperThread([help] {
            CXSession x;
            apptest::Click(x, help.x, help.y);
        });
        const std::optional<std::string> topic = TakeHelpTopic();
        click.get();
        ASSERT_TRUE(topic.has_value()) << "the viewer was shown";
        EXPECT_EQ(*topic, "/index.htm");

        OpenPhoto(landscape);
        ASSERT_TRUE(PumpUntil([&] { return apptest::PhotoWindowRects(x_).size() == 1; }));
        const HWND photo = GetLastActivePopup(Launcher());
        ASSERT_NE(photo, Launcher());
        SetActiveWindow(photo);
        ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == photo; }));
        x_.TapKey("F1");
        EXPECT_EQ(TakeHelpTopic().value_or("no viewer"), "/index.htm") << "context 131174";
    });
}

TEST_F(LauncherTest, HelpWithoutItsFileSaysSoAndLeavesTheLauncherAsItWas) {
    RunLauncher([&] {
        app_.helpFilePath = "/nonexistent/pelmora.CHM";
        RECT before{};
        GetWindowRect(Launcher(), &before);
        const auto box = usertest::AnswerNextBox(Launcher());
        const POINT help = Centre(ControlRect(static_cast<int>(res::ID_HELP)));
        auto click = testsupport::OnHelperThread([help] {
            CXSession x;
            apptest::Click(x, help.x, help.y);
        });
        ASSERT_TRUE(PumpUntil([&] { return box->shown; }));
        click.get();
        EXPECT_EQ(box->text, "Failed to launch help.");
        EXPECT_EQ(box->title, "pelmora") << "the executable's name";
        EXPECT_TRUE(box->exclamation);
        EXPECT_FALSE(box->ownerEnabled) << "owned by the launcher";
        EXPECT_EQ(HelpViewerWindow(), nullptr);
        EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(Launcher()) != FALSE; }));
        RECT after{};
        GetWindowRect(Launcher(), &after);
        EXPECT_EQ(after.left, before.left);
        EXPECT_EQ(launcher_->photoCount, 0);
    });
}

}  // namespace

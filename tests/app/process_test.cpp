// The real pelmora executable, started as a user starts it, on the test's
// own X server, driven with real keys and pointer: the launcher at start,
// Enter opening the file dialog and never closing the launcher, every way
// of closing the launcher ending the program with its photo windows, help
// with and without its file, and the window menu's About box.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <thread>

#include "photo/geometry.h"
#include "tests/app/pelmora_process.h"
#include "tests/support/print_types.h"
#include "tests/support/x_session.h"
#include "tests/support/xdnd_source.h"

namespace {

using apptest::CPelmoraProcess;
using apptest::CTempFolder;
using apptest::ShownWindows;
using apptest::WaitFor;
using testsupport::CXSession;
using testsupport::XWindow;

constexpr const char* launcherTitle = "写真をリサイズ";
constexpr const char* aboutTitle = "バージョン情報...";
constexpr const char* openDialogTitle = "Open";
constexpr const char* launcherHelpTitle = "Pelmora の使い方 - Pelmora ヘルプ";
constexpr const char* photoTitle = "test";
const std::string fixtures = PELMORA_FIXTURE_IMAGES;

class PelmoraProcess : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(x_.IsOpen()); }

    // Starts the executable and waits for its launcher.
    void Start(const std::string& executable = PELMORA_EXECUTABLE, const std::vector<std::string>& arguments = {}) {
        ASSERT_TRUE(process_.Start(executable, folder_.Path(), arguments));
        launcher_ = x_.WaitForWindow(launcherTitle, std::chrono::seconds(20));
        ASSERT_NE(launcher_, 0u) << "the launcher is shown";
        // The keyboard goes to the launcher (a photo opened from the
        // command line takes it from there, as any photo that opens does).
        if (arguments.empty()) {
            ASSERT_TRUE(HasKeyboard(launcher_));
        }
    }

    // Waits until window has the keyboard, so that keys typed next reach it.
    bool HasKeyboard(XWindow window) {
        return window != 0 && WaitFor([&] { return x_.KeyboardFocus() == window; }, std::chrono::seconds(10));
    }

    // Opens a photo through the launcher's file dialog, typing its path as
    // a user would.
    bool OpenPhoto(const std::string& path) {
        const std::size_t before = ShownWindows(x_, photoTitle).size();
        // The open button: 6, 42, 18 x 18 of the launcher's 102 x 63
        // dialog units.
        const auto launcher = x_.Geometry(launcher_);
        if (!launcher) return false;
        apptest::Click(x_, launcher->x + launcher->width * 15 / 102, launcher->y + launcher->height * 51 / 63);
        if (!HasKeyboard(x_.WaitForWindow(openDialogTitle, std::chrono::seconds(10)))) return false;
        x_.TypeText(path);
        // The name field's completion list comes up for a name that exists,
        // once the program has read the keys, and would take the Return:
        // Esc closes only the list.
        if (WaitFor([&] { return !x_.OverrideRedirectWindows().empty(); })) {
            x_.TapKey("Escape");
            if (!WaitFor([&] { return x_.OverrideRedirectWindows().empty(); })) return false;
        }
        x_.TapKey("Return");
        return apptest::WaitForWindowCount(x_, photoTitle, before + 1, std::chrono::seconds(10));
    }

    CXSession x_;
    CTempFolder folder_{"pelmora_process"};
    CPelmoraProcess process_;
    XWindow launcher_ = 0;
};

TEST_F(PelmoraProcess, StartsWithTheLauncherAtTheCornerAndEnterOpensTheFileDialog) {
    Start();
    const auto rect = x_.Geometry(launcher_);
    ASSERT_TRUE(rect);
    EXPECT_EQ(rect->x, 0);
    EXPECT_EQ(rect->y, 0);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        x_.TapKey("Return");
        ASSERT_TRUE(HasKeyboard(x_.WaitForWindow(openDialogTitle, std::chrono::seconds(10))))
            << "Enter presses the open button";
        x_.TapKey("Escape");
        EXPECT_TRUE(WaitFor([&] { return x_.FindWindow(openDialogTitle) == 0; })) << "cancelled";
        EXPECT_TRUE(x_.IsShown(launcher_)) << "Enter never closes the launcher";
        EXPECT_TRUE(process_.Running());
        EXPECT_TRUE(ShownWindows(x_, photoTitle).empty()) << "a cancelled open creates nothing";
        ASSERT_TRUE(HasKeyboard(launcher_));
    }
}

// The shown photo windows' rectangles, oldest first (the newest is on top).
std::vector<RECT> PhotoRects(CXSession& x) {
    std::vector<RECT> rects;
    for (const XWindow window : ShownWindows(x, photoTitle)) {
        if (const auto r = x.Geometry(window)) rects.push_back(RECT{r->x, r->y, r->x + r->width, r->y + r->height});
    }
    return rects;
}

TEST_F(PelmoraProcess, OpensTheFilesItIsStartedWithThatDecodeInOrder) {
    // 16 x 8 and 7 x 5, so that the windows' shapes tell them apart.
    const std::string first = folder_.Copy(fixtures + "/heic-smooth.heic", "first.heic");
    const std::string broken = folder_.Copy(fixtures + "/png-rgb-8.png", "broken.png");
    std::filesystem::resize_file(broken, 40);
    const std::string second = folder_.Copy(fixtures + "/webp-lossless.webp", "second.webp");
    // Neither a file that does not decode, nor a missing one, nor a folder
    // or an option takes a place in the cascade.
    Start(PELMORA_EXECUTABLE, {first, broken, folder_.Path() + "/missing.jpg", folder_.Path(), "--help", second});
    ASSERT_TRUE(apptest::WaitForWindowCount(x_, photoTitle, 2, std::chrono::seconds(10)));
    EXPECT_EQ(PhotoRects(x_), (std::vector<RECT>{CascadeRect(0, 16, 8), CascadeRect(1, 7, 5)}));
    EXPECT_TRUE(process_.Running());
}

TEST_F(PelmoraProcess, FilesDroppedOnTheLauncherOrOnAPhotoOpenInTheDropsOrder) {
    Start();
    const std::string first = folder_.Copy(fixtures + "/jxl-lossy.jxl", "first photo.jxl");       // 16 x 8
    const std::string second = folder_.Copy(fixtures + "/avif-pattern-12.avif", "second.avif");   // 7 x 5
    const std::string third = folder_.Copy(fixtures + "/heic-orientation-6.heic", "third.heic");  // 32 x 16
    const auto launcher = x_.Geometry(launcher_);
    ASSERT_TRUE(launcher);
    const int bannerX = launcher->x + launcher->width / 2, bannerY = launcher->y + launcher->height / 4;

    EXPECT_EQ(testsupport::DropUris(launcher_, bannerX, bannerY,
                                    {testsupport::FileUri(first), testsupport::FileUri(folder_.Path() + "/gone.png"),
                                     testsupport::FileUri(second)}),
              testsupport::DropOutcome::taken);
    ASSERT_TRUE(apptest::WaitForWindowCount(x_, photoTitle, 2, std::chrono::seconds(10)));
    EXPECT_EQ(PhotoRects(x_), (std::vector<RECT>{CascadeRect(0, 16, 8), CascadeRect(1, 7, 5)}));

    // A drop onto a photo window opens through the launcher: the next place
    // in the same cascade.
    const XWindow photo = ShownWindows(x_, photoTitle).front();
    const RECT onPhoto = CascadeRect(0, 16, 8);
    EXPECT_EQ(testsupport::DropUris(photo, (onPhoto.left + onPhoto.right) / 2, (onPhoto.top + onPhoto.bottom) / 2,
                                    {testsupport::FileUri(third)}),
              testsupport::DropOutcome::taken);
    ASSERT_TRUE(apptest::WaitForWindowCount(x_, photoTitle, 3, std::chrono::seconds(10)));
    EXPECT_EQ(PhotoRects(x_).back(), CascadeRect(2, 32, 16));

    // Only files on this machine are taken.
    for (const std::string& uri : {std::string("http://localhost/") + first, "file://elsewhere" + first}) {
        SCOPED_TRACE(uri);
        EXPECT_EQ(testsupport::DropUris(launcher_, bannerX, bannerY, {uri}), testsupport::DropOutcome::refused);
    }
    EXPECT_EQ(ShownWindows(x_, photoTitle).size(), 3u);
}

enum class CloseBy { escape, closeBox, altF4 };

class ClosingTheLauncher : public PelmoraProcess, public testing::WithParamInterface<CloseBy> {};

TEST_P(ClosingTheLauncher, EndsTheProgramWithEveryPhotoWindow) {
    Start();
    const std::string photo = folder_.Copy(fixtures + "/jpeg-colour.jpg", "photo.jpg");
    ASSERT_TRUE(OpenPhoto(photo));
    ASSERT_TRUE(OpenPhoto(photo));
    // The newest photo window has the keyboard: a click on the banner
    // gives it back to the launcher.
    const auto launcher = x_.Geometry(launcher_);
    ASSERT_TRUE(launcher);
    apptest::Click(x_, launcher->x + launcher->width / 2, launcher->y + launcher->height / 4);
    ASSERT_TRUE(HasKeyboard(launcher_));
    switch (GetParam()) {
        case CloseBy::escape: x_.TapKey("Escape"); break;
        case CloseBy::closeBox: apptest::ClickCloseBox(x_, launcher_); break;
        case CloseBy::altF4: x_.TapKey("F4", {"Alt_L"}); break;
    }
    int status = -1;
    ASSERT_TRUE(process_.WaitForExit(std::chrono::seconds(10), &status)) << "the program ends";
    EXPECT_TRUE(WIFEXITED(status)) << "and is not killed by a signal";
    EXPECT_TRUE(ShownWindows(x_, photoTitle).empty());
    EXPECT_EQ(x_.FindWindow(launcherTitle), 0u);
}

INSTANTIATE_TEST_SUITE_P(Launcher, ClosingTheLauncher,
                         testing::Values(CloseBy::escape, CloseBy::closeBox, CloseBy::altF4),
                         [](const testing::TestParamInfo<CloseBy>& info) {
                             switch (info.param) {
                                 case CloseBy::escape: return std::string("Escape");
                                 case CloseBy::closeBox: return std::string("CloseBox");
                                 case CloseBy::altF4: return std::string("AltF4");
                             }
                             return std::string();
                         });

TEST_F(PelmoraProcess, HelpButtonShowsTheLaunchersTopic) {
    Start();
    x_.TapKey("Tab");  // to the help button
    x_.TapKey("Return");
    EXPECT_NE(x_.WaitForWindow(launcherHelpTitle, std::chrono::seconds(10)), 0u);
    EXPECT_TRUE(process_.Running());
}

TEST_F(PelmoraProcess, HelpWithoutItsFileEndsInAMessageAndChangesNothing) {
    // A copy of the program in a folder of its own, without a help file:
    // its title and its help file are named after the copy.
    const std::string copy = folder_.Copy(PELMORA_EXECUTABLE, "helpless");
    std::filesystem::permissions(copy, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
    ASSERT_FALSE(std::filesystem::exists(folder_.Path() + "/helpless.CHM"));
    Start(copy);
    x_.TapKey("Tab");
    x_.TapKey("Return");
    const XWindow box = x_.WaitForWindow("helpless", std::chrono::seconds(10));
    ASSERT_NE(box, 0u) << "a message box with the program's title";
    EXPECT_EQ(x_.FindWindow(launcherHelpTitle), 0u);
    ASSERT_TRUE(HasKeyboard(box));
    x_.TapKey("Return");
    EXPECT_TRUE(WaitFor([&] { return !x_.IsShown(box); }));
    EXPECT_TRUE(x_.IsShown(launcher_));
    EXPECT_TRUE(process_.Running());
    // The launcher works as before.
    ASSERT_TRUE(HasKeyboard(launcher_));
    x_.TapKey("Escape");
    EXPECT_TRUE(process_.WaitForExit(std::chrono::seconds(10)));
}

TEST_F(PelmoraProcess, WindowMenuEndsWithTheAboutBox) {
    Start();
    x_.TapKey("space", {"Alt_L"});
    ASSERT_TRUE(WaitFor([&] { return !x_.OverrideRedirectWindows().empty(); })) << "the window menu";
    x_.TapKey("Up");  // its last item
    x_.TapKey("Return");
    const XWindow about = x_.WaitForWindow(aboutTitle, std::chrono::seconds(10));
    ASSERT_TRUE(HasKeyboard(about));
    x_.TapKey("Escape");
    EXPECT_TRUE(WaitFor([&] { return !x_.IsShown(about); }));
    EXPECT_TRUE(process_.Running()) << "the About box closes alone";
}

}  // namespace

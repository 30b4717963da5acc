#include "tests/app/launcher_support.h"

#include <QApplication>

#include "platform/user/help_viewer.h"
#include "platform/user/user.h"
#include "platform/user/user_testing.h"
#include "res/register_resources.h"
#include "res/resource_ids.h"
#include "tests/app/pelmora_process.h"
#include "tests/platform/user/file_dialog_answer.h"
#include "tests/support/gui_pump.h"

namespace apptest {

void LauncherTest::SetUp() {
    ASSERT_TRUE(res::RegisterResources());
    user::InstallHtmlHelpModule();
    app_.DerivePaths(PELMORA_EXECUTABLE);
    ASSERT_TRUE(x_.IsOpen());
}

void LauncherTest::TearDown() {
    app_.mainWindow = nullptr;
    launcher_.reset();
}

INT_PTR LauncherTest::RunLauncher(const std::function<void()>& script) {
    launcher_ = std::make_unique<CLauncherDialog>();
    app_.mainWindow = launcher_.get();
    testsupport::RunSoon([this, script] {
        const bool shown = testsupport::PumpUntil([this] { return x_.FindWindow(launcherTitle) != 0; });
        EXPECT_TRUE(shown) << "the launcher is on the screen";
        if (shown) script();
        if (user::IsWindow(Launcher())) user::SendMessageA(Launcher(), user::WM_COMMAND, user::IDCANCEL, 0);
    });
    return launcher_->DoModal();
}

void LauncherTest::OpenPhoto(const std::string& path) {
    const auto answered = AnswerNextFileDialog(path);
    const user::HWND button = user::GetDlgItem(Launcher(), res::IDC_OPEN_PHOTO);
    user::SendMessageA(Launcher(), user::WM_COMMAND, user::MAKEWPARAM(res::IDC_OPEN_PHOTO, user::BN_CLICKED),
                       reinterpret_cast<LPARAM>(button));
    EXPECT_TRUE(*answered) << "the open dialog was shown";
}

RECT LauncherTest::ControlRect(int id) const {
    RECT rect{};
    user::GetWindowRect(user::GetDlgItem(Launcher(), id), &rect);
    return rect;
}

std::shared_ptr<bool> AnswerNextFileDialog(const std::string& path) { return usertest::AnswerNextFileDialog(path); }

std::vector<testsupport::ScreenRect> PhotoWindowRects(testsupport::CXSession& x) {
    std::vector<testsupport::ScreenRect> rects;
    for (const testsupport::XWindow window : ShownWindows(x, photoTitle)) {
        if (const auto rect = x.Geometry(window)) rects.push_back(*rect);
    }
    return rects;
}

testsupport::ScreenRect ToScreenRect(const RECT& rect) {
    return testsupport::ScreenRect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

int ToolkitWidgetCount() { return static_cast<int>(QApplication::allWidgets().size()); }

void PressF1(testsupport::CXSession& x, const char* title) {
    const testsupport::XWindow shown = x.FindWindow(title);
    PumpUntil([&] { return x.KeyboardFocus() == shown; }, std::chrono::milliseconds(1000));
    x.TapKey("F1");
}

std::optional<std::string> TakeHelpTopic() {
    if (!PumpUntil([] { return user::HelpViewerWindow() != nullptr; })) return std::nullopt;
    const user::HWND viewer = user::HelpViewerWindow();
    std::optional<std::string> topic;
    if (const auto page = user::DescribeHelpViewer(viewer)) topic = page->topic;
    user::DestroyWindow(viewer);
    return topic;
}

}  // namespace apptest

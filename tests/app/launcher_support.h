#pragma once
// The launcher and the About box run inside a test program, as the program
// runs them: resources registered, the help viewer module installed, the
// application object's help file beside the built executable.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/launcher_dialog.h"
#include "app/pelmora_app.h"
#include "tests/support/gui_pump.h"
#include "tests/support/x_session.h"

namespace apptest {

using testsupport::CXSession;
using testsupport::Pixels;
using testsupport::PumpUntil;
using testsupport::ScreenRect;

inline constexpr const char* launcherTitle = "写真をリサイズ";
inline constexpr const char* aboutTitle = "バージョン情報...";
inline constexpr const char* photoTitle = "test";

inline const std::string fixtures = PELMORA_FIXTURE_IMAGES;

class LauncherTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the launcher modally; script runs from inside the run, and the
    // launcher is cancelled after it if it is still open. DoModal's result.
    INT_PTR RunLauncher(const std::function<void()>& script);

    // The open-photo command as the button gives it, answering its file
    // dialog with path (an empty path cancels it). Returns once the command
    // has ended.
    void OpenPhoto(const std::string& path);

    user::HWND Launcher() const { return launcher_ ? launcher_->GetSafeHwnd() : nullptr; }
    RECT ControlRect(int id) const;  // screen pixels

    CPelmoraApp app_;
    std::unique_ptr<CLauncherDialog> launcher_;
    testsupport::CXSession x_;
};

// Answers the next file dialog from inside its run: the path chosen, or
// cancelled for an empty path. True once answered.
std::shared_ptr<bool> AnswerNextFileDialog(const std::string& path);

// Screen rectangles of the photo windows shown, bottom of the stack first.
std::vector<testsupport::ScreenRect> PhotoWindowRects(testsupport::CXSession& x);

testsupport::ScreenRect ToScreenRect(const RECT& rect);

// Widgets of the toolkit alive now, those waiting to be deleted included.
int ToolkitWidgetCount();

// Presses F1 once the X server has given the window of that title the
// keyboard (waiting a second at most), as a user would.
void PressF1(testsupport::CXSession& x, const char* title);
// The topic the help viewer shows once it has opened (serving messages
// until then), closing the viewer again; nothing when it does not open.
std::optional<std::string> TakeHelpTopic();

}  // namespace apptest

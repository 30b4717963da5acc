#pragma once
// Windows for the windowing tests: every message they receive is logged,
// and a test can choose what their hit test answers; and the fixture the
// tests of windows on the X server share.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/user/user.h"
#include "tests/support/gui_pump.h"
#include "tests/support/print_types.h"
#include "tests/support/x_session.h"

namespace usertest {

using testsupport::CXSession;
using testsupport::PumpUntil;
using testsupport::ScreenRect;

struct LoggedMessage {
    user::HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class CMessageLog {
public:
    void Add(const LoggedMessage& entry) { entries_.push_back(entry); }
    void Clear() { entries_.clear(); }
    const std::vector<LoggedMessage>& Entries() const { return entries_; }
    int Count(user::HWND window, UINT message) const;
    std::vector<LoggedMessage> Of(user::HWND window, UINT message) const;
    // Client points of a window's mouse messages of one kind, in order.
    std::vector<POINT> Points(user::HWND window, UINT message) const;

private:
    std::vector<LoggedMessage> entries_;
};

CMessageLog& Log();

// A registered class whose procedure logs, then answers WM_NCHITTEST as
// SetHitTest chose (default handling otherwise), then passes on.
const char* RecordingClass();
void SetHitTest(user::HWND window, LRESULT answer);

// A visible recording window: top-level pop-up (owned when owner is given)
// or child (style with WS_CHILD).
user::HWND CreateRecordingWindow(const char* title, int x, int y, int width, int height,
                                 user::HWND ownerOrParent = nullptr, DWORD style = user::WS_POPUP | user::WS_VISIBLE,
                                 DWORD exStyle = user::WS_EX_TOOLWINDOW);

// Waits (serving messages) until the window is on the X server, viewable;
// its X id, or 0.
unsigned long WaitUntilShown(const std::string& title);

// Each test starts with an empty message log; the windows it keeps are
// destroyed after it, and their going handled.
class CWindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    user::HWND Keep(user::HWND window);

    std::vector<user::HWND> created_;
    CXSession x_;
};

}  // namespace usertest

#include "tests/platform/user/recording_window.h"

#include <map>

#include "tests/support/gui_pump.h"
#include "tests/support/x_session.h"

namespace usertest {
namespace {

std::map<user::HWND, LRESULT>& HitAnswers() {
    static std::map<user::HWND, LRESULT> answers;
    return answers;
}

LRESULT RecordingProc(user::HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().Add(LoggedMessage{window, message, wParam, lParam});
    if (message == user::WM_NCHITTEST) {
        const auto found = HitAnswers().find(window);
        if (found != HitAnswers().end()) return found->second;
    }
    if (message == user::WM_NCDESTROY) HitAnswers().erase(window);
    return user::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int CMessageLog::Count(user::HWND window, UINT message) const { return static_cast<int>(Of(window, message).size()); }

std::vector<LoggedMessage> CMessageLog::Of(user::HWND window, UINT message) const {
    std::vector<LoggedMessage> result;
    for (const LoggedMessage& entry : entries_) {
        if (entry.window == window && entry.message == message) result.push_back(entry);
    }
    return result;
}

std::vector<POINT> CMessageLog::Points(user::HWND window, UINT message) const {
    std::vector<POINT> points;
    for (const LoggedMessage& entry : Of(window, message)) {
        points.push_back(POINT{user::GET_X_LPARAM(entry.lParam), user::GET_Y_LPARAM(entry.lParam)});
    }
    return points;
}

CMessageLog& Log() {
    static CMessageLog log;
    return log;
}

const char* RecordingClass() {
    static const char* const name = [] {
        user::WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.hInstance = user::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "RecordingWindow";
        if (!user::RegisterClassA(&windowClass)) ADD_FAILURE() << "the recording class was refused";
        return "RecordingWindow";
    }();
    return name;
}

void SetHitTest(user::HWND window, LRESULT answer) { HitAnswers()[window] = answer; }

user::HWND CreateRecordingWindow(const char* title, int x, int y, int width, int height, user::HWND ownerOrParent,
                                 DWORD style, DWORD exStyle) {
    return user::CreateWindowExA(exStyle, RecordingClass(), title, style, x, y, width, height, ownerOrParent, nullptr,
                                 user::GetModuleHandleA(nullptr), nullptr);
}

unsigned long WaitUntilShown(const std::string& title) {
    testsupport::CXSession x;
    unsigned long window = 0;
    testsupport::PumpUntil([&] { return (window = x.FindWindow(title)) != 0; });
    return window;
}

void CWindowTest::SetUp() { Log().Clear(); }

void CWindowTest::TearDown() {
    for (user::HWND window : created_) user::DestroyWindow(window);
    testsupport::Settle();
}

user::HWND CWindowTest::Keep(user::HWND window) {
    created_.push_back(window);
    return window;
}

}  // namespace usertest

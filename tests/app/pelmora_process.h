#pragma once
// The real pelmora executable as a child process of a test, on the test's
// own X server ($DISPLAY), and what it shows there.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/x_session.h"

namespace apptest {

class CPelmoraProcess {
public:
    CPelmoraProcess() = default;
    // A process still running is killed and reaped.
    ~CPelmoraProcess();
    CPelmoraProcess(const CPelmoraProcess&) = delete;
    CPelmoraProcess& operator=(const CPelmoraProcess&) = delete;

    // Starts executable with workingFolder as its current folder and the
    // arguments after its name; false when it cannot be started.
    bool Start(const std::string& executable, const std::string& workingFolder,
               const std::vector<std::string>& arguments = {});
    // Whether it ended within timeout; its exit status goes to *status.
    bool WaitForExit(std::chrono::milliseconds timeout, int* status = nullptr);
    bool Running();

private:
    pid_t pid_ = -1;
};

// Top-level windows shown with that title, bottom of the stack first.
std::vector<testsupport::XWindow> ShownWindows(testsupport::CXSession& x, const std::string& title);
// Polls until exactly count such windows are shown.
bool WaitForWindowCount(testsupport::CXSession& x, const std::string& title, std::size_t count,
                        std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
// A short pause between polls.
void SleepBriefly();
// Polls until condition() holds.
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

// Asks the window to close as a window manager's close box does
// (WM_DELETE_WINDOW).
void ClickCloseBox(testsupport::CXSession& x, testsupport::XWindow window);

// A left-button press at from, moved in steps to to, released there.
void Drag(testsupport::CXSession& x, int fromX, int fromY, int toX, int toY);
void Click(testsupport::CXSession& x, int atX, int atY, int button = 1);

// A fresh folder under the system's temporary folder, removed with the
// object.
class CTempFolder {
public:
    explicit CTempFolder(const std::string& name);
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;
    const std::string& Path() const { return path_; }
    // Copies a file in; the copy's path.
    std::string Copy(const std::string& from, const std::string& name);

private:
    std::string path_;
};

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        SleepBriefly();
    }
    return true;
}

}  // namespace apptest

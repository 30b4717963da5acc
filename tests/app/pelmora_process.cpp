#include "tests/app/pelmora_process.h"

// Before Xlib, whose macros (None, Bool) the test framework's names clash with.
#include "tests/support/gui_pump.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

namespace apptest {

CPelmoraProcess::~CPelmoraProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool CPelmoraProcess::Start(const std::string& executable, const std::string& workingFolder,
                            const std::vector<std::string>& arguments) {
    if (pid_ > 0) return false;
    std::vector<char*> argv{const_cast<char*>(executable.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        // The program ends with the test that started it, whatever happens
        // to the test.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(127);
        if (chdir(workingFolder.c_str()) != 0) _exit(127);
        execv(executable.c_str(), argv.data());
        _exit(127);
    }
    pid_ = pid;
    return true;
}

bool CPelmoraProcess::WaitForExit(std::chrono::milliseconds timeout, int* status) {
    if (pid_ <= 0) return true;
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int result = 0;
        const pid_t done = waitpid(pid_, &result, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            if (status) *status = result;
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) return false;
        SleepBriefly();
    }
}

bool CPelmoraProcess::Running() { return !WaitForExit(std::chrono::milliseconds(0)); }

void SleepBriefly() { std::this_thread::sleep_for(std::chrono::milliseconds(10)); }

std::vector<testsupport::XWindow> ShownWindows(testsupport::CXSession& x, const std::string& title) {
    std::vector<testsupport::XWindow> found;
    for (const testsupport::XWindow window : x.StackingOrder()) {
        if (x.IsShown(window) && x.Title(window) == title) found.push_back(window);
    }
    return found;
}

bool WaitForWindowCount(testsupport::CXSession& x, const std::string& title, std::size_t count,
                        std::chrono::milliseconds timeout) {
    return WaitFor([&] { return ShownWindows(x, title).size() == count; }, timeout);
}

void ClickCloseBox(testsupport::CXSession&, testsupport::XWindow window) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
}

// Each step is handled before the next, as a hand gives them (Settle waits
// for a window of this test program; another program's windows get the
// events in the same order anyway).
void Drag(testsupport::CXSession& x, int fromX, int fromY, int toX, int toY) {
    x.MovePointer(fromX, fromY);
    testsupport::Settle();
    x.PressButton(1);
    constexpr int steps = 8;
    for (int step = 1; step <= steps; ++step) {
        testsupport::Settle();
        x.MovePointer(fromX + (toX - fromX) * step / steps, fromY + (toY - fromY) * step / steps);
    }
    testsupport::Settle();
    x.ReleaseButton(1);
}

void Click(testsupport::CXSession& x, int atX, int atY, int button) {
    x.MovePointer(atX, atY);
    testsupport::Settle();
    x.PressButton(button);
    x.ReleaseButton(button);
}

CTempFolder::CTempFolder(const std::string& name) {
    path_ = (std::filesystem::temp_directory_path() / (name + "_" + std::to_string(getpid()))).string();
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

CTempFolder::~CTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string CTempFolder::Copy(const std::string& from, const std::string& name) {
    const std::string to = path_ + "/" + name;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    return to;
}

}  // namespace apptest

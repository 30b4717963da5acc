#include "tests/support/private_xvfb.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace testsupport {
namespace {

pid_t serverPid = -1;

// One attempt: the server's display number, or empty when it did not come
// up in time (then the server is gone again).
std::string TryStartXvfb(pid_t* started, std::string* error);

}  // namespace

bool StartPrivateXvfb(std::string* error) {
    if (serverPid > 0) return true;
    // A server that stalls while starting (seen once among many starting at
    // the same time) is stopped and another one started.
    std::string number;
    pid_t pid = -1;
    for (int attempt = 0; attempt < 3 && number.empty(); ++attempt) number = TryStartXvfb(&pid, error);
    if (number.empty()) return false;
    serverPid = pid;
    setenv("DISPLAY", (":" + number).c_str(), 1);
    std::atexit(StopPrivateXvfb);
    return true;
}

namespace {

std::string TryStartXvfb(pid_t* started, std::string* error) {
    int fds[2];
    if (pipe(fds) != 0) {
        *error = std::string("pipe: ") + std::strerror(errno);
        return {};
    }
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        *error = std::string("fork: ") + std::strerror(errno);
        return {};
    }
    if (pid == 0) {
        close(fds[0]);
        // The server dies with its test program, even one that crashes or is
        // killed, and holds none of its output: CTest waits for the test's
        // output to close, so a server left behind would stall the whole run.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(127);
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
            dup2(null, STDIN_FILENO);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            if (null > STDERR_FILENO) close(null);
        }
        for (int fd = STDERR_FILENO + 1; fd < 1024; ++fd) {
            if (fd != fds[1]) close(fd);
        }
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1920x1080x24", "-nolisten", "tcp", "-noreset",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // Xvfb writes the display number followed by a newline once it accepts
    // connections.
    std::string number;
    bool ended = false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!ended) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        pollfd ready{fds[0], POLLIN, 0};
        if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) break;
        char c;
        if (read(fds[0], &c, 1) != 1) break;
        if (c == '\n')
            ended = true;
        else
            number += c;
    }
    close(fds[0]);
    if (!ended || number.empty()) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        *error = "Xvfb did not start (is the xvfb package installed?)";
        return {};
    }
    *started = pid;
    return number;
}

}  // namespace

bool StartPrivateXvfbForQt(std::string* error) {
    if (!StartPrivateXvfb(error)) return false;
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    unsetenv("WAYLAND_DISPLAY");
    return true;
}

void StopPrivateXvfb() {
    if (serverPid <= 0) return;
    kill(serverPid, SIGTERM);
    waitpid(serverPid, nullptr, 0);
    serverPid = -1;
}

}  // namespace testsupport

#include "tests/support/private_xvfb.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace testsupport {
namespace {

pid_t serverPid = -1;

}  // namespace

bool StartPrivateXvfb(std::string* error) {
    if (serverPid > 0) return true;
    int fds[2];
    if (pipe(fds) != 0) {
        *error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        *error = std::string("fork: ") + std::strerror(errno);
        return false;
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
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1920x1080x24",
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // Xvfb writes the display number followed by a newline once it accepts
    // connections.
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) {
        waitpid(pid, nullptr, 0);
        *error = "Xvfb did not start (is the xvfb package installed?)";
        return false;
    }
    serverPid = pid;
    setenv("DISPLAY", (":" + number).c_str(), 1);
    std::atexit(StopPrivateXvfb);
    return true;
}

void StopPrivateXvfb() {
    if (serverPid <= 0) return;
    kill(serverPid, SIGTERM);
    waitpid(serverPid, nullptr, 0);
    serverPid = -1;
}

}  // namespace testsupport

#pragma once
// A private X server for GUI tests: each test program starts its own Xvfb,
// so tests need no display of the machine and cannot disturb one another.

#include <string>

namespace testsupport {

// Starts Xvfb on a free display with one 1920 x 1080 x 24 screen and no
// window manager, and points DISPLAY at it. Returns false (with the reason in
// *error) when the server cannot be started. Safe to call more than once.
bool StartPrivateXvfb(std::string* error);

// StartPrivateXvfb, and Qt pointed at that server, even inside a Wayland
// session.
bool StartPrivateXvfbForQt(std::string* error);

// Stops the server started by StartPrivateXvfb; also runs at exit.
void StopPrivateXvfb();

}  // namespace testsupport

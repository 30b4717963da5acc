#pragma once
// Start-up and shut-down of the windowing service, the program's module
// handle and the application's title.

#include <string>

#include "platform/user/records.h"

namespace user {

// Starts the toolkit once per process: X11 whenever an X display exists
// (also inside a Wayland session, where a client cannot place its own
// windows), one window pixel per screen pixel, the command line ignored.
// Also installs the whole-screen drawing back-end. Returns false, with the
// reason in *error, when there is no display to show windows on.
bool StartApplication(std::string* error = nullptr);
bool IsApplicationRunning();
// Destroys every remaining window (each gets its destroy handling), then
// the toolkit.
void StopApplication();

// The program's module: the instance its resources and classes belong to.
// Any other name than null gives null.
HINSTANCE GetModuleHandleA(LPCSTR moduleName);

// The running executable's full path (from /proc/self/exe), however long.
std::string GetExecutablePath();

// Caption of message boxes that have none of their own: the executable's
// file name without its extension until set otherwise.
const std::string& GetApplicationTitle();
void SetApplicationTitle(const std::string& title);

}  // namespace user

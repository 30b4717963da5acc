#pragma once
// For tests: catches what the shell's open operation hands to the desktop,
// so that no program starts and the address can be checked.

#include <functional>
#include <string>

namespace user {

// While set, every address or document of that scheme ("https", "mailto",
// "file", ...) that the desktop would open reaches capture instead, as the
// address's text (UTF-8). Setting a scheme again replaces its capture; a
// null capture ends it. Needs the windowing service running.
void CaptureShellOpen(const std::string& scheme, std::function<void(const std::string& address)> capture);

}  // namespace user

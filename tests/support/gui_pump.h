#pragma once
// The GUI thread's side of GUI tests: the program's windowing service
// started once per test program, and waiting while its messages are served.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <utility>

namespace testsupport {

// Starts the windowing service before the first test and stops it after
// the last, while the test X server is still there. Register it once per
// test file:
//   const auto* const environment =
//       testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);
class CApplicationEnvironment : public testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
};

// Serves the program's messages until condition() holds; false when it
// still does not after timeout.
bool PumpUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
// Serves the program's messages for that long. For letting time pass
// (a timer, a double-click interval), not for waiting on events: see Settle.
void Pump(std::chrono::milliseconds duration);

// Waits until the program has handled every event that input sent to the X
// server so far has caused (the sessions' input calls return once the
// server has taken it): a marker sent now comes back through the program's
// own event queue behind those events. On the GUI thread it serves messages
// meanwhile; a helper thread waits while the GUI thread runs any loop.
// False if the marker did not come back in time. This is how a test waits
// for "the program has seen that key" or checks that a press changed
// nothing, without guessing a time.
bool Settle(std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));
// Settle in two halves, for code that must not serve messages itself (a
// step polled from inside a modal run): SendMarker returns the marker's
// serial, MarkerSeen tells whether the program has read it back.
long SendMarker();
bool MarkerSeen(long serial);

// Runs work on the GUI thread once the current code has returned to a
// message loop, after at least delay: for acting on a modal dialog or a
// file dialog from inside its own run.
void RunSoon(std::function<void()> work, std::chrono::milliseconds delay = std::chrono::milliseconds(0));

// Runs work on a helper thread, for driving something that blocks the GUI
// thread in a nested loop (a menu, a message box). The helper must use its
// own CXSession.
template <typename Work>
auto OnHelperThread(Work work) {
    return std::async(std::launch::async, std::move(work));
}

}  // namespace testsupport

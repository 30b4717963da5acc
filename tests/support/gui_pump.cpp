#include "tests/support/gui_pump.h"

#include <QCoreApplication>
#include <QTimer>

#include <string>

#include "platform/user/application.h"
#include "platform/user/message_loop.h"

namespace testsupport {

void CApplicationEnvironment::SetUp() {
    std::string error;
    ASSERT_TRUE(user::StartApplication(&error)) << error;
}

void CApplicationEnvironment::TearDown() { user::StopApplication(); }

bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        user::ProcessMessagesFor(5);
    }
    return true;
}

void RunSoon(std::function<void()> work, std::chrono::milliseconds delay) {
    QTimer::singleShot(static_cast<int>(delay.count()), QCoreApplication::instance(), std::move(work));
}

void Pump(std::chrono::milliseconds duration) { user::ProcessMessagesFor(static_cast<int>(duration.count())); }

}  // namespace testsupport

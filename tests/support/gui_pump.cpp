#include "platform/user/user_testing.h"
#include "tests/support/gui_pump.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "platform/user/application.h"
#include "platform/user/message_loop.h"
#include "tests/support/x_session.h"

namespace testsupport {
namespace {

std::atomic<long> markersSent{0};
std::atomic<long> markersSeen{0};

// Receives the markers: a window of the program's own connection, never
// shown, and a filter that notes each marker as the program reads it.
class CMarkerTarget : public QAbstractNativeEventFilter {
public:
    CMarkerTarget() {
        window_.create();
        id = window_.winId();
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~CMarkerTarget() override {
        if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
    }
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE) return false;
        const auto* client = static_cast<const xcb_client_message_event_t*>(message);
        if (client->window != id) return false;
        const long serial = static_cast<long>(client->data.data32[0]);
        if (serial > markersSeen.load()) markersSeen.store(serial);
        return true;
    }
    std::atomic<WId> id{0};

private:
    QWindow window_;
};

std::unique_ptr<CMarkerTarget>& MarkerTarget() {
    static std::unique_ptr<CMarkerTarget> target;
    return target;
}

}  // namespace

void CApplicationEnvironment::SetUp() {
    std::string error;
    ASSERT_TRUE(user::StartApplication(&error)) << error;
    MarkerTarget() = std::make_unique<CMarkerTarget>();
}

void CApplicationEnvironment::TearDown() {
    MarkerTarget().reset();
    user::StopApplication();
}

long SendMarker() {
    if (!MarkerTarget()) return 0;
    const long serial = ++markersSent;
    // One connection per thread: a session belongs to one thread. Kept to
    // the end, when the server may be gone before it could close.
    thread_local CXSession* const sender = new CXSession;
    sender->SendMarker(MarkerTarget()->id, serial);
    return serial;
}

bool MarkerSeen(long serial) { return serial > 0 && markersSeen.load() >= serial; }

bool Settle(std::chrono::milliseconds timeout) {
    const long serial = SendMarker();
    if (serial == 0) return false;
    const auto seen = [serial] { return MarkerSeen(serial); };
    if (QThread::currentThread() == QCoreApplication::instance()->thread()) {
        if (!PumpUntil(seen, timeout)) return false;
        // What those events posted in turn.
        user::ProcessMessagesFor(0);
    } else {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (!seen()) {
            if (std::chrono::steady_clock::now() >= end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    // A round trip on the program's own connection: what it asked of the
    // server in answer (a move, a pointer shape) has been done once this
    // returns, so a test's own queries see it.
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        xcb_connection_t* connection = x11->connection();
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    return true;
}

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

#include "platform/user/message_loop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

#include "platform/user/user_testing.h"

namespace user {

void ProcessMessages() {
    if (!QCoreApplication::instance()) return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Windows destroyed outside any loop leave their widgets to be deleted.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ProcessMessagesFor(int milliseconds) {
    if (!QCoreApplication::instance()) return;
    QEventLoop loop;
    QTimer::singleShot(std::max(0, milliseconds), &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct CModalLoop::Impl {
    QEventLoop loop;
    bool running = false;
    bool ended = false;
    int result = 0;
};

CModalLoop::CModalLoop() : impl_(std::make_unique<Impl>()) {}

CModalLoop::~CModalLoop() = default;

int CModalLoop::Run() {
    if (impl_->running || !QCoreApplication::instance()) return -1;
    if (!impl_->ended) {
        impl_->running = true;
        impl_->loop.exec();
        impl_->running = false;
    }
    impl_->ended = false;  // ready for another run
    return impl_->result;
}

void CModalLoop::End(int result) {
    impl_->result = result;
    impl_->ended = true;
    if (impl_->running) impl_->loop.exit(result);
}

}  // namespace user

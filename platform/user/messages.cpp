#include "platform/user/messages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>

#include "platform/user/internal/window_registry.h"

namespace user {
namespace {

// Posted messages travel as toolkit events to one receiver, which hands
// them to the window if it still exists when their turn comes.
const QEvent::Type postedMessageType = static_cast<QEvent::Type>(QEvent::registerEventType());

class CPostedMessage : public QEvent {
public:
    CPostedMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
        : QEvent(postedMessageType), window(window), message(message), wParam(wParam), lParam(lParam) {}
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class CPostedMessageSink : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() != postedMessageType) return QObject::event(event);
        const auto* posted = static_cast<const CPostedMessage*>(event);
        SendMessageA(posted->window, posted->message, posted->wParam, posted->lParam);
        return true;
    }
};

CPostedMessageSink* Sink() {
    // Lives as long as the toolkit's application object: it is its child.
    static QPointer<CPostedMessageSink> sink;
    if (!sink && QCoreApplication::instance()) {
        sink = new CPostedMessageSink;
        sink->setParent(QCoreApplication::instance());
    }
    return sink;
}

}  // namespace

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const internal::WindowRecord* record = internal::FindWindowRecord(window);
    if (!record || !record->proc) return 0;
    return record->proc(window, message, wParam, lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!internal::FindWindowRecord(window)) return FALSE;
    CPostedMessageSink* sink = Sink();
    if (!sink) return FALSE;
    QCoreApplication::postEvent(sink, new CPostedMessage(window, message, wParam, lParam));
    return TRUE;
}

LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

}  // namespace user

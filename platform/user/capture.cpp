#include "platform/user/capture.h"

#include <QGuiApplication>
#include <QWidget>

#include "platform/user/internal/lifecycle.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/messages.h"

namespace user {

HWND SetCapture(HWND window) {
    internal::ServiceState& state = internal::State();
    const HWND previous = internal::FindWindowRecord(state.capture) ? state.capture : nullptr;
    const internal::WindowRecord* record = internal::FindWindowRecord(window);
    if (!record) return previous;
    state.capture = window;
    // A pointer grab makes the moves arrive while no button is down, also
    // outside every window of the program.
    if (record->widget && record->widget->isVisible()) record->widget->grabMouse();
    if (previous && previous != window) {
        SendMessageA(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
    }
    return previous;
}

BOOL ReleaseCapture() {
    internal::ServiceState& state = internal::State();
    const HWND previous = state.capture;
    state.capture = nullptr;
    const internal::WindowRecord* record = internal::FindWindowRecord(previous);
    if (!record) return TRUE;
    if (record->widget && QWidget::mouseGrabber() == record->widget) record->widget->releaseMouse();
    SendMessageA(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() {
    const HWND capture = internal::State().capture;
    return internal::FindWindowRecord(capture) ? capture : nullptr;
}

namespace internal {

void WatchApplicationState() {
    QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, qGuiApp, [](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive && GetCapture()) ReleaseCapture();
    });
}

}  // namespace internal
}  // namespace user

#include "platform/user/internal/task_bar.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

// Last: Xlib defines macros such as None and Bool.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace user::internal {

void KeepOffTaskBar(QWidget* window) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display || !window) return;
    // The toolkit merges its own states into those already set on a window
    // not yet shown, so these stay.
    Atom states[] = {XInternAtom(display, "_NET_WM_STATE_SKIP_TASKBAR", False),
                     XInternAtom(display, "_NET_WM_STATE_SKIP_PAGER", False)};
    XChangeProperty(display, static_cast<Window>(window->winId()), XInternAtom(display, "_NET_WM_STATE", False),
                    XA_ATOM, 32, PropModeAppend, reinterpret_cast<const unsigned char*>(states), 2);
    XFlush(display);
}

}  // namespace user::internal

#include "platform/user/internal/input_routing.h"

#include <QApplication>

#include <cmath>

#include "platform/user/activation.h"
#include "platform/user/capture.h"
#include "platform/user/internal/pointer_move.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/messages.h"
#include "platform/user/window_management.h"

namespace user::internal {
namespace {

// Non-client mouse messages sit this far below their client twins.
constexpr UINT nonClientOffset = WM_MOUSEMOVE - WM_NCMOUSEMOVE;

UINT ClientMessage(MouseAction action, Qt::MouseButton button) {
    if (action == MouseAction::move) return WM_MOUSEMOVE;
    const bool press = action == MouseAction::press;
    switch (button) {
        case Qt::LeftButton: return press ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        case Qt::RightButton: return press ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        case Qt::MiddleButton: return press ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        default: return 0;
    }
}

WPARAM KeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    WPARAM flags = 0;
    if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) flags |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier) flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier) flags |= MK_CONTROL;
    return flags;
}

UINT VirtualKey(const QKeyEvent* event) {
    const int key = event->key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Backspace: return VK_BACK;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return VK_TAB;
        case Qt::Key_Return:
        case Qt::Key_Enter: return VK_RETURN;
        case Qt::Key_Shift: return VK_SHIFT;
        case Qt::Key_Control: return VK_CONTROL;
        case Qt::Key_Alt: return VK_MENU;
        case Qt::Key_Escape: return VK_ESCAPE;
        case Qt::Key_Space: return VK_SPACE;
        case Qt::Key_PageUp: return VK_PRIOR;
        case Qt::Key_PageDown: return VK_NEXT;
        case Qt::Key_End: return VK_END;
        case Qt::Key_Home: return VK_HOME;
        case Qt::Key_Left: return VK_LEFT;
        case Qt::Key_Up: return VK_UP;
        case Qt::Key_Right: return VK_RIGHT;
        case Qt::Key_Down: return VK_DOWN;
        case Qt::Key_Delete: return VK_DELETE;
        default: return 0;
    }
}

}  // namespace

void ActivateOnClick(HWND window) {
    HWND top = TopLevelOf(window);
    if (top && top != GetActiveWindow() && IsWindowEnabled(top)) SetActiveWindow(top);
}

QPoint GlobalPosition(const QMouseEvent* event) {
    const QPointF position = event->globalPosition();
    return QPoint(static_cast<int>(std::floor(position.x())), static_cast<int>(std::floor(position.y())));
}

HWND WindowAtScreenPoint(QPoint global) {
    for (const QWidget* widget = QApplication::widgetAt(global); widget; widget = widget->parentWidget()) {
        if (HWND window = WindowOfWidget(widget)) return window;
    }
    return nullptr;
}

bool RouteMouse(HWND window, const QWidget* widget, QMouseEvent* event, MouseAction action) {
    const QPoint global = GlobalPosition(event);
    if (PointerMoveActive()) {
        FeedPointerMove(global, action);
        return true;
    }
    const UINT clientMessage = ClientMessage(action, event->button());
    if (clientMessage == 0) return true;
    const WPARAM flags = KeyFlags(event->buttons(), event->modifiers());

    // The capturing window gets every mouse message, in its client
    // coordinates, wherever the pointer is.
    if (HWND capture = GetCapture()) {
        if (const WindowRecord* record = FindWindowRecord(capture)) {
            const POINT origin = ClientOrigin(*record);
            SendMessageA(capture, clientMessage, flags, PackPoint(global.x() - origin.x, global.y() - origin.y));
        }
        return true;
    }

    // Without the capture, the window under the pointer gets it, even while
    // the toolkit still routes a press's moves to where it began.
    HWND target = window;
    if (!widget->rect().contains(widget->mapFromGlobal(global))) {
        target = WindowAtScreenPoint(global);
        if (!target) return true;
    }
    const LRESULT hit = SendMessageA(target, WM_NCHITTEST, 0, PackPoint(global.x(), global.y()));
    const WindowRecord* record = FindWindowRecord(target);
    if (!record) return true;
    if (hit == HTTRANSPARENT && target == window && IsChildStyle(*record)) return false;
    // The window the pointer is over takes the shapes set for it, also when
    // the toolkit told no widget that the pointer entered.
    State().pointerWindow = target;

    if (action == MouseAction::press) {
        ActivateOnClick(target);
        if (!FindWindowRecord(target)) return true;
    }
    SendMessageA(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                 MAKELPARAM(static_cast<int>(hit), clientMessage));
    record = FindWindowRecord(target);
    if (!record) return true;
    if (hit == HTCLIENT) {
        const POINT origin = ClientOrigin(*record);
        SendMessageA(target, clientMessage, flags, PackPoint(global.x() - origin.x, global.y() - origin.y));
    } else {
        SendMessageA(target, clientMessage - nonClientOffset, static_cast<WPARAM>(hit),
                     PackPoint(global.x(), global.y()));
    }
    return true;
}

ControlMouseRoute RouteControlMouse(HWND control, QMouseEvent* event, MouseAction action) {
    const QPoint global = GlobalPosition(event);
    if (PointerMoveActive()) {
        FeedPointerMove(global, action);
        return ControlMouseRoute::swallowed;
    }
    const UINT clientMessage = ClientMessage(action, event->button());
    if (clientMessage == 0) return ControlMouseRoute::widget;
    const WPARAM flags = KeyFlags(event->buttons(), event->modifiers());
    if (HWND capture = GetCapture(); capture && capture != control) {
        if (const WindowRecord* record = FindWindowRecord(capture)) {
            const POINT origin = ClientOrigin(*record);
            SendMessageA(capture, clientMessage, flags, PackPoint(global.x() - origin.x, global.y() - origin.y));
        }
        return ControlMouseRoute::swallowed;
    }
    const LRESULT hit = SendMessageA(control, WM_NCHITTEST, 0, PackPoint(global.x(), global.y()));
    if (!FindWindowRecord(control)) return ControlMouseRoute::swallowed;
    if (hit == HTTRANSPARENT) return ControlMouseRoute::parent;
    State().pointerWindow = control;
    if (action == MouseAction::press) {
        ActivateOnClick(control);
        if (!FindWindowRecord(control)) return ControlMouseRoute::swallowed;
    }
    SendMessageA(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                 MAKELPARAM(static_cast<int>(hit), clientMessage));
    const WindowRecord* record = FindWindowRecord(control);
    if (!record) return ControlMouseRoute::swallowed;
    if (hit == HTCLIENT) {
        const POINT origin = ClientOrigin(*record);
        SendMessageA(control, clientMessage, flags, PackPoint(global.x() - origin.x, global.y() - origin.y));
    }
    return FindWindowRecord(control) ? ControlMouseRoute::widget : ControlMouseRoute::swallowed;
}

void RouteKey(HWND window, QKeyEvent* event, bool down) {
    const UINT key = VirtualKey(event);
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool alt = (modifiers & Qt::AltModifier) != 0;
    const bool control = (modifiers & Qt::ControlModifier) != 0;
    if (PointerMoveActive()) {
        // The keyboard ends a move from the window menu: Esc puts the window
        // back, Enter leaves it.
        if (down && key == VK_ESCAPE) CancelPointerMove();
        if (down && key == VK_RETURN) EndPointerMove();
        return;
    }
    if (key != 0) {
        const bool system = (alt && !control) || key == VK_F10 || (key == VK_MENU && !control);
        LPARAM flags = 1;  // repeat count
        if (alt) flags |= static_cast<LPARAM>(KF_ALTDOWN) << 16;
        if (!down) flags |= (LPARAM{1} << 30) | (LPARAM{1} << 31);
        const UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
        SendMessageA(window, message, key, flags);
        if (system) return;
    }
    if (!down || !FindWindowRecord(window)) return;
    // Characters: the ASCII ones; text controls of the dialogs take the rest
    // themselves.
    for (const QChar c : event->text()) {
        if (c.unicode() < 0x80) SendMessageA(window, WM_CHAR, c.unicode(), 1);
    }
}

}  // namespace user::internal

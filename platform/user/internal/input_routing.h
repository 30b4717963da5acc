#pragma once
// Turns the toolkit's pointer and key events into the messages a window
// procedure expects: hit test, pointer-shape request, then the client or
// non-client mouse message; key-down, key-up and characters.

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "platform/user/records.h"

namespace user::internal {

enum class MouseAction { press, release, move };

// Delivers a mouse event that reached the widget of window. Returns false
// when the window's hit test says transparent: the event then belongs to
// the parent window.
bool RouteMouse(HWND window, const QWidget* widget, QMouseEvent* event, MouseAction action);

void RouteKey(HWND window, QKeyEvent* event, bool down);

// Mouse events of a dialog control, a toolkit widget with behaviour of its
// own: the control is told (hit test, pointer shape, mouse message) and
// then the widget acts, unless the control lets the pointer through to its
// parent or another window holds the capture.
enum class ControlMouseRoute {
    widget,     // the control's widget handles the event too
    parent,     // transparent: the event belongs to the parent window
    swallowed,  // already delivered elsewhere
};
ControlMouseRoute RouteControlMouse(HWND control, QMouseEvent* event, MouseAction action);

// A click activates the window's top-level window if it may be activated.
void ActivateOnClick(HWND window);

// The program's window under a screen point, or null.
HWND WindowAtScreenPoint(QPoint global);

QPoint GlobalPosition(const QMouseEvent* event);

}  // namespace user::internal

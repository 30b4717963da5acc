#pragma once
// Keeping tool windows off the desktop's task bar and pager.

#include <QWidget>

namespace user::internal {

// Asks the window manager to list the (not yet shown) top-level window in
// neither the task bar nor the pager. Does nothing off X11.
void KeepOffTaskBar(QWidget* window);

}  // namespace user::internal

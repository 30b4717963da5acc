#pragma once
// The window classes known to the service: the program's own, registered
// with RegisterClassA, and the built-in ones whose windows are toolkit
// controls (added by the dialog framework).

#include <QWidget>

#include <memory>
#include <string>

#include "platform/user/records.h"

namespace user::internal {

// Makes the toolkit widget of a new window of a built-in class.
using WidgetFactory = QWidget* (*)(HWND window, const CREATESTRUCTA& create, QWidget* parentWidget);

struct ClassRecord {
    std::string name;
    std::string menuName;
    WNDCLASSA info{};  // info's names point into name and menuName
    ATOM atom = 0;
    WidgetFactory factory = nullptr;  // null: the service's own window widget
};

// The class of that name (or atom, given as MAKEINTRESOURCEA), or null.
// Names compare without regard to ASCII letter case.
std::shared_ptr<const ClassRecord> FindClass(LPCSTR name);

// Registers a built-in class; false when the name is taken.
bool RegisterBuiltInClass(const char* name, UINT style, WNDPROC proc, HCURSOR cursor, WidgetFactory factory);
// The class of a window, or null.
std::shared_ptr<const ClassRecord> ClassOf(HWND window);

}  // namespace user::internal

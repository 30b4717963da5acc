#include "platform/user/keyboard.h"

#include <QGuiApplication>

namespace user {

SHORT GetKeyState(int virtualKey) {
    if (!QGuiApplication::instance()) return 0;
    Qt::KeyboardModifier modifier;
    switch (static_cast<UINT>(virtualKey)) {
        case VK_SHIFT: modifier = Qt::ShiftModifier; break;
        case VK_CONTROL: modifier = Qt::ControlModifier; break;
        case VK_MENU: modifier = Qt::AltModifier; break;
        default: return 0;
    }
    // Asked of the window system now, not read from the last event: a
    // key pressed or released while a nested loop ran counts too.
    return (QGuiApplication::queryKeyboardModifiers() & modifier) ? static_cast<SHORT>(0x8000) : 0;
}

}  // namespace user

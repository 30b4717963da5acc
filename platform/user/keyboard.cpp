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
    // As of the input handled so far, not as the keyboard is this instant:
    // a message is judged by the keys that were down when it came.
    return (QGuiApplication::keyboardModifiers() & modifier) ? static_cast<SHORT>(0x8000) : 0;
}

}  // namespace user

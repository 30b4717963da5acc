#include "platform/user/internal/control_widget.h"

#include "platform/user/cursors.h"
#include "platform/user/internal/dialog_state.h"
#include "platform/user/internal/input_routing.h"
#include "platform/user/internal/toolkit_font.h"
#include "platform/user/internal/toolkit_resources.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/messages.h"
#include "platform/user/window_management.h"

namespace user::internal {

CControlState* ControlStateOf(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    return record && record->widget ? dynamic_cast<CControlState*>(record->widget.data()) : nullptr;
}

bool ControlKeyEvent(HWND control, QKeyEvent* event, bool down) {
    if (down) {
        const Qt::KeyboardModifiers modifiers = event->modifiers();
        UINT key = 0;
        switch (event->key()) {
            case Qt::Key_Tab:
            case Qt::Key_Backtab: key = VK_TAB; break;
            case Qt::Key_Left: key = VK_LEFT; break;
            case Qt::Key_Right: key = VK_RIGHT; break;
            case Qt::Key_Up: key = VK_UP; break;
            case Qt::Key_Down: key = VK_DOWN; break;
            case Qt::Key_Return:
            case Qt::Key_Enter: key = VK_RETURN; break;
            case Qt::Key_Escape: key = VK_ESCAPE; break;
            default: break;
        }
        const bool shift = (modifiers & Qt::ShiftModifier) || event->key() == Qt::Key_Backtab;
        if (key != 0 && DialogNavigationKey(control, key, shift, (modifiers & Qt::ControlModifier) != 0,
                                            (modifiers & Qt::AltModifier) != 0)) {
            event->accept();
            return true;
        }
    }
    // The control's window hears of every other key (F1 asks for help,
    // Alt+F4 closes); the widget then does what it does with it.
    RouteKey(control, event, down);
    return !FindWindowRecord(control);
}

void ControlFocusEvent(HWND control, bool in) {
    ServiceState& state = State();
    if (in) {
        const HWND previous = state.focus;
        state.focus = control;
        if (previous != control) SendMessageA(control, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
        const HWND dialog = DialogOf(control);
        if (DialogState* dialogState = FindDialogState(dialog)) {
            dialogState->lastFocus = control;
            UpdateDefaultButtonLook(dialog, control);
        }
    } else if (state.focus == control) {
        state.focus = nullptr;
        SendMessageA(control, WM_KILLFOCUS, 0, 0);
    }
}

void ControlEnterEvent(HWND control, QWidget* widget) {
    State().pointerWindow = control;
    ApplyCurrentCursor(widget);
}

void ControlLeaveEvent(HWND control) {
    if (State().pointerWindow == control) State().pointerWindow = nullptr;
}

bool ControlMouseEvent(HWND control, QMouseEvent* event) {
    MouseAction action = MouseAction::move;
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        action = MouseAction::press;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        action = MouseAction::release;
    }
    switch (RouteControlMouse(control, event, action)) {
        case ControlMouseRoute::widget: return true;
        case ControlMouseRoute::parent: event->ignore(); return false;
        case ControlMouseRoute::swallowed: event->accept(); return false;
    }
    return false;
}

void NotifyParent(HWND control, UINT code) {
    const HWND parent = GetParent(control);
    if (!parent) return;
    const int id = static_cast<int>(GetWindowLongPtrA(control, GWLP_ID));
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, static_cast<int>(code)), reinterpret_cast<LPARAM>(control));
}

bool CommonControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result,
                          WORD pointerShape) {
    CControlState* state = ControlStateOf(control);
    if (!state) return false;
    switch (message) {
        case WM_SETFONT: {
            state->fontHandle = reinterpret_cast<gdi::HFONT>(wParam);
            if (const WindowRecord* record = FindWindowRecord(control); record && record->widget) {
                record->widget->setFont(ToolkitFont(state->fontHandle));
                if (LOWORD(static_cast<std::uintptr_t>(lParam))) record->widget->update();
            }
            *result = 0;
            return true;
        }
        case WM_GETFONT: *result = reinterpret_cast<LRESULT>(state->fontHandle); return true;
        case WM_SETCURSOR: {
            // The parent may choose first; then the control's own shape.
            const LRESULT hit = static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam)));
            if (const HWND parent = GetParent(control); parent && SendMessageA(parent, WM_SETCURSOR, wParam, lParam)) {
                *result = TRUE;
                return true;
            }
            if (hit != HTCLIENT) return false;
            SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(pointerShape)));
            *result = TRUE;
            return true;
        }
        default: return false;
    }
}

}  // namespace user::internal

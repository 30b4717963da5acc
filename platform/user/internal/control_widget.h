#pragma once
// The toolkit widgets behind dialog controls. Each is the toolkit's own
// widget (push button, radio button, line edit...) that also tells its
// window what happens to it: focus, pointer, keys, in the messages a window
// procedure expects, and lets the dialog manager take its navigation keys
// first.

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "platform/gdi/fonts.h"
#include "platform/user/records.h"

namespace user::internal {

// What every control keeps besides its window record.
class CControlState {
public:
    virtual ~CControlState() = default;
    HWND Handle() const { return window_; }
    gdi::HFONT fontHandle = nullptr;  // WM_SETFONT's; null: the system font

protected:
    explicit CControlState(HWND window) : window_(window) {}
    HWND window_;
};

// The state of a control window; null for any other window.
CControlState* ControlStateOf(HWND window);

// Steps shared by every control widget.
bool ControlKeyEvent(HWND control, QKeyEvent* event, bool down);  // true: consumed
void ControlFocusEvent(HWND control, bool in);
void ControlEnterEvent(HWND control, QWidget* widget);
void ControlLeaveEvent(HWND control);
// false: the event is not the widget's (ignored, or handled already).
bool ControlMouseEvent(HWND control, QMouseEvent* event);

template <class Base>
class CControlWidget : public Base, public CControlState {
public:
    CControlWidget(HWND window, QWidget* parent) : Base(parent), CControlState(window) { this->setMouseTracking(true); }

protected:
    bool event(QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::KeyRelease: {
                const bool down = event->type() == QEvent::KeyPress;
                if (ControlKeyEvent(window_, static_cast<QKeyEvent*>(event), down)) return true;
                // Keys reach the control with the focus alone: the dialog
                // does not get them again.
                const bool handled = Base::event(event);
                event->accept();
                return handled;
            }
            case QEvent::FocusIn: ControlFocusEvent(window_, true); break;
            case QEvent::FocusOut: ControlFocusEvent(window_, false); break;
            case QEvent::Enter: ControlEnterEvent(window_, this); break;
            case QEvent::Leave: ControlLeaveEvent(window_); break;
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseMove: {
                if (!ControlMouseEvent(window_, static_cast<QMouseEvent*>(event))) return true;
                // The control is what the pointer is on: the event stops
                // here even when the widget has no use for it.
                const bool handled = Base::event(event);
                event->accept();
                return handled;
            }
            default: break;
        }
        return Base::event(event);
    }
};

// Sends WM_COMMAND with the control's id and a notification code to its
// parent.
void NotifyParent(HWND control, UINT code);

// Messages every control class answers alike (fonts, pointer shape); false
// when the message is not one of them.
bool CommonControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result, WORD pointerShape);

}  // namespace user::internal

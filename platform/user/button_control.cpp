// The "Button" class: push buttons (with an optional icon), radio buttons
// and group boxes.
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "platform/user/controls.h"
#include "platform/user/internal/class_registry.h"
#include "platform/user/internal/control_widget.h"
#include "platform/user/internal/dialog_state.h"
#include "platform/user/internal/toolkit_resources.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/messages.h"
#include "platform/user/system_metrics.h"
#include "platform/user/window_management.h"

namespace user::internal {
namespace {

DWORD TypeOf(DWORD style) { return style & BS_TYPEMASK; }
bool IsRadio(DWORD style) { return TypeOf(style) == BS_RADIOBUTTON || TypeOf(style) == BS_AUTORADIOBUTTON; }
bool IsGroupBox(DWORD style) { return TypeOf(style) == BS_GROUPBOX; }

class CPushButtonWidget : public CControlWidget<QPushButton> {
public:
    using CControlWidget::CControlWidget;
    HICON image = nullptr;
};

class CRadioButtonWidget : public CControlWidget<QRadioButton> {
public:
    CRadioButtonWidget(HWND window, QWidget* parent, bool automatic)
        : CControlWidget(window, parent), automatic_(automatic) {}

protected:
    // A click checks an automatic radio button (never unchecks it); a
    // plain one leaves its state to the program.
    void nextCheckState() override {
        if (automatic_) setChecked(true);
    }

private:
    bool automatic_;
};

class CGroupBoxWidget : public CControlWidget<QGroupBox> {
public:
    using CControlWidget::CControlWidget;
};

QString TextOf(const char* text) { return QString::fromUtf8(text ? text : ""); }

// The controls of the group a control belongs to: from the nearest
// control at or before it with WS_GROUP up to the next one with WS_GROUP.
std::vector<HWND> GroupOf(HWND control) {
    const HWND parent = GetParent(control);
    const WindowRecord* parentRecord = FindWindowRecord(parent);
    if (!parentRecord) return {control};
    const std::vector<HWND>& siblings = parentRecord->children;
    const auto at = std::find(siblings.begin(), siblings.end(), control);
    if (at == siblings.end()) return {control};
    auto first = at;
    while (first != siblings.begin() && !(GetWindowLongPtrA(*first, GWL_STYLE) & WS_GROUP)) --first;
    std::vector<HWND> group{*first};
    for (auto it = first + 1; it != siblings.end() && !(GetWindowLongPtrA(*it, GWL_STYLE) & WS_GROUP); ++it) {
        group.push_back(*it);
    }
    return group;
}

void Clicked(HWND window) {
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    if (TypeOf(static_cast<DWORD>(style)) == BS_AUTORADIOBUTTON) {
        for (HWND other : GroupOf(window)) {
            if (other != window && (SendMessageA(other, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) {
                SendMessageA(other, BM_SETCHECK, BST_UNCHECKED, 0);
            }
        }
    }
    NotifyParent(window, BN_CLICKED);
}

QWidget* CreateButton(HWND window, const CREATESTRUCTA& create, QWidget* parent) {
    const DWORD style = static_cast<DWORD>(create.style);
    if (IsGroupBox(style)) {
        auto* box = new CGroupBoxWidget(window, parent);
        box->setTitle(TextOf(create.lpszName));
        box->setFocusPolicy(Qt::NoFocus);
        return box;
    }
    QAbstractButton* button = nullptr;
    if (IsRadio(style)) {
        auto* radio = new CRadioButtonWidget(window, parent, TypeOf(style) == BS_AUTORADIOBUTTON);
        // Groups are the dialog's (WS_GROUP), not the toolkit's siblings.
        radio->setAutoExclusive(false);
        button = radio;
    } else {
        auto* push = new CPushButtonWidget(window, parent);
        push->setAutoDefault(false);
        push->setDefault(TypeOf(style) == BS_DEFPUSHBUTTON);
        button = push;
    }
    if (!(style & BS_ICON) && !(style & BS_BITMAP)) button->setText(TextOf(create.lpszName));
    // A click focuses a button; the keyboard reaches it through the dialog.
    button->setFocusPolicy(Qt::ClickFocus);
    QObject::connect(button, &QAbstractButton::clicked, button, [window] { Clicked(window); });
    return button;
}

LRESULT SetImage(HWND window, WPARAM kind, LPARAM image) {
    const WindowRecord* record = FindWindowRecord(window);
    auto* push = record ? dynamic_cast<CPushButtonWidget*>(record->widget.data()) : nullptr;
    if (!push || kind != IMAGE_ICON) return 0;
    const HICON previous = push->image;
    push->image = reinterpret_cast<HICON>(image);
    const QIcon icon = IconOf(push->image);
    push->setIcon(icon);
    // The picture is drawn at the system's icon size, as large as the
    // button leaves room for.
    const int side = GetSystemMetrics(SM_CXICON);
    push->setIconSize(QSize(side, side).boundedTo(push->contentsRect().size() - QSize(4, 4)).expandedTo(QSize(1, 1)));
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (CommonControlMessage(window, message, wParam, lParam, &result, IDC_ARROW_ID)) return result;
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) return 0;
    const DWORD style = record->style;
    auto* button = dynamic_cast<QAbstractButton*>(record->widget.data());
    switch (message) {
        case WM_GETDLGCODE:
            if (IsGroupBox(style)) return DLGC_STATIC;
            if (IsRadio(style)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
            return DLGC_BUTTON | (TypeOf(style) == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        case WM_NCHITTEST:
            // A group box is a frame drawn around other controls: the
            // pointer goes through it.
            if (IsGroupBox(style)) return HTTRANSPARENT;
            break;
        case BM_GETCHECK: return button && IsRadio(style) && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
        case BM_SETCHECK:
            if (button && IsRadio(style)) button->setChecked(wParam == BST_CHECKED);
            return 0;
        case BM_CLICK:
            if (button && button->isEnabled()) button->click();
            return 0;
        case BM_SETIMAGE: return SetImage(window, wParam, lParam);
        case BM_GETIMAGE: {
            const auto* push = dynamic_cast<CPushButtonWidget*>(record->widget.data());
            return push && wParam == IMAGE_ICON ? reinterpret_cast<LRESULT>(push->image) : 0;
        }
        case BM_SETSTYLE: {
            // Only the push-button kinds trade places; the look follows.
            const DWORD type = static_cast<DWORD>(wParam) & BS_TYPEMASK;
            if (IsRadio(style) || IsGroupBox(style) || (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON)) return 0;
            SetWindowLongPtrA(window, GWL_STYLE, static_cast<LONG_PTR>((style & ~BS_TYPEMASK) | type));
            if (auto* push = dynamic_cast<QPushButton*>(record->widget.data()))
                push->setDefault(type == BS_DEFPUSHBUTTON);
            return 0;
        }
        case WM_SETTEXT: {
            const LRESULT set = DefWindowProcA(window, message, wParam, lParam);
            record = FindWindowRecord(window);
            if (!record || !record->widget) return set;
            const QString text = QString::fromUtf8(record->text.c_str());
            if (auto* box = dynamic_cast<QGroupBox*>(record->widget.data())) {
                box->setTitle(text);
            } else if (button && !(style & (BS_ICON | BS_BITMAP))) {
                button->setText(text);
            }
            return set;
        }
        default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void RegisterButtonClass() { RegisterBuiltInClass("Button", 0, ButtonProc, nullptr, CreateButton); }

}  // namespace user::internal

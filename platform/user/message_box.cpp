#include "platform/user/message_box.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMessageBox>
#include <QWindow>

#include "platform/user/activation.h"
#include "platform/user/application.h"
#include "platform/user/capture.h"
#include "platform/user/internal/pointer_move.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/message_loop.h"
#include "platform/user/messages.h"
#include "platform/user/window_management.h"

namespace user {
namespace {

struct Button {
    QMessageBox::StandardButton button;
    int result;
};

std::vector<Button> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL: return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
        case 2: return {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
        case MB_YESNOCANCEL:
            return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
        case MB_YESNO: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
        case MB_RETRYCANCEL: return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
        default: return {{QMessageBox::Ok, IDOK}};
    }
}

QMessageBox::Icon IconOf(UINT type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONHAND: return QMessageBox::Critical;
        case MB_ICONQUESTION: return QMessageBox::Question;
        case MB_ICONEXCLAMATION: return QMessageBox::Warning;
        case MB_ICONASTERISK: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

// F1 in a box asks its owner for help, which then knows which message is
// up (the framework keeps a prompt context while its boxes show).
class CHelpKey : public QObject {
public:
    explicit CHelpKey(HWND owner) : owner_(owner) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1) return false;
        if (!IsWindow(owner_)) return true;
        HELPINFO info{};
        info.cbSize = sizeof info;
        info.iContextType = HELPINFO_WINDOW;
        info.hItemHandle = owner_;
        SendMessageA(owner_, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        return true;
    }

private:
    HWND owner_;
};

}  // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (!IsApplicationRunning()) return 0;
    const HWND top = internal::TopLevelOf(owner);
    // Whatever mode the program was in ends: a drag loses the capture.
    if (internal::PointerMoveActive()) internal::EndPointerMove();
    if (GetCapture()) ReleaseCapture();

    QMessageBox box;
    box.setWindowTitle(QString::fromUtf8(caption ? caption : GetApplicationTitle().c_str()));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromUtf8(text ? text : ""));
    box.setIcon(IconOf(type));
    const std::vector<Button> buttons = ButtonsOf(type);
    for (const Button& button : buttons) box.addButton(button.button);
    const std::size_t defaultIndex = std::min<std::size_t>((type & MB_DEFMASK) >> 8, buttons.size() - 1);
    box.setDefaultButton(buttons[defaultIndex].button);
    // Esc answers Cancel where there is one, OK when it is the only button.
    for (const Button& button : buttons) {
        if (button.result == IDCANCEL || buttons.size() == 1) box.setEscapeButton(button.button);
    }
    // Modal to its owner only: disabling the owner ourselves keeps every
    // other window of the program usable, which the toolkit's modality
    // would not.
    box.setWindowModality(Qt::NonModal);
    box.winId();
    if (const internal::WindowRecord* record = internal::FindWindowRecord(top); record && record->widget) {
        record->widget->winId();
        box.windowHandle()->setTransientParent(record->widget->windowHandle());
    }
    const bool disabled = top && EnableWindow(top, FALSE) == FALSE;

    CHelpKey helpKey(top);
    box.installEventFilter(&helpKey);
    for (QWidget* child : box.findChildren<QWidget*>()) child->installEventFilter(&helpKey);

    CModalLoop loop;
    QObject::connect(&box, &QMessageBox::finished, [&loop] { loop.End(0); });
    box.show();
    box.activateWindow();
    loop.Run();

    int result = buttons.size() == 1 ? buttons.front().result : IDCANCEL;
    if (QAbstractButton* clicked = box.clickedButton()) {
        const QMessageBox::StandardButton chosen = box.standardButton(clicked);
        for (const Button& button : buttons) {
            if (button.button == chosen) result = button.result;
        }
    }
    box.hide();
    if (disabled && IsWindow(top)) {
        EnableWindow(top, TRUE);
        SetActiveWindow(top);
    }
    return result;
}

}  // namespace user

// The "Edit" class: a single-line text field. Offsets in its messages count
// bytes of the window text, as the text is read through WM_GETTEXT.
#include <QLineEdit>

#include "platform/user/controls.h"
#include "platform/user/internal/class_registry.h"
#include "platform/user/internal/control_widget.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/messages.h"

namespace user::internal {
namespace {

class CEditWidget : public CControlWidget<QLineEdit> {
public:
    using CControlWidget::CControlWidget;
};

CEditWidget* EditOf(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    return record ? dynamic_cast<CEditWidget*>(record->widget.data()) : nullptr;
}

int Utf8Length(QChar c) {
    const char16_t unit = c.unicode();
    if (unit < 0x80) return 1;
    if (unit < 0x800) return 2;
    if (QChar::isSurrogate(unit)) return 2;  // each half of a 4-byte character
    return 3;
}

// Text position (UTF-16 units) of a byte offset; -1 and offsets past the
// end mean the end.
qsizetype PositionOfByte(const QString& text, LPARAM offset) {
    if (offset < 0) return text.size();
    LPARAM bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (bytes >= offset) return i;
        bytes += Utf8Length(text[i]);
    }
    return text.size();
}

LPARAM ByteOfPosition(const QString& text, qsizetype position) {
    LPARAM bytes = 0;
    for (qsizetype i = 0; i < position && i < text.size(); ++i) bytes += Utf8Length(text[i]);
    return bytes;
}

QWidget* CreateEdit(HWND window, const CREATESTRUCTA& create, QWidget* parent) {
    const DWORD style = static_cast<DWORD>(create.style);
    auto* edit = new CEditWidget(window, parent);
    edit->setFrame((style & WS_BORDER) || (create.dwExStyle & WS_EX_CLIENTEDGE));
    const DWORD align = style & (ES_CENTER | ES_RIGHT);
    edit->setAlignment((align == ES_CENTER  ? Qt::AlignHCenter
                        : align == ES_RIGHT ? Qt::AlignRight
                                            : Qt::AlignLeft) |
                       Qt::AlignVCenter);
    edit->setReadOnly((style & ES_READONLY) != 0);
    if (style & ES_PASSWORD) edit->setEchoMode(QLineEdit::Password);
    edit->setText(QString::fromUtf8(create.lpszName ? create.lpszName : ""));
    edit->setFocusPolicy(Qt::ClickFocus);
    QObject::connect(edit, &QLineEdit::textChanged, edit, [window](const QString& text) {
        WindowRecord* record = FindWindowRecord(window);
        if (!record) return;
        record->text = text.toUtf8().toStdString();
        NotifyParent(window, EN_CHANGE);
    });
    return edit;
}

LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (CommonControlMessage(window, message, wParam, lParam, &result, IDC_IBEAM_ID)) return result;
    CEditWidget* edit = EditOf(window);
    switch (message) {
        case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        case EM_SETSEL: {
            if (!edit) return 0;
            const auto start = static_cast<LPARAM>(static_cast<INT_PTR>(wParam));
            if (start < 0) {
                edit->deselect();
                return 0;
            }
            const QString text = edit->text();
            const qsizetype from = PositionOfByte(text, start);
            const qsizetype to = PositionOfByte(text, lParam);
            // The caret ends at the second offset, as given.
            edit->setSelection(static_cast<int>(from), static_cast<int>(to - from));
            return 0;
        }
        case EM_GETSEL: {
            if (!edit) return 0;
            const QString text = edit->text();
            const qsizetype from = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
            const qsizetype to = edit->hasSelectedText() ? edit->selectionEnd() : from;
            const auto start = static_cast<DWORD>(ByteOfPosition(text, from));
            const auto end = static_cast<DWORD>(ByteOfPosition(text, to));
            if (wParam) *reinterpret_cast<DWORD*>(wParam) = start;
            if (lParam) *reinterpret_cast<DWORD*>(lParam) = end;
            return static_cast<LRESULT>(MAKELPARAM(static_cast<int>(std::min<DWORD>(start, 0xFFFF)),
                                                   static_cast<int>(std::min<DWORD>(end, 0xFFFF))));
        }
        case EM_LIMITTEXT:
            if (edit) edit->setMaxLength(wParam == 0 || wParam > 0x7FFFFFFE ? 0x7FFFFFFE : static_cast<int>(wParam));
            return 0;
        case WM_SETTEXT: {
            const LRESULT set = DefWindowProcA(window, message, wParam, lParam);
            if ((edit = EditOf(window)) != nullptr) {
                const WindowRecord* record = FindWindowRecord(window);
                edit->setText(QString::fromUtf8(record->text.c_str()));
            }
            return set;
        }
        case WM_SETFOCUS: NotifyParent(window, EN_SETFOCUS); return 0;
        case WM_KILLFOCUS: NotifyParent(window, EN_KILLFOCUS); return 0;
        default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void RegisterEditClass() { RegisterBuiltInClass("Edit", 0, EditProc, nullptr, CreateEdit); }

}  // namespace user::internal

// The "Static" class: text, an icon or a bitmap, drawn in the colours its
// parent gives when asked (WM_CTLCOLORSTATIC). Without SS_NOTIFY it lets
// the pointer through to its parent; with it, a click reports STN_CLICKED.
#include <QPaintEvent>
#include <QPainter>
#include <qdrawutil.h>

#include <charconv>
#include <cstring>

#include "platform/gdi/handles.h"
#include "platform/gdi/surfaces.h"
#include "platform/user/application.h"
#include "platform/user/controls.h"
#include "platform/user/icons.h"
#include "platform/user/internal/class_registry.h"
#include "platform/user/internal/control_widget.h"
#include "platform/user/internal/resource_store.h"
#include "platform/user/internal/toolkit_image.h"
#include "platform/user/internal/toolkit_resources.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/messages.h"
#include "platform/user/system_metrics.h"
#include "platform/user/window_management.h"

namespace user::internal {
namespace {

DWORD TypeOf(DWORD style) { return style & SS_TYPEMASK; }

class CStaticWidget : public CControlWidget<QWidget> {
public:
    using CControlWidget::CControlWidget;
    HICON icon = nullptr;
    QPixmap bitmap;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The resource number a picture static names in its text ("#128").
bool ResourceNumber(const char* text, WORD* number) {
    if (!text || text[0] != '#') return false;
    const char* end = text + std::strlen(text);
    unsigned value = 0;
    const auto parsed = std::from_chars(text + 1, end, value);
    if (parsed.ec != std::errc() || parsed.ptr != end || value == 0 || value > 0xFFFF) return false;
    *number = static_cast<WORD>(value);
    return true;
}

// Width of the border an extended style draws inside the control.
int BorderWidth(DWORD style, DWORD exStyle) {
    if (exStyle & WS_EX_DLGMODALFRAME) return 3;
    if (exStyle & WS_EX_CLIENTEDGE) return 2;
    if (style & WS_BORDER) return 1;
    return 0;
}

struct Colours {
    bool fill = false;
    QColor background;
    QColor text;
};

// Asks the parent, as a static control does before it draws.
Colours AskColours(HWND window, const QPalette& palette) {
    Colours colours;
    colours.text = palette.color(QPalette::WindowText);
    const HWND parent = GetParent(window);
    const gdi::HDC dc = gdi::CreateCompatibleDC(nullptr);
    if (!parent || !dc) {
        if (dc) gdi::DeleteDC(dc);
        return colours;
    }
    const auto brush = reinterpret_cast<gdi::HGDIOBJ>(
        SendMessageA(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
    const gdi::COLORREF text = gdi::GetTextColor(dc);
    gdi::DeleteDC(dc);
    if (text != gdi::CLR_INVALID)
        colours.text = QColor(gdi::GetRValue(text), gdi::GetGValue(text), gdi::GetBValue(text));
    gdi::LOGBRUSH description{};
    if (brush && gdi::GetObjectType(brush) == gdi::OBJ_BRUSH &&
        gdi::GetObjectA(brush, sizeof description, &description) == sizeof description &&
        description.lbStyle == gdi::BS_SOLID) {
        colours.fill = true;
        const gdi::COLORREF c = description.lbColor;
        colours.background = QColor(gdi::GetRValue(c), gdi::GetGValue(c), gdi::GetBValue(c));
    }
    return colours;
}

// Japanese (and other wide-script) characters may start or end a line
// anywhere; other text breaks only at blanks.
bool BreaksAnywhere(QChar c) { return c.unicode() >= 0x2E80; }

// Lines of a static text, as dialogs break them: at blanks and between
// wide characters. A word wider than the control stays whole and is cut
// by the control's edge rather than broken at its punctuation.
QStringList BreakLines(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        // Pieces: a run of blanks, a wide character, or a word.
        QStringList pieces;
        for (qsizetype i = 0; i < paragraph.size();) {
            qsizetype end = i + 1;
            if (paragraph[i].isSpace()) {
                while (end < paragraph.size() && paragraph[end].isSpace()) ++end;
            } else if (!BreaksAnywhere(paragraph[i])) {
                while (end < paragraph.size() && !paragraph[end].isSpace() && !BreaksAnywhere(paragraph[end])) ++end;
            }
            pieces.append(paragraph.mid(i, end - i));
            i = end;
        }
        QString line;
        for (const QString& piece : pieces) {
            const QString longer = line + piece;
            if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width && !piece[0].isSpace()) {
                lines.append(line.trimmed());
                line = piece;
            } else {
                line = longer;
            }
        }
        lines.append(line.trimmed());
    }
    return lines;
}

void CStaticWidget::paintEvent(QPaintEvent*) {
    const WindowRecord* record = FindWindowRecord(window_);
    if (!record) return;
    const DWORD style = record->style;
    const DWORD exStyle = record->exStyle;
    const std::string text = record->text;
    const Colours colours = AskColours(window_, palette());
    if (!FindWindowRecord(window_)) return;

    QPainter painter(this);
    const int border = BorderWidth(style, exStyle);
    if (exStyle & WS_EX_DLGMODALFRAME) {
        qDrawWinPanel(&painter, rect(), palette(), false);
        painter.setPen(palette().color(QPalette::Window));
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    } else if (exStyle & WS_EX_CLIENTEDGE) {
        qDrawWinPanel(&painter, rect(), palette(), true);
    } else if (style & WS_BORDER) {
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    const QRect inside = rect().adjusted(border, border, -border, -border);
    if (inside.isEmpty()) return;
    painter.setClipRect(inside);
    if (colours.fill) painter.fillRect(inside, colours.background);

    switch (TypeOf(style)) {
        case SS_ICON: {
            const int side = GetSystemMetrics(SM_CXICON);
            const QPixmap picture = IconOf(icon).pixmap(side, side);
            const QPoint at = (style & SS_CENTERIMAGE)
                                  ? inside.center() - QPoint(picture.width() / 2, picture.height() / 2)
                                  : inside.topLeft();
            painter.drawPixmap(at, picture);
            break;
        }
        case SS_BITMAP: {
            // At its own size from the upper-left corner, cut by the control.
            const QPoint at = (style & SS_CENTERIMAGE)
                                  ? inside.center() - QPoint(bitmap.width() / 2, bitmap.height() / 2)
                                  : inside.topLeft();
            painter.drawPixmap(at, bitmap);
            break;
        }
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT: {
            int flags = Qt::AlignTop | Qt::TextSingleLine;
            flags |= TypeOf(style) == SS_CENTER  ? Qt::AlignHCenter
                     : TypeOf(style) == SS_RIGHT ? Qt::AlignRight
                                                 : Qt::AlignLeft;
            // Without SS_NOPREFIX '&' underlines the next character.
            if (!(style & SS_NOPREFIX)) flags |= Qt::TextShowMnemonic;
            painter.setFont(font());
            painter.setPen(isEnabled() ? colours.text : palette().color(QPalette::Disabled, QPalette::WindowText));
            const QFontMetrics metrics(font());
            QRect line = inside;
            const bool left = TypeOf(style) == SS_LEFT;
            for (const QString& piece : BreakLines(QString::fromUtf8(text.c_str()), metrics, inside.width())) {
                if (line.top() >= inside.bottom()) break;
                // A left-aligned line wider than the control runs on and is
                // cut by the control's edge.
                const int lineWidth =
                    left ? std::max(line.width(), metrics.horizontalAdvance(piece) + 1) : line.width();
                painter.drawText(QRect(line.left(), line.top(), lineWidth, metrics.height()), flags, piece);
                line.setTop(line.top() + metrics.height());
            }
            break;
        }
        default: break;
    }
}

CStaticWidget* StaticOf(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    return record ? dynamic_cast<CStaticWidget*>(record->widget.data()) : nullptr;
}

QWidget* CreateStatic(HWND window, const CREATESTRUCTA& create, QWidget* parent) {
    auto* control = new CStaticWidget(window, parent);
    control->setFocusPolicy(Qt::NoFocus);
    const DWORD style = static_cast<DWORD>(create.style);
    WORD number = 0;
    if (ResourceNumber(create.lpszName, &number)) {
        if (TypeOf(style) == SS_ICON) {
            control->icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(number));
        } else if (TypeOf(style) == SS_BITMAP) {
            if (const ImageData* image = FindBitmapResource(number))
                control->bitmap = QPixmap::fromImage(ToolkitImage(*image));
        }
    }
    return control;
}

// Unless SS_REALSIZEIMAGE keeps the template's size, a picture control
// takes its picture's size (an icon's: the system icon size).
void FitToPicture(HWND window, const CREATESTRUCTA& create) {
    const CStaticWidget* control = StaticOf(window);
    const DWORD style = static_cast<DWORD>(create.style);
    if (!control || (style & SS_REALSIZEIMAGE)) return;
    const int border = 2 * BorderWidth(style, create.dwExStyle);
    if (TypeOf(style) == SS_ICON && control->icon) {
        MoveWindow(window, create.x, create.y, GetSystemMetrics(SM_CXICON) + border,
                   GetSystemMetrics(SM_CYICON) + border, FALSE);
    } else if (TypeOf(style) == SS_BITMAP && !control->bitmap.isNull()) {
        MoveWindow(window, create.x, create.y, control->bitmap.width() + border, control->bitmap.height() + border,
                   FALSE);
    }
}

LRESULT StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (CommonControlMessage(window, message, wParam, lParam, &result, IDC_ARROW_ID)) return result;
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) return 0;
    const DWORD style = record->style;
    switch (message) {
        case WM_CREATE: FitToPicture(window, *reinterpret_cast<const CREATESTRUCTA*>(lParam)); return 0;
        case WM_NCHITTEST:
            if (!(style & SS_NOTIFY)) return HTTRANSPARENT;
            break;
        case WM_GETDLGCODE: return DLGC_STATIC;
        case WM_LBUTTONDOWN:
            if (style & SS_NOTIFY) NotifyParent(window, STN_CLICKED);
            return 0;
        case STM_SETICON: {
            CStaticWidget* control = StaticOf(window);
            if (!control) return 0;
            const HICON previous = control->icon;
            control->icon = reinterpret_cast<HICON>(wParam);
            control->update();
            return reinterpret_cast<LRESULT>(previous);
        }
        case STM_GETICON: {
            const CStaticWidget* control = StaticOf(window);
            return control ? reinterpret_cast<LRESULT>(control->icon) : 0;
        }
        case WM_SETTEXT: {
            const LRESULT set = DefWindowProcA(window, message, wParam, lParam);
            if (CStaticWidget* control = StaticOf(window)) control->update();
            return set;
        }
        default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void RegisterStaticClass() { RegisterBuiltInClass("Static", 0, StaticProc, nullptr, CreateStatic); }

}  // namespace user::internal

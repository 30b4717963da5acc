// The default handling of messages: what a window does with a message its
// own procedure passes on.
#include <QCursor>
#include <QPoint>

#include <algorithm>
#include <cstring>

#include "platform/gdi/surfaces.h"
#include "platform/user/capture.h"
#include "platform/user/controls.h"
#include "platform/user/system_colors.h"
#include "platform/user/cursors.h"
#include "platform/user/internal/class_registry.h"
#include "platform/user/internal/menu_runner.h"
#include "platform/user/internal/pointer_move.h"
#include "platform/user/internal/toolkit_resources.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/messages.h"
#include "platform/user/internal/paint_defaults.h"
#include "platform/user/window_management.h"

namespace user {
namespace {

using internal::FindWindowRecord;
using internal::WindowRecord;

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

LRESULT HitTest(HWND window, LPARAM lParam) {
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return HTNOWHERE;
    const POINT point = PointOf(lParam);
    const bool inside = point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
    return inside ? HTCLIENT : HTNOWHERE;
}

LRESULT SetCursorDefault(HWND window, WPARAM wParam, LPARAM lParam) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) return FALSE;
    // A parent may choose the shape for its children.
    if (internal::IsChildStyle(*record) && record->parent &&
        SendMessageA(record->parent, WM_SETCURSOR, wParam, lParam)) {
        return TRUE;
    }
    record = FindWindowRecord(window);
    if (!record) return FALSE;
    const LRESULT hit = static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam)));
    if (hit == HTCLIENT) {
        // Without a class pointer the shape stays whatever was set last.
        if (record->windowClass && record->windowClass->info.hCursor) {
            SetCursor(record->windowClass->info.hCursor);
            return TRUE;
        }
        return FALSE;
    }
    if (hit == HTCAPTION || hit == HTSYSMENU || hit == HTNOWHERE) SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    return FALSE;
}

bool HasWindowMenu(const WindowRecord& record) {
    return !internal::IsChildStyle(record) && (record.style & WS_SYSMENU);
}

LRESULT ContextMenuDefault(HWND window, WPARAM wParam, LPARAM lParam) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) return 0;
    if (internal::IsChildStyle(*record)) {
        return record->parent ? SendMessageA(record->parent, WM_CONTEXTMENU, wParam, lParam) : 0;
    }
    if (!HasWindowMenu(*record) || lParam == -1) return 0;
    // A right click on what the window calls its caption opens its menu.
    const LRESULT hit = SendMessageA(window, WM_NCHITTEST, 0, lParam);
    if (hit == HTCAPTION || hit == HTSYSMENU) {
        const POINT point = PointOf(lParam);
        internal::ShowWindowMenu(window, point.x, point.y);
    }
    return 0;
}

LRESULT SysCommandDefault(HWND window, WPARAM wParam, LPARAM lParam) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) return 0;
    switch (static_cast<UINT>(wParam) & 0xFFF0) {
        case SC_CLOSE: SendMessageA(window, WM_CLOSE, 0, 0); break;
        case SC_MINIMIZE: ShowWindow(window, SW_MINIMIZE); break;
        case SC_RESTORE: ShowWindow(window, SW_RESTORE); break;
        case SC_MOVE:
            // The window follows the pointer from where it is now.
            internal::StartPointerMove(window, QCursor::pos(), false);
            break;
        case SC_KEYMENU:
            if (lParam == ' ' && HasWindowMenu(*record)) {
                RECT rect{};
                GetWindowRect(window, &rect);
                internal::ShowWindowMenu(window, rect.left, rect.top);
            }
            break;
        default: break;
    }
    return 0;
}

LRESULT SysKeyDownDefault(HWND window, WPARAM wParam, LPARAM lParam) {
    const bool alt = (HIWORD(static_cast<std::uintptr_t>(lParam)) & KF_ALTDOWN) != 0;
    if (!alt) return 0;
    HWND top = internal::TopLevelOf(window);
    if (wParam == VK_F4) {
        SendMessageA(top, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (wParam == VK_SPACE) {
        SendMessageA(top, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    }
    return 0;
}

LRESULT SetTextDefault(HWND window, LPARAM lParam) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record) return FALSE;
    const char* text = reinterpret_cast<const char*>(lParam);
    record->text = text ? text : "";
    if (record->widget) record->widget->setWindowTitle(QString::fromUtf8(record->text.c_str()));
    return TRUE;
}

LRESULT GetTextDefault(HWND window, WPARAM wParam, LPARAM lParam) {
    const WindowRecord* record = FindWindowRecord(window);
    char* buffer = reinterpret_cast<char*>(lParam);
    if (!record || !buffer || wParam == 0) return 0;
    const std::size_t length = std::min<std::size_t>(record->text.size(), wParam - 1);
    std::memcpy(buffer, record->text.data(), length);
    buffer[length] = '\0';
    return static_cast<LRESULT>(length);
}

LRESULT SetIconDefault(HWND window, WPARAM wParam, LPARAM lParam) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record) return 0;
    HICON& slot = wParam == 0 ? record->smallIcon : record->bigIcon;
    HICON previous = slot;
    slot = reinterpret_cast<HICON>(lParam);
    if (record->widget && !internal::IsChildStyle(*record)) {
        // The desktop shows one icon set per window: both sizes go in it.
        QIcon icon;
        for (HICON handle : {record->bigIcon, record->smallIcon}) {
            const QIcon picture = internal::IconOf(handle);
            for (const QSize& size : picture.availableSizes()) icon.addPixmap(picture.pixmap(size));
        }
        record->widget->setWindowIcon(icon);
    }
    return reinterpret_cast<LRESULT>(previous);
}

// The colours a control draws in unless its parent chooses others: text
// fields on the window colour, everything else on the face colour.
LRESULT ControlColourDefault(UINT message, WPARAM surface) {
    const auto dc = reinterpret_cast<gdi::HDC>(surface);
    const bool field = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
    gdi::SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    gdi::SetBkColor(dc, GetSysColor(field ? COLOR_WINDOW : COLOR_3DFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(field ? COLOR_WINDOW : COLOR_3DFACE));
}

// F1 asks the window for help: WM_HELP naming the window and the pointer.
void AskForHelp(HWND window) {
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = static_cast<int>(GetWindowLongPtrA(window, GWLP_ID));
    info.hItemHandle = window;
    const QPoint pointer = QCursor::pos();
    info.MousePos = POINT{pointer.x(), pointer.y()};
    SendMessageA(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!FindWindowRecord(window)) return 0;
    switch (message) {
        case WM_NCCREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            SetTextDefault(window, reinterpret_cast<LPARAM>(create ? create->lpszName : nullptr));
            return TRUE;
        }
        case WM_NCHITTEST: return HitTest(window, lParam);
        case WM_SETCURSOR: return SetCursorDefault(window, wParam, lParam);
        case WM_NCLBUTTONDOWN:
            if (wParam == static_cast<WPARAM>(HTCAPTION)) {
                const POINT point = PointOf(lParam);
                internal::StartPointerMove(window, QPoint(point.x, point.y), true);
            }
            return 0;
        case WM_RBUTTONUP: {
            POINT point = PointOf(lParam);
            ClientToScreen(window, &point);
            SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(point.x, point.y));
            return 0;
        }
        case WM_NCRBUTTONUP:
            if (wParam == static_cast<WPARAM>(HTCAPTION) || wParam == static_cast<WPARAM>(HTSYSMENU)) {
                SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), lParam);
            }
            return 0;
        case WM_CONTEXTMENU: return ContextMenuDefault(window, wParam, lParam);
        case WM_SYSKEYDOWN: return SysKeyDownDefault(window, wParam, lParam);
        case WM_KEYDOWN:
            if (wParam == VK_F1) AskForHelp(window);
            return 0;
        case WM_HELP: {
            // Up to the parent of a child window, or the owner of a
            // top-level one, until some window answers.
            const WindowRecord* record = FindWindowRecord(window);
            const HWND next = internal::IsChildStyle(*record) ? record->parent : record->owner;
            return IsWindow(next) ? SendMessageA(next, WM_HELP, wParam, lParam) : 0;
        }
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: return ControlColourDefault(message, wParam);
        case WM_SYSCOMMAND: return SysCommandDefault(window, wParam, lParam);
        case WM_CLOSE: DestroyWindow(window); return 0;
        case WM_CANCELMODE:
            if (GetCapture() == window) ReleaseCapture();
            return 0;
        case WM_PAINT: return internal::DefaultPaint(window);
        case WM_ERASEBKGND: return internal::DefaultErase(window, wParam);
        case WM_SETTEXT: return SetTextDefault(window, lParam);
        case WM_GETTEXT: return GetTextDefault(window, wParam, lParam);
        case WM_GETTEXTLENGTH: {
            const WindowRecord* record = FindWindowRecord(window);
            return static_cast<LRESULT>(record->text.size());
        }
        case WM_SETICON: return SetIconDefault(window, wParam, lParam);
        case WM_GETICON: {
            const WindowRecord* record = FindWindowRecord(window);
            return reinterpret_cast<LRESULT>(wParam == 0 ? record->smallIcon : record->bigIcon);
        }
        case WM_QUERYDRAGICON: {
            const WindowRecord* record = FindWindowRecord(window);
            return reinterpret_cast<LRESULT>(record->windowClass ? record->windowClass->info.hIcon : nullptr);
        }
        default: return 0;
    }
}

}  // namespace user

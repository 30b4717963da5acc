#include "platform/user/window_management.h"

#include <QWindow>

#include <algorithm>
#include <cstring>

#include "platform/saturate.h"
#include "platform/user/activation.h"
#include "platform/user/application.h"
#include "platform/user/capture.h"
#include "platform/user/internal/activation_tracking.h"
#include "platform/user/internal/class_registry.h"
#include "platform/user/internal/creation_hook.h"
#include "platform/user/internal/pointer_move.h"
#include "platform/user/internal/task_bar.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/internal/window_widget.h"
#include "platform/user/menus.h"
#include "platform/user/messages.h"
#include "platform/user/user_testing.h"

namespace user {
namespace {

using internal::FindWindowRecord;
using internal::WindowRecord;

// X11 window positions are signed 16-bit and the toolkit keeps them within
// +-32767; sides are kept to what a position can reach.
constexpr int maxSide = 32767;
constexpr int minPosition = -32767;
constexpr int maxPosition = 32767;

int ClampSide(int side) { return std::clamp(side, 0, maxSide); }
int ClampPosition(int position) {
    return position == CW_USEDEFAULT ? 0 : std::clamp(position, minPosition, maxPosition);
}
int Shown(LONG side) { return std::max<LONG>(1, side); }

bool HasCaption(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION; }

Qt::WindowFlags TopLevelFlags(DWORD style, DWORD exStyle) {
    Qt::WindowFlags flags = ((exStyle & WS_EX_TOOLWINDOW) && !(exStyle & WS_EX_APPWINDOW)) ? Qt::Tool : Qt::Window;
    if (!HasCaption(style)) {
        flags |= Qt::FramelessWindowHint;
    } else {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
    }
    if (exStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
    return flags;
}

// Frame the window manager adds around a captioned window's client area.
QMargins FrameMargins(const QWidget* widget) {
    const QRect frame = widget->frameGeometry();
    const QRect client = widget->geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                    frame.bottom() - client.bottom());
}

void ReportGeometry(HWND window) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record || !record->widget) return;
    const POINT origin = internal::IsChildStyle(*record) ? POINT{record->widget->x(), record->widget->y()}
                                                         : internal::ClientOrigin(*record);
    if (origin != record->reportedOrigin) {
        record->reportedOrigin = origin;
        SendMessageA(window, WM_MOVE, 0, internal::PackPoint(origin.x, origin.y));
    }
    record = FindWindowRecord(window);
    if (record && record->clientSize != record->reportedSize) {
        record->reportedSize = record->clientSize;
        SendMessageA(window, WM_SIZE, SIZE_RESTORED, internal::PackPoint(record->clientSize.cx, record->clientSize.cy));
    }
}

void MarkDestroying(WindowRecord& record) {
    record.destroying = true;
    for (HWND child : record.children) {
        if (WindowRecord* childRecord = FindWindowRecord(child)) MarkDestroying(*childRecord);
    }
}

bool HoldsCapture(HWND window) {
    for (HWND holder = GetCapture(); holder; holder = GetParent(holder)) {
        if (holder == window) return true;
        const WindowRecord* record = FindWindowRecord(holder);
        if (!record || !internal::IsChildStyle(*record)) break;
    }
    return false;
}

// WM_DESTROY reaches a window before its children.
void SendDestroy(HWND window) {
    SendMessageA(window, WM_DESTROY, 0, 0);
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) return;
    const std::vector<HWND> children = record->children;
    for (HWND child : children) SendDestroy(child);
}

// WM_NCDESTROY reaches the children first; then the handle ends.
void FinishDestroy(HWND window) {
    const auto record = internal::LockWindowRecord(window);
    if (!record) return;
    const std::vector<HWND> children = record->children;
    for (HWND child : children) FinishDestroy(child);
    SendMessageA(window, WM_NCDESTROY, 0, 0);

    internal::ServiceState& state = internal::State();
    if (state.capture == window) state.capture = nullptr;
    if (state.active == window) state.active = nullptr;
    if (state.focus == window) state.focus = nullptr;
    if (state.pointerWindow == window) state.pointerWindow = nullptr;
    if (record->systemMenu) DestroyMenu(record->systemMenu);
    if (WindowRecord* parent = FindWindowRecord(record->parent)) {
        std::erase(parent->children, window);
    }
    internal::Windows().Remove(window);
    // The toolkit widget may be delivering the very event that destroyed
    // its window, so it goes once control is back in the event loop.
    if (QWidget* widget = record->widget) {
        widget->hide();
        widget->deleteLater();
    }
}

}  // namespace

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param) {
    if (!IsApplicationRunning()) return nullptr;
    const auto windowClass = internal::FindClass(className);
    if (!windowClass) return nullptr;
    const bool child = (style & WS_CHILD) != 0;
    if ((child || parent) && !FindWindowRecord(parent)) return nullptr;
    if (child && (style & WS_POPUP)) return nullptr;

    x = ClampPosition(x);
    y = ClampPosition(y);
    width = width == CW_USEDEFAULT ? 0 : ClampSide(width);
    height = height == CW_USEDEFAULT ? 0 : ClampSide(height);

    static std::uint64_t serial = 0;
    auto record = std::make_shared<WindowRecord>();
    record->serial = ++serial;
    record->windowClass = windowClass;
    record->proc = windowClass->info.lpfnWndProc;
    record->style = style & ~WS_VISIBLE;  // set when it is shown
    record->exStyle = exStyle;
    record->parent = child ? parent : nullptr;
    record->owner = child || !parent ? nullptr : internal::TopLevelOf(parent);
    record->instance = instance;
    record->id = child ? reinterpret_cast<UINT_PTR>(menuOrId) : 0;
    record->clientSize = SIZE{width, height};
    const HWND window = internal::Windows().Add(record);
    if (!window) return nullptr;
    record->handle = window;
    if (child) FindWindowRecord(parent)->children.push_back(window);

    CREATESTRUCTA create{};
    create.lpCreateParams = param;
    create.hInstance = instance;
    create.hMenu = menuOrId;
    create.hwndParent = parent;
    create.cy = height;
    create.cx = width;
    create.y = y;
    create.x = x;
    create.style = static_cast<LONG>(style);
    create.lpszName = windowName;
    create.lpszClass = className;
    create.dwExStyle = exStyle;

    QWidget* parentWidget = child ? FindWindowRecord(parent)->widget.data() : nullptr;
    QWidget* widget =
        windowClass->factory
            ? windowClass->factory(window, create, parentWidget)
            : new internal::CWindowWidget(window, parentWidget, child ? Qt::Widget : TopLevelFlags(style, exStyle));
    if (!widget) {
        if (child) std::erase(FindWindowRecord(parent)->children, window);
        internal::Windows().Remove(window);
        return nullptr;
    }
    internal::BindWidget(widget, window);
    record->widget = widget;
    widget->setGeometry(x, y, Shown(width), Shown(height));
    // A new window's first paint erases, as any later one asked to.
    if (auto* own = dynamic_cast<internal::CWindowWidget*>(widget)) own->AddInvalid(QRect(0, 0, width, height), true);
    if (!child) {
        // Owned windows are not the owner's toolkit children: disabling an
        // owner must leave the windows it owns usable. The owner is the
        // native transient parent instead.
        widget->winId();
        if ((exStyle & WS_EX_TOOLWINDOW) && !(exStyle & WS_EX_APPWINDOW)) internal::KeepOffTaskBar(widget);
        if (record->owner) {
            QWidget* ownerWidget = FindWindowRecord(record->owner)->widget;
            if (ownerWidget) {
                ownerWidget->winId();
                widget->windowHandle()->setTransientParent(ownerWidget->windowHandle());
            }
        }
    }
    if (style & WS_DISABLED) widget->setEnabled(false);

    if (!internal::CreationAllowed(window, &create)) {
        DestroyWindow(window);
        return nullptr;
    }
    if (!SendMessageA(window, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        DestroyWindow(window);
        return nullptr;
    }
    if (!IsWindow(window) || SendMessageA(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(window);
        return nullptr;
    }
    if (!IsWindow(window)) return nullptr;
    ReportGeometry(window);
    if ((style & WS_VISIBLE) && IsWindow(window)) ShowWindow(window, SW_SHOW);
    return internal::LiveOrNull(window);
}

BOOL DestroyWindow(HWND window) {
    const auto record = internal::LockWindowRecord(window);
    if (!record) return FALSE;
    if (record->destroying) return TRUE;
    MarkDestroying(*record);

    if (internal::PointerMoveActive()) internal::EndPointerMove();
    if (HoldsCapture(window)) ReleaseCapture();
    const bool wasActive = GetActiveWindow() == window;
    if (record->widget) record->widget->hide();

    // Windows it owns go first, each with its own destroy handling.
    if (!internal::IsChildStyle(*record)) {
        for (HWND owned : internal::OwnedWindows(window)) DestroyWindow(owned);
    }
    SendDestroy(window);
    FinishDestroy(window);

    // As on any desktop, closing the active window hands activation back to
    // its owner.
    if (wasActive && record->owner && IsWindowVisible(record->owner) && IsWindowEnabled(record->owner)) {
        SetActiveWindow(record->owner);
    }
    return TRUE;
}

BOOL IsWindow(HWND window) { return FindWindowRecord(window) ? TRUE : FALSE; }

long LiveWindowCount() { return static_cast<long>(internal::Windows().Count()); }

BOOL ShowWindow(HWND window, int command) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record || !record->widget) return FALSE;
    const BOOL wasVisible = (record->style & WS_VISIBLE) ? TRUE : FALSE;
    const bool topLevel = !internal::IsChildStyle(*record);
    switch (command) {
        case SW_HIDE:
            if (!wasVisible) return FALSE;
            SendMessageA(window, WM_SHOWWINDOW, FALSE, 0);
            record = FindWindowRecord(window);
            if (!record) return wasVisible;
            record->style &= ~WS_VISIBLE;
            if (HoldsCapture(window)) ReleaseCapture();
            if (internal::State().active == window) internal::NoteDeactivated(window);
            if ((record = FindWindowRecord(window)) && record->widget) record->widget->hide();
            return wasVisible;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
            if (!topLevel) return wasVisible;
            if (!wasVisible) SendMessageA(window, WM_SHOWWINDOW, TRUE, 0);
            if (!(record = FindWindowRecord(window))) return wasVisible;
            record->style |= WS_VISIBLE;
            record->widget->showMinimized();
            return wasVisible;
        default: break;
    }
    if (!wasVisible) {
        SendMessageA(window, WM_SHOWWINDOW, TRUE, 0);
        if (!(record = FindWindowRecord(window))) return wasVisible;
    }
    record->style |= WS_VISIBLE;
    if (command == SW_RESTORE || command == SW_SHOWNORMAL) {
        if (topLevel && record->widget->isMinimized()) {
            record->widget->showNormal();
        } else {
            record->widget->show();
        }
    } else {
        record->widget->show();
    }
    const bool activate = command != SW_SHOWNA && command != SW_SHOWNOACTIVATE;
    if (topLevel && activate && !(record->style & WS_DISABLED)) {
        SetActiveWindow(window);
    } else if (topLevel) {
        internal::RaiseWithOwned(window);
    }
    return wasVisible;
}

BOOL IsWindowVisible(HWND window) {
    // Visible only when the window and every window it lies in are.
    for (const WindowRecord* record = FindWindowRecord(window); record;
         record = internal::IsChildStyle(*record) ? FindWindowRecord(record->parent) : nullptr) {
        if (!(record->style & WS_VISIBLE)) return FALSE;
    }
    return FindWindowRecord(window) ? TRUE : FALSE;
}

BOOL IsIconic(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    return record && (record->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record || !rect || !record->widget) return FALSE;
    const POINT origin = internal::ClientOrigin(*record);
    RECT result{origin.x, origin.y, SaturateToLong(static_cast<std::int64_t>(origin.x) + record->clientSize.cx),
                SaturateToLong(static_cast<std::int64_t>(origin.y) + record->clientSize.cy)};
    if (!internal::IsChildStyle(*record) && HasCaption(record->style)) {
        const QMargins frame = FrameMargins(record->widget);
        result.left -= frame.left();
        result.top -= frame.top();
        result.right += frame.right();
        result.bottom += frame.bottom();
    }
    *rect = result;
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record || !rect) return FALSE;
    *rect = RECT{0, 0, record->clientSize.cx, record->clientSize.cy};
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL /*repaint*/) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record || !record->widget) return FALSE;
    x = ClampPosition(x);
    y = ClampPosition(y);
    width = ClampSide(width);
    height = ClampSide(height);
    QWidget* widget = record->widget;
    if (!internal::IsChildStyle(*record) && HasCaption(record->style)) {
        // The given rectangle includes the window manager's frame.
        const QMargins frame = FrameMargins(widget);
        record->clientSize =
            SIZE{std::max(0, width - frame.left() - frame.right()), std::max(0, height - frame.top() - frame.bottom())};
        widget->move(x, y);
        widget->resize(Shown(record->clientSize.cx), Shown(record->clientSize.cy));
    } else {
        // The record holds the asked size before the toolkit reports its own.
        record->clientSize = SIZE{width, height};
        widget->setGeometry(x, y, Shown(width), Shown(height));
    }
    ReportGeometry(window);
    return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record || !point) return FALSE;
    const POINT origin = internal::ClientOrigin(*record);
    point->x = SaturateToLong(static_cast<std::int64_t>(point->x) + origin.x);
    point->y = SaturateToLong(static_cast<std::int64_t>(point->y) + origin.y);
    return TRUE;
}

HWND GetParent(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) return nullptr;
    if (internal::IsChildStyle(*record)) return record->parent;
    return (record->style & WS_POPUP) && IsWindow(record->owner) ? record->owner : nullptr;
}

HWND GetWindow(HWND window, UINT relation) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) return nullptr;
    if (relation == GW_OWNER) return IsWindow(record->owner) ? record->owner : nullptr;
    if (relation == GW_CHILD) return record->children.empty() ? nullptr : record->children.front();
    const WindowRecord* parent = internal::IsChildStyle(*record) ? FindWindowRecord(record->parent) : nullptr;
    if (!parent) return nullptr;
    const std::vector<HWND>& siblings = parent->children;
    const auto at = std::find(siblings.begin(), siblings.end(), window);
    if (at == siblings.end()) return nullptr;
    switch (relation) {
        case GW_HWNDFIRST: return siblings.front();
        case GW_HWNDLAST: return siblings.back();
        case GW_HWNDNEXT: return at + 1 == siblings.end() ? nullptr : *(at + 1);
        case GW_HWNDPREV: return at == siblings.begin() ? nullptr : *(at - 1);
        default: return nullptr;
    }
}

BOOL EnableWindow(HWND window, BOOL enable) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record) return FALSE;
    const BOOL wasDisabled = (record->style & WS_DISABLED) ? TRUE : FALSE;
    if (wasDisabled == !enable) return wasDisabled;
    if (!enable) {
        // A disabled window ends its modes: a drag loses the capture.
        SendMessageA(window, WM_CANCELMODE, 0, 0);
        if (!(record = FindWindowRecord(window))) return wasDisabled;
        if (HoldsCapture(window)) ReleaseCapture();
        if (!(record = FindWindowRecord(window))) return wasDisabled;
        record->style |= WS_DISABLED;
    } else {
        record->style &= ~WS_DISABLED;
    }
    if (record->widget) record->widget->setEnabled(enable != FALSE);
    SendMessageA(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    return record && !(record->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    if (!IsWindow(window)) return FALSE;
    return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextA(HWND window, LPSTR buffer, int size) {
    if (!buffer || size <= 0 || !IsWindow(window)) return 0;
    buffer[0] = '\0';
    return static_cast<int>(
        SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthA(HWND window) { return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0)); }

LONG_PTR GetWindowLongPtrA(HWND window, int index) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) return 0;
    switch (index) {
        case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(record->proc);
        case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(record->instance);
        case GWLP_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>(internal::IsChildStyle(*record) ? record->parent : record->owner);
        case GWLP_ID: return static_cast<LONG_PTR>(record->id);
        case GWL_STYLE: return static_cast<LONG_PTR>(record->style);
        case GWL_EXSTYLE: return static_cast<LONG_PTR>(record->exStyle);
        case GWLP_USERDATA: return record->userData;
        default: return 0;
    }
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record) return 0;
    LONG_PTR previous = GetWindowLongPtrA(window, index);
    switch (index) {
        case GWLP_WNDPROC:
            if (!value) return 0;
            record->proc = reinterpret_cast<WNDPROC>(value);
            break;
        case GWLP_ID: record->id = static_cast<UINT_PTR>(value); break;
        case GWLP_USERDATA: record->userData = value; break;
        case GWL_EXSTYLE: record->exStyle = static_cast<DWORD>(value); break;
        case GWL_STYLE: {
            // Visibility and enabling change only through their own calls.
            constexpr DWORD kept = WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_CHILD | WS_POPUP;
            record->style = (record->style & kept) | (static_cast<DWORD>(value) & ~kept);
            break;
        }
        default: return 0;
    }
    return previous;
}

}  // namespace user

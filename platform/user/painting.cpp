#include "platform/user/painting.h"

#include <algorithm>

#include "platform/user/internal/paint_defaults.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/internal/window_widget.h"

namespace user {
namespace {

using internal::FindWindowRecord;

// The part of a rectangle inside the client area, computed without
// overflow for any rectangle a caller passes.
QRect ClientPart(const internal::WindowRecord& record, const RECT* rect) {
    const QRect client(0, 0, record.clientSize.cx, record.clientSize.cy);
    if (!rect) return client;
    const long long left = std::max<long long>(rect->left, 0);
    const long long top = std::max<long long>(rect->top, 0);
    const long long right = std::min<long long>(rect->right, record.clientSize.cx);
    const long long bottom = std::min<long long>(rect->bottom, record.clientSize.cy);
    if (right <= left || bottom <= top) return QRect();
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                 static_cast<int>(bottom - top));
}

}  // namespace

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    if (!window) {
        for (HWND each : internal::Windows().Handles()) InvalidateRect(each, nullptr, erase);
        return TRUE;
    }
    const internal::WindowRecord* record = FindWindowRecord(window);
    if (!record) return FALSE;
    const QRect area = ClientPart(*record, rect);
    if (area.isEmpty() || !record->widget) return TRUE;
    if (auto* widget = dynamic_cast<internal::CWindowWidget*>(record->widget.data())) {
        widget->AddInvalid(area, erase != FALSE);
    }
    record->widget->update(area);
    return TRUE;
}

BOOL UpdateWindow(HWND window) {
    const internal::WindowRecord* record = FindWindowRecord(window);
    if (!record) return FALSE;
    auto* widget = dynamic_cast<internal::CWindowWidget*>(record->widget.data());
    if (widget && widget->isVisible() && !widget->Invalid().isEmpty()) widget->repaint(widget->Invalid());
    return TRUE;
}

namespace internal {

LRESULT DefaultPaint(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) return 0;
    if (auto* widget = dynamic_cast<CWindowWidget*>(record->widget.data()); widget && !widget->InPaint()) {
        widget->TakeInvalid();
    }
    return 0;
}

LRESULT DefaultErase(HWND, WPARAM) { return 0; }

}  // namespace internal
}  // namespace user

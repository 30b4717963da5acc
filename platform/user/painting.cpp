#include "platform/user/painting.h"

#include <algorithm>

#include "platform/gdi/brushes.h"
#include "platform/gdi/clipping.h"
#include "platform/gdi/handles.h"
#include "platform/gdi/memory_surface.h"
#include "platform/gdi/pattern_blt.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/surfaces.h"
#include "platform/user/internal/class_registry.h"
#include "platform/user/internal/paint_defaults.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/internal/window_widget.h"
#include "platform/user/messages.h"

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

internal::CWindowWidget* WidgetOf(HWND window) {
    const internal::WindowRecord* record = FindWindowRecord(window);
    return record ? dynamic_cast<internal::CWindowWidget*>(record->widget.data()) : nullptr;
}

// The clip of a paint surface: the area to paint, in client coordinates.
bool ClipTo(gdi::HDC surface, const QRegion& area) {
    const gdi::HRGN clip = gdi::CreateRectRgn(0, 0, 0, 0);
    if (!clip) return false;
    bool ok = true;
    for (const QRect& rect : area) {
        const gdi::HRGN part =
            gdi::CreateRectRgn(rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height());
        ok = ok && part && gdi::CombineRgn(clip, clip, part, gdi::RGN_OR) != gdi::ERROR;
        if (part) gdi::DeleteObject(part);
    }
    ok = ok && gdi::SelectClipRgn(surface, clip) != gdi::ERROR;
    gdi::DeleteObject(clip);
    return ok;
}

}  // namespace

gdi::HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    internal::CWindowWidget* widget = WidgetOf(window);
    if (!widget || !paint) return nullptr;
    *paint = PAINTSTRUCT{};
    const internal::WindowRecord* record = FindWindowRecord(window);
    const QRect client(0, 0, record->clientSize.cx, record->clientSize.cy);
    // Inside WM_PAINT the area is the one being painted; outside it, the
    // area still invalid.
    const QRegion area = (widget->InPaint() ? widget->PaintRegion() : widget->TakeInvalid()) & client;
    const bool erase = widget->TakeErase();
    if (client.isEmpty()) return nullptr;
    const QRect box = area.isEmpty() ? QRect(0, 0, 1, 1) : area.boundingRect();
    const gdi::HDC surface = widget->BeginPaintSurface(box, area);
    if (!surface) return nullptr;
    if (!ClipTo(surface, area)) {
        widget->EndPaintSurface(surface);
        return nullptr;
    }
    paint->hdc = surface;
    if (!area.isEmpty())
        paint->rcPaint = RECT{box.left(), box.top(), box.left() + box.width(), box.top() + box.height()};
    if (erase) {
        paint->fErase = SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface), 0) ? FALSE : TRUE;
    }
    return surface;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    internal::CWindowWidget* widget = WidgetOf(window);
    if (!widget || !paint || !paint->hdc) return FALSE;
    return widget->EndPaintSurface(paint->hdc) ? TRUE : FALSE;
}

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
    PAINTSTRUCT paint;
    if (BeginPaint(window, &paint)) EndPaint(window, &paint);
    return 0;
}

LRESULT DefaultErase(HWND window, WPARAM surface) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record || !record->windowClass || !record->windowClass->info.hbrBackground) return 0;
    const auto dc = reinterpret_cast<gdi::HDC>(surface);
    RECT box{};
    if (gdi::GetClipBox(dc, &box) == gdi::ERROR) return 0;
    const gdi::HGDIOBJ previous = gdi::SelectObject(dc, record->windowClass->info.hbrBackground);
    if (!previous) return 0;
    const BOOL filled = gdi::PatBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, gdi::PATCOPY);
    gdi::SelectObject(dc, previous);
    return filled ? 1 : 0;
}

}  // namespace internal
}  // namespace user

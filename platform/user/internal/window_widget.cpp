#include "platform/user/internal/window_widget.h"

#include <QCloseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

#include "platform/gdi/surfaces.h"
#include "platform/user/internal/activation_tracking.h"
#include "platform/user/internal/input_routing.h"
#include "platform/user/internal/toolkit_resources.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/messages.h"

namespace user::internal {

CWindowWidget::CWindowWidget(HWND window, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), window_(window) {
    // The window's own pixels are its only content: the toolkit neither
    // fills a background nor repaints what is still valid after a resize.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_StaticContents);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

CWindowWidget::~CWindowWidget() { DropPaintSurfaces(); }

void CWindowWidget::AddPaintSurface(gdi::HDC surface, const QRegion& showWhenEnded) {
    paintSurfaces_.push_back(PaintSurface{surface, showWhenEnded});
}

bool CWindowWidget::EndPaintSurface(gdi::HDC surface) {
    for (auto it = paintSurfaces_.begin(); it != paintSurfaces_.end(); ++it) {
        if (it->surface != surface) continue;
        const QRegion show = it->showWhenEnded;
        paintSurfaces_.erase(it);
        gdi::DeleteDC(surface);
        Flush(show);
        return true;
    }
    return false;
}

void CWindowWidget::DropPaintSurfaces() {
    for (const PaintSurface& paint : paintSurfaces_) gdi::DeleteDC(paint.surface);
    paintSurfaces_.clear();
}

void CWindowWidget::SyncContentSize() {
    QSize size(1, 1);
    if (const WindowRecord* record = FindWindowRecord(window_)) {
        size = QSize(std::max<LONG>(1, record->clientSize.cx), std::max<LONG>(1, record->clientSize.cy));
    }
    if (content_.size() == size) return;
    DropPaintSurfaces();
    QImage resized(size, QImage::Format_RGB32);
    if (resized.isNull()) {
        content_ = QImage();
        return;
    }
    resized.fill(Qt::black);
    if (!content_.isNull()) {
        QPainter painter(&resized);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, content_);
    }
    content_ = resized;
}

QImage& CWindowWidget::Content() {
    SyncContentSize();
    return content_;
}

QRegion CWindowWidget::TakeInvalid() {
    QRegion region = invalid_;
    invalid_ = QRegion();
    return region;
}

void CWindowWidget::Flush(const QRegion& region) {
    if (region.isEmpty() || !isVisible()) return;
    flushOnly_ = true;
    repaint(region);
    flushOnly_ = false;
}

void CWindowWidget::paintEvent(QPaintEvent* event) {
    SyncContentSize();
    if (!flushOnly_ && !inPaint_ && FindWindowRecord(window_)) {
        paintRegion_ = event->region() & rect();
        invalid_ -= event->region();
        inPaint_ = true;
        SendMessageA(window_, WM_PAINT, 0, 0);
        DropPaintSurfaces();
        inPaint_ = false;
        paintRegion_ = QRegion();
    }
    if (content_.isNull()) return;
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& rect : event->region()) painter.drawImage(rect.topLeft(), content_, rect);
}

void CWindowWidget::mousePressEvent(QMouseEvent* event) {
    if (!RouteMouse(window_, this, event, MouseAction::press)) event->ignore();
}

void CWindowWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    // Without double-click classes a second click is another press.
    if (!RouteMouse(window_, this, event, MouseAction::press)) event->ignore();
}

void CWindowWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (!RouteMouse(window_, this, event, MouseAction::release)) event->ignore();
}

void CWindowWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!RouteMouse(window_, this, event, MouseAction::move)) event->ignore();
}

void CWindowWidget::enterEvent(QEnterEvent*) {
    State().pointerWindow = window_;
    ApplyCurrentCursor(this);
}

void CWindowWidget::leaveEvent(QEvent*) {
    if (State().pointerWindow == window_) State().pointerWindow = nullptr;
}

void CWindowWidget::keyPressEvent(QKeyEvent* event) { RouteKey(window_, event, true); }

void CWindowWidget::keyReleaseEvent(QKeyEvent* event) { RouteKey(window_, event, false); }

void CWindowWidget::focusInEvent(QFocusEvent*) {
    HWND previous = State().focus;
    State().focus = window_;
    if (previous != window_) SendMessageA(window_, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
}

void CWindowWidget::focusOutEvent(QFocusEvent*) {
    if (State().focus != window_) return;
    State().focus = nullptr;
    SendMessageA(window_, WM_KILLFOCUS, 0, 0);
}

void CWindowWidget::moveEvent(QMoveEvent*) {
    WindowRecord* record = FindWindowRecord(window_);
    if (!record) return;
    const POINT origin = IsChildStyle(*record) ? POINT{x(), y()} : ClientOrigin(*record);
    if (origin == record->reportedOrigin) return;
    record->reportedOrigin = origin;
    SendMessageA(window_, WM_MOVE, 0, PackPoint(origin.x, origin.y));
}

void CWindowWidget::resizeEvent(QResizeEvent*) {
    WindowRecord* record = FindWindowRecord(window_);
    if (!record) return;
    // A size the service did not ask for (the window manager's) becomes the
    // client size; the toolkit's 1 x 1 for an empty window does not.
    const QSize shown(std::max<LONG>(1, record->clientSize.cx), std::max<LONG>(1, record->clientSize.cy));
    if (size() != shown) record->clientSize = SIZE{width(), height()};
    SyncContentSize();
    if (record->clientSize == record->reportedSize) return;
    record->reportedSize = record->clientSize;
    SendMessageA(window_, WM_SIZE, SIZE_RESTORED, PackPoint(record->clientSize.cx, record->clientSize.cy));
}

void CWindowWidget::closeEvent(QCloseEvent* event) {
    // The close box asks the window; only the window's handling destroys it.
    event->ignore();
    const WindowRecord* record = FindWindowRecord(window_);
    if (record && !record->destroying && !(record->style & WS_DISABLED)) {
        SendMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

void CWindowWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    WindowRecord* record = FindWindowRecord(window_);
    if (!record || !isWindow()) return;
    if (event->type() == QEvent::WindowStateChange) {
        const bool minimised = isMinimized();
        const bool was = (record->style & WS_MINIMIZE) != 0;
        if (minimised == was) return;
        record->style = minimised ? (record->style | WS_MINIMIZE) : (record->style & ~WS_MINIMIZE);
        ShowOwnedWindows(window_, !minimised);
        if (!FindWindowRecord(window_)) return;
        SendMessageA(window_, WM_SIZE, minimised ? SIZE_MINIMIZED : SIZE_RESTORED,
                     PackPoint(record->clientSize.cx, record->clientSize.cy));
    } else if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            NoteActivated(window_);
        } else {
            NoteDeactivated(window_);
        }
    }
}

}  // namespace user::internal

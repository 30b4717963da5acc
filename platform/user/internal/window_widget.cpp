#include "platform/user/internal/window_widget.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QPaintEvent>
#include <QBackingStore>
#include <QPainter>

#include <algorithm>

#include "platform/gdi/memory_surface.h"
#include "platform/gdi/surfaces.h"
#include "platform/user/internal/activation_tracking.h"
#include "platform/user/internal/dropped_file_list.h"
#include "platform/user/internal/input_routing.h"
#include "platform/user/internal/toolkit_resources.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/messages.h"

namespace user::internal {

CWindowWidget::CWindowWidget(HWND window, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), window_(window) {
    // What the window paints is its only content: the toolkit fills no
    // background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

namespace {

// Drawing leaves the fourth byte of each pixel at 0; a buffer read as
// premultiplied ARGB must see it opaque.
void MakeOpaque(QImage& image, const QRegion& region) {
    const qsizetype bytesPerLine = image.bytesPerLine();
    for (const QRect& rect : region& image.rect()) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            BYTE* pixel = image.bits() + y * bytesPerLine + rect.left() * 4 + 3;
            for (int x = 0; x < rect.width(); ++x, pixel += 4) *pixel = 0xFF;
        }
    }
}

// The local files a drop carries, in its order, as the file system's
// bytes: a file address keeps them percent-encoded, whatever they are.
// Files on other hosts are left out.
std::vector<std::string> LocalFiles(const QMimeData* data) {
    std::vector<std::string> files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        if (const QString host = url.host(); !host.isEmpty() && host.compare("localhost", Qt::CaseInsensitive) != 0) {
            continue;
        }
        const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        if (!path.startsWith('/')) continue;
        files.emplace_back(path.constData(), static_cast<std::size_t>(path.size()));
    }
    return files;
}

// Files are opened, never taken away: a move would have the file manager
// delete them once the drop is done.
bool ChooseCopy(QDropEvent* event) {
    if (event->possibleActions() & Qt::CopyAction) {
        event->setDropAction(Qt::CopyAction);
    } else if (event->possibleActions() & Qt::LinkAction) {
        event->setDropAction(Qt::LinkAction);
    } else {
        return false;
    }
    return true;
}

}  // namespace

CWindowWidget::~CWindowWidget() { DropPaintSurfaces(); }

void CWindowWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (AcceptsDroppedFiles(window_) && event->mimeData()->hasUrls() && ChooseCopy(event)) {
        event->accept();
    } else {
        event->ignore();
    }
}

void CWindowWidget::dragMoveEvent(QDragMoveEvent* event) {
    if (AcceptsDroppedFiles(window_) && event->mimeData()->hasUrls() && ChooseCopy(event)) {
        event->accept();
    } else {
        event->ignore();
    }
}

void CWindowWidget::dropEvent(QDropEvent* event) {
    std::vector<std::string> files = LocalFiles(event->mimeData());
    if (!files.empty() && ChooseCopy(event) && PostDroppedFiles(window_, std::move(files))) {
        event->accept();
    } else {
        event->ignore();
    }
}

QImage* CWindowWidget::BackBuffer(QPoint* offset) {
    QBackingStore* store = backingStore();
    QPaintDevice* device = store ? store->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image) return nullptr;
    auto* image = static_cast<QImage*>(device);
    // An opaque window's buffer has the RGB32 layout, also when the
    // toolkit keeps it as premultiplied ARGB (it then needs opaque alpha).
    const QImage::Format format = image->format();
    if ((format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied) ||
        image->devicePixelRatio() != 1.0) {
        return nullptr;
    }
    *offset = mapTo(window(), QPoint(0, 0));
    if (!image->rect().contains(QRect(*offset, size()))) return nullptr;
    return image;
}

void CWindowWidget::SyncCopySize() {
    if (copy_.size() == size()) return;
    QImage resized(size(), QImage::Format_RGB32);
    if (resized.isNull()) {
        copy_ = QImage();
        return;
    }
    resized.fill(Qt::black);
    if (!copy_.isNull()) {
        QPainter painter(&resized);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, copy_);
    }
    copy_ = resized;
}

bool CWindowWidget::PaintPixels(BYTE** origin, qsizetype* bytesPerLine) {
    if (backBuffer_) {
        *bytesPerLine = backBuffer_->bytesPerLine();
        *origin = backBuffer_->bits() + backOffset_.y() * *bytesPerLine + backOffset_.x() * 4;
        return true;
    }
    if (copy_.isNull()) return false;
    *bytesPerLine = copy_.bytesPerLine();
    *origin = copy_.bits();
    return true;
}

gdi::HDC CWindowWidget::BeginPaintSurface(const QRect& box, const QRegion& area) {
    PaintSurface paint;
    BYTE* origin = nullptr;
    qsizetype bytesPerLine = 0;
    if (inPaint_) {
        if (!PaintPixels(&origin, &bytesPerLine)) return nullptr;
        origin += box.top() * bytesPerLine + box.left() * 4;
    } else {
        paint.ownPixels = std::make_unique<QImage>(box.size(), QImage::Format_RGB32);
        if (paint.ownPixels->isNull()) return nullptr;
        paint.ownPixels->fill(Qt::black);
        paint.ownOrigin = box.topLeft();
        paint.showWhenEnded = area;
        origin = paint.ownPixels->bits();
        bytesPerLine = paint.ownPixels->bytesPerLine();
    }
    paint.surface = gdi::CreateSurfaceOverMemory(origin, box.width(), box.height(), static_cast<LONG>(bytesPerLine),
                                                 POINT{box.left(), box.top()});
    if (!paint.surface) return nullptr;
    paintSurfaces_.push_back(std::move(paint));
    return paintSurfaces_.back().surface;
}

bool CWindowWidget::EndPaintSurface(gdi::HDC surface) {
    for (auto it = paintSurfaces_.begin(); it != paintSurfaces_.end(); ++it) {
        if (it->surface != surface) continue;
        gdi::DeleteDC(surface);
        PaintSurface ended = std::move(*it);
        paintSurfaces_.erase(it);
        if (ended.ownPixels && !ended.showWhenEnded.isEmpty() && isVisible()) {
            // The toolkit draws only while painting: paint again, showing
            // these pixels instead of asking the window.
            showing_ = &ended;
            repaint(ended.showWhenEnded);
            showing_ = nullptr;
        }
        return true;
    }
    return false;
}

void CWindowWidget::DropPaintSurfaces() {
    for (const PaintSurface& paint : paintSurfaces_) gdi::DeleteDC(paint.surface);
    paintSurfaces_.clear();
}

QRegion CWindowWidget::TakeInvalid() {
    QRegion region = invalid_;
    invalid_ = QRegion();
    return region;
}

void CWindowWidget::paintEvent(QPaintEvent* event) {
    if (inPaint_) return;
    backBuffer_ = BackBuffer(&backOffset_);
    if (!backBuffer_) SyncCopySize();
    if (showing_) {
        // Pixels drawn outside WM_PAINT.
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setClipRegion(event->region());
        painter.drawImage(showing_->ownOrigin, *showing_->ownPixels);
        if (!backBuffer_ && !copy_.isNull()) {
            QPainter copy(&copy_);
            copy.setCompositionMode(QPainter::CompositionMode_Source);
            copy.setClipRegion(event->region());
            copy.drawImage(showing_->ownOrigin, *showing_->ownPixels);
        }
    } else if (FindWindowRecord(window_)) {
        paintRegion_ = offScreen_.Paintable(*this, event->region() & rect());
        invalid_ -= event->region();
        inPaint_ = true;
        SendMessageA(window_, WM_PAINT, 0, 0);
        // Surfaces of this paint draw on memory that is only ours now.
        for (auto it = paintSurfaces_.begin(); it != paintSurfaces_.end();) {
            if (it->ownPixels) {
                ++it;
                continue;
            }
            gdi::DeleteDC(it->surface);
            it = paintSurfaces_.erase(it);
        }
        inPaint_ = false;
        if (backBuffer_) MakeOpaque(*backBuffer_, paintRegion_.translated(backOffset_));
        paintRegion_ = QRegion();
        if (!backBuffer_ && !copy_.isNull()) {
            QPainter painter(this);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            for (const QRect& rect : event->region()) painter.drawImage(rect.topLeft(), copy_, rect);
        }
    }
    backBuffer_ = nullptr;
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

void CWindowWidget::PaintUncovered() {
    if (const QRegion uncovered = offScreen_.Uncovered(*this); !uncovered.isEmpty()) {
        AddInvalid(uncovered, true);
        update(uncovered);
    }
    // Child windows move on the screen with their top-level window.
    if (isWindow()) {
        // The class has no meta-object of its own, so the toolkit cannot
        // pick these out: controls' widgets are children too.
        for (QWidget* widget : findChildren<QWidget*>()) {
            auto* child = dynamic_cast<CWindowWidget*>(widget);
            if (child && !child->isWindow()) child->PaintUncovered();
        }
    }
}

void CWindowWidget::moveEvent(QMoveEvent*) {
    WindowRecord* record = FindWindowRecord(window_);
    if (!record) return;
    PaintUncovered();
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

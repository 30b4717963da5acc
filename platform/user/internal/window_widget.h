#pragma once
// The toolkit widget behind a window of a registered class. It turns the
// toolkit's events into the window's messages, and lets paint handlers draw
// straight into the toolkit's back buffer of the window: no copy, and
// pixels stay as they are until drawn again, since nothing erases them
// behind the handler's back.

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <memory>
#include <utility>
#include <vector>

#include "platform/gdi/records.h"
#include "platform/user/internal/off_screen_area.h"

#include "platform/user/records.h"

namespace user::internal {

class CWindowWidget : public QWidget {
public:
    CWindowWidget(HWND window, QWidget* parent, Qt::WindowFlags flags);

    HWND Handle() const { return window_; }

    // While WM_PAINT is being handled: the area it has to draw.
    bool InPaint() const { return inPaint_; }
    const QRegion& PaintRegion() const { return paintRegion_; }
    // Areas invalidated and not yet painted.
    void AddInvalid(const QRegion& region, bool erase) {
        invalid_ += region;
        erasePending_ = erasePending_ || erase;
    }
    const QRegion& Invalid() const { return invalid_; }
    QRegion TakeInvalid();
    // Whether an invalidation asked for the background to be erased; reading
    // it clears it.
    bool TakeErase() { return std::exchange(erasePending_, false); }
    // A 32-bit drawing surface in client coordinates covering box. During
    // WM_PAINT it draws into the window's pixels; outside it into pixels of
    // its own (black at first) that show in area when it ends. Surfaces
    // still open when the paint message returns, or when the widget goes,
    // are freed then: none outlives the memory it draws on. Null when there
    // is no memory for it.
    gdi::HDC BeginPaintSurface(const QRect& box, const QRegion& area);
    bool EndPaintSurface(gdi::HDC surface);
    ~CWindowWidget() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Files dropped from the desktop, for a window that accepts them.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The toolkit's back buffer while painting, when it is an image with
    // the RGB32 layout and one image pixel per window pixel; null otherwise.
    QImage* BackBuffer(QPoint* offset);
    // Where the window's pixels are drawn during WM_PAINT: the back buffer,
    // or a copy kept here when the back buffer cannot be drawn into.
    bool PaintPixels(BYTE** origin, qsizetype* bytesPerLine);
    void SyncCopySize();
    // Has the parts skipped while off the screen painted once they are on
    // it (see COffScreenArea).
    void PaintUncovered();
    void DropPaintSurfaces();

    struct PaintSurface {
        gdi::HDC surface;
        std::unique_ptr<QImage> ownPixels;  // outside WM_PAINT
        QPoint ownOrigin;
        QRegion showWhenEnded;
    };
    std::vector<PaintSurface> paintSurfaces_;

    HWND window_;
    QImage* backBuffer_ = nullptr;  // during paintEvent
    QPoint backOffset_;
    QImage copy_;  // only when the back buffer cannot be drawn into
    const PaintSurface* showing_ = nullptr;
    QRegion invalid_;
    QRegion paintRegion_;
    COffScreenArea offScreen_;
    bool inPaint_ = false;
    bool erasePending_ = false;
};

}  // namespace user::internal

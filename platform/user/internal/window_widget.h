#pragma once
// The toolkit widget behind a window of a registered class. It turns the
// toolkit's events into the window's messages and keeps the window's
// client pixels, which paint handlers draw into and which stay as they are
// until drawn again: nothing erases them behind the handler's back.

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <utility>
#include <vector>

#include "platform/gdi/records.h"

#include "platform/user/records.h"

namespace user::internal {

class CWindowWidget : public QWidget {
public:
    CWindowWidget(HWND window, QWidget* parent, Qt::WindowFlags flags);

    HWND Handle() const { return window_; }

    // The client pixels (RGB32, at least 1 x 1), sized to the client area.
    QImage& Content();
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
    // Shows the client pixels of that area now, without a WM_PAINT.
    void Flush(const QRegion& region);

    // Paint surfaces over the client pixels. One begun outside WM_PAINT
    // shows its area when it ends. Surfaces still open when the paint
    // message returns, or when the pixels move, are freed then: none
    // outlives the memory it draws on.
    void AddPaintSurface(gdi::HDC surface, const QRegion& showWhenEnded);
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

private:
    void SyncContentSize();
    void DropPaintSurfaces();

    struct PaintSurface {
        gdi::HDC surface;
        QRegion showWhenEnded;
    };
    std::vector<PaintSurface> paintSurfaces_;

    HWND window_;
    QImage content_;
    QRegion invalid_;
    QRegion paintRegion_;
    bool inPaint_ = false;
    bool erasePending_ = false;
    bool flushOnly_ = false;
};

}  // namespace user::internal

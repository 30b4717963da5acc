#pragma once
// The parts of a window beyond every screen are left unpainted: nobody
// sees them, and a window can be far larger than the screen (32767 pixels a
// side), so painting them would fill gigabytes of the toolkit's back buffer
// (width x height x 4 bytes) for nothing. Parts skipped this way are
// painted once they come onto a screen.

#include <QRegion>

class QWidget;

namespace user::internal {

class COffScreenArea {
public:
    // The part of area (widget coordinates) that lies on a screen; the rest
    // is remembered as unpainted.
    QRegion Paintable(const QWidget& widget, const QRegion& area);
    // The unpainted parts that lie on a screen now, forgotten as they are
    // returned: the caller has them painted.
    QRegion Uncovered(const QWidget& widget);

private:
    QRegion unpainted_;
};

}  // namespace user::internal

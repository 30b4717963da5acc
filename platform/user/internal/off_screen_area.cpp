#include "platform/user/internal/off_screen_area.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace user::internal {
namespace {

// Every screen's area in the widget's coordinates.
QRegion OnScreens(const QWidget& widget) {
    QRegion screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->geometry();
        screens += QRect(widget.mapFromGlobal(area.topLeft()), area.size());
    }
    return screens;
}

}  // namespace

QRegion COffScreenArea::Paintable(const QWidget& widget, const QRegion& area) {
    const QRegion visible = OnScreens(widget);
    const QRegion paintable = area & visible;
    unpainted_ = ((unpainted_ - paintable) + (area - visible)) & widget.rect();
    return paintable;
}

QRegion COffScreenArea::Uncovered(const QWidget& widget) {
    if (unpainted_.isEmpty()) return QRegion();
    const QRegion uncovered = unpainted_ & OnScreens(widget) & widget.rect();
    unpainted_ -= uncovered;
    return uncovered;
}

}  // namespace user::internal

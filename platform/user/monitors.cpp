#include "platform/user/monitors.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

#include "platform/user/window_management.h"

namespace user {
namespace {

// A monitor handle is its screen's position in the toolkit's list, plus one.
HMONITOR HandleOf(int index) { return reinterpret_cast<HMONITOR>(static_cast<std::uintptr_t>(index + 1)); }

QScreen* ScreenOf(HMONITOR monitor) {
    if (!QGuiApplication::instance()) return nullptr;
    const auto index = static_cast<qsizetype>(reinterpret_cast<std::uintptr_t>(monitor)) - 1;
    const QList<QScreen*> screens = QGuiApplication::screens();
    return index >= 0 && index < screens.size() ? screens[index] : nullptr;
}

RECT RectOf(const QRect& rect) {
    return RECT{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

long long Overlap(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : static_cast<long long>(common.width()) * common.height();
}

HMONITOR Fallback(const QRect& area, DWORD flags) {
    const QList<QScreen*> screens = QGuiApplication::instance() ? QGuiApplication::screens() : QList<QScreen*>();
    if (screens.isEmpty() || flags == MONITOR_DEFAULTTONULL) return nullptr;
    if (flags == MONITOR_DEFAULTTOPRIMARY)
        return HandleOf(static_cast<int>(screens.indexOf(QGuiApplication::primaryScreen())));
    // The nearest: the smallest distance between the centre and a screen.
    const QPoint centre = area.center();
    int best = 0;
    long long bestDistance = -1;
    for (int i = 0; i < screens.size(); ++i) {
        const QRect g = screens[i]->geometry();
        const long long dx = std::max({g.left() - centre.x(), 0, centre.x() - g.right()});
        const long long dy = std::max({g.top() - centre.y(), 0, centre.y() - g.bottom()});
        const long long distance = dx * dx + dy * dy;
        if (bestDistance < 0 || distance < bestDistance) bestDistance = distance, best = i;
    }
    return HandleOf(best);
}

HMONITOR FromArea(const QRect& area, DWORD flags) {
    const QList<QScreen*> screens = QGuiApplication::instance() ? QGuiApplication::screens() : QList<QScreen*>();
    int best = -1;
    long long bestOverlap = 0;
    for (int i = 0; i < screens.size(); ++i) {
        const long long overlap = Overlap(screens[i]->geometry(), area);
        if (overlap > bestOverlap) bestOverlap = overlap, best = i;
    }
    return best >= 0 ? HandleOf(best) : Fallback(area, flags);
}

}  // namespace

HMONITOR MonitorFromWindow(HWND window, DWORD flags) {
    RECT rect{};
    if (!GetWindowRect(window, &rect))
        return Fallback(QRect(), flags == MONITOR_DEFAULTTONULL ? flags : MONITOR_DEFAULTTOPRIMARY);
    // An empty window still lies somewhere: count it as one pixel.
    const QRect area(rect.left, rect.top, std::max<LONG>(1, rect.right - rect.left),
                     std::max<LONG>(1, rect.bottom - rect.top));
    return FromArea(area, flags);
}

HMONITOR MonitorFromPoint(POINT point, DWORD flags) { return FromArea(QRect(point.x, point.y, 1, 1), flags); }

BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info) {
    QScreen* screen = ScreenOf(monitor);
    if (!screen || !info || info->cbSize != sizeof(MONITORINFO)) return FALSE;
    info->rcMonitor = RectOf(screen->geometry());
    info->rcWork = RectOf(screen->availableGeometry());
    info->dwFlags = screen == QGuiApplication::primaryScreen() ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

}  // namespace user

#include "platform/user/centring.h"

#include "platform/user/monitors.h"
#include "platform/user/window_management.h"

namespace user {

POINT CentredPosition(const RECT& centreOn, SIZE size, const RECT& workArea) {
    long long x = (static_cast<long long>(centreOn.left) + centreOn.right) / 2 - size.cx / 2;
    long long y = (static_cast<long long>(centreOn.top) + centreOn.bottom) / 2 - size.cy / 2;
    if (x + size.cx > workArea.right) x = static_cast<long long>(workArea.right) - size.cx;
    if (x < workArea.left) x = workArea.left;
    if (y + size.cy > workArea.bottom) y = static_cast<long long>(workArea.bottom) - size.cy;
    if (y < workArea.top) y = workArea.top;
    return POINT{static_cast<LONG>(x), static_cast<LONG>(y)};
}

void CentringFrame(HWND owner, HWND reference, RECT* centreOn, RECT* workArea) {
    if (owner && (!IsWindowVisible(owner) || IsIconic(owner))) owner = nullptr;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (owner && GetWindowRect(owner, centreOn)) {
        if (!GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &info)) info.rcWork = *centreOn;
        *workArea = info.rcWork;
        return;
    }
    const HMONITOR monitor = reference ? MonitorFromWindow(reference, MONITOR_DEFAULTTOPRIMARY)
                                       : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (!GetMonitorInfoA(monitor, &info) && !(reference && GetWindowRect(reference, &info.rcWork))) {
        info.rcWork = RECT{0, 0, 0, 0};
    }
    *centreOn = info.rcWork;
    *workArea = info.rcWork;
}

}  // namespace user

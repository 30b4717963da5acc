#include "platform/framework/internal/modal_owner.h"

#include "platform/user/activation.h"
#include "platform/framework/cwnd.h"
#include "platform/user/monitors.h"
#include "platform/framework/win_app.h"
#include "platform/user/window_management.h"

namespace user {
namespace internal {

HWND GetSafeOwner(HWND parent, HWND* disabledTop) {
    HWND window = parent;
    if (!window) {
        if (CWnd* main = AfxGetMainWnd()) window = main->GetSafeHwnd();
    }
    // A child window owns nothing: its top-level window does.
    while (window && (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)) window = GetParent(window);
    HWND top = window;
    for (int depth = 0; top && GetWindow(top, GW_OWNER) && depth < 1000; ++depth) top = GetWindow(top, GW_OWNER);
    if (!parent && window) window = GetLastActivePopup(window);
    if (disabledTop) {
        *disabledTop = nullptr;
        if (top && top != window && IsWindowEnabled(top)) {
            EnableWindow(top, FALSE);
            *disabledTop = top;
        }
    }
    return window;
}

POINT CentredPosition(const RECT& centreOn, SIZE size, const RECT& workArea) {
    long long x = (static_cast<long long>(centreOn.left) + centreOn.right) / 2 - size.cx / 2;
    long long y = (static_cast<long long>(centreOn.top) + centreOn.bottom) / 2 - size.cy / 2;
    if (x + size.cx > workArea.right) x = static_cast<long long>(workArea.right) - size.cx;
    if (x < workArea.left) x = workArea.left;
    if (y + size.cy > workArea.bottom) y = static_cast<long long>(workArea.bottom) - size.cy;
    if (y < workArea.top) y = workArea.top;
    return POINT{static_cast<LONG>(x), static_cast<LONG>(y)};
}

void CentringFrame(HWND window, HWND alternateOwner, RECT* centreOn, RECT* workArea) {
    HWND owner = alternateOwner ? alternateOwner : GetWindow(window, GW_OWNER);
    if (owner && (!IsWindowVisible(owner) || IsIconic(owner))) owner = nullptr;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (owner) {
        GetWindowRect(owner, centreOn);
        if (!GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &info)) info.rcWork = *centreOn;
        *workArea = info.rcWork;
        return;
    }
    CWnd* main = AfxGetMainWnd();
    const HWND reference = main && main->GetSafeHwnd() ? main->GetSafeHwnd() : window;
    const HMONITOR monitor = reference ? MonitorFromWindow(reference, MONITOR_DEFAULTTOPRIMARY)
                                       : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (!GetMonitorInfoA(monitor, &info) && !GetWindowRect(window, &info.rcWork)) info.rcWork = RECT{0, 0, 0, 0};
    *centreOn = info.rcWork;
    *workArea = info.rcWork;
}

}  // namespace internal

void CWnd::CenterWindow(HWND alternateOwner) {
    RECT rect{};
    if (!GetWindowRect(hwnd_, &rect)) return;
    RECT centreOn{};
    RECT workArea{};
    internal::CentringFrame(hwnd_, alternateOwner, &centreOn, &workArea);
    const SIZE size{rect.right - rect.left, rect.bottom - rect.top};
    const POINT at = internal::CentredPosition(centreOn, size, workArea);
    MoveWindow(hwnd_, at.x, at.y, size.cx, size.cy, TRUE);
}

}  // namespace user

#include "platform/framework/internal/modal_owner.h"

#include "platform/user/activation.h"
#include "platform/user/centring.h"
#include "platform/framework/cwnd.h"
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

}  // namespace internal

void CWnd::CenterWindow(HWND alternateOwner) {
    RECT rect{};
    if (!GetWindowRect(hwnd_, &rect)) return;
    // Without a usable owner: over the main window's monitor.
    const HWND owner = alternateOwner ? alternateOwner : GetWindow(hwnd_, GW_OWNER);
    CWnd* main = AfxGetMainWnd();
    const HWND reference = main && main->GetSafeHwnd() ? main->GetSafeHwnd() : hwnd_;
    RECT centreOn{};
    RECT workArea{};
    CentringFrame(owner, reference, &centreOn, &workArea);
    const SIZE size{rect.right - rect.left, rect.bottom - rect.top};
    const POINT at = CentredPosition(centreOn, size, workArea);
    MoveWindow(hwnd_, at.x, at.y, size.cx, size.cy, TRUE);
}

}  // namespace user

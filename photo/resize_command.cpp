// The Resize command: one side of the photo window set to a typed length,
// the other following from the photo's aspect, the upper-left corner kept.
#include "photo/photo_wnd.h"
#include "photo/resize_dialog.h"
#include "platform/framework/framework.h"

namespace {

constexpr int shortestLength = 10;
constexpr const char* tooShortMessage = "サイズは10以上の数字を入れてください。";

}  // namespace

void CPhotoWnd::OnResizeCommand() {
    CResizeDialog dialog;
    const user::HWND window = GetSafeHwnd();
    // Read before the dialog runs and used after it: the window is disabled
    // meanwhile, so nothing can move it.
    RECT rect{};
    user::GetWindowRect(window, &rect);
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    // Every run starts from the longer side as it is now.
    dialog.length = width > height ? width : height;
    dialog.side = sideLong;
    if (dialog.DoModal() != user::IDOK) return;
    // The dialog's loop served every window: if this one went meanwhile,
    // so did this object.
    if (CWnd::FromHandlePermanent(window) != this) return;

    if (dialog.length < shortestLength) {
        user::MessageBoxA(window, tooShortMessage, nullptr, user::MB_OK);
        return;
    }
    // No window is longer than the side limit, so a longer length gives
    // the same window as the limit does (scaled down uniformly below). Taken
    // at the limit, the other side's product stays far from overflowing and
    // saturating, which would bend the aspect.
    const LONG length = dialog.length < windowSideLimit ? dialog.length : windowSideLimit;
    // An unknown side (no radio button checked) leaves the rectangle as it is.
    const RECT target =
        RectForSideLength(rect, static_cast<ResizeSide>(dialog.side), length, aspectWidth, aspectHeight);
    MoveWithinSideLimit(target);
    user::InvalidateRect(window, nullptr, TRUE);
}

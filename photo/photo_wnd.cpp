#include "photo/photo_wnd.h"

#include <algorithm>
#include <cstdint>

#include "photo/drag_frame.h"
#include "photo/photo_commands.h"
#include "photo/photo_drawing.h"
#include "photo/photo_window_owner.h"
#include "photo/save_command.h"
#include "platform/framework/framework.h"

namespace {

int Extent(LONG low, LONG high) {
    return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{high} - low, 0, CPhotoWnd::windowSideLimit));
}

}  // namespace

BOOL CPhotoWnd::CreateEx(DWORD exStyle, user::LPCSTR className, user::LPCSTR windowName, DWORD style, int x, int y,
                         int width, int height, user::HWND parent, UINT_PTR id, user::LPVOID param) {
    if (GetSafeHwnd()) return FALSE;
    // A window destroyed while it is being created leaves the object to the
    // creator, who learns of it from the result.
    ownedByWindow_ = CWnd::CreateEx(exStyle, className, windowName, style, x, y, width, height, parent, id, param);
    if (ownedByWindow_) user::DragAcceptFiles(GetSafeHwnd(), TRUE);
    return ownedByWindow_ ? TRUE : FALSE;
}

void CPhotoWnd::OnDropFiles(user::HDROP drop) {
    if (auto* owner = dynamic_cast<CPhotoWindowOwner*>(GetParent())) {
        owner->OpenDroppedFiles(drop);
    } else {
        user::DragFinish(drop);
    }
}

void CPhotoWnd::OnPaint() {
    const user::HWND window = GetSafeHwnd();
    user::PAINTSTRUCT paint;
    if (const gdi::HDC dc = user::BeginPaint(window, &paint)) {
        RECT client{};
        user::GetClientRect(window, &client);
        DrawPhoto(dc, image, rotation, client);
        user::EndPaint(window, &paint);
    }
}

void CPhotoWnd::OnLButtonDown(UINT, POINT point) {
    {
        const CScreenSurface screen;
        // A drag whose button-up never arrived leaves its frame behind:
        // erase it before the new one starts.
        if (dragMode != dragIdle) DrawDragFrame(screen.Get(), lastFrame, SIZE{0, 0}, &lastFrame, frameThickness);

        const user::HWND window = GetSafeHwnd();
        user::SetCapture(window);
        dragStart = point;
        RECT client{};
        user::GetClientRect(window, &client);
        dragMode = HitResizeGrip(client, point) != -1 ? dragResize : dragMove;
        user::GetWindowRect(window, &lastFrame);
        DrawDragFrame(screen.Get(), lastFrame, frameThickness, nullptr, SIZE{0, 0});
        startRect = lastFrame;
    }
    Default();
}

void CPhotoWnd::OnMouseMove(UINT, POINT point) {
    if (dragMode == dragIdle) {
        RECT client{};
        user::GetClientRect(GetSafeHwnd(), &client);
        const bool inGrip = HitResizeGrip(client, point) != -1;
        user::SetCursor(user::LoadCursorA(nullptr, inGrip ? user::IDC_SIZENWSE : user::IDC_ARROW));
    } else {
        const RECT target = DragTarget(point);
        {
            const CScreenSurface screen;
            DrawDragFrame(screen.Get(), target, frameThickness, &lastFrame, frameThickness);
        }
        lastFrame = target;
    }
    Default();
}

void CPhotoWnd::OnLButtonUp(UINT, POINT point) {
    if (dragMode != dragIdle) {
        const user::HWND window = GetSafeHwnd();
        const RECT target = DragTarget(point);
        {
            // Erases the last frame drawn, wherever the button came up.
            const CScreenSurface screen;
            DrawDragFrame(screen.Get(), target, SIZE{0, 0}, &lastFrame, frameThickness);
        }
        MoveWithinSideLimit(target);
        dragMode = dragIdle;
        lastFrame = RECT{0, 0, 0, 0};
        user::ReleaseCapture();
        user::InvalidateRect(window, nullptr, TRUE);
    }
    Default();
}

void CPhotoWnd::OnCaptureChanged(user::HWND) {
    // Another window took the mouse (a menu, a dialog, another program):
    // no button-up will come.
    if (dragMode != dragIdle) AbandonDrag();
    Default();
}

void CPhotoWnd::OnRButtonDown(UINT, POINT point) {
    const user::HWND window = GetSafeHwnd();
    POINT screenPoint = point;
    user::ClientToScreen(window, &screenPoint);
    if (const user::HMENU menu =
            user::LoadMenuA(user::GetModuleHandleA(nullptr), user::MAKEINTRESOURCEA(photoMenuResource))) {
        user::TrackPopupMenu(user::GetSubMenu(menu, 0), 0, screenPoint.x, screenPoint.y, 0, window, nullptr);
        user::DestroyMenu(menu);
    }
    // The menu ran a loop of its own: if the window went meanwhile, so did
    // this object.
    if (CWnd::FromHandlePermanent(window) != this) return;
    Default();
}

BOOL CPhotoWnd::OnCommand(UINT id, UINT, user::HWND) {
    switch (id) {
        case commandResize: OnResizeCommand(); return TRUE;
        case commandRotate: OnRotateCommand(); return TRUE;
        case commandSave: OnSaveCommand(); return TRUE;
        case commandClose: OnCloseCommand(); return TRUE;
        default: return FALSE;
    }
}

// OnResizeCommand is in resize_command.cpp, with the rules for the length.

void CPhotoWnd::OnSaveCommand() { SaveShownPhoto(*this); }

void CPhotoWnd::OnRotateCommand() {
    const user::HWND window = GetSafeHwnd();
    RECT rect{};
    user::GetWindowRect(window, &rect);
    RotateQuarterTurn(rotation, aspectWidth, aspectHeight, rect);
    MoveWithinSideLimit(rect);
    user::InvalidateRect(window, nullptr, TRUE);
}

void CPhotoWnd::OnCloseCommand() {
    // The owner destroys the window, and with it this object: nothing of it
    // may be touched afterwards.
    if (auto* owner = dynamic_cast<CPhotoWindowOwner*>(GetParent())) owner->ClosePhotoWindow(this);
}

void CPhotoWnd::OnDestroy() {
    Default();
    if (image.bitmap) image.FreeDib();
}

void CPhotoWnd::PostNcDestroy() {
    if (ownedByWindow_) delete this;
}

void CPhotoWnd::MoveWithinSideLimit(const RECT& rect) {
    const RECT shown = FitWindowSideLimit(rect, windowSideLimit);
    user::MoveWindow(GetSafeHwnd(), shown.left, shown.top, Extent(shown.left, shown.right),
                     Extent(shown.top, shown.bottom), TRUE);
}

RECT CPhotoWnd::DragTarget(POINT point) const {
    // Pointer positions come as signed 16-bit client coordinates, which wrap
    // around once a window near the side limit is dragged past 32767. The
    // pointer's travel across any screen is far shorter than that, so it is
    // taken modulo 65536.
    const POINT current{dragStart.x + static_cast<std::int16_t>(point.x - dragStart.x),
                        dragStart.y + static_cast<std::int16_t>(point.y - dragStart.y)};
    // The frame shows where the window will go, limit included.
    return FitWindowSideLimit(DraggedRect(dragMode, startRect, dragStart, current, aspectWidth, aspectHeight),
                              windowSideLimit);
}

void CPhotoWnd::AbandonDrag() {
    {
        const CScreenSurface screen;
        DrawDragFrame(screen.Get(), lastFrame, SIZE{0, 0}, &lastFrame, frameThickness);
    }
    dragMode = dragIdle;
    lastFrame = RECT{0, 0, 0, 0};
}

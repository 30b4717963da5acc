#pragma once
// The window that shows one photo: painted scaled and turned to fill the
// window, moved by dragging anywhere in it, resized with its aspect ratio
// kept by dragging the lower-right corner, and a right-click menu with
// Resize, Rotate, Save and Close.
//
// Life: made with new, the photo loaded into image and the aspect pair set
// to the image's size, then the native window created (CreateEx) as a
// visible pop-up tool window owned by a CPhotoWindowOwner, taking dropped
// files for it. Once CreateEx
// succeeds the object belongs to its window and is deleted when the window
// is destroyed; until then (and when CreateEx fails) whoever made it
// deletes it.

#include "image/dib_image.h"
#include "photo/geometry.h"
#include "platform/framework/cwnd.h"

class CPhotoWnd : public user::CWnd {
public:
    // The longest side the windowing service gives a window (an X11 limit);
    // longer requests would be cut to it one side at a time.
    static constexpr LONG windowSideLimit = 32767;

    CPhotoWnd() = default;

    // CWnd::CreateEx, handing the object over to its window on success.
    // FALSE: no window, and the object is still its creator's.
    BOOL CreateEx(DWORD exStyle, user::LPCSTR className, user::LPCSTR windowName, DWORD style, int x, int y, int width,
                  int height, user::HWND parent, UINT_PTR id = 0, user::LPVOID param = nullptr);

    DragMode dragMode = dragIdle;
    POINT dragStart{0, 0};       // pointer at left-button-down, client coordinates
    RECT lastFrame{0, 0, 0, 0};  // frame now on the screen; empty while idle
    SIZE frameThickness{5, 5};
    RECT startRect{0, 0, 0, 0};  // window rectangle at left-button-down
    CDibImage image;             // the photo's pixels, never rotated
    LONG aspectHeight = 0;
    LONG aspectWidth = 0;
    LONG rotation = 0;  // clockwise quarter turns when drawn

protected:
    void OnPaint() override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnRButtonDown(UINT flags, POINT point) override;
    void OnCaptureChanged(user::HWND newCapture) override;
    BOOL OnCommand(UINT id, UINT notifyCode, user::HWND control) override;
    void OnDestroy() override;
    void PostNcDestroy() override;
    // Files dropped onto the photo are opened by its owner.
    void OnDropFiles(user::HDROP drop) override;

    // The menu's commands.
    void OnResizeCommand();
    void OnRotateCommand();
    void OnSaveCommand();
    void OnCloseCommand();

    // Moves the window to rect, scaled down first to what the windowing
    // service can show.
    void MoveWithinSideLimit(const RECT& rect);

private:
    // Where the current drag would put the window with the pointer at point.
    RECT DragTarget(POINT point) const;
    // Erases the frame on the screen and ends the drag, leaving the window
    // where it is.
    void AbandonDrag();

    bool ownedByWindow_ = false;
};

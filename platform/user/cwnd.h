#pragma once
// CWnd: one object bound to one native window, receiving that window's
// messages in virtual handlers named after them. A handler that does not
// take a message over calls Default(), which gives it to the window's
// original procedure with the parameters it came with.

#include "platform/user/records.h"

namespace user {

class CWnd {
public:
    CWnd();
    // A window still bound is unbound and destroyed: no message reaches a
    // half-destroyed object.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return hwnd_; }
    // The object bound to a window, or null.
    static CWnd* FromHandlePermanent(HWND window);

    // Creates the native window and binds it before its first message
    // (WM_NCCREATE). For a top-level window, parent is its owner.
    BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                  int height, HWND parent, UINT_PTR id = 0, LPVOID param = nullptr);
    // Binds an existing window, putting this object's routing in front of
    // its procedure. FALSE when either is bound already.
    BOOL SubclassWindow(HWND window);
    // Undoes SubclassWindow; returns the window.
    HWND UnsubclassWindow();
    BOOL DestroyWindow();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // The owner of a pop-up (or parent of a child) when an object is bound
    // to it, else null.
    CWnd* GetParent() const;

protected:
    // Routes one message to its handler; unhandled ones to DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default handling of the message now being handled.
    LRESULT Default();
    // The window's original procedure (the class's, before binding).
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the last message (WM_NCDESTROY), once unbound; an object
    // that owns itself may delete itself here.
    virtual void PostNcDestroy();

    // Handlers. Points are client coordinates for mouse messages (signed:
    // negative left of or above the client area while captured) and screen
    // coordinates for the hit test.
    virtual int OnCreate(CREATESTRUCTA* create);
    virtual void OnPaint();
    virtual void OnLButtonDown(UINT flags, POINT point);
    virtual void OnLButtonUp(UINT flags, POINT point);
    virtual void OnMouseMove(UINT flags, POINT point);
    virtual void OnRButtonDown(UINT flags, POINT point);
    virtual void OnDestroy();
    virtual void OnClose();
    // TRUE when the command was handled; otherwise it gets the default
    // handling.
    virtual BOOL OnCommand(UINT id, UINT notifyCode, HWND control);
    virtual void OnSysCommand(UINT id, LPARAM lParam);
    virtual BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
    virtual LRESULT OnNcHitTest(POINT screenPoint);
    virtual void OnCaptureChanged(HWND newCapture);

private:
    static LRESULT Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void BindDuringCreate(HWND window, void* object);
    void Bind(HWND window);
    void OnNcDestroy();

    HWND hwnd_ = nullptr;
    WNDPROC superProc_ = nullptr;
};

// The framework's window class for windows with these traits, registered
// on first use ("Afx:<instance>:<style>", with the other traits appended
// when any is set). Null if it cannot be registered.
LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, gdi::HBRUSH background = nullptr,
                           HICON icon = nullptr);

}  // namespace user

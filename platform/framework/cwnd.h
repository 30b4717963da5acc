#pragma once
// CWnd: one object bound to one native window, receiving that window's
// messages in virtual handlers named after them. A handler that does not
// take a message over calls Default(), which gives it to the window's
// original procedure with the parameters it came with.

#include "platform/user/dropped_files.h"
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
    BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width, int height,
                  HWND parent, UINT_PTR id = 0, LPVOID param = nullptr);
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
    // The control of a dialog (or any child) with that id, or null.
    HWND GetDlgItem(int id) const;
    // A message box owned by this window; without a caption it shows the
    // application's title.
    int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);
    // Centres the window over its owner (or alternateOwner), kept within
    // the owner's monitor's work area; over the work area of the main
    // window's monitor when the owner is hidden, minimised or missing.
    void CenterWindow(HWND alternateOwner = nullptr);

    // The help command's search for a help context: WM_COMMANDHELP to the
    // window holding the capture and its parents or owners, then to the
    // focus and its chain, then to this window's top-level window's last
    // active pop-up and its chain; the first to answer shows its help.
    // When none does, this window gets WM_COMMAND ID_DEFAULT_HELP.
    void OnHelp();

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
    // The next window created (by any call) is bound to this object before
    // its first message; used by classes that create their windows through
    // other calls than CreateEx (dialogs). Undo with ForgetNextCreatedWindow
    // when no window was created.
    void BindNextCreatedWindow();
    static void ForgetNextCreatedWindow();

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
    // WM_CTLCOLOR*: the brush a control's background is painted with;
    // SetTextColor on dc sets the control's text colour. ctlColor is one of
    // the CTLCOLOR_* kinds.
    virtual gdi::HBRUSH OnCtlColor(gdi::HDC dc, HWND control, UINT ctlColor);
    // WM_HELP. A top-level window with F1 pressed and none of Shift, Ctrl
    // and Alt held sends the main window WM_COMMAND ID_HELP; anything else
    // gets the default handling.
    virtual BOOL OnHelpInfo(HELPINFO* info);
    virtual HICON OnQueryDragIcon();
    // WM_DROPFILES, for a window that accepts dropped files: the handler
    // reads the files and ends the drop (DragFinish).
    virtual void OnDropFiles(HDROP drop);

private:
    static LRESULT Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CreationHook(int code, WPARAM wParam, LPARAM lParam);
    void Bind(HWND window);
    void OnNcDestroy();

    HWND hwnd_ = nullptr;
    WNDPROC superProc_ = nullptr;
};

// Kinds of control-colour requests, as OnCtlColor receives them.
inline constexpr UINT CTLCOLOR_MSGBOX = 0;
inline constexpr UINT CTLCOLOR_EDIT = 1;
inline constexpr UINT CTLCOLOR_LISTBOX = 2;
inline constexpr UINT CTLCOLOR_BTN = 3;
inline constexpr UINT CTLCOLOR_DLG = 4;
inline constexpr UINT CTLCOLOR_SCROLLBAR = 5;
inline constexpr UINT CTLCOLOR_STATIC = 6;

// The framework's window class for windows with these traits, registered
// on first use ("Afx:<instance>:<style>", with the other traits appended
// when any is set). Null if it cannot be registered.
LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, gdi::HBRUSH background = nullptr,
                           HICON icon = nullptr);

}  // namespace user

#include "platform/framework/cwnd.h"

#include "platform/user/application.h"
#include <unordered_map>

#include "platform/user/controls.h"
#include "platform/user/dialogs.h"
#include "platform/framework/framework_ids.h"
#include "platform/user/keyboard.h"
#include "platform/user/message_box.h"
#include "platform/framework/win_app.h"
#include "platform/user/hooks.h"
#include "platform/user/messages.h"
#include "platform/user/window_management.h"

namespace user {
namespace {

// The message being handled, for Default(). Kept outside the objects:
// handling a message may delete the object that received it.
struct CurrentMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
CurrentMessage current;

// The framework's own record of which object each window is bound to.
std::unordered_map<HWND, CWnd*>& HandleMap() {
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

// The object to bind to the next window created, while its creation hook
// is installed.
struct PendingBinding {
    HHOOK hook = nullptr;
    CWnd* object = nullptr;
};
PendingBinding pending;

POINT ClientPoint(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (hwnd_) {
        const HWND window = UnsubclassWindow();
        user::DestroyWindow(window);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
    if (!IsWindow(window)) return nullptr;
    const auto found = HandleMap().find(window);
    return found == HandleMap().end() ? nullptr : found->second;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, UINT_PTR id, LPVOID param) {
    if (hwnd_) return FALSE;
    BindNextCreatedWindow();
    const HWND window = CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent,
                                        reinterpret_cast<HMENU>(id), GetModuleHandleA(nullptr), param);
    ForgetNextCreatedWindow();
    return window && hwnd_ == window ? TRUE : FALSE;
}

BOOL CWnd::SubclassWindow(HWND window) {
    if (hwnd_ || !IsWindow(window) || FromHandlePermanent(window)) return FALSE;
    Bind(window);
    return TRUE;
}

HWND CWnd::UnsubclassWindow() {
    const HWND window = hwnd_;
    if (IsWindow(window) && GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWnd::Route)) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(superProc_));
    }
    if (const auto found = HandleMap().find(window); found != HandleMap().end() && found->second == this) {
        HandleMap().erase(found);
    }
    hwnd_ = nullptr;
    superProc_ = nullptr;
    return window;
}

BOOL CWnd::DestroyWindow() { return hwnd_ ? user::DestroyWindow(hwnd_) : FALSE; }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(hwnd_, message, wParam, lParam);
}

CWnd* CWnd::GetParent() const { return FromHandlePermanent(user::GetParent(hwnd_)); }

HWND CWnd::GetDlgItem(int id) const { return user::GetDlgItem(hwnd_, id); }

int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type) { return MessageBoxA(hwnd_, text, caption, type); }

// The hook stays in place for the whole creation, so that the object is
// bound to the first window created or to none: never to a later one.
void CWnd::BindNextCreatedWindow() {
    ForgetNextCreatedWindow();
    pending.hook = SetWindowsHookExA(WH_CBT, &CWnd::CreationHook, nullptr, 0);
    if (pending.hook) pending.object = this;
}

void CWnd::ForgetNextCreatedWindow() {
    if (pending.hook) UnhookWindowsHookEx(pending.hook);
    pending = PendingBinding{};
}

void CWnd::Bind(HWND window) {
    hwnd_ = window;
    superProc_ =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::Route)));
    HandleMap()[window] = this;
}

LRESULT CWnd::CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    const HHOOK hook = pending.hook;
    if (code == HCBT_CREATEWND && pending.object) {
        CWnd* self = pending.object;
        pending.object = nullptr;
        const auto window = reinterpret_cast<HWND>(wParam);
        if (!self->hwnd_ && !FromHandlePermanent(window)) self->Bind(window);
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

LRESULT CWnd::Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* self = FromHandlePermanent(window);
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    const CurrentMessage saved = current;
    current = CurrentMessage{message, wParam, lParam};
    const LRESULT result = self->WindowProc(message, wParam, lParam);
    current = saved;
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // The control-colour requests are numbered in the order of their kinds.
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<gdi::HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                                    message - WM_CTLCOLORMSGBOX));
    }
    switch (message) {
        case WM_CREATE: return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam));
        case WM_PAINT: OnPaint(); return 0;
        case WM_LBUTTONDOWN: OnLButtonDown(static_cast<UINT>(wParam), ClientPoint(lParam)); return 0;
        case WM_LBUTTONUP: OnLButtonUp(static_cast<UINT>(wParam), ClientPoint(lParam)); return 0;
        case WM_MOUSEMOVE: OnMouseMove(static_cast<UINT>(wParam), ClientPoint(lParam)); return 0;
        case WM_RBUTTONDOWN: OnRButtonDown(static_cast<UINT>(wParam), ClientPoint(lParam)); return 0;
        case WM_DESTROY: OnDestroy(); return 0;
        case WM_NCDESTROY: OnNcDestroy(); return 0;
        case WM_CLOSE: OnClose(); return 0;
        case WM_COMMAND:
            if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
            return Default();
        case WM_SYSCOMMAND: OnSysCommand(static_cast<UINT>(wParam), lParam); return 0;
        case WM_SETCURSOR:
            return OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
                               HIWORD(static_cast<std::uintptr_t>(lParam)));
        case WM_NCHITTEST: return OnNcHitTest(ClientPoint(lParam));
        case WM_CAPTURECHANGED: OnCaptureChanged(reinterpret_cast<HWND>(lParam)); return 0;
        case WM_HELP: return OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam));
        case WM_QUERYDRAGICON: return reinterpret_cast<LRESULT>(OnQueryDragIcon());
        case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
        default: return DefWindowProc(message, wParam, lParam);
    }
}

LRESULT CWnd::Default() { return DefWindowProc(current.message, current.wParam, current.lParam); }

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!hwnd_) return 0;
    return superProc_ ? CallWindowProcA(superProc_, hwnd_, message, wParam, lParam)
                      : DefWindowProcA(hwnd_, message, wParam, lParam);
}

void CWnd::OnNcDestroy() {
    Default();
    // The program ends with its main window.
    if (CWinApp* app = AfxGetApp(); app && app->mainWindow == this) {
        app->mainWindow = nullptr;
        PostQuitMessage(0);
    }
    UnsubclassWindow();
    PostNcDestroy();
}

void CWnd::PostNcDestroy() {}

int CWnd::OnCreate(CREATESTRUCTA*) { return static_cast<int>(Default()); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnLButtonDown(UINT, POINT) { Default(); }
void CWnd::OnLButtonUp(UINT, POINT) { Default(); }
void CWnd::OnMouseMove(UINT, POINT) { Default(); }
void CWnd::OnRButtonDown(UINT, POINT) { Default(); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
BOOL CWnd::OnCommand(UINT, UINT, HWND) { return FALSE; }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
BOOL CWnd::OnSetCursor(HWND, UINT, UINT) { return static_cast<BOOL>(Default()); }
LRESULT CWnd::OnNcHitTest(POINT) { return Default(); }
void CWnd::OnCaptureChanged(HWND) { Default(); }
gdi::HBRUSH CWnd::OnCtlColor(gdi::HDC, HWND, UINT) { return reinterpret_cast<gdi::HBRUSH>(Default()); }
HICON CWnd::OnQueryDragIcon() { return reinterpret_cast<HICON>(Default()); }

void CWnd::OnDropFiles(HDROP) { Default(); }

BOOL CWnd::OnHelpInfo(HELPINFO*) {
    const bool topLevel = !(GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_CHILD);
    CWnd* main = AfxGetMainWnd();
    if (topLevel && main && main->GetSafeHwnd() && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0 &&
        GetKeyState(VK_MENU) >= 0) {
        main->SendMessage(WM_COMMAND, ID_HELP);
        return TRUE;
    }
    return static_cast<BOOL>(Default());
}

}  // namespace user

#include "platform/framework/cwnd.h"

#include "platform/user/application.h"
#include "platform/user/controls.h"
#include "platform/user/dialogs.h"
#include "platform/framework/framework_ids.h"
#include "platform/user/keyboard.h"
#include "platform/user/message_box.h"
#include "platform/framework/win_app.h"
#include "platform/user/internal/creation_hook.h"
#include "platform/user/internal/window_registry.h"
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
    const internal::WindowRecord* record = internal::FindWindowRecord(window);
    return record ? static_cast<CWnd*>(record->framework) : nullptr;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, UINT_PTR id, LPVOID param) {
    if (hwnd_) return FALSE;
    internal::SetCreationHook(&CWnd::BindDuringCreate, this);
    const HWND window = CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent,
                                        reinterpret_cast<HMENU>(id), GetModuleHandleA(nullptr), param);
    internal::ClearCreationHook();
    return window && hwnd_ == window ? TRUE : FALSE;
}

BOOL CWnd::SubclassWindow(HWND window) {
    const internal::WindowRecord* record = internal::FindWindowRecord(window);
    if (hwnd_ || !record || record->framework) return FALSE;
    Bind(window);
    return TRUE;
}

HWND CWnd::UnsubclassWindow() {
    const HWND window = hwnd_;
    if (internal::WindowRecord* record = internal::FindWindowRecord(window)) {
        if (record->proc == &CWnd::Route) record->proc = superProc_;
        if (record->framework == this) record->framework = nullptr;
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

void CWnd::BindNextCreatedWindow() { internal::SetCreationHook(&CWnd::BindDuringCreate, this); }

void CWnd::ForgetNextCreatedWindow() { internal::ClearCreationHook(); }

void CWnd::Bind(HWND window) {
    internal::WindowRecord* record = internal::FindWindowRecord(window);
    hwnd_ = window;
    superProc_ = record->proc;
    record->proc = &CWnd::Route;
    record->framework = this;
}

void CWnd::BindDuringCreate(HWND window, void* object) {
    auto* self = static_cast<CWnd*>(object);
    const internal::WindowRecord* record = internal::FindWindowRecord(window);
    if (!self->hwnd_ && record && !record->framework) self->Bind(window);
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
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<gdi::HDC>(wParam),
                                                        reinterpret_cast<HWND>(lParam), message - WM_CTLCOLORMSGBOX));
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

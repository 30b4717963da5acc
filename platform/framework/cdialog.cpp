#include "platform/framework/cdialog.h"

#include "platform/user/activation.h"
#include "platform/user/application.h"
#include "platform/user/controls.h"
#include "platform/framework/internal/exchange_failure.h"
#include "platform/framework/internal/modal_owner.h"
#include "platform/user/messages.h"
#include "platform/user/resources.h"
#include "platform/framework/win_app.h"
#include "platform/user/window_management.h"

namespace user {

CDialog::CDialog(UINT templateId, CWnd* parent) : templateId_(templateId), parent_(parent) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
    if (GetSafeHwnd() || !IsApplicationRunning()) return -1;
    HWND top = nullptr;
    const HWND owner = internal::GetSafeOwner(parent_ ? parent_->GetSafeHwnd() : nullptr, &top);
    const bool enableOwner = owner && IsWindowEnabled(owner);
    if (enableOwner) EnableWindow(owner, FALSE);

    // The template is read here, so that the run knows whether it shows
    // the dialog itself.
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(static_cast<WORD>(templateId_)), RT_DIALOG);
    const auto* dialogTemplate =
        found ? static_cast<const DialogTemplate*>(LockResource(LoadResource(instance, found))) : nullptr;
    templateVisible_ = dialogTemplate && (dialogTemplate->style & WS_VISIBLE);
    ended_ = false;
    activeWhenEnded_ = false;
    result_ = IDCANCEL;

    BindNextCreatedWindow();
    const HWND dialog =
        dialogTemplate ? CreateDialogIndirectParamA(instance, dialogTemplate, owner, nullptr, 0) : nullptr;
    ForgetNextCreatedWindow();

    INT_PTR result = -1;
    bool wasActive = false;
    if (dialog && GetSafeHwnd() == dialog) {
        if (!ended_) {
            running_ = true;
            if (!IsWindowVisible(dialog)) ShowWindow(dialog, SW_SHOWNORMAL);
            loop_.Run();
            running_ = false;
        }
        // A dialog destroyed meanwhile ended as cancelled.
        const bool alive = IsWindow(dialog);
        result = alive ? result_ : IDCANCEL;
        wasActive = !alive || activeWhenEnded_ || GetActiveWindow() == dialog;
    }
    // The owner comes back first, so that activation can return to it.
    if (enableOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (owner && IsWindow(owner) && (wasActive || !GetActiveWindow())) SetActiveWindow(owner);
    if (dialog && IsWindow(dialog)) user::DestroyWindow(dialog);
    if (top && IsWindow(top)) EnableWindow(top, TRUE);
    return result;
}

void CDialog::EndDialog(int result) {
    const HWND window = GetSafeHwnd();
    if (!window) return;
    const bool active = GetActiveWindow() == window;
    if (!user::EndDialog(window, result)) return;
    EndModal(result, active);
}

void CDialog::EndModal(INT_PTR result, bool active) {
    ended_ = true;
    result_ = result;
    activeWhenEnded_ = active;
    if (running_) loop_.End(static_cast<int>(result));
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const internal::CExchangeFailure&) {
        return FALSE;
    }
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

LRESULT CDialog::OnCommandHelp(WPARAM, LPARAM lParam) {
    if (lParam == 0 && templateId_ != 0) lParam = static_cast<LPARAM>(HID_BASE_RESOURCE + templateId_);
    if (lParam == 0) return FALSE;
    if (CWinApp* app = AfxGetApp()) app->WinHelpInternal(static_cast<DWORD_PTR>(lParam));
    return TRUE;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: return HandleInitDialog();
        case WM_COMMAND: return HandleCommand(wParam, lParam);
        case WM_COMMANDHELP: return OnCommandHelp(wParam, lParam);
        case WM_NCDESTROY:
            // A dialog destroyed while it runs ends its run as cancelled.
            if (running_ && !ended_) EndModal(IDCANCEL, activeWhenEnded_);
            return CWnd::WindowProc(message, wParam, lParam);
        default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

LRESULT CDialog::HandleInitDialog() {
    const HWND window = GetSafeHwnd();
    RECT before{};
    GetWindowRect(window, &before);
    const BOOL result = OnInitDialog();
    if (!IsWindow(window)) return result;
    // Centred only when the program neither showed nor placed it itself,
    // and its owner is the one the run disabled.
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    RECT after{};
    GetWindowRect(window, &after);
    const HWND owner = GetWindow(window, GW_OWNER);
    if (!templateVisible_ && !(style & (WS_VISIBLE | WS_CHILD)) && after.left == before.left &&
        after.top == before.top && (!owner || !IsWindowEnabled(owner))) {
        CenterWindow();
    }
    return result;
}

LRESULT CDialog::HandleCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (OnCommand(id, code, reinterpret_cast<HWND>(lParam))) return 0;
    // Buttons (code 0) and accelerators (code 1).
    if (code == BN_CLICKED || code == 1) {
        if (id == IDOK) {
            OnOK();
            return 0;
        }
        if (id == IDCANCEL) {
            OnCancel();
            return 0;
        }
    }
    if (CWinApp* app = AfxGetApp(); app && app->OnCmdMsg(id, code)) return 0;
    return Default();
}

}  // namespace user

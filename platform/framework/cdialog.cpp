#include "platform/framework/cdialog.h"

#include "platform/user/activation.h"
#include "platform/user/application.h"
#include "platform/user/controls.h"
#include "platform/user/internal/dialog_state.h"
#include "platform/framework/internal/exchange_failure.h"
#include "platform/framework/internal/modal_owner.h"
#include "platform/user/messages.h"
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

    BindNextCreatedWindow();
    const HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(static_cast<WORD>(templateId_)),
                                           owner, nullptr, 0);
    ForgetNextCreatedWindow();

    INT_PTR result = -1;
    bool wasActive = false;
    if (dialog && GetSafeHwnd() == dialog) {
        internal::DialogState* state = internal::FindDialogState(dialog);
        if (state && !state->ended) {
            state->modalLoop = &loop_;
            if (!IsWindowVisible(dialog)) ShowWindow(dialog, SW_SHOWNORMAL);
            loop_.Run();
        }
        state = internal::FindDialogState(dialog);
        result = state ? state->result : IDCANCEL;
        wasActive = !state || state->activeWhenEnded || GetActiveWindow() == dialog;
        if (state) state->modalLoop = nullptr;
    }
    // The owner comes back first, so that activation can return to it.
    if (enableOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (owner && IsWindow(owner) && (wasActive || !GetActiveWindow())) SetActiveWindow(owner);
    if (dialog && IsWindow(dialog)) user::DestroyWindow(dialog);
    if (top && IsWindow(top)) EnableWindow(top, TRUE);
    return result;
}

void CDialog::EndDialog(int result) {
    if (GetSafeHwnd()) user::EndDialog(GetSafeHwnd(), result);
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
    const internal::DialogState* state = internal::FindDialogState(window);
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    RECT after{};
    GetWindowRect(window, &after);
    const HWND owner = GetWindow(window, GW_OWNER);
    if (state && !state->templateVisible && !(style & (WS_VISIBLE | WS_CHILD)) && after.left == before.left &&
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

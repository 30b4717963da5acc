// Help: finding the context for the help command, and showing a context
// with the HTML Help viewer module.
#include "platform/kernel/modules.h"
#include "platform/user/activation.h"
#include "platform/user/capture.h"
#include "platform/user/cursors.h"
#include "platform/user/html_help.h"
#include "platform/user/messages.h"
#include "platform/framework/win_app.h"
#include "platform/user/window_management.h"

namespace user {
namespace {

// The viewer's entry, looked up on first use and kept once found.
HtmlHelpProc ViewerEntry() {
    static HtmlHelpProc entry = nullptr;
    if (entry) return entry;
    const kernel::HMODULE module = kernel::LoadLibraryA("hhctrl.ocx");
    if (!module) return nullptr;
    entry = reinterpret_cast<HtmlHelpProc>(kernel::GetProcAddress(module, "HtmlHelpA"));
    if (!entry) kernel::FreeLibrary(module);
    return entry;
}

// WinHelp's commands in HTML Help's terms.
UINT HtmlCommand(UINT winHelpCommand) {
    switch (winHelpCommand) {
        case HELP_CONTEXT: return HH_HELP_CONTEXT;
        case HELP_CONTENTS: return HH_DISPLAY_TOC;
        case HELP_FINDER: return HH_DISPLAY_TOPIC;
        default: return winHelpCommand;
    }
}

// The wait cursor while the viewer starts, put back however the call ends.
class CWaitCursor {
public:
    CWaitCursor() {
        if (const HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT)) {
            previous_ = SetCursor(wait);
            active_ = true;
        }
    }
    ~CWaitCursor() {
        // No shape set before: the arrow, not a hidden pointer.
        if (active_) SetCursor(previous_ ? previous_ : LoadCursorA(nullptr, IDC_ARROW));
    }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR previous_ = nullptr;
    bool active_ = false;
};

HWND ParentOrOwner(HWND window) {
    if (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) return GetParent(window);
    return GetWindow(window, GW_OWNER);
}

// Asks a window and its parents or owners in turn; true when one showed
// help.
bool AskChain(HWND window) {
    for (int depth = 0; window && depth < 1000; ++depth, window = ParentOrOwner(window)) {
        if (SendMessageA(window, WM_COMMANDHELP, 0, 0)) return true;
    }
    return false;
}

HWND TopLevelOf(HWND window) {
    while (window && (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)) window = GetParent(window);
    return window;
}

}  // namespace

void CWnd::OnHelp() {
    if (AskChain(GetCapture())) return;
    if (AskChain(GetFocus())) return;
    if (AskChain(GetLastActivePopup(TopLevelOf(hwnd_)))) return;
    SendMessage(WM_COMMAND, ID_DEFAULT_HELP);
}

void CWinApp::OnHelp() {
    if (promptContext != 0) {
        // No help about failing to show help.
        if (promptContext != HID_BASE_PROMPT + AFX_IDP_FAILED_TO_LAUNCH_HELP) WinHelpInternal(promptContext);
        return;
    }
    if (CWnd* main = AfxGetMainWnd(); main && main->GetSafeHwnd()) main->OnHelp();
}

void CWinApp::WinHelpInternal(DWORD_PTR data, UINT command) {
    if (helpEngine == afxHTMLHelp) {
        HtmlHelp(data, HtmlCommand(command));
    } else {
        WinHelp(data, command);
    }
}

void CWinApp::WinHelp(DWORD_PTR, UINT) {
    // The WinHelp viewer does not exist here.
    AfxMessageBox(AFX_IDP_FAILED_TO_LAUNCH_HELP, MB_OK | MB_ICONEXCLAMATION);
}

void CWinApp::HtmlHelp(DWORD_PTR data, UINT command) {
    CWnd* main = AfxGetMainWnd();
    const HWND caller = main ? TopLevelOf(main->GetSafeHwnd()) : nullptr;
    HWND viewer = nullptr;
    {
        CWaitCursor wait;
        if (const HtmlHelpProc entry = ViewerEntry()) viewer = entry(caller, helpFilePath.c_str(), command, data);
    }
    if (!viewer) AfxMessageBox(AFX_IDP_FAILED_TO_LAUNCH_HELP, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace user

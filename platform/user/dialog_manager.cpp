// The dialog manager's keyboard: the focus moves with Tab and the arrow
// keys, Enter and Esc become commands.
#include <QPushButton>

#include <algorithm>
#include <vector>

#include "platform/user/activation.h"
#include "platform/user/dialogs.h"
#include "platform/user/internal/dialog_state.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/messages.h"
#include "platform/user/window_management.h"

namespace user {
namespace {

std::vector<HWND> ControlsOf(HWND dialog) {
    const internal::WindowRecord* record = internal::FindWindowRecord(dialog);
    return record ? record->children : std::vector<HWND>{};
}

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)); }

// A control the keyboard can reach: shown (by its own style, so that a
// dialog still hidden during its initialisation counts) and enabled.
bool Reachable(HWND control) { return (StyleOf(control) & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE; }

LRESULT CodeOf(HWND control) { return SendMessageA(control, WM_GETDLGCODE, 0, 0); }

bool IsPushButton(HWND control) { return (CodeOf(control) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0; }

}  // namespace

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    std::vector<HWND> controls = ControlsOf(dialog);
    if (controls.empty()) return nullptr;
    if (previous) std::reverse(controls.begin(), controls.end());
    const auto at = std::find(controls.begin(), controls.end(), control);
    const std::size_t start = at == controls.end() ? 0 : static_cast<std::size_t>(at - controls.begin()) + 1;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const HWND candidate = controls[(start + i) % controls.size()];
        if ((StyleOf(candidate) & WS_TABSTOP) && Reachable(candidate)) return candidate;
    }
    return at == controls.end() ? nullptr : control;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
    const std::vector<HWND> controls = ControlsOf(dialog);
    const auto at = std::find(controls.begin(), controls.end(), control);
    if (at == controls.end()) return nullptr;
    auto first = at;
    while (first != controls.begin() && !(StyleOf(*first) & WS_GROUP)) --first;
    auto last = at + 1;
    while (last != controls.end() && !(StyleOf(*last) & WS_GROUP)) ++last;
    std::vector<HWND> group(first, last);
    if (previous) std::reverse(group.begin(), group.end());
    const std::size_t index = static_cast<std::size_t>(std::find(group.begin(), group.end(), control) - group.begin());
    for (std::size_t i = 1; i < group.size(); ++i) {
        const HWND candidate = group[(index + i) % group.size()];
        if (Reachable(candidate)) return candidate;
    }
    return control;
}

namespace internal {

int DefaultButtonId(HWND dialog) {
    const DialogState* state = FindDialogState(dialog);
    if (!state) return 0;
    if (state->hasDefaultId) return state->defaultId;
    for (HWND control : ControlsOf(dialog)) {
        if (CodeOf(control) & DLGC_DEFPUSHBUTTON) return GetDlgCtrlID(control);
    }
    return 0;
}

void UpdateDefaultButtonLook(HWND dialog, HWND focus) {
    if (!IsDialog(dialog)) return;
    HWND chosen = focus && GetParent(focus) == dialog && IsPushButton(focus) ? focus : nullptr;
    if (!chosen) {
        const int id = DefaultButtonId(dialog);
        chosen = id ? GetDlgItem(dialog, id) : nullptr;
    }
    for (HWND control : ControlsOf(dialog)) {
        const WindowRecord* record = FindWindowRecord(control);
        if (auto* button = record ? dynamic_cast<QPushButton*>(record->widget.data()) : nullptr) {
            button->setDefault(control == chosen);
        }
    }
}

void FocusDialogControl(HWND control) {
    SetFocus(control);
    if (CodeOf(control) & DLGC_HASSETSEL) SendMessageA(control, EM_SETSEL, 0, -1);
}

bool DialogNavigationKey(HWND focus, UINT virtualKey, bool shift, bool control, bool alt) {
    const HWND dialog = DialogOf(focus);
    if (!dialog || alt) return false;
    const LRESULT code = focus == dialog ? 0 : CodeOf(focus);
    if (code & DLGC_WANTALLKEYS) return false;
    const HWND current = focus == dialog ? nullptr : focus;
    switch (virtualKey) {
        case VK_TAB: {
            if ((code & DLGC_WANTTAB) || control) return false;
            if (const HWND next = GetNextDlgTabItem(dialog, current, shift ? TRUE : FALSE)) FocusDialogControl(next);
            return true;
        }
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            if ((code & DLGC_WANTARROWS) || !current) return false;
            const bool back = virtualKey == VK_LEFT || virtualKey == VK_UP;
            const HWND next = GetNextDlgGroupItem(dialog, current, back ? TRUE : FALSE);
            if (next && next != current) {
                SetFocus(next);
                // Moving onto an automatic radio button chooses it.
                if ((CodeOf(next) & DLGC_RADIOBUTTON) && (StyleOf(next) & 0x0F) == BS_AUTORADIOBUTTON) {
                    SendMessageA(next, BM_CLICK, 0, 0);
                }
            }
            return true;
        }
        case VK_RETURN: {
            int id = IDOK;
            HWND button = nullptr;
            if (current && IsPushButton(current)) {
                button = current;
                id = GetDlgCtrlID(current);
            } else if (const LRESULT defaultId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
                       HIWORD(static_cast<std::uintptr_t>(defaultId)) == DC_HASDEFID) {
                id = LOWORD(static_cast<std::uintptr_t>(defaultId));
                button = GetDlgItem(dialog, id);
            }
            // A disabled default button swallows the key.
            if (button && !IsWindowEnabled(button)) return true;
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
            return true;
        }
        case VK_ESCAPE: {
            const HWND cancel = GetDlgItem(dialog, IDCANCEL);
            if (cancel && !IsWindowEnabled(cancel)) return true;
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
            return true;
        }
        default: return false;
    }
}

}  // namespace internal
}  // namespace user

#include "platform/user/activation.h"

#include "platform/user/internal/activation_tracking.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/messages.h"
#include "platform/user/window_management.h"

namespace user {
namespace internal {

HWND RootOwnerOf(HWND window) {
    HWND top = TopLevelOf(window);
    for (int depth = 0; depth < 1000; ++depth) {
        const WindowRecord* record = FindWindowRecord(top);
        if (!record || !FindWindowRecord(record->owner)) break;
        top = record->owner;
    }
    return top;
}

void NoteActivated(HWND window) {
    ServiceState& state = State();
    if (!FindWindowRecord(window)) return;
    if (WindowRecord* root = FindWindowRecord(RootOwnerOf(window))) root->lastActivePopup = window;
    if (state.active == window) return;
    const HWND previous = state.active;
    state.active = window;
    if (FindWindowRecord(previous)) {
        SendMessageA(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window));
    }
    if (state.active == window) {
        SendMessageA(window, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
    }
}

void NoteDeactivated(HWND window) {
    ServiceState& state = State();
    if (state.active != window) return;
    state.active = nullptr;
    SendMessageA(window, WM_ACTIVATE, WA_INACTIVE, 0);
}

void RaiseWithOwned(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record || !record->widget || IsChildStyle(*record)) return;
    record->widget->raise();
    for (HWND owned : OwnedWindows(window)) {
        const WindowRecord* ownedRecord = FindWindowRecord(owned);
        if (ownedRecord && (ownedRecord->style & WS_VISIBLE)) RaiseWithOwned(owned);
    }
}

void ShowOwnedWindows(HWND owner, bool show) {
    for (HWND owned : OwnedWindows(owner)) {
        WindowRecord* record = FindWindowRecord(owned);
        if (!record || !record->widget) continue;
        if (!show && (record->style & WS_VISIBLE)) {
            record->hiddenWithOwner = true;
            record->widget->hide();
        } else if (show && record->hiddenWithOwner) {
            record->hiddenWithOwner = false;
            record->widget->show();
        }
    }
}

}  // namespace internal

// The service keeps the active and the focus window until told otherwise;
// a window destroyed meanwhile is none.
HWND GetActiveWindow() { return internal::LiveOrNull(internal::State().active); }

HWND SetActiveWindow(HWND window) {
    const HWND previous = GetActiveWindow();
    const internal::WindowRecord* record = internal::FindWindowRecord(window);
    if (!record || internal::IsChildStyle(*record) || !record->widget) return previous;
    if (!(record->style & WS_VISIBLE) || (record->style & WS_DISABLED)) return previous;
    record->widget->activateWindow();
    internal::RaiseWithOwned(window);
    internal::NoteActivated(window);
    return previous;
}

HWND GetLastActivePopup(HWND window) {
    const internal::WindowRecord* record = internal::FindWindowRecord(window);
    if (!record) return nullptr;
    const HWND popup = record->lastActivePopup;
    const internal::WindowRecord* popupRecord = internal::FindWindowRecord(popup);
    if (!popupRecord || !(popupRecord->style & WS_VISIBLE) || internal::RootOwnerOf(popup) != window) return window;
    return popup;
}

HWND GetFocus() { return internal::LiveOrNull(internal::State().focus); }

HWND SetFocus(HWND window) {
    const HWND previous = GetFocus();
    const internal::WindowRecord* record = internal::FindWindowRecord(window);
    if (!record || !record->widget || (record->style & WS_DISABLED)) return previous;
    const HWND top = internal::TopLevelOf(window);
    if (top != GetActiveWindow()) SetActiveWindow(top);
    record = internal::FindWindowRecord(window);
    if (!record || !record->widget) return previous;
    record->widget->setFocus(Qt::OtherFocusReason);
    if (internal::State().focus != window) {
        internal::State().focus = window;
        if (IsWindow(previous)) SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
        if (IsWindow(window)) SendMessageA(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
    return previous;
}

}  // namespace user

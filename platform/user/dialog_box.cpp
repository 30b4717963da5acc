// Dialog windows from templates, and the dialog class's default handling.
#include <QWidget>

#include <algorithm>
#include <map>
#include <string>

#include "platform/gdi/brushes.h"
#include "platform/gdi/clipping.h"
#include "platform/gdi/handles.h"
#include "platform/gdi/pattern_blt.h"
#include "platform/gdi/surfaces.h"
#include "platform/user/activation.h"
#include "platform/user/application.h"
#include "platform/user/cursors.h"
#include "platform/user/dialogs.h"
#include "platform/user/internal/class_registry.h"
#include "platform/user/internal/dialog_state.h"
#include "platform/user/internal/resource_store.h"
#include "platform/user/internal/toolkit_font.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/keyboard.h"
#include "platform/user/message_loop.h"
#include "platform/user/messages.h"
#include "platform/user/painting.h"
#include "platform/user/resources.h"
#include "platform/user/system_colors.h"
#include "platform/user/user_testing.h"
#include "platform/user/window_management.h"

namespace user {
namespace internal {

void RegisterButtonClass();
void RegisterEditClass();
void RegisterStaticClass();

namespace {

constexpr const char* dialogClassName = "#32770";

std::map<HWND, DialogState>& Dialogs() {
    static std::map<HWND, DialogState> dialogs;
    return dialogs;
}

// a * b / c rounded to the nearest integer, halves away from zero.
LONG MulDiv(LONG a, LONG b, LONG c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    const long long value = product >= 0 ? (product + half) / c : -((-product + half) / c);
    return static_cast<LONG>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

RECT ToPixels(SIZE base, short x, short y, short cx, short cy) {
    const LONG left = MulDiv(x, base.cx, 4);
    const LONG top = MulDiv(y, base.cy, 8);
    return RECT{left, top, left + MulDiv(cx, base.cx, 4), top + MulDiv(cy, base.cy, 8)};
}

void FillWithFace(gdi::HDC dc) {
    RECT box{};
    if (!dc || gdi::GetClipBox(dc, &box) == gdi::ERROR) return;
    const gdi::HGDIOBJ previous = gdi::SelectObject(dc, GetSysColorBrush(COLOR_3DFACE));
    if (!previous) return;
    gdi::PatBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, gdi::PATCOPY);
    gdi::SelectObject(dc, previous);
}

gdi::HFONT CreateTemplateFont(const DialogTemplate& dialog) {
    if (!(dialog.style & DS_SETFONT)) return nullptr;
    gdi::LOGFONTA font{};
    font.lfHeight = -MulDiv(dialog.pointSize, logicalDpi, 72);
    font.lfWeight = dialog.weight;
    font.lfItalic = dialog.italic ? 1 : 0;
    font.lfCharSet = dialog.charSet;
    const std::string face = dialog.typeface ? dialog.typeface : "";
    face.copy(font.lfFaceName, std::min<std::size_t>(face.size(), gdi::LF_FACESIZE - 1));
    return gdi::CreateFontIndirectA(&font);
}

void DeleteOwnedFont(DialogState& state) {
    if (state.ownsFont && state.font) gdi::DeleteObject(state.font);
    state.font = nullptr;
    state.ownsFont = false;
}

HWND CreateControl(HINSTANCE instance, HWND dialog, const DialogItemTemplate& item, SIZE base) {
    const RECT rect = ToPixels(base, item.x, item.y, item.cx, item.cy);
    const std::string name = item.textOrdinal ? "#" + std::to_string(item.textOrdinal) : (item.text ? item.text : "");
    const DWORD style = (item.style | WS_CHILD) & ~WS_POPUP;
    const auto id = static_cast<UINT_PTR>(static_cast<DWORD>(item.id));
    return CreateWindowExA(item.exStyle, item.className, name.c_str(), style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, dialog, reinterpret_cast<HMENU>(id),
                           instance, nullptr);
}

}  // namespace

DialogState* FindDialogState(HWND window) {
    if (!FindWindowRecord(window)) return nullptr;
    const auto found = Dialogs().find(window);
    return found == Dialogs().end() ? nullptr : &found->second;
}

bool IsDialog(HWND window) { return FindDialogState(window) != nullptr; }

HWND DialogOf(HWND window) {
    for (HWND at = window; at; at = GetParent(at)) {
        if (IsDialog(at)) return at;
        const WindowRecord* record = FindWindowRecord(at);
        if (!record || !IsChildStyle(*record)) break;
    }
    return nullptr;
}

void EnsureDialogClasses() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    RegisterButtonClass();
    RegisterEditClass();
    RegisterStaticClass();
    RegisterBuiltInClass(dialogClassName, 0, DefDlgProcA, nullptr, nullptr);
}

}  // namespace internal

LRESULT DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    internal::DialogState* state = internal::FindDialogState(dialog);
    if (state && state->proc) {
        const INT_PTR answer = state->proc(dialog, message, wParam, lParam);
        if (answer) return answer;
        state = internal::FindDialogState(dialog);
    }
    switch (message) {
        case WM_INITDIALOG:
        case WM_COMMAND: return 0;
        case WM_GETFONT: return state ? reinterpret_cast<LRESULT>(state->font) : 0;
        case WM_SETFONT:
            if (state && reinterpret_cast<gdi::HFONT>(wParam) != state->font) {
                internal::DeleteOwnedFont(*state);
                state->font = reinterpret_cast<gdi::HFONT>(wParam);
            }
            return 0;
        case DM_GETDEFID: {
            const int id = internal::DefaultButtonId(dialog);
            return id ? static_cast<LRESULT>(MAKELPARAM(id, DC_HASDEFID)) : 0;
        }
        case DM_SETDEFID:
            if (!state) return FALSE;
            state->defaultId = static_cast<int>(wParam);
            state->hasDefaultId = true;
            internal::UpdateDefaultButtonLook(dialog, GetFocus());
            return TRUE;
        case WM_NEXTDLGCTL: {
            HWND next = reinterpret_cast<HWND>(wParam);
            if (!LOWORD(static_cast<std::uintptr_t>(lParam))) next = GetNextDlgTabItem(dialog, GetFocus(), wParam != 0);
            if (next && internal::DialogOf(next) == dialog) internal::FocusDialogControl(next);
            return 0;
        }
        case WM_CLOSE: {
            // The close box is Cancel, unless Cancel is there and disabled.
            const HWND cancel = GetDlgItem(dialog, IDCANCEL);
            if (cancel && !IsWindowEnabled(cancel)) return 0;
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
            return 0;
        }
        case WM_KEYDOWN:
            if (internal::DialogNavigationKey(dialog, static_cast<UINT>(wParam), GetKeyState(VK_SHIFT) < 0,
                                              GetKeyState(VK_CONTROL) < 0, false)) {
                return 0;
            }
            break;
        case WM_ERASEBKGND: internal::FillWithFace(reinterpret_cast<gdi::HDC>(wParam)); return 1;
        case WM_PAINT: {
            // The whole area to paint gets the face colour, erased or not.
            PAINTSTRUCT paint;
            if (BeginPaint(dialog, &paint)) {
                internal::FillWithFace(paint.hdc);
                EndPaint(dialog, &paint);
            }
            return 0;
        }
        case WM_SETCURSOR: {
            const LRESULT hit = static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam)));
            // Asked on a control's behalf: the control chooses its own.
            if (reinterpret_cast<HWND>(wParam) != dialog) return FALSE;
            if (hit == HTCLIENT) {
                SetCursor(LoadCursorA(nullptr, IDC_ARROW));
                return TRUE;
            }
            break;
        }
        case WM_NCDESTROY:
            if (state) {
                internal::DeleteOwnedFont(*state);
                internal::Dialogs().erase(dialog);
            }
            break;
        default: break;
    }
    return DefWindowProcA(dialog, message, wParam, lParam);
}

HWND CreateDialogIndirectParamA(HINSTANCE instance, const DialogTemplate* dialog, HWND owner, DLGPROC proc,
                                LPARAM param) {
    if (!IsApplicationRunning() || !dialog || (owner && !IsWindow(owner))) return nullptr;
    internal::EnsureDialogClasses();
    gdi::HFONT font = internal::CreateTemplateFont(*dialog);
    const SIZE base = internal::DialogBaseUnits(internal::ToolkitFont(font));
    const RECT rect = internal::ToPixels(base, dialog->x, dialog->y, dialog->cx, dialog->cy);
    POINT origin{rect.left, rect.top};
    if (owner && !(dialog->style & DS_ABSALIGN)) ClientToScreen(owner, &origin);

    const HWND window =
        CreateWindowExA(dialog->exStyle, dialog->windowClass ? dialog->windowClass : "#32770",
                        dialog->title ? dialog->title : "", dialog->style & ~WS_VISIBLE, origin.x, origin.y,
                        rect.right - rect.left, rect.bottom - rect.top, owner, nullptr, instance, nullptr);
    if (!window) {
        if (font) gdi::DeleteObject(font);
        return nullptr;
    }
    internal::DialogState& state = internal::Dialogs()[window];
    state.font = font;
    state.ownsFont = font != nullptr;
    state.baseUnits = base;
    state.proc = proc;
    if (font) SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    for (const DialogItemTemplate& item : dialog->items) {
        const HWND control = internal::CreateControl(instance, window, item, base);
        if (!IsWindow(window)) return nullptr;
        if (!control) {
            if (dialog->style & DS_NOFAILCREATE) continue;
            DestroyWindow(window);
            return nullptr;
        }
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // Earlier controls lie above later ones, as in a dialog's stacking.
        if (const internal::WindowRecord* record = internal::FindWindowRecord(control); record && record->widget) {
            record->widget->lower();
        }
    }
    const LRESULT focusFirst =
        SendMessageA(window, WM_INITDIALOG, reinterpret_cast<WPARAM>(GetNextDlgTabItem(window, nullptr, FALSE)), param);
    if (!IsWindow(window)) return nullptr;
    if (focusFirst) {
        if (const HWND first = GetNextDlgTabItem(window, nullptr, FALSE)) internal::FocusDialogControl(first);
    }
    internal::UpdateDefaultButtonLook(window, GetFocus());
    if (dialog->style & WS_VISIBLE) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    return internal::LiveOrNull(window);
}

HWND CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param) {
    const HRSRC found = FindResourceA(instance, templateName, RT_DIALOG);
    const auto* dialog =
        found ? static_cast<const DialogTemplate*>(LockResource(LoadResource(instance, found))) : nullptr;
    return dialog ? CreateDialogIndirectParamA(instance, dialog, owner, proc, param) : nullptr;
}

BOOL EndDialog(HWND dialog, INT_PTR) {
    if (!internal::FindDialogState(dialog)) return FALSE;
    // Gone from the screen at once, also when a nested run keeps the
    // modal loop that runs it from returning for a while.
    ShowWindow(dialog, SW_HIDE);
    return TRUE;
}

BOOL MapDialogRect(HWND dialog, RECT* rect) {
    const internal::DialogState* state = internal::FindDialogState(dialog);
    if (!state || !rect) return FALSE;
    const SIZE base = state->baseUnits;
    *rect = RECT{internal::MulDiv(rect->left, base.cx, 4), internal::MulDiv(rect->top, base.cy, 8),
                 internal::MulDiv(rect->right, base.cx, 4), internal::MulDiv(rect->bottom, base.cy, 8)};
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
    const internal::WindowRecord* record = internal::FindWindowRecord(dialog);
    if (!record) return nullptr;
    for (HWND child : record->children) {
        if (GetDlgCtrlID(child) == id) return child;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND control) {
    const internal::WindowRecord* record = internal::FindWindowRecord(control);
    if (!record || !internal::IsChildStyle(*record)) return 0;
    return static_cast<int>(static_cast<DWORD>(record->id));
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(GetDlgItem(dialog, id), message, wParam, lParam);
}

}  // namespace user

#pragma once
// What the service keeps for each dialog window besides its window record.

#include "platform/gdi/fonts.h"
#include "platform/user/dialogs.h"

namespace user::internal {

struct DialogState {
    gdi::HFONT font = nullptr;  // null: the system font
    bool ownsFont = false;      // made from the template: deleted with the dialog
    SIZE baseUnits{1, 1};
    DLGPROC proc = nullptr;
    int defaultId = 0;
    bool hasDefaultId = false;
    HWND lastFocus = nullptr;
};

// The state of a dialog window; null for any other window.
DialogState* FindDialogState(HWND window);
bool IsDialog(HWND window);
// The dialog a control lies in (the nearest dialog among its ancestors).
HWND DialogOf(HWND window);

// Registers the dialog and control classes once per process.
void EnsureDialogClasses();

// Keys the dialog manager takes from the window with the focus (a control,
// or the dialog itself): Tab, arrows, Enter and Esc. True when consumed.
bool DialogNavigationKey(HWND focus, UINT virtualKey, bool shift, bool control, bool alt);

// Puts the focus on a control as the dialog manager does: an edit field's
// whole text becomes selected.
void FocusDialogControl(HWND control);

// The push buttons' look follows the focus: the focused push button, or
// else the default one, is drawn as the default.
void UpdateDefaultButtonLook(HWND dialog, HWND focus);

// The default push button's id, as DM_GETDEFID answers; 0 when none.
int DefaultButtonId(HWND dialog);

}  // namespace user::internal

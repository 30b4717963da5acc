#pragma once
// Dialog data exchange: a dialog's fields written into its controls, or
// read back and checked. A read that fails tells the user, puts the focus
// back on the control, and stops the exchange.

#include "platform/framework/cwnd.h"

namespace user {

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate);

    // TRUE: controls to fields (reading); FALSE: fields to controls.
    BOOL saveAndValidate;
    CWnd* dialog;

    // The control with that id, remembered as the one a failure returns
    // the focus to (an edit field gets its whole text selected). A missing
    // control fails the exchange.
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    // Ends the exchange as failed: the focus goes back to the last prepared
    // control. Throws; UpdateData catches it, so a DoDataExchange must let
    // it pass.
    [[noreturn]] void Fail();

private:
    HWND lastControl_ = nullptr;
    bool lastIsEdit_ = false;
};

// An edit field as a signed decimal integer. Writing puts "%d" in it (only
// when its text differs). Reading takes at most the first 63 bytes of its
// text and reads them as C's "%d" does: blanks skipped, an optional sign,
// decimal digits, anything after them ignored. Without an integer, or with
// one beyond 32 bits, the user sees "Please enter an integer." and the
// exchange fails.
void DDX_Text(CDataExchange* dx, int id, int& value);

// A radio group starting at control id (which has WS_GROUP) and running up
// to the next control with WS_GROUP: writing checks exactly the radio
// button with index value; reading gives the index of the checked one, or
// -1. Only controls that answer WM_GETDLGCODE with DLGC_RADIOBUTTON count.
void DDX_Radio(CDataExchange* dx, int id, int& value);

}  // namespace user

#pragma once
// The dialog that asks for an exact side length: a length in pixels and the
// side that gets it. Made from dialog template 139; OK and Cancel keep the
// dialog framework's handling, so OK closes it only when the length reads
// as an integer.

#include "platform/framework/cdialog.h"

class CResizeDialog : public user::CDialog {
public:
    CResizeDialog();

    int length = 0;  // pixels for the chosen side; edit field 1002
    int side = 0;    // a ResizeSide, the index in the radio group from 1003; -1 when none is checked

protected:
    // The edit field first, so that a length that does not read leaves
    // side as it was.
    void DoDataExchange(user::CDataExchange* dx) override;
};

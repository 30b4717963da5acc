#include "photo/resize_dialog.h"

#include "res/resource_ids.h"

CResizeDialog::CResizeDialog() : CDialog(res::IDD_RESIZE) {}

void CResizeDialog::DoDataExchange(user::CDataExchange* dx) {
    user::DDX_Text(dx, res::IDC_LENGTH, length);
    user::DDX_Radio(dx, res::IDC_SIDE_HEIGHT, side);
}

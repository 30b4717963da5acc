// Dialog templates 100 (About), 102 (launcher) and 139 (Resize).
#include "platform/user/controls.h"
#include "platform/user/resources.h"
#include "res/product_texts.h"
#include "res/register_resources.h"
#include "res/resource_ids.h"

namespace res {
namespace {

using user::DialogItemTemplate;
using user::DialogTemplate;

constexpr DWORD childVisible = user::WS_CHILD | user::WS_VISIBLE;

const DialogItemTemplate aboutItems[] = {
    {0, 0, childVisible | user::SS_ICON, 12, 18, 18, 21, IDC_STATIC, "Static", nullptr, IDR_MAINFRAME},
    {0, 0, childVisible | user::WS_GROUP | user::SS_NOPREFIX | user::SS_LEFT, 42, 12, 119, 8, IDC_STATIC, "Static",
     productLine, 0},
    {0, 0, childVisible | user::WS_GROUP | user::SS_LEFT, 42, 24, 131, 16, IDC_STATIC, "Static", ownerNotice, 0},
    {0, 0, childVisible | user::WS_GROUP | user::WS_TABSTOP | user::BS_DEFPUSHBUTTON, 178, 7, 50, 16, user::IDOK,
     "Button", "OK", 0},
    {0, 0, childVisible | user::WS_GROUP | user::SS_NOTIFY | user::SS_LEFT, 42, 42, 144, 8, IDC_WEB_LINK, "Static",
     webAddress, 0},
};

DialogTemplate AboutTemplate() {
    DialogTemplate dialog;
    dialog.style = user::WS_POPUP | user::WS_CAPTION | user::WS_SYSMENU | user::DS_MODALFRAME | user::DS_SETFONT;
    dialog.cx = 235;
    dialog.cy = 57;
    dialog.title = "バージョン情報...";
    dialog.pointSize = 9;
    dialog.weight = 0;
    dialog.charSet = 1;
    dialog.typeface = "MS UI Gothic";
    dialog.items = aboutItems;
    return dialog;
}

constexpr DWORD iconButton =
    childVisible | user::WS_TABSTOP | user::BS_PUSHBUTTON | user::BS_ICON | user::BS_CENTER | user::BS_VCENTER;

const DialogItemTemplate launcherItems[] = {
    {0, user::WS_EX_DLGMODALFRAME, childVisible | user::SS_BITMAP | user::SS_REALSIZEIMAGE, 6, 6, 89, 31, IDC_STATIC,
     "Static", nullptr, IDB_BANNER},
    {0, 0, childVisible | user::WS_GROUP | user::SS_LEFT, 72, 54, 24, 8, IDC_STATIC, "Static", launcherVersion, 0},
    {0, 0, iconButton, 6, 42, 18, 18, IDC_OPEN_PHOTO, "Button", "写真を開く...", 0},
    {0, 0, iconButton, 30, 42, 18, 18, static_cast<int>(ID_HELP), "Button", "ヘルプ", 0},
};

DialogTemplate LauncherTemplate() {
    DialogTemplate dialog;
    dialog.style = user::WS_POPUP | user::WS_VISIBLE | user::WS_CAPTION | user::WS_SYSMENU | user::WS_MINIMIZEBOX |
                   user::DS_SETFONT;
    dialog.exStyle = user::WS_EX_TOOLWINDOW | user::WS_EX_WINDOWEDGE | user::WS_EX_CLIENTEDGE | user::WS_EX_APPWINDOW;
    dialog.cx = 102;
    dialog.cy = 63;
    dialog.title = "写真をリサイズ";
    dialog.pointSize = 9;
    dialog.weight = 0;
    dialog.charSet = 1;
    dialog.typeface = "MS UI Gothic";
    dialog.items = launcherItems;
    return dialog;
}

constexpr DWORD radio = childVisible | user::BS_AUTORADIOBUTTON;

const DialogItemTemplate resizeItems[] = {
    {0, 0, childVisible | user::WS_TABSTOP | user::BS_DEFPUSHBUTTON, 102, 6, 50, 14, user::IDOK, "Button", "OK", 0},
    {0, 0, childVisible | user::WS_TABSTOP | user::BS_PUSHBUTTON, 102, 23, 50, 14, user::IDCANCEL, "Button",
     "キャンセル", 0},
    {0, 0, childVisible | user::WS_BORDER | user::WS_TABSTOP | user::ES_LEFT | user::ES_AUTOHSCROLL, 36, 48, 40, 14,
     IDC_LENGTH, "Edit", "", 0},
    {0, 0, radio | user::WS_GROUP, 12, 18, 24, 10, IDC_SIDE_HEIGHT, "Button", "縦", 0},
    {0, 0, radio, 12, 30, 24, 10, IDC_SIDE_WIDTH, "Button", "横", 0},
    {0, 0, radio, 60, 18, 32, 10, IDC_SIDE_LONG, "Button", "長辺", 0},
    {0, 0, radio, 60, 30, 32, 10, IDC_SIDE_SHORT, "Button", "短辺", 0},
    {0, 0, childVisible | user::WS_GROUP | user::SS_LEFT, 12, 51, 18, 8, IDC_STATIC, "Static", "長さ：", 0},
    {0, 0, childVisible | user::BS_GROUPBOX, 6, 6, 90, 36, IDC_STATIC, "Button", "設定する辺", 0},
    {0, 0, childVisible | user::WS_GROUP | user::SS_LEFT, 78, 51, 12, 8, IDC_STATIC, "Static", "ｐｘ.", 0},
};

DialogTemplate ResizeTemplate() {
    DialogTemplate dialog;
    dialog.style = user::WS_POPUP | user::WS_CAPTION | user::WS_SYSMENU | user::DS_MODALFRAME | user::DS_SETFONT |
                   user::DS_FIXEDSYS;
    dialog.cx = 160;
    dialog.cy = 66;
    dialog.title = "リサイズ";
    dialog.pointSize = 8;
    dialog.weight = 400;
    dialog.charSet = 1;
    dialog.typeface = "MS Shell Dlg";
    dialog.items = resizeItems;
    return dialog;
}

}  // namespace

bool RegisterDialogTemplates() {
    bool ok = user::RegisterDialogResource(IDD_ABOUTBOX, AboutTemplate());
    ok = user::RegisterDialogResource(IDD_LAUNCHER, LauncherTemplate()) && ok;
    ok = user::RegisterDialogResource(IDD_RESIZE, ResizeTemplate()) && ok;
    return ok;
}

}  // namespace res

#include "app/about_dialog.h"

#include <algorithm>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/framework/framework.h"
#include "res/resource_ids.h"

namespace {

// Pure blue, the colour links are drawn in.
constexpr gdi::COLORREF linkColour = gdi::RGB(0, 0, 255);

}  // namespace

CAboutDialog::CAboutDialog(user::CWnd* parent) : CDialog(res::IDD_ABOUTBOX, parent) {}

BOOL CAboutDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    const user::HWND link = GetDlgItem(res::IDC_WEB_LINK);
    const auto dialogFont = reinterpret_cast<gdi::HFONT>(user::SendMessageA(link, user::WM_GETFONT, 0, 0));
    // Zeroed, so that a font that cannot be described still gives a
    // defined (default) description.
    gdi::LOGFONTA description{};
    gdi::GetObjectA(dialogFont, sizeof description, &description);
    description.lfUnderline = 1;
    linkFont = gdi::CreateFontIndirectA(&description);
    // Without the font (it could not be made) the link draws in the
    // system font.
    user::SendMessageA(link, user::WM_SETFONT, reinterpret_cast<WPARAM>(linkFont), TRUE);
    // The first tab stop, OK, takes the focus.
    return TRUE;
}

void CAboutDialog::OnDestroy() {
    CDialog::OnDestroy();
    if (linkFont) gdi::DeleteObject(linkFont);
    linkFont = nullptr;
}

gdi::HBRUSH CAboutDialog::OnCtlColor(gdi::HDC dc, user::HWND control, UINT ctlColor) {
    const gdi::HBRUSH brush = CDialog::OnCtlColor(dc, control, ctlColor);
    if (control && user::GetDlgCtrlID(control) == res::IDC_WEB_LINK) gdi::SetTextColor(dc, linkColour);
    return brush;
}

BOOL CAboutDialog::OnSetCursor(user::HWND window, UINT hitTest, UINT message) {
    if (window && window == GetDlgItem(res::IDC_WEB_LINK)) {
        user::SetCursor(
            user::LoadCursorA(user::GetModuleHandleA(nullptr), user::MAKEINTRESOURCEA(res::IDC_HAND_POINTER)));
        return TRUE;
    }
    return CDialog::OnSetCursor(window, hitTest, message);
}

BOOL CAboutDialog::OnCommand(UINT id, UINT notifyCode, user::HWND) {
    if (static_cast<int>(id) == res::IDC_WEB_LINK && notifyCode == user::STN_CLICKED) {
        OnLinkClicked();
        return TRUE;
    }
    return FALSE;
}

void CAboutDialog::OnLinkClicked() {
    const user::HWND link = GetDlgItem(res::IDC_WEB_LINK);
    std::string address(static_cast<std::size_t>(std::max(0, user::GetWindowTextLengthA(link))) + 1, '\0');
    const int length = user::GetWindowTextA(link, address.data(), static_cast<int>(address.size()));
    address.resize(static_cast<std::size_t>(std::max(0, length)));
    // Whether the desktop could open it is not this dialog's concern.
    user::ShellExecuteA(nullptr, nullptr, address.c_str(), nullptr, nullptr, user::SW_SHOWNORMAL);
}

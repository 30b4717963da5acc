#pragma once
// The About box: product and version, the owner notice, and the maker's web
// address as a link (underlined, blue, a hand pointer over it) that a click
// hands to the desktop's web browser.

#include "platform/gdi/fonts.h"
#include "platform/framework/cdialog.h"

class CAboutDialog : public user::CDialog {
public:
    explicit CAboutDialog(user::CWnd* parent = nullptr);

    // The link's underlined font, made at initialisation and deleted with
    // the dialog's window; null before, after, and when it cannot be made.
    gdi::HFONT linkFont = nullptr;

protected:
    BOOL OnInitDialog() override;
    void OnDestroy() override;
    gdi::HBRUSH OnCtlColor(gdi::HDC dc, user::HWND control, UINT ctlColor) override;
    BOOL OnSetCursor(user::HWND window, UINT hitTest, UINT message) override;
    BOOL OnCommand(UINT id, UINT notifyCode, user::HWND control) override;

    // Hands the link's current text to the desktop; the dialog stays open.
    void OnLinkClicked();
};

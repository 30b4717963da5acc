#pragma once
// The launcher: the program's main window. A small tool-window dialog with
// a banner, a version label and two icon buttons, open a photo and help.
// Each photo it opens gets a window of its own, cascaded from the last,
// owned by the launcher; closing the launcher closes them all.

#include <string>
#include <vector>

#include "photo/photo_window_owner.h"
#include "platform/framework/cdialog.h"

class CLauncherDialog : public user::CDialog, public CPhotoWindowOwner {
public:
    explicit CLauncherDialog(user::CWnd* parent = nullptr);

    // Destroys the photo window, and with it its object.
    void ClosePhotoWindow(CPhotoWnd* window) override;
    // Opens every dropped file that decodes, in the drop's order, and ends
    // the drop.
    void OpenDroppedFiles(user::HDROP drop) override;

    user::HICON appIcon = nullptr;  // shared, never freed
    LONG photoCount = 0;            // photo windows opened in this run; never lowered
    // Files to open once the launcher is up, in order (those the program
    // was started with).
    std::vector<std::string> startFiles;

protected:
    BOOL OnInitDialog() override;
    // Enter with no push button focused: the launcher never closes on IDOK.
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(UINT id, UINT notifyCode, user::HWND control) override;
    void OnSysCommand(UINT id, LPARAM lParam) override;
    void OnPaint() override;
    user::HICON OnQueryDragIcon() override;
    LRESULT OnNcHitTest(POINT screenPoint) override;
    void OnDropFiles(user::HDROP drop) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Asks for a photo file and opens it in a new photo window.
    void OnOpenPhoto();

public:
    // Opens the file in a new photo window at the next cascade position, as
    // the open-photo command does once its dialog has returned; a file that
    // does not decode opens nothing, says nothing and takes no place in the
    // cascade. True when a window was opened.
    bool OpenPhotoFile(const char* path);
};

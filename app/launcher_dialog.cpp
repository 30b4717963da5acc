#include "app/launcher_dialog.h"

#include <memory>
#include <new>
#include <utility>

#include "app/about_dialog.h"
#include "photo/save_command.h"
#include "image/ansi_path.h"
#include "photo/geometry.h"
#include "photo/photo_wnd.h"
#include "platform/framework/framework.h"
#include "res/resource_ids.h"

namespace {

// Posted to the launcher by its initialisation: the start files are opened
// once it is shown and running.
constexpr UINT openStartFilesMessage = user::WM_APP + 1;

user::HICON LoadProgramIcon(WORD id) {
    return user::LoadIconA(user::GetModuleHandleA(nullptr), user::MAKEINTRESOURCEA(id));
}

}  // namespace

CLauncherDialog::CLauncherDialog(user::CWnd* parent)
    : CDialog(res::IDD_LAUNCHER, parent), appIcon(LoadProgramIcon(res::IDR_MAINFRAME)) {}

BOOL CLauncherDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    const user::HWND window = GetSafeHwnd();

    if (const user::HMENU windowMenu = user::GetSystemMenu(window, FALSE)) {
        char text[256];
        const int length = user::LoadStringA(user::GetModuleHandleA(nullptr), res::IDS_ABOUTBOX, text, sizeof text);
        if (length > 0) {
            user::AppendMenuA(windowMenu, user::MF_SEPARATOR, 0, nullptr);
            user::AppendMenuA(windowMenu, user::MF_STRING, res::IDM_ABOUTBOX, text);
        }
    }

    SendMessage(user::WM_SETICON, user::ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
    SendMessage(user::WM_SETICON, user::ICON_SMALL, reinterpret_cast<LPARAM>(appIcon));

    user::SendDlgItemMessageA(window, res::IDC_OPEN_PHOTO, user::BM_SETIMAGE, user::IMAGE_ICON,
                              reinterpret_cast<LPARAM>(LoadProgramIcon(res::IDI_OPEN_PHOTO)));
    user::SendDlgItemMessageA(window, static_cast<int>(res::ID_HELP), user::BM_SETIMAGE, user::IMAGE_ICON,
                              reinterpret_cast<LPARAM>(LoadProgramIcon(res::IDI_HELP)));
    user::DragAcceptFiles(window, TRUE);
    if (!startFiles.empty()) user::PostMessageA(window, openStartFilesMessage, 0, 0);
    // The first tab stop, the open-photo button, takes the focus.
    return TRUE;
}

void CLauncherDialog::OnOK() {}

void CLauncherDialog::OnCancel() { EndDialog(user::IDCANCEL); }

BOOL CLauncherDialog::OnCommand(UINT id, UINT notifyCode, user::HWND) {
    if (id == static_cast<UINT>(res::IDC_OPEN_PHOTO) && notifyCode == user::BN_CLICKED) {
        OnOpenPhoto();
        return TRUE;
    }
    return FALSE;
}

void CLauncherDialog::OnSysCommand(UINT id, LPARAM lParam) {
    // The About item's id, 16, with the low four bits the system may set.
    const UINT command = id & 0xFFFF;
    if (command >= res::IDM_ABOUTBOX && command <= res::IDM_ABOUTBOX + 15) {
        CAboutDialog about;
        about.DoModal();
        return;
    }
    CDialog::OnSysCommand(id, lParam);
}

void CLauncherDialog::OnPaint() {
    const user::HWND window = GetSafeHwnd();
    if (!user::IsIconic(window)) {
        CDialog::OnPaint();
        return;
    }
    user::PAINTSTRUCT paint{};
    const gdi::HDC dc = user::BeginPaint(window, &paint);
    SendMessage(user::WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int iconWidth = user::GetSystemMetrics(user::SM_CXICON);
    const int iconHeight = user::GetSystemMetrics(user::SM_CYICON);
    RECT client{};
    user::GetClientRect(window, &client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    if (dc) user::DrawIcon(dc, x, y, appIcon);
    user::EndPaint(window, &paint);
}

user::HICON CLauncherDialog::OnQueryDragIcon() { return appIcon; }

LRESULT CLauncherDialog::OnNcHitTest(POINT screenPoint) {
    // The body drags the launcher as its caption would; the buttons are
    // windows of their own and never reach here.
    const LRESULT hit = CDialog::OnNcHitTest(screenPoint);
    return hit == user::HTCLIENT ? user::HTCAPTION : hit;
}

void CLauncherDialog::OnOpenPhoto() {
    user::CFileDialog dialog(TRUE, photoDefaultExtension, photoInitialFileName,
                             user::OFN_HIDEREADONLY | user::OFN_FILEMUSTEXIST, photoFileFilter, this);
    if (dialog.DoModal() != user::IDOK) return;

    OpenPhotoFile(dialog.GetPathName().c_str());
}

bool CLauncherDialog::OpenPhotoFile(const char* path) {
    auto photo = std::make_unique<CPhotoWnd>();
    HRESULT loaded = E_FAIL;
    try {
        loaded = photo->image.LoadFromFile(path);
    } catch (const std::bad_alloc&) {
        loaded = E_OUTOFMEMORY;
    } catch (const CHResultError&) {
        loaded = E_FAIL;
    }
    // A photo that cannot be read shows nothing and takes no place in the
    // cascade.
    if (loaded != S_OK) return false;

    const user::LPCSTR windowClass = user::AfxRegisterWndClass(0);
    photo->aspectWidth = photo->image.width;
    photo->aspectHeight = photo->image.height;
    const RECT rect = CascadeRect(photoCount, photo->aspectWidth, photo->aspectHeight);
    if (photo->CreateEx(user::WS_EX_TOOLWINDOW, windowClass, "test", user::WS_POPUP | user::WS_VISIBLE, rect.left,
                        rect.top, rect.right - rect.left, rect.bottom - rect.top, GetSafeHwnd())) {
        // The window owns the object from now on.
        photo.release();
    }
    ++photoCount;
    return true;
}

void CLauncherDialog::ClosePhotoWindow(CPhotoWnd* window) { window->DestroyWindow(); }

void CLauncherDialog::OnDropFiles(user::HDROP drop) { OpenDroppedFiles(drop); }

void CLauncherDialog::OpenDroppedFiles(user::HDROP drop) {
    const UINT count = user::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::string path(user::DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
        path.resize(user::DragQueryFileA(drop, i, path.data(), static_cast<UINT>(path.size())));
        if (!path.empty()) OpenPhotoFile(path.c_str());
    }
    user::DragFinish(drop);
}

LRESULT CLauncherDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != openStartFilesMessage) return CDialog::WindowProc(message, wParam, lParam);
    // Taken first, so that the list is opened once however often asked.
    const std::vector<std::string> files = std::exchange(startFiles, {});
    for (const std::string& file : files) OpenPhotoFile(file.c_str());
    return 0;
}

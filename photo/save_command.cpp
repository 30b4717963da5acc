#include "photo/save_command.h"

#include "photo/photo_drawing.h"
#include "photo/photo_wnd.h"
#include "platform/framework/framework.h"

void SaveShownPhoto(CPhotoWnd& photoWindow) {
    const user::HWND window = photoWindow.GetSafeHwnd();
    // No owner given: the framework takes the most recently active pop-up,
    // which is the photo window whose menu was just used.
    user::CFileDialog dialog(FALSE, photoDefaultExtension, photoInitialFileName, user::OFN_OVERWRITEPROMPT,
                             photoFileFilter);
    if (dialog.DoModal() != user::IDOK) return;
    // The window was disabled while the dialog ran, so it still has the
    // size and rotation the user chose to save -- unless it is gone, and the
    // photo with it.
    if (user::CWnd::FromHandlePermanent(window) != &photoWindow) return;
    RECT client{};
    user::GetClientRect(window, &client);
    // Failures are not shown: nothing was written, and the window stays.
    WriteShownPhoto(dialog.GetPathName().c_str(), photoWindow.image, photoWindow.rotation, client);
}

HRESULT WriteShownPhoto(const char* path, CDibImage& photo, LONG rotation, const RECT& clientRect) {
    const LONG width = clientRect.right - clientRect.left;
    const LONG height = clientRect.bottom - clientRect.top;
    if (width <= 0 || height <= 0) return E_FAIL;

    // Bottom-up and without alpha, so the encoder reads it through its
    // bitmap handle as an opaque picture.
    CDibImage shown;
    if (!shown.CreateDib(width, height, 32, gdi::BI_RGB, nullptr, 0)) return E_FAIL;
    // The photo's metadata goes along, but not where it was taken: a copy
    // made to a size is usually made to be shared.
    CPropertyItemList items = photo.propertyItems;
    items.RemoveRange(gdiplus::PropertyTagGpsVer, gdiplus::PropertyTagGpsLast);
    shown.CopyPropertyItems(items);
    const gdi::HDC dc = shown.AcquireDc();
    if (!dc) return E_FAIL;
    HRESULT result = E_FAIL;
    // A blit that draws nothing would save a black picture: save nothing.
    if (DrawPhoto(dc, photo, rotation, RECT{0, 0, width, height})) result = shown.SaveToFile(path, gdiplus::GUID_NULL);
    shown.ReturnDc();
    return result;
}

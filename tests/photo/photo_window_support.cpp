#include "tests/photo/photo_window_support.h"

#include <cstring>

#include "photo/geometry.h"
#include "photo/photo_commands.h"
#include "platform/gdi/gdi.h"
#include "tests/support/gui_pump.h"

namespace phototest {

void RegisterPhotoMenu() {
    static const user::MenuItemResource photoItems[] = {
        {user::MF_STRING, commandResize, "リサイズ"}, {user::MF_STRING, commandRotate, "回転"},
        {user::MF_STRING, commandSave, "保存"},       {user::MF_SEPARATOR, 0, nullptr},
        {user::MF_STRING, commandClose, "閉じる"},
    };
    static const user::MenuItemResource menu[] = {{user::MF_POPUP, 0, "Photo", photoItems}};
    ASSERT_TRUE(user::RegisterMenuResource(photoMenuResource, menu));
}

bool COwnerWnd::Create(int x, int y) {
    return CreateEx(0, user::AfxRegisterWndClass(0), "photo owner", user::WS_POPUP | user::WS_VISIBLE, x, y, 60, 40,
                    nullptr) != FALSE;
}

void COwnerWnd::ClosePhotoWindow(CPhotoWnd* window) {
    closeRequests.push_back(window);
    window->DestroyWindow();
}

void COwnerWnd::OpenDroppedFiles(user::HDROP drop) {
    const UINT count = user::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::string path(user::DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
        path.resize(user::DragQueryFileA(drop, i, path.data(), static_cast<UINT>(path.size())));
        droppedFiles.push_back(path);
    }
    user::DragFinish(drop);
}

namespace {

OpenedPhoto CreatePhotoWindow(OpenedPhoto photo, user::HWND owner, const RECT& rect, const char* title) {
    photo.window->aspectWidth = photo.window->image.width;
    photo.window->aspectHeight = photo.window->image.height;
    const BOOL created = photo.window->CreateEx(user::WS_EX_TOOLWINDOW, user::AfxRegisterWndClass(0), title,
                                                user::WS_POPUP | user::WS_VISIBLE, rect.left, rect.top,
                                                rect.right - rect.left, rect.bottom - rect.top, owner);
    EXPECT_TRUE(created);
    if (!created) {
        delete photo.window;
        photo.window = nullptr;
    }
    return photo;
}

}  // namespace

OpenedPhoto OpenPhoto(user::HWND owner, LONG imageWidth, LONG imageHeight, const RECT& rect, const char* title) {
    OpenedPhoto photo;
    photo.window = new CTestPhotoWnd(photo.alive);
    CDibImage& image = photo.window->image;
    EXPECT_TRUE(image.CreateDib(imageWidth, imageHeight, 24, gdi::BI_RGB, nullptr, 0));
    for (LONG y = 0; y < image.height; ++y) {
        BYTE* row = image.bits + static_cast<std::ptrdiff_t>(y) * image.pitch;
        for (LONG x = 0; x < image.width; ++x) {
            const bool mark = (x < image.width / 8 && y < image.height / 6) || (x % 37 == 5 && y > image.height / 2);
            row[3 * x + 0] = static_cast<BYTE>(mark ? 255 : x * 255 / image.width);
            row[3 * x + 1] = static_cast<BYTE>(mark ? 255 : y * 255 / image.height);
            row[3 * x + 2] = static_cast<BYTE>(mark ? 0 : (x + 2 * y) % 256);
        }
    }
    return CreatePhotoWindow(photo, owner, rect, title);
}

OpenedPhoto OpenPhotoFile(user::HWND owner, const std::string& path, const RECT& rect, const char* title) {
    OpenedPhoto photo;
    photo.window = new CTestPhotoWnd(photo.alive);
    if (photo.window->image.LoadFromFile(path.c_str()) != S_OK) {
        ADD_FAILURE() << "cannot load " << path;
        delete photo.window;
        photo.window = nullptr;
        return photo;
    }
    return CreatePhotoWindow(photo, owner, rect, title);
}

void Close(OpenedPhoto& photo) {
    if (*photo.alive) photo.window->DestroyWindow();
}

RECT WindowRect(user::HWND window) {
    RECT rect{};
    user::GetWindowRect(window, &rect);
    return rect;
}

testsupport::ScreenRect ToScreenRect(const RECT& rect) {
    return testsupport::ScreenRect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

bool WaitForRect(testsupport::CXSession& x, const char* title, user::HWND window, const RECT& rect) {
    return testsupport::PumpUntil([&] {
        return user::IsWindow(window) && WindowRect(window) == rect &&
               x.Geometry(x.FindWindow(title)) == ToScreenRect(rect);
    });
}

testsupport::Pixels DirectDrawing(CDibImage& image, LONG rotation, LONG width, LONG height) {
    testsupport::Pixels pixels;
    pixels.width = width;
    pixels.height = height;
    CDibImage target;
    if (!target.CreateDib(width, -height, 32, gdi::BI_RGB, nullptr, 0)) return pixels;
    const gdi::HDC dc = target.AcquireDc();
    const gdi::HDC source = image.AcquireDc();
    gdi::SetStretchBltMode(dc, gdi::HALFTONE);
    const PointTriple points = RotationPoints(rotation, RECT{0, 0, width, height});
    EXPECT_TRUE(gdi::PlgBlt(dc, points.data(), source, 0, 0, image.width, image.height, nullptr, 0, 0));
    image.ReturnDc();
    target.ReturnDc();
    for (LONG y = 0; y < height; ++y) {
        for (LONG x = 0; x < width; ++x) {
            std::uint32_t value;
            std::memcpy(&value, target.bits + static_cast<std::ptrdiff_t>(y) * target.pitch + 4 * x, 4);
            pixels.rgb.push_back(value & 0xFFFFFF);
        }
    }
    return pixels;
}

RECT Sized(LONG left, LONG top, LONG width, LONG height) { return RECT{left, top, left + width, top + height}; }

void PhotoWindowTest::SetUp() {
    ASSERT_TRUE(owner_.Create(1700, 1000));
    x_.MovePointer(1900, 1060);
}

void PhotoWindowTest::TearDown() {
    for (OpenedPhoto& photo : photos_) Close(photo);
    owner_.DestroyWindow();
    testsupport::Settle();
}

OpenedPhoto& PhotoWindowTest::Open(LONG imageWidth, LONG imageHeight, const RECT& rect, const char* title) {
    photos_.push_back(OpenPhoto(owner_.GetSafeHwnd(), imageWidth, imageHeight, rect, title));
    EXPECT_TRUE(WaitForRect(x_, title, photos_.back().Handle(), rect));
    return photos_.back();
}

}  // namespace phototest

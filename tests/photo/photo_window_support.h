#pragma once
// Photo windows for GUI tests, opened the way the launcher opens them: the
// photo in the image, the aspect pair set, then a visible pop-up tool
// window owned by a stand-in for the launcher.

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "photo/photo_window_owner.h"
#include "photo/photo_wnd.h"
#include "platform/framework/framework.h"
#include "tests/support/gui_pump.h"
#include "tests/support/x_session.h"

namespace phototest {

// The common test support every photo window test uses.
using testsupport::CXSession;
using testsupport::Pixels;
using testsupport::Pump;
using testsupport::PumpUntil;
using testsupport::ScreenRect;

// A copy of the program's menu 129, registered for the test program.
void RegisterPhotoMenu();

// Stands in for the launcher: a small pop-up that owns photo windows and
// closes them when asked.
class COwnerWnd : public user::CWnd, public CPhotoWindowOwner {
public:
    bool Create(int x, int y);
    void ClosePhotoWindow(CPhotoWnd* window) override;
    // Keeps the files and ends the drop.
    void OpenDroppedFiles(user::HDROP drop) override;

    std::vector<CPhotoWnd*> closeRequests;
    std::vector<std::string> droppedFiles;
};

// A photo window that counts its paints and says when it is deleted.
class CTestPhotoWnd : public CPhotoWnd {
public:
    explicit CTestPhotoWnd(std::shared_ptr<bool> alive) : alive_(std::move(alive)) { *alive_ = true; }
    ~CTestPhotoWnd() override { *alive_ = false; }

    int paints = 0;
    int lButtonUps = 0;
    bool refuseCreation = false;

protected:
    int OnCreate(user::CREATESTRUCTA* create) override { return refuseCreation ? -1 : CPhotoWnd::OnCreate(create); }
    void OnPaint() override {
        ++paints;
        CPhotoWnd::OnPaint();
    }
    void OnLButtonUp(UINT flags, POINT point) override {
        ++lButtonUps;
        CPhotoWnd::OnLButtonUp(flags, point);
    }

private:
    std::shared_ptr<bool> alive_;
};

// An opened photo window; the object deletes itself with its window.
struct OpenedPhoto {
    CTestPhotoWnd* window = nullptr;
    std::shared_ptr<bool> alive = std::make_shared<bool>(false);
    user::HWND Handle() const { return *alive ? window->GetSafeHwnd() : nullptr; }
};

// A 24-bit imageWidth x imageHeight photo of smooth gradients and a few
// sharp marks, no two quarter turns alike, in a window at rect. The title
// (never shown) lets a test find the window on the X server.
OpenedPhoto OpenPhoto(user::HWND owner, LONG imageWidth, LONG imageHeight, const RECT& rect,
                      const char* title = "test");
// The photo decoded from a fixture file, in a window at rect; no window when
// it does not load.
OpenedPhoto OpenPhotoFile(user::HWND owner, const std::string& path, const RECT& rect, const char* title = "test");
// Destroys the window if it is still there.
void Close(OpenedPhoto& photo);

RECT WindowRect(user::HWND window);
testsupport::ScreenRect ToScreenRect(const RECT& rect);

// Serves messages until the window has the rectangle rect, for the program
// and on the X server (found by its title).
bool WaitForRect(testsupport::CXSession& x, const char* title, user::HWND window, const RECT& rect);

// What painting the photo into a width x height client area turned by
// rotation must give: the blit done directly, read back as 0x00RRGGBB.
testsupport::Pixels DirectDrawing(CDibImage& image, LONG rotation, LONG width, LONG height);

// left, top, width, height as a rectangle.
RECT Sized(LONG left, LONG top, LONG width, LONG height);

// The ground of a photo-window test: an owner standing in for the launcher,
// the test's X session with the pointer parked out of the way, and the
// photos the test opens, all closed after it.
class PhotoWindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Opens a photo window at rect and waits until it is there.
    OpenedPhoto& Open(LONG imageWidth, LONG imageHeight, const RECT& rect, const char* title);

    COwnerWnd owner_;
    testsupport::CXSession x_;
    std::deque<OpenedPhoto> photos_;  // a deque, since tests hold references to the photos
};

}  // namespace phototest

// The photo window's painting, its menu and commands, and its end: what it
// shows for each rotation, turning it, closing it through its owner, and
// the photo's memory and the imaging library released with it.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "image/image_testing.h"
#include "photo/photo_commands.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_testing.h"
#include "platform/framework/framework.h"
#include "tests/photo/photo_window_support.h"
#include "tests/support/gui_pump.h"
#include "tests/support/print_types.h"
#include "tests/support/x_session.h"

namespace {

using namespace phototest;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

void Command(const OpenedPhoto& photo, UINT id) { user::SendMessageA(photo.Handle(), user::WM_COMMAND, id, 0); }

class PhotoWindow : public PhotoWindowTest {
protected:
    static void SetUpTestSuite() { RegisterPhotoMenu(); }

    // The window's pixels on the screen, once they are what it must show.
    Pixels ShownWhenEqual(const RECT& rect, const Pixels& expected) {
        auto shown = [&] { return x_.Grab(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top); };
        PumpUntil([&] { return shown() == expected; }, std::chrono::milliseconds(2000));
        return shown();
    }
};

TEST_F(PhotoWindow, PaintsWhatADirectHalftoneBlitGivesInEveryRotation) {
    // Rotate on a 300 x 200 window at (10, 20): 200 x 300 at (10, 20), and
    // so on round; a reduced and an enlarged photo.
    const struct { LONG imageWidth, imageHeight; } photos[] = {{600, 400}, {120, 80}};
    const RECT sizes[4] = {Sized(10, 20, 300, 200), Sized(10, 20, 200, 300), Sized(10, 20, 300, 200),
                           Sized(10, 20, 200, 300)};
    for (const auto& p : photos) {
        SCOPED_TRACE(testing::Message() << p.imageWidth << " x " << p.imageHeight);
        OpenedPhoto& photo = Open(p.imageWidth, p.imageHeight, sizes[0], "turned photo");
        for (LONG turn = 0; turn <= 4; ++turn) {
            SCOPED_TRACE(testing::Message() << turn << " turns");
            const RECT rect = sizes[turn % 4];
            ASSERT_TRUE(WaitForRect(x_, "turned photo", photo.Handle(), rect));
            EXPECT_EQ(photo.window->rotation, turn % 4);
            EXPECT_EQ(photo.window->aspectWidth, turn % 2 ? p.imageHeight : p.imageWidth);
            EXPECT_EQ(photo.window->aspectHeight, turn % 2 ? p.imageWidth : p.imageHeight);
            const Pixels expected =
                DirectDrawing(photo.window->image, turn % 4, rect.right - rect.left, rect.bottom - rect.top);
            EXPECT_TRUE(ShownWhenEqual(rect, expected) == expected);
            Command(photo, commandRotate);
        }
        Close(photo);
    }
}

TEST_F(PhotoWindow, RotateKeepsTheUpperLeftCornerAndFourTurnsGiveTheWindowBack) {
    const RECT start = Sized(400, 300, 233, 174);
    OpenedPhoto& photo = Open(1600, 1200, start, "four turns");
    const RECT turned = Sized(400, 300, 174, 233);
    const RECT expected[4] = {turned, start, turned, start};
    for (const RECT& rect : expected) {
        Command(photo, commandRotate);
        EXPECT_TRUE(WaitForRect(x_, "four turns", photo.Handle(), rect));
    }
    EXPECT_EQ(photo.window->rotation, 0);
    EXPECT_EQ(photo.window->aspectWidth, 1600);
    EXPECT_EQ(photo.window->aspectHeight, 1200);
}

// Waits on a helper thread for the menu, reports where it opened, and
// chooses its item number `item` (from 1; separators are skipped by the
// keys) or, with 0, dismisses it.
std::optional<ScreenRect> ChooseFromMenu(int item) {
    CXSession x;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::optional<ScreenRect> shown;
    while (!shown && std::chrono::steady_clock::now() < end) {
        for (auto window : x.OverrideRedirectWindows()) {
            const auto geometry = x.Geometry(window);
            if (geometry && geometry->width > 20 && geometry->height > 20) shown = geometry;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    testsupport::Settle();
    for (int i = 0; i < item; ++i) x.TapKey("Down");
    x.TapKey(item ? "Return" : "Escape");
    return shown;
}

TEST_F(PhotoWindow, RightClickOpensThePhotoMenuAtThePointer) {
    const RECT window = Sized(400, 300, 300, 200);
    OpenedPhoto& photo = Open(600, 400, window, "menu photo");
    const struct {
        const char* name;
        POINT client;
        int item;
        RECT result;
    } cases[] = {
        {"dismissed", {50, 60}, 0, window},
        {"Rotate, opened in the grip", {295, 195}, 2, Sized(400, 300, 200, 300)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        x_.MovePointer(window.left + c.client.x, window.top + c.client.y);
        testsupport::Settle();
        auto helper = testsupport::OnHelperThread([item = c.item] { return ChooseFromMenu(item); });
        x_.PressButton(3);
        x_.ReleaseButton(3);
        PumpUntil([&] { return helper.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        const auto menu = helper.get();
        ASSERT_TRUE(menu.has_value());
        EXPECT_EQ(menu->x, window.left + c.client.x) << "upper-left corner at the pointer";
        EXPECT_EQ(menu->y, window.top + c.client.y);
        EXPECT_TRUE(WaitForRect(x_, "menu photo", photo.Handle(), c.result));
        EXPECT_EQ(photo.window->dragMode, dragIdle);
    }
}

TEST_F(PhotoWindow, CloseFromTheMenuClosesOnlyThatWindowThroughItsOwner) {
    OpenedPhoto& first = Open(600, 400, Sized(100, 100, 300, 200), "first photo");
    OpenedPhoto& second = Open(600, 400, Sized(500, 100, 300, 200), "second photo");
    CPhotoWnd* const firstObject = first.window;
    const Pixels secondShows = DirectDrawing(second.window->image, 0, 300, 200);
    ASSERT_TRUE(ShownWhenEqual(Sized(500, 100, 300, 200), secondShows) == secondShows);

    x_.MovePointer(150, 150);
    testsupport::Settle();
    auto helper = testsupport::OnHelperThread([] { return ChooseFromMenu(4); });
    x_.PressButton(3);
    x_.ReleaseButton(3);
    PumpUntil([&] { return helper.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    ASSERT_TRUE(helper.get().has_value());
    ASSERT_TRUE(PumpUntil([&] { return !*first.alive; })) << "the object goes with its window";

    ASSERT_EQ(owner_.closeRequests.size(), 1u);
    EXPECT_EQ(owner_.closeRequests[0], firstObject);
    EXPECT_EQ(x_.FindWindow("first photo"), 0u);
    ASSERT_TRUE(*second.alive);
    EXPECT_TRUE(user::IsWindow(second.Handle()));
    EXPECT_EQ(WindowRect(second.Handle()), Sized(500, 100, 300, 200));
    EXPECT_TRUE(x_.Grab(500, 100, 300, 200) == secondShows);
}

TEST_F(PhotoWindow, CloseDoesNothingWhenTheOwnerCannotCloseIt) {
    // Owned by a window that is no photo owner, and by none.
    user::CWnd plainOwner;
    ASSERT_TRUE(plainOwner.CreateEx(0, user::AfxRegisterWndClass(0), "plain owner", user::WS_POPUP | user::WS_VISIBLE,
                                    1600, 1000, 40, 40, nullptr));
    for (user::HWND ownerWindow : {plainOwner.GetSafeHwnd(), static_cast<user::HWND>(nullptr)}) {
        photos_.push_back(OpenPhoto(ownerWindow, 60, 40, Sized(100, 100, 60, 40)));
        OpenedPhoto& photo = photos_.back();
        Command(photo, commandClose);
        testsupport::Settle();
        EXPECT_TRUE(*photo.alive);
        EXPECT_TRUE(user::IsWindow(photo.Handle()));
        Close(photo);
    }
    plainOwner.DestroyWindow();
}

TEST_F(PhotoWindow, DestroyingTheWindowFreesThePhotoAndStopsTheImagingLibrary) {
    const long bitmaps = gdi::LiveObjectCount(gdi::OBJ_BITMAP);
    ASSERT_EQ(ImagingRuntimeTesting::LiveImageCount(), 0);

    // Closed from its menu command, and with its owner.
    photos_.push_back(
        OpenPhotoFile(owner_.GetSafeHwnd(), PELMORA_FIXTURE_IMAGES "/jpeg-colour.jpg", Sized(100, 100, 160, 80)));
    photos_.push_back(
        OpenPhotoFile(owner_.GetSafeHwnd(), PELMORA_FIXTURE_IMAGES "/png-rgb-8.png", Sized(300, 100, 70, 50)));
    OpenedPhoto& first = photos_[0];
    OpenedPhoto& second = photos_[1];
    ASSERT_TRUE(*first.alive && *second.alive);
    EXPECT_EQ(ImagingRuntimeTesting::LiveImageCount(), 2);
    EXPECT_NE(ImagingRuntimeTesting::RuntimeToken(), 0u);
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_BITMAP), bitmaps + 2);

    Command(first, commandClose);
    EXPECT_FALSE(*first.alive);
    EXPECT_EQ(ImagingRuntimeTesting::LiveImageCount(), 1);
    EXPECT_NE(ImagingRuntimeTesting::RuntimeToken(), 0u) << "one photo is still open";

    owner_.DestroyWindow();
    EXPECT_FALSE(*second.alive);
    EXPECT_EQ(ImagingRuntimeTesting::LiveImageCount(), 0);
    EXPECT_EQ(ImagingRuntimeTesting::RuntimeToken(), 0u) << "the last photo stops the library";
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_BITMAP), bitmaps);
}

TEST_F(PhotoWindow, AWindowThatCannotBeCreatedLeavesThePhotoToItsCreator) {
    for (const bool refused : {false, true}) {
        SCOPED_TRACE(refused ? "WM_CREATE refused" : "unknown class");
        auto alive = std::make_shared<bool>(false);
        auto* photo = new CTestPhotoWnd(alive);
        ASSERT_TRUE(photo->image.CreateDib(60, 40, 24, gdi::BI_RGB, nullptr, 0));
        photo->refuseCreation = refused;
        const char* const className = refused ? user::AfxRegisterWndClass(0) : "no such class";
        EXPECT_FALSE(photo->CreateEx(user::WS_EX_TOOLWINDOW, className, "test", user::WS_POPUP | user::WS_VISIBLE, 100,
                                     100, 60, 40, owner_.GetSafeHwnd()));
        ASSERT_TRUE(*alive);
        EXPECT_EQ(photo->GetSafeHwnd(), nullptr);
        EXPECT_EQ(ImagingRuntimeTesting::LiveImageCount(), 1);
        delete photo;
        EXPECT_EQ(ImagingRuntimeTesting::LiveImageCount(), 0);
    }
}

}  // namespace

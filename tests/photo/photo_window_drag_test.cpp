// Dragging a photo window with the real pointer: where a press starts a
// move or a resize, the frame on the screen while the button is down, where
// the window lands, the pointer's shape, and a drag cut short.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "platform/user/user_testing.h"
#include "tests/photo/photo_window_support.h"
#include "tests/support/gui_pump.h"
#include "tests/support/print_types.h"
#include "tests/support/x_session.h"

namespace {

using namespace phototest;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

constexpr SIZE frameThickness{5, 5};

bool InFrame(const RECT& frame, int x, int y) {
    const bool inRect = x >= frame.left && x < frame.right && y >= frame.top && y < frame.bottom;
    const bool inInterior = x >= frame.left + frameThickness.cx && x < frame.right - frameThickness.cx &&
                            y >= frame.top + frameThickness.cy && y < frame.bottom - frameThickness.cy;
    return inRect && !inInterior;
}

bool Outside(const RECT& rect, int x, int y) {
    return x < rect.left || x >= rect.right || y < rect.top || y >= rect.bottom;
}

class PhotoDrag : public PhotoWindowTest {
protected:
    // Screen rectangle the tests watch: around every window they drag.
    static constexpr ScreenRect area{250, 200, 700, 500};

    void TearDown() override {
        if (user::GetCapture()) user::ReleaseCapture();
        user::InstallScreenSurface();
        PhotoWindowTest::TearDown();
    }

    // Opened and painted once.
    OpenedPhoto& Open(LONG imageWidth, LONG imageHeight, const RECT& rect) {
        OpenedPhoto& photo = PhotoWindowTest::Open(imageWidth, imageHeight, rect, "dragged photo");
        EXPECT_TRUE(PumpUntil([&] { return photo.window->paints > 0; }));
        testsupport::Settle();
        return photo;
    }

    Pixels Screen() { return x_.Grab(area.x, area.y, area.width, area.height); }

    // Real pointer input, each waited for until the window has handled it.
    void Press(const OpenedPhoto& photo, int x, int y) {
        x_.MovePointer(x, y);
        testsupport::Settle();
        x_.PressButton(1);
        ASSERT_TRUE(PumpUntil([&] { return photo.window->dragMode != dragIdle; }));
    }
    void DragTo(const OpenedPhoto& photo, int x, int y, const RECT& frame) {
        x_.MovePointer(x, y);
        ASSERT_TRUE(PumpUntil([&] { return photo.window->lastFrame == frame; }))
            << "frame at " << testing::PrintToString(photo.window->lastFrame);
    }
    void Release(const OpenedPhoto& photo) {
        const int releases = photo.window->lButtonUps;
        x_.ReleaseButton(1);
        ASSERT_TRUE(PumpUntil([&] { return photo.window->lButtonUps > releases; }));
    }

    // Every pixel of the watched area is as before, except that the frame
    // of frame is inverted in the halftone pattern (x + y odd).
    void ExpectFrameShown(const Pixels& before, const RECT& frame) {
        Pixels expected = before;
        for (int y = 0; y < area.height; ++y) {
            for (int x = 0; x < area.width; ++x) {
                const int sx = area.x + x;
                const int sy = area.y + y;
                if (InFrame(frame, sx, sy) && (sx + sy) % 2 != 0) {
                    expected.rgb[static_cast<std::size_t>(y) * area.width + x] ^= 0xFFFFFF;
                }
            }
        }
        // The frame reaches the server at once, but allow for the grab.
        PumpUntil([&] { return Screen() == expected; }, std::chrono::milliseconds(1000));
        ExpectSame(expected, Screen(), RECT{0, 0, 0, 0});
    }

    // Every pixel of the watched area outside except is as expected.
    void ExpectSame(const Pixels& expected, const Pixels& actual, const RECT& except) {
        int differences = 0;
        for (int y = 0; y < area.height; ++y) {
            for (int x = 0; x < area.width; ++x) {
                if (!Outside(except, area.x + x, area.y + y)) continue;
                if (expected.At(x, y) == actual.At(x, y)) continue;
                if (differences++ == 0) {
                    ADD_FAILURE() << "first different pixel at " << area.x + x << ", " << area.y + y << ": " << std::hex
                                  << actual.At(x, y) << " instead of " << expected.At(x, y);
                }
            }
        }
        EXPECT_EQ(differences, 0);
    }
};

TEST_F(PhotoDrag, GripBoundariesDecideBetweenMoveAndResize) {
    // A 233 x 174 window for a 1600 x 1200 photo: a click that resizes
    // snaps it to 232 x 174, a click that moves keeps it.
    const RECT window{300, 300, 533, 474};
    const struct {
        const char* name;
        POINT client;
        DragMode mode;
        RECT result;
    } cases[] = {
        {"W - 20, H - 1: a move", {213, 173}, dragMove, window},
        {"W - 19, H - 20: a move", {214, 154}, dragMove, window},
        {"W - 19, H - 19: a resize", {214, 155}, dragResize, {300, 300, 532, 474}},
        {"last pixel: a resize", {232, 173}, dragResize, {300, 300, 532, 474}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OpenedPhoto& photo = Open(1600, 1200, window);
        Press(photo, window.left + c.client.x, window.top + c.client.y);
        EXPECT_EQ(photo.window->dragMode, c.mode);
        EXPECT_EQ(photo.window->startRect, window);
        EXPECT_EQ(photo.window->dragStart, c.client);
        Release(photo);
        EXPECT_EQ(photo.window->dragMode, dragIdle);
        EXPECT_TRUE(WaitForRect(x_, "dragged photo", photo.Handle(), c.result));
        Close(photo);
    }
}

TEST_F(PhotoDrag, ClickWithoutMovingShowsAndRemovesTheFrameAndRepaintsOnce) {
    const RECT window{400, 300, 700, 500};
    OpenedPhoto& photo = Open(600, 400, window);
    const Pixels before = Screen();
    const int paints = photo.window->paints;

    Press(photo, 500, 400);
    EXPECT_EQ(photo.window->lastFrame, window);
    EXPECT_EQ(user::GetCapture(), photo.Handle());
    ExpectFrameShown(before, window);
    EXPECT_EQ(photo.window->paints, paints) << "no paint while the frame is up";

    Release(photo);
    EXPECT_EQ(WindowRect(photo.Handle()), window);
    EXPECT_EQ(photo.window->lastFrame, (RECT{0, 0, 0, 0}));
    EXPECT_EQ(user::GetCapture(), nullptr);
    testsupport::Settle();
    EXPECT_EQ(photo.window->paints, paints + 1);
    ExpectSame(before, Screen(), RECT{0, 0, 0, 0});
}

TEST_F(PhotoDrag, FrameFollowsThePointerAndLeavesTheScreenClean) {
    // A 600 x 400 photo in 300 x 200: resize by the grip, then move.
    const RECT window{400, 300, 700, 500};
    OpenedPhoto& photo = Open(600, 400, window);
    Pixels before = Screen();

    Press(photo, 690, 490);
    ExpectFrameShown(before, window);
    // Pointer travel (60, 70): 360 x 270, locked to 3 : 2 as 382 x 254.
    const RECT resized{400, 300, 782, 554};
    DragTo(photo, 750, 560, resized);
    ExpectFrameShown(before, resized);
    EXPECT_EQ(WindowRect(photo.Handle()), window) << "the window waits for the release";
    Release(photo);
    EXPECT_TRUE(WaitForRect(x_, "dragged photo", photo.Handle(), resized));
    testsupport::Settle();
    ExpectSame(before, Screen(), resized);

    // A move keeps the size; outside the old and new places nothing changed.
    before = Screen();
    Press(photo, 500, 400);
    const RECT moved{330, 260, 712, 514};
    DragTo(photo, 430, 360, moved);
    ExpectFrameShown(before, moved);
    Release(photo);
    EXPECT_TRUE(WaitForRect(x_, "dragged photo", photo.Handle(), moved));
    testsupport::Settle();
    const Pixels after = Screen();
    ExpectSame(before, after, RECT{330, 260, 782, 554});
}

TEST_F(PhotoDrag, ClickRaisingAWindowFromUnderAnotherLeavesTheScreenClean) {
    // The click brings the lower window up while its frame is drawn; what
    // the raise uncovers must not spoil the erase.
    const Pixels empty = Screen();
    const RECT lowerRect{400, 300, 700, 500};
    const RECT upperRect{550, 400, 850, 600};
    OpenedPhoto& lower = Open(600, 400, lowerRect);
    photos_.push_back(OpenPhoto(owner_.GetSafeHwnd(), 90, 60, upperRect, "upper photo"));
    ASSERT_TRUE(WaitForRect(x_, "upper photo", photos_.back().Handle(), upperRect));
    OpenedPhoto& upper = photos_.back();

    Press(lower, 450, 350);
    Release(lower);
    const auto order = x_.StackingOrder();
    const auto lowerAt = std::find(order.begin(), order.end(), x_.FindWindow("dragged photo"));
    const auto upperAt = std::find(order.begin(), order.end(), x_.FindWindow("upper photo"));
    ASSERT_TRUE(lowerAt != order.end() && upperAt != order.end());
    EXPECT_GT(lowerAt, upperAt) << "the click raised the window";

    // The lower window's photo over the upper one's over the empty screen.
    const Pixels lowerPhoto = DirectDrawing(lower.window->image, 0, 300, 200);
    const Pixels upperPhoto = DirectDrawing(upper.window->image, 0, 300, 200);
    Pixels expected = empty;
    for (int y = 0; y < area.height; ++y) {
        for (int x = 0; x < area.width; ++x) {
            const int sx = area.x + x;
            const int sy = area.y + y;
            std::uint32_t& pixel = expected.rgb[static_cast<std::size_t>(y) * area.width + x];
            if (!Outside(lowerRect, sx, sy)) {
                pixel = lowerPhoto.At(sx - lowerRect.left, sy - lowerRect.top);
            } else if (!Outside(upperRect, sx, sy)) {
                pixel = upperPhoto.At(sx - upperRect.left, sy - upperRect.top);
            }
        }
    }
    PumpUntil([&] { return Screen() == expected; }, std::chrono::milliseconds(1000));
    ExpectSame(expected, Screen(), RECT{0, 0, 0, 0});
}

TEST_F(PhotoDrag, GripDraggedPastTheUpperLeftCornerKeepsTheCorner) {
    const RECT window{300, 300, 533, 474};
    OpenedPhoto& photo = Open(1600, 1200, window);
    Press(photo, 528, 469);
    // Width and height start from 50 before averaging: 58 x 43.
    const RECT smallest{300, 300, 358, 343};
    DragTo(photo, 200, 200, smallest);
    Release(photo);
    EXPECT_TRUE(WaitForRect(x_, "dragged photo", photo.Handle(), smallest));
}

TEST_F(PhotoDrag, ResizePastTheSideLimitIsScaledDownKeepingTheAspect) {
    // A 2 : 1 window 32000 wide whose lower-right corner is on the screen.
    const RECT window{-31500, -15500, 500, 500};
    OpenedPhoto& photo = Open(200, 100, window);
    Press(photo, 495, 495);
    // Pointer travel (1000, 500): 33000 x 16500, over the limit of 32767,
    // scaled down from the upper-left corner: 32767 x 16383. The pointer's
    // client x, 32995, passes the 16-bit range of mouse positions on the way.
    const RECT limited{-31500, -15500, -31500 + 32767, -15500 + 16383};
    DragTo(photo, 1495, 995, limited);
    Release(photo);
    EXPECT_TRUE(WaitForRect(x_, "dragged photo", photo.Handle(), limited));
}

TEST_F(PhotoDrag, ButtonUpWithoutButtonDownChangesNothing) {
    const RECT window{400, 300, 700, 500};
    OpenedPhoto& photo = Open(600, 400, window);
    const Pixels before = Screen();
    const int paints = photo.window->paints;
    // Pressed on another window, released over the photo.
    x_.MovePointer(1720, 1020);
    testsupport::Settle();
    x_.PressButton(1);
    testsupport::Settle();
    x_.MovePointer(550, 400);
    testsupport::Settle();
    Release(photo);
    testsupport::Settle();
    EXPECT_EQ(photo.window->dragMode, dragIdle);
    EXPECT_EQ(WindowRect(photo.Handle()), window);
    EXPECT_EQ(photo.window->paints, paints);
    ExpectSame(before, Screen(), RECT{0, 0, 0, 0});
}

TEST_F(PhotoDrag, PointerShowsTheGripAndKeepsItsShapeDuringADrag) {
    const RECT window{400, 300, 700, 500};
    OpenedPhoto& photo = Open(600, 400, window);
    const user::HCURSOR arrow = user::LoadCursorA(nullptr, user::IDC_ARROW);
    const user::HCURSOR sizing = user::LoadCursorA(nullptr, user::IDC_SIZENWSE);
    auto shownAfterMoveTo = [&](int x, int y) {
        x_.MovePointer(x, y);
        testsupport::Settle();
        return x_.Cursor().value_or(testsupport::CursorPicture{}).argb;
    };

    const auto arrowPicture = shownAfterMoveTo(500, 400);
    EXPECT_EQ(user::GetCursor(), arrow);
    const auto sizingPicture = shownAfterMoveTo(690, 490);
    EXPECT_EQ(user::GetCursor(), sizing);
    EXPECT_NE(arrowPicture, sizingPicture);
    EXPECT_EQ(shownAfterMoveTo(681, 481), sizingPicture) << "first column and row of the grip";
    EXPECT_EQ(shownAfterMoveTo(680, 490), arrowPicture) << "W - 20 is outside";

    // A resize drag carried out of the grip keeps the sizing shape ...
    shownAfterMoveTo(690, 490);
    Press(photo, 690, 490);
    EXPECT_EQ(shownAfterMoveTo(500, 400), sizingPicture);
    EXPECT_EQ(user::GetCursor(), sizing);
    Release(photo);

    // ... and a move drag carried over the grip keeps the arrow.
    const RECT now = WindowRect(photo.Handle());
    shownAfterMoveTo(now.left + 20, now.top + 20);
    Press(photo, now.left + 20, now.top + 20);
    EXPECT_EQ(shownAfterMoveTo(now.right - 5, now.bottom - 5), arrowPicture);
    EXPECT_EQ(user::GetCursor(), arrow);
    Release(photo);
}

TEST_F(PhotoDrag, CaptureTakenAwayEndsTheDragAndCleansTheScreen) {
    const RECT window{400, 300, 700, 500};
    OpenedPhoto& photo = Open(600, 400, window);
    const Pixels before = Screen();
    Press(photo, 500, 400);
    DragTo(photo, 560, 440, RECT{460, 340, 760, 540});

    user::SetCapture(owner_.GetSafeHwnd());
    testsupport::Settle();
    EXPECT_EQ(photo.window->dragMode, dragIdle);
    EXPECT_EQ(photo.window->lastFrame, (RECT{0, 0, 0, 0}));
    ExpectSame(before, Screen(), RECT{0, 0, 0, 0});

    x_.MovePointer(600, 450);
    x_.ReleaseButton(1);
    testsupport::Settle();
    EXPECT_EQ(WindowRect(photo.Handle()), window);
    ExpectSame(before, Screen(), RECT{0, 0, 0, 0});
    user::ReleaseCapture();

    // The next drag starts afresh.
    Press(photo, 500, 400);
    DragTo(photo, 510, 420, RECT{410, 320, 710, 520});
    Release(photo);
    EXPECT_TRUE(WaitForRect(x_, "dragged photo", photo.Handle(), RECT{410, 320, 710, 520}));
}

TEST_F(PhotoDrag, WithoutAScreenSurfaceNoFrameIsDrawnButTheWindowStillMoves) {
    const RECT window{400, 300, 700, 500};
    OpenedPhoto& photo = Open(600, 400, window);
    const Pixels before = Screen();
    gdi::SetScreenBackend(nullptr);
    Press(photo, 500, 400);
    const RECT moved{450, 320, 750, 520};
    DragTo(photo, 550, 420, moved);
    ExpectSame(before, Screen(), RECT{0, 0, 0, 0});
    Release(photo);
    EXPECT_TRUE(WaitForRect(x_, "dragged photo", photo.Handle(), moved));
}

}  // namespace

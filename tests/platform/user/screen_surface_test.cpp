// The whole-screen surface: which back-end a desktop gets, and the overlay
// showing exactly what inverting the root window shows.
#include <gtest/gtest.h>

#include <memory>

#include "platform/gdi/gdi.h"
#include "platform/user/overlay_screen.h"
#include "platform/framework/framework.h"
#include "platform/user/user_testing.h"
#include "tests/support/gui_pump.h"
#include "tests/support/x_session.h"

namespace {

using namespace user;
using testsupport::Pixels;
using testsupport::PumpUntil;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

constexpr BYTE halftoneRows[16] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};

// Draws a frame of thickness t around r on the whole-screen surface, as
// the photo window draws its drag frame: the region of the new frame
// exclusive-or the previous one, inverted through the halftone brush.
void DrawFrame(const RECT& r, int t, const RECT* previous, int previousT) {
    auto frameRegion = [](const RECT& rect, int thickness) {
        const gdi::HRGN outer = gdi::CreateRectRgnIndirect(&rect);
        const gdi::HRGN inner = gdi::CreateRectRgn(rect.left + thickness, rect.top + thickness, rect.right - thickness,
                                                   rect.bottom - thickness);
        gdi::CombineRgn(inner, inner, outer, gdi::RGN_AND);
        gdi::CombineRgn(outer, outer, inner, gdi::RGN_DIFF);
        gdi::DeleteObject(inner);
        return outer;
    };
    const gdi::HDC screen = gdi::GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    const gdi::HRGN region = frameRegion(r, t);
    if (previous) {
        const gdi::HRGN old = frameRegion(*previous, previousT);
        gdi::CombineRgn(region, region, old, gdi::RGN_XOR);
        gdi::DeleteObject(old);
    }
    const gdi::HBITMAP pattern = gdi::CreateBitmap(8, 8, 1, 1, halftoneRows);
    const gdi::HBRUSH brush = gdi::CreatePatternBrush(pattern);
    gdi::SelectClipRgn(screen, region);
    RECT box{};
    gdi::GetClipBox(screen, &box);
    const gdi::HGDIOBJ before = gdi::SelectObject(screen, brush);
    EXPECT_TRUE(gdi::PatBlt(screen, box.left, box.top, box.right - box.left, box.bottom - box.top, gdi::PATINVERT));
    gdi::SelectClipRgn(screen, nullptr);
    gdi::SelectObject(screen, before);
    gdi::DeleteObject(brush);
    gdi::DeleteObject(pattern);
    gdi::DeleteObject(region);
    gdi::ReleaseDC(nullptr, screen);
}

// A window of coloured stripes, so that the screen under the frame is not
// uniform.
class CStripesWnd : public CWnd {
protected:
    void OnPaint() override {
        PAINTSTRUCT paint;
        const gdi::HDC dc = BeginPaint(GetSafeHwnd(), &paint);
        const gdi::COLORREF colours[] = {gdi::RGB(200, 30, 60), gdi::RGB(20, 140, 250), gdi::RGB(250, 250, 20),
                                         gdi::RGB(90, 90, 90)};
        for (int i = 0; i < 8; ++i) {
            const gdi::HBRUSH brush = gdi::CreateSolidBrush(colours[i % 4]);
            const gdi::HGDIOBJ previous = gdi::SelectObject(dc, brush);
            gdi::PatBlt(dc, i * 25, 0, 25, 400, gdi::PATCOPY);
            gdi::SelectObject(dc, previous);
            gdi::DeleteObject(brush);
        }
        EndPaint(GetSafeHwnd(), &paint);
    }
};

class ScreenSurface : public testing::Test {
protected:
    // The area the frames are drawn in: part of it over the stripes, part
    // over the bare root window.
    static constexpr RECT area{300, 200, 700, 560};

    void SetUp() override {
        ASSERT_TRUE(stripes_.CreateEx(0, AfxRegisterWndClass(0), "stripes", WS_POPUP | WS_VISIBLE, 350, 250, 200, 400,
                                      nullptr));
        ASSERT_TRUE(PumpUntil([&] { return Screen().At(60, 60) == 0xC81E3C; }));
    }
    void TearDown() override {
        stripes_.DestroyWindow();
        InstallScreenSurface();
    }

    Pixels Screen() { return x_.Grab(area.left, area.top, area.right - area.left, area.bottom - area.top); }

    // Screen pictures after: the first frame, a move, the erase. Windows
    // uncovered by the overlay repaint once their messages are served, as
    // they are between two mouse moves of a drag.
    std::vector<Pixels> DrawMoveErase() {
        std::vector<Pixels> pictures;
        const RECT first{380, 280, 560, 400};
        const RECT second{401, 303, 640, 520};
        DrawFrame(first, 5, nullptr, 0);
        testsupport::Settle();
        pictures.push_back(Screen());
        DrawFrame(second, 5, &first, 5);
        testsupport::Settle();
        pictures.push_back(Screen());
        DrawFrame(second, 0, &second, 5);
        PumpUntil([&] { return Screen() == before_; }, std::chrono::milliseconds(2000));
        pictures.push_back(Screen());
        return pictures;
    }

    CStripesWnd stripes_;
    testsupport::CXSession x_;
    Pixels before_;
};

TEST_F(ScreenSurface, BackEndFollowsWhetherACompositorOwnsItsSelection) {
    EXPECT_EQ(InstallScreenSurface(), ScreenSurfaceKind::rootWindow);
    ASSERT_TRUE(x_.ClaimSelection("_NET_WM_CM_S0"));
    EXPECT_EQ(InstallScreenSurface(), ScreenSurfaceKind::overlay);
    EXPECT_EQ(CurrentScreenSurface(), ScreenSurfaceKind::overlay);
    x_.ReleaseSelection("_NET_WM_CM_S0");
    EXPECT_EQ(InstallScreenSurface(), ScreenSurfaceKind::rootWindow);
}

TEST_F(ScreenSurface, OverlayShowsExactlyWhatInvertingTheRootShows) {
    before_ = Screen();
    gdi::SetScreenBackend(gdi::X11RootScreen::Open(nullptr));
    const std::vector<Pixels> root = DrawMoveErase();

    auto overlay = COverlayScreen::Open(nullptr);
    ASSERT_NE(overlay, nullptr);
    gdi::SetScreenBackend(overlay);
    const std::vector<Pixels> shown = DrawMoveErase();

    EXPECT_NE(root[0], before_) << "the frame changed the screen";
    EXPECT_NE(root[1], root[0]) << "the frame moved";
    for (std::size_t i = 0; i < root.size(); ++i) EXPECT_TRUE(shown[i] == root[i]) << "picture " << i;
    EXPECT_TRUE(shown[2] == before_) << "erasing restores the screen";
    EXPECT_EQ(overlay->WindowCount(), 0u);
}

TEST_F(ScreenSurface, UnreadableScreenShowsTheFrameInBlackAndWhite) {
    before_ = Screen();
    auto overlay = COverlayScreen::Open(nullptr, COverlayScreen::Reading::blackAndWhite);
    gdi::SetScreenBackend(overlay);
    const RECT frame{380, 280, 560, 400};
    DrawFrame(frame, 5, nullptr, 0);
    EXPECT_GT(overlay->WindowCount(), 0u);
    const Pixels drawn = Screen();
    for (int y = 0; y < drawn.height; ++y) {
        for (int x = 0; x < drawn.width; ++x) {
            const int sx = x + area.left;
            const int sy = y + area.top;
            const bool inFrame =
                sx >= frame.left && sx < frame.right && sy >= frame.top && sy < frame.bottom &&
                !(sx >= frame.left + 5 && sx < frame.right - 5 && sy >= frame.top + 5 && sy < frame.bottom - 5);
            const std::uint32_t expected = !inFrame ? before_.At(x, y) : ((sx + sy) % 2 ? 0x000000 : 0xFFFFFF);
            ASSERT_EQ(drawn.At(x, y), expected) << sx << ", " << sy;
        }
    }
    DrawFrame(frame, 0, &frame, 5);
    EXPECT_EQ(overlay->WindowCount(), 0u);
    EXPECT_TRUE(PumpUntil([&] { return Screen() == before_; }));
}

}  // namespace

// Start-up of the windowing service: X11 whenever an X display exists,
// whatever the session asks for, and one window pixel per screen pixel
// whatever scale the desktop sets.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/user/user.h"
#include "platform/user/user_testing.h"
#include "tests/platform/user/recording_window.h"
#include "tests/support/gui_pump.h"
#include "tests/support/x_session.h"

namespace {

using namespace user;

// A desktop that would send the toolkit to Wayland at twice the scale.
class CScaledWaylandSession : public testing::Environment {
public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "wayland", 1);
        setenv("WAYLAND_DISPLAY", "wayland-test-none", 1);
        setenv("QT_SCALE_FACTOR", "2", 1);
        setenv("QT_SCREEN_SCALE_FACTORS", "3", 1);
        std::string error;
        ASSERT_TRUE(StartApplication(&error)) << error;
    }
    void TearDown() override { StopApplication(); }
};

const auto* const environment = testing::AddGlobalTestEnvironment(new CScaledWaylandSession);

TEST(Application, RunsOnTheXDisplayWithOneWindowPixelPerScreenPixel) {
    const HWND window = usertest::CreateRecordingWindow("unscaled window", 10, 20, 100, 50);
    const auto windowX = usertest::WaitUntilShown("unscaled window");
    ASSERT_NE(windowX, 0u) << "the window is on the X display";
    testsupport::CXSession x;
    EXPECT_EQ(x.Geometry(windowX), (testsupport::ScreenRect{10, 20, 100, 50}));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
    EXPECT_EQ(CurrentScreenSurface(), ScreenSurfaceKind::rootWindow);
    DestroyWindow(window);
}

TEST(Application, TitleIsTheExecutablesNameUntilSet) {
    EXPECT_EQ(GetApplicationTitle(), "user_application_test");
    SetApplicationTitle("Pelmora");
    EXPECT_EQ(GetApplicationTitle(), "Pelmora");
}

}  // namespace

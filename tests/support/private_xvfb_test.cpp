#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include <X11/Xlib.h>

namespace {

TEST(PrivateXvfb, ServesTheDisplayTheTestsSee) {
    const char* display = std::getenv("DISPLAY");
    ASSERT_NE(display, nullptr);
    Display* connection = XOpenDisplay(display);
    ASSERT_NE(connection, nullptr);
    const int screen = DefaultScreen(connection);
    EXPECT_EQ(DisplayWidth(connection, screen), 1920);
    EXPECT_EQ(DisplayHeight(connection, screen), 1080);
    EXPECT_EQ(DefaultDepth(connection, screen), 24);
    XCloseDisplay(connection);
}

}  // namespace

#include "platform/imaging/startup.h"

#include <gtest/gtest.h>

namespace {

using namespace gdiplus;

TEST(GdiplusStartup, RunsWhileAnyStartupIsOutstanding) {
    ASSERT_FALSE(IsStarted());
    GdiplusStartupInput input;
    ULONG_PTR first = 0, second = 0;
    ASSERT_EQ(GdiplusStartup(&first, &input, nullptr), Ok);
    ASSERT_EQ(GdiplusStartup(&second, &input, nullptr), Ok);
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);
    EXPECT_TRUE(IsStarted());

    GdiplusShutdown(first);
    EXPECT_TRUE(IsStarted());
    GdiplusShutdown(first);  // twice: ignored
    EXPECT_TRUE(IsStarted());
    GdiplusShutdown(second);
    EXPECT_FALSE(IsStarted());

    ULONG_PTR third = 0;
    ASSERT_EQ(GdiplusStartup(&third, &input, nullptr), Ok);
    EXPECT_NE(third, first);
    EXPECT_NE(third, second);
    GdiplusShutdown(third);
    EXPECT_FALSE(IsStarted());
}

TEST(GdiplusStartup, RefusesBadArguments) {
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    EXPECT_EQ(GdiplusStartup(nullptr, &input, nullptr), InvalidParameter);
    EXPECT_EQ(GdiplusStartup(&token, nullptr, nullptr), InvalidParameter);
    input.GdiplusVersion = 2;
    EXPECT_EQ(GdiplusStartup(&token, &input, nullptr), UnsupportedGdiplusVersion);
    EXPECT_FALSE(IsStarted());
}

}  // namespace

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "image/dib_image.h"
#include "image/image_testing.h"
#include "image/imaging_runtime.h"
#include "platform/imaging/startup.h"
#include "tests/image/image_test_support.h"

namespace {

using imagetest::ImageTest;

class Runtime : public ImageTest {
protected:
    ImagingRuntime& runtime = ImagingRuntime::Instance();
    void TearDown() override {
        runtime.Stop();
        ImageTest::TearDown();
    }
};

TEST_F(Runtime, EveryImageIsCountedForItsWholeLife) {
    EXPECT_EQ(ImagingRuntimeTesting::LiveImageCount(), 0);
    {
        CDibImage first;
        EXPECT_EQ(ImagingRuntimeTesting::LiveImageCount(), 1);
        auto second = std::make_unique<CDibImage>();
        EXPECT_EQ(ImagingRuntimeTesting::LiveImageCount(), 2);
        second.reset();
        EXPECT_EQ(ImagingRuntimeTesting::LiveImageCount(), 1);
    }
    EXPECT_EQ(ImagingRuntimeTesting::LiveImageCount(), 0);
}

TEST_F(Runtime, TheLastImageStopsTheLibraryAndALaterStartGetsANewToken) {
    auto photo = std::make_unique<CDibImage>();
    ASSERT_TRUE(runtime.EnsureStarted());
    const ULONG_PTR first = ImagingRuntimeTesting::RuntimeToken();
    EXPECT_NE(first, 0u);
    EXPECT_TRUE(gdiplus::IsStarted());
    EXPECT_TRUE(runtime.EnsureStarted());
    EXPECT_EQ(ImagingRuntimeTesting::RuntimeToken(), first) << "already running: the same start-up";

    {
        // A temporary image, as a save makes, does not stop the library.
        CDibImage temporary;
    }
    EXPECT_EQ(ImagingRuntimeTesting::RuntimeToken(), first);
    EXPECT_TRUE(gdiplus::IsStarted());

    photo.reset();
    EXPECT_EQ(ImagingRuntimeTesting::RuntimeToken(), 0u);
    EXPECT_FALSE(gdiplus::IsStarted());

    CDibImage next;
    ASSERT_TRUE(runtime.EnsureStarted());
    EXPECT_NE(ImagingRuntimeTesting::RuntimeToken(), 0u);
    EXPECT_NE(ImagingRuntimeTesting::RuntimeToken(), first);
}

TEST_F(Runtime, StopIsHarmlessWhenStopped) {
    runtime.Stop();
    runtime.Stop();
    EXPECT_EQ(ImagingRuntimeTesting::RuntimeToken(), 0u);
    ASSERT_TRUE(runtime.EnsureStarted());
    runtime.Stop();
    EXPECT_FALSE(gdiplus::IsStarted());
}

TEST_F(Runtime, ImagesComingAndGoingOnManyThreadsKeepTheCountRight) {
    CDibImage keeper;  // keeps the count above zero until the end
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([this] {
            for (int i = 0; i < 500; ++i) {
                CDibImage image;
                EXPECT_TRUE(runtime.EnsureStarted());
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(ImagingRuntimeTesting::LiveImageCount(), 1);
    EXPECT_NE(ImagingRuntimeTesting::RuntimeToken(), 0u) << "the keeper is alive: still running";
}

}  // namespace

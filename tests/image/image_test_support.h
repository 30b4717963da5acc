#pragma once
// Fixture for image tests: each test starts and ends with an empty pool,
// no live drawing objects and no live images.

#include <gtest/gtest.h>

#include "image/image_testing.h"
#include "image/memory_dc_pool.h"
#include "tests/platform/gdi/live_objects.h"

namespace imagetest {

class ImageTest : public testing::Test {
protected:
    void SetUp() override { MemoryDcPool::DeletePooledDcs(); }
    void TearDown() override {
        MemoryDcPoolTesting::SetDcFactory(nullptr);
        MemoryDcPool::DeletePooledDcs();
        gditest::ExpectNoLiveObjects();
        EXPECT_EQ(ImagingRuntimeTesting::LiveImageCount(), 0);
    }
};

}  // namespace imagetest

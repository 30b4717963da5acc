#pragma once
// Test fixture that fails a test which leaves drawing objects behind.

#include <gtest/gtest.h>

#include "platform/gdi/gdi_testing.h"
#include "platform/gdi/handles.h"

namespace gditest {

inline void ExpectNoLiveObjects() {
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_BITMAP), 0) << "bitmaps left";
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_BRUSH), 0) << "brushes left";
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_REGION), 0) << "regions left";
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_FONT), 0) << "fonts left";
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_DC), 0) << "surfaces left";
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_MEMDC), 0) << "memory surfaces left";
}

class LiveObjectsTest : public testing::Test {
protected:
    void TearDown() override { ExpectNoLiveObjects(); }
};

}  // namespace gditest

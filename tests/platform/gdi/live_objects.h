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

// The permanent 1 x 1 monochrome bitmap: what a new surface holds and what
// a bitmap of no size is.
inline void ExpectOneByOneMonochrome(gdi::HGDIOBJ bitmap) {
    gdi::BITMAP description{};
    ASSERT_EQ(gdi::GetObjectA(bitmap, sizeof description, &description), int{sizeof description});
    EXPECT_EQ(description.bmWidth, 1);
    EXPECT_EQ(description.bmHeight, 1);
    EXPECT_EQ(description.bmBitsPixel, 1);
}

class LiveObjectsTest : public testing::Test {
protected:
    void TearDown() override { ExpectNoLiveObjects(); }
};

}  // namespace gditest

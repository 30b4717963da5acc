#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "image/dib_image.h"
#include "platform/gdi/gdi.h"
#include "tests/image/image_test_support.h"

namespace {

using imagetest::ImageTest;

DWORD PixelAt(const CDibImage& image, LONG x, LONG y) {
    DWORD value;
    std::memcpy(&value, image.bits + y * image.pitch + x * 4, 4);
    return value;
}

// A 32-bit target of width x height held as the save command holds it: its
// surface acquired, set to halftone. Null when it cannot be made.
gdi::HDC HalftoneTarget(CDibImage& target, LONG width, LONG height) {
    if (!target.CreateDib(width, height, 32, gdi::BI_RGB, nullptr, 0)) return nullptr;
    const gdi::HDC dc = target.AcquireDc();
    if (dc != nullptr) gdi::SetStretchBltMode(dc, gdi::HALFTONE);
    return dc;
}

// An 8-bit 6 x 4 photo whose pixel (x, y) has index y * 6 + x and colour
// table entry i = (i, 2i, 3i).
void MakePhoto(CDibImage& photo) {
    ASSERT_TRUE(photo.CreateDib(6, 4, 8, gdi::BI_RGB, nullptr, 0));
    std::vector<gdi::RGBQUAD> table(24);
    for (int i = 0; i < 24; ++i) {
        table[i] = gdi::RGBQUAD{static_cast<BYTE>(3 * i), static_cast<BYTE>(2 * i), static_cast<BYTE>(i), 0};
    }
    photo.WriteColorTable(0, 24, table.data());
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 6; ++x) photo.bits[y * photo.pitch + x] = static_cast<BYTE>(y * 6 + x);
}

DWORD PhotoColour(LONG x, LONG y) {
    const DWORD i = static_cast<DWORD>(y * 6 + x);
    return (i << 16) | (2 * i << 8) | (3 * i);
}

class DrawToParallelogram : public ImageTest {};

TEST_F(DrawToParallelogram, SavingATurnedPhotoDrawsItIntoATemporaryImage) {
    CDibImage photo;
    MakePhoto(photo);
    // The save command's sequence, for a window turned a quarter clockwise
    // (client 4 x 6).
    CDibImage temporary;
    const gdi::HDC dc = HalftoneTarget(temporary, 4, 6);
    ASSERT_NE(dc, nullptr);
    const POINT points[3] = {{4, 0}, {4, 6}, {0, 0}};
    ASSERT_TRUE(photo.DrawToParallelogram(dc, points, 0, 0, photo.width, photo.height, nullptr, 0, 0));
    EXPECT_EQ(photo.dcRefCount, 0);
    EXPECT_EQ(photo.memoryDc, nullptr);
    for (LONG y = 0; y < 6; ++y) {
        for (LONG x = 0; x < 4; ++x) {
            // Turned clockwise: target (x, y) shows photo (y, 3 - x).
            EXPECT_EQ(PixelAt(temporary, x, y), PhotoColour(y, 3 - x)) << x << ", " << y;
        }
    }
    temporary.ReturnDc();
}

TEST_F(DrawToParallelogram, HalvingAveragesEachTwoByTwoBlock) {
    CDibImage photo;
    ASSERT_TRUE(photo.CreateDib(4, -2, 24, gdi::BI_RGB, nullptr, 0));
    const BYTE values[2][4] = {{0, 100, 200, 255}, {50, 150, 201, 255}};
    for (LONG y = 0; y < 2; ++y)
        for (LONG x = 0; x < 4; ++x) std::memset(photo.bits + y * photo.pitch + 3 * x, values[y][x], 3);
    CDibImage half;
    const gdi::HDC dc = HalftoneTarget(half, 2, 1);
    ASSERT_NE(dc, nullptr);
    const POINT points[3] = {{0, 0}, {2, 0}, {0, 1}};
    ASSERT_TRUE(photo.DrawToParallelogram(dc, points, 0, 0, 4, 2, nullptr, 0, 0));
    EXPECT_EQ(PixelAt(half, 0, 0), 0x004B4B4Bu);  // (0 + 100 + 50 + 150) / 4 = 75
    EXPECT_EQ(PixelAt(half, 1, 0), 0x00E4E4E4u);  // 911 / 4 = 227.75
    half.ReturnDc();
}

TEST_F(DrawToParallelogram, APaintOfAStripDrawsThatStripOfTheWholePicture) {
    CDibImage photo;
    MakePhoto(photo);
    const POINT points[3] = {{0, 0}, {12, 0}, {0, 8}};  // doubled into a 12 x 8 client area

    // The whole client area, for reference.
    CDibImage whole;
    gdi::HDC dc = HalftoneTarget(whole, 12, 8);
    ASSERT_NE(dc, nullptr);
    ASSERT_TRUE(photo.DrawToParallelogram(dc, points, 0, 0, 6, 4, nullptr, 0, 0));
    whole.ReturnDc();

    // A paint surface for the exposed strip x in [5, 8), y in [2, 7).
    std::vector<DWORD> strip(3 * 5, 0xDEADBEEF);
    dc = gdi::CreateSurfaceOverMemory(reinterpret_cast<BYTE*>(strip.data()), 3, 5, 12, POINT{5, 2});
    gdi::SetStretchBltMode(dc, gdi::HALFTONE);
    ASSERT_TRUE(photo.DrawToParallelogram(dc, points, 0, 0, 6, 4, nullptr, 0, 0));
    for (LONG y = 0; y < 5; ++y)
        for (LONG x = 0; x < 3; ++x) EXPECT_EQ(strip[y * 3 + x], PixelAt(whole, x + 5, y + 2)) << x << ", " << y;
    gdi::DeleteDC(dc);
}

TEST_F(DrawToParallelogram, AMaskIsRefusedAndTheHoldStillEnds) {
    CDibImage photo;
    MakePhoto(photo);
    CDibImage target;
    ASSERT_TRUE(target.CreateDib(6, 4, 32, gdi::BI_RGB, nullptr, 0));
    const gdi::HDC dc = target.AcquireDc();
    const BYTE rows[8] = {};
    const gdi::HBITMAP mask = gdi::CreateBitmap(6, 4, 1, 1, rows);
    const POINT points[3] = {{0, 0}, {6, 0}, {0, 4}};
    EXPECT_FALSE(photo.DrawToParallelogram(dc, points, 0, 0, 6, 4, mask, 0, 0));
    EXPECT_EQ(photo.dcRefCount, 0);
    EXPECT_EQ(PixelAt(target, 2, 2), 0u) << "nothing drawn";
    // An empty image has nothing to draw.
    CDibImage empty;
    EXPECT_FALSE(empty.DrawToParallelogram(dc, points, 0, 0, 6, 4, nullptr, 0, 0));
    EXPECT_EQ(empty.dcRefCount, 0);
    gdi::DeleteObject(mask);
    target.ReturnDc();
}

}  // namespace

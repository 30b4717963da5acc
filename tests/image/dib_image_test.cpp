#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "image/dib_image.h"
#include "image/image_testing.h"
#include "image/memory_dc_pool.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_testing.h"
#include "tests/image/image_test_support.h"

namespace {

using imagetest::ImageTest;

class DibImage : public ImageTest {};

// An image holding no picture, as a new one and one freed.
void ExpectNoPicture(const CDibImage& image) {
    EXPECT_EQ(image.bitmap, nullptr);
    EXPECT_EQ(image.bits, nullptr);
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_EQ(image.pitch, 0);
    EXPECT_EQ(image.bitsPerPixel, 0);
    EXPECT_FALSE(image.isDibSection);
    EXPECT_FALSE(image.hasAlpha);
    EXPECT_EQ(image.transparentIndex, -1);
}

TEST_F(DibImage, StartsEmpty) {
    CDibImage image;
    ExpectNoPicture(image);
    EXPECT_EQ(image.memoryDc, nullptr);
    EXPECT_EQ(image.dcRefCount, 0);
    EXPECT_EQ(image.previousBitmap, nullptr);
}

TEST_F(DibImage, PitchCoversEveryRowPaddedTo32Bits) {
    struct Case {
        LONG width;
        int depth;
        LONG pitch;
    };
    const Case cases[] = {{1, 24, 4}, {5, 1, 4}, {10, 32, 40}, {33, 1, 8}, {3, 4, 4}, {9, 4, 8}, {5, 8, 8}, {3, 16, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " pixels at " << c.depth << " bits");
        CDibImage image;
        ASSERT_TRUE(image.CreateDib(c.width, 2, c.depth, gdi::BI_RGB, nullptr, 0));
        EXPECT_EQ(image.pitch, -c.pitch);
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.bitsPerPixel, c.depth);
        EXPECT_TRUE(image.isDibSection);
    }
}

TEST_F(DibImage, BitsPointAtTheTopRowInBothRowOrders) {
    struct Case {
        LONG requestedHeight;
        LONG pitch;
        std::ptrdiff_t topRowOffset;
    };
    const Case cases[] = {{100, -40, 3960}, {-100, 40, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requestedHeight);
        CDibImage image;
        ASSERT_TRUE(image.CreateDib(10, c.requestedHeight, 32, gdi::BI_RGB, nullptr, 0));
        gdi::DIBSECTION section{};
        ASSERT_EQ(gdi::GetObjectA(image.bitmap, sizeof section, &section), int{sizeof section});
        const BYTE* memory = static_cast<const BYTE*>(section.dsBm.bmBits);
        EXPECT_EQ(image.height, 100);
        EXPECT_EQ(image.pitch, c.pitch);
        EXPECT_EQ(image.bits - memory, c.topRowOffset);
        // Every row is addressable through bits and pitch.
        for (LONG row = 0; row < image.height; ++row) {
            std::memset(image.bits + row * image.pitch, row, 40);
        }
        EXPECT_EQ(memory[c.requestedHeight > 0 ? 0 : 3960], 99) << "the bottom row";
    }
}

TEST_F(DibImage, FlagsSetAlpha) {
    for (DWORD flags : {DWORD{0}, dibHasAlpha, DWORD{2}, DWORD{3}}) {
        CDibImage image;
        ASSERT_TRUE(image.CreateDib(4, 4, 32, gdi::BI_RGB, nullptr, flags));
        EXPECT_EQ(image.hasAlpha, (flags & 1) != 0) << flags;
        EXPECT_EQ(image.transparentIndex, -1);
    }
}

TEST_F(DibImage, BitFieldMasksReachTheBitmap) {
    const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    CDibImage image;
    ASSERT_TRUE(image.CreateDib(3, 3, 16, gdi::BI_BITFIELDS, masks, 0));
    gdi::DIBSECTION section{};
    gdi::GetObjectA(image.bitmap, sizeof section, &section);
    EXPECT_EQ(section.dsBitfields[0], 0xF800u);
    EXPECT_EQ(section.dsBitfields[1], 0x07E0u);
    EXPECT_EQ(section.dsBitfields[2], 0x001Fu);
    EXPECT_EQ(image.pitch, -8);

    CDibImage noMasks;
    EXPECT_FALSE(noMasks.CreateDib(3, 3, 16, gdi::BI_BITFIELDS, nullptr, 0));
    EXPECT_EQ(noMasks.bitmap, nullptr);
}

TEST_F(DibImage, FailedCreationLeavesTheImageEmpty) {
    struct Case {
        const char* name;
        LONG width, height;
        int depth;
        DWORD compression;
    };
    const Case cases[] = {
        {"no width", 0, 4, 32, gdi::BI_RGB},   {"no height", 4, 0, 32, gdi::BI_RGB},
        {"odd depth", 4, 4, 12, gdi::BI_RGB},  {"negative depth", 4, 4, -32, gdi::BI_RGB},
        {"compressed", 4, 4, 8, gdi::BI_RLE8}, {"too large", 50000, 50000, 32, gdi::BI_RGB},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDibImage image;
        EXPECT_FALSE(image.CreateDib(c.width, c.height, c.depth, c.compression, nullptr, dibHasAlpha));
        EXPECT_EQ(image.bitmap, nullptr);
        EXPECT_EQ(image.width, 0);
        EXPECT_FALSE(image.hasAlpha);
    }
}

TEST_F(DibImage, CreatingOverAHeldBitmapIsRefused) {
    CDibImage image;
    ASSERT_TRUE(image.CreateDib(4, 4, 24, gdi::BI_RGB, nullptr, 0));
    const gdi::HBITMAP first = image.bitmap;
    EXPECT_FALSE(image.CreateDib(8, 8, 32, gdi::BI_RGB, nullptr, 0));
    EXPECT_EQ(image.bitmap, first);
    EXPECT_EQ(image.width, 4);
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_BITMAP), 1);
}

TEST_F(DibImage, ColourTableIsBlackUntilWritten) {
    CDibImage image;
    ASSERT_TRUE(image.CreateDib(4, 4, 8, gdi::BI_RGB, nullptr, 0));
    gdi::RGBQUAD table[256];
    std::memset(table, 0x77, sizeof table);
    gdi::HDC dc = image.AcquireDc();
    ASSERT_EQ(gdi::GetDIBColorTable(dc, 0, 256, table), 256u);
    image.ReturnDc();
    for (const gdi::RGBQUAD& entry : table) {
        ASSERT_EQ(entry.rgbRed | entry.rgbGreen | entry.rgbBlue, 0);
    }

    const gdi::RGBQUAD colours[2] = {{10, 20, 30, 0}, {40, 50, 60, 0}};
    image.WriteColorTable(254, 2, colours);
    EXPECT_EQ(image.dcRefCount, 0);
    dc = image.AcquireDc();
    ASSERT_EQ(gdi::GetDIBColorTable(dc, 253, 3, table), 3u);
    image.ReturnDc();
    EXPECT_EQ(table[0].rgbBlue, 0);
    EXPECT_EQ(table[1].rgbRed, 30);
    EXPECT_EQ(table[2].rgbGreen, 50);
}

TEST_F(DibImage, NestedHoldsShareOneSurface) {
    CDibImage image;
    ASSERT_TRUE(image.CreateDib(2, 2, 32, gdi::BI_RGB, nullptr, 0));
    const gdi::HDC first = image.AcquireDc();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(image.AcquireDc(), first);
    EXPECT_EQ(image.dcRefCount, 2);
    EXPECT_FALSE(gdi::DeleteObject(image.bitmap)) << "selected while held";

    image.ReturnDc();
    EXPECT_EQ(image.memoryDc, first);
    EXPECT_FALSE(gdi::DeleteObject(image.bitmap)) << "still selected";
    EXPECT_EQ(MemoryDcPoolTesting::PeekSlot(0), nullptr);

    image.ReturnDc();
    EXPECT_EQ(image.memoryDc, nullptr);
    EXPECT_EQ(image.dcRefCount, 0);
    EXPECT_EQ(MemoryDcPoolTesting::PeekSlot(0), first) << "back in the pool";
    // The bitmap is no longer selected, and a surplus ReturnDc does nothing.
    image.ReturnDc();
    EXPECT_EQ(image.dcRefCount, 0);
    EXPECT_EQ(image.AcquireDc(), first) << "the pooled surface is reused";
    image.ReturnDc();
}

TEST_F(DibImage, NoSurfaceMeansNoHoldAndNoDrawing) {
    CDibImage source;
    CDibImage target;
    ASSERT_TRUE(source.CreateDib(2, 2, 32, gdi::BI_RGB, nullptr, 0));
    ASSERT_TRUE(target.CreateDib(2, 2, 32, gdi::BI_RGB, nullptr, 0));
    const gdi::HDC dc = target.AcquireDc();
    ASSERT_NE(dc, nullptr);

    MemoryDcPoolTesting::SetDcFactory([]() -> gdi::HDC { return nullptr; });
    EXPECT_EQ(source.AcquireDc(), nullptr);
    EXPECT_EQ(source.dcRefCount, 0);
    EXPECT_EQ(source.memoryDc, nullptr);
    const POINT points[3] = {{0, 0}, {2, 0}, {0, 2}};
    EXPECT_FALSE(source.DrawToParallelogram(dc, points, 0, 0, 2, 2, nullptr, 0, 0));
    const gdi::RGBQUAD colour{1, 2, 3, 0};
    source.WriteColorTable(0, 1, &colour);  // nothing to write into; no crash
    EXPECT_EQ(source.dcRefCount, 0);
    target.ReturnDc();
}

TEST_F(DibImage, FreeDibEmptiesOnceAndThenDoesNothing) {
    CDibImage image;
    EXPECT_EQ(image.FreeDib(), 0) << "already empty";
    ASSERT_TRUE(image.CreateDib(6, 6, 32, gdi::BI_RGB, nullptr, dibHasAlpha));
    EXPECT_EQ(image.FreeDib(), TRUE);
    ExpectNoPicture(image);
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_BITMAP), 0);
    EXPECT_EQ(image.FreeDib(), 0) << "second call";
    EXPECT_TRUE(image.CreateDib(3, 3, 8, gdi::BI_RGB, nullptr, 0)) << "empty again, reusable";
}

TEST_F(DibImage, FreeingOrDestroyingWhileHeldLosesNothing) {
    auto image = std::make_unique<CDibImage>();
    ASSERT_TRUE(image->CreateDib(2, 2, 32, gdi::BI_RGB, nullptr, 0));
    const gdi::HDC dc = image->AcquireDc();
    EXPECT_EQ(image->FreeDib(), TRUE) << "the bitmap is let go of first";
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_BITMAP), 0);
    EXPECT_EQ(image->memoryDc, dc);

    image.reset();  // still held: the surface goes back to the pool
    EXPECT_EQ(MemoryDcPoolTesting::PeekSlot(0), dc);
}

TEST_F(DibImage, APlainBitmapIsDescribedWithoutPixels) {
    CDibImage image;
    image.bitmap = gdi::CreateBitmap(8, 8, 1, 1, nullptr);
    image.RefreshDescription(CDibImage::Orientation::bottomUp);
    EXPECT_FALSE(image.isDibSection);
    EXPECT_EQ(image.width, 8);
    EXPECT_EQ(image.height, 8);
    EXPECT_EQ(image.bitsPerPixel, 1);
    EXPECT_EQ(image.bits, nullptr);
    EXPECT_EQ(image.pitch, 0);
    EXPECT_EQ(image.transparentIndex, -1);
}

}  // namespace

// Decoding files into the raster image: the DIB depth, palette and rows
// each decoded format calls for, and the failures.

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "image/ansi_path.h"
#include "image/dib_image.h"
#include "image/gdip_bitmap_holder.h"
#include "image/image_testing.h"
#include "image/imaging_runtime.h"
#include "image/small_buffer.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/handles.h"
#include "platform/imaging/imaging_testing.h"
#include "tests/image/image_test_support.h"
#include "tests/platform/imaging/imaging_test_support.h"

namespace {

using namespace gdiplus;
using imaging_test::FixturePath;
using imaging_test::NamedByFile;
using imaging_test::Rgb;

class Load : public imagetest::ImageTest {
protected:
    // The library runs while a raster image lives; one lives for the whole
    // test, so that library bitmaps made by the test outlive the images
    // the test destroys.
    void SetUp() override {
        ImageTest::SetUp();
        keeper.emplace();
        ASSERT_TRUE(ImagingRuntime::Instance().EnsureStarted());
    }
    void TearDown() override {
        keeper.reset();
        ImageTest::TearDown();
        EXPECT_EQ(LiveImageCount(), 0u) << "a library bitmap was not disposed of";
    }

private:
    std::optional<CDibImage> keeper;
};

// The colour table of the image's DIB section.
std::vector<gdi::RGBQUAD> ColorTable(CDibImage& image) {
    std::vector<gdi::RGBQUAD> table(256);
    gdi::HDC dc = image.AcquireDc();
    table.resize(gdi::GetDIBColorTable(dc, 0, 256, table.data()));
    image.ReturnDc();
    return table;
}

// Pixel (x, y) of a 24- or 32-bit DIB as 0xAARRGGBB (alpha 0xFF for 24 bits).
ARGB DibPixel(const CDibImage& image, LONG x, LONG y) {
    const BYTE* p = image.bits + static_cast<std::ptrdiff_t>(y) * image.pitch + x * image.bitsPerPixel / 8;
    ARGB alpha = image.bitsPerPixel == 32 ? p[3] : 0xFF;
    return alpha << 24 | static_cast<ARGB>(p[2]) << 16 | p[1] << 8 | p[0];
}

struct LoadCase {
    const char* file;
    int depth;
    bool hasAlpha;
};

void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.file; }

class LoadFixture : public Load, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadFixture, GivesTheDepthAndTheLibrarysPixels) {
    const LoadCase& c = GetParam();
    CDibImage image;
    ASSERT_EQ(image.LoadFromFile(FixturePath(c.file).c_str()), S_OK);
    EXPECT_EQ(image.bitsPerPixel, c.depth);
    EXPECT_EQ(image.hasAlpha, c.hasAlpha);
    EXPECT_TRUE(image.isDibSection);
    EXPECT_LT(image.pitch, 0);  // rows bottom-up

    // The same file as the library decodes it, in 32-bit ARGB.
    imaging_test::BitmapPtr decoded;
    ASSERT_EQ(imaging_test::Load(FixturePath(c.file), &decoded), Ok);
    std::vector<ARGB> want = imaging_test::PixelsOf(decoded.get());
    ASSERT_EQ(want.size(), static_cast<size_t>(image.width) * image.height);
    std::vector<gdi::RGBQUAD> table = c.depth <= 8 ? ColorTable(image) : std::vector<gdi::RGBQUAD>{};
    for (LONG y = 0; y < image.height; ++y) {
        for (LONG x = 0; x < image.width; ++x) {
            ARGB expected = want[static_cast<size_t>(y * image.width + x)];
            ARGB got;
            if (c.depth <= 8) {
                const BYTE* row = image.bits + static_cast<std::ptrdiff_t>(y) * image.pitch;
                unsigned bit = static_cast<unsigned>(x) * c.depth;
                unsigned index = (row[bit / 8] >> (8 - c.depth - bit % 8)) & ((1u << c.depth) - 1);
                const gdi::RGBQUAD& q = table[index];
                got = Rgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
                expected |= 0xFF000000u;  // the colour table keeps no alpha
            } else if (c.depth == 16) {
                continue;  // checked by the 5-6-5 test below
            } else {
                got = DibPixel(image, x, y);
                if (!c.hasAlpha) expected |= 0xFF000000u, got |= 0xFF000000u;
            }
            if ((expected >> 24) == 0 && (got >> 24) == 0) continue;
            EXPECT_LE(imaging_test::ChannelDistance(got, expected), 1) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, LoadFixture,
    ::testing::Values(LoadCase{"png-palette-1.png", 1, false}, LoadCase{"png-palette-4.png", 4, false},
                      LoadCase{"gif-transparent.gif", 8, false}, LoadCase{"bmp-v5-555.bmp", 16, false},
                      LoadCase{"bmp-v5-565.bmp", 16, false}, LoadCase{"jpeg-colour.jpg", 24, false},
                      LoadCase{"bmp-info-32.bmp", 32, false}, LoadCase{"png-rgba-8.png", 32, true},
                      LoadCase{"bmp-v5-1555.bmp", 32, true}, LoadCase{"png-rgba-16.png", 32, true},
                      LoadCase{"png-grey-16.png", 32, false}, LoadCase{"png-rgb-16.png", 32, false}),
    NamedByFile());

TEST_F(Load, A565PictureGetsA565Dib) {
    CDibImage image;
    ASSERT_EQ(image.LoadFromFile(FixturePath("bmp-v5-565.bmp").c_str()), S_OK);
    gdi::DIBSECTION section{};
    ASSERT_EQ(gdi::GetObjectA(image.bitmap, sizeof section, &section), int{sizeof section});
    EXPECT_EQ(section.dsBmih.biCompression, gdi::BI_BITFIELDS);
    EXPECT_EQ(section.dsBitfields[0], 0xF800u);
    EXPECT_EQ(section.dsBitfields[1], 0x07E0u);
    EXPECT_EQ(section.dsBitfields[2], 0x001Fu);
    // The rows are the library's 5-6-5 rows, byte for byte.
    imaging_test::BitmapPtr decoded;
    ASSERT_EQ(imaging_test::Load(FixturePath("bmp-v5-565.bmp"), &decoded), Ok);
    BitmapData data{};
    ASSERT_EQ(GdipBitmapLockBits(decoded.get(), nullptr, ImageLockModeRead, PixelFormat16bppRGB565, &data), Ok);
    for (LONG y = 0; y < image.height; ++y) {
        EXPECT_EQ(std::memcmp(image.bits + static_cast<std::ptrdiff_t>(y) * image.pitch,
                              static_cast<const BYTE*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride,
                              static_cast<size_t>(image.width) * 2),
                  0);
    }
    GdipBitmapUnlockBits(decoded.get(), &data);
}

// Imports of pictures made in memory, for the shapes the files above do
// not have.
TEST_F(Load, CopiesOnlyThePixelBytesOfEachRow) {
    struct Case {
        PixelFormat format;
        INT width;
        INT stride;
        size_t rowBytes;  // copied
        LONG pitch;       // the DIB's
    };
    for (const Case& c : {Case{PixelFormat24bppRGB, 3, 12, 9, 12}, Case{PixelFormat1bppIndexed, 10, 4, 2, 4}}) {
        std::vector<BYTE> source(static_cast<size_t>(c.stride) * 2, 0xEE);
        GdipBitmapHolder holder = GdipBitmapHolder::FromScan0(c.width, 2, c.stride, c.format, source.data());
        ASSERT_EQ(holder.LastStatus(), Ok);
        CDibImage image;
        ASSERT_EQ(image.ImportDecodedBitmap(holder), S_OK);
        EXPECT_EQ(image.pitch, -c.pitch);
        for (LONG r = 0; r < 2; ++r) {
            const BYTE* row = image.bits + static_cast<std::ptrdiff_t>(r) * image.pitch;
            for (size_t i = 0; i < static_cast<size_t>(c.pitch); ++i) {
                EXPECT_EQ(row[i], i < c.rowBytes ? 0xEE : 0x00) << "row " << r << " byte " << i;
            }
        }
    }
}

TEST_F(Load, ShortPalettesLeaveTheRestOfTheTableBlackAndLoseTheirAlpha) {
    BYTE pixels[4] = {0, 1, 0, 0};
    GdipBitmapHolder holder = GdipBitmapHolder::FromScan0(2, 1, 4, PixelFormat8bppIndexed, pixels);
    struct {
        ColorPalette header;
        ARGB second;
    } palette{{0, 2, {0x80FF8040}}, 0xFF102030};
    ASSERT_EQ(GdipSetImagePalette(holder.Image(), &palette.header), Ok);
    CDibImage image;
    ASSERT_EQ(image.ImportDecodedBitmap(holder), S_OK);
    std::vector<gdi::RGBQUAD> table = ColorTable(image);
    ASSERT_EQ(table.size(), 256u);
    EXPECT_EQ(table[0].rgbRed, 0xFF);
    EXPECT_EQ(table[0].rgbGreen, 0x80);
    EXPECT_EQ(table[0].rgbBlue, 0x40);
    EXPECT_EQ(table[0].rgbReserved, 0);
    EXPECT_EQ(table[1].rgbRed, 0x10);
    for (size_t i = 2; i < 256; ++i) {
        EXPECT_EQ(table[i].rgbRed | table[i].rgbGreen | table[i].rgbBlue, 0) << i;
    }
}

TEST_F(Load, PremultipliedAndWideFormatsAreRedrawn) {
    struct Case {
        PixelFormat format;
        std::vector<BYTE> pixel;
        bool hasAlpha;
        ARGB expected;
    };
    const Case cases[] = {
        {PixelFormat32bppPARGB, {0x20, 0x20, 0x40, 0x80}, true, Rgb(0x80, 0x40, 0x40, 0x80)},
        {PixelFormat48bppRGB, {0x10, 0x10, 0x20, 0x20, 0x30, 0x30}, false, Rgb(0x30, 0x20, 0x10)},
        {PixelFormat16bppGrayScale, {0x80, 0x80}, false, Rgb(0x80, 0x80, 0x80)},
        {PixelFormat16bppARGB1555, {0x1F, 0x00}, true, Rgb(0, 0, 0xFF, 0)},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> memory(8, 0);
        std::memcpy(memory.data(), c.pixel.data(), c.pixel.size());
        GdipBitmapHolder holder = GdipBitmapHolder::FromScan0(1, 1, 8, c.format, memory.data());
        CDibImage image;
        ASSERT_EQ(image.ImportDecodedBitmap(holder), S_OK);
        EXPECT_EQ(image.bitsPerPixel, 32);
        EXPECT_EQ(image.hasAlpha, c.hasAlpha);
        ARGB got = DibPixel(image, 0, 0);
        if (!c.hasAlpha) got |= 0xFF000000u;
        if ((c.expected >> 24) == 0) {
            EXPECT_EQ(got >> 24, 0u);
        } else {
            EXPECT_LE(imaging_test::ChannelDistance(got, c.expected), 1) << std::hex << got;
        }
    }
}

TEST_F(Load, AFailedPixelLockOrRedrawIsAFailure) {
    BYTE direct[4] = {1, 2, 3, 0};
    GdipBitmapHolder copied = GdipBitmapHolder::FromScan0(1, 1, 4, PixelFormat24bppRGB, direct);
    BitmapData data{};
    ASSERT_EQ(GdipBitmapLockBits(copied.Image(), nullptr, ImageLockModeRead, PixelFormat24bppRGB, &data), Ok);
    CDibImage first;
    EXPECT_EQ(first.ImportDecodedBitmap(copied), E_FAIL);
    EXPECT_EQ(copied.LastStatus(), WrongState);
    GdipBitmapUnlockBits(copied.Image(), &data);

    BYTE premultiplied[4] = {1, 2, 3, 4};
    GdipBitmapHolder redrawn = GdipBitmapHolder::FromScan0(1, 1, 4, PixelFormat32bppPARGB, premultiplied);
    ASSERT_EQ(GdipBitmapLockBits(redrawn.Image(), nullptr, ImageLockModeRead, PixelFormat32bppPARGB, &data), Ok);
    CDibImage second;
    EXPECT_EQ(second.ImportDecodedBitmap(redrawn), E_FAIL);
    GdipBitmapUnlockBits(redrawn.Image(), &data);
}

TEST_F(Load, NoBufferForThePaletteIsOutOfMemory) {
    CDibImage image;
    SmallBufferFaults::stackFull = SmallBufferFaults::heapEmpty = true;
    HRESULT result = image.LoadFromFile(FixturePath("png-palette-8.png").c_str());
    SmallBufferFaults::stackFull = SmallBufferFaults::heapEmpty = false;
    EXPECT_EQ(result, E_OUTOFMEMORY);
    EXPECT_EQ(image.bitsPerPixel, 8);  // the DIB was made, its colours never written
}

TEST(LoadFailure, UnreadableFilesFailAndLeaveTheImageEmpty) {
    {
        CDibImage image;
        imaging_test::TempFolder folder;
        imaging_test::WriteBytes(folder / "not-a-picture.png", {'n', 'o', 'p', 'e'});
        for (std::string path : {folder / "not-a-picture.png", folder / "missing.jpg", folder.path()}) {
            EXPECT_EQ(image.LoadFromFile(path.c_str()), E_FAIL) << path;
            EXPECT_EQ(image.bitmap, nullptr);
            EXPECT_EQ(image.width, 0);
        }
        // The library stays started while a raster image lives.
        EXPECT_NE(ImagingRuntimeTesting::RuntimeToken(), 0u);
        EXPECT_TRUE(IsStarted());
    }
    EXPECT_EQ(ImagingRuntimeTesting::RuntimeToken(), 0u);
    EXPECT_EQ(LiveImageCount(), 0u);
}

TEST(LoadFailure, AnUnconvertiblePathRaisesAnException) {
    CDibImage image;
    EXPECT_THROW(static_cast<void>(image.LoadFromFile(nullptr)), CHResultError);
}

}  // namespace

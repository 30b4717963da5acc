// Encoding the raster image: the encoder its file name or a format id
// chooses, and how the image is handed to the library.

#include <gtest/gtest.h>

#include <cstring>

#include "image/dib_image.h"
#include "image/image_testing.h"
#include "image/imaging_runtime.h"
#include "platform/imaging/bitmap.h"
#include "tests/image/image_test_support.h"
#include "tests/platform/imaging/imaging_test_support.h"

namespace {

using namespace gdiplus;
using imaging_test::ReadBytes;
using imaging_test::TempFolder;

class Save : public imagetest::ImageTest {
protected:
    // A 4 x 3 image of 32 bits, as the save command makes, with a colour
    // and an alpha ramp in its pixels.
    void Fill(CDibImage& image, DWORD flags) {
        ASSERT_TRUE(image.CreateDib(4, 3, 32, gdi::BI_RGB, nullptr, flags));
        for (LONG y = 0; y < 3; ++y) {
            BYTE* row = image.bits + static_cast<std::ptrdiff_t>(y) * image.pitch;
            for (LONG x = 0; x < 4; ++x) {
                BYTE* p = row + 4 * x;
                p[0] = static_cast<BYTE>(10 * x), p[1] = static_cast<BYTE>(50 * y), p[2] = 200;
                p[3] = static_cast<BYTE>(60 * x + 20);
            }
        }
    }

    std::string Signature(const std::string& path) {
        std::vector<BYTE> bytes = ReadBytes(path);
        return std::string(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 12));
    }

    TempFolder folder;
};

TEST_F(Save, TheExtensionChoosesTheEncoderWhateverItsCase) {
    CDibImage image;
    Fill(image, 0);
    struct Case {
        const char* name;
        std::string signature;
        size_t at = 0;  // where in the file it stands
    };
    for (const Case& c :
         {Case{"photo.JPG", "\xFF\xD8\xFF"}, Case{"photo.jpg", "\xFF\xD8\xFF"}, Case{"photo.Jpeg", "\xFF\xD8\xFF"},
          Case{"a.b.png", "\x89PNG"}, Case{"x.bmp", "BM"}, Case{"x.dib", "BM"}, Case{"x.gif", "GIF8"},
          Case{"x.tif", "II*"}, Case{"x.webp", "RIFF"}, Case{"x.heic", "ftypheic", 4}, Case{"x.HEIF", "ftypheic", 4},
          Case{"x.avif", "ftypavif", 4}, Case{"x.jxl", "\xFF\x0A"}}) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(image.SaveToFile((folder / c.name).c_str(), GUID_NULL), S_OK);
        EXPECT_EQ(Signature(folder / c.name).substr(c.at, c.signature.size()), c.signature);
    }
}

TEST_F(Save, NamesNoEncoderClaimsWriteNothing) {
    CDibImage image;
    Fill(image, 0);
    for (const char* name : {"photo.xyz", "photo", "photo.", "dir.png/"}) {
        EXPECT_EQ(image.SaveToFile((folder / name).c_str(), GUID_NULL), E_FAIL) << name;
    }
    EXPECT_TRUE(folder.Entries().empty());
}

TEST_F(Save, AFormatIdOverridesTheExtension) {
    CDibImage image;
    Fill(image, 0);
    ASSERT_EQ(image.SaveToFile((folder / "really.jpg").c_str(), ImageFormatPNG), S_OK);
    EXPECT_EQ(Signature(folder / "really.jpg").substr(0, 4), "\x89PNG");
    GUID unknown = ImageFormatPNG;
    unknown.Data1 = 1;
    EXPECT_EQ(image.SaveToFile((folder / "none.png").c_str(), unknown), E_FAIL);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"really.jpg"});
}

TEST_F(Save, AlphaIsKeptFromThePixelMemoryAndDroppedFromTheHandle) {
    CDibImage withAlpha, without;
    Fill(withAlpha, dibHasAlpha);
    Fill(without, 0);
    // The save command keeps its image's surface while saving.
    ASSERT_NE(without.AcquireDc(), nullptr);
    ASSERT_EQ(withAlpha.SaveToFile((folder / "alpha.png").c_str(), GUID_NULL), S_OK);
    ASSERT_EQ(without.SaveToFile((folder / "opaque.png").c_str(), GUID_NULL), S_OK);
    without.ReturnDc();

    ASSERT_TRUE(ImagingRuntime::Instance().EnsureStarted());
    imaging_test::BitmapPtr alpha, opaque;
    ASSERT_EQ(imaging_test::Load(folder / "alpha.png", &alpha), Ok);
    ASSERT_EQ(imaging_test::Load(folder / "opaque.png", &opaque), Ok);
    EXPECT_EQ(imaging_test::FormatOf(alpha.get()), PixelFormat32bppARGB);
    EXPECT_EQ(imaging_test::FormatOf(opaque.get()), PixelFormat24bppRGB);
    std::vector<ARGB> a = imaging_test::PixelsOf(alpha.get()), o = imaging_test::PixelsOf(opaque.get());
    // Top row first, as the image shows it.
    EXPECT_EQ(a[1], imaging_test::Rgb(200, 0, 10, 80));
    EXPECT_EQ(o[1], imaging_test::Rgb(200, 0, 10));
    EXPECT_EQ(a[4 * 2 + 3], imaging_test::Rgb(200, 100, 30, 200));
}

TEST_F(Save, SavingStartsTheLibraryAndChangesNothingInTheImage) {
    ImagingRuntime::Instance().Stop();
    CDibImage image;
    Fill(image, 0);
    std::vector<BYTE> before(image.bits + 2 * image.pitch, image.bits + 2 * image.pitch + 48);
    ASSERT_EQ(image.SaveToFile((folder / "x.bmp").c_str(), GUID_NULL), S_OK);
    EXPECT_NE(ImagingRuntimeTesting::RuntimeToken(), 0u);
    EXPECT_EQ(std::vector<BYTE>(image.bits + 2 * image.pitch, image.bits + 2 * image.pitch + 48), before);
}

TEST_F(Save, AnImageReadBackHasTheSavedDepthAndPixels) {
    CDibImage image;
    Fill(image, 0);
    ASSERT_EQ(image.SaveToFile((folder / "x.bmp").c_str(), GUID_NULL), S_OK);
    CDibImage loaded;
    ASSERT_EQ(loaded.LoadFromFile((folder / "x.bmp").c_str()), S_OK);
    EXPECT_EQ(loaded.bitsPerPixel, 24);
    for (LONG y = 0; y < 3; ++y) {
        for (LONG x = 0; x < 4; ++x) {
            const BYTE* p = loaded.bits + static_cast<std::ptrdiff_t>(y) * loaded.pitch + 3 * x;
            const BYTE* q = image.bits + static_cast<std::ptrdiff_t>(y) * image.pitch + 4 * x;
            EXPECT_EQ(std::memcmp(p, q, 3), 0) << x << "," << y;
        }
    }
}

}  // namespace

// Real photographs keep opening under the decode budget: 200-megapixel
// JPEG and PNG files, made here, open with the budget a machine with 8 GB
// has. (Only in the build without sanitizers: under them a picture this
// size takes minutes.)

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "platform/imaging/decode_limits.h"
#include "platform/imaging/encoders.h"
#include "platform/imaging/imaging_testing.h"
#include "tests/platform/imaging/hostile_files.h"
#include "tests/platform/imaging/imaging_test_support.h"

namespace {

using namespace gdiplus;
using namespace imaging_test;

constexpr UINT width = 16384, height = 12288;  // 201 megapixels

// Smooth colour with a little grain, so that the encoders have some work.
std::vector<BYTE> Encoded(Encoder encode) {
    Raster raster;
    if (Raster::Allocate(width, height, PixelFormat24bppRGB, false, &raster) != Ok) return {};
    for (UINT y = 0; y < height; ++y) {
        BYTE* row = raster.Row(y);
        for (UINT x = 0; x < width; ++x, row += 3) {
            row[0] = static_cast<BYTE>(x / 64), row[1] = static_cast<BYTE>(y / 48),
            row[2] = static_cast<BYTE>((x ^ y) & 7);
        }
    }
    std::vector<BYTE> bytes;
    if (encode(raster, &bytes) != Ok) return {};
    return bytes;
}

struct LargeCase {
    const char* what;
    std::function<std::vector<BYTE>()> make;
    PixelFormat format;
};

void PrintTo(const LargeCase& c, std::ostream* os) { *os << c.what; }

class LargePicture : public ImagingTest, public ::testing::WithParamInterface<LargeCase> {
protected:
    void TearDown() override {
        SetDecodeMemoryLimit(0);
        ImagingTest::TearDown();
    }
};

TEST_P(LargePicture, OpensWithTheBudgetOfAnEightGigabyteMachine) {
    TempFolder folder;
    std::string path = folder / "large";
    WriteBytes(path, GetParam().make());
    SetDecodeMemoryLimit(size_t{2} << 30);  // a quarter of 8 GB
    BitmapPtr bitmap;
    ASSERT_EQ(Load(path, &bitmap), Ok);
    EXPECT_EQ(WidthOf(bitmap.get()), width);
    EXPECT_EQ(HeightOf(bitmap.get()), height);
    EXPECT_EQ(FormatOf(bitmap.get()), GetParam().format);
}

INSTANTIATE_TEST_SUITE_P(Formats, LargePicture,
                         ::testing::Values(LargeCase{"jpeg", [] { return Encoded(EncodeJpeg); }, PixelFormat24bppRGB},
                                           LargeCase{"png", [] { return Encoded(EncodePng); }, PixelFormat24bppRGB},
                                           // Its coefficient buffer takes twice the pixels' memory.
                                           LargeCase{"progressive_jpeg",
                                                     [] { return hostile::ProgressiveJpeg(width, height); },
                                                     PixelFormat8bppIndexed}),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace

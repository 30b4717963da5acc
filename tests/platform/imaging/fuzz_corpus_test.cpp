// Replays the fuzzers' corpora through the decoders, so that the sanitizer
// build checks every input the fuzzers ever found interesting.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/imaging/decode_limits.h"
#include "platform/imaging/decoders.h"
#include "platform/imaging/pixel_convert.h"
#include "tests/platform/imaging/imaging_test_support.h"

namespace {

using namespace gdiplus;

struct Corpus {
    const char* folder;
    Status (*decode)(const BYTE*, size_t, Raster*);
};

void PrintTo(const Corpus& c, std::ostream* os) { *os << c.folder; }

class FuzzCorpus : public ::testing::TestWithParam<Corpus> {
protected:
    // The fuzzers run with this budget, so their inputs are replayed with it.
    void SetUp() override { SetDecodeMemoryLimit(256u << 20); }
    void TearDown() override { SetDecodeMemoryLimit(0); }
};

TEST_P(FuzzCorpus, EveryInputEndsInAStatus) {
    std::filesystem::path folder = std::filesystem::path(PELMORA_FUZZ_CORPUS_DIR) / GetParam().folder;
    size_t inputs = 0, decoded = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        SCOPED_TRACE(entry.path().string());
        std::vector<BYTE> bytes = imaging_test::ReadBytes(entry.path().string());
        Raster raster;
        Status status = GetParam().decode(bytes.data(), bytes.size(), &raster);
        ++inputs;
        if (status != Ok) {
            EXPECT_TRUE(raster.Empty());
            continue;
        }
        ++decoded;
        // Every row the description promises is there to be read.
        std::vector<Pixel64> line(raster.Width());
        for (UINT y = 0; y < raster.Height(); ++y) {
            UnpackRow(raster.Row(y), 0, raster.Width(), raster.Format(), raster.palette.data(),
                      static_cast<UINT>(raster.palette.size()), line.data());
        }
    }
    EXPECT_GT(inputs, 0u);
    RecordProperty("decoded", static_cast<int>(decoded));
}

// The round trip's inputs are files of every kind, told apart by signature.
Status DecodeAnyKind(const BYTE* data, size_t size, Raster* out) {
    GUID format = GUID_NULL;
    return DecodeImage(data, size, out, &format);
}

INSTANTIATE_TEST_SUITE_P(Decoders, FuzzCorpus,
                         ::testing::Values(Corpus{"bmp", DecodeBmp}, Corpus{"jpeg", DecodeJpeg},
                                           Corpus{"png", DecodePng}, Corpus{"gif", DecodeGif},
                                           Corpus{"tiff", DecodeTiff}, Corpus{"roundtrip", DecodeAnyKind}),
                         [](const auto& info) { return std::string(info.param.folder); });

}  // namespace

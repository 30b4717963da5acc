// Replays the fuzzers' corpora through the decoders, so that the sanitizer
// build checks every input the fuzzers ever found interesting.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/imaging/decode_limits.h"
#include "platform/imaging/decoders.h"
#include "platform/imaging/imaging_testing.h"
#include "platform/imaging/pixel_convert.h"
#include "tests/platform/imaging/imaging_test_support.h"

namespace {

using namespace gdiplus;

struct Corpus {
    const char* folder;
    Status (*decode)(const BYTE*, size_t, Raster*);
};

// The fuzzers' build reads PNG chunks whatever their checksums; here they
// are made whole first, so that each input takes the road it took there.
void MendPngChecksums(std::vector<BYTE>& bytes) {
    if (bytes.size() < 8 || std::memcmp(bytes.data(), "\x89PNG\r\n\x1A\n", 8) != 0) return;
    for (size_t at = 8; at + 12 <= bytes.size();) {
        size_t length = static_cast<size_t>(bytes[at]) << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3];
        if (length > bytes.size() - at - 12) return;
        std::uint32_t crc = imaging_test::Crc32(bytes.data() + at + 4, length + 4);
        for (int i = 0; i < 4; ++i) bytes[at + 8 + length + i] = static_cast<BYTE>(crc >> (24 - 8 * i));
        at += 12 + length;
    }
}

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
        MendPngChecksums(bytes);
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
    std::printf("%s: %zu of %zu inputs decoded\n", GetParam().folder, decoded, inputs);
}

// The round trip's inputs are files of every kind, told apart by signature.
Status DecodeAnyKind(const BYTE* data, size_t size, Raster* out) {
    GUID format = GUID_NULL;
    return DecodeImage(data, size, out, &format);
}

INSTANTIATE_TEST_SUITE_P(Decoders, FuzzCorpus,
                         ::testing::Values(Corpus{"bmp", DecodeBmp}, Corpus{"jpeg", DecodeJpeg},
                                           Corpus{"png", DecodePng}, Corpus{"gif", DecodeGif},
                                           Corpus{"tiff", DecodeTiff}, Corpus{"webp", DecodeWebp},
                                           Corpus{"heif", DecodeHeif}, Corpus{"jxl", DecodeJxl},
                                           Corpus{"roundtrip", DecodeAnyKind}),
                         [](const auto& info) { return std::string(info.param.folder); });

}  // namespace

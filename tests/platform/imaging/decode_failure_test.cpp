// Files that cannot be decoded end in a clear status, never a crash, a read
// past the data or a large allocation.

#include <gtest/gtest.h>
#include <algorithm>
#include <unistd.h>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/decode_limits.h"
#include "platform/imaging/imaging_testing.h"
#include "tests/platform/imaging/imaging_test_support.h"

namespace {

using namespace gdiplus;
using namespace imaging_test;

const char* const everyKind[] = {
    "jpeg-colour.jpg",       "jpeg-progressive.jpg", "jpeg-cmyk.jpg",      "png-rgb-8.png",      "png-interlaced.png",
    "png-palette-2.png",     "gif-pattern.gif",      "gif-interlaced.gif", "bmp-info-24.bmp",    "bmp-rle-8.bmp",
    "bmp-core-4.bmp",        "tiff-rgb.tif",         "tiff-palette.tif",   "heic-smooth.heic",   "avif-smooth.avif",
    "webp-lossy.webp",       "webp-lossless.webp",   "webp-animated.webp", "jxl-lossless.jxl",   "jxl-lossy.jxl",
    "jxl-orientation-2.jxl", "webp-metadata.webp",   "heic-metadata.heic", "avif-metadata.avif", "jxl-metadata.jxl"};

TEST_F(ImagingTest, TruncatedFilesFail) {
    for (const char* file : everyKind) {
        std::vector<BYTE> whole = ReadBytes(FixturePath(file));
        // Cut inside the header, just after it, in the middle and just
        // before the end.
        for (size_t keep : {size_t{1}, size_t{10}, whole.size() / 3, whole.size() / 2, whole.size() - 14}) {
            SCOPED_TRACE(std::string(file) + " cut to " + std::to_string(keep));
            std::vector<BYTE> part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(keep));
            BitmapPtr bitmap;
            Status status = LoadBytes(part, &bitmap);
            EXPECT_TRUE(status == GenericError || status == UnknownImageFormat) << "status " << status;
            EXPECT_FALSE(bitmap);
        }
    }
}

TEST_F(ImagingTest, FilesThatAreNoPictureFail) {
    TempFolder folder;
    struct Case {
        std::vector<BYTE> bytes;
        Status expected;
    };
    for (const Case& c : {Case{{}, UnknownImageFormat}, Case{{'h', 'e', 'l', 'l', 'o'}, UnknownImageFormat},
                          Case{{'B', 'M'}, GenericError}, Case{{0xFF, 0xD8, 0xFF}, GenericError},
                          Case{{'G', 'I', 'F', '8', '9', 'a'}, GenericError}}) {
        BitmapPtr bitmap;
        EXPECT_EQ(LoadBytes(c.bytes, &bitmap), c.expected);
    }

    BitmapPtr bitmap;
    EXPECT_EQ(Load(folder / "missing.png", &bitmap), FileNotFound);
    EXPECT_EQ(Load(folder.path(), &bitmap), AccessDenied);
    EXPECT_EQ(GdipCreateBitmapFromFile(u"", bitmap.out()), FileNotFound);
    EXPECT_EQ(GdipCreateBitmapFromFile(nullptr, bitmap.out()), InvalidParameter);
    EXPECT_EQ(GdipCreateBitmapFromFile(u"x.png", nullptr), InvalidParameter);
    // A character no byte sequence in the code page stands for.
    EXPECT_EQ(GdipCreateBitmapFromFile(u"/tmp/\xD800.png", bitmap.out()), FileNotFound);
}

// Copies of fixtures with their declared size changed.
std::vector<BYTE> PngDeclaring(const char* file, std::uint32_t width, std::uint32_t height) {
    std::vector<BYTE> bytes = ReadBytes(FixturePath(file));
    auto put32 = [&](size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<BYTE>(v >> (24 - 8 * i));
    };
    put32(16, width);
    put32(20, height);
    put32(29, Crc32(bytes.data() + 12, 17));  // IHDR's type and data
    return bytes;
}

std::vector<BYTE> JpegDeclaring(const char* file, std::uint16_t width, std::uint16_t height) {
    std::vector<BYTE> bytes = ReadBytes(FixturePath(file));
    for (size_t i = 2; i + 9 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2)) {
            bytes[i + 5] = static_cast<BYTE>(height >> 8), bytes[i + 6] = static_cast<BYTE>(height);
            bytes[i + 7] = static_cast<BYTE>(width >> 8), bytes[i + 8] = static_cast<BYTE>(width);
            break;
        }
    }
    return bytes;
}

std::vector<BYTE> BmpDeclaring(const char* file, std::int32_t width, std::int32_t height) {
    std::vector<BYTE> bytes = ReadBytes(FixturePath(file));
    for (int i = 0; i < 4; ++i) {
        bytes[18 + i] = static_cast<BYTE>(static_cast<std::uint32_t>(width) >> (8 * i));
        bytes[22 + i] = static_cast<BYTE>(static_cast<std::uint32_t>(height) >> (8 * i));
    }
    return bytes;
}

std::vector<BYTE> GifDeclaring(const char* file, std::uint16_t width, std::uint16_t height) {
    std::vector<BYTE> bytes = ReadBytes(FixturePath(file));
    bytes[6] = static_cast<BYTE>(width), bytes[7] = static_cast<BYTE>(width >> 8);
    bytes[8] = static_cast<BYTE>(height), bytes[9] = static_cast<BYTE>(height >> 8);
    return bytes;
}

// The sides of every image in a HEIF file, in their "ispe" properties.
std::vector<BYTE> HeifDeclaring(const char* file, std::uint32_t width, std::uint32_t height) {
    std::vector<BYTE> bytes = ReadBytes(FixturePath(file));
    static const BYTE ispe[] = {'i', 's', 'p', 'e'};
    for (auto at = bytes.begin(); (at = std::search(at, bytes.end(), std::begin(ispe), std::end(ispe))) != bytes.end();
         ++at) {
        size_t sides = static_cast<size_t>(at - bytes.begin()) + 8;  // after the version and flags
        for (int i = 0; i < 4; ++i) {
            bytes[sides + i] = static_cast<BYTE>(width >> (24 - 8 * i));
            bytes[sides + 4 + i] = static_cast<BYTE>(height >> (24 - 8 * i));
        }
    }
    return bytes;
}

// A lossless WebP file's sides, 14 bits each after its signature byte.
std::vector<BYTE> WebpDeclaring(const char* file, std::uint32_t width, std::uint32_t height) {
    std::vector<BYTE> bytes = ReadBytes(FixturePath(file));
    EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "VP8L");
    std::uint32_t bits = (width - 1) | (height - 1) << 14 | (bytes[24] & 0xF0u) << 24;
    for (int i = 0; i < 4; ++i) bytes[21 + i] = static_cast<BYTE>(bits >> (8 * i));
    return bytes;
}

class MemoryCap {
public:
    explicit MemoryCap(size_t bytes) { SetDecodeMemoryLimit(bytes); }
    ~MemoryCap() { SetDecodeMemoryLimit(0); }
};

TEST_F(ImagingTest, DecompressionBombsAreRefusedBeforeAllocating) {
    const auto ExpectAllRefused = [](const auto& cases) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            BitmapPtr bitmap;
            EXPECT_EQ(LoadBytes(c.bytes, &bitmap), OutOfMemory);
        }
    };
    struct Case {
        const char* what;
        std::vector<BYTE> bytes;
    };
    const Case sideTooLong[] = {
        {"png 70000 wide", PngDeclaring("png-rgb-8.png", 70000, 1)},
        {"png 70000 high", PngDeclaring("png-grey-1.png", 1, 70000)},
        {"bmp 70000 wide", BmpDeclaring("bmp-info-24.bmp", 70000, 1)},
        {"bmp 70000 high, top-down", BmpDeclaring("bmp-info-8.bmp", 1, -70000)},
        {"heic 70000 wide", HeifDeclaring("heic-smooth.heic", 70000, 8)},
        {"avif 70000 high", HeifDeclaring("avif-smooth.avif", 16, 70000)},
    };
    ExpectAllRefused(sideTooLong);

    // 40000 x 40000 at 4 bytes a pixel is 6.4 GB: with the cap at 64 MB
    // every one of these is refused, on any machine.
    MemoryCap cap(64u << 20);
    const Case tooMuchMemory[] = {
        {"png rgba", PngDeclaring("png-rgba-8.png", 40000, 40000)},
        {"jpeg", JpegDeclaring("jpeg-colour.jpg", 40000, 40000)},
        {"progressive jpeg", JpegDeclaring("jpeg-progressive.jpg", 40000, 40000)},
        {"gif screen", GifDeclaring("gif-pattern.gif", 65535, 65535)},
        {"bmp", BmpDeclaring("bmp-info-24.bmp", 40000, 40000)},
        {"rle bmp", BmpDeclaring("bmp-rle-8.bmp", 40000, 40000)},
        {"heic", HeifDeclaring("heic-smooth.heic", 40000, 40000)},
        {"avif", HeifDeclaring("avif-smooth.avif", 40000, 40000)},
        {"webp", WebpDeclaring("webp-lossless.webp", 16384, 16384)},
    };
    ExpectAllRefused(tooMuchMemory);
}

TEST_F(ImagingTest, ThePhysicalMemoryLimitIsAQuarter) {
    long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGE_SIZE);
    EXPECT_EQ(DecodeMemoryLimit(), static_cast<size_t>(pages) / 4 * static_cast<size_t>(pageSize));
    // 65535 x 65535 at 64 bits a pixel is 34 GB.
    BitmapPtr bitmap;
    EXPECT_EQ(LoadBytes(PngDeclaring("png-rgba-16.png", 65535, 65535), &bitmap), OutOfMemory);
}

TEST(ImagingNotStarted, EveryCallFails) {
    ASSERT_FALSE(IsStarted());
    GpBitmap* bitmap = nullptr;
    EXPECT_EQ(GdipCreateBitmapFromFile(WidePath(FixturePath("png-rgb-8.png")).c_str(), &bitmap), GdiplusNotInitialized);
    EXPECT_EQ(GdipCreateBitmapFromScan0(1, 1, 4, PixelFormat32bppRGB, nullptr, &bitmap), GdiplusNotInitialized);
    EXPECT_EQ(bitmap, nullptr);
}

}  // namespace

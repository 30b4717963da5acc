#include "tests/platform/imaging/imaging_test_support.h"

#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

#include "platform/kernel/code_page.h"
#include "tests/platform/imaging/hostile_files.h"

namespace imaging_test {

std::string FixturePath(const std::string& name) { return std::string(PELMORA_FIXTURES_DIR) + "/" + name; }

std::vector<BYTE> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::u16string WidePath(const std::string& path) {
    int n = kernel::MultiByteToWideChar(kernel::CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::u16string wide(static_cast<size_t>(n), u'\0');
    kernel::MultiByteToWideChar(kernel::CP_ACP, 0, path.c_str(), -1, wide.data(), n);
    wide.pop_back();
    return wide;
}

TempFolder::TempFolder() {
    std::string base = std::filesystem::temp_directory_path().string() + "/pelmora-imaging-XXXXXX";
    if (mkdtemp(base.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = base;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TempFolder::Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void ImagingTest::SetUp() {
    GdiplusStartupInput input;
    ASSERT_EQ(GdiplusStartup(&token_, &input, nullptr), Ok);
    images_ = LiveImageCount();
    graphics_ = LiveGraphicsCount();
}

void ImagingTest::TearDown() {
    EXPECT_EQ(LiveImageCount(), images_) << "an image was not disposed of";
    EXPECT_EQ(LiveGraphicsCount(), graphics_) << "a graphics context was not deleted";
    GdiplusShutdown(token_);
}

void BitmapPtr::reset() {
    if (bitmap_ != nullptr) GdipDisposeImage(bitmap_);
    bitmap_ = nullptr;
}

Status Load(const std::string& path, BitmapPtr* bitmap) {
    return GdipCreateBitmapFromFile(WidePath(path).c_str(), bitmap->out());
}

std::string TestNameOf(const std::string& file) {
    std::string name = file;
    for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    }
    return name;
}

::testing::AssertionResult LoadsAs(const std::string& path, PixelFormat format, UINT width, UINT height,
                                   BitmapPtr* bitmap) {
    if (const Status status = Load(path, bitmap); status != Ok) {
        return ::testing::AssertionFailure() << path << ": status " << status;
    }
    const PixelFormat gotFormat = FormatOf(bitmap->get());
    const UINT gotWidth = WidthOf(bitmap->get()), gotHeight = HeightOf(bitmap->get());
    if (gotFormat != format || gotWidth != width || gotHeight != height) {
        return ::testing::AssertionFailure()
               << path << ": format " << std::hex << gotFormat << std::dec << ", " << gotWidth << "x" << gotHeight
               << " instead of " << std::hex << format << std::dec << ", " << width << "x" << height;
    }
    return ::testing::AssertionSuccess();
}

Status LoadBytes(const std::vector<BYTE>& bytes, BitmapPtr* bitmap) {
    TempFolder folder;
    WriteBytes(folder / "file", bytes);
    return Load(folder / "file", bitmap);
}

PixelFormat FormatOf(GpBitmap* bitmap) {
    PixelFormat format = 0;
    EXPECT_EQ(GdipGetImagePixelFormat(bitmap, &format), Ok);
    return format;
}

UINT WidthOf(GpBitmap* bitmap) {
    UINT width = 0;
    EXPECT_EQ(GdipGetImageWidth(bitmap, &width), Ok);
    return width;
}

UINT HeightOf(GpBitmap* bitmap) {
    UINT height = 0;
    EXPECT_EQ(GdipGetImageHeight(bitmap, &height), Ok);
    return height;
}

std::vector<ARGB> PaletteOf(GpBitmap* bitmap) {
    INT size = 0;
    EXPECT_EQ(GdipGetImagePaletteSize(bitmap, &size), Ok);
    std::vector<BYTE> buffer(static_cast<size_t>(size));
    auto* palette = reinterpret_cast<ColorPalette*>(buffer.data());
    EXPECT_EQ(GdipGetImagePalette(bitmap, palette, size), Ok);
    return std::vector<ARGB>(palette->Entries, palette->Entries + palette->Count);
}

std::vector<ARGB> PixelsOf(GpBitmap* bitmap) {
    BitmapData data{};
    std::vector<ARGB> pixels;
    if (GdipBitmapLockBits(bitmap, nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data) != Ok) {
        ADD_FAILURE() << "lock failed";
        return pixels;
    }
    for (UINT y = 0; y < data.Height; ++y) {
        const auto* row = reinterpret_cast<const ARGB*>(static_cast<const BYTE*>(data.Scan0) +
                                                        static_cast<std::ptrdiff_t>(y) * data.Stride);
        pixels.insert(pixels.end(), row, row + data.Width);
    }
    EXPECT_EQ(GdipBitmapUnlockBits(bitmap, &data), Ok);
    return pixels;
}

std::vector<std::uint64_t> WidePixelsOf(GpBitmap* bitmap) {
    BitmapData data{};
    std::vector<std::uint64_t> pixels;
    if (GdipBitmapLockBits(bitmap, nullptr, ImageLockModeRead, PixelFormat64bppARGB, &data) != Ok) {
        ADD_FAILURE() << "lock failed";
        return pixels;
    }
    for (UINT y = 0; y < data.Height; ++y) {
        const auto* row = reinterpret_cast<const std::uint64_t*>(static_cast<const BYTE*>(data.Scan0) +
                                                                 static_cast<std::ptrdiff_t>(y) * data.Stride);
        pixels.insert(pixels.end(), row, row + data.Width);
    }
    EXPECT_EQ(GdipBitmapUnlockBits(bitmap, &data), Ok);
    return pixels;
}

int ChannelDistance(ARGB a, ARGB b) {
    int most = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        most = std::max(most, d < 0 ? -d : d);
    }
    return most;
}

ARGB Pattern(UINT x, UINT y) {
    return Rgb((40 * x + 7 * y) % 256, (3 * x + 50 * y) % 256, (x * x + 5 * y * y + 30) % 256);
}

unsigned PatternAlpha(UINT x, UINT y) { return (40 * x + 13 * y) % 256; }

std::uint16_t Pattern16(UINT x, UINT y, int channel) {
    switch (channel) {
        case 0: return static_cast<std::uint16_t>((9000 * x + 1234 * y) % 65536);
        case 1: return static_cast<std::uint16_t>((777 * x + 12345 * y) % 65536);
        case 2: return static_cast<std::uint16_t>((1000 * x * x + 3000 * y + 500) % 65536);
        default: return static_cast<std::uint16_t>((9000 * x + 5000 * y + 100) % 65536);
    }
}

unsigned Grey(UINT x, UINT y) { return (30 * x + 17 * y) % 256; }

std::uint16_t Grey16(UINT x, UINT y) { return static_cast<std::uint16_t>((9000 * x + 1111 * y) % 65536); }

ARGB Colours16(UINT x, UINT y) { return Rgb((3 * x + y) % 4 * 85, (x + 2 * y) % 4 * 85, 0); }

ARGB Colours4(UINT x, UINT y) {
    unsigned red = (3 * x + y) % 4 * 85;
    return Rgb(red, 0, 255 - red);
}

ARGB Smooth(UINT x, UINT y) { return Rgb(16 * x, 32 * y, 128); }

ARGB Blocks(UINT x, UINT y) {
    static const ARGB colours[8] = {Rgb(255, 0, 0),   Rgb(0, 255, 0),   Rgb(0, 0, 255),     Rgb(255, 255, 0),
                                    Rgb(0, 255, 255), Rgb(255, 0, 255), Rgb(255, 255, 255), Rgb(128, 128, 128)};
    return colours[(y / 8) * 4 + x / 8];
}

std::uint32_t Crc32(const BYTE* data, size_t size) { return hostile::Crc32(data, size); }

}  // namespace imaging_test

#pragma once
// Helpers shared by the imaging library's tests: fixture paths, temporary
// folders, start-up, and reading a bitmap's pixels back.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/imaging_testing.h"
#include "platform/imaging/startup.h"

namespace imaging_test {

using namespace gdiplus;

std::string FixturePath(const std::string& name);
std::vector<BYTE> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes);

// The path as the imaging library takes it: widened from the locale's code
// page, so bytes that are not text there become lone surrogates.
std::u16string WidePath(const std::string& path);

// A fresh folder removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // Names of the entries in the folder, sorted.
    std::vector<std::string> Entries() const;

private:
    std::string path_;
};

// Starts the library for a test and stops it after; checks that the test
// left no image or graphics behind.
class ImagingTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    ULONG_PTR token_ = 0;
    size_t images_ = 0;
    size_t graphics_ = 0;
};

// A bitmap that is disposed of when the holder goes.
class BitmapPtr {
public:
    BitmapPtr() = default;
    explicit BitmapPtr(GpBitmap* bitmap) : bitmap_(bitmap) {}
    ~BitmapPtr() { reset(); }
    BitmapPtr(BitmapPtr&& other) noexcept : bitmap_(other.bitmap_) { other.bitmap_ = nullptr; }
    BitmapPtr& operator=(BitmapPtr&& other) noexcept {
        if (this != &other) {
            reset();
            bitmap_ = other.bitmap_;
            other.bitmap_ = nullptr;
        }
        return *this;
    }
    GpBitmap* get() const { return bitmap_; }
    GpBitmap** out() {
        reset();
        return &bitmap_;
    }
    void reset();
    explicit operator bool() const { return bitmap_ != nullptr; }

private:
    GpBitmap* bitmap_ = nullptr;
};

Status Load(const std::string& path, BitmapPtr* bitmap);
// Load, then the picture's format and size: a failure names what differs.
::testing::AssertionResult LoadsAs(const std::string& path, PixelFormat format, UINT width, UINT height,
                                   BitmapPtr* bitmap);
// Decodes bytes written to a temporary file.
Status LoadBytes(const std::vector<BYTE>& bytes, BitmapPtr* bitmap);

PixelFormat FormatOf(GpBitmap* bitmap);
UINT WidthOf(GpBitmap* bitmap);
UINT HeightOf(GpBitmap* bitmap);
std::vector<ARGB> PaletteOf(GpBitmap* bitmap);

// Every pixel as 0xAARRGGBB, row by row, through a lock in 32bppARGB.
std::vector<ARGB> PixelsOf(GpBitmap* bitmap);
// Every pixel as 16-bit B, G, R, A, through a lock in 64bppARGB.
std::vector<std::uint64_t> WidePixelsOf(GpBitmap* bitmap);

// The largest difference of any channel between two pixels.
int ChannelDistance(ARGB a, ARGB b);

inline ARGB Rgb(unsigned r, unsigned g, unsigned b, unsigned a = 255) { return a << 24 | r << 16 | g << 8 | b; }

// The pictures the fixture script draws (see scripts/make-image-fixtures).
ARGB Pattern(UINT x, UINT y);
unsigned PatternAlpha(UINT x, UINT y);
std::uint16_t Pattern16(UINT x, UINT y, int channel);  // 0 red, 1 green, 2 blue, 3 alpha
unsigned Grey(UINT x, UINT y);
std::uint16_t Grey16(UINT x, UINT y);
ARGB Colours16(UINT x, UINT y);
ARGB Colours4(UINT x, UINT y);
ARGB Smooth(UINT x, UINT y);
ARGB Blocks(UINT x, UINT y);

// A parameterised case named after its fixture file (letters and digits
// kept, everything else '_'): INSTANTIATE_TEST_SUITE_P(..., NamedByFile()).
std::string TestNameOf(const std::string& file);
struct NamedByFile {
    template <typename Info>
    std::string operator()(const Info& info) const {
        return TestNameOf(info.param.file);
    }
};

// CRC-32 as PNG chunks carry it.
std::uint32_t Crc32(const BYTE* data, size_t size);

}  // namespace imaging_test

// Small files that declare gigabytes, files that are not files, and files
// made to keep a decoder busy: each is loaded in a child process with the
// budget of a machine with 8 GB, ends in a clear status, and never takes
// more than 64 MB above what the child held before. Beside each refused
// file, one just inside the rule that refuses it, which must still open.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>

#include <functional>
#include <string>

#include "tests/platform/imaging/hostile_files.h"
#include "tests/platform/imaging/imaging_test_support.h"

namespace {

using namespace gdiplus;
using namespace imaging_test;

constexpr size_t eightGbBudget = size_t{2} << 30;  // a quarter of 8 GB
constexpr size_t fuzzBudget = size_t{256} << 20;
constexpr long allowedKb = 64 * 1024;

using MakeFile = std::function<std::string(const TempFolder&)>;

MakeFile Bytes(std::function<std::vector<BYTE>()> make) {
    return [make](const TempFolder& folder) {
        std::string path = folder / "file";
        WriteBytes(path, make());
        return path;
    };
}

struct HostileCase {
    const char* what;
    MakeFile file;
    size_t budget;
    Status expected;
};

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.what; }

const HostileCase cases[] = {
    {"gif of 35 bytes, screen 40000 x 40000, one 1 x 1 frame", Bytes([] { return hostile::GifScreen(40000); }),
     eightGbBudget, OutOfMemory},
    {"gif screen 4096 x 4096, the most that needs no backing", Bytes([] { return hostile::GifScreen(4096); }),
     eightGbBudget, Ok},
    {"gif screen 6000 x 6000 with a later frame of one 64th of it", Bytes([] { return hostile::GifScreen(6000, 750); }),
     eightGbBudget, Ok},
    {"rle8 bmp 30000 x 30000 with only an end code", Bytes([] { return hostile::RleBitmapWithoutCodes(30000, 30000); }),
     eightGbBudget, OutOfMemory},
    {"rle8 bmp 4096 x 4096 with only an end code", Bytes([] { return hostile::RleBitmapWithoutCodes(4096, 4096); }),
     eightGbBudget, Ok},
    {"png with 20 text chunks of 15 MB inflated ahead of its pixels",
     Bytes([] { return hostile::PngWithTextAhead(20, 15u << 20); }), eightGbBudget, Ok},
    {"progressive jpeg whose coefficients pass the budget",
     Bytes([] { return hostile::ProgressiveJpeg(10000, 10000); }), fuzzBudget, OutOfMemory},
    {"progressive jpeg whose coefficients fit", Bytes([] { return hostile::ProgressiveJpeg(3000, 3000); }), fuzzBudget,
     Ok},
    {"jpeg of 500 scans", Bytes([] { return hostile::JpegWithScans(500); }), eightGbBudget, Ok},
    {"jpeg of 501 scans", Bytes([] { return hostile::JpegWithScans(501); }), eightGbBudget, GenericError},
    {"tiff whose strip runs past the end",
     Bytes([] { return hostile::TiffWithStrip(14000, 14000, 1, 14000u * 14000, 0); }), eightGbBudget, GenericError},
    {"tiff whose 64 deflated bytes declare 196 MB",
     Bytes([] { return hostile::TiffWithStrip(14000, 14000, 8, 64, 64); }), eightGbBudget, OutOfMemory},
    {"tiff whose strip is all there", Bytes([] { return hostile::TiffWithStrip(16, 16, 1, 256, 256); }), eightGbBudget,
     Ok},
    {"named pipe",
     [](const TempFolder& folder) {
         std::string path = folder / "pipe.png";
         EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
         return path;
     },
     eightGbBudget, UnknownImageFormat},
    {"device", [](const TempFolder&) { return std::string("/dev/zero"); }, eightGbBudget, UnknownImageFormat},
    {"1 GB of zeros without a signature",
     [](const TempFolder& folder) {
         std::string path = folder / "zeros.png";
         int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0600);
         EXPECT_EQ(ftruncate(fd, off_t{1} << 30), 0);
         close(fd);
         return path;
     },
     eightGbBudget, UnknownImageFormat},
};

class HostileFile : public ::testing::TestWithParam<HostileCase> {
protected:
    void SetUp() override {
        GdiplusStartupInput input;
        ASSERT_EQ(GdiplusStartup(&token_, &input, nullptr), Ok);
    }
    void TearDown() override { GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};

TEST_P(HostileFile, EndsInAStatusWithin64MbOfMemory) {
    TempFolder folder;
    const HostileCase& c = GetParam();
    std::string path = c.file(folder);
    hostile::ChildLoad load = hostile::LoadInChild(path, c.budget);
    EXPECT_EQ(load.status, c.expected);
    EXPECT_GT(load.baselineKb, 0) << "the child reported nothing";
    EXPECT_LT(load.peakKb - load.baselineKb, allowedKb)
        << "peak " << load.peakKb << " KB from a start of " << load.baselineKb << " KB";
}

INSTANTIATE_TEST_SUITE_P(Files, HostileFile, ::testing::ValuesIn(cases));

}  // namespace

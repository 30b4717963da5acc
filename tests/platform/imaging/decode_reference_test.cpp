// HEIF, AVIF, WebP and JPEG XL files decoded as their own library's
// command-line decoder decodes them: the same pixels as the PNG it writes,
// within one level where more than 8 bits a channel are reduced to 8.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "platform/imaging/bitmap.h"
#include "tests/platform/imaging/imaging_test_support.h"

extern char** environ;

namespace {

using namespace gdiplus;
using namespace imaging_test;

enum class Tool { heifConvert, dwebp, djxl };

// Runs the library's own decoder, writing the file as PNG; false when it
// does not end well.
bool WriteReferencePng(Tool tool, const std::string& in, const std::string& out) {
    std::vector<std::string> args;
    switch (tool) {
        case Tool::heifConvert: args = {"heif-convert", "--quiet", in, out}; break;
        case Tool::dwebp: args = {"dwebp", "-quiet", in, "-o", out}; break;
        case Tool::djxl: args = {"djxl", in, out, "--quiet"}; break;
    }
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The tools report progress on their standard streams.
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct ReferenceCase {
    const char* file;
    Tool tool;
    PixelFormat format;
    UINT width, height;
    int tolerance;  // per channel, at 8 bits
};

void PrintTo(const ReferenceCase& c, std::ostream* os) { *os << c.file; }

class DecodeLikeItsLibrary : public ImagingTest, public ::testing::WithParamInterface<ReferenceCase> {};

TEST_P(DecodeLikeItsLibrary, GivesThePixelsOfItsOwnDecoder) {
    const ReferenceCase& c = GetParam();
    BitmapPtr bitmap;
    ASSERT_TRUE(LoadsAs(FixturePath(c.file), c.format, c.width, c.height, &bitmap));

    TempFolder folder;
    const std::string reference = folder / "reference.png";
    ASSERT_TRUE(WriteReferencePng(c.tool, FixturePath(c.file), reference)) << "the library's own decoder";
    BitmapPtr expected;
    ASSERT_EQ(Load(reference, &expected), Ok);
    ASSERT_EQ(WidthOf(expected.get()), c.width);
    ASSERT_EQ(HeightOf(expected.get()), c.height);

    std::vector<ARGB> got = PixelsOf(bitmap.get()), want = PixelsOf(expected.get());
    ASSERT_EQ(got.size(), want.size());
    int worst = 0;
    for (size_t i = 0; i < got.size(); ++i) {
        // Under full transparency the colour does not matter.
        if ((want[i] >> 24) == 0 && (got[i] >> 24) == 0) continue;
        int distance = ChannelDistance(got[i], want[i]);
        worst = std::max(worst, distance);
        EXPECT_LE(distance, c.tolerance) << "pixel " << i << std::hex << ": " << got[i] << " vs " << want[i];
    }
    RecordProperty("worst", worst);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DecodeLikeItsLibrary,
                         ::testing::Values(
                             // HEIF: 8 bits straight to B, G, R (A); 10 and 12 bits to 16-bit channels.
                             ReferenceCase{"heic-smooth.heic", Tool::heifConvert, PixelFormat24bppRGB, 16, 8, 0},
                             ReferenceCase{"heic-pattern-10.heic", Tool::heifConvert, PixelFormat48bppRGB, 7, 5, 1},
                             ReferenceCase{"heic-alpha.heic", Tool::heifConvert, PixelFormat32bppARGB, 7, 5, 0},
                             ReferenceCase{"heic-orientation-6.heic", Tool::heifConvert, PixelFormat24bppRGB, 32, 16,
                                           0},
                             ReferenceCase{"avif-smooth.avif", Tool::heifConvert, PixelFormat24bppRGB, 16, 8, 0},
                             ReferenceCase{"avif-pattern-12.avif", Tool::heifConvert, PixelFormat48bppRGB, 7, 5, 1},
                             ReferenceCase{"avif-alpha.avif", Tool::heifConvert, PixelFormat32bppARGB, 7, 5, 0},
                             // WebP: lossy and lossless, with and without alpha.
                             ReferenceCase{"webp-lossy.webp", Tool::dwebp, PixelFormat24bppRGB, 16, 8, 0},
                             ReferenceCase{"webp-lossless.webp", Tool::dwebp, PixelFormat24bppRGB, 7, 5, 0},
                             ReferenceCase{"webp-alpha.webp", Tool::dwebp, PixelFormat32bppARGB, 7, 5, 0},
                             ReferenceCase{"webp-lossy-alpha.webp", Tool::dwebp, PixelFormat32bppARGB, 7, 5, 0},
                             // JPEG XL: lossless, lossy (XYB), 16 bits, alpha, grey, a JPEG kept whole.
                             ReferenceCase{"jxl-lossless.jxl", Tool::djxl, PixelFormat24bppRGB, 7, 5, 0},
                             ReferenceCase{"jxl-lossy.jxl", Tool::djxl, PixelFormat24bppRGB, 16, 8, 0},
                             ReferenceCase{"jxl-16.jxl", Tool::djxl, PixelFormat48bppRGB, 7, 5, 1},
                             ReferenceCase{"jxl-alpha.jxl", Tool::djxl, PixelFormat32bppARGB, 7, 5, 0},
                             ReferenceCase{"jxl-grey.jxl", Tool::djxl, PixelFormat24bppRGB, 7, 5, 0},
                             ReferenceCase{"jxl-orientation-5.jxl", Tool::djxl, PixelFormat24bppRGB, 32, 16, 0}),
                         NamedByFile());

}  // namespace

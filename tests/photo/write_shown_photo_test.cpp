// Writing what a photo window shows, the part of Save after its dialog:
// the file's size and pixels, and every way it can fail without leaving a
// file, replacing the user's file, or leaking a drawing object.
#include <gtest/gtest.h>

#include <stdio.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "image/dib_image.h"
#include "image/image_testing.h"
#include "photo/geometry.h"
#include "photo/save_command.h"
#include "platform/gdi/gdi.h"
#include "tests/image/image_test_support.h"

namespace {

std::string Contents(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A 24-bit photo whose every pixel differs from its neighbours.
void MakePhoto(CDibImage& photo, LONG width, LONG height) {
    ASSERT_TRUE(photo.CreateDib(width, height, 24, gdi::BI_RGB, nullptr, 0));
    for (LONG y = 0; y < height; ++y) {
        BYTE* row = photo.bits + static_cast<std::ptrdiff_t>(y) * photo.pitch;
        for (LONG x = 0; x < width; ++x) {
            row[3 * x] = static_cast<BYTE>(x * 7);
            row[3 * x + 1] = static_cast<BYTE>(y * 11);
            row[3 * x + 2] = static_cast<BYTE>(x + y);
        }
    }
}

std::uint32_t Pixel(const CDibImage& image, LONG x, LONG y) {
    const int bytes = image.bitsPerPixel / 8;
    const BYTE* p = image.bits + static_cast<std::ptrdiff_t>(y) * image.pitch + bytes * x;
    return std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
}

gdi::HDC NoSurface() { return nullptr; }

class WriteShownPhoto : public imagetest::ImageTest {
protected:
    void SetUp() override {
        ImageTest::SetUp();
        folder_ = std::filesystem::temp_directory_path() / ("pelmora_write_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::filesystem::remove_all(folder_);
        ImageTest::TearDown();
    }
    std::string Path(const std::string& name) const { return (folder_ / name).string(); }
    std::size_t FilesInFolder() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder_), {}));
    }

    std::filesystem::path folder_;
};

TEST_F(WriteShownPhoto, WritesTheClientSizeTurnedAsPainted) {
    // At the photo's own size each saved pixel is one stored pixel.
    const struct {
        LONG rotation;
        RECT client;
    } cases[] = {{0, {0, 0, 6, 4}}, {1, {0, 0, 4, 6}}, {2, {0, 0, 6, 4}}, {3, {0, 0, 4, 6}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rotation);
        CDibImage photo;
        MakePhoto(photo, 6, 4);
        const std::string path = Path("turned" + std::to_string(c.rotation) + ".png");
        ASSERT_EQ(::WriteShownPhoto(path.c_str(), photo, c.rotation, c.client), S_OK);
        CDibImage saved;
        ASSERT_EQ(saved.LoadFromFile(path.c_str()), S_OK);
        ASSERT_EQ(saved.width, c.client.right);
        ASSERT_EQ(saved.height, c.client.bottom);
        for (LONG y = 0; y < saved.height; ++y) {
            for (LONG x = 0; x < saved.width; ++x) {
                // Where the stored pixel of (x, y) comes from, turned back.
                const LONG sx[4] = {x, y, 5 - x, 5 - y};
                const LONG sy[4] = {y, 3 - x, 3 - y, x};
                EXPECT_EQ(Pixel(saved, x, y), Pixel(photo, sx[c.rotation], sy[c.rotation])) << x << ", " << y;
            }
        }
    }
}

TEST_F(WriteShownPhoto, ReducesAndEnlargesToTheClientSize) {
    CDibImage photo;
    MakePhoto(photo, 300, 200);
    for (const RECT client : {RECT{0, 0, 30, 20}, RECT{0, 0, 900, 600}, RECT{0, 0, 1, 1}}) {
        SCOPED_TRACE(testing::Message() << client.right << " x " << client.bottom);
        const std::string path = Path("scaled.bmp");
        ASSERT_EQ(::WriteShownPhoto(path.c_str(), photo, 0, client), S_OK);
        CDibImage saved;
        ASSERT_EQ(saved.LoadFromFile(path.c_str()), S_OK);
        EXPECT_EQ(saved.width, client.right);
        EXPECT_EQ(saved.height, client.bottom);
    }
}

TEST_F(WriteShownPhoto, WritesNothingAndKeepsTheUsersFileWhenItCannotSave) {
    const struct {
        const char* name;
        const char* file;  // the name written to, holding the user's file
        RECT client;
        bool emptyPhoto;
        bool noSurface;
    } cases[] = {
        {"unknown extension", "notes.txt", {0, 0, 30, 20}, false, false},
        {"no extension", "photo", {0, 0, 30, 20}, false, false},
        {"no height", "flat.png", {0, 0, 30, 0}, false, false},
        {"no width", "narrow.png", {0, 0, 0, 20}, false, false},
        {"inverted client", "inverted.png", {0, 0, -5, 20}, false, false},
        {"nothing to draw", "empty.png", {0, 0, 30, 20}, true, false},
        {"no drawing surface", "surface.png", {0, 0, 30, 20}, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Path(c.file);
        std::ofstream(path) << "the user's file";
        CDibImage photo;
        if (!c.emptyPhoto) MakePhoto(photo, 300, 200);
        if (c.noSurface) {
            MemoryDcPool::DeletePooledDcs();
            MemoryDcPoolTesting::SetDcFactory(NoSurface);
        }
        EXPECT_NE(::WriteShownPhoto(path.c_str(), photo, 0, c.client), S_OK);
        MemoryDcPoolTesting::SetDcFactory(nullptr);
        EXPECT_EQ(Contents(path), "the user's file");
        EXPECT_EQ(FilesInFolder(), 1u) << "no temporary file is left";
        std::filesystem::remove(path);
    }
    // A folder that is not there.
    CDibImage photo;
    MakePhoto(photo, 30, 20);
    EXPECT_NE(::WriteShownPhoto(Path("missing/folder.png").c_str(), photo, 0, RECT{0, 0, 4, 4}), S_OK);
    EXPECT_EQ(FilesInFolder(), 0u);
}

TEST_F(WriteShownPhoto, ReplacesAnExistingFileWhole) {
    CDibImage photo;
    MakePhoto(photo, 300, 200);
    const std::string path = Path("taken.jpg");
    std::ofstream(path) << std::string(100000, 'x');  // longer than the new file
    ASSERT_EQ(::WriteShownPhoto(path.c_str(), photo, 1, RECT{0, 0, 20, 30}), S_OK);
    const std::string contents = Contents(path);
    EXPECT_EQ(contents.substr(0, 3), "\xFF\xD8\xFF");
    EXPECT_EQ(contents.substr(contents.size() - 2), "\xFF\xD9") << "ends where the JPEG ends";
    CDibImage saved;
    ASSERT_EQ(saved.LoadFromFile(path.c_str()), S_OK);
    EXPECT_EQ(saved.width, 20);
    EXPECT_EQ(saved.height, 30);
    EXPECT_EQ(FilesInFolder(), 1u);
}

// What ExifTool, a reader of its own, finds in a file: one "-Group:Tag=value"
// line per tag, values as numbers.
std::string ExifToolSays(const std::string& arguments, const std::string& path) {
    std::string command = "exiftool -q -q -a -n -G1 " + arguments + " '" + path + "' 2>&1";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

TEST_F(WriteShownPhoto, TheCopyKeepsProfileAndCameraDataButNotPositionOrThumbnail) {
    CDibImage photo, bare;
    ASSERT_EQ(photo.LoadFromFile(PELMORA_FIXTURE_IMAGES "/jpeg-metadata.jpg"), S_OK);
    ASSERT_EQ(bare.LoadFromFile(PELMORA_FIXTURE_IMAGES "/jpeg-metadata.jpg"), S_OK);
    bare.CopyPropertyItems(CPropertyItemList());
    const std::string profile = Contents(PELMORA_FIXTURE_IMAGES "/metadata-profile.icc");
    ASSERT_FALSE(profile.empty());
    // ExifTool does not read a JPEG XL file's profile, which lies in its
    // codestream. With a profile a JPEG XL file keeps its pixels in the
    // profile's colour space, not the library's own, and so differs from one
    // without by what its lossy coding loses: a mean difference of a channel
    // up to 8 (a colour conversion would differ by more).
    const struct {
        const char* extension;
        bool profileShown;
        double tolerance;
    } cases[] = {{".jpg", true, 0},  {".png", true, 0},  {".tif", true, 0}, {".webp", true, 0},
                 {".heic", true, 0}, {".avif", true, 0}, {".jxl", false, 8}};
    for (const auto& c : cases) {
        const char* extension = c.extension;
        SCOPED_TRACE(extension);
        const std::string path = Path(std::string("copy") + extension), plain = Path(std::string("plain") + extension);
        // A quarter turn at another size than the photo's 32 x 16.
        ASSERT_EQ(::WriteShownPhoto(path.c_str(), photo, 1, RECT{0, 0, 12, 24}), S_OK);
        ASSERT_EQ(::WriteShownPhoto(plain.c_str(), bare, 1, RECT{0, 0, 12, 24}), S_OK);

        if (c.profileShown) {
            EXPECT_EQ(ExifToolSays("-b -ICC_Profile", path), profile) << "byte for byte";
        }
        const std::string tags = ExifToolSays("-args", path);
        for (const char* expected :
             {"-IFD0:Make=Fixture Camera Co\n", "-IFD0:Model=FC-1\n", "-ExifIFD:DateTimeOriginal=2024:05:17 09:41:00\n",
              "-IFD0:Orientation=1\n", "-ExifIFD:ExifImageWidth=12\n", "-ExifIFD:ExifImageHeight=24\n",
              "-XMP-dc:Title=Harbour at dawn\n", "-XMP-tiff:Orientation=1\n", "-XMP-exif:ExifImageWidth=12\n"}) {
            EXPECT_NE(tags.find(expected), std::string::npos) << expected << " in\n" << tags;
        }
        for (const char* dropped : {"GPS", "IFD1:", "Thumbnail", "Warning", "Error"}) {
            EXPECT_EQ(tags.find(dropped), std::string::npos) << dropped << " in\n" << tags;
        }
        // The metadata changes nothing in the picture.
        CDibImage saved, plainSaved;
        ASSERT_EQ(saved.LoadFromFile(path.c_str()), S_OK);
        ASSERT_EQ(plainSaved.LoadFromFile(plain.c_str()), S_OK);
        ASSERT_EQ(saved.width, 12);
        ASSERT_EQ(saved.height, 24);
        long difference = 0;
        for (LONG y = 0; y < saved.height; ++y) {
            for (LONG x = 0; x < saved.width; ++x) {
                const std::uint32_t a = Pixel(saved, x, y), b = Pixel(plainSaved, x, y);
                if (c.tolerance == 0) {
                    ASSERT_EQ(a, b);
                }
                for (int shift = 0; shift < 24; shift += 8) {
                    difference +=
                        std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
                }
            }
        }
        EXPECT_LE(static_cast<double>(difference) / (3.0 * saved.width * saved.height), c.tolerance);
    }
}

}  // namespace

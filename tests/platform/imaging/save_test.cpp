// Saving never loses a file: the target is replaced whole or not at all.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/codec_info.h"
#include "platform/imaging/safe_file_writer.h"
#include "tests/platform/imaging/imaging_test_support.h"

namespace {

using namespace gdiplus;
using namespace imaging_test;

class SaveTest : public ImagingTest {
protected:
    void SetUp() override {
        ImagingTest::SetUp();
        // 64 x 64 at 24 bits: a BMP of 12 342 bytes.
        ASSERT_EQ(GdipCreateBitmapFromScan0(64, 64, 0, PixelFormat24bppRGB, nullptr, bitmap.out()), Ok);
        WriteBytes(folder / "photo.bmp", before);
    }
    void TearDown() override {
        bitmap.reset();
        ImagingTest::TearDown();
    }

    Status Save(const std::string& path, const CLSID& encoder = ClsidBmpEncoder) {
        return GdipSaveImageToFile(bitmap.get(), WidePath(path).c_str(), &encoder, nullptr);
    }

    // The folder holds the old file, unchanged, and nothing else.
    void ExpectUntouched() {
        EXPECT_EQ(ReadBytes(folder / "photo.bmp"), before);
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{"photo.bmp"});
    }

    TempFolder folder;
    BitmapPtr bitmap;
    const std::vector<BYTE> before = {'o', 'l', 'd', ' ', 'p', 'h', 'o', 't', 'o'};
};

TEST_F(SaveTest, ReplacesAnExistingFileWholeKeepingItsPermissions) {
    ASSERT_EQ(chmod((folder / "photo.bmp").c_str(), 0640), 0);
    ASSERT_EQ(Save(folder / "photo.bmp"), Ok);
    std::vector<BYTE> after = ReadBytes(folder / "photo.bmp");
    EXPECT_EQ(after.size(), 54u + 64 * 64 * 3);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"photo.bmp"});
    struct stat info;
    ASSERT_EQ(stat((folder / "photo.bmp").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(SaveTest, ANewFileGetsTheUsualPermissions) {
    mode_t mask = umask(022);
    ASSERT_EQ(Save(folder / "new.png", ClsidPngEncoder), Ok);
    umask(mask);
    struct stat info;
    ASSERT_EQ(stat((folder / "new.png").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
}

TEST_F(SaveTest, AWriteThatFailsMidwayLeavesTheOldFile) {
    struct FaultAfter {
        explicit FaultAfter(size_t bytes) { SetWriteFaultAfter(bytes); }
        ~FaultAfter() { SetWriteFaultAfter(SIZE_MAX); }
    };
    for (size_t bytes : {size_t{0}, size_t{1}, size_t{100}, size_t{12341}}) {
        SCOPED_TRACE(bytes);
        FaultAfter fault(bytes);
        EXPECT_EQ(Save(folder / "photo.bmp"), Win32Error);
        ExpectUntouched();
    }
}

TEST_F(SaveTest, AFullDiskLeavesTheOldFile) {
    // A file-size limit fails writes past it as a full disk does, also for
    // the superuser.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(static_cast<int>(Save(folder / "photo.bmp")));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), Win32Error);
    ExpectUntouched();
}

TEST_F(SaveTest, ReadOnlyPlacesRefuseAndKeepTheirFiles) {
    // /proc takes no new files, for any user.
    EXPECT_NE(Save("/proc/pelmora-save-test.bmp"), Ok);
    EXPECT_FALSE(std::filesystem::exists("/proc/pelmora-save-test.bmp"));
    std::vector<BYTE> version = ReadBytes("/proc/version");
    EXPECT_NE(Save("/proc/version"), Ok);
    EXPECT_EQ(ReadBytes("/proc/version"), version);

    if (geteuid() != 0) {  // permission bits bind only others than the superuser
        ASSERT_EQ(chmod(folder.path().c_str(), 0555), 0);
        EXPECT_EQ(Save(folder / "photo.bmp"), AccessDenied);
        ASSERT_EQ(chmod(folder.path().c_str(), 0755), 0);
        ExpectUntouched();
    }
}

TEST_F(SaveTest, MissingFoldersAndFoldersAsTargetsAreRefused) {
    EXPECT_EQ(Save(folder / "no-such-folder/photo.bmp"), FileNotFound);
    ASSERT_TRUE(std::filesystem::create_directory(folder / "sub"));
    EXPECT_EQ(Save(folder / "sub"), AccessDenied);
    EXPECT_TRUE(std::filesystem::is_empty(folder / "sub"));
    std::filesystem::remove(folder / "sub");
    ExpectUntouched();
}

TEST_F(SaveTest, ALinkKeepsPointingAtTheReplacedFile) {
    std::filesystem::create_symlink("photo.bmp", folder / "link.bmp");
    ASSERT_EQ(Save(folder / "link.bmp"), Ok);
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.bmp"));
    EXPECT_EQ(ReadBytes(folder / "photo.bmp").size(), 54u + 64 * 64 * 3);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"link.bmp", "photo.bmp"}));
}

TEST_F(SaveTest, FileNamesThatAreNotTextKeepTheirBytes) {
    std::string name = "caf\xE9\xFF.png";
    ASSERT_EQ(Save(folder / name, ClsidPngEncoder), Ok);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{name, "photo.bmp"}));
}

}  // namespace

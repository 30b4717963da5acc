// Saving never loses a file: the target is replaced whole or not at all,
// only where writing to it would be allowed, and never somewhere a link
// planted by someone else leads. Every test runs with unnamed temporary
// files and with the named ones of file systems that have none.

#include <gtest/gtest.h>
#include <grp.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <functional>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/codec_info.h"
#include "platform/imaging/imaging_testing.h"
#include "platform/imaging/safe_file_writer.h"
#include "tests/platform/imaging/imaging_test_support.h"

namespace {

using namespace gdiplus;
using namespace imaging_test;

// An account of no one, present on every Debian system.
constexpr uid_t nobody = 65534;
constexpr gid_t nogroup = 65534;

enum class Temporary { unnamed, named };

void PrintTo(Temporary t, std::ostream* os) { *os << (t == Temporary::unnamed ? "unnamed" : "named"); }

class SaveTest : public ImagingTest, public ::testing::WithParamInterface<Temporary> {
protected:
    void SetUp() override {
        ImagingTest::SetUp();
        SetUnnamedTemporaryFiles(GetParam() == Temporary::unnamed);
        // 64 x 64 at 24 bits: a BMP of 12 342 bytes.
        ASSERT_EQ(GdipCreateBitmapFromScan0(64, 64, 0, PixelFormat24bppRGB, nullptr, bitmap.out()), Ok);
        WriteBytes(folder / "photo.bmp", before);
    }
    void TearDown() override {
        SetUnnamedTemporaryFiles(true);
        bitmap.reset();
        ImagingTest::TearDown();
    }

    Status Save(const std::string& path, const CLSID& encoder = ClsidBmpEncoder) {
        return GdipSaveImageToFile(bitmap.get(), WidePath(path).c_str(), &encoder, nullptr);
    }

    // The save in a child process that has dropped every privilege: as the
    // account of no one when the tests run as the superuser, as the tests'
    // own user otherwise.
    Status SaveUnprivileged(const std::string& path) {
        pid_t child = fork();
        if (child == 0) {
            if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setresgid(nogroup, nogroup, nogroup) != 0 ||
                                   setresuid(nobody, nobody, nobody) != 0)) {
                _exit(255);
            }
            _exit(static_cast<int>(Save(path)));
        }
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return GenericError;
        return static_cast<Status>(WEXITSTATUS(status));
    }

    // The folder holds the old file, unchanged, and nothing else.
    void ExpectUntouched() {
        EXPECT_EQ(ReadBytes(folder / "photo.bmp"), before);
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{"photo.bmp"});
    }

    TempFolder folder;
    BitmapPtr bitmap;
    const std::vector<BYTE> before = {'o', 'l', 'd', ' ', 'p', 'h', 'o', 't', 'o'};
    static constexpr size_t savedBytes = 54 + 64 * 64 * 3;
};

TEST_P(SaveTest, ReplacesAnExistingFileWholeKeepingItsPermissionsOwnerAndGroup) {
    ASSERT_EQ(chmod((folder / "photo.bmp").c_str(), 0640), 0);
    bool superuser = geteuid() == 0;
    if (superuser) {
        ASSERT_EQ(chown((folder / "photo.bmp").c_str(), nobody, nogroup), 0);
    }
    struct stat old;
    ASSERT_EQ(stat((folder / "photo.bmp").c_str(), &old), 0);

    ASSERT_EQ(Save(folder / "photo.bmp"), Ok);
    EXPECT_EQ(ReadBytes(folder / "photo.bmp").size(), savedBytes);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"photo.bmp"});
    struct stat info;
    ASSERT_EQ(stat((folder / "photo.bmp").c_str(), &info), 0);
    EXPECT_NE(info.st_ino, old.st_ino) << "a new file, not the old one written over";
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(info.st_uid, old.st_uid);
    EXPECT_EQ(info.st_gid, old.st_gid);
}

TEST_P(SaveTest, ANewFileGetsTheUsualPermissions) {
    mode_t mask = umask(027);
    ASSERT_EQ(Save(folder / "new.png", ClsidPngEncoder), Ok);
    umask(mask);
    struct stat info;
    ASSERT_EQ(stat((folder / "new.png").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"new.png", "photo.bmp"}));
}

TEST_P(SaveTest, AWriteThatFailsMidwayLeavesTheOldFile) {
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

TEST_P(SaveTest, AFullDiskLeavesTheOldFile) {
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

// Pauses a child's save at a chosen point of its write and tells the parent.
size_t pauseAt = 0;
int pausedSignal = -1;

void PauseThere(size_t written) {
    if (written < pauseAt) return;
    char paused = 'p';
    if (write(pausedSignal, &paused, 1) != 1) _exit(1);
    for (;;) pause();
}

TEST_P(SaveTest, AKilledSaveLeavesTheOldFileByteForByte) {
    // 1200 x 1000 at 24 bits: 3.6 MB, written a megabyte at a time.
    BitmapPtr large;
    ASSERT_EQ(GdipCreateBitmapFromScan0(1200, 1000, 0, PixelFormat24bppRGB, nullptr, large.out()), Ok);
    constexpr size_t largeBytes = 54 + 1200 * 1000 * 3;
    for (size_t point : {size_t{0}, largeBytes / 2, largeBytes}) {
        SCOPED_TRACE("killed after " + std::to_string(point) + " bytes");
        int channel[2];
        ASSERT_EQ(pipe(channel), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(channel[0]);
            pauseAt = point;
            pausedSignal = channel[1];
            SetWriteProbe(PauseThere);
            const Status saved =
                GdipSaveImageToFile(large.get(), WidePath(folder / "photo.bmp").c_str(), &ClsidBmpEncoder, nullptr);
            _exit(saved == Ok ? 0 : 1);
        }
        close(channel[1]);
        char paused = 0;
        ASSERT_EQ(read(channel[0], &paused, 1), 1) << "the save never reached the point";
        close(channel[0]);

        // Meanwhile the new file is readable by its owner alone, and has a
        // name only when the file system has no unnamed files.
        std::vector<std::string> entries = folder.Entries();
        struct stat temporary {};
        if (GetParam() == Temporary::named) {
            ASSERT_EQ(entries.size(), 2u);
            EXPECT_EQ(entries[0].rfind(".photo.bmp.", 0), 0u) << entries[0];
            ASSERT_EQ(stat((folder / entries[0]).c_str(), &temporary), 0);
        } else {
            EXPECT_EQ(entries, std::vector<std::string>{"photo.bmp"});
            for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(child) + "/fd")) {
                std::error_code error;
                std::string target = std::filesystem::read_symlink(fd.path(), error).string();
                if (target.rfind(folder.path() + "/#", 0) == 0) {
                    ASSERT_EQ(stat(fd.path().c_str(), &temporary), 0);
                }
            }
        }
        EXPECT_EQ(temporary.st_mode & 07777, 0600u);

        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_EQ(ReadBytes(folder / "photo.bmp"), before);
        // Only a named temporary file outlives its process.
        EXPECT_EQ(folder.Entries().size(), GetParam() == Temporary::named ? 2u : 1u);
        for (const std::string& entry : folder.Entries()) {
            if (entry != "photo.bmp") std::filesystem::remove(folder / entry);
        }
    }
    ASSERT_EQ(GdipSaveImageToFile(large.get(), WidePath(folder / "photo.bmp").c_str(), &ClsidBmpEncoder, nullptr), Ok);
    EXPECT_EQ(ReadBytes(folder / "photo.bmp").size(), largeBytes);
}

TEST_P(SaveTest, WhatTheUserMayNotWriteIsNotReplaced) {
    // The saver is the account of no one under the superuser, the tests'
    // own user otherwise; only the superuser can give a file to another.
    bool superuser = geteuid() == 0;
    struct Case {
        const char* what;
        mode_t folderMode;
        mode_t fileMode;
        bool fileOfAnother;
        Status expected;
    };
    const Case cases[] = {
        {"the saver's own file", 0777, 0644, false, Ok},
        {"a file with no write permission bit", 0777, 0444, false, AccessDenied},
        {"a file of another user, in a folder everyone may write to", 0777, 0644, true, AccessDenied},
        {"a folder without write permission", 0555, 0666, false, AccessDenied},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.fileOfAnother && !superuser) {
            std::printf("skipped \"%s\": making a file of another user needs the superuser\n", c.what);
            continue;
        }
        TempFolder place;
        std::string path = place / "photo.bmp";
        WriteBytes(path, before);
        ASSERT_EQ(chmod(path.c_str(), c.fileMode), 0);
        if (superuser) {
            // The folder and the file are the saver's, unless another's.
            ASSERT_EQ(chown(place.path().c_str(), nobody, nogroup), 0);
            if (!c.fileOfAnother) {
                ASSERT_EQ(chown(path.c_str(), nobody, nogroup), 0);
            }
        }
        ASSERT_EQ(chmod(place.path().c_str(), c.folderMode), 0);
        EXPECT_EQ(SaveUnprivileged(path), c.expected);
        ASSERT_EQ(chmod(place.path().c_str(), 0700), 0);
        if (c.expected == Ok) {
            EXPECT_EQ(ReadBytes(path).size(), savedBytes);
        } else {
            EXPECT_EQ(ReadBytes(path), before);
        }
        EXPECT_EQ(place.Entries(), std::vector<std::string>{"photo.bmp"});
    }

    // Read-only means read-only for the superuser too, as a read-only file
    // is on the platform whose behaviour the library keeps.
    ASSERT_EQ(chmod((folder / "photo.bmp").c_str(), 0444), 0);
    EXPECT_EQ(Save(folder / "photo.bmp"), AccessDenied);
    ExpectUntouched();
}

TEST_P(SaveTest, ReadOnlyPlacesRefuseAndKeepTheirFiles) {
    // /proc takes no new files, for any user.
    EXPECT_NE(Save("/proc/pelmora-save-test.bmp"), Ok);
    EXPECT_FALSE(std::filesystem::exists("/proc/pelmora-save-test.bmp"));
    std::vector<BYTE> version = ReadBytes("/proc/version");
    EXPECT_NE(Save("/proc/version"), Ok);
    EXPECT_EQ(ReadBytes("/proc/version"), version);
}

TEST_P(SaveTest, MissingFoldersAndFoldersAsTargetsAreRefused) {
    EXPECT_EQ(Save(folder / "no-such-folder/photo.bmp"), FileNotFound);
    ASSERT_TRUE(std::filesystem::create_directory(folder / "sub"));
    EXPECT_EQ(Save(folder / "sub"), AccessDenied);
    EXPECT_EQ(Save(folder / "sub/"), AccessDenied);
    EXPECT_TRUE(std::filesystem::is_empty(folder / "sub"));
    std::filesystem::remove(folder / "sub");
    ExpectUntouched();
}

TEST_P(SaveTest, ALinkLeadsWhereTheKernelLeadsItOrIsRefused) {
    struct Case {
        const char* what;
        const char* link;      // where the link in folder/links points
        const char* replaced;  // the file under folder that is replaced, or null when refused
    };
    const Case cases[] = {
        {"a link beside its file", "photo.bmp", "links/photo.bmp"},
        {"a link into another folder", "../photo.bmp", "photo.bmp"},
        {"a link to a link", "chained.bmp", "photo.bmp"},
        {"a dangling link", "../missing.bmp", nullptr},
        {"a link to a folder", "..", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::create_directory(folder / "links");
        WriteBytes(folder / "links/photo.bmp", before);
        std::filesystem::create_symlink("../photo.bmp", folder / "links/chained.bmp");
        std::filesystem::create_symlink(c.link, folder / "links/link.bmp");
        WriteBytes(folder / "photo.bmp", before);

        EXPECT_EQ(Save(folder / "links/link.bmp"), c.replaced != nullptr ? Ok : AccessDenied);
        EXPECT_TRUE(std::filesystem::is_symlink(folder / "links/link.bmp")) << "the link stays";
        for (const char* file : {"photo.bmp", "links/photo.bmp"}) {
            bool replaced = c.replaced != nullptr && std::string(file) == c.replaced;
            EXPECT_EQ(ReadBytes(folder / file).size(), replaced ? savedBytes : before.size()) << file;
        }
        EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"links", "photo.bmp"})) << "nothing made";
        std::filesystem::remove_all(folder / "links");
    }
}

TEST_P(SaveTest, ALinkPlantedInASharedFolderByAnotherIsNotFollowed) {
    if (geteuid() != 0) GTEST_SKIP() << "a link of another user can only be made by the superuser";
    // A folder like /tmp: everyone may write to it, its sticky bit set. The
    // link points at a file the victim (here the superuser) may write.
    ASSERT_TRUE(std::filesystem::create_directory(folder / "shared"));
    ASSERT_EQ(chmod((folder / "shared").c_str(), 01777), 0);
    std::filesystem::create_symlink("../photo.bmp", folder / "shared/planted.bmp");
    ASSERT_EQ(lchown((folder / "shared/planted.bmp").c_str(), nobody, nogroup), 0);
    EXPECT_EQ(Save(folder / "shared/planted.bmp"), AccessDenied);
    EXPECT_EQ(ReadBytes(folder / "photo.bmp"), before);

    // The folder's owner's own links are followed.
    std::filesystem::create_symlink("../photo.bmp", folder / "shared/own.bmp");
    EXPECT_EQ(Save(folder / "shared/own.bmp"), Ok);
    EXPECT_EQ(ReadBytes(folder / "photo.bmp").size(), savedBytes);
    std::filesystem::remove_all(folder / "shared");
}

TEST_P(SaveTest, FileNamesThatAreNotTextKeepTheirBytes) {
    std::string name = "caf\xE9\xFF.png";
    ASSERT_EQ(Save(folder / name, ClsidPngEncoder), Ok);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{name, "photo.bmp"}));
}

INSTANTIATE_TEST_SUITE_P(Temporaries, SaveTest, ::testing::Values(Temporary::unnamed, Temporary::named),
                         [](const auto& info) { return info.param == Temporary::unnamed ? "Unnamed" : "Named"; });

}  // namespace

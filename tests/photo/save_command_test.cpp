// The Save command, answered by typing as a user does: the dialog's
// settings, the encoder chosen by the typed name, Cancel, files that exist,
// windows with nothing to save, and what the file holds -- the window's own
// pixels as the screen shows them, in every rotation, reduced or enlarged.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

#include "image/dib_image.h"
#include "photo/photo_commands.h"
#include "platform/framework/framework.h"
#include "res/register_resources.h"
#include "tests/photo/photo_window_support.h"
#include "tests/photo/save_dialog_answer.h"
#include "tests/support/gui_pump.h"
#include "tests/support/print_types.h"
#include "tests/support/x_session.h"

namespace {

using namespace phototest;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

std::string Contents(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The pixels of a 24- or 32-bit image as 0x00RRGGBB, top row first.
Pixels PixelsOf(const CDibImage& image) {
    Pixels pixels;
    pixels.width = image.width;
    pixels.height = image.height;
    const int bytes = image.bitsPerPixel / 8;
    if (bytes != 3 && bytes != 4) return pixels;
    for (LONG y = 0; y < image.height; ++y) {
        const BYTE* row = image.bits + static_cast<std::ptrdiff_t>(y) * image.pitch;
        for (LONG x = 0; x < image.width; ++x) {
            const BYTE* p = row + bytes * x;
            pixels.rgb.push_back(std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0]);
        }
    }
    return pixels;
}

class SaveCommand : public PhotoWindowTest {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(res::RegisterResources()); }

    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("pelmora_save_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
        PhotoWindowTest::SetUp();
        app_.mainWindow = &owner_;
    }
    void TearDown() override {
        app_.mainWindow = nullptr;
        PhotoWindowTest::TearDown();
        std::filesystem::remove_all(folder_);
    }

    // Runs the command on photo, active as after a right-click, typing name
    // into the dialog (empty: Esc).
    std::shared_ptr<SaveDialogSeen> Save(const OpenedPhoto& photo, const std::string& name, bool replace = true) {
        user::SetActiveWindow(photo.Handle());
        EXPECT_TRUE(PumpUntil([&] { return user::GetActiveWindow() == photo.Handle(); }));
        auto seen = AnswerSaveDialog(name, photo.Handle(), replace);
        user::SendMessageA(photo.Handle(), user::WM_COMMAND, commandSave, 0);
        EXPECT_TRUE(PumpUntil([&] { return seen->finished; }, std::chrono::seconds(25)));
        EXPECT_FALSE(seen->timedOut);
        EXPECT_TRUE(seen->otherBoxes.empty()) << "the command shows nothing of its own";
        return seen;
    }

    std::string Path(const std::string& name) const { return (folder_ / name).string(); }
    bool FolderIsEmpty() const { return std::filesystem::is_empty(folder_); }

    // The file decoded, or an empty picture.
    static Pixels Load(const std::string& path) {
        CDibImage image;
        if (image.LoadFromFile(path.c_str()) != S_OK) return Pixels{};
        return PixelsOf(image);
    }

    user::CWinApp app_;
    std::filesystem::path folder_;
};

TEST_F(SaveCommand, TheTypedNameChoosesTheEncoderAndAnUnknownOneWritesNothing) {
    OpenedPhoto& photo = Open(600, 400, Sized(200, 150, 300, 200), "named photo");
    const struct {
        const char* typed;
        const char* written;  // null: nothing
        std::string signature;
    } cases[] = {
        {"resized", "resized.jpg", "\xFF\xD8\xFF"},  // the default extension
        {"SHOT.PNG", "SHOT.PNG", "\x89PNG"},         // capitals
        {"shot.bmp", "shot.bmp", "BM"},
        {"shot.gif", "shot.gif", "GIF8"},
        {"notes.txt", nullptr, ""},
        {"photo.tar", nullptr, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        const auto seen = Save(photo, Path(c.typed));
        ASSERT_TRUE(seen->shown);
        if (!c.written) {
            EXPECT_TRUE(FolderIsEmpty()) << "not even a temporary file is left";
            continue;
        }
        const std::string contents = Contents(folder_ / c.written);
        EXPECT_EQ(contents.substr(0, c.signature.size()), c.signature);
        const Pixels saved = Load(Path(c.written));
        EXPECT_EQ(saved.width, 300);
        EXPECT_EQ(saved.height, 200);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1) << "one file, no leftovers";
    }
}

TEST_F(SaveCommand, TheDialogOffersThePhotoTypesAndDisablesOnlyThePhotoWindow) {
    OpenedPhoto& photo = Open(600, 400, Sized(200, 150, 300, 200), "asking photo");
    OpenedPhoto& other = Open(600, 400, Sized(900, 150, 300, 200), "other photo");
    const auto seen = Save(photo, "");
    ASSERT_TRUE(seen->shown);
    EXPECT_EQ(seen->filters, (std::vector<std::string>{"JPEG Files (*.jpg)", "Bitmap Files (*.bmp)",
                                                       "GIF Files (*.gif)", "PNG Files (*.png)"}));
    EXPECT_EQ(seen->selectedFilter, "JPEG Files (*.jpg)");
    EXPECT_EQ(seen->defaultSuffix, "jpg");
    EXPECT_EQ(seen->nameField, "*.jpg");
    EXPECT_TRUE(seen->confirmsOverwrite);
    EXPECT_FALSE(seen->ownerEnabled);
    EXPECT_TRUE(user::IsWindowEnabled(photo.Handle()));
    EXPECT_TRUE(user::IsWindowEnabled(other.Handle()));
    EXPECT_TRUE(FolderIsEmpty()) << "Cancel writes nothing";
}

TEST_F(SaveCommand, AnExistingFileIsReplacedOnlyWhenTheUserSaysSo) {
    OpenedPhoto& photo = Open(600, 400, Sized(200, 150, 300, 200), "replacing photo");
    const std::string taken = Path("taken.png");
    std::ofstream(taken) << "the user's file";
    auto seen = Save(photo, taken, false);
    EXPECT_TRUE(seen->askedToReplace);
    EXPECT_EQ(Contents(taken), "the user's file");
    seen = Save(photo, taken, true);
    EXPECT_TRUE(seen->askedToReplace);
    EXPECT_EQ(Contents(taken).substr(0, 4), "\x89PNG");
    EXPECT_EQ(Load(taken).width, 300);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1) << "no leftovers";
}

TEST_F(SaveCommand, TheFileHasTheClientSizeInTheWindowsRotation) {
    // Upright and after a quarter turn; never the photo's own size.
    OpenedPhoto& photo = Open(1200, 800, Sized(200, 150, 300, 200), "sized photo");
    const struct {
        const char* name;
        LONG width, height;
    } cases[] = {{"upright.png", 300, 200}, {"turned.png", 200, 300}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WaitForRect(x_, "sized photo", photo.Handle(), Sized(200, 150, c.width, c.height)));
        Save(photo, Path(c.name));
        const Pixels saved = Load(Path(c.name));
        EXPECT_EQ(saved.width, c.width);
        EXPECT_EQ(saved.height, c.height);
        user::SendMessageA(photo.Handle(), user::WM_COMMAND, commandRotate, 0);
    }
}

TEST_F(SaveCommand, TwoQuarterTurnsSaveThePhotoUpsideDown) {
    // Shown at its own size, so that each saved pixel is one stored pixel.
    OpenedPhoto& photo = Open(160, 120, Sized(200, 150, 160, 120), "upside-down photo");
    for (int turn = 0; turn < 2; ++turn) user::SendMessageA(photo.Handle(), user::WM_COMMAND, commandRotate, 0);
    ASSERT_EQ(photo.window->rotation, 2);
    ASSERT_TRUE(WaitForRect(x_, "upside-down photo", photo.Handle(), Sized(200, 150, 160, 120)));
    Save(photo, Path("upside-down.png"));
    const Pixels saved = Load(Path("upside-down.png"));
    const Pixels stored = PixelsOf(photo.window->image);
    ASSERT_EQ(saved.width, 160);
    ASSERT_EQ(saved.height, 120);
    int differing = 0;
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 160; ++x) differing += saved.At(x, y) != stored.At(159 - x, 119 - y);
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(SaveCommand, AWindowWithoutAreaWritesNothing) {
    OpenedPhoto& photo = Open(1000, 5, Sized(200, 150, 400, 50), "thin photo");
    const struct {
        const char* name;
        int width, height;
    } cases[] = {{"flat.png", 10, 0}, {"narrow.jpg", 0, 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        user::MoveWindow(photo.Handle(), 200, 150, c.width, c.height, TRUE);
        RECT client{};
        user::GetClientRect(photo.Handle(), &client);
        ASSERT_EQ(client.right, c.width);
        ASSERT_EQ(client.bottom, c.height);
        Save(photo, Path(c.name));
        EXPECT_TRUE(FolderIsEmpty());
    }
}

// What is saved is what is seen: the PNG saved from a window equals the
// window's pixels read back from the screen, in every rotation.
struct ShownPhoto {
    const char* name;
    LONG imageWidth, imageHeight;
    friend void PrintTo(const ShownPhoto& p, std::ostream* os) {
        *os << p.name << " " << p.imageWidth << " x " << p.imageHeight << " photo";
    }
};
class SavedAsSeen : public SaveCommand, public testing::WithParamInterface<ShownPhoto> {};

TEST_P(SavedAsSeen, ThePngHoldsTheScreensPixelsInEveryRotation) {
    const ShownPhoto p = GetParam();
    const RECT sizes[4] = {Sized(100, 120, 300, 200), Sized(100, 120, 200, 300), Sized(100, 120, 300, 200),
                           Sized(100, 120, 200, 300)};
    OpenedPhoto& photo = Open(p.imageWidth, p.imageHeight, sizes[0], "seen photo");
    for (LONG turn = 0; turn < 4; ++turn) {
        SCOPED_TRACE(testing::Message() << turn << " turns");
        const RECT rect = sizes[turn];
        const LONG width = rect.right - rect.left;
        const LONG height = rect.bottom - rect.top;
        ASSERT_TRUE(WaitForRect(x_, "seen photo", photo.Handle(), rect));
        // Once the window's paint has reached the screen.
        const Pixels painted = DirectDrawing(photo.window->image, turn, width, height);
        PumpUntil([&] { return x_.Grab(rect.left, rect.top, width, height) == painted; });
        const Pixels onScreen = x_.Grab(rect.left, rect.top, width, height);

        const std::string path = Path("seen" + std::to_string(turn) + ".png");
        Save(photo, path);
        const Pixels saved = Load(path);
        ASSERT_EQ(saved.width, width);
        ASSERT_EQ(saved.height, height);
        int differing = 0;
        for (std::size_t i = 0; i < saved.rgb.size(); ++i) differing += saved.rgb[i] != onScreen.rgb[i];
        EXPECT_EQ(differing, 0) << "of " << saved.rgb.size() << " pixels";
        user::SendMessageA(photo.Handle(), user::WM_COMMAND, commandRotate, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(ReducedAndEnlarged, SavedAsSeen,
                         testing::Values(ShownPhoto{"reduced", 900, 600}, ShownPhoto{"enlarged", 120, 80}),
                         [](const testing::TestParamInfo<ShownPhoto>& info) { return std::string(info.param.name); });

}  // namespace

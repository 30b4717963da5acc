// The open and save dialogs' record: the path and where its name and
// extension start, the file type chosen, and why a dialog returned FALSE.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/user/user.h"
#include "tests/platform/user/file_dialog_answer.h"
#include "tests/platform/user/recording_window.h"
#include "tests/support/gui_pump.h"

namespace {

using namespace user;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

constexpr char filter[] = "JPEG Files (*.jpg)\0*.jpg\0PNG Files (*.png)\0*.png\0";

TEST(CommonDialogs, TheRecordTellsThePathItsPartsAndWhyNot) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("pelmora_common_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string photo = (folder / "beach.png").string();
    if (std::FILE* file = std::fopen(photo.c_str(), "w")) std::fclose(file);
    const std::string noExtension = (folder / "notes").string();
    const HWND owner = usertest::CreateRecordingWindow("common dialog owner", 100, 100, 300, 200);

    const struct {
        const char* name;
        bool open;
        DWORD structSize;
        std::string answer;  // the path chosen; empty: cancelled
        bool shown;          // whether the dialog comes up at all
        DWORD maxFile;
        DWORD filterIndex;
        BOOL result;
        DWORD error;
        DWORD filterIndexAfter;
        WORD fileOffset;
        WORD fileExtension;
    } cases[] = {
        // Each row after the first follows a failure of another kind, so a
        // reason left from the row before shows.
        {"wrong record size", true, sizeof(OPENFILENAMEA) - 4, photo, false, 4096, 1, FALSE, CDERR_STRUCTSIZE, 1, 0, 0},
        {"opened", true, sizeof(OPENFILENAMEA), photo, true, 4096, 0, TRUE, 0, 1,
         static_cast<WORD>(folder.string().size() + 1), static_cast<WORD>(photo.size() - 3)},
        {"path too long", true, sizeof(OPENFILENAMEA), photo, true, 8, 1, FALSE, FNERR_BUFFERTOOSMALL, 1, 0, 0},
        {"cancelled", true, sizeof(OPENFILENAMEA), "", true, 4096, 1, FALSE, 0, 1, 0, 0},
        {"saved without extension", false, sizeof(OPENFILENAMEA), noExtension, true, 4096, 2, TRUE, 0, 2,
         static_cast<WORD>(folder.string().size() + 1), static_cast<WORD>(noExtension.size())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string file(c.maxFile, '\0');
        OPENFILENAMEA ofn{};
        ofn.lStructSize = c.structSize;
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = filter;
        ofn.nFilterIndex = c.filterIndex;
        ofn.lpstrFile = file.data();
        ofn.nMaxFile = c.maxFile;
        ofn.Flags = c.open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT;
        const auto answered = c.shown ? usertest::AnswerNextFileDialog(c.answer) : nullptr;
        EXPECT_EQ(c.open ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn), c.result);
        EXPECT_EQ(CommDlgExtendedError(), c.error);
        EXPECT_TRUE(!answered || *answered) << "the dialog was shown";
        EXPECT_TRUE(IsWindowEnabled(owner));
        if (c.result) {
            EXPECT_EQ(file.c_str(), c.answer);
            EXPECT_EQ(ofn.nFilterIndex, c.filterIndexAfter);
            EXPECT_EQ(ofn.nFileOffset, c.fileOffset);
            EXPECT_EQ(ofn.nFileExtension, c.fileExtension);
        } else if (c.error == FNERR_BUFFERTOOSMALL) {
            WORD needed = 0;
            std::memcpy(&needed, file.data(), sizeof needed);
            EXPECT_EQ(needed, photo.size() + 1) << "the size needed, in the buffer's first two bytes";
        }
    }
    DestroyWindow(owner);
    std::filesystem::remove_all(folder);
}

}  // namespace

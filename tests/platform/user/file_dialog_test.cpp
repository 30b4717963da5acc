// The open and save dialogs: filter list, default extension, the question
// before replacing a file, owners disabled like any modal run, the focus
// given back, and paths of any length. A helper thread answers the dialog
// by typing, as a user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

#include <cstdio>
#include <filesystem>
#include <future>
#include <string>

#include "platform/user/user.h"
#include "tests/platform/user/test_dialogs.h"
#include "tests/support/gui_pump.h"
#include "tests/support/x_session.h"

namespace {

using namespace user;
using testsupport::CXSession;
using testsupport::RunSoon;
using usertest::CPlainWnd;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

constexpr const char* photoFilter =
    "JPEG Files (*.jpg)|*.jpg|Bitmap Files (*.bmp)|*.bmp|GIF Files (*.gif)|*.gif|PNG Files (*.png)|*.png||";

QFileDialog* OpenFileDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog && dialog->isVisible()) return dialog;
    }
    return nullptr;
}

// What the dialog looked like once it was up, noted on the GUI thread.
struct Seen {
    bool shown = false;
    QStringList filters;
    QString selectedFilter;
    QString suffix;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    bool confirmsOverwrite = false;
    QString nameField;
    bool ownerEnabled = true;
    bool mainEnabled = true;
    bool siblingEnabled = false;
    bool askedToReplace = false;
};

void WatchDialog(Seen* seen, HWND owner, HWND main, HWND sibling) {
    RunSoon([=] {
        QFileDialog* dialog = OpenFileDialog();
        if (!dialog) return WatchDialog(seen, owner, main, sibling);
        seen->shown = true;
        seen->filters = dialog->nameFilters();
        seen->selectedFilter = dialog->selectedNameFilter();
        seen->suffix = dialog->defaultSuffix();
        seen->mode = dialog->fileMode();
        seen->confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) seen->nameField = name->text();
        seen->ownerEnabled = IsWindowEnabled(owner) != FALSE;
        seen->mainEnabled = IsWindowEnabled(main) != FALSE;
        seen->siblingEnabled = IsWindowEnabled(sibling) != FALSE;
    }, std::chrono::milliseconds(10));
}

// Notes a question about replacing a file when one comes up.
void WatchForQuestion(Seen* seen) {
    RunSoon([=] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible() && box->text().contains(QStringLiteral("already exists"))) {
                seen->askedToReplace = true;
                return;
            }
        }
        if (OpenFileDialog()) WatchForQuestion(seen);
    }, std::chrono::milliseconds(10));
}

// Types keys into whatever has the keyboard once the dialog is up.
std::future<void> Answer(const std::string& title, std::vector<std::string> steps) {
    return testsupport::OnHelperThread([title, steps] {
        CXSession x;
        if (!x.WaitForWindow(title, std::chrono::seconds(10))) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        for (const std::string& step : steps) {
            if (step.rfind("key:", 0) == 0) {
                x.TapKey(step.c_str() + 4);
            } else {
                x.TypeText(step);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    });
}

class FileDialogs : public testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("pelmora_dialog_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
        ASSERT_TRUE(main_.Create("dialog main", 100, 100, 300, 200));
        ASSERT_TRUE(photo_.Create("dialog photo", 500, 300, 300, 200, main_.GetSafeHwnd(), WS_POPUP | WS_VISIBLE));
        ASSERT_TRUE(other_.Create("dialog other", 900, 300, 200, 200, main_.GetSafeHwnd(), WS_POPUP | WS_VISIBLE));
        app_.mainWindow = &main_;
        SetActiveWindow(photo_.GetSafeHwnd());
        ASSERT_TRUE(testsupport::PumpUntil([&] { return GetActiveWindow() == photo_.GetSafeHwnd(); }));
    }
    void TearDown() override {
        app_.mainWindow = nullptr;
        std::filesystem::remove_all(folder_);
    }
    std::string Touch(const std::string& name) {
        const std::string path = folder_.string() + "/" + name;
        std::FILE* file = std::fopen(path.c_str(), "w");
        if (file) std::fclose(file);
        return path;
    }

    CWinApp app_;
    CPlainWnd main_;
    CPlainWnd photo_;
    CPlainWnd other_;
    std::filesystem::path folder_;
};

TEST_F(FileDialogs, OpenDialogOffersTheFiltersAndReturnsTheTypedPath) {
    const std::string photo = Touch("holiday.jpg");
    CFileDialog dialog(TRUE, "jpg", "*.jpg", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, photoFilter);
    EXPECT_EQ(dialog.Flags(), 0x00081024u) << "the framework adds OFN_EXPLORER and OFN_ENABLEHOOK";
    Seen seen;
    WatchDialog(&seen, photo_.GetSafeHwnd(), main_.GetSafeHwnd(), other_.GetSafeHwnd());
    auto typing = Answer("Open", {photo, "key:Return"});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    typing.get();
    EXPECT_EQ(dialog.GetPathName(), photo);
    EXPECT_EQ(dialog.GetFileName(), "holiday.jpg");
    EXPECT_EQ(dialog.GetFileExt(), "jpg");

    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.filters, (QStringList{"JPEG Files (*.jpg)", "Bitmap Files (*.bmp)", "GIF Files (*.gif)",
                                         "PNG Files (*.png)"}));
    EXPECT_EQ(seen.selectedFilter, "JPEG Files (*.jpg)");
    EXPECT_EQ(seen.suffix, "jpg");
    EXPECT_EQ(seen.mode, QFileDialog::ExistingFile);
    EXPECT_EQ(seen.nameField, "*.jpg");
    EXPECT_FALSE(seen.ownerEnabled);
    EXPECT_FALSE(seen.mainEnabled);
    EXPECT_TRUE(seen.siblingEnabled);
    EXPECT_TRUE(IsWindowEnabled(photo_.GetSafeHwnd()) && IsWindowEnabled(main_.GetSafeHwnd()));
}

TEST_F(FileDialogs, OpenDialogRefusesMissingFilesAndCancels) {
    CFileDialog dialog(TRUE, "jpg", "*.jpg", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, photoFilter);
    // The missing name is refused (the dialog says so and stays); Esc
    // closes the notice, Esc again cancels.
    auto typing = Answer("Open", {folder_.string() + "/missing.jpg", "key:Return", "key:Escape", "key:Escape"});
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    typing.get();
    EXPECT_TRUE(dialog.GetPathName().empty());
}

TEST_F(FileDialogs, SaveDialogAddsTheDefaultExtensionAndGivesTheFocusBack) {
    SetFocus(photo_.GetSafeHwnd());
    const HWND focusBefore = GetFocus();
    CFileDialog dialog(FALSE, "jpg", "*.jpg", OFN_OVERWRITEPROMPT, photoFilter);
    auto typing = Answer("Save As", {folder_.string() + "/resized", "key:Return"});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    typing.get();
    EXPECT_EQ(dialog.GetPathName(), folder_.string() + "/resized.jpg");
    EXPECT_FALSE(std::filesystem::exists(folder_ / "resized.jpg")) << "the dialog only names the file";
    EXPECT_EQ(GetFocus(), focusBefore);
}

TEST_F(FileDialogs, SavingOverAnExistingFileAsksFirst) {
    const std::string existing = Touch("taken.png");
    {
        // Return takes the question's default, No: the dialog stays, and
        // Esc then cancels it.
        CFileDialog dialog(FALSE, "jpg", "*.jpg", OFN_OVERWRITEPROMPT, photoFilter);
        Seen seen;
        WatchForQuestion(&seen);
        auto typing = Answer("Save As", {existing, "key:Return", "key:Return", "key:Escape"});
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        typing.get();
        EXPECT_TRUE(seen.askedToReplace);
        EXPECT_TRUE(dialog.GetPathName().empty());
    }
    {
        CFileDialog dialog(FALSE, "jpg", "*.jpg", OFN_OVERWRITEPROMPT, photoFilter);
        auto typing = Answer("Save As", {existing, "key:Return", "y"});
        EXPECT_EQ(dialog.DoModal(), IDOK);
        typing.get();
        EXPECT_EQ(dialog.GetPathName(), existing);
    }
}

TEST_F(FileDialogs, LongPathsComeBackWhole) {
    std::filesystem::path deep = folder_;
    for (int i = 0; i < 6; ++i) deep /= std::string(50, static_cast<char>('a' + i));
    std::filesystem::create_directories(deep);
    const std::string path = (deep / "photo.jpg").string();
    ASSERT_GT(path.size(), 300u);
    CFileDialog dialog(FALSE, "jpg", "*.jpg", OFN_OVERWRITEPROMPT, photoFilter);
    auto typing = Answer("Save As", {path, "key:Return"});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    typing.get();
    EXPECT_EQ(dialog.GetPathName(), path);
}

}  // namespace

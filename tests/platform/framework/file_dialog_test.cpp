// The open and save dialogs: filter list, default extension, the question
// before replacing a file, owners disabled like any modal run, the focus
// given back, and paths of any length. A helper thread answers the dialog
// by typing, as a user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>

#include <cstdio>
#include <filesystem>
#include <atomic>
#include <future>
#include <memory>
#include <mutex>
#include <string>

#include "platform/framework/framework.h"
#include "tests/platform/framework/test_dialogs.h"
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

// The names in the dialog's list of files, sorted.
QStringList ListedFiles(QFileDialog* dialog) {
    QStringList names;
    auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
    if (!list || !list->model()) return names;
    const QModelIndex folder = list->rootIndex();
    for (int row = 0; row < list->model()->rowCount(folder); ++row) {
        names.append(list->model()->index(row, 0, folder).data().toString());
    }
    names.sort();
    return names;
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
    RunSoon(
        [=] {
            QFileDialog* dialog = OpenFileDialog();
            if (!dialog) return WatchDialog(seen, owner, main, sibling);
            seen->shown = true;
            seen->filters = dialog->nameFilters();
            seen->selectedFilter = dialog->selectedNameFilter();
            seen->suffix = dialog->defaultSuffix();
            seen->mode = dialog->fileMode();
            seen->confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                seen->nameField = name->text();
            seen->ownerEnabled = IsWindowEnabled(owner) != FALSE;
            seen->mainEnabled = IsWindowEnabled(main) != FALSE;
            seen->siblingEnabled = IsWindowEnabled(sibling) != FALSE;
        },
        std::chrono::milliseconds(10));
}

// Watches, on the GUI thread, for the moments the typing may go on: the
// dialog up with its name field focused, the question about replacing a
// file, or another notice. Without a window manager nobody hands the
// activation back to the dialog when a notice closes: the watcher does.
// A dialog still up after the time limit is closed, so that a lost key
// fails the test instead of hanging it.
struct Readiness {
    std::atomic<bool> dialog{false};
    std::atomic<bool> question{false};
    std::atomic<bool> notice{false};
    std::atomic<bool> typed{false};
    std::atomic<bool> listed{false};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    QString typing;  // what the name field should show once typed
    // What the list should show, with the name field holding listedName.
    QStringList listing;
    QString listedName;
    bool askedToReplace = false;
    bool timedOut = false;
};

void Watch(std::shared_ptr<Readiness> ready, std::chrono::steady_clock::time_point limit) {
    RunSoon(
        [ready, limit] {
            if (ready->stop) return;
            QFileDialog* dialog = OpenFileDialog();
            QMessageBox* box = nullptr;
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* candidate = qobject_cast<QMessageBox*>(widget); candidate && candidate->isVisible())
                    box = candidate;
            }
            if (box && box->isActiveWindow()) {
                const bool question = box->text().contains(QStringLiteral("already exists"));
                ready->askedToReplace = ready->askedToReplace || question;
                (question ? ready->question : ready->notice) = true;
            } else if (dialog && !box) {
                if (!dialog->isActiveWindow()) dialog->activateWindow();
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                // The completer's pop-up would take the keys typed after it.
                if (name && name->completer()) name->setCompleter(nullptr);
                if (dialog->isActiveWindow() && name && QApplication::focusWidget() == name) ready->dialog = true;
                std::lock_guard lock(ready->mutex);
                if (name && name->text() == ready->typing) ready->typed = true;
                if (name && !ready->listing.isEmpty() && name->text() == ready->listedName &&
                    ListedFiles(dialog) == ready->listing) {
                    ready->listed = true;
                }
            }
            if (dialog && std::chrono::steady_clock::now() > limit) {
                ready->timedOut = true;
                if (box) box->reject();
                dialog->reject();
                return;
            }
            Watch(ready, limit);
        },
        std::chrono::milliseconds(10));
}

// Types into the dialog once it is ready: text, "key:<keysym>", or
// "wait:dialog" / "wait:typed" / "wait:question" / "wait:notice" /
// "wait:listed" to wait for that moment first.
std::future<void> Answer(std::shared_ptr<Readiness> ready, std::vector<std::string> steps) {
    Watch(ready, std::chrono::steady_clock::now() + std::chrono::seconds(20));
    return testsupport::OnHelperThread([ready, steps] {
        CXSession x;
        for (const std::string& step : steps) {
            if (step.rfind("wait:", 0) == 0) {
                std::atomic<bool>& flag = step == "wait:question" ? ready->question
                                          : step == "wait:notice" ? ready->notice
                                          : step == "wait:typed"  ? ready->typed
                                          : step == "wait:listed" ? ready->listed
                                                                  : ready->dialog;
                const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
                while (!flag && std::chrono::steady_clock::now() < end)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                // The next wait looks for a state the next key brings.
                ready->dialog = ready->question = ready->notice = ready->typed = ready->listed = false;
            } else if (step.rfind("key:", 0) == 0) {
                x.TapKey(step.c_str() + 4);
            } else {
                {
                    std::lock_guard lock(ready->mutex);
                    ready->typing = QString::fromStdString(step);
                }
                x.TypeText(step);
            }
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
        ready_->stop = true;
        app_.mainWindow = nullptr;
        std::filesystem::remove_all(folder_);
    }
    std::string Touch(const std::string& name) {
        const std::string path = folder_.string() + "/" + name;
        std::FILE* file = std::fopen(path.c_str(), "w");
        if (file) std::fclose(file);
        return path;
    }

    std::shared_ptr<Readiness> ready_ = std::make_shared<Readiness>();
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
    auto typing = Answer(ready_, {"wait:dialog", photo, "wait:typed", "key:Return"});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    typing.get();
    EXPECT_EQ(dialog.GetPathName(), photo);
    EXPECT_EQ(dialog.GetFileName(), "holiday.jpg");
    EXPECT_EQ(dialog.GetFileExt(), "jpg");

    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.filters,
              (QStringList{"JPEG Files (*.jpg)", "Bitmap Files (*.bmp)", "GIF Files (*.gif)", "PNG Files (*.png)"}));
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
    // closes the notice, and Esc in the dialog again cancels it.
    auto typing = Answer(ready_, {"wait:dialog", folder_.string() + "/missing.jpg", "wait:typed", "key:Return",
                                  "wait:notice", "key:Escape", "wait:dialog", "key:Escape"});
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    typing.get();
    EXPECT_FALSE(ready_->timedOut);
    EXPECT_TRUE(dialog.GetPathName().empty());
}

TEST_F(FileDialogs, SaveDialogAddsTheDefaultExtensionAndGivesTheFocusBack) {
    SetFocus(photo_.GetSafeHwnd());
    const HWND focusBefore = GetFocus();
    CFileDialog dialog(FALSE, "jpg", "*.jpg", OFN_OVERWRITEPROMPT, photoFilter);
    auto typing = Answer(ready_, {"wait:dialog", folder_.string() + "/resized", "wait:typed", "key:Return"});
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
        auto typing = Answer(ready_, {"wait:dialog", existing, "wait:typed", "key:Return", "wait:question",
                                      "key:Return", "wait:dialog", "key:Escape"});
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        typing.get();
        EXPECT_TRUE(ready_->askedToReplace);
        EXPECT_FALSE(ready_->timedOut);
        EXPECT_TRUE(dialog.GetPathName().empty());
        ready_->stop = true;
    }
    {
        CFileDialog dialog(FALSE, "jpg", "*.jpg", OFN_OVERWRITEPROMPT, photoFilter);
        ready_ = std::make_shared<Readiness>();
        auto typing = Answer(ready_, {"wait:dialog", existing, "wait:typed", "key:Return", "wait:question", "y"});
        EXPECT_EQ(dialog.DoModal(), IDOK);
        typing.get();
        EXPECT_EQ(dialog.GetPathName(), existing);
    }
}

// A name with a wildcard is a pattern for the list, never a file: the
// dialog stays with the matching files listed and the pattern in its field,
// and a name typed over it is taken as usual.
TEST_F(FileDialogs, ATypedPatternFiltersTheListAndIsNeverReturned) {
    for (const char* name : {"holiday.jpg", "beach.png", "sea.png", "notes.txt"}) Touch(name);
    const struct {
        BOOL open;
        const char* pattern;
        QStringList listing;
        const char* chosen;  // typed over the pattern
        const char* returned;
    } cases[] = {
        {TRUE, "*.png", {"beach.png", "sea.png"}, "sea.png", "sea.png"},
        {TRUE, "s?a.*;*.txt", {"notes.txt", "sea.png"}, "notes.txt", "notes.txt"},
        {FALSE, "*.jpg", {"holiday.jpg"}, "resized", "resized.jpg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        ready_->stop = true;
        ready_ = std::make_shared<Readiness>();
        ready_->listing = c.listing;
        ready_->listedName = c.pattern;
        CFileDialog dialog(c.open, "jpg", "*.jpg", c.open ? OFN_HIDEREADONLY | OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT,
                           photoFilter);
        // Return again on the pattern alone, as the dialog first offers it,
        // changes nothing; then the chosen name, in the folder now shown.
        const std::string pattern = folder_.string() + "/" + c.pattern;
        auto typing = Answer(ready_, {"wait:dialog", pattern, "wait:typed", "key:Return", "wait:listed", "key:Return",
                                      "wait:listed", c.chosen, "wait:typed", "key:Return"});
        EXPECT_EQ(dialog.DoModal(), IDOK);
        typing.get();
        EXPECT_FALSE(ready_->timedOut);
        EXPECT_EQ(dialog.GetPathName(), folder_.string() + "/" + c.returned);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 4) << "nothing was written";
}

TEST_F(FileDialogs, LongPathsComeBackWhole) {
    std::filesystem::path deep = folder_;
    for (int i = 0; i < 6; ++i) deep /= std::string(50, static_cast<char>('a' + i));
    std::filesystem::create_directories(deep);
    const std::string path = (deep / "photo.jpg").string();
    ASSERT_GT(path.size(), 300u);
    CFileDialog dialog(FALSE, "jpg", "*.jpg", OFN_OVERWRITEPROMPT, photoFilter);
    auto typing = Answer(ready_, {"wait:dialog", path, "wait:typed", "key:Return"});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    typing.get();
    EXPECT_EQ(dialog.GetPathName(), path);
}

}  // namespace

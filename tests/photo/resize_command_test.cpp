// The Resize command, driven as a user drives it: the dialog opened on a
// photo window, a side chosen with the pointer, a length typed, OK by Enter
// or by the pointer. Its starting values, each side rule, every text that is
// not a length, lengths under 10 and beyond any window, Cancel, and which
// windows stay usable while it is open.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "photo/photo_commands.h"
#include "platform/framework/framework.h"
#include "res/register_resources.h"
#include "res/resource_ids.h"
#include "tests/photo/modal_steps.h"
#include "tests/photo/photo_window_support.h"
#include "tests/platform/framework/test_dialogs.h"
#include "tests/support/gui_pump.h"
#include "tests/support/print_types.h"
#include "tests/support/x_session.h"

namespace {

using namespace phototest;
using usertest::AnswerNextBox;
using usertest::ShownBox;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

constexpr const char* tooShort = "サイズは10以上の数字を入れてください。";

std::string TitleOf(user::HWND window) {
    char text[64] = {};
    user::GetWindowTextA(window, text, sizeof text);
    return text;
}

// The Resize dialog when it is up and active, else null.
user::HWND ResizeDialog() {
    const user::HWND active = user::GetActiveWindow();
    if (!active || TitleOf(active) != "リサイズ" || !user::GetDlgItem(active, res::IDC_LENGTH)) return nullptr;
    return active;
}

RECT ControlRect(int id) {
    RECT rect{};
    user::GetWindowRect(user::GetDlgItem(ResizeDialog(), id), &rect);
    return rect;
}

// The dialog as it opened.
struct Opening {
    std::string length;
    int checked[4] = {};
    bool okHasFocus = false;
    bool photoEnabled = true;
    bool ownerEnabled = true;
};

class ResizeCommand : public PhotoWindowTest {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(res::RegisterResources()); }

    void SetUp() override {
        PhotoWindowTest::SetUp();
        app_.mainWindow = &owner_;
    }
    void TearDown() override {
        app_.mainWindow = nullptr;
        PhotoWindowTest::TearDown();
    }

    // The dialog is up, active, and has the keyboard on the X server.
    bool DialogReady() {
        return ResizeDialog() != nullptr && x_.KeyboardFocus() != 0 && x_.KeyboardFocus() == x_.FindWindow("リサイズ");
    }

    // Starts steps that wait for the dialog; the caller adds what to do in it.
    CModalSteps StepsInDialog(Opening* opening = nullptr) {
        CModalSteps steps;
        dialog_ = nullptr;
        steps.CancelOnTimeout([this] { return user::IsWindow(dialog_) ? dialog_ : ResizeDialog(); });
        steps.Then([this] { return DialogReady(); },
                   [this, opening] {
                       dialog_ = ResizeDialog();
                       if (!opening) return;
                       const user::HWND dialog = dialog_;
                       char text[64] = {};
                       user::GetWindowTextA(user::GetDlgItem(dialog, res::IDC_LENGTH), text, sizeof text);
                       opening->length = text;
                       for (int i = 0; i < 4; ++i) {
                           const user::HWND radio = user::GetDlgItem(dialog, res::IDC_SIDE_HEIGHT + i);
                           opening->checked[i] = static_cast<int>(user::SendMessageA(radio, user::BM_GETCHECK, 0, 0));
                       }
                       opening->okHasFocus = user::GetFocus() == user::GetDlgItem(dialog, user::IDOK);
                   });
        return steps;
    }

    // Real input: the pointer clicks at the middle of a control's left part
    // (where a radio button's circle is), or its middle.
    void Click(int id, bool atLeft = false) {
        const RECT rect = ControlRect(id);
        x_.MovePointer(atLeft ? rect.left + 4 : (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        x_.PressButton(1);
        x_.ReleaseButton(1);
    }
    // From OK, the first tab stop, Shift+Tab reaches the edit field with its
    // text selected, so typing replaces it.
    void TypeLength(const std::string& text) {
        x_.TapKey("Tab", {"Shift_L"});
        x_.TypeText(text);
    }

    // Runs the command on photo, the window active as after a right-click.
    void RunCommand(const OpenedPhoto& photo, CModalSteps& steps) {
        user::SetActiveWindow(photo.Handle());
        ASSERT_TRUE(PumpUntil([&] { return user::GetActiveWindow() == photo.Handle(); }));
        steps.Start();
        user::SendMessageA(photo.Handle(), user::WM_COMMAND, commandResize, 0);
        EXPECT_TRUE(steps.Finished()) << "stopped at step " << steps.StepReached();
        EXPECT_FALSE(steps.TimedOut());
        EXPECT_EQ(ResizeDialog(), nullptr) << "the dialog is gone with the command";
    }

    user::HWND dialog_ = nullptr;  // the dialog of the current run, once up
    user::CWinApp app_;
};

TEST_F(ResizeCommand, OpensWithTheLongerSideAndLongSideChecked) {
    const struct {
        RECT rect;
        const char* length;
    } cases[] = {
        {Sized(300, 200, 300, 300), "300"},
        {Sized(300, 200, 400, 300), "400"},
        {Sized(300, 200, 240, 320), "320"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        OpenedPhoto& photo = Open(1600, 1200, c.rect, "start photo");
        Opening opening;
        CModalSteps steps = StepsInDialog(&opening);
        steps.Then([] { return true; }, [this] { x_.TapKey("Escape"); });
        RunCommand(photo, steps);
        EXPECT_EQ(opening.length, c.length);
        EXPECT_EQ(opening.checked[0], 0);
        EXPECT_EQ(opening.checked[1], 0);
        EXPECT_EQ(opening.checked[2], 1) << "長辺";
        EXPECT_EQ(opening.checked[3], 0);
        EXPECT_TRUE(opening.okHasFocus);
        EXPECT_EQ(WindowRect(photo.Handle()), c.rect);
        Close(photo);
    }
}

TEST_F(ResizeCommand, GivesTheLengthToTheChosenSideAndDerivesTheOther) {
    const struct {
        const char* name;
        LONG imageWidth, imageHeight;
        RECT start;
        int radio;  // 0 縦, 1 横, 2 長辺, 3 短辺; -1 leaves the checked one
        const char* typed;
        bool okByPointer;
        RECT result;
    } cases[] = {
        {"square, long side is the height", 1600, 1200, Sized(100, 80, 300, 300), -1, "150", false,
         Sized(100, 80, 200, 150)},
        {"long side of a landscape window", 1600, 1200, Sized(100, 80, 400, 300), 2, "200", true,
         Sized(100, 80, 200, 150)},
        {"short side, width truncated", 1600, 1200, Sized(100, 80, 400, 300), 3, "200", false,
         Sized(100, 80, 266, 200)},
        {"width of a thin photo: height 0", 1000, 5, Sized(100, 80, 400, 50), 1, "10", false, Sized(100, 80, 10, 0)},
        {"height of a thin photo", 1000, 5, Sized(100, 80, 400, 50), 0, "10", true, Sized(100, 80, 2000, 10)},
        {"a blank before, letters after", 1600, 1200, Sized(100, 80, 400, 300), 2, " 250px", false,
         Sized(100, 80, 250, 187)},
        {"10 is enough", 1600, 1200, Sized(100, 80, 400, 300), 1, "10", false, Sized(100, 80, 10, 7)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OpenedPhoto& photo = Open(c.imageWidth, c.imageHeight, c.start, "sized photo");
        const int paints = photo.window->paints;
        // A refusal would come as a box owned by the photo window: answered,
        // so that the case fails at once instead of waiting on it.
        const auto box = AnswerNextBox(photo.Handle());
        CModalSteps steps = StepsInDialog();
        steps.Then([] { return true; },
                   [&] {
                       TypeLength(c.typed);
                       if (c.radio >= 0) Click(res::IDC_SIDE_HEIGHT + c.radio, true);
                   });
        steps.AfterInput([&] {
            if (c.okByPointer)
                Click(user::IDOK);
            else
                x_.TapKey("Return");
        });
        RunCommand(photo, steps);
        EXPECT_EQ(WindowRect(photo.Handle()), c.result);
        EXPECT_TRUE(PumpUntil([&] { return photo.window->paints > paints; })) << "painted again";
        EXPECT_FALSE(box->shown) << box->text;
        Close(photo);
    }
}

TEST_F(ResizeCommand, TextThatIsNoIntegerIsRefusedAndTheDialogStaysOpen) {
    // Typed by keys, except the full-width digits an input method would give.
    const struct {
        const char* text;
        bool typed;
    } cases[] = {
        {"abc", true},     {"", true},      {"-", true},
        {"   ", true},     {"px250", true}, {"99999999999", true},  // beyond any 32-bit length
        {"１５０", false},
    };
    const RECT start = Sized(200, 150, 400, 300);
    OpenedPhoto& photo = Open(1600, 1200, start, "refusing photo");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        std::shared_ptr<ShownBox> box;
        user::HWND field = nullptr;
        user::HWND focusAfter = nullptr;
        DWORD selectionStart = 99, selectionEnd = 99;
        std::string textAfter;
        CModalSteps steps = StepsInDialog();
        steps.Then([] { return true; },
                   [&] {
                       const user::HWND dialog = ResizeDialog();
                       field = user::GetDlgItem(dialog, res::IDC_LENGTH);
                       box = AnswerNextBox(dialog);
                       if (c.typed) {
                           TypeLength(c.text);
                           // Typing nothing leaves "400" selected: delete it.
                           if (!*c.text) x_.TapKey("BackSpace");
                       } else {
                           user::SetWindowTextA(field, c.text);
                       }
                       x_.TapKey("Return");
                   });
        // The box has gone and the field has the focus again.
        steps.Then([&] { return box->shown && ResizeDialog() != nullptr && user::GetFocus() == field; },
                   [&] {
                       focusAfter = user::GetFocus();
                       user::SendMessageA(field, user::EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
                                          reinterpret_cast<LPARAM>(&selectionEnd));
                       char text[64] = {};
                       user::GetWindowTextA(field, text, sizeof text);
                       textAfter = text;
                       x_.TapKey("Escape");
                   });
        RunCommand(photo, steps);
        ASSERT_TRUE(box && box->shown);
        EXPECT_EQ(box->text, "Please enter an integer.");
        EXPECT_TRUE(box->exclamation);
        EXPECT_EQ(box->title, user::GetApplicationTitle());
        EXPECT_EQ(textAfter, c.text);
        EXPECT_EQ(focusAfter, field) << "the field has the focus again";
        EXPECT_EQ(selectionStart, 0u);
        EXPECT_EQ(selectionEnd, std::string(c.text).size()) << "with its whole text selected";
        EXPECT_EQ(WindowRect(photo.Handle()), start);
    }
}

TEST_F(ResizeCommand, LengthsUnderTenAreRefusedByThePhotoWindow) {
    const RECT start = Sized(200, 150, 400, 300);
    OpenedPhoto& photo = Open(1600, 1200, start, "short photo");
    for (const char* typed : {"9", "0", "-20"}) {
        SCOPED_TRACE(typed);
        std::shared_ptr<ShownBox> box;
        bool dialogUpWithBox = true;
        CModalSteps steps = StepsInDialog();
        steps.Then([] { return true; },
                   [&] {
                       box = AnswerNextBox(photo.Handle(), [&] { dialogUpWithBox = ResizeDialog() != nullptr; });
                       TypeLength(typed);
                       x_.TapKey("Return");
                   });
        RunCommand(photo, steps);
        ASSERT_TRUE(box && box->shown);
        EXPECT_EQ(box->text, tooShort);
        EXPECT_FALSE(box->exclamation) << "no icon";
        EXPECT_EQ(box->title, user::GetApplicationTitle()) << "no caption of its own";
        EXPECT_FALSE(box->ownerEnabled) << "the photo window owns it";
        EXPECT_FALSE(dialogUpWithBox) << "the dialog has closed by then";
        EXPECT_EQ(WindowRect(photo.Handle()), start);
    }
}

TEST_F(ResizeCommand, CancelChangesNothingWhateverWasTyped) {
    const RECT start = Sized(200, 150, 400, 300);
    OpenedPhoto& photo = Open(1600, 1200, start, "cancelled photo");
    const struct {
        const char* typed;
        const char* how;
    } cases[] = {{"150", "Escape"}, {"abc", "Escape"}, {"5", "button"}, {"150", "button"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " then " + c.how);
        auto box = AnswerNextBox(photo.Handle());
        CModalSteps steps = StepsInDialog();
        steps.Then([] { return true; },
                   [&] {
                       TypeLength(c.typed);
                       Click(res::IDC_SIDE_WIDTH, true);
                   });
        steps.AfterInput([&] {
            if (std::string(c.how) == "button")
                Click(user::IDCANCEL);
            else
                x_.TapKey("Escape");
        });
        RunCommand(photo, steps);
        testsupport::Settle();
        EXPECT_FALSE(box->shown) << box->text;
        EXPECT_EQ(WindowRect(photo.Handle()), start);
    }
    // Nothing is remembered: the next run starts from the window again.
    Opening opening;
    CModalSteps steps = StepsInDialog(&opening);
    steps.Then([] { return true; }, [this] { x_.TapKey("Escape"); });
    RunCommand(photo, steps);
    EXPECT_EQ(opening.length, "400");
    EXPECT_EQ(opening.checked[2], 1);
}

TEST_F(ResizeCommand, HugeLengthsGiveTheLargestWindowWithTheAspectKept) {
    const struct {
        const char* typed;
        int radio;
    } cases[] = {{"2147483647", 1}, {"2000000000", 0}, {"40000", 3}, {"32768", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        OpenedPhoto& photo = Open(1600, 1200, Sized(0, 0, 400, 300), "huge photo");
        CModalSteps steps = StepsInDialog();
        steps.Then([] { return true; },
                   [&] {
                       TypeLength(c.typed);
                       Click(res::IDC_SIDE_HEIGHT + c.radio, true);
                   });
        steps.AfterInput([&] { x_.TapKey("Return"); });
        RunCommand(photo, steps);
        const RECT rect = WindowRect(photo.Handle());
        EXPECT_EQ(rect.left, 0);
        EXPECT_EQ(rect.top, 0);
        EXPECT_EQ(rect.right, 32767) << "the longer side at the windowing service's limit";
        EXPECT_EQ(rect.bottom, 24575) << "and the aspect kept";
        Close(photo);
        photos_.clear();
    }
}

TEST_F(ResizeCommand, ThePhotoWindowIsDisabledWhileTheDialogIsOpenAndOthersStayUsable) {
    const RECT first = Sized(100, 100, 300, 200);
    const RECT second = Sized(900, 100, 300, 200);
    OpenedPhoto& photo = Open(600, 400, first, "asking photo");
    OpenedPhoto& other = Open(600, 400, second, "other photo");
    Opening opening;
    bool firstEnabled = true, secondEnabled = false, ownerEnabled = true;
    CModalSteps steps = StepsInDialog(&opening);
    // Drags both windows by 40, 30 with the real pointer.
    auto drag = [this](const RECT& rect) {
        x_.MovePointer(rect.left + 50, rect.top + 50);
        x_.PressButton(1);
        x_.MovePointer(rect.left + 70, rect.top + 65);
        x_.MovePointer(rect.left + 90, rect.top + 80);
        x_.ReleaseButton(1);
    };
    steps.Then([] { return true; },
               [&] {
                   firstEnabled = user::IsWindowEnabled(photo.Handle()) != FALSE;
                   secondEnabled = user::IsWindowEnabled(other.Handle()) != FALSE;
                   ownerEnabled = user::IsWindowEnabled(owner_.GetSafeHwnd()) != FALSE;
                   drag(first);
               });
    steps.AfterInput([&] { drag(second); });
    steps.Then([&] { return WindowRect(other.Handle()) == Sized(940, 130, 300, 200); },
               [&] {
                   // The menu's commands reach the other window too.
                   user::SendMessageA(other.Handle(), user::WM_COMMAND, commandRotate, 0);
               });
    steps.Then([&] { return WindowRect(other.Handle()) == Sized(940, 130, 200, 300); },
               [&] {
                   // The click on it made the other window active: back to the dialog.
                   user::SetActiveWindow(dialog_);
               });
    steps.Then([this] { return DialogReady(); }, [this] { x_.TapKey("Escape"); });
    RunCommand(photo, steps);
    EXPECT_FALSE(firstEnabled);
    EXPECT_FALSE(ownerEnabled) << "the launcher too";
    EXPECT_TRUE(secondEnabled);
    EXPECT_EQ(WindowRect(photo.Handle()), first) << "the pointer could not move it";
    EXPECT_EQ(photo.window->dragMode, dragIdle);
    EXPECT_TRUE(user::IsWindowEnabled(photo.Handle()));
    EXPECT_TRUE(user::IsWindowEnabled(owner_.GetSafeHwnd()));
}

}  // namespace

// Message boxes: caption, answers, and modality to the owner only.
#include <gtest/gtest.h>

#include "platform/user/user.h"
#include "tests/platform/user/recording_window.h"
#include "tests/support/gui_pump.h"
#include "tests/support/x_session.h"

namespace {

using namespace user;
using testsupport::CXSession;
using testsupport::OnHelperThread;
using usertest::CreateRecordingWindow;
using usertest::Log;
using usertest::WaitUntilShown;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

struct Answered {
    bool shown = false;
    unsigned long transientFor = 0;
};

// Finds the box by its title, notes its owner, then answers with a key.
std::future<Answered> AnswerBox(std::string title, const char* key) {
    return OnHelperThread([title = std::move(title), key] {
        CXSession x;
        Answered answered;
        const auto box = x.WaitForWindow(title, std::chrono::seconds(5));
        answered.shown = box != 0;
        if (box) answered.transientFor = x.TransientFor(box);
        // The keys go to the box once it has the keyboard.
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (box && x.KeyboardFocus() != box && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        x.TapKey(box ? key : "Escape");
        return answered;
    });
}

class MessageBoxes : public testing::Test {
protected:
    void SetUp() override {
        Log().Clear();
        owner_ = CreateRecordingWindow("box owner", 100, 100, 200, 150);
        sibling_ = CreateRecordingWindow("box sibling", 400, 100, 100, 100);
        ownerX_ = WaitUntilShown("box owner");
        WaitUntilShown("box sibling");
    }
    void TearDown() override {
        DestroyWindow(owner_);
        DestroyWindow(sibling_);
    }

    HWND owner_ = nullptr;
    HWND sibling_ = nullptr;
    unsigned long ownerX_ = 0;
};

TEST_F(MessageBoxes, WithoutACaptionTheApplicationsTitleIsShown) {
    ASSERT_FALSE(GetApplicationTitle().empty());
    auto answer = AnswerBox(GetApplicationTitle(), "Return");
    EXPECT_EQ(MessageBoxA(owner_, "Please enter an integer.", nullptr, MB_OK | MB_ICONEXCLAMATION), IDOK);
    const Answered answered = answer.get();
    EXPECT_TRUE(answered.shown);
    EXPECT_EQ(answered.transientFor, ownerX_);
}

TEST_F(MessageBoxes, AnswersFollowTheButtons) {
    struct Case {
        const char* caption;
        UINT type;
        const char* key;
        int result;
    };
    const Case cases[] = {
        {"ok by enter", MB_OK, "Return", IDOK},
        {"ok by escape", MB_OK, "Escape", IDOK},
        {"cancel by escape", MB_OKCANCEL, "Escape", IDCANCEL},
        {"yes by enter", MB_YESNO | MB_ICONQUESTION, "Return", IDYES},
        {"second default", MB_YESNO | MB_DEFBUTTON2, "Return", IDNO},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        auto answer = AnswerBox(c.caption, c.key);
        EXPECT_EQ(MessageBoxA(owner_, "サイズは10以上の数字を入れてください。", c.caption, c.type), c.result);
        EXPECT_TRUE(answer.get().shown);
    }
}

TEST_F(MessageBoxes, OnlyTheOwnerIsDisabledWhileTheBoxIsUp) {
    const HWND child = CreateRecordingWindow("owner's child", 5, 5, 20, 20, owner_, WS_CHILD | WS_VISIBLE, 0);
    auto answer = AnswerBox("modal to its owner", "Return");
    MessageBoxA(child, "text", "modal to its owner", MB_OK);
    answer.get();

    const auto enables = Log().Of(owner_, WM_ENABLE);
    ASSERT_EQ(enables.size(), 2u);
    EXPECT_EQ(enables[0].wParam, WPARAM{FALSE});
    EXPECT_EQ(enables[1].wParam, WPARAM{TRUE});
    EXPECT_EQ(Log().Count(sibling_, WM_ENABLE), 0);
    EXPECT_TRUE(IsWindowEnabled(owner_));
    EXPECT_EQ(GetActiveWindow(), owner_) << "the owner is active again";
}

TEST_F(MessageBoxes, ABoxEndsADragsCapture) {
    SetCapture(owner_);
    auto answer = AnswerBox("during a drag", "Return");
    MessageBoxA(owner_, "text", "during a drag", MB_OK);
    answer.get();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Log().Count(owner_, WM_CAPTURECHANGED), 1);
}

}  // namespace

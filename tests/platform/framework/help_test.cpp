// Help routing: F1 and the help command find the right context from each
// kind of window, framework message boxes have contexts of their own, and
// the viewer module is called as the help file and command require, with
// "Failed to launch help." when it shows nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/kernel/modules.h"
#include "platform/user/html_help.h"
#include "platform/framework/framework.h"
#include "tests/platform/framework/test_dialogs.h"
#include "tests/support/gui_pump.h"
#include "tests/support/x_session.h"

namespace {

using namespace user;
using testsupport::CXSession;
using testsupport::PumpUntil;
using testsupport::RunSoon;
using usertest::AnswerNextBox;
using usertest::CPlainWnd;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

// A stand-in viewer: records each call and answers with a window or none.
struct ViewerCall {
    HWND caller;
    std::string file;
    UINT command;
    DWORD_PTR data;
};
std::vector<ViewerCall> viewerCalls;
HWND viewerAnswer = nullptr;

HWND FakeHtmlHelp(HWND caller, const char* file, UINT command, DWORD_PTR data) {
    viewerCalls.push_back(ViewerCall{caller, file ? file : "", command, data});
    return viewerAnswer;
}

void InstallFakeViewer() {
    static const kernel::ModuleExport exports[] = {{"HtmlHelpA", reinterpret_cast<kernel::FARPROC>(&FakeHtmlHelp)}};
    ASSERT_TRUE(kernel::RegisterModule("hhctrl.ocx", exports));
}

// A dialog that runs a script from inside its modal run.
class CScriptedDialog : public CDialog {
public:
    CScriptedDialog(UINT id, std::function<void(CScriptedDialog&)> step, CWnd* parent = nullptr)
        : CDialog(id, parent), step_(std::move(step)) {}

protected:
    BOOL OnInitDialog() override {
        const BOOL result = CDialog::OnInitDialog();
        RunSoon([this] {
            step_(*this);
            EndDialog(IDCANCEL);
        });
        return result;
    }

private:
    std::function<void(CScriptedDialog&)> step_;
};

// A window that answers the search for a help context with its own.
class CContextWnd : public CPlainWnd {
public:
    DWORD context = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMANDHELP) {
            AfxGetApp()->WinHelpInternal(context);
            return TRUE;
        }
        return CPlainWnd::WindowProc(message, wParam, lParam);
    }
};

class HelpRouting : public testing::Test {
protected:
    static void SetUpTestSuite() {
        usertest::RegisterTestDialogs();
        InstallFakeViewer();
    }
    void SetUp() override {
        viewerCalls.clear();
        app_.helpEngine = afxHTMLHelp;
        app_.DerivePaths("/opt/pelmora/pelmora");
        x_.MovePointer(1900, 1070);
    }
    void TearDown() override { app_.mainWindow = nullptr; }

    // Presses F1 (with modifiers) and waits until the viewer was called
    // that many times in all.
    bool F1Calls(std::size_t total, std::initializer_list<const char*> modifiers = {}) {
        x_.TapKey("F1", modifiers);
        return PumpUntil([&] { return viewerCalls.size() >= total; }, std::chrono::milliseconds(1500)) &&
               viewerCalls.size() == total;
    }
    // Waits until the keyboard's focus is in the window of that title.
    bool KeyboardIn(const std::string& title) {
        return PumpUntil([&] {
            const auto window = x_.FindWindow(title);
            return window != 0 && x_.KeyboardFocus() == window;
        });
    }
    // Presses F1 (with modifiers) and checks that no help was asked for.
    bool F1AsksNothing(std::initializer_list<const char*> modifiers = {}) {
        const std::size_t before = viewerCalls.size();
        x_.TapKey("F1", modifiers);
        testsupport::Settle();
        return viewerCalls.size() == before;
    }
    // Runs script inside the main dialog (template 901), the main window.
    void RunMain(std::function<void(CScriptedDialog&)> script) {
        CScriptedDialog main(usertest::sideDialogId, [&](CScriptedDialog& self) {
            viewerAnswer = self.GetSafeHwnd();
            ASSERT_TRUE(KeyboardIn("side dialog"));
            script(self);
        });
        app_.mainWindow = &main;
        main.DoModal();
        app_.mainWindow = nullptr;
    }

    CWinApp app_;
    CXSession x_;
};

constexpr DWORD mainContext = 0x20000 + usertest::sideDialogId;
constexpr DWORD nestedContext = 0x20000 + usertest::smallDialogId;

TEST_F(HelpRouting, F1ShowsTheContextOfTheDialogOrOfThePhotoWindowsOwner) {
    RunMain([&](CScriptedDialog& main) {
        // F1 in the main dialog (the focus is on its OK button).
        ASSERT_TRUE(F1Calls(1));
        EXPECT_EQ(viewerCalls[0].data, mainContext);
        EXPECT_EQ(viewerCalls[0].command, HH_HELP_CONTEXT);
        EXPECT_EQ(viewerCalls[0].file, "/opt/pelmora/pelmora.CHM");
        EXPECT_EQ(viewerCalls[0].caller, main.GetSafeHwnd());

        // F1 in a photo window: it names no context, its owner does.
        CPlainWnd photo;
        ASSERT_TRUE(photo.Create("help photo", 600, 300, 200, 150, main.GetSafeHwnd(), WS_POPUP | WS_VISIBLE));
        SetActiveWindow(photo.GetSafeHwnd());
        ASSERT_TRUE(KeyboardIn("help photo"));
        ASSERT_TRUE(F1Calls(2));
        EXPECT_EQ(viewerCalls[1].data, mainContext);

        // F1 in a dialog opened from the photo window: the dialog's own.
        CScriptedDialog nested(usertest::smallDialogId, [&](CScriptedDialog&) {
            ASSERT_TRUE(KeyboardIn("small dialog"));
            ASSERT_TRUE(F1Calls(3));
            EXPECT_EQ(viewerCalls[2].data, nestedContext);
            EXPECT_EQ(viewerCalls[2].caller, main.GetSafeHwnd()) << "the main window calls the viewer";
            // With Shift, Ctrl or Alt held F1 asks for nothing.
            EXPECT_TRUE(F1AsksNothing({"Shift_L"}));
            EXPECT_TRUE(F1AsksNothing({"Control_L"}));
            EXPECT_TRUE(F1AsksNothing({"Alt_L"}));
        });
        nested.DoModal();
        photo.DestroyWindow();
    });
}

TEST_F(HelpRouting, HelpCommandSearchesCaptureThenFocusThenTheLastActivePopup) {
    RunMain([&](CScriptedDialog& main) {
        CContextWnd holder;
        holder.context = 0x1234;
        ASSERT_TRUE(holder.Create("capture holder", 600, 300, 100, 100, main.GetSafeHwnd(), WS_POPUP | WS_VISIBLE));
        SetCapture(holder.GetSafeHwnd());
        main.SendMessage(WM_COMMAND, ID_HELP);
        ReleaseCapture();
        ASSERT_EQ(viewerCalls.size(), 1u);
        EXPECT_EQ(viewerCalls[0].data, 0x1234u) << "the window holding the capture answers first";

        // The help button of the main dialog: its focus answers.
        main.SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, BN_CLICKED));
        ASSERT_EQ(viewerCalls.size(), 2u);
        EXPECT_EQ(viewerCalls[1].data, mainContext);
        holder.DestroyWindow();
    });
}

// A plain main window that records the default-help command.
class CPlainMain : public CPlainWnd {
public:
    int defaultHelp = 0;

protected:
    BOOL OnCommand(UINT id, UINT code, HWND control) override {
        if (id == ID_DEFAULT_HELP) ++defaultHelp;
        return CPlainWnd::OnCommand(id, code, control);
    }
};

TEST_F(HelpRouting, WhenNoWindowNamesAContextTheMainWindowGetsDefaultHelp) {
    CPlainMain main;
    ASSERT_TRUE(main.Create("plain main", 100, 100, 200, 100));
    app_.mainWindow = &main;
    app_.OnHelp();
    EXPECT_EQ(main.defaultHelp, 1);
    EXPECT_TRUE(viewerCalls.empty());
}

TEST_F(HelpRouting, FrameworkMessageBoxesHaveTheirOwnContexts) {
    RunMain([&](CScriptedDialog& main) {
        // F1 while "Please enter an integer." is up shows its topic.
        const auto box = AnswerNextBox(main.GetSafeHwnd(), [&] {
            ASSERT_TRUE(KeyboardIn("pelmora"));
            F1Calls(1);
        });
        AfxMessageBox(AFX_IDP_PARSE_INT, MB_OK | MB_ICONEXCLAMATION);
        ASSERT_TRUE(box->shown);
        ASSERT_EQ(viewerCalls.size(), 1u);
        EXPECT_EQ(viewerCalls[0].data, 0x3F110u);
        EXPECT_EQ(app_.promptContext, 0u);
    });
}

TEST_F(HelpRouting, AViewerThatShowsNothingMeansFailedToLaunchHelp) {
    RunMain([&](CScriptedDialog& main) {
        viewerAnswer = nullptr;
        std::size_t callsWhileShown = 0;
        const auto box = AnswerNextBox(main.GetSafeHwnd(), [&] {
            // F1 about the failure itself asks for nothing.
            ASSERT_TRUE(KeyboardIn("pelmora"));
            EXPECT_TRUE(F1AsksNothing());
            callsWhileShown = viewerCalls.size();
        });
        main.SendMessage(WM_COMMAND, ID_HELP);
        ASSERT_TRUE(box->shown);
        EXPECT_EQ(box->text, "Failed to launch help.");
        EXPECT_EQ(box->title, "pelmora");
        EXPECT_TRUE(box->exclamation);
        EXPECT_EQ(box->promptContext, 0x3F107u);
        EXPECT_FALSE(box->ownerEnabled) << "owned by the main window";
        EXPECT_EQ(callsWhileShown, 1u);
        EXPECT_TRUE(IsWindowEnabled(main.GetSafeHwnd())) << "the main window is as it was";
    });
}

TEST_F(HelpRouting, WinHelpCommandsAreTranslated) {
    viewerAnswer = reinterpret_cast<HWND>(1);  // any window: only the call is looked at
    struct Case {
        UINT winHelp;
        UINT htmlHelp;
    };
    const Case cases[] = {
        {HELP_CONTEXT, HH_HELP_CONTEXT}, {HELP_CONTENTS, HH_DISPLAY_TOC}, {HELP_FINDER, HH_DISPLAY_TOPIC}};
    for (const Case& c : cases) {
        viewerCalls.clear();
        app_.WinHelpInternal(77, c.winHelp);
        ASSERT_EQ(viewerCalls.size(), 1u);
        EXPECT_EQ(viewerCalls[0].command, c.htmlHelp);
        EXPECT_EQ(viewerCalls[0].data, 77u);
    }
}

}  // namespace

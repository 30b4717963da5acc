// Without the viewer module, or without its entry, help ends in "Failed to
// launch help." and nothing else changes. A program of its own: the entry,
// once found, is kept for the rest of the process.
#include <gtest/gtest.h>

#include "platform/kernel/modules.h"
#include "platform/framework/framework.h"
#include "tests/platform/framework/test_dialogs.h"
#include "tests/support/gui_pump.h"

namespace {

using namespace user;
using usertest::AnswerNextBox;
using usertest::CPlainWnd;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

void Unrelated() {}

TEST(MissingViewer, HelpFailsVisiblyWithoutTheModuleOrItsEntry) {
    CWinApp app;
    app.helpEngine = afxHTMLHelp;
    app.DerivePaths("/usr/bin/pelmora");
    CPlainWnd main;
    ASSERT_TRUE(main.Create("help main", 100, 100, 200, 100));
    app.mainWindow = &main;

    for (const bool registered : {false, true}) {
        SCOPED_TRACE(registered ? "module without the entry" : "no module");
        if (registered) {
            const kernel::ModuleExport other[] = {{"HtmlHelpW", reinterpret_cast<kernel::FARPROC>(&Unrelated)}};
            ASSERT_TRUE(kernel::RegisterModule("hhctrl.ocx", other));
        }
        const auto box = AnswerNextBox(main.GetSafeHwnd());
        app.WinHelpInternal(0x20066);
        ASSERT_TRUE(box->shown);
        EXPECT_EQ(box->text, "Failed to launch help.");
        EXPECT_EQ(box->promptContext, 0x3F107u);
        EXPECT_TRUE(IsWindowEnabled(main.GetSafeHwnd()));
    }
    // The WinHelp engine does not exist here: its requests fail the same way.
    app.helpEngine = afxWinHelp;
    const auto box = AnswerNextBox(main.GetSafeHwnd());
    app.WinHelpInternal(0x20066);
    EXPECT_EQ(box->text, "Failed to launch help.");
    app.mainWindow = nullptr;
}

}  // namespace

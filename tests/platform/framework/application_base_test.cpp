// The application object's base: what it derives from the executable's
// path, and the program's run from start-up step to exit step.
#include <gtest/gtest.h>

#include <string>

#include "platform/framework/framework.h"
#include "tests/platform/framework/test_dialogs.h"
#include "tests/support/gui_pump.h"

namespace {

using namespace user;

TEST(ApplicationPaths, TitleAndHelpFileComeFromTheExecutablesPath) {
    struct Case {
        const char* path;
        int engine;
        const char* name;
        const char* help;
    };
    const std::string longFolder = "/" + std::string(300, 'd');
    const Case cases[] = {
        {"/usr/bin/pelmora", afxHTMLHelp, "pelmora", "/usr/bin/pelmora.CHM"},
        {"C:/Tools/photo.exe", afxHTMLHelp, "photo", "C:/Tools/photo.CHM"},
        {"/opt/a.b/tool", afxHTMLHelp, "tool", "/opt/a.b/tool.CHM"},
        {"/opt/tool.tar.gz", afxHTMLHelp, "tool.tar", "/opt/tool.tar.CHM"},
        {"/usr/bin/pelmora", afxWinHelp, "pelmora", "/usr/bin/pelmora.HLP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        CWinApp app;
        app.helpEngine = c.engine;
        app.DerivePaths(c.path);
        EXPECT_EQ(app.exeName, c.name);
        EXPECT_EQ(app.appTitle, c.name) << "no title string: the executable's name";
        EXPECT_EQ(app.helpFilePath, c.help);
    }
    CWinApp longPath;
    longPath.helpEngine = afxHTMLHelp;
    longPath.DerivePaths(longFolder + "/pelmora");
    EXPECT_EQ(longPath.helpFilePath, longFolder + "/pelmora.CHM") << "not cut at 260 bytes";

    CWinApp named("Given Name");
    named.DerivePaths("/usr/bin/pelmora");
    EXPECT_EQ(named.appTitle, "Given Name");

    ASSERT_TRUE(RegisterStringResource(AFX_IDS_APP_TITLE, "From Resources"));
    CWinApp titled;
    titled.DerivePaths("/usr/bin/pelmora");
    EXPECT_EQ(titled.appTitle, "From Resources");
}

// An application whose start-up step does what a test asks.
class CTestApp : public CWinApp {
public:
    std::function<BOOL(CTestApp&)> startUp;
    bool exited = false;
    bool ran = false;
    bool runningDuringStartUp = false;

    BOOL InitInstance() override {
        runningDuringStartUp = IsApplicationRunning();
        InitCommonControls();
        return startUp(*this);
    }
    int Run() override {
        ran = true;
        return CWinApp::Run();
    }
    int ExitInstance() override {
        exited = true;
        return CWinApp::ExitInstance() + 40;
    }
};

TEST(ApplicationRun, RefusedStartUpEndsThroughTheExitStep) {
    CTestApp app;
    app.helpEngine = afxHTMLHelp;
    usertest::CPlainWnd* main = nullptr;
    app.startUp = [&](CTestApp& self) {
        main = new usertest::CPlainWnd;
        main->Create("start-up main", 10, 10, 100, 100);
        self.mainWindow = main;
        return FALSE;
    };
    EXPECT_EQ(RunApplication(app), 40);
    EXPECT_TRUE(app.runningDuringStartUp);
    EXPECT_TRUE(app.exited);
    EXPECT_FALSE(app.ran);
    EXPECT_EQ(main->GetSafeHwnd(), nullptr) << "the main window is gone";
    EXPECT_FALSE(IsApplicationRunning()) << "the service stops with the program";
    EXPECT_EQ(GetApplicationTitle(), app.appTitle) << "message boxes show the application's title";
    EXPECT_EQ(app.exeName, "framework_application_base_test");
    EXPECT_EQ(app.helpFilePath, GetExecutablePath() + ".CHM");
    delete main;
}

TEST(ApplicationRun, AcceptedStartUpRunsUntilTheMainWindowGoes) {
    CTestApp app;
    usertest::CPlainWnd main;
    app.startUp = [&](CTestApp& self) {
        main.Create("running main", 10, 10, 100, 100);
        self.mainWindow = &main;
        testsupport::RunSoon([&] { main.DestroyWindow(); }, std::chrono::milliseconds(20));
        return TRUE;
    };
    EXPECT_EQ(RunApplication(app), 40);
    EXPECT_TRUE(app.ran);
    EXPECT_TRUE(app.exited);
    EXPECT_EQ(app.mainWindow, nullptr);
}

TEST(ApplicationRun, QuitMessageEndsTheRunWithItsStatus) {
    CTestApp app;
    app.startUp = [](CTestApp&) {
        testsupport::RunSoon([] { PostQuitMessage(2); });
        return TRUE;
    };
    EXPECT_EQ(RunApplication(app), 42);
}

}  // namespace

#include "platform/framework/win_app.h"

#include "platform/user/html_help.h"

#include <cstdio>
#include <cstring>

#include "platform/kernel/path_extension.h"
#include "platform/user/application.h"
#include "platform/user/controls.h"
#include "platform/framework/internal/modal_owner.h"
#include "platform/user/message_box.h"
#include "platform/user/message_loop.h"
#include "platform/user/resources.h"
#include "platform/user/window_management.h"

namespace user {
namespace {

CWinApp* theApp = nullptr;

struct QuitState {
    CModalLoop* running = nullptr;
    bool pending = false;
    int exitCode = 0;
};
QuitState quit;

// The framework's messages when the resources lack their strings.
const char* BuiltInPrompt(UINT id) {
    switch (id) {
        case AFX_IDP_FAILED_TO_LAUNCH_HELP: return "Failed to launch help.";
        case AFX_IDP_PARSE_INT: return "Please enter an integer.";
        default: return nullptr;
    }
}

std::string LoadString(UINT id) {
    char text[1024];
    const int length = LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return std::string(text, static_cast<std::size_t>(length));
}

}  // namespace

CWinApp::CWinApp(const char* appName) {
    if (appName) {
        givenName_ = appName;
        hasGivenName_ = true;
    }
    theApp = this;
}

CWinApp::~CWinApp() {
    if (theApp == this) theApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
    if (!quit.pending) {
        CModalLoop loop;
        quit.running = &loop;
        loop.Run();
        quit.running = nullptr;
    }
    quit.pending = false;
    return ExitInstance();
}

int CWinApp::ExitInstance() { return quit.exitCode; }

BOOL CWinApp::OnCmdMsg(UINT id, UINT) {
    if (id == ID_HELP) {
        OnHelp();
        return TRUE;
    }
    return FALSE;
}

void CWinApp::DerivePaths(const std::string& path) {
    executablePath = path;
    const std::size_t slash = path.rfind('/');
    const std::string fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t extension = static_cast<std::size_t>(kernel::PathFindExtensionA(path.c_str()) - path.c_str());
    const std::size_t fileExtension =
        static_cast<std::size_t>(kernel::PathFindExtensionA(fileName.c_str()) - fileName.c_str());
    exeName = fileName.substr(0, fileExtension);
    if (hasGivenName_) {
        appTitle = givenName_;
    } else {
        appTitle = LoadString(AFX_IDS_APP_TITLE);
        if (appTitle.empty()) appTitle = exeName;
    }
    helpFilePath = path.substr(0, extension) + (helpEngine == afxHTMLHelp ? ".CHM" : ".HLP");
}

CWinApp* AfxGetApp() { return theApp; }

CWnd* AfxGetMainWnd() { return theApp ? theApp->mainWindow : nullptr; }

void PostQuitMessage(int exitCode) {
    quit.exitCode = exitCode;
    if (quit.running) {
        quit.running->End(exitCode);
    } else {
        quit.pending = true;
    }
}

int RunApplication(CWinApp& app, int argc, char** argv) {
    std::string error;
    if (!StartApplication(&error)) {
        std::fprintf(stderr, "%s: %s\n", GetApplicationTitle().c_str(), error.c_str());
        return 1;
    }
    quit = QuitState{};
    // The HTML Help viewer is a built-in module, found by name on first use.
    InstallHtmlHelpModule();
    app.DerivePaths(GetExecutablePath());
    app.commandLineArguments.clear();
    for (int i = 1; argv && i < argc; ++i) {
        if (argv[i]) app.commandLineArguments.emplace_back(argv[i]);
    }
    SetApplicationTitle(app.appTitle);
    int result;
    if (!app.InitInstance()) {
        if (app.mainWindow && app.mainWindow->GetSafeHwnd()) app.mainWindow->DestroyWindow();
        result = app.ExitInstance();
    } else {
        result = app.Run();
    }
    StopApplication();
    return result;
}

int AfxMessageBox(const char* text, UINT type, UINT helpId) {
    CWinApp* app = AfxGetApp();
    HWND top = nullptr;
    const HWND owner = internal::GetSafeOwner(nullptr, &top);
    const DWORD savedContext = app ? app->promptContext : 0;
    if (app && helpId != 0) app->promptContext = helpId;
    const int result = MessageBoxA(owner, text, app && !app->appTitle.empty() ? app->appTitle.c_str() : nullptr, type);
    if (app) app->promptContext = savedContext;
    if (top && IsWindow(top)) EnableWindow(top, TRUE);
    return result;
}

int AfxMessageBox(UINT promptId, UINT type, UINT helpId) {
    std::string text = LoadString(promptId);
    if (text.empty() && BuiltInPrompt(promptId)) text = BuiltInPrompt(promptId);
    if (helpId == static_cast<UINT>(-1)) helpId = HID_BASE_PROMPT + promptId;
    return AfxMessageBox(text.c_str(), type, helpId);
}

}  // namespace user

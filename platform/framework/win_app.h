#pragma once
// The application object's base: the one object that starts and ends the
// program, knows its main window, its title and its help file, and handles
// the commands no window takes (help).

#include <string>
#include <vector>

#include "platform/framework/cwnd.h"
#include "platform/framework/framework_ids.h"
#include "platform/user/records.h"

namespace user {

enum AppHelpType { afxWinHelp = 0, afxHTMLHelp = 1 };

class CWinApp {
public:
    // The newest application object is the program's (AfxGetApp). appName:
    // the title; null takes string AFX_IDS_APP_TITLE, or without it the
    // executable's name.
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start-up step; returning FALSE ends the program after ExitInstance.
    virtual BOOL InitInstance();
    // Serves messages until PostQuitMessage (or the main window's
    // destruction), then ExitInstance.
    virtual int Run();
    // Exit step; the program's exit status.
    virtual int ExitInstance();

    // Commands windows pass on after their own handlers: ID_HELP by
    // default. TRUE when handled.
    virtual BOOL OnCmdMsg(UINT id, UINT code);
    // ID_HELP: help for the message box being shown (its prompt context,
    // nothing for the help failure's own), else CWnd::OnHelp's search from
    // the main window.
    virtual void OnHelp();

    // Shows help for a context. HTML Help (helpEngine afxHTMLHelp) through
    // the viewer module, WinHelp commands translated; failures show
    // "Failed to launch help.".
    void WinHelpInternal(DWORD_PTR data, UINT command = HELP_CONTEXT);
    void WinHelp(DWORD_PTR data, UINT command = HELP_CONTEXT);
    void HtmlHelp(DWORD_PTR data, UINT command);

    // Derived from the executable's path before InitInstance: its name
    // without extension, the title, and the help file (the path with its
    // extension, if any, replaced by ".CHM", or ".HLP" for WinHelp).
    void DerivePaths(const std::string& executablePath);

    int helpEngine = afxWinHelp;
    std::string executablePath;
    std::string exeName;
    std::string appTitle;
    std::string helpFilePath;
    // The arguments the program was started with, after its own name, as
    // the file system's bytes (a desktop passes the files to open).
    std::vector<std::string> commandLineArguments;
    CWnd* mainWindow = nullptr;
    // The help context of the framework message box being shown; 0 when none.
    DWORD promptContext = 0;

private:
    std::string givenName_;
    bool hasGivenName_ = false;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

// Starts the windowing service (reporting on standard error why, when it
// cannot, and returning 1), derives the application's paths, runs the
// start-up step and then either Run or, when it refused, ExitInstance;
// stops the service and returns the exit status. The arguments after
// argv[0] become the application's commandLineArguments; the toolkit reads
// none of them.
int RunApplication(CWinApp& app, int argc = 0, char** argv = nullptr);

// Ends CWinApp::Run with that status.
void PostQuitMessage(int exitCode);

// A framework message box: text, MB_* type, caption the application's
// title, owned by the main window's most recently active pop-up (the main
// window's top-level window disabled meanwhile). While it is shown the
// application's prompt context is helpId (for the string form) or
// HID_BASE_PROMPT + promptId (unless helpId says otherwise).
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT promptId, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));

}  // namespace user

#include "app/pelmora_app.h"

#include "app/launcher_dialog.h"
#include "platform/user/controls.h"

CPelmoraApp::CPelmoraApp() : CWinApp(nullptr) { helpEngine = user::afxHTMLHelp; }

BOOL CPelmoraApp::InitInstance() {
    user::InitCommonControls();
    // The base step finds no language satellite to look for: the program
    // ships its resources compiled in.
    CWinApp::InitInstance();

    CLauncherDialog launcher;
    // The files a desktop passes (or anything else named): each opens as the
    // open-photo command opens its file; what does not decode is ignored.
    launcher.startFiles = commandLineArguments;
    mainWindow = &launcher;
    launcher.DoModal();
    // The launcher's window is gone by now; its destruction cleared
    // mainWindow. Cleared here too, in case the dialog could not be made.
    mainWindow = nullptr;
    return FALSE;
}

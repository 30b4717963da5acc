#pragma once
// The one application object: starts the program, runs the launcher as
// its main window, and ends the program when the launcher closes.

#include "platform/framework/win_app.h"

class CPelmoraApp : public user::CWinApp {
public:
    // No application name: the title is the executable's name. Help is
    // HTML Help, from the .CHM beside the executable.
    CPelmoraApp();

    // Runs the launcher modally and returns FALSE, so that the program ends
    // once the launcher has closed.
    BOOL InitInstance() override;
};

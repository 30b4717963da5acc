#pragma once
// Dialog templates and windows shared by the framework's tests, and a way
// to look at and answer the framework's message boxes from inside their
// nested loop.

#include <functional>
#include <memory>
#include <string>

#include "platform/framework/framework.h"

namespace usertest {

// Templates registered by RegisterTestDialogs.
inline constexpr WORD sideDialogId = 901;     // OK (default), Cancel, edit 1002, radios 1003..1006
inline constexpr WORD smallDialogId = 902;    // OK, Cancel; not visible, at (0, 0)
inline constexpr WORD visibleDialogId = 903;  // the same with WS_VISIBLE, at (10, 10)
inline constexpr int lengthEdit = 1002;
inline constexpr int firstRadio = 1003;
inline constexpr int betweenStatic = 1008;  // a static inside the radio group
void RegisterTestDialogs();

// A top-level window with a caption for the main window, and pop-ups it
// owns (like photo windows).
class CPlainWnd : public user::CWnd {
public:
    bool Create(const char* title, int x, int y, int width, int height, user::HWND owner = nullptr,
                DWORD style = user::WS_POPUP | user::WS_VISIBLE | user::WS_CAPTION | user::WS_SYSMENU);
};

// A message box as it was shown.
struct ShownBox {
    bool shown = false;
    std::string title;
    std::string text;
    bool exclamation = false;
    DWORD promptContext = 0;   // the application's, while it was up
    bool ownerEnabled = true;  // the window the box belongs to
    user::HWND focusWhileShown = nullptr;
};

// Waits (inside whatever loop runs) for the next message box, notes it,
// runs whileShown (if any), then presses its default button. The watch
// lasts as long as the caller holds the result.
std::shared_ptr<ShownBox> AnswerNextBox(user::HWND owner, std::function<void()> whileShown = {});

}  // namespace usertest

#include "tests/platform/framework/test_dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "tests/support/gui_pump.h"

namespace usertest {

using namespace user;

namespace {

constexpr DWORD childVisible = WS_CHILD | WS_VISIBLE;

const DialogItemTemplate sideItems[] = {
    {0, 0, childVisible | WS_TABSTOP | BS_DEFPUSHBUTTON, 102, 6, 50, 14, IDOK, "Button", "OK", 0},
    {0, 0, childVisible | WS_TABSTOP, 102, 23, 50, 14, IDCANCEL, "Button", "Cancel", 0},
    {0, 0, childVisible | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 36, 48, 40, 14, lengthEdit, "Edit", "", 0},
    {0, 0, childVisible | WS_GROUP | BS_AUTORADIOBUTTON, 12, 18, 24, 10, firstRadio, "Button", "A", 0},
    {0, 0, childVisible | BS_AUTORADIOBUTTON, 12, 30, 24, 10, firstRadio + 1, "Button", "B", 0},
    {0, 0, childVisible | SS_LEFT, 40, 18, 10, 8, betweenStatic, "Static", "-", 0},
    {0, 0, childVisible | BS_AUTORADIOBUTTON, 60, 18, 32, 10, firstRadio + 2, "Button", "C", 0},
    {0, 0, childVisible | BS_AUTORADIOBUTTON, 60, 30, 32, 10, firstRadio + 3, "Button", "D", 0},
    {0, 0, childVisible | WS_GROUP | SS_LEFT, 12, 51, 18, 8, -1, "Static", "Len", 0},
    {0, 0, childVisible | WS_GROUP | BS_AUTORADIOBUTTON, 100, 48, 40, 10, 1009, "Button", "E", 0},
};

const DialogItemTemplate smallItems[] = {
    {0, 0, childVisible | WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 10, 50, 14, IDOK, "Button", "OK", 0},
    {0, 0, childVisible | WS_TABSTOP, 70, 10, 50, 14, IDCANCEL, "Button", "Cancel", 0},
};

DialogTemplate Base(const char* title, short cx, short cy) {
    DialogTemplate dialog;
    dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    dialog.cx = cx;
    dialog.cy = cy;
    dialog.title = title;
    dialog.pointSize = 9;
    dialog.typeface = "MS UI Gothic";
    return dialog;
}

}  // namespace

void RegisterTestDialogs() {
    DialogTemplate side = Base("side dialog", 160, 66);
    side.items = sideItems;
    EXPECT_TRUE(RegisterDialogResource(sideDialogId, side));
    DialogTemplate small = Base("small dialog", 130, 34);
    small.items = smallItems;
    EXPECT_TRUE(RegisterDialogResource(smallDialogId, small));
    DialogTemplate visible = Base("visible dialog", 130, 34);
    visible.style |= WS_VISIBLE;
    visible.x = 10;
    visible.y = 10;
    visible.items = smallItems;
    EXPECT_TRUE(RegisterDialogResource(visibleDialogId, visible));
}

bool CPlainWnd::Create(const char* title, int x, int y, int width, int height, HWND owner, DWORD style) {
    return CreateEx(owner ? WS_EX_TOOLWINDOW : 0, AfxRegisterWndClass(0), title, style, x, y, width, height, owner) !=
           FALSE;
}

std::shared_ptr<ShownBox> AnswerNextBox(HWND owner, std::function<void()> whileShown) {
    auto shown = std::make_shared<ShownBox>();
    auto poll = std::make_shared<std::function<void()>>();
    // The watch ends when its caller lets go of the result, so that a box
    // that never came does not leave a watcher to answer a later test's box.
    *poll = [watched = std::weak_ptr<ShownBox>(shown), poll, owner, whileShown] {
        const std::shared_ptr<ShownBox> shown = watched.lock();
        if (!shown) {
            *poll = nullptr;
            return;
        }
        QMessageBox* box = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* candidate = qobject_cast<QMessageBox*>(widget); candidate && candidate->isVisible())
                box = candidate;
        }
        if (!box) {
            testsupport::RunSoon(*poll, std::chrono::milliseconds(10));
            return;
        }
        shown->shown = true;
        shown->title = box->windowTitle().toStdString();
        shown->text = box->text().toStdString();
        shown->exclamation = box->icon() == QMessageBox::Warning;
        if (CWinApp* app = AfxGetApp()) shown->promptContext = app->promptContext;
        shown->ownerEnabled = IsWindowEnabled(owner) != FALSE;
        shown->focusWhileShown = GetFocus();
        if (whileShown) whileShown();
        if (box->defaultButton()) box->defaultButton()->click();
        *poll = nullptr;  // ends the cycle between the function and itself
    };
    testsupport::RunSoon(*poll);
    return shown;
}

}  // namespace usertest

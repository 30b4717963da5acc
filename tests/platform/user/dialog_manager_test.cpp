// The dialog manager with real keys and pointer through the X server: the
// focus on opening, Tab order, arrow keys within a radio group, what Enter,
// Esc and the close box send, clicks through plain statics, control
// colours and pointer shapes asked of the dialog.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "tests/support/gui_pump.h"
#include "tests/support/print_types.h"
#include "tests/support/x_session.h"

namespace {

using namespace user;
using testsupport::CXSession;
using testsupport::PumpUntil;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

constexpr DWORD childVisible = WS_CHILD | WS_VISIBLE;

// Like the Resize dialog: OK (default), Cancel, an edit field, a radio
// group without tab stops, a plain static, a group box, and a notifying
// static.
const DialogItemTemplate items[] = {
    {0, 0, childVisible | WS_TABSTOP | BS_DEFPUSHBUTTON, 102, 6, 50, 14, IDOK, "Button", "OK", 0},
    {0, 0, childVisible | WS_TABSTOP, 102, 23, 50, 14, IDCANCEL, "Button", "Cancel", 0},
    {0, 0, childVisible | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 36, 48, 40, 14, 1002, "Edit", "", 0},
    {0, 0, childVisible | WS_GROUP | BS_AUTORADIOBUTTON, 12, 18, 24, 10, 1003, "Button", "A", 0},
    {0, 0, childVisible | BS_AUTORADIOBUTTON, 12, 30, 24, 10, 1004, "Button", "B", 0},
    {0, 0, childVisible | BS_AUTORADIOBUTTON, 60, 18, 32, 10, 1005, "Button", "C", 0},
    {0, 0, childVisible | BS_AUTORADIOBUTTON, 60, 30, 32, 10, 1006, "Button", "D", 0},
    {0, 0, childVisible | WS_GROUP | SS_LEFT, 12, 51, 18, 8, 1010, "Static", "Len", 0},
    {0, 0, childVisible | BS_GROUPBOX, 6, 6, 90, 36, 1011, "Button", "Side", 0},
    {0, 0, childVisible | WS_GROUP | SS_NOTIFY | SS_LEFT, 6, 64, 100, 8, 1012, "Static", "link text", 0},
};

DialogTemplate Template(DWORD extraStyle = 0, std::span<const DialogItemTemplate> controls = items) {
    DialogTemplate dialog;
    dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | extraStyle;
    dialog.x = 20;
    dialog.y = 20;
    dialog.cx = 160;
    dialog.cy = 76;
    dialog.title = "keys dialog";
    dialog.pointSize = 9;
    dialog.typeface = "MS UI Gothic";
    dialog.items = controls;
    return dialog;
}

// What the dialog procedure saw.
struct Seen {
    std::vector<std::pair<int, UINT>> commands;  // id, notification
    bool focusFirst = true;
    HWND colouredControl = nullptr;
    std::vector<HWND> cursorAsks;
    HWND handOver = nullptr;  // the dialog sets a hand over this control
    int clicksOnDialog = 0;
};
Seen seen;

INT_PTR DialogProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: return seen.focusFirst ? TRUE : FALSE;
        case WM_COMMAND: seen.commands.emplace_back(LOWORD(wParam), HIWORD(wParam)); return TRUE;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == seen.colouredControl) {
                gdi::SetTextColor(reinterpret_cast<gdi::HDC>(wParam), gdi::RGB(0, 0, 255));
                return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_3DFACE));
            }
            return FALSE;
        case WM_SETCURSOR:
            seen.cursorAsks.push_back(reinterpret_cast<HWND>(wParam));
            if (seen.handOver && reinterpret_cast<HWND>(wParam) == seen.handOver) {
                SetCursor(LoadCursorA(nullptr, IDC_HAND));
                return TRUE;
            }
            return FALSE;
        case WM_LBUTTONDOWN: ++seen.clicksOnDialog; return FALSE;
        default: return FALSE;
    }
}

class DialogManager : public testing::Test {
protected:
    void SetUp() override {
        seen = Seen{};
        x_.MovePointer(1900, 1070);
    }
    void TearDown() override {
        if (IsWindow(dialog_)) DestroyWindow(dialog_);
    }
    HWND Open(const DialogTemplate& dialog) {
        dialog_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &dialog, nullptr, DialogProc, 0);
        if (!dialog_) return nullptr;
        ShowWindow(dialog_, SW_SHOWNORMAL);
        EXPECT_TRUE(PumpUntil([&] { return x_.FindWindow("keys dialog") != 0 && GetActiveWindow() == dialog_; }));
        testsupport::Settle();
        return dialog_;
    }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    // Presses a key and waits until the focus is on expected.
    bool KeyMovesFocusTo(const char* key, HWND expected, std::initializer_list<const char*> modifiers = {}) {
        x_.TapKey(key, modifiers);
        return PumpUntil([&] { return GetFocus() == expected; }, std::chrono::milliseconds(2000));
    }
    bool KeySends(const char* key, std::pair<int, UINT> command, std::initializer_list<const char*> modifiers = {}) {
        seen.commands.clear();
        x_.TapKey(key, modifiers);
        return PumpUntil([&] { return !seen.commands.empty(); }, std::chrono::milliseconds(2000)) &&
               seen.commands.front() == command && seen.commands.size() == 1;
    }
    POINT CentreOf(HWND control) {
        RECT rect{};
        GetWindowRect(control, &rect);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    CXSession x_;
    HWND dialog_ = nullptr;
};

TEST_F(DialogManager, FirstTabStopHasTheFocusWhenInitialisationSaysSo) {
    Open(Template());
    EXPECT_EQ(GetFocus(), Item(IDOK));
    DestroyWindow(dialog_);
    seen.focusFirst = false;
    Open(Template());
    EXPECT_NE(GetFocus(), Item(IDOK));
}

TEST_F(DialogManager, TabCyclesTheTabStopsInTemplateOrder) {
    Open(Template());
    // The radio buttons have no tab stop; the edit field's text is
    // selected when Tab reaches it.
    SetWindowTextA(Item(1002), "250");
    EXPECT_TRUE(KeyMovesFocusTo("Tab", Item(IDCANCEL)));
    EXPECT_TRUE(KeyMovesFocusTo("Tab", Item(1002)));
    DWORD start = 99;
    DWORD end = 99;
    SendMessageA(Item(1002), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 3u);
    EXPECT_TRUE(KeyMovesFocusTo("Tab", Item(IDOK))) << "wraps around";
    EXPECT_TRUE(KeyMovesFocusTo("Tab", Item(1002), {"Shift_L"})) << "Shift+Tab goes back";

    // Disabled and hidden controls are passed over.
    EnableWindow(Item(IDCANCEL), FALSE);
    SetFocus(Item(IDOK));
    EXPECT_TRUE(KeyMovesFocusTo("Tab", Item(1002)));
    EnableWindow(Item(IDCANCEL), TRUE);
    ShowWindow(Item(1002), SW_HIDE);
    SetFocus(Item(IDCANCEL));
    EXPECT_TRUE(KeyMovesFocusTo("Tab", Item(IDOK)));
}

TEST_F(DialogManager, ArrowKeysMoveAndCheckWithinTheRadioGroup) {
    Open(Template());
    SendMessageA(Item(1005), BM_SETCHECK, BST_CHECKED, 0);
    SetFocus(Item(1005));
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Item(1005); }));
    struct Step {
        const char* key;
        int focus;
    };
    // Down and Right go forward, Up and Left back, wrapping within the four
    // buttons: never onto the static or group box that follow.
    const Step steps[] = {{"Down", 1006}, {"Right", 1003}, {"Up", 1006}, {"Left", 1005}, {"Left", 1004}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.key);
        EXPECT_TRUE(KeyMovesFocusTo(step.key, Item(step.focus)));
        for (int id = 1003; id <= 1006; ++id) {
            const LRESULT expected = id == step.focus ? BST_CHECKED : BST_UNCHECKED;
            EXPECT_EQ(SendMessageA(Item(id), BM_GETCHECK, 0, 0), expected) << id;
        }
    }
    // The edit field keeps its arrows for its caret.
    SetFocus(Item(1002));
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Item(1002); }));
    x_.TapKey("Down");
    testsupport::Settle();
    EXPECT_EQ(GetFocus(), Item(1002));
}

TEST_F(DialogManager, EnterPressesTheFocusedButtonOrTheDefaultOne) {
    Open(Template());
    SetFocus(Item(IDCANCEL));
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Item(IDCANCEL); }));
    EXPECT_TRUE(KeySends("Return", {IDCANCEL, BN_CLICKED})) << "the focused push button";
    SetFocus(Item(1002));
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Item(1002); }));
    EXPECT_TRUE(KeySends("Return", {IDOK, BN_CLICKED})) << "the default push button";
    EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(SendMessageA(dialog_, DM_GETDEFID, 0, 0))), DC_HASDEFID);
    SendMessageA(dialog_, DM_SETDEFID, IDCANCEL, 0);
    EXPECT_TRUE(KeySends("Return", {IDCANCEL, BN_CLICKED})) << "DM_SETDEFID chose another";
    EXPECT_TRUE(KeySends("Escape", {IDCANCEL, BN_CLICKED}));
    EXPECT_TRUE(KeySends("F4", {IDCANCEL, BN_CLICKED}, {"Alt_L"})) << "Alt+F4 closes as Cancel";

    // A disabled Cancel swallows Esc and the close box.
    EnableWindow(Item(IDCANCEL), FALSE);
    seen.commands.clear();
    x_.TapKey("Escape");
    SendMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
    testsupport::Settle();
    EXPECT_TRUE(seen.commands.empty());
    EnableWindow(Item(IDCANCEL), TRUE);
    SendMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_EQ(seen.commands.size(), 1u);
    EXPECT_EQ(seen.commands.front(), (std::pair<int, UINT>{IDCANCEL, BN_CLICKED})) << "the close box is Cancel";
}

TEST_F(DialogManager, WithoutADefaultButtonEnterSendsIdOk) {
    // A launcher-like dialog: two plain push buttons and an edit field.
    const DialogItemTemplate plain[] = {
        {0, 0, childVisible | WS_TABSTOP, 6, 6, 30, 14, 1000, "Button", "Open", 0},
        {0, 0, childVisible | WS_TABSTOP, 40, 6, 30, 14, 57670, "Button", "Help", 0},
        {0, 0, childVisible | WS_BORDER | WS_TABSTOP, 6, 30, 60, 14, 1002, "Edit", "", 0},
    };
    Open(Template(0, plain));
    EXPECT_EQ(GetFocus(), Item(1000));
    EXPECT_TRUE(KeySends("Return", {1000, BN_CLICKED}));
    EXPECT_TRUE(KeyMovesFocusTo("Tab", Item(57670)));
    EXPECT_TRUE(KeySends("space", {57670, BN_CLICKED})) << "the toolkit's own button keys still work";
    SetFocus(Item(1002));
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Item(1002); }));
    EXPECT_TRUE(KeySends("Return", {IDOK, BN_CLICKED}));
}

TEST_F(DialogManager, PlainStaticsLetThePointerThroughAndNotifyingOnesReportClicks) {
    Open(Template());
    const POINT plain = CentreOf(Item(1010));
    x_.MovePointer(plain.x, plain.y);
    ASSERT_TRUE(PumpUntil([&] { return !seen.cursorAsks.empty(); }));
    EXPECT_EQ(seen.cursorAsks.back(), dialog_) << "the dialog is under the pointer";
    x_.PressButton(1);
    x_.ReleaseButton(1);
    EXPECT_TRUE(PumpUntil([&] { return seen.clicksOnDialog == 1; }));
    EXPECT_TRUE(seen.commands.empty());

    const POINT link = CentreOf(Item(1012));
    seen.cursorAsks.clear();
    x_.MovePointer(link.x, link.y);
    ASSERT_TRUE(PumpUntil([&] { return !seen.cursorAsks.empty(); }));
    EXPECT_EQ(seen.cursorAsks.back(), Item(1012)) << "asked on the link's behalf";
    x_.PressButton(1);
    x_.ReleaseButton(1);
    ASSERT_TRUE(PumpUntil([&] { return !seen.commands.empty(); }));
    EXPECT_EQ(seen.commands.front(), (std::pair<int, UINT>{1012, STN_CLICKED}));
    EXPECT_EQ(seen.clicksOnDialog, 1);

    // Over the group box's frame the pointer reaches the dialog too.
    RECT box{};
    GetWindowRect(Item(1011), &box);
    seen.cursorAsks.clear();
    x_.MovePointer(box.left + 3, box.bottom - 3);
    ASSERT_TRUE(PumpUntil([&] { return !seen.cursorAsks.empty(); }));
    EXPECT_EQ(seen.cursorAsks.back(), dialog_);
}

TEST_F(DialogManager, ThePointerShapeIsTheDialogsChoiceOverTheControlItNames) {
    Open(Template());
    seen.handOver = Item(1012);
    const auto shapeAt = [&](HWND control) {
        const POINT at = CentreOf(control);
        x_.MovePointer(at.x, at.y);
        std::vector<std::uint32_t> picture;
        PumpUntil([&] {
            const auto cursor = x_.Cursor();
            if (!cursor) return false;
            const bool settled = cursor->argb == picture;
            picture = cursor->argb;
            return settled && !seen.cursorAsks.empty() && seen.cursorAsks.back() != nullptr;
        });
        seen.cursorAsks.clear();
        return picture;
    };
    const auto overPlain = shapeAt(Item(1010));
    const auto overLink = shapeAt(Item(1012));
    const auto overButton = shapeAt(Item(IDOK));
    EXPECT_NE(overLink, overPlain) << "the hand over the link";
    EXPECT_EQ(overButton, overPlain) << "the arrow elsewhere";
    EXPECT_EQ(shapeAt(Item(1010)), overPlain) << "and back to the arrow";
}

TEST_F(DialogManager, StaticTextTakesTheColourItsParentSets) {
    seen.colouredControl = nullptr;
    Open(Template());
    seen.colouredControl = Item(1012);
    InvalidateRect(Item(1012), nullptr, TRUE);
    InvalidateRect(Item(1010), nullptr, TRUE);
    RECT link{};
    RECT plain{};
    GetWindowRect(Item(1012), &link);
    GetWindowRect(Item(1010), &plain);
    const auto blueIn = [&](const RECT& rect) {
        const testsupport::Pixels pixels = x_.Grab(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        return std::count_if(pixels.rgb.begin(), pixels.rgb.end(), [](std::uint32_t rgb) {
            return (rgb & 0xFF) > 0xC0 && ((rgb >> 8) & 0xFF) < 0x40 && ((rgb >> 16) & 0xFF) < 0x40;
        });
    };
    EXPECT_TRUE(PumpUntil([&] { return blueIn(link) > 10; }));
    EXPECT_EQ(blueIn(plain), 0) << "only the control the dialog chose";
}

}  // namespace

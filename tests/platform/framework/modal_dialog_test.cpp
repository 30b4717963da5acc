// Modal runs of CDialog: the owner the framework picks, which windows are
// disabled while it runs, nested runs, where the dialog opens, and what
// the run returns.
#include <gtest/gtest.h>

#include <functional>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_testing.h"
#include "platform/framework/framework.h"
#include "tests/platform/framework/test_dialogs.h"
#include "tests/support/gui_pump.h"
#include "tests/support/print_types.h"
#include "tests/support/x_session.h"

namespace {

using namespace user;
using testsupport::PumpUntil;
using testsupport::RunSoon;
using usertest::CPlainWnd;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

// A dialog that runs a step once it is up, from inside its own modal run.
class CScriptedDialog : public CDialog {
public:
    explicit CScriptedDialog(UINT id, std::function<void(CScriptedDialog&)> step = {}, CWnd* parent = nullptr)
        : CDialog(id, parent), step_(std::move(step)) {}
    RECT rectAfterInit{};
    std::function<void(CScriptedDialog&)> duringInit;

protected:
    BOOL OnInitDialog() override {
        const BOOL result = CDialog::OnInitDialog();
        if (duringInit) duringInit(*this);
        if (step_) RunSoon([this] { step_(*this); });
        return result;
    }

private:
    std::function<void(CScriptedDialog&)> step_;
};

class ModalRuns : public testing::Test {
protected:
    static void SetUpTestSuite() { usertest::RegisterTestDialogs(); }
    void SetUp() override {
        ASSERT_TRUE(main_.Create("main window", 100, 100, 300, 200));
        ASSERT_TRUE(photo1_.Create("photo one", 500, 300, 400, 300, main_.GetSafeHwnd(), WS_POPUP | WS_VISIBLE));
        ASSERT_TRUE(photo2_.Create("photo two", 1000, 300, 200, 200, main_.GetSafeHwnd(), WS_POPUP | WS_VISIBLE));
        app_.mainWindow = &main_;
        SetActiveWindow(photo1_.GetSafeHwnd());
        ASSERT_TRUE(PumpUntil([&] { return GetLastActivePopup(main_.GetSafeHwnd()) == photo1_.GetSafeHwnd(); }));
    }
    void TearDown() override { app_.mainWindow = nullptr; }

    static bool Enabled(const CWnd& window) { return IsWindowEnabled(window.GetSafeHwnd()) != FALSE; }

    CWinApp app_;
    CPlainWnd main_;
    CPlainWnd photo1_;
    CPlainWnd photo2_;
};

TEST_F(ModalRuns, OwnerIsTheMainWindowsLastActivePopupAndOnlyItAndTheMainWindowAreDisabled) {
    HWND dialog = nullptr;
    bool ownerDisabled = false;
    bool mainDisabled = false;
    bool siblingEnabled = false;
    HWND activeSibling = nullptr;
    CScriptedDialog run(usertest::smallDialogId, [&](CScriptedDialog& self) {
        dialog = self.GetSafeHwnd();
        ownerDisabled = !Enabled(photo1_);
        mainDisabled = !Enabled(main_);
        siblingEnabled = Enabled(photo2_);
        // Another photo window keeps working meanwhile.
        SetActiveWindow(photo2_.GetSafeHwnd());
        activeSibling = GetActiveWindow();
        self.EndDialog(IDOK);
    });
    EXPECT_EQ(run.DoModal(), IDOK);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(mainDisabled);
    EXPECT_TRUE(siblingEnabled);
    EXPECT_EQ(activeSibling, photo2_.GetSafeHwnd());
    EXPECT_FALSE(IsWindow(dialog)) << "destroyed when the run ends";
    EXPECT_TRUE(Enabled(main_));
    EXPECT_TRUE(Enabled(photo1_));
    EXPECT_TRUE(Enabled(photo2_));
}

TEST_F(ModalRuns, DialogIsOwnedByThePopupAndTheFocusReturnsThere) {
    HWND owner = nullptr;
    CScriptedDialog run(usertest::smallDialogId, [&](CScriptedDialog& self) {
        owner = GetWindow(self.GetSafeHwnd(), GW_OWNER);
        self.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(run.DoModal(), IDCANCEL);
    EXPECT_EQ(owner, photo1_.GetSafeHwnd());
    EXPECT_EQ(GetActiveWindow(), photo1_.GetSafeHwnd());
}

TEST_F(ModalRuns, NestedRunsDisableAndEnableTheirOwnOwners) {
    struct Seen {
        bool photo1Disabled = false, photo2Disabled = false, mainDisabled = false;
    } inner, afterInner;
    INT_PTR innerResult = 0;
    CScriptedDialog outer(usertest::smallDialogId, [&](CScriptedDialog& self) {
        // The other photo window opens a dialog of its own.
        SetActiveWindow(photo2_.GetSafeHwnd());
        CScriptedDialog nested(usertest::smallDialogId, [&](CScriptedDialog& nestedSelf) {
            inner = {!Enabled(photo1_), !Enabled(photo2_), !Enabled(main_)};
            nestedSelf.EndDialog(IDOK);
        });
        innerResult = nested.DoModal();
        afterInner = {!Enabled(photo1_), !Enabled(photo2_), !Enabled(main_)};
        self.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(outer.DoModal(), IDCANCEL);
    EXPECT_EQ(innerResult, IDOK);
    EXPECT_TRUE(inner.photo1Disabled && inner.photo2Disabled && inner.mainDisabled);
    EXPECT_TRUE(afterInner.photo1Disabled) << "still the outer run's owner";
    EXPECT_FALSE(afterInner.photo2Disabled);
    EXPECT_TRUE(afterInner.mainDisabled);
    EXPECT_TRUE(Enabled(main_) && Enabled(photo1_) && Enabled(photo2_));
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

TEST_F(ModalRuns, HiddenTemplateIsCentredOverItsOwnerWithinTheWorkArea) {
    struct Case {
        const char* what;
        RECT ownerRect;  // x, y, width, height
        bool ownerHidden;
    };
    const Case cases[] = {
        {"over the owner", {500, 300, 400, 300}, false},
        {"pushed in at the right and bottom edges", {1800, 1000, 100, 60}, false},
        {"pushed in at the left and top edges", {0, 0, 40, 40}, false},
        {"owner hidden: on the main window's monitor's work area", {500, 300, 400, 300}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MoveWindow(photo1_.GetSafeHwnd(), c.ownerRect.left, c.ownerRect.top, c.ownerRect.right, c.ownerRect.bottom,
                   TRUE);
        ShowWindow(photo1_.GetSafeHwnd(), SW_SHOW);
        SetActiveWindow(photo1_.GetSafeHwnd());
        ASSERT_TRUE(PumpUntil([&] { return GetLastActivePopup(main_.GetSafeHwnd()) == photo1_.GetSafeHwnd(); }));
        if (c.ownerHidden) ShowWindow(photo1_.GetSafeHwnd(), SW_HIDE);
        RECT dialog{};
        // A hidden window is nobody's last active pop-up: the hidden owner
        // is given as the parent.
        CScriptedDialog run(
            usertest::smallDialogId,
            [&](CScriptedDialog& self) {
                dialog = WindowRect(self.GetSafeHwnd());
                self.EndDialog(IDOK);
            },
            c.ownerHidden ? &photo1_ : nullptr);
        run.DoModal();
        const LONG width = dialog.right - dialog.left;
        const LONG height = dialog.bottom - dialog.top;
        RECT centreOn{c.ownerRect.left, c.ownerRect.top, c.ownerRect.left + c.ownerRect.right,
                      c.ownerRect.top + c.ownerRect.bottom};
        if (c.ownerHidden) centreOn = RECT{0, 0, 1920, 1080};
        LONG x = (centreOn.left + centreOn.right) / 2 - width / 2;
        LONG y = (centreOn.top + centreOn.bottom) / 2 - height / 2;
        x = std::max<LONG>(0, std::min<LONG>(x, 1920 - width));
        y = std::max<LONG>(0, std::min<LONG>(y, 1080 - height));
        EXPECT_EQ(dialog, (RECT{x, y, x + width, y + height}));
        ShowWindow(photo1_.GetSafeHwnd(), SW_SHOW);
    }
}

TEST_F(ModalRuns, VisibleTemplateOrAMoveDuringInitialisationKeepsThePosition) {
    RECT visible{};
    CScriptedDialog shown(usertest::visibleDialogId, [&](CScriptedDialog& self) {
        visible = WindowRect(self.GetSafeHwnd());
        self.EndDialog(IDOK);
    });
    shown.DoModal();
    // (10, 10) dialog units from the owner's client area: 18, 15 pixels.
    EXPECT_EQ(visible.left, 500 + 18);
    EXPECT_EQ(visible.top, 300 + 15);

    RECT moved{};
    CScriptedDialog placed(usertest::smallDialogId, [&](CScriptedDialog& self) {
        moved = WindowRect(self.GetSafeHwnd());
        self.EndDialog(IDOK);
    });
    placed.duringInit = [](CScriptedDialog& self) {
        RECT rect = WindowRect(self.GetSafeHwnd());
        MoveWindow(self.GetSafeHwnd(), 7, 9, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    };
    placed.DoModal();
    EXPECT_EQ(moved.left, 7);
    EXPECT_EQ(moved.top, 9);
}

TEST_F(ModalRuns, EscCloseBoxAndDestructionEndTheRunAsCancelled) {
    CScriptedDialog escaped(usertest::smallDialogId, [](CScriptedDialog& self) {
        SendMessageA(self.GetSafeHwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(escaped.DoModal(), IDCANCEL);
    CScriptedDialog destroyed(usertest::smallDialogId, [](CScriptedDialog& self) { self.DestroyWindow(); });
    EXPECT_EQ(destroyed.DoModal(), IDCANCEL);
    EXPECT_TRUE(Enabled(main_) && Enabled(photo1_));
}

TEST_F(ModalRuns, MissingTemplateFailsWithMinusOneAndChangesNothing) {
    CDialog missing(4711);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_TRUE(Enabled(main_) && Enabled(photo1_) && Enabled(photo2_));
    EXPECT_EQ(missing.GetSafeHwnd(), nullptr);
}

// The About box's pattern: an underlined copy of the dialog's font made
// when it opens and deleted when its window goes.
class CUnderlinedDialog : public CDialog {
public:
    CUnderlinedDialog() : CDialog(usertest::smallDialogId) {}
    gdi::HFONT underlined = nullptr;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        const auto font = reinterpret_cast<gdi::HFONT>(::user::SendMessageA(GetDlgItem(IDOK), WM_GETFONT, 0, 0));
        gdi::LOGFONTA description{};
        gdi::GetObjectA(font, sizeof description, &description);
        description.lfUnderline = 1;
        underlined = gdi::CreateFontIndirectA(&description);
        ::user::SendMessageA(GetDlgItem(IDOK), WM_SETFONT, reinterpret_cast<WPARAM>(underlined), TRUE);
        RunSoon([this] { EndDialog(IDOK); });
        return TRUE;
    }
    void OnDestroy() override {
        CDialog::OnDestroy();
        gdi::DeleteObject(underlined);
    }
};

TEST_F(ModalRuns, OpeningAndClosingDialogsLeavesNoFontsBehind) {
    const long before = gdi::LiveObjectCount(gdi::OBJ_FONT);
    for (int i = 0; i < 5; ++i) {
        CUnderlinedDialog dialog;
        EXPECT_EQ(dialog.DoModal(), IDOK);
    }
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_FONT), before);
}

}  // namespace

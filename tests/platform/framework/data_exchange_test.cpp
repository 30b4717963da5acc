// Data exchange of an edit field as an integer and of a radio group as an
// index, in both directions, with every way a typed number can be wrong.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/framework/framework.h"
#include "tests/platform/framework/test_dialogs.h"
#include "tests/support/gui_pump.h"

namespace {

using namespace user;
using testsupport::RunSoon;
using usertest::AnswerNextBox;
using usertest::CPlainWnd;
using usertest::firstRadio;
using usertest::lengthEdit;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

class CSideDialog : public CDialog {
public:
    explicit CSideDialog(std::function<void(CSideDialog&)> step)
        : CDialog(usertest::sideDialogId), step_(std::move(step)) {}
    int length = 0;
    int side = 0;
    int changes = 0;  // EN_CHANGE from the edit field

    void PressOk() { ::user::SendMessageA(GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, lengthEdit, length);
        DDX_Radio(dx, firstRadio, side);
    }
    BOOL OnInitDialog() override {
        const BOOL result = CDialog::OnInitDialog();
        RunSoon([this] { step_(*this); });
        return result;
    }
    BOOL OnCommand(UINT id, UINT code, HWND control) override {
        if (id == static_cast<UINT>(lengthEdit) && code == EN_CHANGE) ++changes;
        return CDialog::OnCommand(id, code, control);
    }

private:
    std::function<void(CSideDialog&)> step_;
};

std::string TextOf(HWND control) {
    char text[128] = {};
    GetWindowTextA(control, text, sizeof text);
    return text;
}

class DataExchange : public testing::Test {
protected:
    static void SetUpTestSuite() { usertest::RegisterTestDialogs(); }
    void SetUp() override {
        ASSERT_TRUE(main_.Create("exchange main", 100, 100, 300, 200));
        app_.DerivePaths("/opt/tools/exchange.bin");
        app_.mainWindow = &main_;
    }
    void TearDown() override { app_.mainWindow = nullptr; }

    CWinApp app_;
    CPlainWnd main_;
};

TEST_F(DataExchange, WritingFillsTheFieldAndChecksExactlyOneButton) {
    struct Case {
        int length;
        int side;
        const char* text;
    };
    const Case cases[] = {{300, 2, "300"}, {-20, 0, "-20"}, {INT_MIN, 3, "-2147483648"}, {0, -1, "0"}, {7, 9, "7"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string text;
        int checked[5] = {};
        CSideDialog dialog([&](CSideDialog& self) {
            text = TextOf(self.GetDlgItem(lengthEdit));
            for (int i = 0; i < 5; ++i) {
                const int id = i < 4 ? firstRadio + i : 1009;
                checked[i] = static_cast<int>(SendMessageA(self.GetDlgItem(id), BM_GETCHECK, 0, 0));
            }
            self.EndDialog(IDCANCEL);
        });
        dialog.length = c.length;
        dialog.side = c.side;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(text, c.text);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(checked[i], i == c.side ? 1 : 0) << "radio " << i;
        EXPECT_EQ(checked[4], 0) << "the next group is not touched";
    }
}

TEST_F(DataExchange, WritingLeavesAnEqualTextAlone) {
    int changesFromSameValue = -1;
    int changesFromNewValue = -1;
    CSideDialog dialog([&](CSideDialog& self) {
        const int before = self.changes;
        self.UpdateData(FALSE);
        changesFromSameValue = self.changes - before;
        self.length = 301;
        self.UpdateData(FALSE);
        changesFromNewValue = self.changes - before;
        self.EndDialog(IDCANCEL);
    });
    dialog.length = 300;
    dialog.DoModal();
    EXPECT_EQ(changesFromSameValue, 0);
    EXPECT_EQ(changesFromNewValue, 1);
}

TEST_F(DataExchange, ReadingAcceptsWhatPercentDReads) {
    const std::string longNumber = std::string(62, '0') + "7";     // 63 bytes: all read
    const std::string tooLongNumber = std::string(63, '0') + "7";  // the 64th byte is not read
    struct Case {
        std::string text;
        int value;
    };
    const Case cases[] = {
        {"250", 250},
        {"  250", 250},
        {"\t-20", -20},
        {"+7", 7},
        {" 250px", 250},
        {"250 300", 250},
        {"0", 0},
        {"-0", 0},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {longNumber, 7},
        {tooLongNumber, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("\"" + c.text + "\"");
        CSideDialog dialog([&](CSideDialog& self) {
            SetWindowTextA(self.GetDlgItem(lengthEdit), c.text.c_str());
            SendMessageA(self.GetDlgItem(firstRadio + 3), BM_SETCHECK, BST_CHECKED, 0);
            self.PressOk();
        });
        dialog.length = -99;
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.length, c.value);
        EXPECT_EQ(dialog.side, 3);
    }
}

TEST_F(DataExchange, TextWithoutAnIntegerIsRefusedWithTheFrameworksMessage) {
    const char* const cases[] = {
        "",           "   ",         "-",
        "+ 5",        "abc",         "px250",
        "２５０",  // full-width digits are not digits to the parse
        "2147483648", "-2147483649", "99999999999999999999",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(std::string("\"") + text + "\"");
        std::shared_ptr<usertest::ShownBox> box;
        HWND focusAfter = nullptr;
        HWND field = nullptr;
        DWORD selectionStart = 99;
        DWORD selectionEnd = 99;
        bool stillOpen = false;
        int sideAfter = 0;
        CSideDialog dialog([&](CSideDialog& self) {
            SetWindowTextA(self.GetDlgItem(lengthEdit), text);
            SendMessageA(self.GetDlgItem(firstRadio), BM_SETCHECK, BST_CHECKED, 0);
            SetFocus(self.GetDlgItem(IDOK));
            box = AnswerNextBox(self.GetSafeHwnd());
            self.PressOk();
            focusAfter = GetFocus();
            field = self.GetDlgItem(lengthEdit);
            ::user::SendMessageA(self.GetDlgItem(lengthEdit), EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
                                 reinterpret_cast<LPARAM>(&selectionEnd));
            stillOpen = IsWindowVisible(self.GetSafeHwnd()) != FALSE;
            sideAfter = self.side;
            self.EndDialog(IDCANCEL);
        });
        dialog.length = 55;
        dialog.side = 2;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        ASSERT_TRUE(box && box->shown);
        EXPECT_EQ(box->text, "Please enter an integer.");
        EXPECT_EQ(box->title, "exchange") << "captioned with the application's title";
        EXPECT_TRUE(box->exclamation);
        EXPECT_EQ(box->promptContext, 0x3F110u) << "while it is shown";
        EXPECT_FALSE(box->ownerEnabled) << "the dialog owns the box";
        EXPECT_EQ(app_.promptContext, 0u) << "and no longer afterwards";
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(focusAfter, field) << "the field has the focus again";
        EXPECT_EQ(selectionStart, 0u);
        EXPECT_EQ(selectionEnd, std::string(text).size()) << "with all its text selected";
        EXPECT_EQ(dialog.length, 55) << "the field keeps the program's value";
        EXPECT_EQ(sideAfter, 2) << "the exchange stopped before the radio group";
    }
}

TEST_F(DataExchange, RadioReadingCountsOnlyRadioButtonsUpToTheNextGroup) {
    struct Case {
        int checkedId;  // 0: none
        int side;
    };
    // The static between the second and third button is skipped, and the
    // radio button of the next group does not count.
    const Case cases[] = {{firstRadio, 0},     {firstRadio + 1, 1}, {firstRadio + 2, 2},
                          {firstRadio + 3, 3}, {1009, -1},          {0, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.checkedId);
        CSideDialog dialog([&](CSideDialog& self) {
            for (int id = firstRadio; id <= firstRadio + 3; ++id) {
                SendMessageA(self.GetDlgItem(id), BM_SETCHECK, BST_UNCHECKED, 0);
            }
            if (c.checkedId) SendMessageA(self.GetDlgItem(c.checkedId), BM_SETCHECK, BST_CHECKED, 0);
            SetWindowTextA(self.GetDlgItem(lengthEdit), "10");
            self.PressOk();
        });
        dialog.side = 1;
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.side, c.side);
    }
}

TEST_F(DataExchange, CancelReadsNothing) {
    CSideDialog dialog([](CSideDialog& self) {
        SetWindowTextA(self.GetDlgItem(lengthEdit), "not a number");
        ::user::SendMessageA(self.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    dialog.length = 42;
    dialog.side = 1;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.length, 42);
    EXPECT_EQ(dialog.side, 1);
}

}  // namespace

// Each dialog template becomes the window and controls it describes: class,
// id, text, position and size in pixels, styles, and the dialog's font.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>

#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_testing.h"
#include "platform/user/user.h"
#include "platform/user/user_testing.h"
#include "res/register_resources.h"
#include "res/resource_ids.h"
#include "tests/support/gui_pump.h"
#include "tests/support/print_types.h"

namespace {

using namespace user;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

struct Control {
    std::string className;
    int id;
    std::string text;
    RECT dialogUnits;  // x, y, width, height
    DWORD style;
    DWORD exStyle;
};

// Dialog units to pixels with the base units of the UI face, Ume UI Gothic:
// 7 across and 12 down at 9 points (12 pixels), 6 and 11 at 8 points,
// rounded to the nearest pixel.
LONG Across(LONG units, LONG base) { return (units * base + 2) / 4; }
LONG Down(LONG units, LONG base) { return (units * base + 4) / 8; }

struct Found {
    std::string className;
    int id;
    std::string text;
    RECT rect;  // dialog client coordinates
    DWORD style;
    DWORD exStyle;
};

std::vector<Found> ControlsOf(HWND dialog) {
    std::vector<Found> found;
    POINT client{0, 0};
    ClientToScreen(dialog, &client);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = {};
        GetClassNameA(child, name, sizeof name);
        char text[256] = {};
        GetWindowTextA(child, text, sizeof text);
        RECT rect{};
        GetWindowRect(child, &rect);
        found.push_back(
            Found{name, GetDlgCtrlID(child), text,
                  RECT{rect.left - client.x, rect.top - client.y, rect.right - client.x, rect.bottom - client.y},
                  static_cast<DWORD>(GetWindowLongPtrA(child, GWL_STYLE)),
                  static_cast<DWORD>(GetWindowLongPtrA(child, GWL_EXSTYLE))});
    }
    return found;
}

struct Expected {
    WORD templateId;
    std::string title;
    SIZE clientUnits;
    DWORD style;
    DWORD exStyle;
    const char* face;
    LONG fontHeight;
    LONG fontWeight;
    SIZE baseUnits;
    std::vector<Control> controls;
};

void PrintTo(const Expected& expected, std::ostream* os) { *os << "template " << expected.templateId; }

class DialogTemplates : public testing::TestWithParam<Expected> {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(res::RegisterResources()); }
};

TEST_P(DialogTemplates, BuildTheirWindowAndControls) {
    const Expected& expected = GetParam();
    const long fontsBefore = gdi::LiveObjectCount(gdi::OBJ_FONT);
    const HWND dialog =
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(expected.templateId), nullptr, nullptr, 0);
    ASSERT_NE(dialog, nullptr);

    char title[128] = {};
    GetWindowTextA(dialog, title, sizeof title);
    EXPECT_EQ(std::string(title), expected.title);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_EXSTYLE)), expected.exStyle);
    // The template's visibility is the window's after creation.
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_STYLE)), expected.style);

    RECT base{0, 0, 4, 8};
    ASSERT_TRUE(MapDialogRect(dialog, &base));
    EXPECT_EQ(base, (RECT{0, 0, expected.baseUnits.cx, expected.baseUnits.cy})) << "base units";
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client, (RECT{0, 0, Across(expected.clientUnits.cx, expected.baseUnits.cx),
                            Down(expected.clientUnits.cy, expected.baseUnits.cy)}));

    const auto font = reinterpret_cast<gdi::HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    gdi::LOGFONTA description{};
    ASSERT_EQ(gdi::GetObjectA(font, sizeof description, &description), 60);
    EXPECT_STREQ(description.lfFaceName, expected.face);
    EXPECT_EQ(description.lfHeight, expected.fontHeight);
    EXPECT_EQ(description.lfWeight, expected.fontWeight);
    EXPECT_EQ(description.lfCharSet, gdi::DEFAULT_CHARSET);

    const std::vector<Found> found = ControlsOf(dialog);
    ASSERT_EQ(found.size(), expected.controls.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        SCOPED_TRACE("control " + std::to_string(i + 1));
        const Control& want = expected.controls[i];
        const RECT& u = want.dialogUnits;
        const LONG left = Across(u.left, expected.baseUnits.cx);
        const LONG top = Down(u.top, expected.baseUnits.cy);
        RECT rect{left, top, left + Across(u.right, expected.baseUnits.cx),
                  top + Down(u.bottom, expected.baseUnits.cy)};
        // An icon control takes the system icon's size.
        if ((want.style & SS_TYPEMASK) == SS_ICON && want.className == "Static")
            rect = RECT{left, top, left + 32, top + 32};
        EXPECT_EQ(found[i].className, want.className);
        EXPECT_EQ(found[i].id, want.id);
        EXPECT_EQ(found[i].text, want.text);
        EXPECT_EQ(found[i].rect, rect);
        EXPECT_EQ(found[i].style, want.style);
        EXPECT_EQ(found[i].exStyle, want.exStyle);
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, want.id), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
    }
    EXPECT_TRUE(DestroyWindow(dialog));
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_FONT), fontsBefore) << "the dialog's font goes with it";
}

const std::string owner = "Copyright (C) 2026 The Pelmora developers";

INSTANTIATE_TEST_SUITE_P(
    Resources, DialogTemplates,
    testing::Values(Expected{100,
                             "バージョン情報...",
                             {235, 57},
                             0x80C800C0,
                             0,
                             "MS UI Gothic",
                             -12,
                             0,
                             {7, 12},
                             {{"Static", -1, "#128", {12, 18, 18, 21}, 0x50000003, 0},
                              {"Static", -1, "Pelmora Version 1.0.0", {42, 12, 119, 8}, 0x50020080, 0},
                              {"Static", -1, owner, {42, 24, 131, 16}, 0x50020000, 0},
                              {"Button", 1, "OK", {178, 7, 50, 16}, 0x50030001, 0},
                              {"Static", 1007, "https://pelmora.example.org/", {42, 42, 144, 8}, 0x50020100, 0}}},
                    Expected{102,
                             "写真をリサイズ",
                             {102, 63},
                             0x90CA0040,
                             0x00040380,
                             "MS UI Gothic",
                             -12,
                             0,
                             {7, 12},
                             {{"Static", -1, "#132", {6, 6, 89, 31}, 0x5000080E, 0x1},
                              {"Static", -1, "ver.1.0.0", {72, 54, 24, 8}, 0x50020000, 0},
                              {"Button", 1000, "写真を開く...", {6, 42, 18, 18}, 0x50010F40, 0},
                              {"Button", 57670, "ヘルプ", {30, 42, 18, 18}, 0x50010F40, 0}}},
                    Expected{139,
                             "リサイズ",
                             {160, 66},
                             0x80C800C8,
                             0,
                             "MS Shell Dlg",
                             -11,
                             400,
                             {6, 11},
                             {{"Button", 1, "OK", {102, 6, 50, 14}, 0x50010001, 0},
                              {"Button", 2, "キャンセル", {102, 23, 50, 14}, 0x50010000, 0},
                              {"Edit", 1002, "", {36, 48, 40, 14}, 0x50810080, 0},
                              {"Button", 1003, "縦", {12, 18, 24, 10}, 0x50020009, 0},
                              {"Button", 1004, "横", {12, 30, 24, 10}, 0x50000009, 0},
                              {"Button", 1005, "長辺", {60, 18, 32, 10}, 0x50000009, 0},
                              {"Button", 1006, "短辺", {60, 30, 32, 10}, 0x50000009, 0},
                              {"Static", -1, "長さ：", {12, 51, 18, 8}, 0x50020000, 0},
                              {"Button", -1, "設定する辺", {6, 6, 90, 36}, 0x50000007, 0},
                              {"Static", -1, "ｐｘ.", {78, 51, 12, 8}, 0x50020000, 0}}}),
    [](const testing::TestParamInfo<Expected>& info) { return "Template" + std::to_string(info.param.templateId); });

// Every text the templates show is whole on the screen in the fonts this
// machine has: each static text and caption measured in its control's own
// font against the room its control gives it.

// The toolkit widget that shows a control: the one at the control's place.
QWidget* WidgetOf(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    const QRect place(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    for (QWidget* top : QApplication::topLevelWidgets()) {
        for (QWidget* widget : top->findChildren<QWidget*>()) {
            if (QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()) == place && widget->parentWidget() &&
                !widget->parentWidget()->inherits("QGroupBox")) {
                return widget;
            }
        }
    }
    return nullptr;
}

// Lines of a static text broken at blanks to fit width; 0 when a single
// word is wider than the control.
int LinesNeeded(const QString& text, const QFontMetrics& metrics, int width) {
    int lines = 1;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '))) {
        if (metrics.horizontalAdvance(word) > width) return 0;
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (metrics.horizontalAdvance(longer) > width) {
            ++lines;
            line = word;
        } else {
            line = longer;
        }
    }
    return lines;
}

class DialogTexts : public testing::TestWithParam<WORD> {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(res::RegisterResources()); }
};

TEST_P(DialogTexts, AreWholeInTheirControls) {
    const HWND dialog =
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(GetParam()), nullptr, nullptr, 0);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOWNOACTIVATE);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return IsWindowVisible(dialog) != FALSE; }));
    int measured = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = {};
        GetClassNameA(child, name, sizeof name);
        char bytes[256] = {};
        GetWindowTextA(child, bytes, sizeof bytes);
        const auto style = static_cast<DWORD>(GetWindowLongPtrA(child, GWL_STYLE));
        const QString text = QString::fromUtf8(bytes);
        const std::string className = name;
        // Pictures, icon buttons and the edit field show no text of theirs.
        if (text.isEmpty() || className == "Edit" || (className == "Button" && (style & BS_ICON)) ||
            (className == "Static" && ((style & SS_TYPEMASK) == SS_ICON || (style & SS_TYPEMASK) == SS_BITMAP))) {
            continue;
        }
        SCOPED_TRACE(className + " \"" + bytes + "\"");
        QWidget* widget = WidgetOf(child);
        ASSERT_NE(widget, nullptr);
        const QFontMetrics metrics(widget->font());
        const int advance = metrics.horizontalAdvance(text);
        if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
            QStyleOptionButton option;
            option.initFrom(radio);
            const QRect room = radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, radio);
            EXPECT_LE(room.left() + advance, radio->width());
            EXPECT_LE(metrics.height(), radio->height());
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            QStyleOptionButton option;
            option.initFrom(button);
            const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            EXPECT_LE(advance, room.width());
            EXPECT_LE(metrics.height(), room.height());
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            QStyleOptionGroupBox option;
            option.initFrom(group);
            option.text = group->title();
            option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            const QRect label =
                group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
            EXPECT_GE(label.width(), advance);
            EXPECT_LE(label.right(), group->width() - 1);
        } else {
            // A static text: its lines, broken at blanks, within its height.
            const int lines = LinesNeeded(text, metrics, widget->width());
            EXPECT_GE(lines, 1) << advance << " pixels in " << widget->width();
            EXPECT_LE(lines * metrics.height(), widget->height()) << lines << " lines";
        }
        ++measured;
    }
    EXPECT_GT(measured, 0);
    EXPECT_TRUE(DestroyWindow(dialog));
}

INSTANTIATE_TEST_SUITE_P(Resources, DialogTexts, testing::Values(100, 102, 139),
                         [](const testing::TestParamInfo<WORD>& info) {
                             return "Template" + std::to_string(info.param);
                         });

}  // namespace

namespace {

TEST(ApplicationIcon, DrawsAtTheSystemIconSizeOverWhatIsThere) {
    ASSERT_TRUE(res::RegisterResources());
    const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(res::IDR_MAINFRAME));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon, LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(res::IDR_MAINFRAME))) << "shared";
    ASSERT_EQ(GetSystemMetrics(SM_CXICON), 32);
    ASSERT_EQ(GetSystemMetrics(SM_CYICON), 32);

    gdi::BITMAPINFO info{};
    info.bmiHeader = {sizeof(gdi::BITMAPINFOHEADER), 40, -40, 1, 32, gdi::BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const gdi::HBITMAP canvas = gdi::CreateDIBSection(nullptr, &info, gdi::DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<DWORD*>(bits);
    std::fill(pixels, pixels + 40 * 40, 0x00FFFFFFu);
    const gdi::HDC dc = gdi::CreateCompatibleDC(nullptr);
    const gdi::HGDIOBJ previous = gdi::SelectObject(dc, canvas);
    ASSERT_TRUE(DrawIcon(dc, 4, 4, icon));
    int changedInside = 0;
    int changedOutside = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 4 && x < 36 && y >= 4 && y < 36;
            const bool changed = (pixels[y * 40 + x] & 0xFFFFFF) != 0xFFFFFF;
            (inside ? changedInside : changedOutside) += changed ? 1 : 0;
        }
    }
    EXPECT_GT(changedInside, 32 * 32 / 3) << "the picture is drawn";
    EXPECT_EQ(changedOutside, 0) << "nothing outside its 32 x 32 pixels";
    EXPECT_FALSE(DrawIcon(dc, 0, 0, nullptr));
    gdi::SelectObject(dc, previous);
    gdi::DeleteDC(dc);
    gdi::DeleteObject(canvas);
}

}  // namespace

// The About box: only its link is blue and underlined, the hand pointer is
// up exactly over the link, a click hands the link's current text to the
// desktop and leaves the box open, no font outlives a box, and F1 shows
// the box's own help topic. Pixels and the pointer's shape are read back
// from the X server.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/about_dialog.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_testing.h"
#include "platform/user/user.h"
#include "platform/user/user_testing.h"
#include "res/product_texts.h"
#include "res/resource_ids.h"
#include "tests/app/launcher_support.h"
#include "tests/app/pelmora_process.h"
#include "tests/support/gui_pump.h"

namespace {

using namespace user;
using namespace apptest;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

class AboutTest : public LauncherTest {
protected:
    // Runs an About box with script run from inside its run; it is
    // cancelled after the script if still open.
    void RunAbout(CAboutDialog& about, const std::function<void()>& script) {
        testsupport::RunSoon([&] {
            const bool shown = PumpUntil([&] { return x_.FindWindow(apptest::aboutTitle) != 0; });
            EXPECT_TRUE(shown);
            if (shown) script();
            if (about.GetSafeHwnd()) SendMessageA(about.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
        });
        about.DoModal();
    }
    static RECT Rect(HWND window) {
        RECT rect{};
        GetWindowRect(window, &rect);
        return rect;
    }
    Pixels Grab(const RECT& rect) {
        return x_.Grab(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    }
};

// Text drawn in blue: blue well above red and green (edges are blended).
bool Bluish(std::uint32_t rgb) {
    const int red = (rgb >> 16) & 0xFF;
    const int green = (rgb >> 8) & 0xFF;
    const int blue = rgb & 0xFF;
    return blue - std::max(red, green) > 60;
}
bool Dark(std::uint32_t rgb) {
    return ((rgb >> 16) & 0xFF) < 0x60 && ((rgb >> 8) & 0xFF) < 0x60 && (rgb & 0xFF) < 0x60;
}

// Whether the lowest row holding text is a line as wide as the text: an
// underline.
template <typename Ink>
bool Underlined(const Pixels& pixels, Ink ink) {
    int left = pixels.width;
    int right = -1;
    int lowest = -1;
    for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
            if (!ink(pixels.At(x, y))) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            lowest = y;
        }
    }
    if (lowest < 0 || right - left < 20) return false;
    int inked = 0;
    for (int x = left; x <= right; ++x) inked += ink(pixels.At(x, lowest)) ? 1 : 0;
    return inked * 10 >= (right - left + 1) * 9;
}

template <typename Ink>
int Count(const Pixels& pixels, Ink ink) {
    return static_cast<int>(std::count_if(pixels.rgb.begin(), pixels.rgb.end(), ink));
}

TEST_F(AboutTest, LinkFontIsTheDialogFontUnderlinedAndOkHasTheFocus) {
    CAboutDialog about;
    EXPECT_EQ(about.linkFont, nullptr);
    gdi::HFONT made = nullptr;
    RunAbout(about, [&] {
        const HWND dialog = about.GetSafeHwnd();
        made = about.linkFont;
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(reinterpret_cast<gdi::HFONT>(SendDlgItemMessageA(dialog, res::IDC_WEB_LINK, WM_GETFONT, 0, 0)), made);
        const auto dialogFont = reinterpret_cast<gdi::HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        gdi::LOGFONTA expected{};
        gdi::LOGFONTA link{};
        ASSERT_EQ(gdi::GetObjectA(dialogFont, sizeof expected, &expected), static_cast<int>(sizeof expected));
        ASSERT_EQ(gdi::GetObjectA(made, sizeof link, &link), static_cast<int>(sizeof link));
        EXPECT_EQ(expected.lfUnderline, 0);
        expected.lfUnderline = 1;
        EXPECT_EQ(std::memcmp(&expected, &link, sizeof link), 0) << "only the underline differs";
        EXPECT_TRUE(PumpUntil([&] { return GetFocus() == GetDlgItem(dialog, IDOK); }));
    });
    EXPECT_EQ(about.linkFont, nullptr);
    EXPECT_EQ(gdi::GetObjectType(made), 0u) << "deleted with the window";
}

TEST_F(AboutTest, OnlyTheLinkIsBlueAndUnderlined) {
    CAboutDialog about;
    RunAbout(about, [&] {
        const HWND dialog = about.GetSafeHwnd();
        const HWND link = GetDlgItem(dialog, res::IDC_WEB_LINK);
        ASSERT_TRUE(PumpUntil([&] { return Count(Grab(Rect(link)), Bluish) > 20; })) << "the link is drawn in blue";
        const Pixels linkPixels = Grab(Rect(link));
        EXPECT_GT(Count(linkPixels, [](std::uint32_t rgb) { return rgb == 0x0000FF; }), 20) << "pure blue";
        EXPECT_TRUE(Underlined(linkPixels, Bluish));
        EXPECT_EQ(Count(linkPixels, Dark), 0) << "no text of the default colour";

        // The product line, the owner notice and OK keep the default look.
        int checked = 0;
        for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
            const int id = GetDlgCtrlID(control);
            const auto style = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE));
            if (id == res::IDC_WEB_LINK || (id != IDOK && (style & SS_TYPEMASK) == SS_ICON)) continue;
            char text[128] = {};
            GetWindowTextA(control, text, sizeof text);
            SCOPED_TRACE(text);
            const Pixels pixels = Grab(Rect(control));
            EXPECT_EQ(Count(pixels, Bluish), 0);
            EXPECT_GT(Count(pixels, Dark), 10) << "text in the default colour";
            if (id != IDOK) {
                EXPECT_FALSE(Underlined(pixels, Dark));
            }
            ++checked;
        }
        EXPECT_EQ(checked, 3);
    });
}

// A point relative to the link's rectangle and whether the hand is up there.
struct PointerCase {
    const char* name;
    int dx;  // from the left edge, or from the right edge when fromRight
    int dy;
    bool fromRight;
    bool fromBottom;
    bool hand;
};

class AboutPointer : public AboutTest, public testing::WithParamInterface<PointerCase> {};

TEST_P(AboutPointer, HandExactlyOverTheLink) {
    const PointerCase& at = GetParam();
    CAboutDialog about;
    RunAbout(about, [&] {
        const HWND dialog = about.GetSafeHwnd();
        const RECT link = Rect(GetDlgItem(dialog, res::IDC_WEB_LINK));
        const RECT box = Rect(dialog);
        // The two shapes to tell apart: over the middle of the link, and
        // over the dialog's empty lower-right corner.
        auto shapeAt = [&](int px, int py) -> std::optional<testsupport::CursorPicture> {
            x_.MovePointer(px, py);
            testsupport::Settle();
            return x_.Cursor();
        };
        // Moved away first so that each reading follows a move.
        const auto arrow = shapeAt(box.right - 3, box.bottom - 3);
        const auto hand = shapeAt((link.left + link.right) / 2, (link.top + link.bottom) / 2);
        ASSERT_TRUE(arrow && hand);
        EXPECT_EQ(hand->width, 32);
        EXPECT_EQ(hand->height, 32);
        EXPECT_EQ(hand->hotX, 0);
        EXPECT_EQ(hand->hotY, 0);
        ASSERT_NE(hand->argb, arrow->argb);

        shapeAt(box.right - 3, box.bottom - 3);
        const int px = at.fromRight ? link.right - 1 + at.dx : link.left + at.dx;
        const int py = at.fromBottom ? link.bottom - 1 + at.dy : link.top + at.dy;
        const auto shape = shapeAt(px, py);
        ASSERT_TRUE(shape);
        EXPECT_EQ(shape->argb == hand->argb, at.hand) << "at (" << px << ", " << py << ")";
        EXPECT_EQ(shape->argb == arrow->argb, !at.hand);
    });
}

INSTANTIATE_TEST_SUITE_P(About, AboutPointer,
                         testing::Values(PointerCase{"upperLeftCorner", 0, 0, false, false, true},
                                         PointerCase{"lowerRightCorner", 0, 0, true, true, true},
                                         PointerCase{"leftOfIt", -1, 2, false, false, false},
                                         PointerCase{"aboveIt", 2, -1, false, false, false},
                                         PointerCase{"rightOfIt", 1, -2, true, true, false},
                                         PointerCase{"belowIt", -2, 1, true, true, false}),
                         [](const testing::TestParamInfo<PointerCase>& info) { return std::string(info.param.name); });

TEST_F(AboutTest, ClickPassesTheLinksCurrentTextAndTheBoxStaysOpen) {
    std::vector<std::string> opened;
    CaptureShellOpen("https", [&](const std::string& address) { opened.push_back(address); });
    CAboutDialog about;
    RunAbout(about, [&] {
        const HWND dialog = about.GetSafeHwnd();
        const HWND link = GetDlgItem(dialog, res::IDC_WEB_LINK);
        const RECT rect = Rect(link);
        const std::vector<std::string> texts = {res::webAddress, "https://example.org/photos?a=1&b=%C3%A9"};
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (i > 0) SetWindowTextA(link, texts[i].c_str());
            apptest::Click(x_, rect.left + 3, (rect.top + rect.bottom) / 2);
            ASSERT_TRUE(PumpUntil([&] { return opened.size() == i + 1; })) << texts[i];
            EXPECT_EQ(opened[i], texts[i]);
            testsupport::Settle();
            EXPECT_TRUE(IsWindowVisible(dialog)) << "the box stays open";
            EXPECT_NE(x_.FindWindow(apptest::aboutTitle), 0u);
        }
        // A click elsewhere opens nothing.
        const RECT box = Rect(dialog);
        apptest::Click(x_, box.right - 3, box.bottom - 3);
        testsupport::Settle();
        EXPECT_EQ(opened.size(), texts.size());
    });
    CaptureShellOpen("https", nullptr);
}

TEST_F(AboutTest, ManyOpeningsLeaveNoFontsBehind) {
    const long before = gdi::LiveObjectCount(gdi::OBJ_FONT);
    std::vector<gdi::HFONT> made;
    for (int opening = 0; opening < 12; ++opening) {
        CAboutDialog about;
        testsupport::RunSoon([&] {
            made.push_back(about.linkFont);
            EXPECT_EQ(gdi::GetObjectType(about.linkFont), gdi::OBJ_FONT);
            about.EndDialog(opening % 2 ? IDOK : IDCANCEL);
        });
        about.DoModal();
        EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_FONT), before) << "after opening " << opening + 1;
    }
    ASSERT_EQ(made.size(), 12u);
    for (const gdi::HFONT font : made) EXPECT_EQ(gdi::GetObjectType(font), 0u);
}

TEST_F(AboutTest, F1ShowsTheAboutTopicAndTheWindowMenuOpensTheBox) {
    std::optional<std::string> topic;
    RunLauncher([&] {
        testsupport::RunSoon([&] {
            HWND about = nullptr;
            ASSERT_TRUE(PumpUntil([&] {
                about = GetLastActivePopup(Launcher());
                char title[64] = {};
                GetWindowTextA(about, title, sizeof title);
                return about != Launcher() && std::string(title) == apptest::aboutTitle && GetActiveWindow() == about;
            }));
            EXPECT_FALSE(IsWindowEnabled(Launcher())) << "the launcher waits for the box";
            // The keyboard follows once the X server has given the box the focus.
            SetActiveWindow(about);
            PressF1(x_, aboutTitle);
            topic = TakeHelpTopic();
            SendMessageA(about, WM_COMMAND, IDOK, 0);
        });
        SendMessageA(Launcher(), WM_SYSCOMMAND, res::IDM_ABOUTBOX, 0);
        EXPECT_TRUE(IsWindowEnabled(Launcher()));
    });
    ASSERT_TRUE(topic.has_value()) << "the viewer was shown";
    EXPECT_EQ(*topic, "/about.htm") << "context 131172";
}

}  // namespace

// The HTML Help viewer reached as callers reach it, through the module
// "hhctrl.ocx" and its entry "HtmlHelpA", showing the program's own help
// file as the build makes it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/kernel/modules.h"
#include "platform/user/help_viewer.h"
#include "platform/user/html_help.h"
#include "platform/user/user.h"
#include "platform/user/user_testing.h"
#include "tests/platform/user/recording_window.h"
#include "tests/support/gui_pump.h"
#include "tests/support/x_session.h"

namespace {

using namespace user;
using testsupport::CXSession;
using testsupport::PumpUntil;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

const std::string fileTitle = "Pelmora ヘルプ";

HtmlHelpProc HtmlHelp() {
    InstallHtmlHelpModule();
    const kernel::HMODULE module = kernel::LoadLibraryA("hhctrl.ocx");
    return module ? reinterpret_cast<HtmlHelpProc>(kernel::GetProcAddress(module, "HtmlHelpA")) : nullptr;
}

std::string WindowText(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ShownTopic(HWND viewer) {
    const auto page = DescribeHelpViewer(viewer);
    return page ? page->topic : "<nothing>";
}

class HelpViewer : public testing::Test {
protected:
    void SetUp() override {
        help_ = HtmlHelp();
        ASSERT_NE(help_, nullptr);
    }
    void TearDown() override {
        if (HWND viewer = HelpViewerWindow()) DestroyWindow(viewer);
        testsupport::Settle();
    }

    HWND Show(UINT command, DWORD_PTR data, const char* file = PELMORA_HELP_FILE, HWND caller = nullptr) {
        return help_(caller, file, command, data);
    }

    HtmlHelpProc help_ = nullptr;
};

TEST_F(HelpViewer, EachContextShowsItsTopicInOneReusedWindow) {
    struct Case {
        DWORD context;
        const char* topic;
        const char* title;
    };
    HWND first = nullptr;
    CXSession x;
    for (const Case& c : {Case{131174, "/index.htm", "Pelmora の使い方"}, Case{131172, "/about.htm", "バージョン情報"},
                          Case{131211, "/resize.htm", "リサイズ ダイアログ"}}) {
        SCOPED_TRACE(c.context);
        const HWND viewer = Show(HH_HELP_CONTEXT, c.context);
        ASSERT_NE(viewer, nullptr);
        if (!first) first = viewer;
        EXPECT_EQ(viewer, first) << "one viewer, reused";
        const auto page = DescribeHelpViewer(viewer);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->topic, c.topic);
        EXPECT_EQ(page->title, c.title);
        EXPECT_EQ(page->text.rfind(c.title, 0), 0u) << "the heading comes first: " << page->text.substr(0, 80);
        const std::string caption = std::string(c.title) + " - " + fileTitle;
        EXPECT_EQ(WindowText(viewer), caption);
        EXPECT_NE(usertest::WaitUntilShown(caption), 0u);
        EXPECT_EQ(GetActiveWindow(), viewer);
    }
    EXPECT_EQ(x.FindWindow(std::string("Pelmora の使い方 - ") + fileTitle), 0u) << "no second viewer window";
}

TEST_F(HelpViewer, PicturesAndStylesComeFromTheHelpFile) {
    const HWND viewer = Show(HH_HELP_CONTEXT, 131174);
    ASSERT_NE(viewer, nullptr);
    ASSERT_NE(usertest::WaitUntilShown(WindowText(viewer)), 0u);
    const auto page = DescribeHelpViewer(viewer);
    ASSERT_TRUE(page);
    ASSERT_EQ(page->pictures.size(), 1u);
    EXPECT_EQ(page->pictures[0].source, "chm:/grip.png");
    EXPECT_TRUE(page->pictures[0].shown);

    // The style sheet colours the headings; without it they would be black.
    constexpr std::uint32_t headingColour = 0x1F4E79;
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(viewer, &rect));
    CXSession x;
    EXPECT_TRUE(PumpUntil([&] {
        const auto pixels = x.Grab(rect.left, rect.top, rect.right - rect.left, 120);
        return std::find(pixels.rgb.begin(), pixels.rgb.end(), headingColour) != pixels.rgb.end();
    }));
}

TEST_F(HelpViewer, PicturesOutsideTheHelpFileAreNeverShown) {
    // A real picture there: a page must still not reach it.
    std::filesystem::copy_file(std::string(PELMORA_SOURCE_DIR) + "/res/help/grip.png", "/tmp/pelmora-outside.png",
                               std::filesystem::copy_options::overwrite_existing);
    const HWND viewer = Show(HH_HELP_CONTEXT, 3, CHM_FIXTURE_FILE);
    ASSERT_NE(viewer, nullptr);
    const auto page = DescribeHelpViewer(viewer);
    std::filesystem::remove("/tmp/pelmora-outside.png");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->topic, "/sub/b.htm");
    ASSERT_EQ(page->pictures.size(), 3u);
    EXPECT_EQ(page->pictures[0].source, "chm:/pic.png");
    EXPECT_TRUE(page->pictures[0].shown);
    for (std::size_t i : {1u, 2u}) {
        EXPECT_FALSE(page->pictures[i].shown) << page->pictures[i].source;
    }
}

TEST_F(HelpViewer, ALinkOpensTheOtherPageFromTheFileAndBackReturns) {
    const HWND viewer = Show(HH_HELP_CONTEXT, 131172);  // its one link leads to the first page
    ASSERT_NE(viewer, nullptr);
    ASSERT_NE(usertest::WaitUntilShown(WindowText(viewer)), 0u);
    CXSession x;
    x.TapKey("Tab");  // to the link
    x.TapKey("Return");
    EXPECT_TRUE(PumpUntil([&] { return ShownTopic(viewer) == "/index.htm"; })) << ShownTopic(viewer);
    EXPECT_EQ(WindowText(viewer), "Pelmora の使い方 - " + fileTitle);
    x.TapKey("Left", {"Alt_L"});
    EXPECT_TRUE(PumpUntil([&] { return ShownTopic(viewer) == "/about.htm"; })) << ShownTopic(viewer);
}

TEST_F(HelpViewer, WhatCannotBeShownGivesNoWindowAndChangesNothing) {
    struct Case {
        const char* what;
        const char* file;
        UINT command;
        DWORD_PTR data;
    };
    const std::string source = std::string(PELMORA_SOURCE_DIR) + "/res/help/index.htm";
    const Case cases[] = {
        {"unknown context", PELMORA_HELP_FILE, HH_HELP_CONTEXT, 131173},
        {"context zero", PELMORA_HELP_FILE, HH_HELP_CONTEXT, 0},
        {"context beyond 32 bits", PELMORA_HELP_FILE, HH_HELP_CONTEXT, (DWORD_PTR{1} << 32) + 131174},
        {"missing file", "/nonexistent/pelmora.CHM", HH_HELP_CONTEXT, 131174},
        {"no file", nullptr, HH_HELP_CONTEXT, 131174},
        {"a page, not a help file", source.c_str(), HH_HELP_CONTEXT, 131174},
        {"a topic the file lacks", PELMORA_HELP_FILE, HH_DISPLAY_TOPIC, reinterpret_cast<DWORD_PTR>("nothere.htm")},
        {"another command", PELMORA_HELP_FILE, 0x0012, 0},
    };
    // With no viewer open, none appears...
    for (const Case& c : cases) {
        EXPECT_EQ(Show(c.command, c.data, c.file), nullptr) << c.what;
        EXPECT_EQ(HelpViewerWindow(), nullptr) << c.what;
    }
    // ...and an open one keeps its page.
    const HWND viewer = Show(HH_HELP_CONTEXT, 131211);
    ASSERT_NE(viewer, nullptr);
    for (const Case& c : cases) {
        EXPECT_EQ(Show(c.command, c.data, c.file), nullptr) << c.what;
        EXPECT_EQ(HelpViewerWindow(), viewer) << c.what;
        EXPECT_EQ(ShownTopic(viewer), "/resize.htm") << c.what;
    }
}

TEST_F(HelpViewer, TopicAndContentsCommandsShowTheNamedOrDefaultTopic) {
    struct Case {
        UINT command;
        DWORD_PTR data;
        const char* topic;
    };
    for (const Case& c : {Case{HH_DISPLAY_TOPIC, 0, "/index.htm"}, Case{HH_DISPLAY_TOC, 0, "/index.htm"},
                          Case{HH_DISPLAY_TOPIC, reinterpret_cast<DWORD_PTR>("save.htm"), "/save.htm"},
                          Case{HH_DISPLAY_TOPIC, reinterpret_cast<DWORD_PTR>("/about.htm"), "/about.htm"}}) {
        const HWND viewer = Show(c.command, c.data);
        ASSERT_NE(viewer, nullptr) << c.topic;
        EXPECT_EQ(ShownTopic(viewer), c.topic);
    }
}

TEST_F(HelpViewer, IsNoDialogsWindowAndOpensAnewOnceClosed) {
    // A modal run disables its owner and the main window; the viewer, owned
    // by neither, stays usable.
    const HWND caller = usertest::CreateRecordingWindow("help caller", 50, 50, 200, 100, nullptr,
                                                        WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0);
    EnableWindow(caller, FALSE);
    const HWND viewer = Show(HH_HELP_CONTEXT, 131172, PELMORA_HELP_FILE, caller);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(GetWindow(viewer, GW_OWNER), nullptr);
    EXPECT_EQ(GetParent(viewer), nullptr);
    EXPECT_TRUE(IsWindowEnabled(viewer));
    EXPECT_EQ(GetActiveWindow(), viewer);

    // The close box asks the window to close, as any window's does.
    SendMessageA(viewer, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(viewer));
    EXPECT_EQ(HelpViewerWindow(), nullptr);
    const HWND again = Show(HH_HELP_CONTEXT, 131174, PELMORA_HELP_FILE, caller);
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, viewer);
    EXPECT_EQ(ShownTopic(again), "/index.htm");
    DestroyWindow(caller);
}

}  // namespace

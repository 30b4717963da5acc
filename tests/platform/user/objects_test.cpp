// Objects of the windowing service that need no display: checked handles,
// window classes, menu resources and menus built in code.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/user/internal/handle_table.h"
#include "platform/framework/framework.h"
#include "platform/user/user_testing.h"

namespace {

using namespace user;

TEST(HandleTable, RefusesStaleForeignAndMadeUpHandles) {
    struct Thing {
        int value;
    };
    struct HTHING__;
    using HTHING = HTHING__*;
    internal::CHandleTable<HTHING, Thing> things(1);
    internal::CHandleTable<HTHING, Thing> others(2);

    const HTHING first = things.Add(std::make_shared<Thing>(Thing{1}));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(things.Find(first)->value, 1);
    EXPECT_EQ(others.Find(first), nullptr) << "another kind's table";
    EXPECT_EQ(things.Find(nullptr), nullptr);
    EXPECT_EQ(things.Find(reinterpret_cast<HTHING>(std::uintptr_t{0xDEADBEEF})), nullptr);

    EXPECT_TRUE(things.Remove(first));
    EXPECT_FALSE(things.Remove(first));
    const HTHING second = things.Add(std::make_shared<Thing>(Thing{2}));
    EXPECT_NE(second, first) << "a reused slot gets a new generation";
    EXPECT_EQ(things.Find(first), nullptr);
    EXPECT_EQ(things.Find(second)->value, 2);
    EXPECT_EQ(things.Count(), 1u);

    // An object locked by a caller outlives the end of its handle.
    const auto held = things.Lock(second);
    things.Remove(second);
    EXPECT_EQ(held->value, 2);
    EXPECT_EQ(things.Count(), 0u);
}

LRESULT NothingProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

TEST(WindowClasses, RegisterAndFind) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = NothingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "Objects.Test";
    windowClass.style = CS_DBLCLKS;
    const ATOM atom = RegisterClassA(&windowClass);
    ASSERT_NE(atom, 0);
    EXPECT_EQ(RegisterClassA(&windowClass), 0) << "the name is taken";
    windowClass.lpszClassName = "OBJECTS.TEST";
    EXPECT_EQ(RegisterClassA(&windowClass), 0) << "names ignore letter case";

    WNDCLASSA found{};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "objects.test", &found));
    EXPECT_STREQ(found.lpszClassName, "Objects.Test");
    EXPECT_EQ(found.style, UINT{CS_DBLCLKS});
    EXPECT_EQ(found.lpfnWndProc, &NothingProc);
    ASSERT_TRUE(GetClassInfoA(nullptr, MAKEINTRESOURCEA(atom), &found)) << "by atom";
}

TEST(WindowClasses, IncompleteRecordsAreRefused) {
    const std::string tooLong(300, 'x');
    struct Case {
        const char* name;
        WNDPROC proc;
        HINSTANCE instance;
    };
    const Case cases[] = {
        {nullptr, NothingProc, GetModuleHandleA(nullptr)},
        {"", NothingProc, GetModuleHandleA(nullptr)},
        {tooLong.c_str(), NothingProc, GetModuleHandleA(nullptr)},
        {"NoProcedure", nullptr, GetModuleHandleA(nullptr)},
        {"ForeignInstance", NothingProc, reinterpret_cast<HINSTANCE>(std::uintptr_t{0x1000})},
    };
    for (const Case& c : cases) {
        WNDCLASSA windowClass{};
        windowClass.lpszClassName = c.name;
        windowClass.lpfnWndProc = c.proc;
        windowClass.hInstance = c.instance;
        EXPECT_EQ(RegisterClassA(&windowClass), 0) << (c.name ? c.name : "(null)");
    }
    EXPECT_EQ(RegisterClassA(nullptr), 0);
    EXPECT_EQ(GetModuleHandleA("other.dll"), nullptr);
}

const MenuItemResource photoItems[] = {
    {MF_STRING, 32777, "リサイズ"}, {MF_STRING, 32776, "回転"},   {MF_STRING, 32774, "保存"},
    {MF_SEPARATOR, 0, nullptr},     {MF_STRING, 32775, "閉じる"},
};
const MenuItemResource photoMenu[] = {{MF_POPUP, 0, "Photo", photoItems}};

std::string ItemText(HMENU menu, int position) {
    char text[64] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

TEST(MenuResources, LoadedMenusFollowTheirTemplate) {
    ASSERT_TRUE(RegisterMenuResource(129, photoMenu));
    const HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(129));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 1);
    EXPECT_EQ(ItemText(menu, 0), "Photo");
    EXPECT_EQ(GetMenuItemID(menu, 0), UINT(-1)) << "a pop-up has no command";

    const HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    const struct {
        UINT id;
        const char* text;
    } expected[] = {{32777, "リサイズ"}, {32776, "回転"}, {32774, "保存"}, {0, ""}, {32775, "閉じる"}};
    ASSERT_EQ(GetMenuItemCount(popup), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(GetMenuItemID(popup, i), expected[i].id) << i;
        EXPECT_EQ(ItemText(popup, i), expected[i].text) << i;
    }
    EXPECT_EQ(GetSubMenu(popup, 0), nullptr);
    EXPECT_EQ(GetSubMenu(menu, 1), nullptr);

    // Each load is a menu of its own; destroying it ends its pop-ups.
    const HMENU again = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(129));
    EXPECT_NE(again, menu);
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_EQ(GetMenuItemCount(popup), -1);
    EXPECT_FALSE(DestroyMenu(menu));
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(again, 0)), 5);
    DestroyMenu(again);
}

TEST(MenuResources, MissingAndMalformedResourcesAreRefused) {
    EXPECT_EQ(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(4242)), nullptr);
    EXPECT_EQ(LoadMenuA(nullptr, MAKEINTRESOURCEA(129)), nullptr);
    EXPECT_EQ(LoadMenuA(GetModuleHandleA(nullptr), "ByName"), nullptr);

    const MenuItemResource noText[] = {{MF_STRING, 1, nullptr}};
    EXPECT_FALSE(RegisterMenuResource(500, noText));
    EXPECT_EQ(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(500)), nullptr);

    // Pop-ups nested too deep are refused rather than followed.
    std::vector<std::vector<MenuItemResource>> levels(20);
    levels.back() = {{MF_STRING, 1, "leaf"}};
    for (int i = 18; i >= 0; --i) levels[i] = {{MF_POPUP, 0, "level", levels[i + 1]}};
    EXPECT_FALSE(RegisterMenuResource(501, levels[0]));

    const std::uint32_t pixel = 0xFF000000;
    EXPECT_FALSE(RegisterCursorResource(502, CursorResource{ImageResource{0, 1, 1, &pixel}, POINT{0, 0}}));
    EXPECT_FALSE(RegisterCursorResource(502, CursorResource{ImageResource{1, 1, 1, nullptr}, POINT{0, 0}}));
    EXPECT_FALSE(RegisterCursorResource(502, CursorResource{ImageResource{1, 1, 1, &pixel}, POINT{1, 0}}))
        << "hot spot outside the picture";
    EXPECT_TRUE(RegisterCursorResource(502, CursorResource{ImageResource{1, 1, 1, &pixel}, POINT{0, 0}}));
    EXPECT_FALSE(RegisterIconResource(503, IconResource{}));
}

TEST(Menus, BuiltInCodeAndCheckedHandles) {
    const HMENU menu = CreatePopupMenu();
    const HMENU sub = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuA(sub, MF_STRING, 7, "Inner"));
    ASSERT_TRUE(AppendMenuA(menu, MF_STRING | MF_GRAYED, 5, "Outer"));
    ASSERT_TRUE(AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "Sub"));
    EXPECT_FALSE(AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), "Itself"));
    EXPECT_FALSE(AppendMenuA(menu, MF_POPUP, 12345, "Not a menu"));

    EXPECT_EQ(EnableMenuItem(menu, 7, MF_BYCOMMAND | MF_GRAYED), int{MF_ENABLED}) << "found in the pop-up";
    EXPECT_EQ(EnableMenuItem(menu, 5, MF_BYCOMMAND | MF_ENABLED), int{MF_GRAYED});
    EXPECT_EQ(EnableMenuItem(menu, 99, MF_BYCOMMAND), -1);
    EXPECT_EQ(GetSubMenu(menu, 1), sub);

    char small[4];
    EXPECT_EQ(GetMenuStringA(menu, 7, small, sizeof small, MF_BYCOMMAND), 3);
    EXPECT_STREQ(small, "Inn");

    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_EQ(GetMenuItemCount(sub), -1) << "pop-ups go with their menu";
    EXPECT_FALSE(AppendMenuA(menu, MF_STRING, 1, "late"));
    EXPECT_EQ(GetMenuItemCount(reinterpret_cast<HMENU>(std::uintptr_t{0x42})), -1);
}

TEST(Application, WithoutAnXDisplayStartingFailsWithTheReason) {
    const char* saved = std::getenv("DISPLAY");
    const std::string display = saved ? saved : "";
    const char* savedPlatform = std::getenv("QT_QPA_PLATFORM");
    const std::string platform = savedPlatform ? savedPlatform : "";
    unsetenv("QT_QPA_PLATFORM");

    struct Case {
        const char* display;
        const char* reason;
    };
    for (const Case& c : {Case{nullptr, "DISPLAY"}, Case{":4242", "cannot open"}}) {
        if (c.display) {
            setenv("DISPLAY", c.display, 1);
        } else {
            unsetenv("DISPLAY");
        }
        std::string error;
        EXPECT_FALSE(StartApplication(&error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_FALSE(IsApplicationRunning());
        // Nothing that needs the toolkit pretends to work.
        EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), nullptr);
        EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", MB_OK), 0);
        EXPECT_EQ(CreateWindowExA(0, AfxRegisterWndClass(0), "x", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr),
                  nullptr);
    }
    if (saved) setenv("DISPLAY", display.c_str(), 1);
    if (savedPlatform) setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
}

}  // namespace

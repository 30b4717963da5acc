// Every resource the program uses is there, with what its users rely on.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "platform/user/user_testing.h"
#include "res/product_texts.h"
#include "res/register_resources.h"
#include "res/resource_ids.h"

namespace {

using namespace user;

class Resources : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(res::RegisterResources()); }
    static HINSTANCE Program() { return GetModuleHandleA(nullptr); }
};

TEST_F(Resources, PhotoMenuHoldsItsCommandsInOrder) {
    const HMENU menu = LoadMenuA(Program(), MAKEINTRESOURCEA(res::IDR_PHOTO_MENU));
    ASSERT_NE(menu, nullptr);
    const HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    struct Item {
        UINT id;
        const char* text;
    };
    const Item expected[] = {{32777, "リサイズ"}, {32776, "回転"}, {32774, "保存"}, {0, nullptr}, {32775, "閉じる"}};
    ASSERT_EQ(GetMenuItemCount(popup), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(GetMenuItemID(popup, i), expected[i].id);
        char text[64] = {};
        GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, expected[i].text ? expected[i].text : "");
    }
    EXPECT_TRUE(DestroyMenu(menu));
}

TEST_F(Resources, StringTableHasItsStringsAndNoApplicationTitle) {
    struct Case {
        UINT id;
        const char* text;
    };
    const Case cases[] = {
        {101, "バージョン情報 (&A)..."},
        {61703, "Failed to launch help."},
        {61712, "Please enter an integer."},
    };
    for (const Case& c : cases) {
        char text[64] = {};
        EXPECT_EQ(LoadStringA(Program(), c.id, text, sizeof text), static_cast<int>(std::strlen(c.text)));
        EXPECT_STREQ(text, c.text);
    }
    char text[64] = "untouched";
    EXPECT_EQ(LoadStringA(Program(), 57344, text, sizeof text), 0) << "the title comes from the executable's name";
    EXPECT_STREQ(text, "");
    char small[5] = {};
    EXPECT_EQ(LoadStringA(Program(), 61703, small, sizeof small), 4) << "cut to the buffer, terminated";
    EXPECT_STREQ(small, "Fail");
}

TEST_F(Resources, IconsHaveTheirSizesAndDepths) {
    struct Case {
        WORD id;
        std::vector<std::pair<LONG, int>> sizesAndDepths;
    };
    const Case cases[] = {
        {res::IDR_MAINFRAME, {{16, 24}, {32, 24}}},
        {res::IDI_OPEN_PHOTO, {{32, 8}}},
        {res::IDI_HELP, {{32, 4}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const std::vector<PictureInfo> pictures = DescribeIconResource(c.id);
        ASSERT_EQ(pictures.size(), c.sizesAndDepths.size());
        for (std::size_t i = 0; i < pictures.size(); ++i) {
            EXPECT_EQ(pictures[i].width, c.sizesAndDepths[i].first);
            EXPECT_EQ(pictures[i].height, c.sizesAndDepths[i].first);
            EXPECT_EQ(pictures[i].bitsPerPixel, c.sizesAndDepths[i].second);
        }
    }
}

TEST_F(Resources, HandPointerIsAMonochrome32PixelCursorWithItsHotSpotAtTheCorner) {
    PictureInfo hand;
    ASSERT_TRUE(DescribeCursorResource(res::IDC_HAND_POINTER, &hand));
    EXPECT_EQ(hand.width, 32);
    EXPECT_EQ(hand.height, 32);
    EXPECT_EQ(hand.bitsPerPixel, 1);
    EXPECT_EQ(hand.hotSpot, (POINT{0, 0}));
}

TEST_F(Resources, BannerIsA150By40TrueColourBitmap) {
    const gdi::HBITMAP banner = LoadBitmapA(Program(), MAKEINTRESOURCEA(res::IDB_BANNER));
    ASSERT_NE(banner, nullptr);
    gdi::BITMAP description{};
    ASSERT_NE(gdi::GetObjectA(banner, sizeof description, &description), 0);
    EXPECT_EQ(description.bmWidth, 150);
    EXPECT_EQ(description.bmHeight, 40);
    EXPECT_EQ(description.bmBitsPixel, 24);
    // Not a blank picture: it carries the product's name.
    const auto* rows = static_cast<const BYTE*>(description.bmBits);
    std::size_t distinct = 0;
    for (LONG i = 1; i < description.bmWidthBytes * description.bmHeight; ++i) distinct += rows[i] != rows[0];
    EXPECT_GT(distinct, 1000u);
    EXPECT_TRUE(gdi::DeleteObject(banner));
    EXPECT_EQ(LoadBitmapA(Program(), MAKEINTRESOURCEA(999)), nullptr);
}

}  // namespace

// The filter string of the file dialogs: '|'-separated pairs.
#include <gtest/gtest.h>

#include "platform/framework/file_dialog.h"
#include "platform/kernel/locale.h"
#include "tests/platform/kernel/locale_environment.h"

namespace {

using user::CFileDialog;

std::vector<CFileDialog::Filter> SplitFilter(const char* filter) {
    return CFileDialog(TRUE, nullptr, nullptr, user::OFN_HIDEREADONLY, filter).Filters();
}

TEST(FilterString, PairsUpToTheEmptyDescription) {
    const auto pairs = SplitFilter(
        "JPEG Files (*.jpg)|*.jpg|Bitmap Files (*.bmp)|*.bmp|GIF Files (*.gif)|*.gif|PNG Files (*.png)|*.png||");
    ASSERT_EQ(pairs.size(), 4u);
    EXPECT_EQ(pairs[0].description, "JPEG Files (*.jpg)");
    EXPECT_EQ(pairs[0].patterns, "*.jpg");
    EXPECT_EQ(pairs[3].description, "PNG Files (*.png)");
    EXPECT_EQ(pairs[3].patterns, "*.png");
    EXPECT_TRUE(SplitFilter("").empty());
    EXPECT_TRUE(SplitFilter("||").empty());
    EXPECT_EQ(SplitFilter("Only text").size(), 0u) << "a description without its pattern is no pair";
    EXPECT_EQ(SplitFilter("All|*.*").size(), 1u) << "the closing bars may be missing";
}

TEST(FilterString, DoubleByteCharactersAreScannedWhole) {
    ScopedLocaleEnvironment locale("ja_JP.SJIS");
    if (kernel::GetACP() != 932) GTEST_SKIP() << "no Shift_JIS code page here";
    // 0x83 0x7C is a katakana letter whose second byte is '|'.
    const auto pairs = SplitFilter("\x83\x7C|*.jpg||");
    ASSERT_EQ(pairs.size(), 1u);
    EXPECT_EQ(pairs[0].description, "\x83\x7C");
    EXPECT_EQ(pairs[0].patterns, "*.jpg");
}

}  // namespace

// File names between the file system's bytes and text, and the filter
// string of the file dialogs.
#include <gtest/gtest.h>

#include <QFile>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/kernel/locale.h"
#include "platform/user/internal/file_names.h"
#include "tests/platform/kernel/locale_environment.h"

namespace {

using namespace user::internal;

class FileNames : public testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("pelmora_names_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string Touch(const std::string& name) {
        const std::string path = folder_.string() + "/" + name;
        std::FILE* file = std::fopen(path.c_str(), "w");
        if (file) std::fclose(file);
        return path;
    }
    std::filesystem::path folder_;
};

TEST_F(FileNames, NamesThatAreNotTextKeepTheirBytes) {
    const std::string raw = Touch("photo\xFF\xFE.jpg");
    std::string bytes;
    ASSERT_TRUE(FileSystemPath(QFile::decodeName(QByteArray::fromStdString(raw)), &bytes));
    EXPECT_EQ(bytes, raw);

    const std::string japanese = Touch("写真.jpg");
    ASSERT_TRUE(FileSystemPath(QFile::decodeName(QByteArray::fromStdString(japanese)), &bytes));
    EXPECT_EQ(bytes, japanese);

    // A new name (nothing on disk yet) is the text's own bytes.
    ASSERT_TRUE(FileSystemPath(QString::fromStdString(folder_.string() + "/新しい.png"), &bytes));
    EXPECT_EQ(bytes, folder_.string() + "/新しい.png");
}

TEST_F(FileNames, NamesThatReadAlikeCannotBeToldApart) {
    const std::string first = Touch("a\xFF.jpg");
    Touch("a\xFE.jpg");
    std::string bytes = "unchanged";
    EXPECT_FALSE(FileSystemPath(QFile::decodeName(QByteArray::fromStdString(first)), &bytes));
    EXPECT_EQ(bytes, "unchanged");
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

// File names between the file system's bytes and text.
#include <gtest/gtest.h>

#include <QFile>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/user/internal/file_names.h"

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

}  // namespace

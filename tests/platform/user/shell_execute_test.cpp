// The shell's open operation: what reaches the desktop's opener, caught
// before any program starts.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/user/shell_execute.h"
#include "platform/user/user_testing.h"
#include "tests/support/gui_pump.h"

namespace {

using namespace user;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

class ShellOpen : public testing::Test {
protected:
    void SetUp() override {
        for (const char* scheme : {"http", "https", "mailto", "file"}) {
            CaptureShellOpen(scheme, [this](const std::string& address) { opened_.push_back(address); });
        }
        char pattern[] = "/tmp/pelmora-shell-XXXXXX";
        folder_ = mkdtemp(pattern);
    }
    void TearDown() override {
        for (const char* scheme : {"http", "https", "mailto", "file"}) CaptureShellOpen(scheme, nullptr);
        std::filesystem::remove_all(folder_);
    }

    std::string Document(const std::string& name) {
        const std::string path = folder_ + "/" + name;
        std::ofstream(path) << "picture";
        return path;
    }

    static INT_PTR Open(const char* file, const char* verb = nullptr, const char* directory = nullptr) {
        return reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, verb, file, nullptr, directory, SW_SHOWNORMAL));
    }

    std::vector<std::string> opened_;
    std::string folder_;
};

TEST_F(ShellOpen, AWebAddressReachesTheOpenerUnchanged) {
    for (const char* address :
         {"https://pelmora.example.org/", "http://pelmora.example.org/help?topic=resize&lang=ja#top",
          "https://pelmora.example.org/a%20b/~c", "mailto:support@pelmora.example.org"}) {
        opened_.clear();
        EXPECT_GT(Open(address), 32) << address;
        EXPECT_EQ(opened_, std::vector<std::string>{address});
    }
}

TEST_F(ShellOpen, OnlyTheDefaultVerbOpens) {
    struct Case {
        const char* verb;
        bool opens;
    };
    for (const Case& c : {Case{nullptr, true}, Case{"", true}, Case{"open", true}, Case{"Open", true},
                          Case{"edit", false}, Case{"print", false}, Case{"runas", false}, Case{"explore", false}}) {
        opened_.clear();
        const INT_PTR result = Open("https://pelmora.example.org/", c.verb);
        if (c.opens) {
            EXPECT_GT(result, 32) << (c.verb ? c.verb : "null");
            EXPECT_EQ(opened_.size(), 1u);
        } else {
            EXPECT_EQ(result, SE_ERR_NOASSOC) << c.verb;
            EXPECT_TRUE(opened_.empty()) << c.verb;
        }
    }
}

TEST_F(ShellOpen, ADocumentOpensByItsFullPath) {
    const std::string photo = Document("photo.jpg");
    EXPECT_GT(Open(photo.c_str()), 32);
    EXPECT_GT(Open("photo.jpg", nullptr, folder_.c_str()), 32);  // relative to the folder given
    const std::string japanese = Document("写真 1.jpg");
    EXPECT_GT(Open(japanese.c_str()), 32);
    ASSERT_EQ(opened_.size(), 3u);
    EXPECT_EQ(opened_[0], "file://" + photo);
    EXPECT_EQ(opened_[1], "file://" + photo);
    EXPECT_EQ(opened_[2], "file://" + folder_ + "/%E5%86%99%E7%9C%9F%201.jpg");
}

TEST_F(ShellOpen, WhatCannotBeOpenedSaysWhyAndOpensNothing) {
    const std::string locked = Document("locked.jpg");
    chmod(locked.c_str(), 0);
    struct Case {
        std::string file;
        INT_PTR result;
    };
    std::vector<Case> cases{
        {folder_ + "/missing.jpg", ERROR_FILE_NOT_FOUND},
        {folder_ + "/no folder/photo.jpg", ERROR_PATH_NOT_FOUND},
        {"", ERROR_FILE_NOT_FOUND},
    };
    if (geteuid() != 0) cases.push_back({locked, SE_ERR_ACCESSDENIED});  // root reads anything
    for (const Case& c : cases) {
        EXPECT_EQ(Open(c.file.c_str()), c.result) << c.file;
    }
    EXPECT_EQ(Open(nullptr), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(opened_.empty());
}

}  // namespace

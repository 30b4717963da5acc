// Reading compiled help files: the program's own help file as the build
// makes it, a small project with a subfolder, and files that are not help
// files at all.
#include "platform/user/chm_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using user::CChmFile;

std::string Text(const std::optional<std::vector<unsigned char>>& bytes) {
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<none>");
}

std::vector<char> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<unsigned char> Unsigned(const std::vector<char>& bytes) {
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

class CScratchFolder {
public:
    CScratchFolder() {
        char pattern[] = "/tmp/pelmora-chm-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~CScratchFolder() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name, const std::vector<char>& bytes) const {
        const std::string path = path_ + "/" + name;
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

TEST(ChmFile, TheProgramsHelpMapsEachContextToItsPage) {
    const auto help = CChmFile::Open(PELMORA_HELP_FILE);
    ASSERT_NE(help, nullptr) << PELMORA_HELP_FILE;
    struct Case {
        DWORD context;
        const char* topic;
        const char* heading;
    };
    for (const Case& c : {Case{131174, "/index.htm", "<h1>Pelmora の使い方</h1>"},
                          Case{131172, "/about.htm", "<h1>バージョン情報</h1>"},
                          Case{131211, "/resize.htm", "<h1>リサイズ ダイアログ</h1>"}}) {
        SCOPED_TRACE(c.context);
        EXPECT_EQ(help->TopicOfContext(c.context).value_or("<none>"), c.topic);
        EXPECT_NE(Text(help->Read(c.topic)).find(c.heading), std::string::npos);
    }
    for (DWORD unknown : {0u, 1u, 131173u, 0x20000u + 140u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(help->TopicOfContext(unknown)) << unknown;
    }
    EXPECT_EQ(help->DefaultTopic(), "/index.htm");
    EXPECT_EQ(help->Title(), "Pelmora ヘルプ");
}

TEST(ChmFile, PagesStylesAndPicturesReadWholeByAnyLetterCase) {
    const auto help = CChmFile::Open(PELMORA_HELP_FILE);
    ASSERT_NE(help, nullptr);
    const std::string source = std::string(PELMORA_SOURCE_DIR) + "/res/help/";
    for (const char* name : {"index.htm", "help.css", "grip.png", "save.htm"}) {
        SCOPED_TRACE(name);
        const auto stored = help->Read(std::string("/") + name);
        ASSERT_TRUE(stored);
        EXPECT_EQ(*stored, Unsigned(FileBytes(source + name)));
        EXPECT_TRUE(help->Contains(name));  // the leading "/" may be left out
    }
    EXPECT_TRUE(help->Contains("/INDEX.HTM"));
    EXPECT_TRUE(help->Contains("\\resize.htm"));
    using namespace std::string_view_literals;
    for (std::string_view absent : {"/nothing.htm"sv, "/"sv, ""sv, "/index.htm/"sv, "/index.htm\0x"sv}) {
        EXPECT_FALSE(help->Contains(absent)) << absent;
        EXPECT_FALSE(help->Read(absent)) << absent;
    }
    EXPECT_FALSE(help->Read(std::string(600, 'a')));  // beyond any stored path
}

TEST(ChmFile, TopicsInSubfoldersMapBackBelowTheProjectFolder) {
    // Pages of the same name at the top and in a subfolder must not be
    // confused, whatever folder the file was compiled in.
    const auto file = CChmFile::Open(CHM_FIXTURE_FILE);
    ASSERT_NE(file, nullptr) << CHM_FIXTURE_FILE;
    EXPECT_EQ(file->TopicOfContext(1).value_or("<none>"), "/a.htm");
    EXPECT_EQ(file->TopicOfContext(2).value_or("<none>"), "/sub/a.htm");
    EXPECT_EQ(file->TopicOfContext(3).value_or("<none>"), "/sub/b.htm");
    EXPECT_NE(Text(file->Read("/sub/a.htm")).find("Sub A"), std::string::npos);
    EXPECT_EQ(file->DefaultTopic(), "/sub/b.htm");
    EXPECT_EQ(file->Title(), "Fixture");
}

TEST(ChmFile, WhatIsNotAReadableHelpFileDoesNotOpen) {
    CScratchFolder scratch;
    const std::vector<char> real = FileBytes(PELMORA_HELP_FILE);
    ASSERT_GT(real.size(), 1000u);
    const std::string fifo = scratch.Path() + "/pipe.chm";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string unreadable = scratch.File("locked.chm", real);
    chmod(unreadable.c_str(), 0);
    const bool rootReadsAnything = geteuid() == 0;

    struct Case {
        const char* what;
        std::string path;
    };
    std::vector<Case> cases{
        {"no path", ""},
        {"missing", scratch.Path() + "/missing.CHM"},
        {"folder", scratch.Path()},
        {"pipe", fifo},  // must not wait for a writer
        {"device", "/dev/null"},
        {"empty", scratch.File("empty.chm", {})},
        {"text", scratch.File("text.chm", std::vector<char>(4096, 'x'))},
        {"header only", scratch.File("header.chm", std::vector<char>(real.begin(), real.begin() + 96))},
    };
    if (!rootReadsAnything) cases.push_back({"unreadable", unreadable});
    for (const Case& c : cases) {
        EXPECT_EQ(CChmFile::Open(c.path), nullptr) << c.what;
    }
}

TEST(ChmFile, ADamagedFileGivesNothingWorseThanMissingPages) {
    // Cut short: whatever still opens answers without reading past the end.
    CScratchFolder scratch;
    const std::vector<char> real = FileBytes(PELMORA_HELP_FILE);
    for (std::size_t keep : {real.size() / 4, real.size() / 2, real.size() - 100}) {
        SCOPED_TRACE(keep);
        const auto file = CChmFile::Open(scratch.File("cut.chm", std::vector<char>(real.begin(), real.begin() + keep)));
        if (!file) continue;
        for (const char* page : {"/index.htm", "/grip.png", "/#SYSTEM"}) (void)file->Read(page);
        (void)file->TopicOfContext(131174);
    }
}

}  // namespace

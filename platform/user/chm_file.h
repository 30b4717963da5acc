#pragma once
// A compiled HTML Help file, read with chmlib: its pages and pictures by
// their path inside the file, its default topic and title, and the topic
// each help context number stands for.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

struct chmFile;

namespace user {

class CChmFile {
public:
    // Null when the path is not a readable regular file in the compiled
    // help format.
    static std::unique_ptr<CChmFile> Open(const std::string& path);
    ~CChmFile();
    CChmFile(const CChmFile&) = delete;
    CChmFile& operator=(const CChmFile&) = delete;

    // Paths inside the file start with "/" and compare without regard to
    // letter case; a path without the leading "/" means the same one.
    bool Contains(std::string_view path) const;
    // The whole object, or nothing when it is absent, unreadable or larger
    // than any help page or picture has reason to be.
    std::optional<std::vector<unsigned char>> Read(std::string_view path) const;

    // The topic a context number opens ("/page.htm", perhaps with
    // "#anchor"), or nothing for a number the file does not map to a page
    // it holds.
    std::optional<std::string> TopicOfContext(DWORD context) const;
    // The page shown when no topic is asked for; empty when there is none.
    const std::string& DefaultTopic() const { return defaultTopic_; }
    // The title given when the file was compiled (UTF-8); may be empty.
    const std::string& Title() const { return title_; }

    static constexpr std::uint64_t maxObjectSize = 64u << 20;

private:
    explicit CChmFile(::chmFile* file) : file_(file) {}
    void ReadSystem();
    void ReadContextMap();

    ::chmFile* file_;
    std::string defaultTopic_;
    std::string title_;
    std::map<DWORD, std::string> topics_;
};

}  // namespace user

#include "platform/user/chm_file.h"

#include <chm_lib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace user {
namespace {

// Tables of the file's own: the context map is small, so anything larger
// is damage, not data.
constexpr std::uint64_t maxTableSize = 1u << 20;

DWORD ReadDword(const std::vector<unsigned char>& bytes, std::size_t at) {
    return static_cast<DWORD>(bytes[at]) | (static_cast<DWORD>(bytes[at + 1]) << 8) |
           (static_cast<DWORD>(bytes[at + 2]) << 16) | (static_cast<DWORD>(bytes[at + 3]) << 24);
}

WORD ReadWord(const std::vector<unsigned char>& bytes, std::size_t at) {
    return static_cast<WORD>(bytes[at] | (bytes[at + 1] << 8));
}

// The text from at up to the first NUL within [at, end); nothing when at is
// outside.
std::optional<std::string> ReadString(const std::vector<unsigned char>& bytes, std::size_t at, std::size_t end) {
    end = std::min(end, bytes.size());
    if (at >= end) return std::nullopt;
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(at);
    const auto last = std::find(first, bytes.begin() + static_cast<std::ptrdiff_t>(end), '\0');
    return std::string(first, last);
}

// A path inside the file as chmlib wants it: forward slashes, a leading
// "/", no NUL, within its length limit. Empty when it cannot be one.
std::string InFilePath(std::string_view path) {
    if (path.empty() || path.find('\0') != std::string_view::npos) return {};
    std::string result(path);
    std::replace(result.begin(), result.end(), '\\', '/');
    if (result.front() != '/') result.insert(result.begin(), '/');
    return result.size() <= CHM_MAX_PATHLEN ? result : std::string();
}

struct StoredTopic {
    std::string path;      // slashes forward, drive letter dropped
    std::string fragment;  // "#anchor" or empty
};

StoredTopic SplitStored(std::string stored) {
    StoredTopic topic;
    std::replace(stored.begin(), stored.end(), '\\', '/');
    if (const std::size_t hash = stored.find('#'); hash != std::string::npos) {
        topic.fragment = stored.substr(hash);
        stored.resize(hash);
    }
    if (stored.size() >= 2 && stored[1] == ':' && std::isalpha(static_cast<unsigned char>(stored[0]))) {
        stored.erase(0, 2);
    }
    topic.path = std::move(stored);
    return topic;
}

// The folder part of path, "/" included at both ends ("/a/b/" for
// "/a/b/c.htm").
std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('/') + 1); }

std::string ParentFolder(const std::string& folder) {
    if (folder.size() <= 1) return "/";
    return folder.substr(0, folder.find_last_of('/', folder.size() - 2) + 1);
}

}  // namespace

std::unique_ptr<CChmFile> CChmFile::Open(const std::string& path) {
    // Only a regular file: opening a pipe or device could block or never end.
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
    ::chmFile* handle = chm_open(path.c_str());
    if (!handle) return nullptr;
    std::unique_ptr<CChmFile> file(new CChmFile(handle));
    file->ReadSystem();
    file->ReadContextMap();
    return file;
}

CChmFile::~CChmFile() { chm_close(file_); }

bool CChmFile::Contains(std::string_view path) const {
    const std::string inFile = InFilePath(path);
    if (inFile.empty() || inFile.back() == '/') return false;
    chmUnitInfo unit{};
    return chm_resolve_object(file_, inFile.c_str(), &unit) == CHM_RESOLVE_SUCCESS;
}

std::optional<std::vector<unsigned char>> CChmFile::Read(std::string_view path) const {
    const std::string inFile = InFilePath(path);
    if (inFile.empty() || inFile.back() == '/') return std::nullopt;
    chmUnitInfo unit{};
    if (chm_resolve_object(file_, inFile.c_str(), &unit) != CHM_RESOLVE_SUCCESS) return std::nullopt;
    if (unit.length > maxObjectSize) return std::nullopt;
    std::vector<unsigned char> bytes(static_cast<std::size_t>(unit.length));
    if (bytes.empty()) return bytes;
    const LONGINT64 got = chm_retrieve_object(file_, &unit, bytes.data(), 0, static_cast<LONGINT64>(bytes.size()));
    if (got != static_cast<LONGINT64>(bytes.size())) return std::nullopt;
    return bytes;
}

std::optional<std::string> CChmFile::TopicOfContext(DWORD context) const {
    const auto found = topics_.find(context);
    if (found == topics_.end()) return std::nullopt;
    return found->second;
}

// #SYSTEM: a version, then records of a code, a length and that many bytes.
// Code 2 names the default topic, code 3 holds the title.
void CChmFile::ReadSystem() {
    chmUnitInfo unit{};
    std::optional<std::vector<unsigned char>> bytes;
    if (chm_resolve_object(file_, "/#SYSTEM", &unit) == CHM_RESOLVE_SUCCESS && unit.length <= maxTableSize) {
        bytes = Read("/#SYSTEM");
    }
    std::string stated;
    if (bytes) {
        for (std::size_t at = 4; at + 4 <= bytes->size();) {
            const WORD code = ReadWord(*bytes, at);
            const std::size_t length = ReadWord(*bytes, at + 2);
            const std::size_t data = at + 4;
            if (data + length > bytes->size()) break;
            if (code == 2) stated = ReadString(*bytes, data, data + length).value_or("");
            if (code == 3) title_ = ReadString(*bytes, data, data + length).value_or("");
            at = data + length;
        }
    }
    // Without a stated default, the usual first page names.
    for (const std::string& candidate : {stated, std::string("index.htm"), std::string("default.htm")}) {
        const StoredTopic topic = SplitStored(candidate);
        if (!topic.path.empty() && Contains(topic.path)) {
            defaultTopic_ = InFilePath(topic.path) + topic.fragment;
            return;
        }
    }
}

// #IVB: a byte count, then pairs of a context number and an offset into
// #STRINGS, where the topic's path is stored. The compiler stores each path
// as it found it on the build machine (often absolute), so they are mapped
// back by their part below the help project's folder: the deepest folder
// shared by all of them below which every one names a page of the file.
void CChmFile::ReadContextMap() {
    chmUnitInfo unit{};
    if (chm_resolve_object(file_, "/#IVB", &unit) != CHM_RESOLVE_SUCCESS || unit.length > maxTableSize) return;
    if (chm_resolve_object(file_, "/#STRINGS", &unit) != CHM_RESOLVE_SUCCESS || unit.length > maxTableSize) return;
    const auto map = Read("/#IVB");
    const auto strings = Read("/#STRINGS");
    if (!map || !strings || map->size() < 4) return;

    struct Entry {
        DWORD context;
        StoredTopic topic;
    };
    std::vector<Entry> entries;
    const std::size_t end = std::min<std::size_t>(map->size(), std::size_t{4} + ReadDword(*map, 0));
    for (std::size_t at = 4; at + 8 <= end; at += 8) {
        const std::optional<std::string> text = ReadString(*strings, ReadDword(*map, at + 4), strings->size());
        if (!text) continue;
        StoredTopic topic = SplitStored(*text);
        if (!topic.path.empty()) entries.push_back(Entry{ReadDword(*map, at), std::move(topic)});
    }

    auto absolute = [](const Entry& entry) { return entry.topic.path.front() == '/'; };
    auto below = [](const std::string& path, const std::string& folder) { return "/" + path.substr(folder.size()); };

    // The deepest folder that every absolute path lies in...
    std::optional<std::string> common;
    for (const Entry& entry : entries) {
        if (!absolute(entry)) continue;
        const std::string folder = FolderOf(entry.topic.path);
        if (!common) {
            common = folder;
        } else {
            const auto mismatch = std::mismatch(common->begin(), common->end(), folder.begin(), folder.end());
            common = FolderOf(std::string(common->begin(), mismatch.first));
        }
    }
    // ...or the nearest one above it below which each names a page.
    std::optional<std::string> projectFolder;
    for (std::string folder = common.value_or("/"); common; folder = ParentFolder(folder)) {
        if (std::all_of(entries.begin(), entries.end(), [&](const Entry& entry) {
                return !absolute(entry) || Contains(below(entry.topic.path, folder));
            })) {
            projectFolder = folder;
            break;
        }
        if (folder == "/") break;
    }
    // Without a folder that fits them all, each path takes the deepest one
    // that fits it.
    auto deepestFit = [&](const std::string& path) {
        for (std::string folder = FolderOf(path);; folder = ParentFolder(folder)) {
            if (Contains(below(path, folder))) return below(path, folder);
            if (folder == "/") return std::string();
        }
    };

    for (const Entry& entry : entries) {
        const std::string& path = entry.topic.path;
        const std::string inFile = !absolute(entry) ? InFilePath(path)
                                   : projectFolder  ? below(path, *projectFolder)
                                                    : deepestFit(path);
        if (!inFile.empty() && Contains(inFile)) topics_[entry.context] = InFilePath(inFile) + entry.topic.fragment;
    }
}

}  // namespace user

#pragma once
// File names between the file system's bytes and the toolkit's text.

#include <QString>

#include <string>
#include <vector>

namespace user::internal {

// Text in the ANSI code page as toolkit text.
QString FromAnsi(const std::string& text);

// The file system's name (bytes) of an absolute path that the toolkit
// shows as text. Names of existing entries that are not valid text were
// shown with replacement characters: each component is matched against
// the entries of its folder to find their bytes. False when a component
// matches several entries (the choice cannot be told apart).
bool FileSystemPath(const QString& path, std::string* bytes);

// The pairs of a '|'-separated filter ("text|pattern|...||"), scanning
// double-byte characters whole in double-byte code pages.
struct FilterPair {
    std::string description;
    std::string patterns;
};
std::vector<FilterPair> SplitFilter(const std::string& filter);

}  // namespace user::internal

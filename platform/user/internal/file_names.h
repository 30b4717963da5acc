#pragma once
// File names between the file system's bytes and the toolkit's text.

#include <QString>

#include <string>

namespace user::internal {

// Text in the ANSI code page as toolkit text.
QString FromAnsi(const std::string& text);

// The file system's name (bytes) of an absolute path that the toolkit
// shows as text. Names of existing entries that are not valid text were
// shown with replacement characters: each component is matched against
// the entries of its folder to find their bytes. False when a component
// matches several entries (the choice cannot be told apart).
bool FileSystemPath(const QString& path, std::string* bytes);

}  // namespace user::internal

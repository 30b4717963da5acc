#pragma once
// Library-internal: the file-system name of a wide path. The locale's code
// page turns the text back into bytes, and lone surrogates U+DC00..U+DCFF
// back into the bytes they stand for, so that a name read from the file
// system with MultiByteToWideChar names the same file again.

#include <string>

#include "platform/imaging/bitmap.h"

namespace gdiplus {

// False when the path is null, empty, or holds a character the code page
// cannot express (no file can have that name here).
bool FileSystemName(const WCHAR* path, std::string* name);

}  // namespace gdiplus

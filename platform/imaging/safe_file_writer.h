#pragma once
// Library-internal: writing a file so that it is either wholly written or
// not touched at all.

#include <cstddef>
#include <string>

#include "platform/imaging/status.h"
#include "platform/types.h"

namespace gdiplus {

// Writes the bytes as the file name: to a new temporary file in the same
// folder, flushed to the disk, then renamed over name in one step. A name
// that is a symbolic link has its target replaced. On any failure the
// temporary file is removed and a file already called name keeps every
// byte; AccessDenied when the folder or the file refuses, FileNotFound
// when the folder does not exist, Win32Error for other failures (a full
// disk among them).
Status WriteFileWhole(const std::string& name, const BYTE* data, size_t size);

// For tests: every write fails (as a broken disk would) once this many
// bytes of the file have been written; SIZE_MAX turns it off.
void SetWriteFaultAfter(size_t bytes);

}  // namespace gdiplus

#pragma once
// Library-internal: writing a file so that it is either wholly written or
// not touched at all.

#include <cstddef>
#include <string>

#include "platform/imaging/status.h"
#include "platform/types.h"

namespace gdiplus {

// Writes the bytes as the file name, never in place: into a new file in the
// same folder, flushed to the disk, which then takes the name in one step.
// That new file is created readable by its owner alone and given its final
// permissions just before it takes the name. Where the file system allows,
// it has no name at all until then (O_TMPFILE), so a save killed at any
// point leaves nothing behind; elsewhere it is ".<name>.<8 hex digits>.tmp"
// beside the target, which a save killed before its end leaves there.
//
// Rules, each refused with AccessDenied and the folder left as it was:
// - an existing file is replaced only when the process may write to it, as
//   writing in place would require; one with no write permission bit at all
//   (such as 0444) is read-only for everyone, the superuser included;
// - a name that is a symbolic link replaces the file the kernel's own
//   resolution of the name reaches (the link stays), never a dangling link's
//   target, and not through a link that someone other than the process's
//   user or the folder's owner put in a folder everyone may write to whose
//   sticky bit is set (the kernel's rule for following such links);
// - folders, pipes and devices are not replaced.
// The replaced file's permission bits (rwx for owner, group and others)
// stay, and so do its owner and group where the process may set them; a new
// file gets 0666 less the umask. FileNotFound when the folder does not
// exist; Win32Error for other failures (a full disk among them).
[[nodiscard]] Status WriteFileWhole(const std::string& name, const BYTE* data, size_t size);

}  // namespace gdiplus

#include "platform/imaging/safe_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace gdiplus {
namespace {

std::atomic<size_t> writeFaultAfter{SIZE_MAX};

Status StatusOfErrno(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return AccessDenied;
        case ENOENT:
        case ENOTDIR:
            return FileNotFound;
        case ENOMEM:
            return OutOfMemory;
        default:
            return Win32Error;  // ENOSPC, EDQUOT, EFBIG, EIO, ...
    }
}

// The file a save must replace: the target of a symbolic link, so that
// the link keeps working, or the name itself.
std::string ReplacedFile(const std::string& name) {
    struct stat info;
    if (lstat(name.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char* resolved = realpath(name.c_str(), nullptr);
        if (resolved != nullptr) {
            std::string target = resolved;
            std::free(resolved);
            return target;
        }
    }
    return name;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A new, empty, hidden file beside the target, made with the usual
// permissions (0666 less the umask). -1 with errno set on failure.
int CreateTemporary(const std::string& target, std::string* temporary) {
    // Keep the name within the usual 255-byte limit of one component.
    std::string stem = FolderOf(target) + "/." + BaseOf(target).substr(0, 200);
    std::random_device entropy;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(entropy()));
        *temporary = stem + suffix;
        int fd = open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

bool WriteAll(int fd, const BYTE* data, size_t size) {
    size_t limit = writeFaultAfter.load();
    size_t written = 0;
    while (written < size) {
        size_t chunk = size - written;
        if (chunk > (size_t{1} << 20)) chunk = size_t{1} << 20;
        if (limit != SIZE_MAX && written + chunk > limit) {
            if (written >= limit) {
                errno = EIO;
                return false;
            }
            chunk = limit - written;
        }
        ssize_t n = write(fd, data + written, chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

void SetWriteFaultAfter(size_t bytes) { writeFaultAfter.store(bytes); }

Status WriteFileWhole(const std::string& name, const BYTE* data, size_t size) {
    if (name.empty()) return FileNotFound;
    std::string target = ReplacedFile(name);

    struct stat existing;
    bool exists = stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) return AccessDenied;
    // Replacing a device or a pipe with a regular file would not write to it.
    if (exists && !S_ISREG(existing.st_mode)) return AccessDenied;

    std::string temporary;
    int fd = CreateTemporary(target, &temporary);
    if (fd < 0) return StatusOfErrno(errno);

    auto fail = [&](int error) {
        if (fd >= 0) close(fd);
        unlink(temporary.c_str());
        return StatusOfErrno(error);
    };
    if (exists) {
        // The new file takes the place of the old one: keep its permissions
        // and, where allowed, its owner.
        fchmod(fd, existing.st_mode & 07777);
        if (fchown(fd, existing.st_uid, existing.st_gid) != 0) {
            // Only the superuser may give a file away; the permissions stay.
        }
    }
    if (!WriteAll(fd, data, size)) return fail(errno);
    if (fsync(fd) != 0) return fail(errno);
    int closed = close(fd);
    fd = -1;
    if (closed != 0) return fail(errno);
    // The data is on the disk before the name moves to it, so a power cut
    // leaves the old file or the new one, never an empty or partial one.
    // (The folder itself is not flushed: the rename reaches the disk with
    // the file system's next commit, and until then the old file stands.)
    if (rename(temporary.c_str(), target.c_str()) != 0) return fail(errno);
    return Ok;
}

}  // namespace gdiplus

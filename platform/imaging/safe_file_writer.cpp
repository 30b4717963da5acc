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
#include <cstring>
#include <random>
#include <string>

#include "platform/imaging/imaging_testing.h"

namespace gdiplus {
namespace {

std::atomic<size_t> writeFaultAfter{SIZE_MAX};
std::atomic<void (*)(size_t)> writeProbe{nullptr};
std::atomic<bool> unnamedAllowed{true};

Status StatusOfErrno(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case ETXTBSY: return AccessDenied;
        case ENOENT:
        case ENOTDIR: return FileNotFound;
        case ENOMEM: return OutOfMemory;
        default: return Win32Error;  // ENOSPC, EDQUOT, EFBIG, EIO, ...
    }
}

class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor& operator=(Descriptor&& other) noexcept {
        reset();
        fd_ = other.fd_;
        other.fd_ = -1;
        return *this;
    }
    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

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

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Where the save goes. The folder is held open, so that every later step
// works on the folder that was looked at, however its path changes.
struct Target {
    Descriptor folder;
    std::string base;
    bool exists = false;
    struct stat existing {};
};

Status OpenFolder(const std::string& path, Descriptor* folder) {
    *folder = Descriptor(open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    return folder->get() >= 0 ? Ok : StatusOfErrno(errno);
}

// The kernel's rule for links in shared folders (fs.protected_symlinks),
// kept here as well because a system may have it turned off: a link in a
// folder that everyone may write to and whose sticky bit is set is
// followed only when it belongs to the process's user or the folder's owner.
bool MayFollow(int folder, const struct stat& link) {
    struct stat info;
    if (fstat(folder, &info) != 0) return false;
    bool shared = (info.st_mode & S_ISVTX) != 0 && (info.st_mode & S_IWOTH) != 0;
    return !shared || link.st_uid == geteuid() || link.st_uid == info.st_uid;
}

// Opens the existing file under base for writing, changing nothing in it:
// that the kernel allows it is what writing in place would need (permission
// bits, access lists, an immutable flag, a read-only mount all have their
// say). A name that is a link is opened through the kernel's resolution.
// The file must be the regular file seen before, and have some write
// permission bit.
Status OpenForWriting(int folder, const std::string& base, const struct stat& seen, Descriptor* file,
                      struct stat* info) {
    *file = Descriptor(openat(folder, base.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file->get() < 0) return StatusOfErrno(errno);
    if (fstat(file->get(), info) != 0) return StatusOfErrno(errno);
    if (!S_ISREG(info->st_mode) || !SameFile(*info, seen)) return AccessDenied;
    if ((info->st_mode & 0222) == 0) return AccessDenied;
    return Ok;
}

// A link: the file that replaces is the one the kernel reached, found again
// by the path the kernel reports for it (/proc/self/fd), in its own folder.
Status FollowLink(Target* target, const struct stat& link) {
    if (!MayFollow(target->folder.get(), link)) return AccessDenied;
    struct stat seen;
    // A dangling link: a save never creates a file through a link.
    if (fstatat(target->folder.get(), target->base.c_str(), &seen, 0) != 0) {
        return errno == ENOENT ? AccessDenied : StatusOfErrno(errno);
    }
    if (!S_ISREG(seen.st_mode)) return AccessDenied;
    Descriptor file;
    if (Status s = OpenForWriting(target->folder.get(), target->base, seen, &file, &target->existing); s != Ok) {
        return s;
    }
    char path[PATH_MAX];
    std::string self = "/proc/self/fd/" + std::to_string(file.get());
    ssize_t length = readlink(self.c_str(), path, sizeof path - 1);
    if (length <= 0 || path[0] != '/') return AccessDenied;
    path[length] = '\0';
    std::string reached = path;
    Target resolved;
    if (Status s = OpenFolder(FolderOf(reached), &resolved.folder); s != Ok) return AccessDenied;
    resolved.base = BaseOf(reached);
    struct stat entry;
    if (fstatat(resolved.folder.get(), resolved.base.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(entry.st_mode) || !SameFile(entry, target->existing)) {
        return AccessDenied;
    }
    target->folder = std::move(resolved.folder);
    target->base = resolved.base;
    target->exists = true;
    return Ok;
}

Status FindTarget(const std::string& name, Target* target) {
    target->base = BaseOf(name);
    if (target->base.empty()) return AccessDenied;  // a name ending in "/" is a folder
    if (Status s = OpenFolder(FolderOf(name), &target->folder); s != Ok) return s;
    struct stat entry;
    if (fstatat(target->folder.get(), target->base.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? Ok : StatusOfErrno(errno);  // a new file
    }
    if (S_ISLNK(entry.st_mode)) return FollowLink(target, entry);
    // Replacing a folder, a device or a pipe with a regular file would not
    // write to it.
    if (!S_ISREG(entry.st_mode)) return AccessDenied;
    Descriptor file;
    if (Status s = OpenForWriting(target->folder.get(), target->base, entry, &file, &target->existing); s != Ok) {
        return s;
    }
    target->exists = true;
    return Ok;
}

std::string HiddenName(const std::string& base) {
    // Keep the name within the usual 255-byte limit of one component.
    static std::random_device entropy;
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(entropy()));
    return "." + base.substr(0, 200) + suffix;
}

// The new file, empty and readable by its owner alone: unnamed where the
// file system has such files, else under a hidden name (*temporary), left
// empty for an unnamed one.
Status CreateTemporary(const Target& target, Descriptor* file, std::string* temporary) {
    temporary->clear();
    // Linking an unnamed file into place goes through /proc.
    if (unnamedAllowed.load() && access("/proc/self/fd", X_OK) == 0) {
        *file = Descriptor(openat(target.folder.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
        if (file->get() >= 0) return Ok;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return StatusOfErrno(errno);
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary = HiddenName(target.base);
        *file =
            Descriptor(openat(target.folder.get(), temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (file->get() >= 0) return Ok;
        if (errno != EEXIST) break;
    }
    int error = errno;
    temporary->clear();
    return StatusOfErrno(error);
}

bool WriteAll(int fd, const BYTE* data, size_t size) {
    size_t limit = writeFaultAfter.load();
    void (*probe)(size_t) = writeProbe.load();
    size_t written = 0;
    while (written < size) {
        if (probe != nullptr) probe(written);
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
    if (probe != nullptr) probe(written);
    return true;
}

mode_t CurrentUmask() {
    // Linux reports it without changing it; elsewhere set and set back
    // (the program touches the umask on no other thread).
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status) != nullptr) {
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        }
        std::fclose(status);
        if (found) return static_cast<mode_t>(mask);
    }
    mode_t mask = umask(022);
    umask(mask);
    return mask;
}

// The replaced file's owner, group and permission bits, where the process
// may give them (a user may pass a file on to a group of theirs only; the
// superuser to anyone); a new file's usual permissions. The set-user,
// set-group and sticky bits are not carried over: writing to a file clears
// the first two as well.
void GiveFinalOwnerAndMode(int fd, const Target& target) {
    mode_t mode = 0666 & ~CurrentUmask();
    if (target.exists) {
        if (fchown(fd, target.existing.st_uid, target.existing.st_gid) != 0 &&
            fchown(fd, static_cast<uid_t>(-1), target.existing.st_gid) != 0) {
            // The group stays the process's own.
        }
        mode = target.existing.st_mode & 0777;
    }
    // Should the file system refuse, the file stays readable by its owner
    // alone: stricter than asked, never looser.
    if (fchmod(fd, mode) != 0) {}
}

// The written file takes the name. An unnamed file is linked in; a name
// cannot be replaced by linking, so in that case it is linked under a
// hidden name and renamed over the old file at once. A new file's name is
// taken only while it is free, so a file made meanwhile by someone else is
// not clobbered.
Status TakeTheName(const Target& target, int fd, std::string* temporary) {
    int folder = target.folder.get();
    if (temporary->empty()) {
        std::string self = "/proc/self/fd/" + std::to_string(fd);
        if (!target.exists) {
            if (linkat(AT_FDCWD, self.c_str(), folder, target.base.c_str(), AT_SYMLINK_FOLLOW) == 0) return Ok;
            return StatusOfErrno(errno);
        }
        for (int attempt = 0;; ++attempt) {
            *temporary = HiddenName(target.base);
            if (linkat(AT_FDCWD, self.c_str(), folder, temporary->c_str(), AT_SYMLINK_FOLLOW) == 0) break;
            int error = errno;
            temporary->clear();
            if (error != EEXIST || attempt == 100) return StatusOfErrno(error);
        }
    }
    unsigned flags = target.exists ? 0 : RENAME_NOREPLACE;
    int renamed = renameat2(folder, temporary->c_str(), folder, target.base.c_str(), flags);
    if (renamed != 0 && flags != 0 && errno == EINVAL) {
        // A file system that cannot promise that: the name was free a moment ago.
        renamed = renameat(folder, temporary->c_str(), folder, target.base.c_str());
    }
    if (renamed != 0) return StatusOfErrno(errno);
    temporary->clear();
    return Ok;
}

}  // namespace

void SetWriteFaultAfter(size_t bytes) { writeFaultAfter.store(bytes); }
void SetWriteProbe(void (*probe)(size_t written)) { writeProbe.store(probe); }
void SetUnnamedTemporaryFiles(bool allowed) { unnamedAllowed.store(allowed); }

Status WriteFileWhole(const std::string& name, const BYTE* data, size_t size) {
    if (name.empty()) return FileNotFound;
    Target target;
    if (Status s = FindTarget(name, &target); s != Ok) return s;

    Descriptor file;
    std::string temporary;
    if (Status s = CreateTemporary(target, &file, &temporary); s != Ok) return s;
    auto fail = [&](int error) {
        file.reset();
        if (!temporary.empty()) unlinkat(target.folder.get(), temporary.c_str(), 0);
        return StatusOfErrno(error);
    };
    if (!WriteAll(file.get(), data, size)) return fail(errno);
    GiveFinalOwnerAndMode(file.get(), target);
    // The data is on the disk before the name moves to it, so a power cut
    // leaves the old file or the new one, never an empty or partial one.
    // (The folder itself is not flushed: the new name reaches the disk with
    // the file system's next commit, and until then the old file stands.)
    if (fsync(file.get()) != 0) return fail(errno);
    if (Status s = TakeTheName(target, file.get(), &temporary); s != Ok) {
        int error = errno;
        fail(error);
        return s;
    }
    return Ok;  // closing can lose nothing now: the data is flushed and named
}

}  // namespace gdiplus

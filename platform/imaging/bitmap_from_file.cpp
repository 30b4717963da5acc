// Decoding a file into a new bitmap.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/decode_limits.h"
#include "platform/imaging/decoders.h"
#include "platform/imaging/file_name.h"
#include "platform/imaging/image_object.h"
#include "platform/imaging/pixel_memory.h"
#include "platform/imaging/startup.h"

namespace gdiplus {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

Status StatusOfErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP: return FileNotFound;
        case EACCES:
        case EPERM: return AccessDenied;
        case ENOMEM: return OutOfMemory;
        default: return Win32Error;
    }
}

struct FileBytes {
    PixelMemory data;
    size_t size = 0;
};

// Only regular files are read: a pipe or a device would block the caller,
// or never end.
Status StatusOfKind(const struct stat& info) {
    if (S_ISDIR(info.st_mode)) return AccessDenied;
    if (!S_ISREG(info.st_mode)) return UnknownImageFormat;
    if (info.st_size <= 0) return UnknownImageFormat;
    return Ok;
}

// Reads up to size bytes; fewer only at the end of the file. -1 on failure.
ssize_t ReadFully(int fd, BYTE* out, size_t size) {
    size_t done = 0;
    while (done < size) {
        ssize_t n = read(fd, out + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

// Reads the whole file: every decoder works on memory, which is also what
// lets them be fuzzed and lets no decoder ever see a file change under it.
// The name is looked at before it is opened, so that no device is ever
// opened; then the file is opened without blocking and looked at again
// through the descriptor that is read, in case the name moved meanwhile.
// Nothing is read beyond the first bytes unless they show a known format.
Status ReadWholeFile(const std::string& name, FileBytes* out) {
    struct stat info;
    if (stat(name.c_str(), &info) != 0) return StatusOfErrno(errno);
    if (Status s = StatusOfKind(info); s != Ok) return s;
    FileDescriptor fd(open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) return StatusOfErrno(errno);
    if (fstat(fd.get(), &info) != 0) return StatusOfErrno(errno);
    if (Status s = StatusOfKind(info); s != Ok) return s;

    BYTE head[signatureBytes];
    ssize_t headSize = ReadFully(fd.get(), head, sizeof head);
    if (headSize < 0) return StatusOfErrno(errno);
    if (!HasImageSignature(head, static_cast<size_t>(headSize))) return UnknownImageFormat;
    if (static_cast<unsigned long long>(info.st_size) > DecodeMemoryLimit()) return OutOfMemory;

    // A file that shrinks while being read is read as far as it goes; one
    // that grows is read to the size it had.
    size_t capacity = std::max(static_cast<size_t>(info.st_size), static_cast<size_t>(headSize));
    PixelMemory data;
    if (!data.Allocate(capacity, false)) return OutOfMemory;
    std::memcpy(data.data(), head, static_cast<size_t>(headSize));
    ssize_t rest = ReadFully(fd.get(), data.data() + headSize, capacity - static_cast<size_t>(headSize));
    if (rest < 0) return StatusOfErrno(errno);
    out->data = std::move(data);
    out->size = static_cast<size_t>(headSize) + static_cast<size_t>(rest);
    return Ok;
}

}  // namespace

Status GdipCreateBitmapFromFile(const WCHAR* filename, GpBitmap** bitmap) {
    if (!IsStarted()) return GdiplusNotInitialized;
    if (bitmap == nullptr) return InvalidParameter;
    *bitmap = nullptr;
    std::string name;
    if (filename == nullptr) return InvalidParameter;
    if (!FileSystemName(filename, &name)) return FileNotFound;

    FileBytes file;
    if (Status s = ReadWholeFile(name, &file); s != Ok) return s;
    Raster pixels;
    GUID format = GUID_NULL;
    if (Status s = DecodeImage(file.data.data(), file.size, &pixels, &format); s != Ok) return s;
    file.data = PixelMemory();
    return MakeBitmap(std::move(pixels), format, bitmap);
}

}  // namespace gdiplus

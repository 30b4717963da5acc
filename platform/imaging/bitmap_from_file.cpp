// Decoding a file into a new bitmap.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
        case ELOOP:
            return FileNotFound;
        case EACCES:
        case EPERM:
            return AccessDenied;
        case ENOMEM:
            return OutOfMemory;
        default:
            return Win32Error;
    }
}

struct FileBytes {
    PixelMemory data;
    size_t size = 0;
};

// Reads the whole file: every decoder works on memory, which is also what
// lets them be fuzzed and lets no decoder ever see a file change under it.
Status ReadWholeFile(const std::string& name, FileBytes* out) {
    FileDescriptor fd(open(name.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return StatusOfErrno(errno);
    struct stat info;
    if (fstat(fd.get(), &info) != 0) return StatusOfErrno(errno);
    if (S_ISDIR(info.st_mode)) return AccessDenied;
    if (!S_ISREG(info.st_mode)) return UnknownImageFormat;
    if (info.st_size <= 0) return UnknownImageFormat;
    if (static_cast<unsigned long long>(info.st_size) > DecodeMemoryLimit()) return OutOfMemory;

    size_t capacity = static_cast<size_t>(info.st_size);
    PixelMemory data;
    if (!data.Allocate(capacity, false)) return OutOfMemory;
    size_t size = 0;
    // A file that shrinks while being read is read as far as it goes; one
    // that grows is read to the size it had.
    while (size < capacity) {
        ssize_t n = read(fd.get(), data.data() + size, capacity - size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return StatusOfErrno(errno);
        }
        if (n == 0) break;
        size += static_cast<size_t>(n);
    }
    if (size == 0) return UnknownImageFormat;
    out->data = std::move(data);
    out->size = size;
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

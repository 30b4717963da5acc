#include "platform/imaging/tiff_memory_io.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

#include "platform/imaging/decode_limits.h"
#include "platform/imaging/memory_reader.h"

namespace gdiplus {
namespace {

tmsize_t Read(thandle_t handle, void* out, tmsize_t length) {
    auto* m = static_cast<TiffMemory*>(handle);
    if (length <= 0) return 0;
    // What has been written so far reads back like a file given to read.
    MemoryReader reader{m->sink != nullptr ? m->sink->data() : m->data, m->sink != nullptr ? m->sink->size() : m->size,
                        m->offset};
    const size_t n = reader.ReadSome(out, static_cast<size_t>(length));
    m->offset = reader.offset;
    return static_cast<tmsize_t>(n);
}

tmsize_t Write(thandle_t handle, void* in, tmsize_t length) {
    auto* m = static_cast<TiffMemory*>(handle);
    if (m->sink == nullptr || length < 0) return -1;
    size_t n = static_cast<size_t>(length);
    try {
        if (m->offset + n > m->sink->size()) m->sink->resize(m->offset + n);
    } catch (const std::bad_alloc&) {
        m->failed = true;
        return -1;
    }
    std::memcpy(m->sink->data() + m->offset, in, n);
    m->offset += n;
    return length;
}

toff_t Seek(thandle_t handle, toff_t offset, int whence) {
    auto* m = static_cast<TiffMemory*>(handle);
    size_t size = m->sink != nullptr ? m->sink->size() : m->size;
    constexpr int64_t farthest = int64_t{1} << 40;
    int64_t base = whence == SEEK_SET ? 0 : static_cast<int64_t>(whence == SEEK_CUR ? m->offset : size);
    int64_t delta = static_cast<int64_t>(offset);
    if (delta > farthest || delta < -farthest) return static_cast<toff_t>(-1);
    int64_t target = base + delta;
    if (target < 0 || target > farthest) return static_cast<toff_t>(-1);
    m->offset = static_cast<size_t>(target);
    return m->offset;
}

int Close(thandle_t) { return 0; }

toff_t Size(thandle_t handle) {
    auto* m = static_cast<TiffMemory*>(handle);
    return m->sink != nullptr ? m->sink->size() : m->size;
}

int NoMap(thandle_t, void**, toff_t*) { return 0; }
void NoUnmap(thandle_t, void*, toff_t) {}

int CountError(TIFF*, void* memory, const char*, const char*, va_list) {
    ++static_cast<TiffMemory*>(memory)->errors;
    return 1;
}

// A tag that the file's end cut off is only warned about, and ignored: count
// it as damage too, or a palette file without its colours would show black.
int CountReadFailure(TIFF*, void* memory, const char*, const char* format, va_list) {
    if (format != nullptr && std::strstr(format, "IO error") != nullptr) {
        ++static_cast<TiffMemory*>(memory)->errors;
    }
    return 1;
}

}  // namespace

TIFF* OpenTiffMemory(TiffMemory* memory, const char* mode) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options == nullptr) return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, CountError, memory);
    TIFFOpenOptionsSetWarningHandlerExtR(options, CountReadFailure, memory);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(DecodeMemoryLimit()));
    TIFF* tif = TIFFClientOpenExt("memory", mode, memory, Read, Write, Seek, Close, Size, NoMap, NoUnmap, options);
    TIFFOpenOptionsFree(options);
    return tif;
}

}  // namespace gdiplus

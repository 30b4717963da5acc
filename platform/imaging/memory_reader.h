#pragma once
// Library-internal: a file held in memory, read from front to back by the
// codec libraries' read callbacks.

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/types.h"

namespace gdiplus {

struct MemoryReader {
    const BYTE* data = nullptr;
    size_t size = 0;
    size_t offset = 0;  // may lie past the end after a seek

    size_t Remaining() const { return offset < size ? size - offset : 0; }

    // Copies up to length bytes; returns how many there were.
    size_t ReadSome(void* out, size_t length) {
        const size_t n = std::min(length, Remaining());
        if (n > 0) std::memcpy(out, data + offset, n);
        offset += n;
        return n;
    }

    // Copies exactly length bytes, or nothing when fewer remain.
    bool ReadAll(void* out, size_t length) {
        if (length > Remaining()) return false;
        ReadSome(out, length);
        return true;
    }
};

}  // namespace gdiplus

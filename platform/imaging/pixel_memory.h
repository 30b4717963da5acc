#pragma once
// Library-internal: memory for pixels and whole files. Large blocks are
// mapped on their own in 2 MB-aligned runs the kernel may back with huge
// pages: filling a photo's worth of fresh memory a 4 KB page at a time
// costs more than decoding it on some machines.

#include <cstddef>

#include "platform/types.h"

namespace gdiplus {

class PixelMemory {
public:
    PixelMemory() = default;
    ~PixelMemory() { Release(); }
    PixelMemory(PixelMemory&& other) noexcept : data_(other.data_), bytes_(other.bytes_), mapped_(other.mapped_) {
        other.data_ = nullptr;
    }
    PixelMemory& operator=(PixelMemory&& other) noexcept;
    PixelMemory(const PixelMemory&) = delete;
    PixelMemory& operator=(const PixelMemory&) = delete;

    // bytes of memory, zero-filled when zeroed is true; false when none.
    bool Allocate(size_t bytes, bool zeroed);
    BYTE* data() const { return data_; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    void Release();
    BYTE* data_ = nullptr;
    size_t bytes_ = 0;
    bool mapped_ = false;
};

}  // namespace gdiplus

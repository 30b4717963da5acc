#pragma once
// Short-lived buffers of the decoding and encoding code: up to 1024 bytes
// on the stack when a probe shows room for them plus 8192 bytes, otherwise
// on the heap.

#include <cstddef>

#include "platform/types.h"

class CSmallBuffer {
public:
    static constexpr size_t stackLimit = 1024;
    static constexpr size_t stackReserve = 8192;

    CSmallBuffer() = default;
    ~CSmallBuffer();
    CSmallBuffer(const CSmallBuffer&) = delete;
    CSmallBuffer& operator=(const CSmallBuffer&) = delete;

    // size bytes, aligned for any record; null when they cannot be had.
    // Called once per buffer.
    [[nodiscard]] BYTE* Obtain(size_t size);

private:
    alignas(std::max_align_t) BYTE stack_[stackLimit];
    BYTE* data_ = nullptr;
    BYTE* heap_ = nullptr;
};

// True when the calling thread's stack has bytes + 8192 bytes left below
// the caller.
bool StackHasRoom(size_t bytes);

// The heap of these buffers and of the path converter.
void* SmallHeapAllocate(size_t size);
void SmallHeapFree(void* memory);

#include "image/small_buffer.h"

#include <pthread.h>

#include <cstdint>
#include <cstdlib>

#include "image/image_testing.h"
#include "platform/assert.h"

namespace {

// The lowest address of the calling thread's stack; 0 when unknown.
std::uintptr_t StackLimit() {
    thread_local std::uintptr_t low = [] {
        pthread_attr_t attributes;
        if (pthread_getattr_np(pthread_self(), &attributes) != 0) return std::uintptr_t{0};
        void* start = nullptr;
        size_t size = 0;
        int result = pthread_attr_getstack(&attributes, &start, &size);
        size_t guard = 0;
        pthread_attr_getguardsize(&attributes, &guard);
        pthread_attr_destroy(&attributes);
        return result == 0 ? reinterpret_cast<std::uintptr_t>(start) + guard : std::uintptr_t{0};
    }();
    return low;
}

}  // namespace

bool StackHasRoom(size_t bytes) {
    if (SmallBufferFaults::stackFull) return false;
    std::uintptr_t low = StackLimit();
    // The frame address is the real stack even where sanitizers move locals.
    auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    return low != 0 && here > low && here - low >= bytes + CSmallBuffer::stackReserve;
}

void* SmallHeapAllocate(size_t size) {
    if (SmallBufferFaults::heapEmpty) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

void SmallHeapFree(void* memory) { std::free(memory); }

CSmallBuffer::~CSmallBuffer() { SmallHeapFree(heap_); }

BYTE* CSmallBuffer::Obtain(size_t size) {
    PELMORA_ASSERT(data_ == nullptr);  // a second buffer would leak the first
    if (size <= stackLimit && StackHasRoom(size)) {
        data_ = stack_;
    } else {
        heap_ = static_cast<BYTE*>(SmallHeapAllocate(size));
        data_ = heap_;
    }
    return data_;
}

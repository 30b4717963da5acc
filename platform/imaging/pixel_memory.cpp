#include "platform/imaging/pixel_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t mapThreshold = size_t{1} << 20;
constexpr size_t hugePage = size_t{2} << 20;

size_t RoundUp(size_t value, size_t unit) { return (value + unit - 1) / unit * unit; }

}  // namespace

namespace gdiplus {

PixelMemory& PixelMemory::operator=(PixelMemory&& other) noexcept {
    if (this != &other) {
        Release();
        data_ = other.data_, bytes_ = other.bytes_, mapped_ = other.mapped_;
        other.data_ = nullptr;
    }
    return *this;
}

bool PixelMemory::Allocate(size_t bytes, bool zeroed) {
    Release();
    if (bytes < mapThreshold) {
        data_ =
            static_cast<BYTE*>(zeroed ? std::calloc(bytes == 0 ? 1 : bytes, 1) : std::malloc(bytes == 0 ? 1 : bytes));
        bytes_ = bytes;
        mapped_ = false;
        return data_ != nullptr;
    }
    // Map one huge page more than needed and trim to an aligned run.
    // Fresh mappings read as zero, so zeroed costs nothing.
    size_t used = RoundUp(bytes, hugePage);
    if (used < bytes || used + hugePage < used) return false;
    size_t length = used + hugePage;
    void* mapping = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) return false;
    auto start = reinterpret_cast<std::uintptr_t>(mapping);
    std::uintptr_t aligned = RoundUp(start, hugePage);
    if (aligned > start) munmap(mapping, aligned - start);
    std::uintptr_t end = start + length;
    if (end > aligned + used) munmap(reinterpret_cast<void*>(aligned + used), end - (aligned + used));
    madvise(reinterpret_cast<void*>(aligned), used, MADV_HUGEPAGE);
    data_ = reinterpret_cast<BYTE*>(aligned);
    bytes_ = used;
    mapped_ = true;
    return true;
}

void PixelMemory::Release() {
    if (data_ == nullptr) return;
    if (mapped_) {
        munmap(data_, bytes_);
    } else {
        std::free(data_);
    }
    data_ = nullptr;
}

}  // namespace gdiplus

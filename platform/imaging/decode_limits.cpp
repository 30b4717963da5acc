#include "platform/imaging/decode_limits.h"

#include <unistd.h>

#include <atomic>

namespace gdiplus {
namespace {

std::atomic<size_t> memoryLimit{0};

size_t PhysicalMemoryQuarter() {
    long pages = sysconf(_SC_PHYS_PAGES);
    long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) return size_t{1} << 30;
    return static_cast<size_t>(pages) / 4 * static_cast<size_t>(pageSize);
}

}  // namespace

void SetDecodeMemoryLimit(size_t bytes) { memoryLimit.store(bytes); }

size_t DecodeMemoryLimit() {
    size_t limit = memoryLimit.load();
    if (limit != 0) return limit;
    static const size_t quarter = PhysicalMemoryQuarter();
    return quarter;
}

Status CheckDecodeSize(UINT width, UINT height, UINT bitsPerPixel, size_t extraBytes) {
    if (width == 0 || height == 0) return InvalidParameter;
    if (width > maxDecodedSide || height > maxDecodedSide) return OutOfMemory;
    // Both sides are below 2^16 and the depth below 2^8, so this cannot
    // overflow 64 bits.
    unsigned long long rowBytes = (static_cast<unsigned long long>(width) * bitsPerPixel + 31) / 32 * 4;
    unsigned long long total = rowBytes * height + extraBytes;
    if (total > DecodeMemoryLimit()) return OutOfMemory;
    return Ok;
}

}  // namespace gdiplus

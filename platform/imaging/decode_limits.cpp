#include "platform/imaging/decode_limits.h"

#include <unistd.h>

#include <atomic>
#include <cstdint>

#include "platform/gdi/records.h"
#include "platform/imaging/imaging_testing.h"

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

size_t AddBytes(size_t a, size_t b) { return a > SIZE_MAX - b ? SIZE_MAX : a + b; }

size_t MultiplyBytes(size_t a, size_t b) { return b != 0 && a > SIZE_MAX / b ? SIZE_MAX : a * b; }

Status CheckDecodeSize(UINT width, UINT height, UINT bitsPerPixel, size_t extraBytes) {
    if (width == 0 || height == 0) return InvalidParameter;
    if (width > maxDecodedSide || height > maxDecodedSide) return OutOfMemory;
    // Both sides are below 2^16 and the depth below 2^8, so the bitmap's
    // size cannot overflow 64 bits.
    size_t rowBytes = gdi::DibRowBytes(width, bitsPerPixel);
    if (AddBytes(rowBytes * height, extraBytes) > DecodeMemoryLimit()) return OutOfMemory;
    return Ok;
}

Status CheckBackedArea(unsigned long long declaredPixels, unsigned long long coveredPixels) {
    if (declaredPixels <= alwaysBackedPixels) return Ok;
    if (coveredPixels >= declaredPixels / backedAreaFactor) return Ok;
    return OutOfMemory;
}

}  // namespace gdiplus

#pragma once
// Library-internal: libtiff reading from and writing to memory, with its
// messages kept quiet and its allocations capped.

#include <tiffio.h>

#include <cstddef>
#include <vector>

#include "platform/types.h"

namespace gdiplus {

struct TiffMemory {
    // Reading: data and size. Writing: grows sink.
    const BYTE* data = nullptr;
    size_t size = 0;
    std::vector<BYTE>* sink = nullptr;
    size_t offset = 0;
    bool failed = false;  // a write could not get memory
    // Errors libtiff reported, including those it carried on after (a tag
    // cut off by the file's end is "ignored"): any one means damage.
    int errors = 0;
};

// Opens memory for reading ("r") or writing ("w"); null on failure.
TIFF* OpenTiffMemory(TiffMemory* memory, const char* mode);

}  // namespace gdiplus

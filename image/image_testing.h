#pragma once
// What the image store's tests arrange and read back. Only tests include
// this header; the functions are part of the pelmora_image library.

#include "platform/gdi/records.h"
#include "platform/types.h"

// Pretend that the stack has no room, or the heap no memory, for the small
// buffers and the path converter.
struct SmallBufferFaults {
    static inline bool stackFull = false;
    static inline bool heapEmpty = false;
};

// The imaging runtime's state: the start-up token (0 while the library is
// stopped) and the number of live raster images.
struct ImagingRuntimeTesting {
    static ULONG_PTR RuntimeToken();
    static LONG LiveImageCount();
};

struct MemoryDcPoolTesting {
    // The surface in slot index, or null.
    static gdi::HDC PeekSlot(int index);
    // What TakeDc makes new surfaces with; null restores CreateCompatibleDC.
    // Lets tests see what happens when no surface can be made.
    using DcFactory = gdi::HDC (*)();
    static void SetDcFactory(DcFactory factory);
};

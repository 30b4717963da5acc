#pragma once
// Keeps the imaging library running while any raster image lives: started
// by the first load or save, stopped when the last image is destroyed.

#include "platform/kernel/sync.h"
#include "platform/types.h"

class ImagingRuntime {
public:
    // The process's one runtime, made on first use and torn down at exit.
    static ImagingRuntime& Instance();

    ImagingRuntime(const ImagingRuntime&) = delete;
    ImagingRuntime& operator=(const ImagingRuntime&) = delete;

    // Starts the library unless it runs; true when it runs afterwards. A
    // failed start leaves it stopped, and the next call tries again.
    [[nodiscard]] bool EnsureStarted();
    // Stops the library if it runs.
    void Stop();

    // Every raster image registers for its whole life; the last one to go
    // stops the library.
    void RegisterImage();
    void UnregisterImage();

private:
    friend struct ImagingRuntimeTesting;
    ImagingRuntime();
    ~ImagingRuntime();

    ULONG_PTR runtimeToken = 0;            // 0: the library is not started
    kernel::CRITICAL_SECTION runtimeLock;  // recursive: Stop runs inside UnregisterImage's hold
    LONG liveImageCount = 0;
};

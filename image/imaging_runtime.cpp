#include "image/imaging_runtime.h"

#include "image/image_testing.h"
#include "platform/assert.h"
#include "platform/imaging/startup.h"

ImagingRuntime& ImagingRuntime::Instance() {
    static ImagingRuntime runtime;
    return runtime;
}

ImagingRuntime::ImagingRuntime() {
    // Touch the library's own state first, so that it is made before this
    // object and so still exists when this object stops it at exit.
    (void)gdiplus::IsStarted();
    kernel::InitializeCriticalSection(&runtimeLock);
}

ImagingRuntime::~ImagingRuntime() {
    Stop();
    kernel::DeleteCriticalSection(&runtimeLock);
}

bool ImagingRuntime::EnsureStarted() {
    kernel::EnterCriticalSection(&runtimeLock);
    bool running = true;
    if (runtimeToken == 0) {
        gdiplus::GdiplusStartupInput input;
        input.GdiplusVersion = 1;
        input.DebugEventCallback = nullptr;
        input.SuppressBackgroundThread = FALSE;
        input.SuppressExternalCodecs = FALSE;
        gdiplus::GdiplusStartupOutput output;
        ULONG_PTR token = 0;
        running = gdiplus::GdiplusStartup(&token, &input, &output) == gdiplus::Ok;
        runtimeToken = running ? token : 0;
    }
    kernel::LeaveCriticalSection(&runtimeLock);
    return running;
}

void ImagingRuntime::Stop() {
    kernel::EnterCriticalSection(&runtimeLock);
    if (runtimeToken != 0) gdiplus::GdiplusShutdown(runtimeToken);
    runtimeToken = 0;
    kernel::LeaveCriticalSection(&runtimeLock);
}

void ImagingRuntime::RegisterImage() {
    kernel::EnterCriticalSection(&runtimeLock);
    ++liveImageCount;
    kernel::LeaveCriticalSection(&runtimeLock);
}

void ImagingRuntime::UnregisterImage() {
    kernel::EnterCriticalSection(&runtimeLock);
    PELMORA_ASSERT(liveImageCount > 0);  // each image unregisters once, after registering
    // Stopping inside the same hold: no start-up can slip in between.
    if (--liveImageCount == 0) Stop();
    kernel::LeaveCriticalSection(&runtimeLock);
}

namespace {

// Holds a lock for as long as it lives.
class CHold {
public:
    explicit CHold(kernel::CRITICAL_SECTION& lock) : lock_(lock) { kernel::EnterCriticalSection(&lock_); }
    ~CHold() { kernel::LeaveCriticalSection(&lock_); }
    CHold(const CHold&) = delete;
    CHold& operator=(const CHold&) = delete;

private:
    kernel::CRITICAL_SECTION& lock_;
};

}  // namespace

ULONG_PTR ImagingRuntimeTesting::RuntimeToken() {
    ImagingRuntime& runtime = ImagingRuntime::Instance();
    const CHold hold(runtime.runtimeLock);
    return runtime.runtimeToken;
}

LONG ImagingRuntimeTesting::LiveImageCount() {
    ImagingRuntime& runtime = ImagingRuntime::Instance();
    const CHold hold(runtime.runtimeLock);
    return runtime.liveImageCount;
}

#pragma once
// Starting and stopping the imaging library. Every other imaging call fails
// with GdiplusNotInitialized unless at least one start-up is outstanding.

#include "platform/imaging/status.h"
#include "platform/types.h"

namespace gdiplus {

using DebugEventProc = void (*)(int level, char* message);
using NotificationHookProc = Status (*)(ULONG_PTR* token);
using NotificationUnhookProc = void (*)(ULONG_PTR token);

struct GdiplusStartupInput {
    UINT GdiplusVersion = 1;
    DebugEventProc DebugEventCallback = nullptr;
    BOOL SuppressBackgroundThread = FALSE;
    BOOL SuppressExternalCodecs = FALSE;
};

struct GdiplusStartupOutput {
    NotificationHookProc NotificationHook = nullptr;
    NotificationUnhookProc NotificationUnhook = nullptr;
};

// Starts the library (version 1 only) and hands out a token that no earlier
// start-up in this process was given. output may be null.
[[nodiscard]] Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output);

// Ends the start-up that token stands for; unknown tokens are ignored. The
// library stops when no start-up is left.
void GdiplusShutdown(ULONG_PTR token);

// True while at least one start-up is outstanding. The library's own calls
// use it to refuse work when it is stopped.
bool IsStarted();

}  // namespace gdiplus

#pragma once
// The operating system's version, as a Windows program asks for it.

#include "platform/types.h"

namespace kernel {

inline constexpr DWORD VER_PLATFORM_WIN32s = 0;
inline constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    char szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOA) == 148);

// Fills info, whose dwOSVersionInfoSize must be sizeof(OSVERSIONINFOA).
// This system reports itself as an NT platform of version 10.0, the family
// in which each thread reads text in its own locale's code page. Returns
// FALSE with ERROR_INVALID_PARAMETER for a null record or a wrong size.
BOOL GetVersionExA(OSVERSIONINFOA* info);

}  // namespace kernel

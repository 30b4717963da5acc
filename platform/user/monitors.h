#pragma once
// Monitors and their work areas (the area that desktop panels leave free).

#include "platform/user/records.h"

namespace user {

struct HMONITOR__;
using HMONITOR = HMONITOR__*;

inline constexpr DWORD MONITOR_DEFAULTTONULL = 0;
inline constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 1;
inline constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;

struct MONITORINFO {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};
inline constexpr DWORD MONITORINFOF_PRIMARY = 1;

// The monitor that holds most of the window (or the point); otherwise as
// flags says.
HMONITOR MonitorFromWindow(HWND window, DWORD flags);
HMONITOR MonitorFromPoint(POINT point, DWORD flags);
// cbSize must be sizeof(MONITORINFO).
BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info);

}  // namespace user

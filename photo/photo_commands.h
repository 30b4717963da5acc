#pragma once
// The photo window's menu resource and the commands it reports.

#include "platform/types.h"

inline constexpr WORD photoMenuResource = 129;  // its first pop-up is the photo menu

inline constexpr UINT commandResize = 32777;
inline constexpr UINT commandRotate = 32776;
inline constexpr UINT commandSave = 32774;
inline constexpr UINT commandClose = 32775;

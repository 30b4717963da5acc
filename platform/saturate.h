#pragma once
// Bringing a 64-bit intermediate back into the 32-bit coordinate range.

#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/types.h"

// value clamped to [INT32_MIN, INT32_MAX].
inline LONG SaturateToLong(std::int64_t value) {
    return static_cast<LONG>(
        std::clamp<std::int64_t>(value, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

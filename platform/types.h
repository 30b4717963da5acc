#pragma once
// Basic value types shared by every layer. The windowing and drawing
// operations take and return these same records, so they are defined once
// here and used unchanged by the photo, image and application code.

#include <array>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using BOOL = int;
using HRESULT = std::int32_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;

// Macros, as some C headers (libjpeg's among them) define them too.
#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif

// Result codes of the image store. Callers compare with S_OK only.
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);

struct POINT {
    LONG x;
    LONG y;
    friend bool operator==(const POINT&, const POINT&) = default;
};

struct SIZE {
    LONG cx;
    LONG cy;
    friend bool operator==(const SIZE&, const SIZE&) = default;
};

// Width is right - left, height is bottom - top; right and bottom are
// exclusive. Window rectangles are in screen pixels, client rectangles start
// at (0, 0).
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
    friend bool operator==(const RECT&, const RECT&) = default;
};

// Destinations of a source image's upper-left, upper-right and lower-left
// corners, in the order a parallelogram blit takes them; the fourth corner
// follows from the other three.
using PointTriple = std::array<POINT, 3>;

#pragma once
// Reading device-independent bitmaps as files and resources store them:
// little-endian headers, colour tables of blue, green, red (and a spare
// byte) and rows padded to 32 bits. What a reader accepts beyond the header
// (depths, compressions, sizes) is the reader's own rule.

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/gdi/records.h"

namespace gdi {

inline WORD DibWord(const BYTE* p) { return static_cast<WORD>(p[0] | p[1] << 8); }
inline DWORD DibDword(const BYTE* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<DWORD>(p[3]) << 24; }

// A colour table entry's or a 24- or 32-bit pixel's colour, as 0x00RRGGBB.
inline std::uint32_t DibColor(const BYTE* p) { return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0]; }

// The colour index of pixel x in a stored row of 1, 4 or 8 bits per pixel.
inline unsigned DibIndex(const BYTE* row, std::size_t x, unsigned bitCount) {
    const std::size_t bit = x * bitCount;
    return (row[bit / 8] >> (8 - bitCount - bit % 8)) & ((1u << bitCount) - 1);
}

struct DibHeader {
    DWORD headerBytes = 0;  // 12: a core header; 40 or more: an info header
    std::int64_t width = 0;
    std::int64_t height = 0;  // a magnitude
    bool topDown = false;     // the height was negative
    WORD planes = 0;
    WORD bitCount = 0;
    DWORD compression = BI_RGB;
    DWORD colorsUsed = 0;
    DWORD masks[4] = {};                // red, green, blue (header of 52 bytes or more), alpha (56 or more)
    bool hasMasks = false;              // the header holds the colour masks
    std::size_t paletteEntryBytes = 4;  // 3 after a core header

    std::size_t RowBytes() const { return DibRowBytes(static_cast<std::size_t>(width), bitCount); }
    // The stored row that holds picture row y, counted from the top.
    std::size_t StoredRow(std::size_t y) const { return topDown ? y : static_cast<std::size_t>(height) - 1 - y; }
};

enum class DibHeaderResult {
    ok,
    malformed,    // cut off by the end of the bytes
    unknownKind,  // a header size that is neither a core nor an info header
};

// The header at the start of bytes, which run to the end of what holds the
// bitmap. Reads no field beyond the header's own size.
DibHeaderResult ReadDibHeader(std::span<const BYTE> bytes, DibHeader* header);

}  // namespace gdi

#pragma once
// Library-internal: reading and writing pixels of every supported format
// through one common form, 16 bits per channel with straight (not
// premultiplied) alpha, so that any two formats convert exactly where both
// can hold the value.

#include <cstdint>

#include "platform/imaging/records.h"

namespace gdiplus {

struct Pixel64 {
    std::uint16_t b, g, r, a;
};

inline constexpr std::uint16_t Widen8(unsigned v) { return static_cast<std::uint16_t>(v * 257); }
inline constexpr BYTE Narrow16(unsigned v) { return static_cast<BYTE>((v * 255 + 32767) / 65535); }

// Reads count pixels starting at pixel x of row. Indexed formats look their
// index up in palette (paletteCount entries; an index beyond it reads as
// opaque black).
void UnpackRow(const BYTE* row, UINT x, UINT count, PixelFormat format, const ARGB* palette, UINT paletteCount,
               Pixel64* out);

// Writes count pixels starting at pixel x of row. Not for indexed formats.
void PackRow(const Pixel64* in, UINT count, PixelFormat format, BYTE* row, UINT x);

// Draws source over target (straight alpha, 16 bits per channel).
void BlendOver(const Pixel64* source, UINT count, Pixel64* target);

// True when a lock or a drawing may turn pixels of format from into to.
bool CanConvert(PixelFormat from, PixelFormat to);

}  // namespace gdiplus

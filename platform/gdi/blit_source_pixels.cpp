#include "platform/gdi/blit_source_pixels.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/assert.h"

namespace gdi {

namespace {

// Wider channels are read from their top bits; 12 of them keep the scaled
// value within a small fraction of a step of the exact one.
constexpr int tableBits = 12;

DWORD PixelWord(BYTE blue, BYTE green, BYTE red) {
    const BYTE bytes[4] = {blue, green, red, 0};
    DWORD word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

bool IsOneRun(DWORD mask) {
    if (mask == 0) return true;
    const DWORD low = mask >> std::countr_zero(mask);
    return (low & (low + 1)) == 0;
}

}  // namespace

bool CBlitSourcePixels::Open(const BlitSource& source) {
    if (source.topRow == nullptr || source.width <= 0 || source.height <= 0 || source.width > maxSide ||
        source.height > maxSide) {
        return false;
    }
    const std::int64_t rowBits = std::int64_t{source.width} * source.bitsPerPixel;
    const std::int64_t rowBytes = (rowBits + 7) / 8;
    const std::int64_t pitchMagnitude = source.pitch < 0 ? -std::int64_t{source.pitch} : source.pitch;
    if (pitchMagnitude < rowBytes || rowBytes == 0) return false;

    topRow = source.topRow;
    pitch = source.pitch;
    width = source.width;
    height = source.height;

    switch (source.bitsPerPixel) {
        case 1:
        case 4:
        case 8: {
            const int entries = 1 << source.bitsPerPixel;
            if (source.colorCount < 0 || (source.colorCount > 0 && source.colorTable == nullptr)) {
                return false;
            }
            kind = source.bitsPerPixel == 1   ? Kind::indexed1
                   : source.bitsPerPixel == 4 ? Kind::indexed4
                                              : Kind::indexed8;
            palette.fill(PixelWord(0, 0, 0));
            const int known = source.colorCount < entries ? source.colorCount : entries;
            for (int i = 0; i < known; ++i) {
                const BYTE* quad = source.colorTable + 4 * i;
                palette[i] = PixelWord(quad[0], quad[1], quad[2]);
            }
            pixelBytes = 3;
            return true;
        }
        case 16:
        case 32: {
            const DWORD masks[3] = {source.redMask, source.greenMask, source.blueMask};
            const DWORD pixelMask = source.bitsPerPixel == 16 ? 0xFFFFu : 0xFFFFFFFFu;
            for (DWORD mask : masks) {
                if (!IsOneRun(mask) || (mask & ~pixelMask) != 0) return false;
            }
            if (source.bitsPerPixel == 32 && source.redMask == 0xFF0000u && source.greenMask == 0xFF00u &&
                source.blueMask == 0xFFu) {
                kind = Kind::bgrx32;
                pixelBytes = 4;
                return true;
            }
            kind = source.bitsPerPixel == 16 ? Kind::masked16 : Kind::masked32;
            pixelBytes = 3;
            for (int c = 0; c < 3; ++c) {
                Channel& channel = channels[c];
                const DWORD mask = masks[c];
                const int bits = std::popcount(mask);
                const int used = bits < tableBits ? bits : tableBits;
                // The table is indexed by the channel's top `used` bits.
                channel.shift = mask == 0 ? 0 : std::countr_zero(mask) + (bits - used);
                channel.mask = (DWORD{1} << used) - 1;
                channel.table.assign(std::size_t{1} << used, PixelWord(0, 0, 0));
                const std::uint64_t top = (std::uint64_t{1} << used) - 1;
                for (std::uint64_t v = 0; v <= top && used > 0; ++v) {
                    const auto scaled = static_cast<BYTE>((v * 255 + top / 2) / top);
                    // Red is channel 0 and sits in byte 2 of a pixel; blue in byte 0.
                    channel.table[v] = c == 0   ? PixelWord(0, 0, scaled)
                                       : c == 1 ? PixelWord(0, scaled, 0)
                                                : PixelWord(scaled, 0, 0);
                }
            }
            return true;
        }
        case 24:
            kind = Kind::bgr24;
            pixelBytes = 3;
            return true;
        default: return false;
    }
}

const BYTE* CBlitSourcePixels::Row(LONG y, LONG x, LONG count, BYTE* scratch) const {
    // The blits clip every read to the source; one outside it is their fault.
    PELMORA_ASSERT(y >= 0 && y < height && x >= 0 && count >= 0 && count <= width - x);
    const BYTE* row = RowStart(y);
    switch (kind) {
        case Kind::bgr24: return row + std::ptrdiff_t{x} * 3;
        case Kind::bgrx32: return row + std::ptrdiff_t{x} * 4;
        case Kind::indexed8: {
            const BYTE* in = row + x;
            LONG i = 0;
            if constexpr (std::endian::native == std::endian::little) {
                // Four pixels as three whole words: overlapping byte stores are
                // what made this the slowest part of drawing an indexed photo.
                for (; i + 4 <= count; i += 4) {
                    const std::uint64_t p2 = palette[in[i + 2]];
                    const std::uint64_t low = palette[in[i]] | std::uint64_t{palette[in[i + 1]]} << 24 | p2 << 48;
                    const DWORD high = static_cast<DWORD>(p2 >> 16) | palette[in[i + 3]] << 8;
                    std::memcpy(scratch + 3 * i, &low, 8);
                    std::memcpy(scratch + 3 * i + 8, &high, 4);
                }
            }
            for (; i < count; ++i) std::memcpy(scratch + 3 * i, &palette[in[i]], 4);
            return scratch;
        }
        case Kind::indexed4:
            for (LONG i = 0; i < count; ++i) {
                const LONG at = x + i;
                const BYTE pair = row[at >> 1];
                std::memcpy(scratch + 3 * i, &palette[(at & 1) ? (pair & 0x0F) : (pair >> 4)], 4);
            }
            return scratch;
        case Kind::indexed1:
            for (LONG i = 0; i < count; ++i) {
                const LONG at = x + i;
                std::memcpy(scratch + 3 * i, &palette[(row[at >> 3] >> (7 - (at & 7))) & 1], 4);
            }
            return scratch;
        case Kind::masked16:
            for (LONG i = 0; i < count; ++i) {
                const BYTE* p = row + 2 * std::ptrdiff_t{x + i};
                const DWORD word = Unmask(DWORD{p[0]} | DWORD{p[1]} << 8);
                std::memcpy(scratch + 3 * i, &word, 4);
            }
            return scratch;
        case Kind::masked32:
            for (LONG i = 0; i < count; ++i) {
                const BYTE* p = row + 4 * std::ptrdiff_t{x + i};
                const DWORD word = Unmask(DWORD{p[0]} | DWORD{p[1]} << 8 | DWORD{p[2]} << 16 | DWORD{p[3]} << 24);
                std::memcpy(scratch + 3 * i, &word, 4);
            }
            return scratch;
    }
    return scratch;
}

DWORD CBlitSourcePixels::Pixel(LONG x, LONG y) const {
    BYTE decoded[4];
    const BYTE* p = Row(y, x, 1, decoded);
    return PixelWord(p[0], p[1], p[2]);
}

}  // namespace gdi

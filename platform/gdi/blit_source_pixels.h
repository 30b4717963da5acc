#pragma once
// Reads the pixels of a blit source as 8-bit blue, green and red, whatever
// its depth: indexed pixels through the colour table, bit-field pixels
// through their masks, 24- and 32-bit pixels in the usual byte order straight
// from the image.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/parallelogram_blit.h"

namespace gdi {

class CBlitSourcePixels {
public:
    // Checks the description and prepares the lookup tables. False when the
    // image cannot be read safely: no memory, an unknown depth, rows shorter
    // than the width needs, a colour table missing, a mask that is not one
    // run of bits or does not fit the pixel, a side past maxSide.
    bool Open(const BlitSource& source);

    static constexpr LONG maxSide = 1 << 20;

    // Bytes per pixel of the rows that Row returns: 3 (blue, green, red) or
    // 4 (blue, green, red and a byte to ignore, for 32-bit pixels read in
    // place).
    int PixelBytes() const { return pixelBytes; }

    // True when Row hands out the image's own memory and never uses scratch.
    bool ReadsInPlace() const { return kind == Kind::bgr24 || kind == Kind::bgrx32; }

    // Pixels x .. x + count - 1 of row y (0 = top), PixelBytes() each, all
    // inside the image: a pointer into the image when its layout already is
    // that, otherwise decoded into scratch, which must hold count * 3 + 1
    // bytes.
    const BYTE* Row(LONG y, LONG x, LONG count, BYTE* scratch) const;

    // One pixel as its four bytes in memory: blue, green, red, 0.
    DWORD Pixel(LONG x, LONG y) const;

private:
    enum class Kind { indexed1, indexed4, indexed8, masked16, masked32, bgr24, bgrx32 };

    // Pixels are handled as 32-bit words holding the bytes blue, green, red
    // and 0 in memory order, so that a decoded pixel is stored with one
    // four-byte copy (whose last byte the next pixel overwrites).

    // One channel of a bit-field pixel: the bits under the mask, scaled from
    // their own range to 0..255 by a table.
    struct Channel {
        int shift = 0;             // where the table's index starts in the pixel
        DWORD mask = 0;            // the index bits after shifting
        std::vector<DWORD> table;  // index -> a pixel word with only this channel set
    };

    const BYTE* RowStart(LONG y) const { return topRow + static_cast<std::ptrdiff_t>(y) * pitch; }
    DWORD Unmask(DWORD pixel) const {
        return channels[0].table[(pixel >> channels[0].shift) & channels[0].mask] |
               channels[1].table[(pixel >> channels[1].shift) & channels[1].mask] |
               channels[2].table[(pixel >> channels[2].shift) & channels[2].mask];
    }

    const BYTE* topRow = nullptr;
    std::ptrdiff_t pitch = 0;
    LONG width = 0;
    LONG height = 0;
    Kind kind = Kind::bgr24;
    int pixelBytes = 3;
    std::array<DWORD, 256> palette{};   // pixel word per index; black past the table
    std::array<Channel, 3> channels{};  // red, green, blue
};

}  // namespace gdi

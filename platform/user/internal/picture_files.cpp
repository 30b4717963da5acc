#include "platform/user/internal/picture_files.h"

#include <cstdint>
#include <cstring>

#include "platform/gdi/dib_reader.h"

namespace user::internal {
namespace {

// Sides beyond this are not pictures a resource holds; refusing them keeps
// every size computed below far from overflowing.
constexpr LONG maxSide = 256;
constexpr std::size_t infoHeaderSize = 40;

class CReader {
public:
    explicit CReader(std::span<const BYTE> data) : data_(data) {}
    bool Has(std::size_t offset, std::size_t size) const {
        return offset <= data_.size() && size <= data_.size() - offset;
    }
    WORD Word(std::size_t offset) const { return gdi::DibWord(At(offset)); }
    DWORD Dword(std::size_t offset) const { return gdi::DibDword(At(offset)); }
    const BYTE* At(std::size_t offset) const { return data_.data() + offset; }
    std::span<const BYTE> Bytes() const { return data_; }

private:
    std::span<const BYTE> data_;
};

struct DibLayout {
    LONG width = 0;
    LONG height = 0;  // of the colour picture
    bool topDown = false;
    int bitsPerPixel = 0;
    std::size_t paletteOffset = 0;
    std::size_t paletteEntries = 0;
};

// Reads a BITMAPINFOHEADER (or a larger header starting with one) at
// offset. heightFactor is 2 for icons, whose height counts the mask too.
bool ReadInfoHeader(const CReader& in, std::size_t offset, int heightFactor, DibLayout* layout) {
    gdi::DibHeader header;
    if (!in.Has(offset, 0) || gdi::ReadDibHeader(in.Bytes().subspan(offset), &header) != gdi::DibHeaderResult::ok ||
        header.headerBytes < infoHeaderSize) {
        return false;
    }
    const WORD bits = header.bitCount;
    const DWORD colorsUsed = header.colorsUsed;
    if (header.planes != 1 || header.compression != gdi::BI_RGB) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    if (header.width < 1 || header.width > maxSide) return false;
    if (header.height % heightFactor != 0) return false;
    const std::int64_t height = header.height / heightFactor;
    if (height < 1 || height > maxSide) return false;
    layout->width = static_cast<LONG>(header.width);
    layout->height = static_cast<LONG>(height);
    layout->topDown = header.topDown;
    layout->bitsPerPixel = bits;
    layout->paletteOffset = offset + header.headerBytes;
    if (bits <= 8) {
        const std::size_t full = std::size_t{1} << bits;
        if (colorsUsed > full) return false;
        layout->paletteEntries = colorsUsed == 0 ? full : colorsUsed;
    }
    return in.Has(layout->paletteOffset, layout->paletteEntries * 4);
}

// The colour of pixel x of a stored row, as 0x00RRGGBB, and its own alpha
// for 32-bit pictures.
bool PixelAt(const CReader& in, const DibLayout& layout, const BYTE* row, LONG x, std::uint32_t* rgb,
             std::uint32_t* alpha) {
    *alpha = 0xFF;
    switch (layout.bitsPerPixel) {
        case 24: *rgb = gdi::DibColor(row + x * 3); return true;
        case 32:
            *rgb = gdi::DibColor(row + x * 4);
            *alpha = row[x * 4 + 3];
            return true;
        default: {
            const unsigned index = gdi::DibIndex(row, static_cast<std::size_t>(x), layout.bitsPerPixel);
            if (index >= layout.paletteEntries) return false;
            *rgb = gdi::DibColor(in.At(layout.paletteOffset + index * 4));
            return true;
        }
    }
}

// Reads the colour rows at pixelOffset and, for icons, the AND mask after
// them. A 32-bit picture whose alpha bytes are not all zero uses them;
// otherwise the mask's 1 bits are transparent.
bool ReadPixels(const CReader& in, const DibLayout& layout, std::size_t pixelOffset, bool withMask,
                DecodedPicture* picture) {
    const std::size_t colorRow = gdi::DibRowBytes(layout.width, layout.bitsPerPixel);
    const std::size_t maskRow = gdi::DibRowBytes(layout.width, 1);
    const std::size_t colorSize = colorRow * static_cast<std::size_t>(layout.height);
    const std::size_t maskSize = withMask ? maskRow * static_cast<std::size_t>(layout.height) : 0;
    if (!in.Has(pixelOffset, colorSize) || !in.Has(pixelOffset + colorSize, maskSize)) return false;

    picture->width = layout.width;
    picture->height = layout.height;
    picture->bitsPerPixel = layout.bitsPerPixel;
    picture->argb.assign(static_cast<std::size_t>(layout.width) * layout.height, 0);
    bool anyAlpha = false;
    for (LONG y = 0; y < layout.height; ++y) {
        const LONG stored = layout.topDown ? y : layout.height - 1 - y;
        const BYTE* row = in.At(pixelOffset + static_cast<std::size_t>(stored) * colorRow);
        const BYTE* mask =
            withMask ? in.At(pixelOffset + colorSize + static_cast<std::size_t>(stored) * maskRow) : nullptr;
        for (LONG x = 0; x < layout.width; ++x) {
            std::uint32_t rgb = 0;
            std::uint32_t alpha = 0;
            if (!PixelAt(in, layout, row, x, &rgb, &alpha)) return false;
            if (layout.bitsPerPixel == 32 && alpha != 0) anyAlpha = true;
            const bool masked = mask && ((mask[x / 8] >> (7 - x % 8)) & 1);
            // Masked pixels are transparent (or, where the colour is not
            // black, screen-inverting, which a picture cannot hold: they
            // are left transparent too).
            const std::uint32_t coverage = layout.bitsPerPixel == 32 ? alpha : (masked ? 0u : 0xFFu);
            picture->argb[static_cast<std::size_t>(y) * layout.width + x] = (coverage << 24) | rgb;
        }
    }
    if (layout.bitsPerPixel == 32 && !anyAlpha) {
        // Alpha bytes all zero: an old-style 32-bit picture, opaque where
        // the mask says so.
        for (LONG y = 0; y < layout.height; ++y) {
            const LONG stored = layout.topDown ? y : layout.height - 1 - y;
            const BYTE* mask =
                withMask ? in.At(pixelOffset + colorSize + static_cast<std::size_t>(stored) * maskRow) : nullptr;
            for (LONG x = 0; x < layout.width; ++x) {
                const bool masked = mask && ((mask[x / 8] >> (7 - x % 8)) & 1);
                std::uint32_t& pixel = picture->argb[static_cast<std::size_t>(y) * layout.width + x];
                pixel = (pixel & 0x00FFFFFFu) | (masked ? 0u : 0xFF000000u);
            }
        }
    }
    return true;
}

}  // namespace

bool DecodeIconFile(std::span<const BYTE> file, bool cursor, std::vector<DecodedPicture>* pictures) {
    const CReader in(file);
    if (!in.Has(0, 6) || in.Word(0) != 0 || in.Word(2) != (cursor ? 2 : 1)) return false;
    const WORD count = in.Word(4);
    if (count == 0 || !in.Has(6, std::size_t{count} * 16)) return false;
    std::vector<DecodedPicture> result;
    for (WORD i = 0; i < count; ++i) {
        const std::size_t entry = 6 + std::size_t{i} * 16;
        const DWORD size = in.Dword(entry + 8);
        const DWORD offset = in.Dword(entry + 12);
        if (!in.Has(offset, size)) return false;
        // The picture may not reach past its own entry's bytes.
        const CReader picture(file.subspan(offset, size));
        DibLayout layout;
        if (!ReadInfoHeader(picture, 0, 2, &layout)) return false;
        const std::size_t pixels = layout.paletteOffset + layout.paletteEntries * 4;
        DecodedPicture decoded;
        if (!ReadPixels(picture, layout, pixels, true, &decoded)) return false;
        if (cursor) {
            decoded.hotSpot = POINT{in.Word(entry + 4), in.Word(entry + 6)};
            if (decoded.hotSpot.x >= decoded.width || decoded.hotSpot.y >= decoded.height) return false;
        }
        result.push_back(std::move(decoded));
    }
    *pictures = std::move(result);
    return true;
}

bool DecodeBitmapFile(std::span<const BYTE> file, DecodedPicture* picture) {
    const CReader in(file);
    if (!in.Has(0, 14) || file[0] != 'B' || file[1] != 'M') return false;
    const DWORD pixelOffset = in.Dword(10);
    DibLayout layout;
    if (!ReadInfoHeader(in, 14, 1, &layout)) return false;
    if (pixelOffset < layout.paletteOffset + layout.paletteEntries * 4) return false;
    DecodedPicture decoded;
    if (!ReadPixels(in, layout, pixelOffset, false, &decoded)) return false;
    if (layout.bitsPerPixel == 32) {
        // A bitmap has no mask: its fourth byte is not coverage.
        for (std::uint32_t& pixel : decoded.argb) pixel |= 0xFF000000u;
    }
    *picture = std::move(decoded);
    return true;
}

}  // namespace user::internal

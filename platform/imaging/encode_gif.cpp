// GIF files through giflib. Pictures of more than 256 colours get a
// median-cut palette (giflib's quantiser) and Floyd-Steinberg error
// diffusion over it.

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <unordered_map>

#include "platform/owned.h"
#include "platform/imaging/encoders.h"

namespace gdiplus {
namespace {

constexpr int noTransparency = -1;

struct Indexed {
    std::vector<GifColorType> palette;
    std::vector<BYTE> pixels;  // one index per pixel, row by row
    int transparent = noTransparency;
};

bool IsTransparent(ARGB c) { return (c >> 24) < 0x80; }

// Indexed bitmaps keep their palette and indices.
void FromIndexed(const Raster& raster, Indexed* out) {
    UINT bits = GetPixelFormatSize(raster.Format());
    UINT width = raster.Width(), height = raster.Height();
    out->palette.resize(std::max<size_t>(raster.palette.size(), 1));
    for (size_t i = 0; i < raster.palette.size(); ++i) {
        ARGB c = raster.palette[i];
        out->palette[i] = {static_cast<GifByteType>(c >> 16), static_cast<GifByteType>(c >> 8),
                           static_cast<GifByteType>(c)};
        if (out->transparent == noTransparency && IsTransparent(c)) out->transparent = static_cast<int>(i);
    }
    out->pixels.resize(static_cast<size_t>(width) * height);
    unsigned mask = (1u << bits) - 1;
    for (UINT y = 0; y < height; ++y) {
        const BYTE* row = raster.Row(y);
        for (UINT x = 0; x < width; ++x) {
            size_t bit = static_cast<size_t>(x) * bits;
            unsigned index = (row[bit / 8] >> (8 - bits - bit % 8)) & mask;
            // An index beyond the palette shows as its first colour.
            out->pixels[static_cast<size_t>(y) * width + x] =
                static_cast<BYTE>(index < raster.palette.size() ? index : 0);
        }
    }
}

// Pictures with few colours keep them exactly. False when there are more
// than fit (with room for the transparent index when one is needed).
bool FromFewColours(const Raster& raster, Indexed* out) {
    UINT width = raster.Width(), height = raster.Height();
    RowReader rows(raster, PixelFormat32bppARGB);
    std::unordered_map<ARGB, BYTE> index;
    bool transparent = false;
    out->pixels.resize(static_cast<size_t>(width) * height);
    for (UINT y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const ARGB*>(rows.Row(y));
        if (row == nullptr) throw std::bad_alloc();
        for (UINT x = 0; x < width; ++x) {
            ARGB c = row[x];
            if (IsTransparent(c)) {
                transparent = true;
                continue;
            }
            c &= 0x00FFFFFF;
            if (index.count(c) == 0) {
                if (index.size() + (transparent ? 1 : 0) >= 256) return false;
                index.emplace(c, static_cast<BYTE>(index.size()));
            }
        }
    }
    if (transparent && index.size() >= 256) return false;
    out->palette.resize(index.size() + (transparent ? 1 : 0));
    for (const auto& [colour, i] : index) {
        out->palette[i] = {static_cast<GifByteType>(colour >> 16), static_cast<GifByteType>(colour >> 8),
                           static_cast<GifByteType>(colour)};
    }
    if (transparent) {
        out->transparent = static_cast<int>(index.size());
        out->palette[index.size()] = {0, 0, 0};
    }
    for (UINT y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const ARGB*>(rows.Row(y));
        for (UINT x = 0; x < width; ++x) {
            ARGB c = row[x];
            out->pixels[static_cast<size_t>(y) * width + x] =
                IsTransparent(c) ? static_cast<BYTE>(out->transparent) : index[c & 0x00FFFFFF];
        }
    }
    return true;
}

// The palette entry nearest a colour, remembered per 6-bit-per-channel cell.
class NearestColour {
public:
    explicit NearestColour(const std::vector<GifColorType>& palette, size_t usable)
        : palette_(palette), usable_(usable), cache_(new std::int16_t[1 << 18]) {
        std::fill(cache_.get(), cache_.get() + (1 << 18), std::int16_t{-1});
    }
    BYTE Find(int r, int g, int b) {
        size_t cell = static_cast<size_t>((r >> 2) << 12 | (g >> 2) << 6 | (b >> 2));
        if (cache_[cell] < 0) {
            int best = 0;
            long bestDistance = -1;
            for (size_t i = 0; i < usable_; ++i) {
                long dr = palette_[i].Red - r, dg = palette_[i].Green - g, db = palette_[i].Blue - b;
                long distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                if (bestDistance < 0 || distance < bestDistance) best = static_cast<int>(i), bestDistance = distance;
            }
            cache_[cell] = static_cast<std::int16_t>(best);
        }
        return static_cast<BYTE>(cache_[cell]);
    }

private:
    const std::vector<GifColorType>& palette_;
    size_t usable_;
    std::unique_ptr<std::int16_t[]> cache_;
};

Status FromManyColours(const Raster& raster, Indexed* out) {
    UINT width = raster.Width(), height = raster.Height();
    size_t count = static_cast<size_t>(width) * height;
    RowReader rows(raster, PixelFormat32bppARGB);
    std::vector<GifByteType> red(count), green(count), blue(count), quantised(count);
    bool transparent = false;
    for (UINT y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const ARGB*>(rows.Row(y));
        if (row == nullptr) return OutOfMemory;
        for (UINT x = 0; x < width; ++x) {
            size_t i = static_cast<size_t>(y) * width + x;
            red[i] = static_cast<GifByteType>(row[x] >> 16);
            green[i] = static_cast<GifByteType>(row[x] >> 8);
            blue[i] = static_cast<GifByteType>(row[x]);
            transparent = transparent || IsTransparent(row[x]);
        }
    }
    int size = transparent ? 255 : 256;
    std::vector<GifColorType> palette(256);
    if (GifQuantizeBuffer(width, height, &size, red.data(), green.data(), blue.data(), quantised.data(),
                          palette.data()) == GIF_ERROR) {
        return OutOfMemory;
    }
    size_t usable = static_cast<size_t>(std::clamp(size, 1, transparent ? 255 : 256));
    // The quantiser works on 5 bits a channel and gives each box the
    // truncated mean, darker than its pixels and never quite white: make
    // each entry the true mean of the pixels it was given instead.
    std::vector<std::array<unsigned long long, 4>> sums(usable, {0, 0, 0, 0});
    for (size_t i = 0; i < count; ++i) {
        if (quantised[i] >= usable) continue;
        auto& sum = sums[quantised[i]];
        sum[0] += red[i], sum[1] += green[i], sum[2] += blue[i], ++sum[3];
    }
    for (size_t k = 0; k < usable; ++k) {
        unsigned long long n = sums[k][3];
        if (n == 0) continue;
        palette[k] = {static_cast<GifByteType>((sums[k][0] + n / 2) / n),
                      static_cast<GifByteType>((sums[k][1] + n / 2) / n),
                      static_cast<GifByteType>((sums[k][2] + n / 2) / n)};
    }
    palette.resize(usable + (transparent ? 1 : 0));
    if (transparent) {
        out->transparent = static_cast<int>(usable);
        palette[usable] = {0, 0, 0};
    }

    // Floyd-Steinberg: each pixel's error spreads 7/16 right, 3/16 below
    // left, 5/16 below and 1/16 below right. Two rows of errors suffice.
    NearestColour nearest(palette, usable);
    std::vector<int> errors(static_cast<size_t>(width + 2) * 3 * 2, 0);
    out->pixels.resize(count);
    for (UINT y = 0; y < height; ++y) {
        int* current = errors.data() + (y % 2) * (width + 2) * 3;
        int* next = errors.data() + ((y + 1) % 2) * (width + 2) * 3;
        std::fill(next, next + (width + 2) * 3, 0);
        const auto* row = reinterpret_cast<const ARGB*>(rows.Row(y));
        if (row == nullptr) return OutOfMemory;
        for (UINT x = 0; x < width; ++x) {
            size_t i = static_cast<size_t>(y) * width + x;
            if (IsTransparent(row[x])) {
                out->pixels[i] = static_cast<BYTE>(out->transparent);
                continue;
            }
            int* e = current + (x + 1) * 3;
            int want[3] = {std::clamp(static_cast<int>(red[i]) + e[0] / 16, 0, 255),
                           std::clamp(static_cast<int>(green[i]) + e[1] / 16, 0, 255),
                           std::clamp(static_cast<int>(blue[i]) + e[2] / 16, 0, 255)};
            BYTE index = nearest.Find(want[0], want[1], want[2]);
            out->pixels[i] = index;
            int got[3] = {palette[index].Red, palette[index].Green, palette[index].Blue};
            for (int c = 0; c < 3; ++c) {
                int error = want[c] - got[c];
                current[(x + 2) * 3 + c] += error * 7;
                next[x * 3 + c] += error * 3;
                next[(x + 1) * 3 + c] += error * 5;
                next[(x + 2) * 3 + c] += error;
            }
        }
    }
    out->palette = std::move(palette);
    return Ok;
}

int WriteToVector(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<std::vector<BYTE>*>(gif->UserData);
    try {
        out->insert(out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return length;
}

struct GifWriter {
    GifFileType* gif = nullptr;
    ~GifWriter() {
        if (gif != nullptr) {
            int error = 0;
            EGifCloseFile(gif, &error);
        }
    }
    // Closing writes the trailer; false when that fails.
    bool Close() {
        int error = 0;
        int result = EGifCloseFile(gif, &error);
        gif = nullptr;
        return result == GIF_OK;
    }
};

Status Write(const Indexed& picture, UINT width, UINT height, std::vector<BYTE>* out) {
    int bits = 1;
    while ((size_t{1} << bits) < picture.palette.size()) ++bits;
    std::vector<GifColorType> colours(size_t{1} << bits, GifColorType{0, 0, 0});
    std::copy(picture.palette.begin(), picture.palette.end(), colours.begin());
    platform::Owned<ColorMapObject, GifFreeMapObject> map(
        GifMakeMapObject(static_cast<int>(colours.size()), colours.data()));
    if (!map) return OutOfMemory;

    int error = 0;
    GifWriter writer;
    writer.gif = EGifOpen(out, WriteToVector, &error);
    if (writer.gif == nullptr) return OutOfMemory;
    EGifSetGifVersion(writer.gif, true);
    if (EGifPutScreenDesc(writer.gif, static_cast<int>(width), static_cast<int>(height), 8, 0, map.get()) ==
        GIF_ERROR) {
        return GenericError;
    }
    if (picture.transparent != noTransparency) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.TransparentColor = picture.transparent;
        GifByteType extension[4];
        size_t length = EGifGCBToExtension(&gcb, extension);
        if (EGifPutExtension(writer.gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_ERROR) {
            return GenericError;
        }
    }
    if (EGifPutImageDesc(writer.gif, 0, 0, static_cast<int>(width), static_cast<int>(height), false, nullptr) ==
        GIF_ERROR) {
        return GenericError;
    }
    for (UINT y = 0; y < height; ++y) {
        auto* line = const_cast<GifPixelType*>(picture.pixels.data() + static_cast<size_t>(y) * width);
        if (EGifPutLine(writer.gif, line, static_cast<int>(width)) == GIF_ERROR) return GenericError;
    }
    return writer.Close() ? Ok : GenericError;
}

}  // namespace

Status EncodeGif(const Raster& raster, std::vector<BYTE>* out) {
    if (raster.Width() > 65535 || raster.Height() > 65535) return InvalidParameter;
    out->clear();
    try {
        Indexed picture;
        if (IsIndexedPixelFormat(raster.Format())) {
            FromIndexed(raster, &picture);
        } else if (!FromFewColours(raster, &picture)) {
            picture = Indexed{};
            if (Status s = FromManyColours(raster, &picture); s != Ok) return s;
        }
        Status status = Write(picture, raster.Width(), raster.Height(), out);
        if (status != Ok) out->clear();
        return status;
    } catch (const std::bad_alloc&) {
        out->clear();
        return OutOfMemory;
    }
}

}  // namespace gdiplus

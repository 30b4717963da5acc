// GIF files through giflib: the first frame placed on the logical screen,
// 8-bit indexed, the transparent index given alpha 0 in the palette. Later
// frames are not read.

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "platform/imaging/decode_limits.h"
#include "platform/imaging/decoders.h"
#include "platform/imaging/memory_reader.h"

namespace gdiplus {
namespace {

int ReadFromMemory(GifFileType* gif, GifByteType* out, int length) {
    if (length <= 0) return 0;
    return static_cast<int>(static_cast<MemoryReader*>(gif->UserData)->ReadSome(out, static_cast<size_t>(length)));
}

class GifFile {
public:
    explicit GifFile(MemoryReader* reader) {
        int error = 0;
        gif_ = DGifOpen(reader, ReadFromMemory, &error);
        outOfMemory_ = error == D_GIF_ERR_NOT_ENOUGH_MEM;
    }
    ~GifFile() {
        if (gif_ != nullptr) {
            int error = 0;
            DGifCloseFile(gif_, &error);
        }
    }
    GifFile(const GifFile&) = delete;
    GifFile& operator=(const GifFile&) = delete;
    GifFileType* get() const { return gif_; }
    bool outOfMemory() const { return outOfMemory_; }

private:
    GifFileType* gif_ = nullptr;
    bool outOfMemory_ = false;
};

Status ReadError(GifFileType* gif) { return gif->Error == D_GIF_ERR_NOT_ENOUGH_MEM ? OutOfMemory : GenericError; }

// Reads the extension blocks of one extension; returns the transparent
// index a graphic control block names, or keeps *transparent.
Status ReadExtension(GifFileType* gif, int* transparent) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return ReadError(gif);
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
        GraphicsControlBlock gcb;
        if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) *transparent = gcb.TransparentColor;
    }
    while (block != nullptr) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return ReadError(gif);
    }
    return Ok;
}

// Frames looked at for one that fills enough of the screen: more than an
// animation of a few minutes has, and few enough that the look costs little.
constexpr int maxFramesLookedAt = 10000;

// True when some frame of the file covers at least screenPixels /
// backedAreaFactor pixels. Only the frames' descriptions are read, through a
// reader of its own; their pixels are skipped undecoded.
bool SomeFrameBacks(const BYTE* data, size_t size, unsigned long long screenPixels) {
    MemoryReader reader{data, size, 0};
    GifFile file(&reader);
    GifFileType* gif = file.get();
    if (gif == nullptr) return false;
    for (int frames = 0; frames < maxFramesLookedAt;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) return false;
        if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) == GIF_ERROR) return false;
            unsigned long long area = static_cast<unsigned long long>(std::max(gif->Image.Width, 0)) *
                                      static_cast<unsigned long long>(std::max(gif->Image.Height, 0));
            if (CheckBackedArea(screenPixels, area) == Ok) return true;
            ++frames;
            int codeSize = 0;
            GifByteType* block = nullptr;
            if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR) return false;
            while (block != nullptr) {
                if (DGifGetCodeNext(gif, &block) == GIF_ERROR) return false;
            }
        } else if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
            while (block != nullptr) {
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
            }
        } else {
            return false;
        }
    }
    return false;
}

Status ReadFirstFrame(const BYTE* data, size_t size, GifFileType* gif, int transparent, Raster* out) {
    if (DGifGetImageDesc(gif) == GIF_ERROR) return ReadError(gif);
    const GifImageDesc& frame = gif->Image;
    if (frame.Width <= 0 || frame.Height <= 0 || frame.Left < 0 || frame.Top < 0) return GenericError;
    // Some writers leave the screen size 0: the frame's extent stands in.
    long long screenW = gif->SWidth > 0 ? gif->SWidth : static_cast<long long>(frame.Left) + frame.Width;
    long long screenH = gif->SHeight > 0 ? gif->SHeight : static_cast<long long>(frame.Top) + frame.Height;
    if (screenW > maxDecodedSide || screenH > maxDecodedSide) return OutOfMemory;
    // What the first frame leaves uncovered is filled with background: a
    // screen far larger than every frame of the file would be a picture made
    // of nothing but that.
    unsigned long long screenPixels =
        static_cast<unsigned long long>(screenW) * static_cast<unsigned long long>(screenH);
    unsigned long long framePixels =
        static_cast<unsigned long long>(frame.Width) * static_cast<unsigned long long>(frame.Height);
    if (CheckBackedArea(screenPixels, framePixels) != Ok && !SomeFrameBacks(data, size, screenPixels)) {
        return OutOfMemory;
    }
    if (Status s = CheckDecodeSize(static_cast<UINT>(screenW), static_cast<UINT>(screenH), 8,
                                   static_cast<size_t>(frame.Width));
        s != Ok) {
        return s;
    }

    Raster raster;
    if (Status s = Raster::Allocate(static_cast<UINT>(screenW), static_cast<UINT>(screenH), PixelFormat8bppIndexed,
                                    false, &raster);
        s != Ok) {
        return s;
    }
    const ColorMapObject* map = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
    if (map != nullptr && map->ColorCount > 0 && map->Colors != nullptr) {
        raster.palette.resize(static_cast<size_t>(std::min(map->ColorCount, 256)));
        for (size_t i = 0; i < raster.palette.size(); ++i) {
            const GifColorType& c = map->Colors[i];
            raster.palette[i] = 0xFF000000u | static_cast<ARGB>(c.Red) << 16 | c.Green << 8 | c.Blue;
        }
    } else {
        raster.palette = GreyPalette(256);
    }
    raster.paletteFlags = 0;
    if (transparent >= 0 && transparent < 256) {
        if (raster.palette.size() <= static_cast<size_t>(transparent)) {
            raster.palette.resize(static_cast<size_t>(transparent) + 1, 0xFF000000u);
        }
        raster.palette[static_cast<size_t>(transparent)] &= 0x00FFFFFFu;
        raster.paletteFlags = PaletteFlagsHasAlpha;
    }

    // Outside the first frame nothing has been drawn yet: show it clear, as
    // browsers do, through the transparent index or an entry added for it;
    // only a full palette without one falls back to the background colour.
    bool covered = frame.Left == 0 && frame.Top == 0 && frame.Width >= screenW && frame.Height >= screenH;
    if (!covered) {
        int fill = gif->SBackGroundColor;
        if (transparent >= 0 && transparent < 256) {
            fill = transparent;
        } else if (raster.palette.size() < 256) {
            fill = static_cast<int>(raster.palette.size());
            raster.palette.push_back(0x00000000u);
            raster.paletteFlags = PaletteFlagsHasAlpha;
        }
        for (UINT y = 0; y < raster.Height(); ++y) std::memset(raster.Row(y), fill, raster.Width());
    }

    std::vector<GifPixelType> line;
    try {
        line.resize(static_cast<size_t>(frame.Width));
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    auto place = [&](int frameRow) {
        long long y = static_cast<long long>(frame.Top) + frameRow;
        if (y >= screenH || frame.Left >= screenW) return;
        size_t count = static_cast<size_t>(std::min<long long>(frame.Width, screenW - frame.Left));
        std::memcpy(raster.Row(static_cast<UINT>(y)) + frame.Left, line.data(), count);
    };
    if (frame.Interlace) {
        static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass) {
            for (int row = start[pass]; row < frame.Height; row += step[pass]) {
                if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) return ReadError(gif);
                place(row);
            }
        }
    } else {
        for (int row = 0; row < frame.Height; ++row) {
            if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) return ReadError(gif);
            place(row);
        }
    }
    *out = std::move(raster);
    return Ok;
}

}  // namespace

Status DecodeGif(const BYTE* data, size_t size, Raster* out) {
    MemoryReader reader{data, size, 0};
    GifFile file(&reader);
    GifFileType* gif = file.get();
    if (gif == nullptr) return file.outOfMemory() ? OutOfMemory : GenericError;

    int transparent = -1;
    while (true) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) return ReadError(gif);
        switch (type) {
            case IMAGE_DESC_RECORD_TYPE: return ReadFirstFrame(data, size, gif, transparent, out);
            case EXTENSION_RECORD_TYPE:
                if (Status s = ReadExtension(gif, &transparent); s != Ok) return s;
                break;
            case TERMINATE_RECORD_TYPE: return GenericError;  // no picture at all
            default: return GenericError;
        }
    }
}

}  // namespace gdiplus

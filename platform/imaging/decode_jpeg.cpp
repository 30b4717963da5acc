// JPEG files through libjpeg-turbo: colour straight to B, G, R rows,
// greyscale to 8-bit indexed with a grey palette, CMYK and YCCK converted
// to RGB; the EXIF orientation applied.

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/imaging/decode_limits.h"
#include "platform/imaging/decoders.h"
#include "platform/imaging/jpeg_metadata.h"
#include "platform/imaging/orientation.h"

namespace gdiplus {
namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    bool outOfMemory;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    err->outOfMemory = cinfo->err->msg_code == JERR_OUT_OF_MEMORY;
    std::longjmp(err->jump, 1);
}

// Warnings are not printed. A file that ends early is refused rather than
// shown with its missing part grey; other recoverable damage is repaired
// by the library as usual.
void OnMessage(j_common_ptr cinfo, int level) {
    if (level == -1 && cinfo->err->msg_code == JWRN_JPEG_EOF) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        err->outOfMemory = false;
        std::longjmp(err->jump, 1);
    }
}

// Everything that must outlive a jump back to the decode's start: no
// object with a destructor may be created after the jump point.
struct JpegDecode {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    Raster raster;
    std::vector<BYTE> cmykRow;
    int orientation = 1;
};

void ConvertCmykRow(const BYTE* cmyk, UINT width, bool inverted, BYTE* bgr) {
    for (UINT x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        // With inverted (Adobe) data each value already is 255 - ink.
        bgr[0] = static_cast<BYTE>((y * k + 127) / 255);
        bgr[1] = static_cast<BYTE>((m * k + 127) / 255);
        bgr[2] = static_cast<BYTE>((c * k + 127) / 255);
    }
}

int FindOrientation(j_decompress_ptr cinfo) {
    for (jpeg_saved_marker_ptr m = cinfo->marker_list; m != nullptr; m = m->next) {
        if (m->marker == JPEG_APP0 + 1) {
            int orientation = ExifOrientation(m->data, m->data_length);
            if (orientation != 1) return orientation;
        }
    }
    return 1;
}

Status Run(JpegDecode& d, const BYTE* data, size_t size) {
    j_decompress_ptr cinfo = &d.cinfo;
    if (setjmp(d.err.jump) != 0) return d.err.outOfMemory ? OutOfMemory : GenericError;

    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    SaveJpegMetadataMarkers(cinfo);
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return GenericError;
    d.orientation = FindOrientation(cinfo);

    PixelFormat format;
    bool cmyk = false;
    switch (cinfo->jpeg_color_space) {
        case JCS_GRAYSCALE:
            cinfo->out_color_space = JCS_GRAYSCALE;
            format = PixelFormat8bppIndexed;
            break;
        case JCS_CMYK:
        case JCS_YCCK:
            cinfo->out_color_space = JCS_CMYK;
            format = PixelFormat24bppRGB;
            cmyk = true;
            break;
        default:
            cinfo->out_color_space = JCS_EXT_BGR;
            format = PixelFormat24bppRGB;
            break;
    }
    UINT width = cinfo->image_width, height = cinfo->image_height;
    // The upright copy needs room of its own while the stored one exists.
    size_t turnBytes = d.orientation != 1 ? RowBytes(width, format) * height : 0;
    if (Status s = CheckDecodeSize(width, height, GetPixelFormatSize(format), turnBytes); s != Ok) return s;

    jpeg_start_decompress(cinfo);
    if (cinfo->output_width != width || cinfo->output_height != height) return GenericError;
    if (Status s = Raster::Allocate(width, height, format, false, &d.raster); s != Ok) return s;
    ReadJpegMetadata(cinfo, &d.raster.properties);
    if (format == PixelFormat8bppIndexed) {
        d.raster.palette = GreyPalette(256);
        d.raster.paletteFlags = PaletteFlagsGrayScale;
    }

    if (cmyk) {
        bool inverted = cinfo->saw_Adobe_marker;
        try {
            d.cmykRow.resize(static_cast<size_t>(width) * 4);
        } catch (const std::bad_alloc&) {
            return OutOfMemory;
        }
        BYTE* row = d.cmykRow.data();
        while (cinfo->output_scanline < height) {
            UINT y = cinfo->output_scanline;
            if (jpeg_read_scanlines(cinfo, &row, 1) != 1) return GenericError;
            ConvertCmykRow(row, width, inverted, d.raster.Row(y));
        }
    } else {
        JSAMPROW rows[16];
        while (cinfo->output_scanline < height) {
            UINT y = cinfo->output_scanline;
            UINT batch = std::min<UINT>(16, height - y);
            for (UINT i = 0; i < batch; ++i) rows[i] = d.raster.Row(y + i);
            if (jpeg_read_scanlines(cinfo, rows, batch) == 0) return GenericError;
        }
    }
    jpeg_finish_decompress(cinfo);
    return Ok;
}

// Only running out of memory can make this fail.
bool Create(JpegDecode& d) {
    if (setjmp(d.err.jump) != 0) return false;
    jpeg_create_decompress(&d.cinfo);
    return true;
}

}  // namespace

Status DecodeJpeg(const BYTE* data, size_t size, Raster* out) {
    JpegDecode d;
    d.cinfo.err = jpeg_std_error(&d.err.pub);
    d.err.pub.error_exit = OnError;
    d.err.pub.emit_message = OnMessage;
    d.err.outOfMemory = false;
    if (!Create(d)) return OutOfMemory;

    Status status = Run(d, data, size);
    jpeg_destroy_decompress(&d.cinfo);
    if (status != Ok) return status;
    if (Status s = ApplyOrientation(&d.raster, d.orientation); s != Ok) return s;
    *out = std::move(d.raster);
    return Ok;
}

}  // namespace gdiplus

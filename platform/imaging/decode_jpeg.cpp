// JPEG files through libjpeg-turbo: colour straight to B, G, R rows,
// greyscale to 8-bit indexed with a grey palette, CMYK and YCCK converted
// to RGB; the EXIF orientation applied.

#include <algorithm>
#include <climits>
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
    // The library asks for backing store when its arrays would pass the
    // memory it was given; there is none, so that is running out too.
    int code = cinfo->err->msg_code;
    err->outOfMemory = code == JERR_OUT_OF_MEMORY || code == JERR_NO_BACKING_STORE;
    std::longjmp(err->jump, 1);
}

// Every scan of a progressive file is a pass over the whole picture. Real
// files have about ten; libjpeg-turbo's own tools take more than 500 as the
// sign of a file made to keep the decoder busy, and so do we.
constexpr int maxScans = 500;

void OnProgress(j_common_ptr cinfo) {
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > maxScans) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        err->outOfMemory = false;
        std::longjmp(err->jump, 1);
    }
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
    jpeg_decompress_struct cinfo{};  // zero, so that destroying it is safe even if creating it failed
    ErrorManager err;
    jpeg_progress_mgr progress{};
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

size_t RoundUp(size_t value, size_t unit) { return (value + unit - 1) / unit * unit; }

// A file of several scans (progressive, or sequential with its components
// in scans of their own) is decoded through a buffer that holds every DCT
// coefficient of the picture: 64 of 2 bytes for each block of each
// component, at least as many bytes as the decoded pixels themselves.
size_t CoefficientBytes(j_decompress_ptr cinfo) {
    bool severalScans = cinfo->progressive_mode || cinfo->comps_in_scan < cinfo->num_components;
    if (!severalScans) return 0;
    size_t total = 0;
    for (int c = 0; c < cinfo->num_components; ++c) {
        const jpeg_component_info& component = cinfo->comp_info[c];
        // The library rounds each component up to whole MCUs.
        size_t blocks =
            MultiplyBytes(RoundUp(component.width_in_blocks, static_cast<size_t>(component.h_samp_factor)),
                          RoundUp(component.height_in_blocks, static_cast<size_t>(component.v_samp_factor)));
        total = AddBytes(total, MultiplyBytes(blocks, sizeof(JBLOCK)));
    }
    return total;
}

// The library's own rows (sample rows of each component for upsampling and
// colour conversion, a few MCU rows high), with room to spare, and the
// row of CMYK samples converted here.
size_t WorkingRowBytes(j_decompress_ptr cinfo) {
    size_t rowsHigh = static_cast<size_t>(cinfo->max_v_samp_factor) * DCTSIZE * 4;
    size_t samples =
        MultiplyBytes(RoundUp(cinfo->image_width, DCTSIZE * 4), static_cast<size_t>(cinfo->num_components));
    return AddBytes(MultiplyBytes(samples, rowsHigh), MultiplyBytes(cinfo->image_width, 4));
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
    size_t pixelBytes = MultiplyBytes(RowBytes(width, format), height);
    size_t turnBytes = d.orientation != 1 ? pixelBytes : 0;
    size_t libraryBytes = AddBytes(CoefficientBytes(cinfo), WorkingRowBytes(cinfo));
    if (Status s = CheckDecodeSize(width, height, GetPixelFormatSize(format), AddBytes(turnBytes, libraryBytes));
        s != Ok) {
        return s;
    }
    // What is left of the budget is all the library may allocate: should
    // its needs ever outgrow the estimate above, it fails rather than the
    // machine.
    size_t ours = AddBytes(pixelBytes, turnBytes);
    size_t left = DecodeMemoryLimit() - ours;
    cinfo->mem->max_memory_to_use = static_cast<long>(std::min<size_t>(left, LONG_MAX));

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
    if (!Create(d)) {
        // What it had made before failing is freed too.
        jpeg_destroy_decompress(&d.cinfo);
        return OutOfMemory;
    }
    d.progress.progress_monitor = OnProgress;
    d.cinfo.progress = &d.progress;

    Status status = Run(d, data, size);
    jpeg_destroy_decompress(&d.cinfo);
    if (status != Ok) return status;
    if (Status s = ApplyOrientation(&d.raster, d.orientation); s != Ok) return s;
    *out = std::move(d.raster);
    return Ok;
}

}  // namespace gdiplus

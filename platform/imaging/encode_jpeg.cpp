// JPEG files through libjpeg-turbo, quality 90 with optimised Huffman
// tables.

#include <csetjmp>
#include <cstdio>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/imaging/encoders.h"
#include "platform/imaging/jpeg_metadata.h"

namespace gdiplus {
namespace {

constexpr int quality = 90;
constexpr size_t outputChunk = 64 * 1024;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1); }

void OnMessage(j_common_ptr, int) {}

// Appends the compressed bytes to a vector, a chunk at a time.
struct VectorDestination {
    jpeg_destination_mgr pub;
    std::vector<BYTE>* out;
    bool outOfMemory;
};

bool Grow(VectorDestination* d) {
    size_t used = d->out->size();
    try {
        d->out->resize(used + outputChunk);
    } catch (const std::bad_alloc&) {
        d->outOfMemory = true;
        return false;
    }
    d->pub.next_output_byte = d->out->data() + used;
    d->pub.free_in_buffer = outputChunk;
    return true;
}

void InitDestination(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<VectorDestination*>(cinfo->dest);
    d->out->clear();
    // Room for a typical photo at this quality (about 2 bits a pixel), so
    // that the output is seldom moved as it grows.
    try {
        d->out->reserve(static_cast<size_t>(cinfo->image_width) * cinfo->image_height / 4 + outputChunk);
    } catch (const std::bad_alloc&) {
        // Growing a chunk at a time still works.
    }
    if (!Grow(d)) ERREXIT(cinfo, JERR_OUT_OF_MEMORY);
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
    // The whole chunk is full: keep it and add another.
    if (!Grow(reinterpret_cast<VectorDestination*>(cinfo->dest))) ERREXIT(cinfo, JERR_OUT_OF_MEMORY);
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<VectorDestination*>(cinfo->dest);
    d->out->resize(d->out->size() - d->pub.free_in_buffer);
}

bool IsGreyPalette(const Raster& raster) {
    if (raster.Format() != PixelFormat8bppIndexed || raster.palette.size() != 256) return false;
    for (ARGB i = 0; i < 256; ++i) {
        if (raster.palette[i] != (0xFF000000u | i << 16 | i << 8 | i)) return false;
    }
    return true;
}

// Everything that must outlive a jump back to the encode's start.
struct JpegEncode {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    VectorDestination destination;
    RowReader* rows = nullptr;
    const MetadataBlocks* metadata = nullptr;
};

Status Run(JpegEncode& e, const Raster& raster, J_COLOR_SPACE space, int components) {
    j_compress_ptr cinfo = &e.cinfo;
    if (setjmp(e.err.jump) != 0) return e.destination.outOfMemory ? OutOfMemory : GenericError;
    cinfo->dest = &e.destination.pub;
    cinfo->image_width = raster.Width();
    cinfo->image_height = raster.Height();
    cinfo->input_components = components;
    cinfo->in_color_space = space;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    cinfo->optimize_coding = TRUE;
    jpeg_start_compress(cinfo, TRUE);
    WriteJpegMetadata(cinfo, *e.metadata);
    while (cinfo->next_scanline < cinfo->image_height) {
        const BYTE* row = e.rows->Row(cinfo->next_scanline);
        if (row == nullptr) return OutOfMemory;
        JSAMPROW rowPointer = const_cast<JSAMPROW>(row);
        jpeg_write_scanlines(cinfo, &rowPointer, 1);
    }
    jpeg_finish_compress(cinfo);
    return Ok;
}

// Only running out of memory can make this fail.
bool Create(JpegEncode& e) {
    if (setjmp(e.err.jump) != 0) return false;
    jpeg_create_compress(&e.cinfo);
    return true;
}

}  // namespace

Status EncodeJpeg(const Raster& raster, std::vector<BYTE>* out) {
    if (raster.Width() > JPEG_MAX_DIMENSION || raster.Height() > JPEG_MAX_DIMENSION) return InvalidParameter;
    PixelFormat source = raster.Format();
    PixelFormat rowFormat = PixelFormat24bppRGB;
    J_COLOR_SPACE space = JCS_EXT_BGR;
    int components = 3;
    if (IsGreyPalette(raster)) {
        rowFormat = source, space = JCS_GRAYSCALE, components = 1;
    } else if (source == PixelFormat32bppRGB || source == PixelFormat32bppARGB || source == PixelFormat32bppPARGB) {
        // The fourth byte is skipped, so these need no conversion.
        rowFormat = source, space = JCS_EXT_BGRX, components = 4;
    }
    RowReader rows(raster, rowFormat);

    JpegEncode e;
    e.cinfo.err = jpeg_std_error(&e.err.pub);
    e.err.pub.error_exit = OnError;
    e.err.pub.emit_message = OnMessage;
    e.destination.pub.init_destination = InitDestination;
    e.destination.pub.empty_output_buffer = EmptyOutputBuffer;
    e.destination.pub.term_destination = TermDestination;
    e.destination.out = out;
    e.destination.outOfMemory = false;
    e.rows = &rows;
    MetadataBlocks metadata = BlocksToWrite(raster.properties);
    e.metadata = &metadata;
    if (!Create(e)) return OutOfMemory;
    Status status = Run(e, raster, space, components);
    jpeg_destroy_compress(&e.cinfo);
    if (status != Ok) out->clear();
    return status;
}

}  // namespace gdiplus

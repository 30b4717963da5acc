#include "platform/imaging/png_metadata.h"

#include <cstring>
#include <string>

namespace gdiplus {
namespace {

constexpr char xmpKey[] = "XML:com.adobe.xmp";

// An iTXt chunk: keyword, NUL, compression flag and method, language tag,
// NUL, translated keyword, NUL, text.
int TakeXmpChunk(png_structp png, png_unknown_chunkp chunk) {
    if (std::memcmp(chunk->name, "iTXt", 4) != 0) return 0;
    const BYTE* at = chunk->data;
    const BYTE* end = at + chunk->size;
    if (chunk->size < sizeof xmpKey + 2 || std::memcmp(at, xmpKey, sizeof xmpKey) != 0) return 0;
    at += sizeof xmpKey;
    if (at[0] != 0) return 0;  // compressed: not what XMP writers make
    at += 2;
    for (int field = 0; field < 2; ++field) {
        at = static_cast<const BYTE*>(std::memchr(at, 0, static_cast<size_t>(end - at)));
        if (at == nullptr) return 0;
        ++at;
    }
    auto* properties = static_cast<ImageProperties*>(png_get_user_chunk_ptr(png));
    KeepXmp(at, static_cast<size_t>(end - at), properties);
    return 1;
}

}  // namespace

void KeepPngXmp(png_structp png, ImageProperties* properties) {
    png_set_read_user_chunk_fn(png, properties, TakeXmpChunk);
}

void ReadPngMetadata(png_structp png, png_infop info, ImageProperties* properties) {
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 profileBytes = 0;
    if (png_get_iCCP(png, info, &name, &compression, &profile, &profileBytes) != 0) {
        KeepIccProfile(profile, profileBytes, properties);
    }
    png_uint_32 exifBytes = 0;
    png_bytep exif = nullptr;
    if (png_get_eXIf_1(png, info, &exifBytes, &exif) != 0) KeepExif(exif, exifBytes, properties);
}

void WritePngMetadata(png_structp png, png_infop info, const MetadataBlocks& blocks) {
    png_set_benign_errors(png, 1);
    if (!blocks.iccProfile.empty()) {
        png_set_iCCP(png, info, "ICC profile", PNG_COMPRESSION_TYPE_BASE, blocks.iccProfile.data(),
                     static_cast<png_uint_32>(blocks.iccProfile.size()));
    }
    if (!blocks.exif.empty()) {
        png_set_eXIf_1(png, info, static_cast<png_uint_32>(blocks.exif.size()),
                       const_cast<png_bytep>(blocks.exif.data()));
    }
    if (!blocks.xmp.empty()) {
        // libpng measures the text up to its NUL.
        std::string packet(blocks.xmp.begin(), blocks.xmp.end());
        png_text text{};
        text.compression = PNG_ITXT_COMPRESSION_NONE;
        text.key = const_cast<png_charp>(xmpKey);
        text.text = packet.data();
        text.itxt_length = packet.size();
        png_set_text(png, info, &text, 1);  // copies
    }
}

}  // namespace gdiplus

#include "platform/imaging/png_metadata.h"

#include <cstring>
#include <string>

namespace gdiplus {
namespace {

constexpr char xmpKey[] = "XML:com.adobe.xmp";

}  // namespace

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
    png_textp texts = nullptr;
    int count = png_get_text(png, info, &texts, nullptr);
    for (int i = 0; i < count; ++i) {
        if (texts[i].key == nullptr || std::strcmp(texts[i].key, xmpKey) != 0 || texts[i].text == nullptr) continue;
        size_t length = texts[i].compression >= PNG_ITXT_COMPRESSION_NONE ? texts[i].itxt_length : texts[i].text_length;
        KeepXmp(reinterpret_cast<const BYTE*>(texts[i].text), length, properties);
        break;
    }
}

void WritePngMetadata(png_structp png, png_infop info, const MetadataBlocks& blocks) {
    png_set_benign_errors(png, 1);
    if (!blocks.iccProfile.empty()) {
        png_set_iCCP(png, info, "ICC profile", PNG_COMPRESSION_TYPE_BASE, blocks.iccProfile.data(),
                     static_cast<png_uint_32>(blocks.iccProfile.size()));
    }
    if (!blocks.exif.empty()) {
        png_set_eXIf_1(png, info, static_cast<png_uint_32>(blocks.exif.size()), const_cast<png_bytep>(blocks.exif.data()));
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

#include <cstring>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/decoders.h"

namespace gdiplus {
namespace {

struct Signature {
    const char* bytes;
    size_t length;
    Status (*decode)(const BYTE*, size_t, Raster*);
    const GUID* format;
};

const Signature signatures[] = {
    {"\xFF\xD8\xFF", 3, DecodeJpeg, &ImageFormatJPEG},
    {"\x89PNG\r\n\x1A\n", 8, DecodePng, &ImageFormatPNG},
    {"BM", 2, DecodeBmp, &ImageFormatBMP},
    {"GIF87a", 6, DecodeGif, &ImageFormatGIF},
    {"GIF89a", 6, DecodeGif, &ImageFormatGIF},
    {"II*\0", 4, DecodeTiff, &ImageFormatTIFF},
    {"MM\0*", 4, DecodeTiff, &ImageFormatTIFF},
    {"II+\0", 4, DecodeTiff, &ImageFormatTIFF},  // BigTIFF
    {"MM\0+", 4, DecodeTiff, &ImageFormatTIFF},
};

const Signature* FindSignature(const BYTE* data, size_t size) {
    for (const Signature& signature : signatures) {
        if (size >= signature.length && std::memcmp(data, signature.bytes, signature.length) == 0) {
            return &signature;
        }
    }
    return nullptr;
}

}  // namespace

bool HasImageSignature(const BYTE* data, size_t size) { return FindSignature(data, size) != nullptr; }

Status DecodeImage(const BYTE* data, size_t size, Raster* out, GUID* rawFormat) {
    const Signature* signature = FindSignature(data, size);
    if (signature == nullptr) return UnknownImageFormat;
    Status status = signature->decode(data, size, out);
    if (status == Ok) *rawFormat = *signature->format;
    return status;
}

}  // namespace gdiplus

#include <cstring>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/decoders.h"

namespace gdiplus {
namespace {

// A box-based (ISO base media) file whose "ftyp" box names one of the
// brands, as its major brand or among its compatible ones.
bool HasBrand(const BYTE* data, size_t size, const char* const* brands) {
    if (size < 16 || std::memcmp(data + 4, "ftyp", 4) != 0) return false;
    size_t boxSize = static_cast<size_t>(data[0]) << 24 | data[1] << 16 | data[2] << 8 | data[3];
    if (boxSize < 16 || boxSize > size) boxSize = size;
    for (size_t at = 8; at + 4 <= boxSize; at += at == 8 ? 8 : 4) {  // the minor version is no brand
        for (const char* const* brand = brands; *brand != nullptr; ++brand) {
            if (std::memcmp(data + at, *brand, 4) == 0) return true;
        }
    }
    return false;
}

const char* const avifBrands[] = {"avif", "avis", nullptr};
const char* const heifBrands[] = {"heic", "heix", "heim", "heis", "hevc", "hevx", "mif1", "msf1", nullptr};

bool IsAvif(const BYTE* data, size_t size) { return HasBrand(data, size, avifBrands); }
bool IsHeif(const BYTE* data, size_t size) { return HasBrand(data, size, heifBrands); }
bool IsWebp(const BYTE* data, size_t size) {
    return size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WEBP", 4) == 0;
}

struct Signature {
    const char* bytes;
    size_t length;
    Status (*decode)(const BYTE*, size_t, Raster*);
    const GUID* format;
    bool (*matches)(const BYTE*, size_t) = nullptr;  // instead of the bytes, where set
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
    {nullptr, 0, DecodeWebp, &ImageFormatWEBP, IsWebp},
    // AVIF files usually name the general HEIF brand mif1 too.
    {nullptr, 0, DecodeHeif, &ImageFormatAVIF, IsAvif},
    {nullptr, 0, DecodeHeif, &ImageFormatHEIF, IsHeif},
    {"\xFF\x0A", 2, DecodeJxl, &ImageFormatJXL},                   // bare codestream
    {"\0\0\0\x0CJXL \r\n\x87\n", 12, DecodeJxl, &ImageFormatJXL},  // container
};

bool Matches(const Signature& signature, const BYTE* data, size_t size) {
    if (signature.matches != nullptr) return signature.matches(data, size);
    return size >= signature.length && std::memcmp(data, signature.bytes, signature.length) == 0;
}

const Signature* FindSignature(const BYTE* data, size_t size) {
    for (const Signature& signature : signatures) {
        if (Matches(signature, data, size)) {
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

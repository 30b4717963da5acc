// The installed encoders and their descriptions.

#include <cstring>
#include <string>

#include "platform/imaging/codec_info.h"
#include "platform/imaging/encoder_table.h"
#include "platform/imaging/startup.h"

namespace gdiplus {
namespace {

const BYTE bmpSignature[] = {'B', 'M'};
const BYTE jpegSignature[] = {0xFF, 0xD8};
const BYTE gifSignatures[] = {'G', 'I', 'F', '8', '9', 'a', 'G', 'I', 'F', '8', '7', 'a'};
const BYTE tiffSignatures[] = {'I', 'I', '*', 0, 'M', 'M', 0, '*'};
const BYTE pngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

const EncoderEntry encoders[] = {
    {ClsidBmpEncoder, ImageFormatBMP, u"Built-in BMP Codec", u"BMP", u"*.BMP;*.DIB;*.RLE", u"image/bmp",
     1, 2, bmpSignature, EncodeBmp},
    {ClsidJpegEncoder, ImageFormatJPEG, u"Built-in JPEG Codec", u"JPEG", u"*.JPG;*.JPEG;*.JPE;*.JFIF",
     u"image/jpeg", 1, 2, jpegSignature, EncodeJpeg},
    {ClsidGifEncoder, ImageFormatGIF, u"Built-in GIF Codec", u"GIF", u"*.GIF", u"image/gif", 2, 6,
     gifSignatures, EncodeGif},
    {ClsidTiffEncoder, ImageFormatTIFF, u"Built-in TIFF Codec", u"TIFF", u"*.TIF;*.TIFF", u"image/tiff",
     2, 4, tiffSignatures, EncodeTiff},
    {ClsidPngEncoder, ImageFormatPNG, u"Built-in PNG Codec", u"PNG", u"*.PNG", u"image/png", 1, 8,
     pngSignature, EncodePng},
};
constexpr UINT encoderCount = sizeof encoders / sizeof encoders[0];

size_t WideBytes(const char16_t* text) { return (std::char_traits<char16_t>::length(text) + 1) * sizeof(char16_t); }

// Bytes of the list: records, then each record's strings, then its
// signature patterns and masks.
size_t ListBytes() {
    size_t bytes = encoderCount * sizeof(ImageCodecInfo);
    for (const EncoderEntry& e : encoders) {
        bytes += WideBytes(e.codecName) + WideBytes(e.formatDescription) + WideBytes(e.extensions) +
                 WideBytes(e.mimeType);
        bytes += 2 * static_cast<size_t>(e.signatureCount) * e.signatureSize;
    }
    return bytes;
}

}  // namespace

const EncoderEntry* FindEncoder(const CLSID& clsid) {
    for (const EncoderEntry& e : encoders) {
        if (e.clsid == clsid) return &e;
    }
    return nullptr;
}

Status GdipGetImageEncodersSize(UINT* numEncoders, UINT* size) {
    if (!IsStarted()) return GdiplusNotInitialized;
    if (numEncoders == nullptr || size == nullptr) return InvalidParameter;
    *numEncoders = encoderCount;
    *size = static_cast<UINT>(ListBytes());
    return Ok;
}

Status GdipGetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* list) {
    if (!IsStarted()) return GdiplusNotInitialized;
    if (list == nullptr || numEncoders != encoderCount || size < ListBytes()) return InvalidParameter;
    if (reinterpret_cast<std::uintptr_t>(list) % alignof(ImageCodecInfo) != 0) return InvalidParameter;

    BYTE* next = reinterpret_cast<BYTE*>(list) + encoderCount * sizeof(ImageCodecInfo);
    auto place = [&next](const void* data, size_t bytes) {
        std::memcpy(next, data, bytes);
        const BYTE* placed = next;
        next += bytes;
        return placed;
    };
    auto placeText = [&](const char16_t* text) {
        return reinterpret_cast<const WCHAR*>(place(text, WideBytes(text)));
    };
    for (UINT i = 0; i < encoderCount; ++i) {
        const EncoderEntry& e = encoders[i];
        ImageCodecInfo& info = list[i];
        info.Clsid = e.clsid;
        info.FormatID = e.formatId;
        info.CodecName = placeText(e.codecName);
        info.DllName = nullptr;
        info.FormatDescription = placeText(e.formatDescription);
        info.FilenameExtension = placeText(e.extensions);
        info.MimeType = placeText(e.mimeType);
        info.Flags = ImageCodecFlagsEncoder | ImageCodecFlagsDecoder | ImageCodecFlagsSupportBitmap |
                     ImageCodecFlagsBuiltin;
        info.Version = 1;
        info.SigCount = e.signatureCount;
        info.SigSize = e.signatureSize;
        size_t signatureBytes = static_cast<size_t>(e.signatureCount) * e.signatureSize;
        info.SigPattern = place(e.signatures, signatureBytes);
        BYTE* mask = next;
        std::memset(mask, 0xFF, signatureBytes);
        next += signatureBytes;
        info.SigMask = mask;
    }
    return Ok;
}

}  // namespace gdiplus

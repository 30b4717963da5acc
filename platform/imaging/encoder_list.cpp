// The installed codecs and their descriptions: each both decodes and
// encodes its format, so the decoder list is the encoder list.

#include <cstring>
#include <string>

#include "platform/imaging/codec_info.h"
#include "platform/imaging/encoder_table.h"
#include "platform/imaging/imaging_testing.h"
#include "platform/imaging/startup.h"

namespace gdiplus {
namespace {

const BYTE bmpSignature[] = {'B', 'M'};
const BYTE jpegSignature[] = {0xFF, 0xD8};
const BYTE gifSignatures[] = {'G', 'I', 'F', '8', '9', 'a', 'G', 'I', 'F', '8', '7', 'a'};
const BYTE tiffSignatures[] = {'I', 'I', '*', 0, 'M', 'M', 0, '*'};
const BYTE pngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Box-based files: any box size, then the "ftyp" box's major brand.
const BYTE webpSignature[] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'E', 'B', 'P'};
const BYTE webpMask[] = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
const BYTE heifSignatures[] = {0, 0, 0, 0, 'f', 't', 'y', 'p', 'h', 'e', 'i', 'c',
                               0, 0, 0, 0, 'f', 't', 'y', 'p', 'm', 'i', 'f', '1'};
const BYTE avifSignature[] = {0, 0, 0, 0, 'f', 't', 'y', 'p', 'a', 'v', 'i', 'f'};
const BYTE boxMasks[] = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                         0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
// A bare codestream, or the container.
const BYTE jxlSignatures[] = {0xFF, 0x0A, 0, 0,    0,   0,   0,   0,   0,    0,    0,    0,
                              0,    0,    0, 0x0C, 'J', 'X', 'L', ' ', '\r', '\n', 0x87, '\n'};
const BYTE jxlMasks[] = {0xFF, 0xFF, 0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
                         0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

const EncoderEntry encoders[] = {
    {ClsidBmpEncoder, ImageFormatBMP, u"Built-in BMP Codec", u"BMP", u"*.BMP;*.DIB;*.RLE", u"image/bmp", 1, 2,
     bmpSignature, EncodeBmp},
    {ClsidJpegEncoder, ImageFormatJPEG, u"Built-in JPEG Codec", u"JPEG", u"*.JPG;*.JPEG;*.JPE;*.JFIF", u"image/jpeg", 1,
     2, jpegSignature, EncodeJpeg},
    {ClsidGifEncoder, ImageFormatGIF, u"Built-in GIF Codec", u"GIF", u"*.GIF", u"image/gif", 2, 6, gifSignatures,
     EncodeGif},
    {ClsidTiffEncoder, ImageFormatTIFF, u"Built-in TIFF Codec", u"TIFF", u"*.TIF;*.TIFF", u"image/tiff", 2, 4,
     tiffSignatures, EncodeTiff},
    {ClsidPngEncoder, ImageFormatPNG, u"Built-in PNG Codec", u"PNG", u"*.PNG", u"image/png", 1, 8, pngSignature,
     EncodePng},
    {ClsidWebpEncoder, ImageFormatWEBP, u"Built-in WEBP Codec", u"WEBP", u"*.WEBP", u"image/webp", 1, 12, webpSignature,
     EncodeWebp, webpMask},
    {ClsidHeifEncoder, ImageFormatHEIF, u"Built-in HEIF Codec", u"HEIF", u"*.HEIC;*.HEIF", u"image/heif", 2, 12,
     heifSignatures, EncodeHeic, boxMasks},
    {ClsidAvifEncoder, ImageFormatAVIF, u"Built-in AVIF Codec", u"AVIF", u"*.AVIF", u"image/avif", 1, 12, avifSignature,
     EncodeAvif, boxMasks},
    {ClsidJxlEncoder, ImageFormatJXL, u"Built-in JPEG XL Codec", u"JPEG XL", u"*.JXL", u"image/jxl", 2, 12,
     jxlSignatures, EncodeJxl, jxlMasks},
};
constexpr UINT encoderCount = sizeof encoders / sizeof encoders[0];

size_t WideBytes(const char16_t* text) { return (std::char_traits<char16_t>::length(text) + 1) * sizeof(char16_t); }

// Bytes of the list: records, then each record's strings, then its
// signature patterns and masks.
size_t ListBytes() {
    size_t bytes = encoderCount * sizeof(ImageCodecInfo);
    for (const EncoderEntry& e : encoders) {
        bytes +=
            WideBytes(e.codecName) + WideBytes(e.formatDescription) + WideBytes(e.extensions) + WideBytes(e.mimeType);
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
    auto placeText = [&](const char16_t* text) { return reinterpret_cast<const WCHAR*>(place(text, WideBytes(text))); };
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
        info.Flags =
            ImageCodecFlagsEncoder | ImageCodecFlagsDecoder | ImageCodecFlagsSupportBitmap | ImageCodecFlagsBuiltin;
        info.Version = 1;
        info.SigCount = e.signatureCount;
        info.SigSize = e.signatureSize;
        size_t signatureBytes = static_cast<size_t>(e.signatureCount) * e.signatureSize;
        info.SigPattern = place(e.signatures, signatureBytes);
        BYTE* mask = next;
        if (e.masks != nullptr) {
            std::memcpy(mask, e.masks, signatureBytes);
        } else {
            std::memset(mask, 0xFF, signatureBytes);
        }
        next += signatureBytes;
        info.SigMask = mask;
    }
    return Ok;
}

}  // namespace gdiplus

namespace gdiplus {

Status GdipGetImageDecodersSize(UINT* numDecoders, UINT* size) { return GdipGetImageEncodersSize(numDecoders, size); }

Status GdipGetImageDecoders(UINT numDecoders, UINT size, ImageCodecInfo* decoders) {
    return GdipGetImageEncoders(numDecoders, size, decoders);
}

}  // namespace gdiplus

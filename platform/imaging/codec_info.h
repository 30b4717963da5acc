#pragma once
// Encoders of the imaging library: their descriptions, and saving a bitmap
// with one of them.

#include "platform/imaging/bitmap.h"
#include "platform/imaging/guid.h"
#include "platform/imaging/records.h"
#include "platform/imaging/status.h"

namespace gdiplus {

enum ImageCodecFlags {
    ImageCodecFlagsEncoder = 0x00000001,
    ImageCodecFlagsDecoder = 0x00000002,
    ImageCodecFlagsSupportBitmap = 0x00000004,
    ImageCodecFlagsSupportVector = 0x00000008,
    ImageCodecFlagsSeekableEncode = 0x00000010,
    ImageCodecFlagsBlockingDecode = 0x00000020,
    ImageCodecFlagsBuiltin = 0x00010000,
    ImageCodecFlagsSystem = 0x00020000,
    ImageCodecFlagsUser = 0x00040000,
};

struct ImageCodecInfo {
    CLSID Clsid;
    GUID FormatID;
    const WCHAR* CodecName;
    const WCHAR* DllName;
    const WCHAR* FormatDescription;
    const WCHAR* FilenameExtension;  // patterns separated by ';'
    const WCHAR* MimeType;
    DWORD Flags;
    DWORD Version;
    DWORD SigCount;
    DWORD SigSize;
    const BYTE* SigPattern;
    const BYTE* SigMask;
};

// The class ids of the encoders.
inline constexpr CLSID ClsidBmpEncoder = {0x557cf400, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr CLSID ClsidJpegEncoder = {
    0x557cf401, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr CLSID ClsidGifEncoder = {0x557cf402, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr CLSID ClsidTiffEncoder = {
    0x557cf405, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr CLSID ClsidPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
// Encoders the platform's library has none of: ids of this library's own.
inline constexpr CLSID ClsidWebpEncoder = {
    0x2660ce80, 0x3331, 0x45c1, {0xb5, 0x41, 0x4a, 0xc6, 0x44, 0x70, 0xb7, 0xe9}};
inline constexpr CLSID ClsidHeifEncoder = {
    0x8d53d022, 0xb12b, 0x4e3e, {0xb0, 0x79, 0xed, 0x50, 0xca, 0x1e, 0x1d, 0x48}};
inline constexpr CLSID ClsidAvifEncoder = {
    0xaac8e661, 0xbcab, 0x4be8, {0xa5, 0xb1, 0x61, 0xde, 0xb1, 0x40, 0x3a, 0x9d}};
inline constexpr CLSID ClsidJxlEncoder = {0x767fa882, 0x8021, 0x49fe, {0xba, 0xfd, 0xe8, 0x01, 0x5a, 0xef, 0x7a, 0x83}};

struct EncoderParameter {
    GUID Guid;
    ULONG NumberOfValues;
    ULONG Type;
    void* Value;
};

struct EncoderParameters {
    UINT Count;
    EncoderParameter Parameter[1];
};

// The encoders, in the order BMP, JPEG, GIF, TIFF, PNG, WebP, HEIF (HEIC),
// AVIF, JPEG XL: how many, and the bytes the list takes (the records
// followed by their strings and signatures, all in one buffer).
Status GdipGetImageEncodersSize(UINT* numEncoders, UINT* size);
// Fills encoders, a buffer of size bytes (at least what
// GdipGetImageEncodersSize gave, aligned for pointers), with numEncoders
// records: InvalidParameter when either is not what that call gave.
Status GdipGetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders);

// Writes image to filename with the encoder clsidEncoder names and its
// defaults (encoderParams must be null or empty: NotImplemented otherwise).
// The file is written whole or not at all: the bytes go to a temporary
// file in the same folder, flushed to the disk, which then replaces the
// target in one step; on any failure the temporary file is removed and a
// file already there keeps every byte. InvalidParameter for an unknown
// encoder, AccessDenied or Win32Error when the folder refuses the file.
[[nodiscard]] Status GdipSaveImageToFile(GpImage* image, const WCHAR* filename, const CLSID* clsidEncoder,
                                         const EncoderParameters* encoderParams);

}  // namespace gdiplus

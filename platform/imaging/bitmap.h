#pragma once
// Bitmaps of the imaging library: made from a file or over pixel memory,
// described, read through a pixel lock, and disposed of. Every call fails
// with GdiplusNotInitialized while the library is not started, and with
// InvalidParameter for a null or stale handle.

#include "platform/imaging/guid.h"
#include "platform/imaging/records.h"
#include "platform/imaging/status.h"

namespace gdiplus {

using WCHAR = char16_t;

// Image formats a decoded bitmap reports as its raw format.
inline constexpr GUID ImageFormatUndefined = {
    0xb96b3ca9, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatMemoryBMP = {
    0xb96b3caa, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatBMP = {0xb96b3cab, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatEMF = {0xb96b3cac, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatWMF = {0xb96b3cad, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatJPEG = {0xb96b3cae, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatPNG = {0xb96b3caf, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatGIF = {0xb96b3cb0, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatTIFF = {0xb96b3cb1, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatEXIF = {0xb96b3cb2, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatIcon = {0xb96b3cb5, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatHEIF = {0xb96b3cb6, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID ImageFormatWEBP = {0xb96b3cb7, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
// Formats the platform's library has no id for: ids of this library's own.
inline constexpr GUID ImageFormatAVIF = {0xe8320115, 0x3bcf, 0x43e3, {0xad, 0x76, 0xed, 0xac, 0x59, 0x5e, 0x71, 0x9c}};
inline constexpr GUID ImageFormatJXL = {0x80f9e40f, 0x0f78, 0x4e8e, {0x8d, 0xe2, 0x5a, 0x38, 0x58, 0x15, 0x49, 0x56}};

// Decodes the file, chosen by its content, never its name. The path's lone
// surrogates U+DC00..U+DCFF stand for the file name's bytes that are not
// text in the locale's code page. FileNotFound or AccessDenied when the file
// cannot be read (AccessDenied for a folder), UnknownImageFormat when it is
// not a regular file (a pipe or a device is never read) or no decoder knows
// its first bytes (the rest is then not read), OutOfMemory when the decode
// would pass its budget (a side above 65535, or more memory than a quarter
// of the physical memory; see decode_limits.h), when it declares far more
// picture than its data can paint, or when memory runs out, GenericError
// when it is truncated or corrupt. The file is not held open afterwards.
[[nodiscard]] Status GdipCreateBitmapFromFile(const WCHAR* filename, GpBitmap** bitmap);

// A bitmap over the caller's pixels (scan0 non-null: the first row; stride
// may be negative, its magnitude a multiple of 4 and at least a row), or
// over zeroed memory of its own (scan0 null; stride ignored).
[[nodiscard]] Status GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0,
                                               GpBitmap** bitmap);

Status GdipGetImagePixelFormat(GpImage* image, PixelFormat* format);
Status GdipGetImageWidth(GpImage* image, UINT* width);
Status GdipGetImageHeight(GpImage* image, UINT* height);

// The bytes a ColorPalette holding the image's palette takes (at least
// sizeof(ColorPalette), also for an image without a palette).
Status GdipGetImagePaletteSize(GpImage* image, INT* size);
// InvalidParameter when size is smaller than the palette needs.
Status GdipGetImagePalette(GpImage* image, ColorPalette* palette, INT size);

// Locks rect (null: the whole bitmap) for reading and/or writing in format.
// The bitmap's own format gives its own rows; another format gives
// converted rows (indexed formats only as themselves), written back on
// unlock when the lock was for writing. One lock at a time (WrongState).
[[nodiscard]] Status GdipBitmapLockBits(GpBitmap* bitmap, const Rect* rect, UINT flags, PixelFormat format,
                                        BitmapData* lockedData);
Status GdipBitmapUnlockBits(GpBitmap* bitmap, BitmapData* lockedData);

Status GdipDisposeImage(GpImage* image);

}  // namespace gdiplus

#pragma once
// Small files that declare far more than they hold, made on the spot for the
// tests and the benchmark (nothing large is kept in the repository), and a
// child process that loads one and reports its peak memory.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/imaging/status.h"
#include "platform/types.h"

namespace hostile {

using gdiplus::Status;

// The CRC-32 that closes each PNG chunk.
std::uint32_t Crc32(const BYTE* data, size_t size);

// GIF87a of 35 bytes whose logical screen is side x side, carrying one
// frame of 1 x 1 pixel at (0, 0); and, unless secondFrameSide is 0, a second
// frame of that side (whose pixels end at once: it is never decoded).
std::vector<BYTE> GifScreen(std::uint16_t side, std::uint16_t secondFrameSide = 0);

// 8-bit RLE bitmap of width x height whose only code is end-of-bitmap.
std::vector<BYTE> RleBitmapWithoutCodes(std::int32_t width, std::int32_t height);

// A 1 x 1 PNG with count text chunks ahead of its pixels, zTXt and iTXt in
// turn, each inflating to about inflatedBytes.
std::vector<BYTE> PngWithTextAhead(int count, size_t inflatedBytes);

// Progressive greyscale JPEG of width x height with one scan: every block's
// DC difference zero, one bit each. A real picture, cheap to write and
// read, whose decode needs a coefficient buffer of 2 bytes a pixel.
std::vector<BYTE> ProgressiveJpeg(std::uint16_t width, std::uint16_t height);

// An 8 x 8 progressive greyscale JPEG of scans scans: the DC scan, then AC
// scans that each end the block at once.
std::vector<BYTE> JpegWithScans(int scans);

// 8-bit grey TIFF of width x height in one strip of strip stored bytes
// (those that fit in the file are present), compressed by compression (1
// none, 8 deflate).
std::vector<BYTE> TiffWithStrip(std::uint32_t width, std::uint32_t height, std::uint16_t compression,
                                std::uint32_t storedBytes, std::uint32_t presentBytes);

struct ChildLoad {
    Status status = gdiplus::GenericError;
    long baselineKb = 0;  // resident memory just before the load
    long peakKb = 0;      // highest resident memory during it
};

// Loads the file through GdipCreateBitmapFromFile in a forked child with the
// given decode budget (the library must be started) and reports how it went.
ChildLoad LoadInChild(const std::string& path, size_t budget);

}  // namespace hostile

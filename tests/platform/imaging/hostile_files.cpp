#include "platform/imaging/imaging_testing.h"
#include "tests/platform/imaging/hostile_files.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/decode_limits.h"
#include "platform/imaging/encoders.h"
#include "platform/kernel/code_page.h"

namespace hostile {

std::uint32_t Crc32(const BYTE* data, size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

namespace {

using namespace gdiplus;

void Put16Le(std::vector<BYTE>& out, unsigned v) {
    out.push_back(static_cast<BYTE>(v));
    out.push_back(static_cast<BYTE>(v >> 8));
}

void Put32Le(std::vector<BYTE>& out, std::uint32_t v) {
    Put16Le(out, v & 0xFFFF);
    Put16Le(out, v >> 16);
}

void Put16Be(std::vector<BYTE>& out, unsigned v) {
    out.push_back(static_cast<BYTE>(v >> 8));
    out.push_back(static_cast<BYTE>(v));
}

void Put32Be(std::vector<BYTE>& out, std::uint32_t v) {
    Put16Be(out, v >> 16);
    Put16Be(out, v & 0xFFFF);
}

void PngChunk(std::vector<BYTE>& out, const char* type, const std::vector<BYTE>& body) {
    Put32Be(out, static_cast<std::uint32_t>(body.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    Put32Be(out, Crc32(out.data() + start, out.size() - start));
}

// The zlib stream of a PNG's pixels (its IDAT chunks joined).
std::vector<BYTE> IdatStream(const std::vector<BYTE>& png) {
    std::vector<BYTE> stream;
    for (size_t at = 8; at + 12 <= png.size();) {
        std::uint32_t length =
            static_cast<std::uint32_t>(png[at] << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3]);
        if (std::memcmp(png.data() + at + 4, "IDAT", 4) == 0) {
            stream.insert(stream.end(), png.begin() + static_cast<std::ptrdiff_t>(at + 8),
                          png.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
        }
        at += 12 + length;
    }
    return stream;
}

std::vector<BYTE> EncodedPng(UINT width, UINT height) {
    Raster raster;
    if (Raster::Allocate(width, height, PixelFormat8bppIndexed, true, &raster) != Ok) return {};
    std::vector<BYTE> png;
    if (EncodePng(raster, &png) != Ok) return {};
    return png;
}

void JpegSegment(std::vector<BYTE>& out, BYTE marker, const std::vector<BYTE>& body) {
    out.push_back(0xFF);
    out.push_back(marker);
    Put16Be(out, static_cast<unsigned>(body.size() + 2));
    out.insert(out.end(), body.begin(), body.end());
}

// Start of a progressive greyscale JPEG, up to its first scan: flat
// quantisation, and one-code Huffman tables (DC: difference 0; AC: end of
// block), so that a block costs one bit in each scan.
std::vector<BYTE> ProgressiveJpegHead(std::uint16_t width, std::uint16_t height) {
    std::vector<BYTE> out = {0xFF, 0xD8};
    std::vector<BYTE> quantisation(65, 1);
    quantisation[0] = 0;
    JpegSegment(out, 0xDB, quantisation);
    JpegSegment(out, 0xC2,
                {8, static_cast<BYTE>(height >> 8), static_cast<BYTE>(height), static_cast<BYTE>(width >> 8),
                 static_cast<BYTE>(width), 1, 1, 0x11, 0});
    for (BYTE tableClass : {BYTE{0x00}, BYTE{0x10}}) {
        // Class and number, 16 counts of codes by length, the one symbol.
        std::vector<BYTE> table(18, 0);
        table[0] = tableClass;
        table[1] = 1;
        JpegSegment(out, 0xC4, table);
    }
    return out;
}

// A scan of blocks blocks at one 0 bit each, padded with 1 bits.
void JpegScan(std::vector<BYTE>& out, BYTE first, BYTE last, size_t blocks) {
    JpegSegment(out, 0xDA, {1, 1, 0x00, first, last, 0x00});
    out.insert(out.end(), blocks / 8, 0x00);
    if (blocks % 8 != 0) out.push_back(static_cast<BYTE>((1u << (8 - blocks % 8)) - 1));
}

std::string StatusField(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return line.substr(std::strlen(field));
    }
    return "0";
}

}  // namespace

std::vector<BYTE> GifScreen(std::uint16_t side, std::uint16_t secondFrameSide) {
    std::vector<BYTE> out = {'G', 'I', 'F', '8', '7', 'a'};
    Put16Le(out, side);
    Put16Le(out, side);
    out.insert(out.end(), {0x80, 0, 0});  // a global table of two colours
    out.insert(out.end(), {0, 0, 0, 255, 255, 255});
    out.push_back(0x2C);
    Put16Le(out, 0);
    Put16Le(out, 0);
    Put16Le(out, 1);
    Put16Le(out, 1);
    out.push_back(0);
    // LZW at 2 bits, in 3-bit codes: clear, colour 0, end.
    out.insert(out.end(), {2, 2, 0x44, 0x01, 0});
    if (secondFrameSide != 0) {
        out.push_back(0x2C);
        Put16Le(out, 0);
        Put16Le(out, 0);
        Put16Le(out, secondFrameSide);
        Put16Le(out, secondFrameSide);
        out.insert(out.end(), {0, 2, 2, 0x44, 0x01, 0});
    }
    out.push_back(0x3B);
    return out;
}

std::vector<BYTE> RleBitmapWithoutCodes(std::int32_t width, std::int32_t height) {
    constexpr std::uint32_t paletteBytes = 256 * 4, pixelOffset = 14 + 40 + paletteBytes;
    std::vector<BYTE> out = {'B', 'M'};
    Put32Le(out, pixelOffset + 2);
    Put32Le(out, 0);
    Put32Le(out, pixelOffset);
    Put32Le(out, 40);
    Put32Le(out, static_cast<std::uint32_t>(width));
    Put32Le(out, static_cast<std::uint32_t>(height));
    Put16Le(out, 1);
    Put16Le(out, 8);
    Put32Le(out, 1);  // BI_RLE8
    Put32Le(out, 2);
    Put32Le(out, 2835);
    Put32Le(out, 2835);
    Put32Le(out, 256);
    Put32Le(out, 0);
    for (unsigned i = 0; i < 256; ++i) out.insert(out.end(), {BYTE(i), BYTE(i), BYTE(i), 0});
    out.insert(out.end(), {0, 1});  // end of bitmap
    return out;
}

std::vector<BYTE> PngWithTextAhead(int count, size_t inflatedBytes) {
    std::vector<BYTE> tiny = EncodedPng(1, 1);
    // The pixels of a blank picture, one byte a pixel plus one a row, make a
    // text that inflates about a thousandfold.
    UINT width = 4096;
    std::vector<BYTE> text = IdatStream(EncodedPng(width, static_cast<UINT>(inflatedBytes / (width + 1))));
    if (tiny.size() < 33 || text.empty()) return {};
    std::vector<BYTE> out(tiny.begin(), tiny.begin() + 33);  // signature and IHDR
    for (int i = 0; i < count; ++i) {
        std::vector<BYTE> body = {'C', 'o', 'm', 'm', 'e', 'n', 't', 0};
        if (i % 2 == 0) {
            body.push_back(0);  // zlib
        } else {
            body.insert(body.end(), {1, 0, 0, 0});  // compressed, zlib, no language, no translation
        }
        body.insert(body.end(), text.begin(), text.end());
        PngChunk(out, i % 2 == 0 ? "zTXt" : "iTXt", body);
    }
    out.insert(out.end(), tiny.begin() + 33, tiny.end());
    return out;
}

std::vector<BYTE> ProgressiveJpeg(std::uint16_t width, std::uint16_t height) {
    std::vector<BYTE> out = ProgressiveJpegHead(width, height);
    JpegScan(out, 0, 0, static_cast<size_t>((width + 7) / 8) * ((height + 7) / 8));
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

std::vector<BYTE> JpegWithScans(int scans) {
    std::vector<BYTE> out = ProgressiveJpegHead(8, 8);
    JpegScan(out, 0, 0, 1);
    for (int i = 1; i < scans; ++i) JpegScan(out, 1, 63, 1);
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

std::vector<BYTE> TiffWithStrip(std::uint32_t width, std::uint32_t height, std::uint16_t compression,
                                std::uint32_t storedBytes, std::uint32_t presentBytes) {
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t value;
    };
    constexpr std::uint16_t shortType = 3, longType = 4;
    constexpr std::uint32_t entries = 9, dataOffset = 8 + 2 + entries * 12 + 4;
    const Entry ifd[entries] = {
        {256, longType, width},        {257, longType, height}, {258, shortType, 8},
        {259, shortType, compression}, {262, shortType, 1},     {273, longType, dataOffset},
        {277, shortType, 1},           {278, longType, height}, {279, longType, storedBytes},
    };
    std::vector<BYTE> out = {'I', 'I', 42, 0};
    Put32Le(out, 8);
    Put16Le(out, entries);
    for (const Entry& e : ifd) {
        Put16Le(out, e.tag);
        Put16Le(out, e.type);
        Put32Le(out, 1);
        Put32Le(out, e.value);  // a short sits in the low half, little-endian
    }
    Put32Le(out, 0);
    out.insert(out.end(), presentBytes, 0x80);
    return out;
}

ChildLoad LoadInChild(const std::string& path, size_t budget) {
    int channel[2];
    ChildLoad result;
    if (pipe(channel) != 0) return result;
    pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        SetDecodeMemoryLimit(budget);
        // The peak is counted from here: the child starts with its parent's.
        std::ofstream("/proc/self/clear_refs") << "5";
        long values[3] = {0, std::stol(StatusField("VmRSS:")), 0};
        int n = kernel::MultiByteToWideChar(kernel::CP_ACP, 0, path.c_str(), -1, nullptr, 0);
        std::u16string wide(static_cast<size_t>(n), u'\0');
        kernel::MultiByteToWideChar(kernel::CP_ACP, 0, path.c_str(), -1, wide.data(), n);
        GpBitmap* bitmap = nullptr;
        values[0] = GdipCreateBitmapFromFile(wide.c_str(), &bitmap);
        values[2] = std::stol(StatusField("VmHWM:"));
        if (bitmap != nullptr) GdipDisposeImage(bitmap);
        ssize_t written = write(channel[1], values, sizeof values);
        _exit(written == sizeof values ? 0 : 1);
    }
    close(channel[1]);
    long values[3] = {};
    size_t got = 0;
    while (child > 0 && got < sizeof values) {
        ssize_t n = read(channel[0], reinterpret_cast<char*>(values) + got, sizeof values - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    close(channel[0]);
    if (child > 0) waitpid(child, nullptr, 0);
    if (got == sizeof values) {
        result.status = static_cast<Status>(values[0]);
        result.baselineKb = values[1];
        result.peakKb = values[2];
    }
    return result;
}

}  // namespace hostile

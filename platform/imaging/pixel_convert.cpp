#include "platform/imaging/pixel_convert.h"

#include <cstring>

#include "platform/imaging/raster.h"

namespace gdiplus {
namespace {

std::uint16_t Load16(const BYTE* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

void Store16(BYTE* p, unsigned v) {
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
}

std::uint16_t Widen5(unsigned v) { return Widen8((v << 3) | (v >> 2)); }
std::uint16_t Widen6(unsigned v) { return Widen8((v << 2) | (v >> 4)); }
unsigned Narrow5(unsigned v) { return (v * 31 + 32767) / 65535; }
unsigned Narrow6(unsigned v) { return (v * 63 + 32767) / 65535; }

Pixel64 FromArgb(ARGB c) {
    return {Widen8(c & 0xFF), Widen8((c >> 8) & 0xFF), Widen8((c >> 16) & 0xFF), Widen8(c >> 24)};
}

// Straight from premultiplied, 16-bit channels.
std::uint16_t Unpremultiply(unsigned c, unsigned a) {
    if (a == 0) return 0;
    unsigned v = (c * 65535u + a / 2) / a;
    return static_cast<std::uint16_t>(v > 65535 ? 65535 : v);
}

unsigned Premultiply(unsigned c, unsigned a) { return (c * a + 32767) / 65535; }

unsigned Luminance(const Pixel64& p) { return (p.r * 299u + p.g * 587u + p.b * 114u + 500) / 1000; }

}  // namespace

void UnpackRow(const BYTE* row, UINT x, UINT count, PixelFormat format, const ARGB* palette, UINT paletteCount,
               Pixel64* out) {
    auto lookup = [&](unsigned index) {
        return index < paletteCount ? FromArgb(palette[index]) : Pixel64{0, 0, 0, 65535};
    };
    switch (format) {
        case PixelFormat1bppIndexed:
            for (UINT i = 0; i < count; ++i) {
                UINT p = x + i;
                out[i] = lookup((row[p >> 3] >> (7 - (p & 7))) & 1);
            }
            break;
        case PixelFormat4bppIndexed:
            for (UINT i = 0; i < count; ++i) {
                UINT p = x + i;
                out[i] = lookup((p & 1) ? row[p >> 1] & 0x0F : row[p >> 1] >> 4);
            }
            break;
        case PixelFormat8bppIndexed:
            for (UINT i = 0; i < count; ++i) out[i] = lookup(row[x + i]);
            break;
        case PixelFormat16bppGrayScale:
            for (UINT i = 0; i < count; ++i) {
                std::uint16_t v = Load16(row + 2 * (x + i));
                out[i] = {v, v, v, 65535};
            }
            break;
        case PixelFormat16bppRGB555:
            for (UINT i = 0; i < count; ++i) {
                unsigned v = Load16(row + 2 * (x + i));
                out[i] = {Widen5(v & 31), Widen5((v >> 5) & 31), Widen5((v >> 10) & 31), 65535};
            }
            break;
        case PixelFormat16bppRGB565:
            for (UINT i = 0; i < count; ++i) {
                unsigned v = Load16(row + 2 * (x + i));
                out[i] = {Widen5(v & 31), Widen6((v >> 5) & 63), Widen5(v >> 11), 65535};
            }
            break;
        case PixelFormat16bppARGB1555:
            for (UINT i = 0; i < count; ++i) {
                unsigned v = Load16(row + 2 * (x + i));
                out[i] = {Widen5(v & 31), Widen5((v >> 5) & 31), Widen5((v >> 10) & 31),
                          static_cast<std::uint16_t>((v & 0x8000) ? 65535 : 0)};
            }
            break;
        case PixelFormat24bppRGB:
            for (UINT i = 0; i < count; ++i) {
                const BYTE* p = row + 3 * (x + i);
                out[i] = {Widen8(p[0]), Widen8(p[1]), Widen8(p[2]), 65535};
            }
            break;
        case PixelFormat32bppRGB:
            for (UINT i = 0; i < count; ++i) {
                const BYTE* p = row + 4 * (x + i);
                out[i] = {Widen8(p[0]), Widen8(p[1]), Widen8(p[2]), 65535};
            }
            break;
        case PixelFormat32bppARGB:
            for (UINT i = 0; i < count; ++i) {
                const BYTE* p = row + 4 * (x + i);
                out[i] = {Widen8(p[0]), Widen8(p[1]), Widen8(p[2]), Widen8(p[3])};
            }
            break;
        case PixelFormat32bppPARGB:
            for (UINT i = 0; i < count; ++i) {
                const BYTE* p = row + 4 * (x + i);
                unsigned a = Widen8(p[3]);
                out[i] = {Unpremultiply(Widen8(p[0]), a), Unpremultiply(Widen8(p[1]), a),
                          Unpremultiply(Widen8(p[2]), a), static_cast<std::uint16_t>(a)};
            }
            break;
        case PixelFormat48bppRGB:
            for (UINT i = 0; i < count; ++i) {
                const BYTE* p = row + 6 * (x + i);
                out[i] = {Load16(p), Load16(p + 2), Load16(p + 4), 65535};
            }
            break;
        case PixelFormat64bppARGB:
            for (UINT i = 0; i < count; ++i) {
                const BYTE* p = row + 8 * (x + i);
                out[i] = {Load16(p), Load16(p + 2), Load16(p + 4), Load16(p + 6)};
            }
            break;
        case PixelFormat64bppPARGB:
            for (UINT i = 0; i < count; ++i) {
                const BYTE* p = row + 8 * (x + i);
                unsigned a = Load16(p + 6);
                out[i] = {Unpremultiply(Load16(p), a), Unpremultiply(Load16(p + 2), a), Unpremultiply(Load16(p + 4), a),
                          static_cast<std::uint16_t>(a)};
            }
            break;
        default: std::memset(out, 0, sizeof(Pixel64) * count); break;
    }
}

void PackRow(const Pixel64* in, UINT count, PixelFormat format, BYTE* row, UINT x) {
    switch (format) {
        case PixelFormat16bppGrayScale:
            for (UINT i = 0; i < count; ++i) Store16(row + 2 * (x + i), Luminance(in[i]));
            break;
        case PixelFormat16bppRGB555:
            for (UINT i = 0; i < count; ++i) {
                const Pixel64& p = in[i];
                Store16(row + 2 * (x + i), Narrow5(p.r) << 10 | Narrow5(p.g) << 5 | Narrow5(p.b));
            }
            break;
        case PixelFormat16bppRGB565:
            for (UINT i = 0; i < count; ++i) {
                const Pixel64& p = in[i];
                Store16(row + 2 * (x + i), Narrow5(p.r) << 11 | Narrow6(p.g) << 5 | Narrow5(p.b));
            }
            break;
        case PixelFormat16bppARGB1555:
            for (UINT i = 0; i < count; ++i) {
                const Pixel64& p = in[i];
                unsigned alpha = p.a >= 32768 ? 0x8000 : 0;
                Store16(row + 2 * (x + i), alpha | Narrow5(p.r) << 10 | Narrow5(p.g) << 5 | Narrow5(p.b));
            }
            break;
        case PixelFormat24bppRGB:
            for (UINT i = 0; i < count; ++i) {
                BYTE* p = row + 3 * (x + i);
                p[0] = Narrow16(in[i].b), p[1] = Narrow16(in[i].g), p[2] = Narrow16(in[i].r);
            }
            break;
        case PixelFormat32bppRGB:
            for (UINT i = 0; i < count; ++i) {
                BYTE* p = row + 4 * (x + i);
                p[0] = Narrow16(in[i].b), p[1] = Narrow16(in[i].g), p[2] = Narrow16(in[i].r);
                p[3] = 0xFF;
            }
            break;
        case PixelFormat32bppARGB:
            for (UINT i = 0; i < count; ++i) {
                BYTE* p = row + 4 * (x + i);
                p[0] = Narrow16(in[i].b), p[1] = Narrow16(in[i].g), p[2] = Narrow16(in[i].r);
                p[3] = Narrow16(in[i].a);
            }
            break;
        case PixelFormat32bppPARGB:
            for (UINT i = 0; i < count; ++i) {
                BYTE* p = row + 4 * (x + i);
                unsigned a = Narrow16(in[i].a);
                // Premultiply at 8 bits so that no colour exceeds its alpha.
                p[0] = static_cast<BYTE>((Narrow16(in[i].b) * a + 127) / 255);
                p[1] = static_cast<BYTE>((Narrow16(in[i].g) * a + 127) / 255);
                p[2] = static_cast<BYTE>((Narrow16(in[i].r) * a + 127) / 255);
                p[3] = static_cast<BYTE>(a);
            }
            break;
        case PixelFormat48bppRGB:
            for (UINT i = 0; i < count; ++i) {
                BYTE* p = row + 6 * (x + i);
                Store16(p, in[i].b), Store16(p + 2, in[i].g), Store16(p + 4, in[i].r);
            }
            break;
        case PixelFormat64bppARGB:
            for (UINT i = 0; i < count; ++i) {
                BYTE* p = row + 8 * (x + i);
                Store16(p, in[i].b), Store16(p + 2, in[i].g), Store16(p + 4, in[i].r);
                Store16(p + 6, in[i].a);
            }
            break;
        case PixelFormat64bppPARGB:
            for (UINT i = 0; i < count; ++i) {
                BYTE* p = row + 8 * (x + i);
                unsigned a = in[i].a;
                Store16(p, Premultiply(in[i].b, a)), Store16(p + 2, Premultiply(in[i].g, a));
                Store16(p + 4, Premultiply(in[i].r, a)), Store16(p + 6, a);
            }
            break;
        default: break;
    }
}

void BlendOver(const Pixel64* source, UINT count, Pixel64* target) {
    for (UINT i = 0; i < count; ++i) {
        const Pixel64& s = source[i];
        Pixel64& d = target[i];
        if (s.a == 65535) {
            d = s;
        } else if (s.a != 0) {
            std::uint64_t sa = s.a;
            std::uint64_t dw = std::uint64_t{d.a} * (65535 - sa) / 65535;  // target's share
            std::uint64_t outA = sa + dw;
            auto mix = [&](std::uint64_t sc, std::uint64_t dc) {
                return static_cast<std::uint16_t>((sc * sa + dc * dw + outA / 2) / outA);
            };
            d = {mix(s.b, d.b), mix(s.g, d.g), mix(s.r, d.r), static_cast<std::uint16_t>(outA)};
        }
    }
}

bool CanConvert(PixelFormat from, PixelFormat to) {
    if (!IsSupportedPixelFormat(from) || !IsSupportedPixelFormat(to)) return false;
    return !IsIndexedPixelFormat(to) || from == to;
}

}  // namespace gdiplus

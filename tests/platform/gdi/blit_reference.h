#pragma once
// Test images in every source layout, each pixel's true colour known, and a
// plain double-precision reference of the blit to compare against.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/gdi/parallelogram_blit.h"
#include "platform/gdi/records.h"

namespace blit_test {

using Colour = std::array<double, 3>;  // blue, green, red

enum class Layout { indexed1, indexed4, indexed8, rgb555, rgb565, bgr24, bgrx32, rgb101010 };

inline const char* Name(Layout layout) {
    switch (layout) {
        case Layout::indexed1: return "1-bit";
        case Layout::indexed4: return "4-bit";
        case Layout::indexed8: return "8-bit";
        case Layout::rgb555: return "5-5-5";
        case Layout::rgb565: return "5-6-5";
        case Layout::bgr24: return "24-bit";
        case Layout::bgrx32: return "32-bit";
        case Layout::rgb101010: return "10-10-10";
    }
    return "?";
}

inline constexpr Layout allLayouts[] = {Layout::indexed1, Layout::indexed4, Layout::indexed8, Layout::rgb555,
                                        Layout::rgb565,   Layout::bgr24,    Layout::bgrx32,   Layout::rgb101010};

// An n-bit channel value as 0..255.
inline double Scaled(std::uint32_t value, int bits) { return std::round(value * 255.0 / ((1u << bits) - 1)); }

// A source image with random pixels; colours[y * width + x] is what each
// pixel should read as.
struct TestImage {
    std::vector<BYTE> bytes;
    std::vector<BYTE> colorTable;
    std::vector<Colour> colours;
    gdi::BlitSource source;

    const Colour& At(LONG x, LONG y) const { return colours[static_cast<std::size_t>(y) * source.width + x]; }
};

inline int BitsPerPixel(Layout layout) {
    switch (layout) {
        case Layout::indexed1: return 1;
        case Layout::indexed4: return 4;
        case Layout::indexed8: return 8;
        case Layout::rgb555:
        case Layout::rgb565: return 16;
        case Layout::bgr24: return 24;
        case Layout::bgrx32:
        case Layout::rgb101010: return 32;
    }
    return 0;
}

// `smooth` makes a gentle gradient with a little noise instead of noise alone.
inline TestImage MakeImage(Layout layout, LONG width, LONG height, bool bottomUp, unsigned seed, bool smooth = false) {
    TestImage image;
    const int bpp = BitsPerPixel(layout);
    const std::size_t rowBytes = gdi::DibRowBytes(width, bpp);
    image.bytes.assign(rowBytes * height, 0);
    image.colours.resize(static_cast<std::size_t>(width) * height);
    std::mt19937 rng(seed);
    auto channel = [&](LONG x, LONG y, int c, std::uint32_t top) -> std::uint32_t {
        if (!smooth) return std::uniform_int_distribution<std::uint32_t>(0, top)(rng);
        const double wave = 0.5 + 0.25 * std::sin(0.05 * x + 1.3 * c) + 0.2 * std::cos(0.07 * y - c);
        const double noise = std::uniform_real_distribution<double>(-0.005, 0.005)(rng);
        return static_cast<std::uint32_t>(std::clamp(wave + noise, 0.0, 1.0) * top + 0.5);
    };

    gdi::BlitSource& s = image.source;
    s.width = width;
    s.height = height;
    s.bitsPerPixel = bpp;
    const bool indexed = bpp <= 8;
    if (indexed) {
        // Fewer entries than the depth allows, so that some indices read black.
        const int entries = 1 << bpp;
        s.colorCount = entries == 2 ? 2 : entries - entries / 4;
        image.colorTable.resize(4 * static_cast<std::size_t>(s.colorCount));
        for (auto& b : image.colorTable) b = static_cast<BYTE>(rng());
        s.colorTable = image.colorTable.data();
    }
    for (LONG y = 0; y < height; ++y) {
        const std::size_t memoryRow = bottomUp ? height - 1 - y : y;
        BYTE* row = image.bytes.data() + memoryRow * rowBytes;
        for (LONG x = 0; x < width; ++x) {
            Colour& colour = image.colours[static_cast<std::size_t>(y) * width + x];
            if (indexed) {
                const auto index = static_cast<int>(rng() % (1u << bpp));
                const int shift = 8 - bpp - (x * bpp) % 8;
                row[x * bpp / 8] |= static_cast<BYTE>(index << shift);
                if (index < s.colorCount) {
                    for (int c = 0; c < 3; ++c) colour[c] = image.colorTable[4 * index + c];
                } else {
                    colour = {0, 0, 0};
                }
                continue;
            }
            switch (layout) {
                case Layout::rgb555:
                case Layout::rgb565: {
                    const int greenBits = layout == Layout::rgb565 ? 6 : 5;
                    const std::uint32_t b = channel(x, y, 0, 31), g = channel(x, y, 1, (1u << greenBits) - 1),
                                        r = channel(x, y, 2, 31);
                    const std::uint32_t word = b | g << 5 | r << (5 + greenBits);
                    row[2 * x] = static_cast<BYTE>(word);
                    row[2 * x + 1] = static_cast<BYTE>(word >> 8);
                    colour = {Scaled(b, 5), Scaled(g, greenBits), Scaled(r, 5)};
                    break;
                }
                case Layout::bgr24:
                case Layout::bgrx32: {
                    const int size = layout == Layout::bgr24 ? 3 : 4;
                    for (int c = 0; c < 3; ++c) {
                        row[size * x + c] = static_cast<BYTE>(channel(x, y, c, 255));
                        colour[c] = row[size * x + c];
                    }
                    if (size == 4) row[4 * x + 3] = static_cast<BYTE>(rng());  // never read
                    break;
                }
                case Layout::rgb101010: {
                    const std::uint32_t b = channel(x, y, 0, 1023), g = channel(x, y, 1, 1023),
                                        r = channel(x, y, 2, 1023);
                    const std::uint32_t word = b | g << 10 | r << 20 | (rng() & 3u) << 30;
                    for (int i = 0; i < 4; ++i) row[4 * x + i] = static_cast<BYTE>(word >> (8 * i));
                    colour = {Scaled(b, 10), Scaled(g, 10), Scaled(r, 10)};
                    break;
                }
                default: break;
            }
        }
    }
    s.topRow = image.bytes.data() + (bottomUp ? (height - 1) * rowBytes : 0);
    s.pitch = static_cast<LONG>(bottomUp ? -static_cast<std::ptrdiff_t>(rowBytes) : rowBytes);
    switch (layout) {
        case Layout::rgb555: s.redMask = 0x7C00, s.greenMask = 0x03E0, s.blueMask = 0x001F; break;
        case Layout::rgb565: s.redMask = 0xF800, s.greenMask = 0x07E0, s.blueMask = 0x001F; break;
        case Layout::bgrx32: s.redMask = 0xFF0000, s.greenMask = 0xFF00, s.blueMask = 0xFF; break;
        case Layout::rgb101010: s.redMask = 0x3FF00000, s.greenMask = 0x000FFC00, s.blueMask = 0x3FF; break;
        default: break;
    }
    return image;
}

// A 32-bit target filled with a sentinel byte.
struct TestTarget {
    static constexpr BYTE sentinel = 0xA7;
    std::vector<BYTE> bytes;
    gdi::BlitTarget target;

    TestTarget(LONG width, LONG height, POINT origin = {0, 0}, bool bottomUp = false) {
        const LONG pitch = 4 * width + 8;  // padding that must stay untouched too
        bytes.assign(static_cast<std::size_t>(pitch) * height, sentinel);
        target.width = width;
        target.height = height;
        target.pitch = bottomUp ? -pitch : pitch;
        target.topRow = bytes.data() + (bottomUp ? static_cast<std::size_t>(height - 1) * pitch : 0);
        target.origin = origin;
        target.clip = {origin.x, origin.y, origin.x + width, origin.y + height};
    }
    const BYTE* Pixel(LONG x, LONG y) const {
        return target.topRow + static_cast<std::ptrdiff_t>(y) * target.pitch + 4 * x;
    }
    bool Untouched(LONG x, LONG y) const {
        const BYTE* p = Pixel(x, y);
        return p[0] == sentinel && p[1] == sentinel && p[2] == sentinel && p[3] == sentinel;
    }
};

struct Blit {
    LONG srcX, srcY, srcWidth, srcHeight;
    std::array<POINT, 3> points;
};

// Where a logical point of the destination comes from, in source pixels
// measured from the source rectangle's upper-left corner. Each is one
// division of exactly representable numbers, so a point that maps onto a
// pixel border lands on it exactly.
struct PreImage {
    double det, ax, ay, a0, bx, by, b0, w, h;

    explicit PreImage(const Blit& blit) : w(blit.srcWidth), h(blit.srcHeight) {
        const auto& p = blit.points;
        const double ux = p[1].x - p[0].x, uy = p[1].y - p[0].y;
        const double vx = p[2].x - p[0].x, vy = p[2].y - p[0].y;
        det = ux * vy - uy * vx;
        ax = vy, ay = -vx, a0 = -(p[0].x * vy - p[0].y * vx);
        bx = -uy, by = ux, b0 = -(ux * p[0].y - uy * p[0].x);
    }
    double U(double X, double Y) const { return (ax * X + ay * Y + a0) * w / det; }
    double V(double X, double Y) const { return (bx * X + by * Y + b0) * h / det; }
    // Whether the point lies inside the parallelogram (its top and left
    // sides included).
    bool Inside(double X, double Y) const {
        const double u = U(X, Y), v = V(X, Y);
        return u >= 0 && u < w && v >= 0 && v < h;
    }
};

// The reference: for each target pixel, nothing when it is not covered,
// else the area-weighted average of the source over the pixel's pre-image
// (the pre-image of an axis-parallel blit is a rectangle), or with
// `nearest`, the source pixel under the pre-image's centre.
inline std::vector<std::optional<Colour>> Reference(const TestImage& image, const Blit& blit,
                                                    const gdi::BlitTarget& target, bool nearest = false) {
    const PreImage pre(blit);
    std::vector<std::optional<Colour>> out(static_cast<std::size_t>(target.width) * target.height);
    for (LONG y = 0; y < target.height; ++y) {
        for (LONG x = 0; x < target.width; ++x) {
            const double X = x + target.origin.x, Y = y + target.origin.y;
            if (X < target.clip.left || X >= target.clip.right || Y < target.clip.top || Y >= target.clip.bottom) {
                continue;
            }
            if (!pre.Inside(X + 0.5, Y + 0.5)) continue;
            if (nearest) {
                const auto sx = static_cast<LONG>(std::floor(pre.U(X + 0.5, Y + 0.5)));
                const auto sy = static_cast<LONG>(std::floor(pre.V(X + 0.5, Y + 0.5)));
                out[static_cast<std::size_t>(y) * target.width + x] = image.At(blit.srcX + sx, blit.srcY + sy);
                continue;
            }
            double u[2] = {pre.U(X, Y), pre.U(X + 1, Y + 1)};
            double v[2] = {pre.V(X, Y), pre.V(X + 1, Y + 1)};
            if (u[0] > u[1]) std::swap(u[0], u[1]);
            if (v[0] > v[1]) std::swap(v[0], v[1]);
            Colour sum{0, 0, 0};
            double area = 0;
            for (auto q = static_cast<LONG>(std::floor(v[0])); q < v[1]; ++q) {
                const double dv = std::min<double>(q + 1, v[1]) - std::max<double>(q, v[0]);
                if (dv <= 0) continue;
                for (auto p = static_cast<LONG>(std::floor(u[0])); p < u[1]; ++p) {
                    const double du = std::min<double>(p + 1, u[1]) - std::max<double>(p, u[0]);
                    if (du <= 0) continue;
                    const Colour& c = image.At(blit.srcX + p, blit.srcY + q);
                    for (int i = 0; i < 3; ++i) sum[i] += du * dv * c[i];
                    area += du * dv;
                }
            }
            for (double& s : sum) s /= area;
            out[static_cast<std::size_t>(y) * target.width + x] = sum;
        }
    }
    return out;
}

// Every covered pixel within `tolerance` of the reference on each channel,
// with 0 in its fourth byte; every other pixel untouched.
inline testing::AssertionResult MatchesReference(const TestTarget& drawn,
                                                 const std::vector<std::optional<Colour>>& reference,
                                                 double tolerance) {
    int failures = 0;
    std::string report;
    for (LONG y = 0; y < drawn.target.height; ++y) {
        for (LONG x = 0; x < drawn.target.width; ++x) {
            const auto& expected = reference[static_cast<std::size_t>(y) * drawn.target.width + x];
            const BYTE* p = drawn.Pixel(x, y);
            bool ok;
            if (expected) {
                ok = p[3] == 0;
                for (int c = 0; c < 3; ++c) ok = ok && std::abs(p[c] - (*expected)[c]) <= tolerance;
            } else {
                ok = drawn.Untouched(x, y);
            }
            if (!ok && failures++ < 5) {
                report += " (" + std::to_string(x) + "," + std::to_string(y) + "): got " + std::to_string(p[0]) + "/" +
                          std::to_string(p[1]) + "/" + std::to_string(p[2]) + "/" + std::to_string(p[3]) + ", want " +
                          (expected ? std::to_string((*expected)[0]) + "/" + std::to_string((*expected)[1]) + "/" +
                                          std::to_string((*expected)[2])
                                    : std::string("untouched")) +
                          ";";
            }
        }
    }
    // The padding past each row's pixels belongs to no pixel.
    for (LONG y = 0; y < drawn.target.height; ++y) {
        const BYTE* pad = drawn.Pixel(drawn.target.width, y);
        const std::size_t padBytes = static_cast<std::size_t>(std::abs(drawn.target.pitch)) - 4 * drawn.target.width;
        for (std::size_t i = 0; i < padBytes; ++i) {
            if (pad[i] != TestTarget::sentinel && failures++ < 5) report += " padding written;";
        }
    }
    if (failures == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << failures << " wrong pixels:" << report;
}

inline bool Draw(const TestImage& image, const Blit& blit, const TestTarget& target,
                 gdi::BlitFilter filter = gdi::BlitFilter::AreaAverage) {
    return gdi::BlitParallelogram(image.source, blit.srcX, blit.srcY, blit.srcWidth, blit.srcHeight, blit.points.data(),
                                  target.target, filter);
}

// The corners a quarter turn or a mirroring sends the source's upper-left,
// upper-right and lower-left corners to, inside the rectangle (l, t, r, b).
enum class Turn { upright, quarter, half, threeQuarters, mirrorLeftRight, mirrorUpDown, transposed };

inline const char* Name(Turn turn) {
    switch (turn) {
        case Turn::upright: return "upright";
        case Turn::quarter: return "quarter turn";
        case Turn::half: return "half turn";
        case Turn::threeQuarters: return "three quarters";
        case Turn::mirrorLeftRight: return "mirrored left-right";
        case Turn::mirrorUpDown: return "mirrored up-down";
        case Turn::transposed: return "transposed";
    }
    return "?";
}

inline std::array<POINT, 3> Corners(Turn turn, LONG l, LONG t, LONG r, LONG b) {
    switch (turn) {
        case Turn::upright: return {{{l, t}, {r, t}, {l, b}}};
        case Turn::quarter: return {{{r, t}, {r, b}, {l, t}}};
        case Turn::half: return {{{r, b}, {l, b}, {r, t}}};
        case Turn::threeQuarters: return {{{l, b}, {l, t}, {r, b}}};
        case Turn::mirrorLeftRight: return {{{r, t}, {l, t}, {r, b}}};
        case Turn::mirrorUpDown: return {{{l, b}, {r, b}, {l, t}}};
        case Turn::transposed: return {{{l, t}, {l, b}, {r, t}}};
    }
    return {};
}

inline bool Turns(Turn turn) {
    return turn == Turn::quarter || turn == Turn::threeQuarters || turn == Turn::transposed;
}

}  // namespace blit_test

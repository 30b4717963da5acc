#include "platform/gdi/blit_slanted.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace gdi {

namespace {

// Samples per side of a pixel's sampling grid, at most.
constexpr int maxSamples = 16;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {  // b > 0
    const std::int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// The x for which lo <= f0 + slope * x < hi, as [first, end), within
// [first, end) as passed in.
void KeepWhereInside(std::int64_t f0, std::int64_t slope, std::int64_t lo, std::int64_t hi, std::int64_t& first,
                     std::int64_t& end) {
    if (slope == 0) {
        if (f0 < lo || f0 >= hi) end = first;
        return;
    }
    std::int64_t from, to;
    if (slope > 0) {
        from = -FloorDiv(f0 - lo, slope);  // ceil((lo - f0) / slope)
        to = -FloorDiv(f0 - hi, slope);    // first x with f >= hi
    } else {
        from = FloorDiv(f0 - hi, -slope) + 1;  // first x with f < hi
        to = FloorDiv(f0 - lo, -slope) + 1;    // first x with f < lo
    }
    first = std::max(first, from);
    end = std::min(end, to);
}

}  // namespace

void DrawSlanted(const BlitSlantedJob& job, BlitFilter filter) {
    // With (a, b) the position inside the source rectangle as fractions of
    // its width and height, a destination point d = corner + a * across +
    // b * down. Twice det times a and b, at a pixel centre, are integers:
    // that decides exactly which centres lie inside.
    std::int64_t det = job.acrossX * job.downY - job.acrossY * job.downX;
    const std::int64_t sign = det < 0 ? -1 : 1;
    det *= sign;

    const double invDet = static_cast<double>(sign) / static_cast<double>(det);
    // Source pixels per destination pixel along x and along y.
    const double duDx = static_cast<double>(job.downY) * invDet * job.srcWidth;
    const double duDy = -static_cast<double>(job.downX) * invDet * job.srcWidth;
    const double dvDx = -static_cast<double>(job.acrossY) * invDet * job.srcHeight;
    const double dvDy = static_cast<double>(job.acrossX) * invDet * job.srcHeight;

    int samples = 1;
    if (filter == BlitFilter::AreaAverage) {
        const double reach = std::max(std::abs(duDx) + std::abs(duDy), std::abs(dvDx) + std::abs(dvDy));
        samples = static_cast<int>(std::clamp(std::ceil(2 * reach), 2.0, double{maxSamples}));
    }

    const CBlitSourcePixels& pixels = *job.pixels;
    auto sourcePixel = [&](double u, double v) {
        const auto px = std::clamp<std::int64_t>(static_cast<std::int64_t>(std::floor(u)), 0, job.srcWidth - 1);
        const auto py = std::clamp<std::int64_t>(static_cast<std::int64_t>(std::floor(v)), 0, job.srcHeight - 1);
        return pixels.Pixel(static_cast<LONG>(job.srcX + px), static_cast<LONG>(job.srcY + py));
    };

    for (std::int64_t y = job.top; y < job.bottom; ++y) {
        const std::int64_t dy2 = 2 * y + 1 - 2 * job.cornerY;
        // At x: aTwice = aTwice0 + 2 downY x, bTwice = bTwice0 - 2 acrossY x.
        const std::int64_t aTwice0 = sign * ((1 - 2 * job.cornerX) * job.downY - dy2 * job.downX);
        const std::int64_t bTwice0 = sign * (job.acrossX * dy2 - job.acrossY * (1 - 2 * job.cornerX));
        std::int64_t first = job.left, end = job.right;
        KeepWhereInside(aTwice0, 2 * sign * job.downY, 0, 2 * det, first, end);
        KeepWhereInside(bTwice0, -2 * sign * job.acrossY, 0, 2 * det, first, end);

        BYTE* row = job.topRow + static_cast<std::ptrdiff_t>(y) * job.pitch;
        for (std::int64_t x = first; x < end; ++x) {
            // The source position of the pixel's upper-left corner.
            const double dx = static_cast<double>(x - job.cornerX);
            const double dyf = static_cast<double>(y - job.cornerY);
            const double u0 = dx * duDx + dyf * duDy;
            const double v0 = dx * dvDx + dyf * dvDy;
            BYTE* pixel = row + 4 * x;
            if (samples == 1) {
                const DWORD word = sourcePixel(u0 + 0.5 * (duDx + duDy), v0 + 0.5 * (dvDx + dvDy));
                std::memcpy(pixel, &word, 4);
                continue;
            }
            std::uint32_t sum[3] = {0, 0, 0};
            for (int t = 0; t < samples; ++t) {
                const double fy = (t + 0.5) / samples;
                for (int s = 0; s < samples; ++s) {
                    const double fx = (s + 0.5) / samples;
                    const DWORD word = sourcePixel(u0 + fx * duDx + fy * duDy, v0 + fx * dvDx + fy * dvDy);
                    BYTE bytes[4];
                    std::memcpy(bytes, &word, 4);
                    sum[0] += bytes[0];
                    sum[1] += bytes[1];
                    sum[2] += bytes[2];
                }
            }
            const std::uint32_t count = static_cast<std::uint32_t>(samples * samples);
            for (int c = 0; c < 3; ++c) pixel[c] = static_cast<BYTE>((2 * sum[c] + count) / (2 * count));
            pixel[3] = 0;
        }
    }
}

}  // namespace gdi

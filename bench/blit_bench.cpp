// Every paint and every save draws the whole photo through the blit engine,
// so its cost is set against the least any such drawing can cost: reading
// the 6000 x 4000 photo once. Each case reports its best time and that
// ratio, best against best, as x_baseline.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

#include "bench/bench_support.h"
#include "platform/gdi/parallelogram_blit.h"
#include "platform/gdi/records.h"

namespace {

using bench::Clock;

struct Image {
    std::vector<BYTE> bytes;
    std::vector<BYTE> colorTable;
    gdi::BlitSource source;
};

// Bottom-up, as decoded photos are stored, with noise for pixels.
Image MakeImage(LONG width, LONG height, int bitsPerPixel) {
    Image image;
    const std::size_t rowBytes = gdi::DibRowBytes(width, bitsPerPixel);
    image.bytes.resize(rowBytes * height);
    std::uint32_t state = 12345;
    for (BYTE& b : image.bytes) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<BYTE>(state >> 24);
    }
    gdi::BlitSource& s = image.source;
    s.topRow = image.bytes.data() + (height - 1) * rowBytes;
    s.width = width;
    s.height = height;
    s.pitch = -static_cast<LONG>(rowBytes);
    s.bitsPerPixel = bitsPerPixel;
    if (bitsPerPixel == 8) {
        image.colorTable.resize(1024);
        for (std::size_t i = 0; i < image.colorTable.size(); ++i) image.colorTable[i] = static_cast<BYTE>(i * 7);
        s.colorTable = image.colorTable.data();
        s.colorCount = 256;
    }
    return image;
}

const Image& Photo24() {
    static const Image image = MakeImage(6000, 4000, 24);
    return image;
}

const Image& Photo8() {
    static const Image image = MakeImage(6000, 4000, 8);
    return image;
}

const Image& Small24() {
    static const Image image = MakeImage(640, 480, 24);
    return image;
}

std::uint64_t SumBytes(const std::vector<BYTE>& bytes) {
    std::uint64_t sum = 0;
    for (BYTE b : bytes) sum += b;
    return sum;
}

bench::Baseline baseline([] { benchmark::DoNotOptimize(SumBytes(Photo24().bytes)); });

void BM_BaselineReadPhotoOnce(benchmark::State& state) {
    Photo24();  // made before the clock runs
    baseline.Run(state);
}
BENCHMARK(BM_BaselineReadPhotoOnce)->Unit(benchmark::kMillisecond);

// Draws `image` whole into a width x height target turned by `rotation`
// quarter turns, the corners placed as the photo window places them; only
// `clip` is drawn when it is given.
void RunBlit(benchmark::State& state, const Image& image, LONG width, LONG height, int rotation,
             RECT clip = {0, 0, 0, 0}) {
    std::vector<BYTE> pixels(static_cast<std::size_t>(width) * height * 4);
    gdi::BlitTarget target;
    target.topRow = pixels.data();
    target.width = width;
    target.height = height;
    target.pitch = 4 * width;
    target.clip = clip.right > clip.left ? clip : RECT{0, 0, width, height};
    const LONG l = 0, t = 0, r = width, b = height;
    const POINT corners[4][3] = {
        {{l, t}, {r, t}, {l, b}}, {{r, t}, {r, b}, {l, t}}, {{r, b}, {l, b}, {r, t}}, {{l, b}, {l, t}, {r, b}}};
    baseline.Measure(5);
    double best = 1e9;
    for (auto _ : state) {
        const auto start = Clock::now();
        const bool drawn = gdi::BlitParallelogram(image.source, 0, 0, image.source.width, image.source.height,
                                                  corners[rotation], target, gdi::BlitFilter::AreaAverage);
        best = std::min(best, bench::SecondsSince(start));
        if (!drawn) state.SkipWithError("the blit refused its input");
        benchmark::DoNotOptimize(pixels.data());
    }
    baseline.Report(state, best);
}

void BM_Reduce24Upright(benchmark::State& state) { RunBlit(state, Photo24(), 900, 600, 0); }
void BM_Reduce24QuarterTurn(benchmark::State& state) { RunBlit(state, Photo24(), 600, 900, 1); }
void BM_Reduce8Upright(benchmark::State& state) { RunBlit(state, Photo8(), 900, 600, 0); }
void BM_Reduce8QuarterTurn(benchmark::State& state) { RunBlit(state, Photo8(), 600, 900, 1); }
void BM_Enlarge24Upright(benchmark::State& state) { RunBlit(state, Small24(), 1920, 1440, 0); }
// A paint of a thin exposed strip costs a strip: 16 of 600 rows, and 16 of
// 600 columns of the turned photo.
void BM_Reduce24UprightRowStrip(benchmark::State& state) {
    RunBlit(state, Photo24(), 900, 600, 0, RECT{0, 300, 900, 316});
}
void BM_Reduce24QuarterTurnColumnStrip(benchmark::State& state) {
    RunBlit(state, Photo24(), 600, 900, 1, RECT{300, 0, 316, 900});
}
BENCHMARK(BM_Reduce24Upright)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reduce24QuarterTurn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reduce8Upright)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reduce8QuarterTurn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Enlarge24Upright)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reduce24UprightRowStrip)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reduce24QuarterTurnColumnStrip)->Unit(benchmark::kMillisecond);

}  // namespace

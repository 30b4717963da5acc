// The geometry runs on every mouse move of a drag; this keeps an eye on it
// staying negligible next to the frame drawing.
#include <benchmark/benchmark.h>

#include "photo/geometry.h"

namespace {

void BM_DraggedRectResize(benchmark::State& state) {
    const RECT start{150, 50, 383, 224};
    LONG x = 0;
    for (auto _ : state) {
        x = (x + 7) & 1023;
        benchmark::DoNotOptimize(DraggedRect(dragResize, start, POINT{220, 160}, POINT{x, x / 2}, 6000, 4000));
    }
}
BENCHMARK(BM_DraggedRectResize);

}  // namespace

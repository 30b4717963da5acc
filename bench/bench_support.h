// What the benchmark programs share: the photograph-like test picture, the
// best-time baseline the drawing cases are set against, the peak memory of
// one load, and the ratios of our times to the libraries' own.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/types.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Rgb {
    BYTE r, g, b;
};

// Something like a photograph for the codecs: smooth shapes with fine
// grain. Next() gives the pixels in order, row by row from the top, as the
// grain is a running sequence.
class PhotoGrain {
public:
    PhotoGrain(int width, int height) : width_(width), height_(height) {}
    Rgb Next(int x, int y);

private:
    int width_, height_;
    unsigned seed_ = 12345;
};

// Seconds one read of the photo takes: the best seen so far. The machine is
// shared, so every case measures it again just before its own runs and
// keeps the best.
class Baseline {
public:
    explicit Baseline(std::function<void()> readOnce) : readOnce_(std::move(readOnce)) {}
    double Measure(int runs);
    // The baseline's own case: the best read, as best_ms.
    void Run(benchmark::State& state);
    // A case's best time, as best_ms and against the baseline as x_baseline.
    void Report(benchmark::State& state, double best);

private:
    std::function<void()> readOnce_;
    double seconds_ = 1e9;
};

long StatusKilobytes(const char* field);

// The resident memory around one load of `path`, from a reset of the
// kernel's peak mark, with the library kept running as open photo windows
// keep it.
struct LoadPeak {
    bool loaded = false;
    long beforeKb = 0, peakKb = 0;
    double dibMb = 0;  // the decoded image alone
};
LoadPeak MeasureLoadPeak(const std::string& path);

// Loads `path` once an iteration, skipping the case when a load fails.
void LoadRepeatedly(benchmark::State& state, const std::string& path);

// Remembers each benchmark's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    // Prints ours / alone against the goal, when both ran.
    void PrintRatio(const char* ours, const char* alone) const;

private:
    double Time(const std::string& name) const;
    std::map<std::string, double> times_;
};

// Runs the benchmarks and then prints each ratio {ours, alone}.
void RunAndPrintRatios(std::initializer_list<std::pair<const char*, const char*>> ratios);

}  // namespace bench

#include "bench/bench_support.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "image/dib_image.h"

namespace bench {

Rgb PhotoGrain::Next(int x, int y) {
    seed_ = seed_ * 1103515245u + 12345u;
    const int grain = static_cast<int>((seed_ >> 16) & 15) - 8;
    return {static_cast<BYTE>((x * 255 / width_ + grain + ((x / 300 + y / 200) % 2) * 40) & 255),
            static_cast<BYTE>((y * 255 / height_ + grain) & 255),
            static_cast<BYTE>(((x + y) * 255 / (width_ + height_) + 2 * grain) & 255)};
}

double Baseline::Measure(int runs) {
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        readOnce_();
        seconds_ = std::min(seconds_, SecondsSince(start));
    }
    return seconds_;
}

void Baseline::Run(benchmark::State& state) {
    double best = 1e9;
    for (auto _ : state) {
        const auto start = Clock::now();
        readOnce_();
        best = std::min(best, SecondsSince(start));
    }
    seconds_ = std::min(seconds_, best);
    state.counters["best_ms"] = best * 1e3;
}

void Baseline::Report(benchmark::State& state, double best) {
    state.counters["best_ms"] = best * 1e3;
    state.counters["x_baseline"] = best / Measure(5);
}

long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
    }
    return -1;
}

LoadPeak MeasureLoadPeak(const std::string& path) {
    CDibImage keeper;
    std::ofstream("/proc/self/clear_refs") << "5";  // resets VmHWM to the current size
    LoadPeak peak;
    peak.beforeKb = StatusKilobytes("VmRSS:");
    CDibImage image;
    if (image.LoadFromFile(path.c_str()) != S_OK) return peak;
    peak.loaded = true;
    peak.peakKb = StatusKilobytes("VmHWM:");
    peak.dibMb = static_cast<double>(-image.pitch) * image.height / (1 << 20);
    return peak;
}

void LoadRepeatedly(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        CDibImage image;
        if (image.LoadFromFile(path.c_str()) != S_OK) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(image.bits);
    }
}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        // The median of the repetitions when there are several.
        if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
        times_[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
}

double RatioReporter::Time(const std::string& name) const {
    auto found = times_.find(name);
    return found != times_.end() ? found->second : 0.0;
}

void RatioReporter::PrintRatio(const char* ours, const char* alone) const {
    const double a = Time(ours), b = Time(alone);
    if (a > 0 && b > 0) std::printf("ratio %s / %s = %.3f (goal <= 1.10)\n", ours, alone, a / b);
}

void RunAndPrintRatios(std::initializer_list<std::pair<const char*, const char*>> ratios) {
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& [ours, alone] : ratios) reporter.PrintRatio(ours, alone);
}

}  // namespace bench

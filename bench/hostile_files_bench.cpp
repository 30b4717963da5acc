// One load of each hostile kind of file, and of a 24-megapixel JPEG and PNG
// for scale: the time of GdipCreateBitmapFromFile (Google Benchmark), and
// its peak resident memory above what the process held before, measured in
// a child process of its own. The files are made at start in a temporary
// folder; each load has the budget the tests give it (a quarter of 8 GB, or
// 256 MB where the JPEG coefficients are the point).

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "platform/imaging/bitmap.h"
#include "platform/imaging/decode_limits.h"
#include "platform/imaging/encoders.h"
#include "platform/imaging/imaging_testing.h"
#include "platform/imaging/startup.h"
#include "platform/kernel/code_page.h"
#include "tests/platform/imaging/hostile_files.h"

namespace {

using namespace gdiplus;

constexpr size_t eightGbBudget = size_t{2} << 30;
constexpr size_t fuzzBudget = size_t{256} << 20;

struct Load {
    std::string name;
    std::string path;
    size_t budget;
    std::u16string widePath;
};

std::string folder;
std::vector<Load> loads;

void Write(const std::string& path, const std::vector<BYTE>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The photograph-like picture, encoded.
std::vector<BYTE> Photo(Encoder encode) {
    constexpr UINT width = 6000, height = 4000;
    Raster raster;
    if (Raster::Allocate(width, height, PixelFormat24bppRGB, false, &raster) != Ok) return {};
    bench::PhotoGrain grain(width, height);
    for (UINT y = 0; y < height; ++y) {
        BYTE* p = raster.Row(y);
        for (UINT x = 0; x < width; ++x, p += 3) {
            const bench::Rgb c = grain.Next(static_cast<int>(x), static_cast<int>(y));
            p[0] = c.b, p[1] = c.g, p[2] = c.r;
        }
    }
    std::vector<BYTE> bytes;
    encode(raster, &bytes);
    return bytes;
}

void Add(const std::string& name, const std::string& file, size_t budget, const std::vector<BYTE>& bytes) {
    std::string path = folder + "/" + file;
    if (!bytes.empty()) Write(path, bytes);
    loads.push_back({name, path, budget, {}});
}

void MakeInputs() {
    char base[] = "/tmp/pelmora-hostile-bench-XXXXXX";
    folder = mkdtemp(base);
    Add("jpeg_24mp", "photo.jpg", eightGbBudget, Photo(EncodeJpeg));
    Add("png_24mp", "photo.png", eightGbBudget, Photo(EncodePng));
    Add("gif_35_bytes_screen_40000", "screen.gif", eightGbBudget, hostile::GifScreen(40000));
    Add("bmp_rle8_30000_end_code_only", "rle.bmp", eightGbBudget, hostile::RleBitmapWithoutCodes(30000, 30000));
    Add("png_20_text_chunks_of_15mb", "text.png", eightGbBudget, hostile::PngWithTextAhead(20, 15u << 20));
    Add("jpeg_progressive_10000_coefficients_over_256mb", "coefficients.jpg", fuzzBudget,
        hostile::ProgressiveJpeg(10000, 10000));
    Add("jpeg_501_scans", "scans.jpg", eightGbBudget, hostile::JpegWithScans(501));
    Add("tiff_strip_past_the_end", "past.tif", eightGbBudget,
        hostile::TiffWithStrip(14000, 14000, 1, 14000u * 14000, 0));
    Add("tiff_64_deflated_bytes_for_196mb", "deflate.tif", eightGbBudget,
        hostile::TiffWithStrip(14000, 14000, 8, 64, 64));
    std::string pipe = folder + "/pipe.png";
    mkfifo(pipe.c_str(), 0600);
    Add("named_pipe", "pipe.png", eightGbBudget, {});
    loads.push_back({"device", "/dev/zero", eightGbBudget, {}});
    std::string zeros = folder + "/zeros.png";
    std::ofstream(zeros).flush();
    std::filesystem::resize_file(zeros, std::uintmax_t{1} << 30);  // sparse: nothing is written
    Add("1gb_without_signature", "zeros.png", eightGbBudget, {});
    for (Load& load : loads) {
        int n = kernel::MultiByteToWideChar(kernel::CP_ACP, 0, load.path.c_str(), -1, nullptr, 0);
        load.widePath.assign(static_cast<size_t>(n), u'\0');
        kernel::MultiByteToWideChar(kernel::CP_ACP, 0, load.path.c_str(), -1, load.widePath.data(), n);
    }
}

const char* StatusName(Status status) {
    switch (status) {
        case Ok: return "Ok";
        case GenericError: return "GenericError";
        case OutOfMemory: return "OutOfMemory";
        case UnknownImageFormat: return "UnknownImageFormat";
        default: return "other";
    }
}

void BM_Load(benchmark::State& state, const Load* load) {
    SetDecodeMemoryLimit(load->budget);
    for (auto _ : state) {
        GpBitmap* bitmap = nullptr;
        Status status = GdipCreateBitmapFromFile(load->widePath.c_str(), &bitmap);
        if (bitmap != nullptr) GdipDisposeImage(bitmap);
        benchmark::DoNotOptimize(status);
    }
    SetDecodeMemoryLimit(0);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) != Ok) return 1;
    MakeInputs();

    std::printf("%-48s %-18s %12s %14s\n", "load", "status", "file bytes", "peak MB above");
    for (const Load& load : loads) {
        hostile::ChildLoad child = hostile::LoadInChild(load.path, load.budget);
        std::error_code error;
        auto bytes = std::filesystem::is_regular_file(load.path, error) ? std::filesystem::file_size(load.path) : 0;
        std::printf("%-48s %-18s %12ju %14.1f\n", load.name.c_str(), StatusName(child.status),
                    static_cast<std::uintmax_t>(bytes), (child.peakKb - child.baselineKb) / 1024.0);
    }
    std::fflush(stdout);

    for (const Load& load : loads) {
        benchmark::RegisterBenchmark(("BM_Load/" + load.name).c_str(), BM_Load, &load)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(0.5);
    }
    benchmark::RunSpecifiedBenchmarks();
    std::filesystem::remove_all(folder);
    GdiplusShutdown(token);
    benchmark::Shutdown();
    return 0;
}

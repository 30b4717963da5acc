// Decoding and encoding through the whole system against the codec
// libraries used alone, on the same files:
//   LoadFromFile of a 6000 x 4000 JPEG  vs  libjpeg-turbo into B, G, R rows
//   LoadFromFile of a 6000 x 4000 PNG   vs  libpng into B, G, R rows
//   SaveToFile of a 1200 x 800 image as JPEG  vs  libjpeg-turbo writing the
//   same rows at the same settings (quality 90, optimised tables), and
//   also flushed to the disk as a save is
// The goal for each ratio is 1.10 at most. The inputs are made at start in
// a temporary folder; the peak memory of one load of each is printed too.
//
// The baselines call the codecs directly, which nothing outside platform/
// does otherwise: measuring against them is the point here.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <png.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "bench/bench_support.h"
#include "image/dib_image.h"
#include "image/imaging_runtime.h"

namespace {

constexpr int bigWidth = 6000, bigHeight = 4000;
constexpr int smallWidth = 1200, smallHeight = 800;

std::string folder;
std::string jpegPath, pngPath, savePath, baselineSavePath;

// The photograph-like picture as B, G, R (and opaque alpha with 4 channels).
std::vector<BYTE> Picture(int width, int height, int channels) {
    std::vector<BYTE> pixels(static_cast<size_t>(width) * height * channels);
    bench::PhotoGrain grain(width, height);
    for (int y = 0; y < height; ++y) {
        BYTE* row = pixels.data() + static_cast<size_t>(y) * width * channels;
        for (int x = 0; x < width; ++x) {
            const bench::Rgb c = grain.Next(x, y);
            BYTE* p = row + static_cast<size_t>(x) * channels;
            p[0] = c.b, p[1] = c.g, p[2] = c.r;
            if (channels == 4) p[3] = 0xFF;
        }
    }
    return pixels;
}

void WriteJpeg(const std::string& path, const BYTE* top, int width, int height, std::ptrdiff_t pitch,
               J_COLOR_SPACE space, int components, bool optimise) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    FILE* file = std::fopen(path.c_str(), "wb");
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    cinfo.optimize_coding = optimise ? TRUE : FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<BYTE*>(top + static_cast<std::ptrdiff_t>(cinfo.next_scanline) * pitch);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(file);
}

void WritePng(const std::string& path, const std::vector<BYTE>& bgr, int width, int height) {
    FILE* file = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, const_cast<BYTE*>(bgr.data() + static_cast<size_t>(y) * width * 3));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

void MakeInputs() {
    char base[] = "/tmp/pelmora-bench-XXXXXX";
    folder = mkdtemp(base);
    jpegPath = folder + "/big.jpg";
    pngPath = folder + "/big.png";
    savePath = folder + "/saved.jpg";
    baselineSavePath = folder + "/baseline.jpg";
    std::vector<BYTE> big = Picture(bigWidth, bigHeight, 3);
    WriteJpeg(jpegPath, big.data(), bigWidth, bigHeight, bigWidth * 3, JCS_EXT_BGR, 3, false);
    WritePng(pngPath, big, bigWidth, bigHeight);
}

// Page faults per iteration: on virtual machines each one costs several
// microseconds, so they are shown beside the times.
long MinorFaults() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

class FaultCounter {
public:
    explicit FaultCounter(benchmark::State& state) : state_(state), start_(MinorFaults()) {}
    ~FaultCounter() {
        state_.counters["faults"] =
            benchmark::Counter(static_cast<double>(MinorFaults() - start_), benchmark::Counter::kAvgIterations);
    }

private:
    benchmark::State& state_;
    long start_;
};

// --- Loads

void BM_LoadFromFileJpeg(benchmark::State& state) {
    CDibImage keeper;  // keeps the library running, as open photo windows do
    FaultCounter faults(state);
    bench::LoadRepeatedly(state, jpegPath);
}

void BM_LibjpegAloneJpeg(benchmark::State& state) {
    FaultCounter faults(state);
    for (auto _ : state) {
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr err;
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_decompress(&cinfo);
        FILE* file = std::fopen(jpegPath.c_str(), "rb");
        jpeg_stdio_src(&cinfo, file);
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&cinfo);
        size_t stride = cinfo.output_width * 3;
        std::unique_ptr<BYTE[]> rows(new BYTE[stride * cinfo.output_height]);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = rows.get() + cinfo.output_scanline * stride;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        std::fclose(file);
        benchmark::DoNotOptimize(rows.get());
    }
}

void BM_LoadFromFilePng(benchmark::State& state) {
    CDibImage keeper;
    FaultCounter faults(state);
    bench::LoadRepeatedly(state, pngPath);
}

void BM_LibpngAlonePng(benchmark::State& state) {
    FaultCounter faults(state);
    for (auto _ : state) {
        FILE* file = std::fopen(pngPath.c_str(), "rb");
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, file);
        png_read_info(png, info);
        png_set_bgr(png);
        png_read_update_info(png, info);
        png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
        size_t stride = png_get_rowbytes(png, info);
        std::unique_ptr<BYTE[]> pixels(new BYTE[stride * height]);
        std::vector<png_bytep> rows(height);
        for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels.get() + y * stride;
        png_read_image(png, rows.data());
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        benchmark::DoNotOptimize(pixels.get());
        benchmark::DoNotOptimize(width);
    }
}

// --- Saves: the save command's image, 32 bits without alpha, bottom-up.

// False, with the benchmark skipped, when no image can be made.
bool FillSmall(CDibImage& image, benchmark::State& state) {
    if (!image.CreateDib(smallWidth, smallHeight, 32, gdi::BI_RGB, nullptr, 0)) {
        state.SkipWithError("no image to save");
        return false;
    }
    std::vector<BYTE> picture = Picture(smallWidth, smallHeight, 4);
    for (int y = 0; y < smallHeight; ++y) {
        std::memcpy(image.bits + static_cast<std::ptrdiff_t>(y) * image.pitch,
                    picture.data() + static_cast<size_t>(y) * smallWidth * 4, smallWidth * 4);
    }
    return true;
}

void BM_SaveToFileJpeg(benchmark::State& state) {
    CDibImage image;
    if (!FillSmall(image, state)) return;
    image.AcquireDc();  // as the save command holds it
    FaultCounter faults(state);
    for (auto _ : state) {
        if (image.SaveToFile(savePath.c_str(), gdiplus::GUID_NULL) != S_OK) state.SkipWithError("save failed");
    }
    image.ReturnDc();
}

// What metadata adds to a save, without the pixels' share: an 8 x 8 image
// saved as JPEG bare and with the items of the metadata test photo (colour
// profile, EXIF with a thumbnail and a GPS position to drop, XMP).
void SaveTiny(benchmark::State& state, bool withMetadata, const std::string& path) {
    CDibImage source;
    if (withMetadata && source.LoadFromFile(PELMORA_FIXTURE_IMAGES "/jpeg-metadata.jpg") != S_OK) {
        state.SkipWithError("no metadata photo");
        return;
    }
    CDibImage image;
    if (!image.CreateDib(8, 8, 32, gdi::BI_RGB, nullptr, 0)) {
        state.SkipWithError("no image to save");
        return;
    }
    image.CopyPropertyItems(source.propertyItems);
    image.AcquireDc();
    for (auto _ : state) {
        if (image.SaveToFile(path.c_str(), gdiplus::GUID_NULL) != S_OK) state.SkipWithError("save failed");
    }
    image.ReturnDc();
}
void BM_SaveToFileTinyJpeg(benchmark::State& state) { SaveTiny(state, false, savePath); }
void BM_SaveToFileTinyJpegWithMetadata(benchmark::State& state) { SaveTiny(state, true, savePath); }
// The same in the formats whose libraries store the blocks themselves.
void BM_SaveToFileTiny(benchmark::State& state, const char* extension, bool withMetadata) {
    SaveTiny(state, withMetadata, folder + "/tiny" + extension);
}

void BM_LibjpegAloneSave(benchmark::State& state) {
    CDibImage image;
    if (!FillSmall(image, state)) return;
    FaultCounter faults(state);
    for (auto _ : state) {
        WriteJpeg(baselineSavePath, image.bits, smallWidth, smallHeight, image.pitch, JCS_EXT_BGRX, 4, true);
    }
}

// The same, made as durable as a save: the file flushed to the disk.
void BM_LibjpegAloneSaveFlushed(benchmark::State& state) {
    CDibImage image;
    if (!FillSmall(image, state)) return;
    FaultCounter faults(state);
    for (auto _ : state) {
        WriteJpeg(baselineSavePath, image.bits, smallWidth, smallHeight, image.pitch, JCS_EXT_BGRX, 4, true);
        int fd = open(baselineSavePath.c_str(), O_WRONLY);
        fsync(fd);
        close(fd);
    }
}

BENCHMARK(BM_LibjpegAloneJpeg)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0)->Repetitions(3);
BENCHMARK(BM_LoadFromFileJpeg)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0)->Repetitions(3);
BENCHMARK(BM_LibpngAlonePng)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0)->Repetitions(3);
BENCHMARK(BM_LoadFromFilePng)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0)->Repetitions(3);
BENCHMARK(BM_LibjpegAloneSave)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0)->Repetitions(3);
BENCHMARK(BM_LibjpegAloneSaveFlushed)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0)->Repetitions(3);
BENCHMARK(BM_SaveToFileJpeg)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0)->Repetitions(3);
BENCHMARK(BM_SaveToFileTinyJpeg)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0)->Repetitions(3);
BENCHMARK(BM_SaveToFileTinyJpegWithMetadata)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(1.0)
    ->Repetitions(3);

BENCHMARK_CAPTURE(BM_SaveToFileTiny, Webp, ".webp", false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_SaveToFileTiny, WebpWithMetadata, ".webp", true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_SaveToFileTiny, Heic, ".heic", false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_SaveToFileTiny, HeicWithMetadata, ".heic", true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_SaveToFileTiny, Avif, ".avif", false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_SaveToFileTiny, AvifWithMetadata, ".avif", true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_SaveToFileTiny, Jxl, ".jxl", false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_SaveToFileTiny, JxlWithMetadata, ".jxl", true)->Unit(benchmark::kMillisecond)->UseRealTime();

void ReportPeakMemory(const char* what, const std::string& path) {
    const bench::LoadPeak peak = bench::MeasureLoadPeak(path);
    if (!peak.loaded) {
        std::printf("%s: did not load\n", what);
        return;
    }
    std::printf(
        "%s: peak resident memory %.1f MB (%.1f MB above the %.1f MB before the load; the "
        "decoded DIB alone is %.1f MB)\n",
        what, peak.peakKb / 1024.0, (peak.peakKb - peak.beforeKb) / 1024.0, peak.beforeKb / 1024.0, peak.dibMb);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MakeInputs();
    std::printf("inputs: %s (%.1f MB), %s (%.1f MB)\n", jpegPath.c_str(),
                std::filesystem::file_size(jpegPath) / 1048576.0, pngPath.c_str(),
                std::filesystem::file_size(pngPath) / 1048576.0);
    ReportPeakMemory("LoadFromFile JPEG", jpegPath);
    ReportPeakMemory("LoadFromFile PNG", pngPath);

    bench::RunAndPrintRatios({{"BM_LoadFromFileJpeg", "BM_LibjpegAloneJpeg"},
                              {"BM_LoadFromFilePng", "BM_LibpngAlonePng"},
                              {"BM_SaveToFileJpeg", "BM_LibjpegAloneSave"},
                              {"BM_SaveToFileJpeg", "BM_LibjpegAloneSaveFlushed"}});
    std::filesystem::remove_all(folder);
    benchmark::Shutdown();
    return 0;
}

// Loading a 12-megapixel (4000 x 3000) HEIC, AVIF, WebP and JPEG XL photo
// through the whole system against the format's library used alone on the
// same file:
//   LoadFromFile  vs  libheif into interleaved R, G, B (HEIC and AVIF)
//   LoadFromFile  vs  libwebp into B, G, R rows
//   LoadFromFile  vs  libjxl into R, G, B with the same thread runner
// The goal for each ratio is 1.10 at most. The inputs are made at start in
// a temporary folder (encoded quickly: only their decoding is measured);
// the peak memory of one load of each is printed too.
//
// The baselines call the codecs directly, which nothing outside platform/
// does otherwise: measuring against them is the point here.

#include <benchmark/benchmark.h>
#include <jxl/decode.h>
#include <jxl/encode.h>
#include <jxl/resizable_parallel_runner.h>
#include <libheif/heif.h>
#include <stdlib.h>
#include <webp/decode.h>
#include <webp/encode.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "image/dib_image.h"

namespace {

constexpr int width = 4000, height = 3000;

std::string folder;
std::map<std::string, std::string> paths;  // by format name

// The photograph-like picture as R, G, B.
std::vector<BYTE> Picture() {
    std::vector<BYTE> pixels(static_cast<size_t>(width) * height * 3);
    bench::PhotoGrain grain(width, height);
    for (int y = 0; y < height; ++y) {
        BYTE* p = pixels.data() + static_cast<size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x, p += 3) {
            const bench::Rgb c = grain.Next(x, y);
            p[0] = c.r, p[1] = c.g, p[2] = c.b;
        }
    }
    return pixels;
}

std::vector<BYTE> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(file), {});
}

void WriteFile(const std::string& path, const BYTE* data, size_t size) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void WriteHeif(const std::string& path, const std::vector<BYTE>& rgb, heif_compression_format compression) {
    heif_image* image = nullptr;
    heif_image_create(width, height, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, width, height, 8);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < height; ++y) {
        std::memcpy(plane + static_cast<size_t>(y) * stride, rgb.data() + static_cast<size_t>(y) * width * 3,
                    static_cast<size_t>(width) * 3);
    }
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_context_get_encoder_for_format(context, compression, &encoder);
    heif_encoder_set_lossy_quality(encoder, 85);
    heif_encoder_set_logging_level(encoder, 0);
    if (compression == heif_compression_HEVC) {
        heif_encoder_set_parameter_string(encoder, "preset", "ultrafast");
    } else {
        heif_encoder_set_parameter_integer(encoder, "speed", 9);
    }
    heif_context_encode_image(context, image, encoder, nullptr, nullptr);
    heif_context_write_to_file(context, path.c_str());
    heif_encoder_release(encoder);
    heif_image_release(image);
    heif_context_free(context);
}

void WriteWebp(const std::string& path, const std::vector<BYTE>& rgb) {
    uint8_t* out = nullptr;
    size_t size = WebPEncodeRGB(rgb.data(), width, height, width * 3, 85, &out);
    WriteFile(path, out, size);
    WebPFree(out);
}

void WriteJxl(const std::string& path, const std::vector<BYTE>& rgb) {
    JxlEncoder* encoder = JxlEncoderCreate(nullptr);
    JxlBasicInfo info;
    JxlEncoderInitBasicInfo(&info);
    info.xsize = width;
    info.ysize = height;
    info.bits_per_sample = 8;
    info.num_color_channels = 3;
    info.uses_original_profile = JXL_FALSE;
    JxlEncoderSetBasicInfo(encoder, &info);
    JxlColorEncoding colour;
    JxlColorEncodingSetToSRGB(&colour, JXL_FALSE);
    JxlEncoderSetColorEncoding(encoder, &colour);
    JxlEncoderFrameSettings* settings = JxlEncoderFrameSettingsCreate(encoder, nullptr);
    JxlEncoderFrameSettingsSetOption(settings, JXL_ENC_FRAME_SETTING_EFFORT, 3);
    const JxlPixelFormat format{3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    JxlEncoderAddImageFrame(settings, &format, rgb.data(), rgb.size());
    JxlEncoderCloseInput(encoder);
    std::vector<BYTE> out(64 << 20);
    uint8_t* next = out.data();
    size_t available = out.size();
    JxlEncoderProcessOutput(encoder, &next, &available);
    WriteFile(path, out.data(), static_cast<size_t>(next - out.data()));
    JxlEncoderDestroy(encoder);
}

void MakeInputs() {
    char base[] = "/tmp/pelmora-bench-XXXXXX";
    folder = mkdtemp(base);
    std::vector<BYTE> rgb = Picture();
    paths["Heic"] = folder + "/photo.heic";
    paths["Avif"] = folder + "/photo.avif";
    paths["Webp"] = folder + "/photo.webp";
    paths["Jxl"] = folder + "/photo.jxl";
    WriteHeif(paths["Heic"], rgb, heif_compression_HEVC);
    WriteHeif(paths["Avif"], rgb, heif_compression_AV1);
    WriteWebp(paths["Webp"], rgb);
    WriteJxl(paths["Jxl"], rgb);
}

void LoadFromFile(benchmark::State& state, const char* format) {
    CDibImage keeper;  // keeps the library running, as open photo windows do
    bench::LoadRepeatedly(state, paths[format]);
}

void BM_LoadFromFileHeic(benchmark::State& state) { LoadFromFile(state, "Heic"); }
void BM_LoadFromFileAvif(benchmark::State& state) { LoadFromFile(state, "Avif"); }
void BM_LoadFromFileWebp(benchmark::State& state) { LoadFromFile(state, "Webp"); }
void BM_LoadFromFileJxl(benchmark::State& state) { LoadFromFile(state, "Jxl"); }

void LibheifAlone(benchmark::State& state, const char* format) {
    const std::string& path = paths[format];
    for (auto _ : state) {
        std::vector<BYTE> file = ReadFile(path);
        heif_context* context = heif_context_alloc();
        heif_context_read_from_memory_without_copy(context, file.data(), file.size(), nullptr);
        heif_image_handle* handle = nullptr;
        heif_context_get_primary_image_handle(context, &handle);
        heif_image* image = nullptr;
        heif_error error = heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr);
        if (error.code != heif_error_Ok) state.SkipWithError("decode failed");
        int stride = 0;
        benchmark::DoNotOptimize(heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride));
        heif_image_release(image);
        heif_image_handle_release(handle);
        heif_context_free(context);
    }
}

void BM_LibheifAloneHeic(benchmark::State& state) { LibheifAlone(state, "Heic"); }
void BM_LibheifAloneAvif(benchmark::State& state) { LibheifAlone(state, "Avif"); }

void BM_LibwebpAloneWebp(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<BYTE> file = ReadFile(paths["Webp"]);
        int w = 0, h = 0;
        WebPGetInfo(file.data(), file.size(), &w, &h);
        const size_t stride = static_cast<size_t>(w) * 3;
        std::unique_ptr<BYTE[]> pixels(new BYTE[stride * h]);
        if (!WebPDecodeBGRInto(file.data(), file.size(), pixels.get(), stride * h, static_cast<int>(stride))) {
            state.SkipWithError("decode failed");
        }
        benchmark::DoNotOptimize(pixels.get());
    }
}

void BM_LibjxlAloneJxl(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<BYTE> file = ReadFile(paths["Jxl"]);
        JxlDecoder* decoder = JxlDecoderCreate(nullptr);
        void* runner = JxlResizableParallelRunnerCreate(nullptr);
        JxlDecoderSetParallelRunner(decoder, JxlResizableParallelRunner, runner);
        JxlDecoderSubscribeEvents(decoder, JXL_DEC_BASIC_INFO | JXL_DEC_FULL_IMAGE);
        JxlDecoderSetInput(decoder, file.data(), file.size());
        JxlDecoderCloseInput(decoder);
        const JxlPixelFormat format{3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
        std::unique_ptr<BYTE[]> pixels;
        for (bool done = false; !done;) {
            switch (JxlDecoderProcessInput(decoder)) {
                case JXL_DEC_BASIC_INFO: {
                    JxlBasicInfo info;
                    JxlDecoderGetBasicInfo(decoder, &info);
                    JxlResizableParallelRunnerSetThreads(
                        runner, JxlResizableParallelRunnerSuggestThreads(info.xsize, info.ysize));
                    break;
                }
                case JXL_DEC_NEED_IMAGE_OUT_BUFFER: {
                    size_t size = 0;
                    JxlDecoderImageOutBufferSize(decoder, &format, &size);
                    pixels.reset(new BYTE[size]);
                    JxlDecoderSetImageOutBuffer(decoder, &format, pixels.get(), size);
                    break;
                }
                case JXL_DEC_FULL_IMAGE: done = true; break;
                default:
                    state.SkipWithError("decode failed");
                    done = true;
                    break;
            }
        }
        benchmark::DoNotOptimize(pixels.get());
        JxlResizableParallelRunnerDestroy(runner);
        JxlDecoderDestroy(decoder);
    }
}

#define PHOTO_BENCHMARK(name) \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0)->Repetitions(3)
PHOTO_BENCHMARK(BM_LibheifAloneHeic);
PHOTO_BENCHMARK(BM_LoadFromFileHeic);
PHOTO_BENCHMARK(BM_LibheifAloneAvif);
PHOTO_BENCHMARK(BM_LoadFromFileAvif);
PHOTO_BENCHMARK(BM_LibwebpAloneWebp);
PHOTO_BENCHMARK(BM_LoadFromFileWebp);
PHOTO_BENCHMARK(BM_LibjxlAloneJxl);
PHOTO_BENCHMARK(BM_LoadFromFileJxl);

void ReportPeakMemory(const std::string& format) {
    const bench::LoadPeak peak = bench::MeasureLoadPeak(paths[format]);
    if (!peak.loaded) {
        std::printf("LoadFromFile %s: did not load\n", format.c_str());
        return;
    }
    std::printf("LoadFromFile %s: peak %.1f MB above the %.1f MB before the load (the DIB alone is %.1f MB)\n",
                format.c_str(), (peak.peakKb - peak.beforeKb) / 1024.0, peak.beforeKb / 1024.0, peak.dibMb);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MakeInputs();
    for (const auto& [format, path] : paths) {
        std::printf("input %s: %s (%.1f MB)\n", format.c_str(), path.c_str(),
                    std::filesystem::file_size(path) / 1048576.0);
        ReportPeakMemory(format);
    }

    bench::RunAndPrintRatios({{"BM_LoadFromFileHeic", "BM_LibheifAloneHeic"},
                              {"BM_LoadFromFileAvif", "BM_LibheifAloneAvif"},
                              {"BM_LoadFromFileWebp", "BM_LibwebpAloneWebp"},
                              {"BM_LoadFromFileJxl", "BM_LibjxlAloneJxl"}});
    std::filesystem::remove_all(folder);
    benchmark::Shutdown();
    return 0;
}

// Painting a photo window: one WM_PAINT of a window showing a 6000 x 4000
// photo at 900 x 600, from the paint handler to the pixels on the window's
// surface (the toolkit's back buffer, flushed to the X server), set against
// the least any drawing of the photo costs: reading its 24-bit pixels once.
// Each case reports its best time and that ratio, best against best, as
// x_baseline. Also the drawing routine alone into a 900 x 600 image, one
// Save of the window as JPEG, and a window far larger than the screen, with
// the resident memory its paint adds.
//
// The windows live on a private Xvfb, so that a run needs no display and
// shows nothing on the user's.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include <unistd.h>

#include "bench/bench_support.h"
#include "image/dib_image.h"
#include "photo/photo_drawing.h"
#include "photo/photo_wnd.h"
#include "photo/save_command.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "platform/user/user_testing.h"
#include "tests/support/private_xvfb.h"

namespace {

using bench::Clock;

constexpr LONG photoWidth = 6000;
constexpr LONG photoHeight = 4000;

// A photo window that counts its paints.
class CBenchPhotoWnd : public CPhotoWnd {
public:
    int paints = 0;

protected:
    void OnPaint() override {
        ++paints;
        CPhotoWnd::OnPaint();
    }
};

// Bottom-up 24-bit noise, as decoded photos are stored.
void FillPhoto(CDibImage& image) {
    if (!image.CreateDib(photoWidth, photoHeight, 24, gdi::BI_RGB, nullptr, 0)) {
        std::fprintf(stderr, "no memory for the photo\n");
        std::exit(1);
    }
    std::uint32_t state = 12345;
    for (LONG y = 0; y < image.height; ++y) {
        BYTE* row = image.bits + static_cast<std::ptrdiff_t>(y) * image.pitch;
        for (LONG i = 0; i < 3 * image.width; ++i) {
            state = state * 1664525u + 1013904223u;
            row[i] = static_cast<BYTE>(state >> 24);
        }
    }
}

// The one photo window of the run, made on first use.
CBenchPhotoWnd& Window() {
    static CBenchPhotoWnd* window = [] {
        auto* made = new CBenchPhotoWnd;
        FillPhoto(made->image);
        made->aspectWidth = photoWidth;
        made->aspectHeight = photoHeight;
        if (!made->CreateEx(user::WS_EX_TOOLWINDOW, user::AfxRegisterWndClass(0), "bench photo",
                            user::WS_POPUP | user::WS_VISIBLE, 100, 100, 900, 600, nullptr)) {
            std::fprintf(stderr, "cannot create the photo window\n");
            std::exit(1);
        }
        user::ProcessMessagesFor(200);
        return made;
    }();
    return *window;
}

std::uint64_t SumPhotoBytes(const CDibImage& image) {
    // Bottom-up: the lowest address is the last row.
    const BYTE* start = image.bits + static_cast<std::ptrdiff_t>(image.height - 1) * image.pitch;
    const std::size_t size = static_cast<std::size_t>(-image.pitch) * image.height;
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < size; ++i) sum += start[i];
    return sum;
}

bench::Baseline baseline([] { benchmark::DoNotOptimize(SumPhotoBytes(Window().image)); });

// One paint of the whole window, delivered at once.
double PaintOnce(CBenchPhotoWnd& window) {
    const int paints = window.paints;
    const auto start = Clock::now();
    user::InvalidateRect(window.GetSafeHwnd(), nullptr, TRUE);
    user::UpdateWindow(window.GetSafeHwnd());
    const double seconds = bench::SecondsSince(start);
    return window.paints == paints + 1 ? seconds : -1;
}

// Paints the window once an iteration and reports the best paint.
void PaintRepeatedly(benchmark::State& state, CBenchPhotoWnd& window) {
    baseline.Measure(5);
    double best = 1e9;
    for (auto _ : state) {
        const double seconds = PaintOnce(window);
        if (seconds < 0) {
            state.SkipWithError("the window was not painted exactly once");
            break;
        }
        best = std::min(best, seconds);
    }
    baseline.Report(state, best);
}

void BM_BaselineReadPhotoOnce(benchmark::State& state) {
    Window();  // made before the clock runs
    baseline.Run(state);
}
BENCHMARK(BM_BaselineReadPhotoOnce)->Unit(benchmark::kMillisecond);

void PaintCase(benchmark::State& state, LONG rotation, int width, int height) {
    CBenchPhotoWnd& window = Window();
    window.rotation = rotation;
    user::MoveWindow(window.GetSafeHwnd(), 100, 100, width, height, TRUE);
    user::ProcessMessagesFor(100);
    PaintRepeatedly(state, window);
}

void BM_PaintWindow900x600(benchmark::State& state) { PaintCase(state, 0, 900, 600); }
void BM_PaintWindow600x900QuarterTurn(benchmark::State& state) { PaintCase(state, 1, 600, 900); }
BENCHMARK(BM_PaintWindow900x600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintWindow600x900QuarterTurn)->Unit(benchmark::kMillisecond);

// The drawing routine alone, into a 32-bit image as Save draws.
void BM_DrawPhotoInto900x600Image(benchmark::State& state) {
    CDibImage& photo = Window().image;
    CDibImage target;
    if (!target.CreateDib(900, 600, 32, gdi::BI_RGB, nullptr, 0)) {
        state.SkipWithError("no image to draw into");
        return;
    }
    const gdi::HDC dc = target.AcquireDc();
    baseline.Measure(5);
    double best = 1e9;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (!DrawPhoto(dc, photo, 0, RECT{0, 0, 900, 600})) state.SkipWithError("nothing drawn");
        best = std::min(best, bench::SecondsSince(start));
    }
    target.ReturnDc();
    baseline.Report(state, best);
}
BENCHMARK(BM_DrawPhotoInto900x600Image)->Unit(benchmark::kMillisecond);

// One Save of the 900 x 600 window as JPEG, from the drawing into a new
// 32-bit image to the file on the disk (everything after the save dialog),
// for a photo without metadata and for one with a colour profile, EXIF
// (with a thumbnail and a GPS position to drop) and XMP: those of the
// metadata test photo.
void SaveCase(benchmark::State& state, bool withMetadata) {
    CBenchPhotoWnd& window = Window();
    CDibImage source;
    if (withMetadata && source.LoadFromFile(PELMORA_FIXTURE_IMAGES "/jpeg-metadata.jpg") != S_OK) {
        state.SkipWithError("no metadata photo");
        return;
    }
    window.image.CopyPropertyItems(source.propertyItems);
    window.rotation = 0;
    user::MoveWindow(window.GetSafeHwnd(), 100, 100, 900, 600, TRUE);
    user::ProcessMessagesFor(100);
    char folder[] = "/tmp/pelmora_bench_XXXXXX";
    if (!mkdtemp(folder)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string path = std::string(folder) + "/saved.jpg";
    RECT client{};
    user::GetClientRect(window.GetSafeHwnd(), &client);
    baseline.Measure(5);
    double best = 1e9;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (WriteShownPhoto(path.c_str(), window.image, window.rotation, client) != S_OK) {
            state.SkipWithError("nothing saved");
            break;
        }
        best = std::min(best, bench::SecondsSince(start));
    }
    std::remove(path.c_str());
    rmdir(folder);
    window.image.CopyPropertyItems(CPropertyItemList());
    baseline.Report(state, best);
}

void BM_SaveWindow900x600AsJpeg(benchmark::State& state) { SaveCase(state, false); }
void BM_SaveWindow900x600AsJpegWithMetadata(benchmark::State& state) { SaveCase(state, true); }
BENCHMARK(BM_SaveWindow900x600AsJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveWindow900x600AsJpegWithMetadata)->Unit(benchmark::kMillisecond);

// A window at the side limit, reaching past the screen on every side: its
// paint covers only the screen, and so does the memory it fills.
void BM_PaintWindowLargerThanTheScreen(benchmark::State& state) {
    CBenchPhotoWnd& window = Window();
    window.rotation = 0;
    user::MoveWindow(window.GetSafeHwnd(), -100, -100, 32767, 21844, TRUE);
    user::ProcessMessagesFor(200);
    std::ofstream("/proc/self/clear_refs") << "5";  // resets VmHWM to the current size
    const long before = bench::StatusKilobytes("VmRSS:");
    PaintRepeatedly(state, window);
    state.counters["peak_added_MB"] = (bench::StatusKilobytes("VmHWM:") - before) / 1024.0;
    user::MoveWindow(window.GetSafeHwnd(), 100, 100, 900, 600, TRUE);
    user::ProcessMessagesFor(100);
}
BENCHMARK(BM_PaintWindowLargerThanTheScreen)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::string error;
    if (!testsupport::StartPrivateXvfbForQt(&error)) {
        std::fprintf(stderr, "cannot start a private X server: %s\n", error.c_str());
        return 1;
    }
    if (!user::StartApplication(&error)) {
        std::fprintf(stderr, "cannot start the windowing service: %s\n", error.c_str());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Window().DestroyWindow();
    user::StopApplication();
    testsupport::StopPrivateXvfb();
    return 0;
}

// Page turns on a 300-dpi letter page of dense text: decode, the fit render, rotation and
// a screenful at 50%, each with its baseline timed in the same loop and shown as a ratio.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QImage>
#include <chrono>
#include <string>

#include "tools/bench/sample_page.h"
#include "viewer/imaging/page_image.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

const std::string& LetterPage() { return velk::bench::LetterPageTiff(); }

velk::PageImage Decode() {
    return velk::PageImage::loadMemory(LetterPage().data(), LetterPage().size());
}

constexpr int kFitWidth = 1000;

double FitZoom(const velk::PageImage& page) {
    return double(kFitWidth) / page.width();
}

// libtiff's G4 decode into the 1-bit page: the floor of every page turn.
void BM_DecodeG4(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Decode());
    state.counters["g4_kb"] = LetterPage().size() / 1024.0;
}
BENCHMARK(BM_DecodeG4)->Unit(benchmark::kMillisecond);

// Decode plus the smoothed fit render 1000 px wide. Target: turn/decode at most 2.5.
void BM_PageTurn(benchmark::State& state) {
    double decode = 0, turn = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        velk::PageImage page = Decode();
        decode += Since(t0);
        QImage shown = page.renderAll(FitZoom(page));
        benchmark::DoNotOptimize(shown.constBits());
        turn += Since(t0);
    }
    state.counters["turn/decode"] = turn / decode;
}
BENCHMARK(BM_PageTurn)->Unit(benchmark::kMillisecond);

// What a quick build would do: the page as a QImage, grey, smooth-scaled by Qt.
// Target: qimage/turn at least 8.
void BM_PageTurnQImageSmooth(benchmark::State& state) {
    double ours = 0, qt = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        velk::PageImage page = Decode();
        QImage shown = page.renderAll(FitZoom(page));
        benchmark::DoNotOptimize(shown.constBits());
        ours += Since(t0);
        t0 = Clock::now();
        velk::PageImage again = Decode();
        QImage grey = again.toQImage().convertToFormat(QImage::Format_Grayscale8);
        QImage scaled = grey.scaledToWidth(kFitWidth, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(scaled.constBits());
        qt += Since(t0);
    }
    state.counters["qimage/turn"] = qt / ours;
}
BENCHMARK(BM_PageTurnQImageSmooth)->Unit(benchmark::kMillisecond);

// A quarter turn of the decoded page. Target: rotate/decode at most 1.
void BM_Rotate90(benchmark::State& state) {
    velk::PageImage page = Decode();
    double decode = 0, rotate = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        page.rotate(1);
        rotate += Since(t0);
        state.PauseTiming();
        t0 = Clock::now();
        benchmark::DoNotOptimize(Decode());
        decode += Since(t0);
        state.ResumeTiming();
    }
    state.counters["rotate/decode"] = rotate / decode;
}
BENCHMARK(BM_Rotate90)->Unit(benchmark::kMillisecond);

// A 1920 x 1080 screenful at 50% and at 100%, against converting the whole page to a
// QImage (what a viewer that renders whole pages pays on every zoom change).
void BM_RenderScreen(benchmark::State& state) {
    const double zoom = state.range(0) / 100.0;
    velk::PageImage page = Decode();
    const QRect screen(200, 300, 1920, 1080);
    double render = 0, whole = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        QImage img = page.render(screen, zoom);
        benchmark::DoNotOptimize(img.constBits());
        render += Since(t0);
        state.PauseTiming();
        t0 = Clock::now();
        QImage all = page.toQImage();
        benchmark::DoNotOptimize(all.constBits());
        whole += Since(t0);
        state.ResumeTiming();
    }
    state.counters["screen/fullpage_qimage"] = render / whole;
}
BENCHMARK(BM_RenderScreen)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);

// Two 400-dpi letter pages held at once, as the two viewers do. Target: peak RSS < 150 MB.
void BM_TwoPagesAt400Dpi(benchmark::State& state) {
    const std::string tiff = velk::bench::DescriptionPageTiff(3400, 4400, 400);
    for (auto _ : state) {
        velk::PageImage a = velk::PageImage::loadMemory(tiff.data(), tiff.size());
        velk::PageImage b = velk::PageImage::loadMemory(tiff.data(), tiff.size());
        QImage shownA = a.renderAll(0.3), shownB = b.renderAll(0.5);
        benchmark::DoNotOptimize(shownA.constBits());
        benchmark::DoNotOptimize(shownB.constBits());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = usage.ru_maxrss / 1024.0;
}
BENCHMARK(BM_TwoPagesAt400Dpi)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

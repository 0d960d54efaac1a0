// A scroll by one screen at 100% with the tile cache warm, from the scroll to the
// viewport painted, beside a repaint of the same screen that moved nothing.
#include <benchmark/benchmark.h>

#include <QScrollBar>
#include <chrono>
#include <string>

#include "tools/bench/sample_page.h"
#include "viewer/imaging/page_image.h"
#include "viewer/ui/imaging_control.h"

namespace {

velk::PageImage LetterPage() {
    const std::string& tiff = velk::bench::LetterPageTiff();
    return velk::PageImage::loadMemory(tiff.data(), tiff.size());
}

void BM_ScrollRepaint(benchmark::State& state) {
    velk::ImagingControl control;
    control.resize(1280, 900);
    control.show();
    control.ShowPage(LetterPage());
    control.ZoomLevel(100);
    QScrollBar* bar = control.verticalScrollBar();
    QWidget* viewport = control.viewport();
    // Warm: every screen of the page painted once, so its tiles are in the cache.
    for (int v = 0; v <= bar->maximum(); v += bar->pageStep()) {
        bar->setValue(v);
        benchmark::DoNotOptimize(viewport->grab());
    }
    bar->setValue(0);
    double repaint = 0, scroll = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        const int next = bar->value() + bar->pageStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        benchmark::DoNotOptimize(viewport->grab());
        scroll += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.PauseTiming();
        t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(viewport->grab());
        repaint += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.ResumeTiming();
    }
    state.counters["screens"] = double(bar->maximum()) / bar->pageStep() + 1;
    state.counters["scroll/repaint"] = scroll / repaint;
}
BENCHMARK(BM_ScrollRepaint)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

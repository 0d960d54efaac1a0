// "Next page" in a viewer, from the command to the page painted in the control, on a
// 30-page patent container document of 300-dpi letter pages: with the next page decoded
// on the worker while the reader looks at the current one, and without; and the page
// strip's thumbnails of such documents, and a page turn while they are being made.
// The page turn is also measured on a 30-page TIFF. read_kb_per_page: what the process
// read from files for each page turn, the prefetch of the page after it included.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <thread>

#include "platform/app.h"
#include "shell/ui/page_strip.h"
#include "tests/support/bytes_read.h"
#include "tests/support/sample_install.h"
#include "tools/mksample/documents.h"
#include "tools/mksample/mksample.h"
#include "viewer/ui/frm_view.h"
#include "viewer/ui/imaging_control.h"

namespace {

namespace fs = std::filesystem;
namespace mks = velk::mksample;

constexpr int kPages = 30;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// A tower installation at full resolution whose container and TIFF documents have
// `pages` pages.
struct Installation {
    fs::path root;
    mks::SampleOptions o;
    mks::SampleResult s;
    mks::SampleDocument doc, tiff;

    explicit Installation(int pageCount = kPages)
        : root(fs::temp_directory_path() /
               ("velk-viewer-bench-" + std::to_string(::getpid()) + "-" + std::to_string(pageCount))) {
        fs::remove_all(root);
        o.collection = mks::Collection::Quorvel;
        o.outDir = root;
        o.mode = mks::DriveMode::Tower;
        o.volumes = 1;
        o.documentsPerVolume = 3;
        o.pageScale = 1.0;
        s = mks::MakeSample(o);
        doc = lengthen(mks::ImageKind::Container, pageCount);
        tiff = lengthen(mks::ImageKind::TiffTextMap, pageCount);
    }
    ~Installation() { fs::remove_all(root); }

    // The volume's first document of that kind, written again with pageCount pages.
    mks::SampleDocument lengthen(mks::ImageKind kind, int pageCount) {
        const mks::SampleVolume& v = s.volumes.front();
        mks::SampleDocument found;
        for (const mks::SampleDocument& d : s.documents)
            if (d.kind == kind && d.volume == v.name) {
                found = d;
                break;
            }
        if (found.number.empty()) throw std::runtime_error("no document of the kind asked for");
        mks::DocumentPlan plan =
            mks::PlanDocument(o.collection, found.number, kind, mks::Geometry(o.paper, 1.0), o.seed);
        std::vector<mks::PageSpec> pages;
        for (int p = 1; p <= pageCount; ++p) {
            mks::PageSpec spec = plan.pages[static_cast<std::size_t>(p - 1) % plan.pages.size()];
            spec.page = p;
            spec.pages = pageCount;
            pages.push_back(spec);
        }
        plan.pages = pages;
        mks::VolumeTarget target{v.dir, v.lowerCase, true, "VelkWp.INI"};
        mks::WriteDocument(o.collection, plan, target, found);
        return found;
    }
};

Installation& Shared(int pages = kPages) {
    static std::map<int, std::unique_ptr<Installation>> made;
    auto& in = made[pages];
    if (!in) in = std::make_unique<Installation>(pages);
    return *in;
}

// One viewer as the main window holds it, its document shown, and the page strip beside
// it at the height the main window gives it on a 1280 x 1024 screen.
struct StripDesk {
    velk::App app;
    QMdiArea area;
    velk::Viewers viewers{app, &area};
    velk::PageStrip strip{app};
    bool shown = false;

    explicit StripDesk(Installation& in) {
        velk::test::PointAppAt(app, in.s, mks::DriveMode::Tower);
        area.resize(1000, 900);
        area.show();
        strip.resize(160, 880);
        strip.show();
        viewers.onPageTurn = [this](int n) { strip.pageTurnStarting(viewers.view(n)->accView->viewport()); };
        app.doc.CurDocNo = in.doc.number;
        app.doc.CurVolume = in.doc.volume;
        shown = viewers.DisplayDocument(1);
    }
    // The strip takes up the viewer's document.
    void follow() { strip.follow(viewers.state()); }
    bool made(const std::vector<int>& pages) {
        for (int p : pages)
            if (!strip.thumbnails().get(p)) return false;
        return true;
    }
};

// Budgets are checked here, against the figure of this run.
void Budget(benchmark::State& state, double value, double limit, const char* what) {
    state.SetLabel(value <= limit ? std::string("within ") + what : std::string("OVER ") + what);
}

void BM_NextPageShown(benchmark::State& state, bool prefetch, bool tiff) {
    Installation& in = Shared();
    const mks::SampleDocument& doc = tiff ? in.tiff : in.doc;
    velk::App app;
    velk::test::PointAppAt(app, in.s, mks::DriveMode::Tower);
    QMdiArea area;
    area.resize(1280, 1000);
    area.show();
    velk::Viewers viewers(app, &area);
    viewers.setPrefetch(prefetch);
    app.doc.CurDocNo = doc.number;
    app.doc.CurVolume = doc.volume;
    if (!viewers.DisplayDocument(1)) {
        state.SkipWithError("the document did not open");
        return;
    }
    QWidget* viewport = viewers.view(1)->accView->viewport();
    int shown = 0;
    std::uint64_t read = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (viewers.atLastPage()) viewers.FirstPage();
        viewers.settlePrefetch();  // the reader looks at the page for longer than a decode
        const std::uint64_t before = velk::test::BytesRead();
        state.ResumeTiming();
        viewers.NextPage();
        benchmark::DoNotOptimize(viewport->grab());  // paints the visible tiles
        state.PauseTiming();
        viewers.settlePrefetch();
        read += velk::test::BytesRead() - before;
        state.ResumeTiming();
        ++shown;
    }
    state.counters["pages"] = kPages;
    state.counters["read_kb_per_page"] = shown ? read / 1024.0 / shown : 0;
    state.counters["page_px"] = viewers.view(1)->accView->page().width();
    state.SetItemsProcessed(shown);
}
BENCHMARK_CAPTURE(BM_NextPageShown, prefetch, true, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_NextPageShown, noprefetch, false, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_NextPageShown, tiff_prefetch, true, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_NextPageShown, tiff_noprefetch, false, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// From the strip taking up a 30-page document to the thumbnails of the pages it shows.
// Budget: 150 ms.
void BM_StripVisibleThumbnails(benchmark::State& state) {
    StripDesk desk(Shared(kPages));
    if (!desk.shown) return state.SkipWithError("the document did not open");
    double total = 0;
    int visible = 0;
    for (auto _ : state) {
        state.PauseTiming();
        desk.strip.follow({});  // no document: the next follow starts afresh
        QApplication::processEvents();
        state.ResumeTiming();
        const auto t0 = Clock::now();
        desk.follow();
        std::vector<int> pages;
        while (pages.empty() || !desk.made(pages)) {
            QApplication::processEvents();  // lays the strip out; takes the thumbnails up
            pages = desk.strip.visiblePages();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        total += MsSince(t0);
        visible = static_cast<int>(pages.size());
    }
    const double ms = total / static_cast<double>(state.iterations());
    state.counters["visible"] = visible;
    state.counters["visible_ms"] = ms;
    Budget(state, ms, 150, "150 ms");
}
BENCHMARK(BM_StripVisibleThumbnails)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Every thumbnail of a 100-page document. Budget: 1.5 s.
void BM_StripAllThumbnails(benchmark::State& state) {
    StripDesk desk(Shared(100));
    if (!desk.shown) return state.SkipWithError("the document did not open");
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        desk.strip.follow({});
        QApplication::processEvents();
        state.ResumeTiming();
        const auto t0 = Clock::now();
        desk.follow();
        desk.strip.thumbnails().waitIdle();
        total += MsSince(t0);
        if (desk.strip.thumbnails().made() != 100) state.SkipWithError("not every page was made");
    }
    const double ms = total / static_cast<double>(state.iterations());
    state.counters["all_ms"] = ms;
    Budget(state, ms, 1500, "1.5 s");
}
BENCHMARK(BM_StripAllThumbnails)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// "Next page" while the strip makes thumbnails, against a turn without them, turn by turn
// in the same loop. Budget: strip/plain at most 1.10.
void BM_NextPageShownWhileThumbnailing(benchmark::State& state) {
    Installation& in = Shared(kPages);
    StripDesk desk(in);
    if (!desk.shown) return state.SkipWithError("the document did not open");
    velk::Thumbnailer& thumbs = desk.strip.thumbnails();
    const velk::ViewerState& viewer = desk.app.viewers[0];
    QWidget* viewport = desk.viewers.view(1)->accView->viewport();
    double plain = 0, strip = 0;
    auto turn = [&] {
        if (desk.viewers.atLastPage()) desk.viewers.FirstPage();
        desk.viewers.settlePrefetch();  // the reader looks at the page for longer than a decode
        QApplication::processEvents();  // the last turn's paint lets the worker go on
        const auto t0 = Clock::now();
        desk.viewers.NextPage();
        benchmark::DoNotOptimize(viewport->grab());  // paints the visible tiles
        return MsSince(t0);
    };
    auto without = [&] {
        thumbs.clear();
        thumbs.waitIdle();
        std::this_thread::sleep_for(std::chrono::milliseconds(3));  // as long a pause as with them
        plain += turn();
    };
    auto with = [&] {
        // A whole document to make, the worker in the middle of a page when the turn comes.
        thumbs.setDocument([viewer](int p) { return velk::PageRequestOf(viewer, false, p); }, kPages,
                           static_cast<int>(96 * viewport->devicePixelRatioF()));
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
        strip += turn();
    };
    bool first = true;  // which goes first alternates: neither gains from the other's warm caches
    for (auto _ : state) {
        if (first) {
            without();
            with();
        } else {
            with();
            without();
        }
        first = !first;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["plain_ms"] = plain / n;
    state.counters["strip_ms"] = strip / n;
    state.counters["strip/plain"] = strip / plain;
    Budget(state, strip / plain, 1.10, "1.10");
}
BENCHMARK(BM_NextPageShownWhileThumbnailing)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(200);

}  // namespace

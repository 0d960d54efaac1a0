// "Next page" in a viewer, from the command to the page painted in the control, on a
// 30-page patent container document of 300-dpi letter pages: with the next page decoded
// on the worker while the reader looks at the current one, and without.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <unistd.h>

#include "platform/app.h"
#include "tests/support/sample_install.h"
#include "tools/mksample/documents.h"
#include "tools/mksample/mksample.h"
#include "viewer/ui/frm_view.h"
#include "viewer/ui/imaging_control.h"

namespace {

namespace fs = std::filesystem;
namespace mks = velk::mksample;

constexpr int kPages = 30;

// A tower installation at full resolution whose container document has 30 pages.
struct Installation {
    fs::path root = fs::temp_directory_path() / ("velk-viewer-bench-" + std::to_string(::getpid()));
    mks::SampleResult s;
    mks::SampleDocument doc;

    Installation() {
        fs::remove_all(root);
        mks::SampleOptions o;
        o.collection = mks::Collection::Quorvel;
        o.outDir = root;
        o.mode = mks::DriveMode::Tower;
        o.volumes = 1;
        o.documentsPerVolume = 3;
        o.pageScale = 1.0;
        s = mks::MakeSample(o);
        const mks::SampleVolume& v = s.volumes.front();
        for (mks::SampleDocument& d : s.documents)
            if (d.kind == mks::ImageKind::Container && d.volume == v.name) {
                doc = d;
                break;
            }
        if (doc.number.empty()) throw std::runtime_error("no container document");
        mks::DocumentPlan plan = mks::PlanDocument(o.collection, doc.number, mks::ImageKind::Container,
                                                   mks::Geometry(o.paper, 1.0), o.seed);
        std::vector<mks::PageSpec> pages;
        for (int p = 1; p <= kPages; ++p) {
            mks::PageSpec spec = plan.pages[static_cast<std::size_t>(p - 1) % plan.pages.size()];
            spec.page = p;
            spec.pages = kPages;
            pages.push_back(spec);
        }
        plan.pages = pages;
        mks::VolumeTarget target{v.dir, v.lowerCase, true, "VelkWp.INI"};
        mks::WriteDocument(o.collection, plan, target, doc);
    }
    ~Installation() { fs::remove_all(root); }
};

Installation& Shared() {
    static Installation installation;
    return installation;
}

void BM_NextPageShown(benchmark::State& state, bool prefetch) {
    Installation& in = Shared();
    velk::App app;
    velk::test::PointAppAt(app, in.s, mks::DriveMode::Tower);
    QMdiArea area;
    area.resize(1280, 1000);
    area.show();
    velk::Viewers viewers(app, &area);
    viewers.setPrefetch(prefetch);
    app.doc.CurDocNo = in.doc.number;
    app.doc.CurVolume = in.doc.volume;
    if (!viewers.DisplayDocument(1)) {
        state.SkipWithError("the document did not open");
        return;
    }
    QWidget* viewport = viewers.view(1)->accView->viewport();
    int shown = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (viewers.atLastPage()) viewers.FirstPage();
        viewers.settlePrefetch();  // the reader looks at the page for longer than a decode
        state.ResumeTiming();
        viewers.NextPage();
        benchmark::DoNotOptimize(viewport->grab());  // paints the visible tiles
        ++shown;
    }
    state.counters["pages"] = kPages;
    state.counters["page_px"] = viewers.view(1)->accView->page().width();
    state.SetItemsProcessed(shown);
}
BENCHMARK_CAPTURE(BM_NextPageShown, prefetch, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_NextPageShown, noprefetch, false)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

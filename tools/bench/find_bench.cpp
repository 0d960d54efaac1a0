// One keystroke in the find dialog's number box on a 1,000,000-record patent index:
// the look-up plus reading the 20 lines the window then shows. Baseline in the same
// loop: the same keystroke reading the window one record at a time.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/vb_text.h"
#include "index/cumulative_index.h"
#include "index/find_window.h"
#include "platform/app.h"
#include "tools/mksample/mksample.h"

namespace fs = std::filesystem;
namespace mks = velk::mksample;

namespace {

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

struct TypingIndex {
    fs::path dir;
    velk::App app;
    std::vector<std::string> keystrokes;  // every prefix of present numbers, as typed

    explicit TypingIndex(long records) {
        std::string tmpl = (fs::temp_directory_path() / "velk-bench-find-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        dir = tmpl;
        mks::SampleOptions o;
        o.collection = mks::Collection::Quorvel;
        o.outDir = dir / "inst";
        o.volumes = 1;
        o.documentsPerVolume = 2;
        o.indexRecords = records;
        o.pageScale = 0.05;
        mks::SampleResult s = mks::MakeSample(o);
        app.config.CollectionMode = s.collectionMode;
        app.config.AppDir = s.appDir.string();
        app.config.CurrentIndexPath = s.indexFile.string();
        app.drives = velk::Drives::load(app.config.AppDir);
        velk::CumIndexFile index(s.indexFile);
        std::mt19937 rng(11);
        std::uniform_int_distribution<std::int32_t> pick(1, index.count());
        while (keystrokes.size() < 4096) {
            const std::string number = velk::Trim(index.record(pick(rng)).DocNo);
            for (std::size_t n = 1; n <= number.size(); ++n) keystrokes.push_back(number.substr(0, n));
        }
    }
    ~TypingIndex() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

TypingIndex& Index(long records) {
    static TypingIndex in(records);
    return in;
}

// What the window shows after the key, read the way the dialog reads it.
std::size_t Keystroke(velk::App& app, const std::string& key) {
    const velk::Int16 r = velk::FindInCum(app, key);
    if (r < 1 && r != -2) return 0;
    velk::CumIndexFile index = velk::OpenCumIndex(app);
    velk::FindWindow w(index.count());
    w.showRecord(app.LastCumRecord);
    return velk::WindowLines(index, w, app.config.CollectionMode).size();
}

// The baseline: the same, one positioned read per record of the window.
std::size_t KeystrokeRecordByRecord(velk::App& app, const std::string& key) {
    const velk::Int16 r = velk::FindInCum(app, key);
    if (r < 1 && r != -2) return 0;
    velk::CumIndexFile index = velk::OpenCumIndex(app);
    velk::FindWindow w(index.count());
    w.showRecord(app.LastCumRecord);
    std::size_t n = 0;
    for (std::int32_t i = w.first(); i <= w.last(); ++i) n += velk::FindEntryText(index.record(i)).size() > 0;
    return n;
}

void BM_FindTyping(benchmark::State& state) {
    TypingIndex& in = Index(state.range(0));
    std::size_t i = 0, keys = 0;
    double typing = 0, baseline = 0;
    for (auto _ : state) {
        const std::string& key = in.keystrokes[i++ % in.keystrokes.size()];
        auto t0 = Clock::now();
        if (Keystroke(in.app, key) != 20) state.SkipWithError("the window does not show 20 lines");
        typing += Since(t0);
        state.PauseTiming();
        t0 = Clock::now();
        benchmark::DoNotOptimize(KeystrokeRecordByRecord(in.app, key));
        baseline += Since(t0);
        ++keys;
        state.ResumeTiming();
    }
    // Reads of the file per keystroke: the search and the window, each on the index
    // freshly opened as the dialog opens it, with their reads counted.
    long most = 0, all = 0;
    for (std::size_t k = 0; k < 2000; ++k) {
        velk::CumIndexFile searched = velk::OpenCumIndex(in.app);
        velk::CumSearch hit = velk::SearchByPrefix(searched, in.keystrokes[k]);
        velk::CumIndexFile shown = velk::OpenCumIndex(in.app);
        velk::FindWindow w(shown.count());
        w.showRecord(hit.record);
        velk::WindowLines(shown, w, in.app.config.CollectionMode);
        const long reads = searched.file().fileReads() + shown.file().fileReads();
        most = std::max(most, reads);
        all += reads;
    }
    state.counters["file_reads_per_key"] = static_cast<double>(all) / 2000.0;
    state.counters["max_file_reads"] = static_cast<double>(most);
    state.counters["typing/record_by_record"] = keys ? typing / baseline : 0;
}
BENCHMARK(BM_FindTyping)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace

// The import of a number list against a 1,000,000-record cumulative index, from
// reading the file to the lists stored: in one transaction (a savepoint per row),
// and beside it the same rows with a commit per row, timed in the same loop.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "index/cumulative_index.h"
#include "index/import_file.h"
#include "index/import_run.h"
#include "lists/list_store.h"
#include "platform/app.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kIndexRecords = 1000000;

class CountingMessages : public velk::Messages {
public:
    long shown = 0;
    velk::Answer show(const std::string&, const std::string&, velk::Buttons, velk::Icon) override {
        ++shown;
        return velk::Answer::OK;
    }
};

struct World {
    fs::path dir;
    CountingMessages messages;
    velk::App app;
    std::unique_ptr<velk::ListStore> store;

    World() {
        std::string tmpl = (fs::temp_directory_path() / "velk-bench-import-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        dir = tmpl;
        // Numbers 1000000 to 1999999: seven digits, so text order is number order.
        std::string bytes;
        bytes.reserve(std::size_t(kIndexRecords) * velk::kCumRecordLength);
        char rec[32];
        for (int i = 0; i < kIndexRecords; ++i) {
            std::snprintf(rec, sizeof rec, "%-8d%-10s%-6d\r\n", 1000000 + i, ("V" + std::to_string(i / 5000)).c_str(),
                          1 + i % 40);
            bytes += rec;
        }
        std::ofstream(dir / "cum.idx", std::ios::binary) << bytes;
        app.config.CollectionMode = velk::kModePatents;
        app.config.AppDir = dir.string();
        app.config.CurrentIndexPath = (dir / "cum.idx").string();
        app.ports.messages = &messages;
        store = std::make_unique<velk::ListStore>(dir / "VELKWp.mdb", velk::kModePatents);
        if (!store->OpenDatabases()) std::abort();
        app.lists = store.get();
    }
    ~World() {
        store.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    // n numbers a line each, one in twenty absent from the index.
    std::string listFile(int n) {
        const fs::path p = dir / ("list" + std::to_string(n) + ".txt");
        if (!fs::exists(p)) {
            std::mt19937 rng(n);
            std::ofstream out(p, std::ios::binary);
            for (int i = 0; i < n; ++i)
                out << (i % 20 == 19 ? 2000000 + i : 1000000 + int(rng() % kIndexRecords)) << "\r\n";
        }
        return p.string();
    }
    void clear() { store->ClearTables(); }
};

World& Shared() {
    static World w;
    return w;
}

double Since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

double ImportOnce(World& w, const std::string& file) {
    velk::ImportRequest req;
    req.path = file;
    const auto t0 = Clock::now();
    velk::ImportResult r = velk::RunImport(w.app, req, {});
    const double s = Since(t0);
    if (r.outcome != velk::ImportResult::Processed || r.incomplete()) std::abort();
    return s;
}

// What a naive port does: the same steps, each add committed on its own.
double AutocommitOnce(World& w, const std::string& file) {
    const auto t0 = Clock::now();
    velk::ImportTable table;
    if (!velk::ReadImportFile(file, w.app.config.CollectionMode, table)) std::abort();
    velk::CumIndex(w.app, table);
    velk::ImportCounts counts;
    velk::Clip2Found(w.app, table, counts);
    velk::Clip2NotFound(w.app, table, counts);
    const double s = Since(t0);
    if (counts.dropped) std::abort();
    return s;
}

void BM_ImportFile(benchmark::State& state) {
    World& w = Shared();
    const std::string file = w.listFile(static_cast<int>(state.range(0)));
    double ours = 0, naive = 0;
    const bool withBaseline = state.range(0) <= 1000;
    for (auto _ : state) {
        state.PauseTiming();
        w.clear();
        state.ResumeTiming();
        ours += ImportOnce(w, file);
        if (withBaseline) {
            state.PauseTiming();
            w.clear();
            naive += AutocommitOnce(w, file);
            state.ResumeTiming();
        }
    }
    state.counters["found"] = w.store->FoundCount();
    state.counters["not_found"] = w.store->NotFoundCount();
    if (withBaseline) state.counters["autocommit/one_tx"] = ours > 0 ? naive / ours : 0;
}
BENCHMARK(BM_ImportFile)->Arg(1000)->Arg(32000)->Unit(benchmark::kMillisecond);

void BM_ImportFileAutocommit(benchmark::State& state) {
    World& w = Shared();
    const std::string file = w.listFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        w.clear();
        state.ResumeTiming();
        AutocommitOnce(w, file);
    }
}
BENCHMARK(BM_ImportFileAutocommit)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

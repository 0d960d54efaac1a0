// The list store: emptying the lists at start-up against filling them.
// 32,000 documents give 32,000 rows in each of the seven tables.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "lists/list_store.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRows = 32000;

std::string Entry(int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "D%07d V%04d", i, i % 150);
    return buf;
}

// Each document the way the find dialog and the import add it: its own transaction.
void Fill(velk::ListStore& store) {
    for (int i = 0; i < kRows; ++i) {
        std::string e = Entry(i);
        velk::Int16 pages = 1 + i % 40;
        bool ok = store.AddToFound(e, pages) && store.AddToPrint(e, pages) && store.AddToExport(e, pages) &&
                  store.AddToNotFound(e, pages);
        if (!ok) std::abort();
    }
}

// One store in a scratch directory for the whole run.
struct Bench {
    fs::path dir;
    std::unique_ptr<velk::ListStore> store;
    Bench() {
        std::string tmpl = (fs::temp_directory_path() / "velk-bench-lists-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        dir = tmpl;
        store = std::make_unique<velk::ListStore>(dir / "VELKWp.mdb", velk::kModePatents);
        if (!store->OpenDatabases()) std::abort();
    }
    ~Bench() {
        store.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

velk::ListStore& Store() {
    static Bench bench;
    return *bench.store;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_InsertRows(benchmark::State& state) {
    auto& store = Store();
    for (auto _ : state) {
        state.PauseTiming();
        store.ClearTables();
        state.ResumeTiming();
        Fill(store);
    }
    state.counters["rows"] = 7.0 * kRows;
}
BENCHMARK(BM_InsertRows)->Unit(benchmark::kMillisecond)->Iterations(2);

// Times the filling too, so the ratio to its baseline comes from the same run.
void BM_ClearTables(benchmark::State& state) {
    auto& store = Store();
    double fill = 0, clear = 0;
    for (auto _ : state) {
        state.PauseTiming();
        store.ClearTables();
        auto t0 = std::chrono::steady_clock::now();
        Fill(store);
        fill += Seconds(t0);
        state.ResumeTiming();
        t0 = std::chrono::steady_clock::now();
        if (!store.ClearTables() || store.Count(velk::ListTable::ToExport) != 0) std::abort();
        clear += Seconds(t0);
    }
    state.counters["rows"] = 7.0 * kRows;
    state.counters["insert_ms"] = fill * 1e3 / static_cast<double>(state.iterations());
    // Target: at most 0.2.
    state.counters["clear/insert"] = fill > 0 ? clear / fill : 0;
}
BENCHMARK(BM_ClearTables)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

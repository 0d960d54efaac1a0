// The model's share of start-up on a default sample installation: the configuration,
// the list store's opening, the cumulative index check and the emptying of the lists.
// The configuration read alone runs beside it as the baseline.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "lists/list_store.h"
#include "shell/config.h"
#include "shell/startup.h"
#include "tools/mksample/mksample.h"

namespace fs = std::filesystem;

namespace {

struct Installation {
    fs::path dir;
    std::string appDir;
    Installation() {
        dir = fs::temp_directory_path() / ("velk-bench-startup-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        velk::mksample::SampleOptions o;
        o.outDir = dir;
        appDir = velk::mksample::MakeSample(o).appDir.string();
    }
    ~Installation() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Installation& Sample() {
    static Installation inst;
    return inst;
}

velk::App Prepared() {
    velk::App app;
    app.config.CollectionMode = velk::CollectionFromProgramName("velkwp");
    app.config.AppDir = Sample().appDir;
    return app;
}

// The list file of the run; removed between iterations for a first start.
void RemoveListFile() {
    velk::App app = Prepared();
    std::error_code ec;
    for (const char* side : {"", "-wal", "-shm", "-journal"})
        fs::remove(app.config.appFile(app.config.listDatabaseName()) + side, ec);
}

// The model's share of one start: the sample is made before the clock starts.
void StartOnce() {
    velk::App app = Prepared();
    if (!velk::ReadIni(app)) std::abort();
    velk::ListStore lists(app.config);
    if (!lists.OpenDatabases()) std::abort();
    std::string missing;
    if (!velk::FindCumulativeIndex(app.config, &missing)) std::abort();
    if (!lists.ClearTables(false)) std::abort();
    lists.Close();
}

// A start on an installation whose list file an earlier run left.
void BM_StartupModel(benchmark::State& state) {
    Sample();
    StartOnce();
    for (auto _ : state) StartOnce();
}
BENCHMARK(BM_StartupModel)->Unit(benchmark::kMillisecond);

// The first start: the list file and its tables are created.
void BM_StartupModelNewListFile(benchmark::State& state) {
    Sample();
    for (auto _ : state) {
        state.PauseTiming();
        RemoveListFile();
        state.ResumeTiming();
        StartOnce();
    }
}
BENCHMARK(BM_StartupModelNewListFile)->Unit(benchmark::kMillisecond);

void BM_StartupModelBaselineReadIni(benchmark::State& state) {
    Sample();
    for (auto _ : state) {
        velk::App app = Prepared();
        if (!velk::ReadIni(app)) std::abort();
        benchmark::DoNotOptimize(app.config.CdDriveLetter);
    }
}
BENCHMARK(BM_StartupModelBaselineReadIni)->Unit(benchmark::kMillisecond);

}  // namespace

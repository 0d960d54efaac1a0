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

void BM_StartupModel(benchmark::State& state) {
    for (auto _ : state) {
        velk::App app = Prepared();
        if (!velk::ReadIni(app)) std::abort();
        velk::ListStore lists(app.config);
        if (!lists.OpenDatabases()) std::abort();
        std::string missing;
        if (!velk::FindCumulativeIndex(app.config, &missing)) std::abort();
        if (!lists.ClearTables(false)) std::abort();
        lists.Close();
    }
}
BENCHMARK(BM_StartupModel)->Unit(benchmark::kMillisecond);

void BM_StartupModelBaselineReadIni(benchmark::State& state) {
    for (auto _ : state) {
        velk::App app = Prepared();
        if (!velk::ReadIni(app)) std::abort();
        benchmark::DoNotOptimize(app.config.CdDriveLetter);
    }
}
BENCHMARK(BM_StartupModelBaselineReadIni)->Unit(benchmark::kMillisecond);

}  // namespace

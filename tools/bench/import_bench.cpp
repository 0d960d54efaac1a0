// The import of a number list against a 1,000,000-record cumulative index, from
// reading the file to the lists stored: in one transaction (a savepoint per row),
// and beside it the same rows with a commit per row, timed in the same loop.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "common/vb_text.h"
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

// A naive port on SQLite as it comes (rollback journal, a sync at every commit): each
// table write of an added row committed on its own, into a file of the same schema.
double NaivePortOnce(World& w, const std::string& file) {
    const fs::path db = w.dir / "naive.db";
    fs::remove(db);
    {
        velk::ListStore schema(db, velk::kModePatents);
        if (!schema.OpenDatabases()) std::abort();
    }
    sqlite3* h = nullptr;
    if (sqlite3_open(db.c_str(), &h) != SQLITE_OK) std::abort();
    sqlite3_exec(h, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    const auto t0 = Clock::now();
    velk::ImportTable table;
    if (!velk::ReadImportFile(file, w.app.config.CollectionMode, table)) std::abort();
    velk::CumIndex(w.app, table);
    sqlite3_stmt* ins[4] = {};
    const char* names[4] = {"Found", "FoundOrder", "Remaining", "RemainingOrder"};
    for (int i = 0; i < 4; ++i) {
        const std::string sql = std::string("INSERT INTO ") + names[i] + " (DocumentNo, Pages, Volume) VALUES (?1, ?2, ?3)";
        if (sqlite3_prepare_v2(h, sql.c_str(), -1, &ins[i], nullptr) != SQLITE_OK) std::abort();
    }
    for (const velk::ImportRow& row : table.rows) {
        if (velk::Trim(row.Found) != "Y") continue;
        for (sqlite3_stmt* st : ins) {
            sqlite3_bind_text(st, 1, row.EntryText.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(st, 2, velk::ValInt(row.Pages));
            sqlite3_bind_text(st, 3, row.EntryText.c_str() + std::min<std::size_t>(9, row.EntryText.size()), -1,
                              SQLITE_TRANSIENT);
            if (sqlite3_step(st) != SQLITE_DONE) std::abort();
            sqlite3_reset(st);
        }
    }
    const double s = Since(t0);
    for (sqlite3_stmt* st : ins) sqlite3_finalize(st);
    sqlite3_close(h);
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

// Beside the one above: this store commits without waiting for the disk (its lists are
// emptied at every start), so a commit per row costs it little; what the same rows cost
// a port that commits each write durably is this.
void BM_ImportFileNaivePort(benchmark::State& state) {
    World& w = Shared();
    const std::string file = w.listFile(static_cast<int>(state.range(0)));
    for (auto _ : state) state.SetIterationTime(NaivePortOnce(w, file));
}
BENCHMARK(BM_ImportFileNaivePort)->Arg(1000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// Numbers on one line cost what the same numbers a line each cost: the line is split
// in one pass. The list of one number a line is timed in the same loop.
void BM_ReadListOneLine(benchmark::State& state) {
    World& w = Shared();
    const int n = static_cast<int>(state.range(0));
    const fs::path oneLine = w.dir / ("line" + std::to_string(n) + ".txt");
    const fs::path lines = w.dir / ("lines" + std::to_string(n) + ".txt");
    {
        std::ofstream a(oneLine, std::ios::binary), b(lines, std::ios::binary);
        for (int i = 0; i < n; ++i) {
            a << 1000000 + i << ' ';
            b << 1000000 + i << "\r\n";
        }
    }
    double split = 0, perLine = 0;
    for (auto _ : state) {
        velk::ImportTable table;
        if (!velk::ReadImportFile(oneLine.string(), velk::kModePatents, table) ||
            table.size() != std::size_t(n))
            std::abort();
        state.PauseTiming();
        const auto t0 = Clock::now();
        if (!velk::ReadImportFile(lines.string(), velk::kModePatents, table)) std::abort();
        perLine += Since(t0);
        state.ResumeTiming();
    }
    split = state.iterations() ? perLine / static_cast<double>(state.iterations()) : 0;
    state.counters["lines_ms"] = split * 1000;
}
// 8000 numbers of 8 bytes: the longest line a list may have.
BENCHMARK(BM_ReadListOneLine)->Arg(8000)->Unit(benchmark::kMillisecond);

}  // namespace

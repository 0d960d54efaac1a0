// Look-ups of the cumulative index and of a volume's open.idx on generated
// installations: one find, a whole imported table against the per-probe baseline,
// and the locator's search of a 50,000-record open.idx.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/vb_text.h"
#include "index/cumulative_index.h"
#include "platform/app.h"
#include "tools/mksample/mksample.h"
#include "viewer/document_locator.h"

namespace fs = std::filesystem;
namespace mks = velk::mksample;

namespace {

// Any message box during a benchmark means the measured path failed.
class CountingMessages : public velk::Messages {
public:
    long shown = 0;
    velk::Answer show(const std::string&, const std::string&, velk::Buttons, velk::Icon) override {
        ++shown;
        return velk::Answer::OK;
    }
};

struct Installation {
    fs::path dir;
    mks::SampleResult s;
    CountingMessages messages;
    velk::App app;
    std::vector<std::string> numbers;  // every number of the index, trimmed, in index order

    Installation(mks::Collection c, long indexRecords, int documents) {
        std::string tmpl = (fs::temp_directory_path() / "velk-bench-index-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        dir = tmpl;
        mks::SampleOptions o;
        o.collection = c;
        o.outDir = dir / "inst";
        o.volumes = 1;
        o.documentsPerVolume = documents;
        o.indexRecords = indexRecords;
        o.pageScale = 0.05;
        s = mks::MakeSample(o);
        velk::Config& k = app.config;
        k.CollectionMode = s.collectionMode;
        k.AppDir = s.appDir.string();
        // Built as strings first: GCC 12 warns falsely on assigning these literals here.
        k.SmartCdOn = std::string("N");
        k.CDDrive = std::string("E:");
        k.OpenIdxPath = k.CDDrive + "\\open.idx";
        k.CurrentIndexPath = s.indexFile.string();
        app.drives = velk::Drives::load(k.AppDir);
        app.ports.messages = &messages;
        velk::CumIndexFile index(s.indexFile);
        numbers.reserve(static_cast<std::size_t>(index.count()));
        index.preload();
        for (std::int32_t n = 1; n <= index.count(); ++n) numbers.push_back(velk::Trim(index.record(n).DocNo));
    }
    ~Installation() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Installation& Patents() {
    static Installation in(mks::Collection::Quorvel, 1000000, 2);
    return in;
}

// Numbers present in the index, spread over it, in random order.
std::vector<std::string> PresentKeys(const Installation& in, std::size_t n, std::mt19937& rng) {
    std::vector<std::string> keys;
    std::uniform_int_distribution<std::size_t> pick(0, in.numbers.size() - 1);
    while (keys.size() < n) {
        const std::string& k = in.numbers[pick(rng)];
        if (k.size() == 7) keys.push_back(k);
    }
    return keys;
}

// The import's table: half the numbers present, half absent, shuffled.
velk::ImportTable ImportedTable(const Installation& in, std::size_t rows) {
    std::mt19937 rng(7);
    std::unordered_set<std::string> held(in.numbers.begin(), in.numbers.end());
    std::vector<std::string> keys = PresentKeys(in, rows / 2, rng);
    std::uniform_int_distribution<int> digits(1000000, 9999999);
    while (keys.size() < rows) {
        std::string k = std::to_string(digits(rng));
        if (!held.count(k)) keys.push_back(k);
    }
    std::shuffle(keys.begin(), keys.end(), rng);
    velk::ImportTable table;
    for (auto& k : keys) table.add(k);
    return table;
}

void BM_FindInCum(benchmark::State& state) {
    Installation& in = Patents();
    if (static_cast<long>(in.numbers.size()) != state.range(0)) state.SkipWithError("index size differs");
    std::mt19937 rng(3);
    const std::vector<std::string> keys = PresentKeys(in, 4096, rng);
    std::size_t i = 0;
    for (auto _ : state) {
        velk::Int16 pages = velk::FindInCum(in.app, keys[i++ % keys.size()]);
        if (pages < 1) state.SkipWithError("a present number was not found");
        benchmark::DoNotOptimize(pages);
    }
    // The same keys once more through an index whose reads are counted.
    velk::CumIndexFile index = velk::OpenCumIndex(in.app);
    long most = 0;
    for (const std::string& k : keys) {
        const long before = index.reads();
        velk::SearchByPrefix(index, k);
        most = std::max(most, index.reads() - before);
    }
    state.counters["reads_per_lookup"] = static_cast<double>(index.reads()) / static_cast<double>(keys.size());
    state.counters["max_reads"] = static_cast<double>(most);
}
BENCHMARK(BM_FindInCum)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_CumIndex(benchmark::State& state) {
    Installation& in = Patents();
    const velk::ImportTable table = ImportedTable(in, static_cast<std::size_t>(state.range(0)));
    long found = 0;
    for (auto _ : state) {
        velk::ImportTable t = table;
        if (!velk::CumIndex(in.app, t)) state.SkipWithError("the check failed");
        found = std::count_if(t.rows.begin(), t.rows.end(), [](const velk::ImportRow& r) { return r.Found == "Y"; });
    }
    if (found != state.range(0) / 2) state.SkipWithError("half the table should be found");
    state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_CumIndex)->Args({32000, 1000000})->Unit(benchmark::kMillisecond);

// The baseline: the file opened once for the table, one positioned read per probe.
void BM_CumIndexPreadPerProbe(benchmark::State& state) {
    Installation& in = Patents();
    const velk::ImportTable table = ImportedTable(in, static_cast<std::size_t>(state.range(0)));
    long found = 0;
    for (auto _ : state) {
        velk::CumIndexFile index = velk::OpenCumIndex(in.app);
        found = 0;
        for (const velk::ImportRow& row : table.rows)
            found += velk::SearchExact(index, velk::KeepAlnum(velk::Trim(row.EntryText))).found;
    }
    if (found != state.range(0) / 2) state.SkipWithError("half the table should be found");
}
BENCHMARK(BM_CumIndexPreadPerProbe)->Args({32000, 1000000})->Unit(benchmark::kMillisecond);

// A volume whose open.idx is grown to n records around the documents it holds.
struct BigOpenIdx {
    std::unique_ptr<Installation> in;
    std::vector<velk::OpenIdxRecord> real;
    BigOpenIdx(mks::Collection c, long n) {
        in = std::make_unique<Installation>(c, 0, 6);
        const fs::path openIdx = in->s.driveRoot / "open.idx";
        std::ifstream f(openIdx, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(f)), {});
        std::map<std::string, std::string> records;  // trimmed number -> record, in code order
        for (std::size_t at = 0; at + 48 <= bytes.size(); at += velk::kOpenIdxRecordLength) {
            std::string rec = bytes.substr(at, velk::kOpenIdxRecordLength);
            real.push_back(velk::ParseOpenIdxRecord(rec));
            records[velk::Trim(rec.substr(0, 8))] = velk::FixedWidth(rec, 48) + "\r\n";
        }
        for (long i = 0; static_cast<long>(records.size()) < n; ++i) {
            char number[32];
            std::snprintf(number, sizeof number, "%07ld", 1000000 + i * 97);
            records.emplace(number, velk::FixedWidth(number, 8) + velk::FixedWidth("\\DOCS\\NONE.IMG", 37) + "  1\r\n");
        }
        std::ofstream out(openIdx, std::ios::binary | std::ios::trunc);
        for (const auto& [k, rec] : records) out << rec;
    }
};

void LocateAll(benchmark::State& state, BigOpenIdx& big) {
    velk::App& app = big.in->app;
    const std::string volume = big.in->s.insertedVolume;
    std::size_t i = 0;
    for (auto _ : state) {
        const velk::OpenIdxRecord& r = big.real[i++ % big.real.size()];
        if (!velk::GetPath_OpenIdx(app, r.DocNo, volume)) state.SkipWithError("a listed document was not located");
    }
    if (big.in->messages.shown) state.SkipWithError("the locator reported an error");
}

// Trademarks: the volume, the open.idx search, the stored path and page count.
void BM_GetPathOpenIdx(benchmark::State& state) {
    static BigOpenIdx big(mks::Collection::Tovrin, state.range(0));
    LocateAll(state, big);
}
BENCHMARK(BM_GetPathOpenIdx)->Arg(50000)->Unit(benchmark::kMicrosecond);

// Patents: the same, then the document's page map read (text or embedded).
void BM_GetPathOpenIdxWithMap(benchmark::State& state) {
    static BigOpenIdx big(mks::Collection::Quorvel, state.range(0));
    LocateAll(state, big);
}
BENCHMARK(BM_GetPathOpenIdxWithMap)->Arg(50000)->Unit(benchmark::kMicrosecond);

}  // namespace

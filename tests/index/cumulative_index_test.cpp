#include "index/cumulative_index.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "platform/app.h"
#include "tests/common/error_number.h"
#include "tests/index/index_fixtures.h"

namespace velk {

void PrintTo(const ImportRow& r, std::ostream* os) {
    *os << "{\"" << r.EntryText << "\", \"" << r.Found << "\", \"" << r.Pages << "\", \"" << r.Volume
        << "\"}";
}

namespace {

using test::CumRec;
using test::ErrorNumber;
using test::TempTree;

struct IndexApp {
    TempTree tree{"cum"};
    App app;
    explicit IndexApp(const char* mode, const std::string& records) {
        app.config.CollectionMode = mode;
        use("cum.idx", records);
    }
    void use(const std::string& name, const std::string& records) {
        app.config.CurrentIndexPath = tree.write(name, records).string();
    }
    void missing() { app.config.CurrentIndexPath = (tree.root() / "missing.idx").string(); }
};

// FindInCum's answer (pages, -2 a failure) and the record it leaves the scroll position on.
struct Probe {
    const char* key;
    int pages;
    int record;
};

void ExpectProbes(App& app, std::initializer_list<Probe> probes) {
    for (const Probe& p : probes) {
        SCOPED_TRACE(p.key);
        EXPECT_EQ(FindInCum(app, p.key), p.pages);
        EXPECT_EQ(app.LastCumRecord, p.record);
    }
}

TEST(RecordFile, CountsRecordsByRoundingHalvesToEvenAndPadsAShortLastRecord) {
    // {bytes, record length, records}: a last record may lack its line end; x.5 goes to the even neighbour.
    const std::int64_t counts[][3] = {{0, 26, 0},           {26 * 5 - 2, 26, 5},  {26 * 2 + 12, 26, 2},
                                      {26 * 2 + 13, 26, 2}, {26 * 3 + 13, 26, 4}, {26 * 2 + 14, 26, 3},
                                      {50 * 4 + 25, 50, 4}};
    for (const auto& c : counts) EXPECT_EQ(RecordCount(c[0], static_cast<int>(c[1])), c[2]) << c[0];
    const std::int64_t mids[][3] = {
        {1, 4, 2}, {2, 5, 4}, {1, 2, 2}, {3, 3, 3}, {2147483646, 2147483647, 2147483646}};
    for (const auto& m : mids) EXPECT_EQ(MidPoint(m[0], m[1]), m[2]) << m[0] << ".." << m[1];

    TempTree t("rf");
    const std::string cut = std::string("2       V2   ", 13) + "\x01";
    auto p = t.write("x.idx", CumRec("1", "V1", "3") + cut);
    RecordFile f(p, 26);
    ASSERT_EQ(f.count(), 2);
    EXPECT_EQ(f.read(2), cut + std::string(12, ' '));
    EXPECT_EQ(f.reads(), 1);
    ASSERT_TRUE(f.preload(1 << 20));
    EXPECT_EQ(f.read(2), cut + std::string(12, ' '));
    EXPECT_EQ(f.read(1), CumRec("1", "V1", "3"));
    EXPECT_FALSE(RecordFile(p, 26).preload(10));  // larger than allowed: read per record
    EXPECT_EQ(ErrorNumber([&] { f.read(0); }), 63);
    EXPECT_EQ(ErrorNumber([&] { f.read(3); }), 63);
    EXPECT_EQ(ErrorNumber([&] { RecordFile(t.root() / "none.idx", 26); }), kErrFileNotFound);
    EXPECT_EQ(ErrorNumber([&] { RecordFile(t.root(), 26); }), kErrPathFileAccess);

    // Cut short under an open index (a copy over it on a share): a read error, never a signal.
    auto big = t.write("big.idx", std::string(26 * 2000, '1'));
    RecordFile loaded(big, 26), opened(big, 26);
    ASSERT_TRUE(loaded.preload(1 << 20));
    std::filesystem::resize_file(big, 26 * 10);
    EXPECT_EQ(loaded.read(2000), std::string(26, '1'));  // what was read stays
    EXPECT_EQ(ErrorNumber([&] { opened.preload(1 << 20); }), kErrDeviceIO);
    EXPECT_EQ(ErrorNumber([&] { opened.read(1500); }), kErrDeviceIO);
}

TEST(FindInCum, PatentPrefixKeysAndCompleteNumbers) {
    // Character order puts 10000002 between 1000000 and 1000001: the first probe only begins with 1000000.
    IndexApp ix(kModePatents, CumRec("1000000", "QUOR_0001", "3") + CumRec("10000002", "QUOR_0001", "9") +
                                  CumRec("1000001", "QUOR_0001", "4"));
    ExpectProbes(ix.app, {{"1000000", 3, 1}, {"10000002", 9, 2}});
    ix.use("d.idx", CumRec("D100000", "Q1", "1") + CumRec("D120000", "Q1", "2") +
                        CumRec("D123456", "Q1", "3") + CumRec("D129999", "Q1", "4") +
                        CumRec("D200000", "Q1", "5"));
    ExpectProbes(ix.app, {{"D12", 3, 3}, {"D129999", 4, 4}});  // D12: whichever D12... record is probed first
    EXPECT_EQ(FindInCum(ix.app, "D13"), -2);
}

TEST(FindInCum, ReadsAboutLog2OfAMillionRecords) {
    const int n = 1'000'000;
    std::string recs;
    for (int i = 0; i < n; ++i) recs += CumRec(std::to_string(10'000'000 + 3 * i), "QUOR_0001", "1");
    TempTree t("big");
    CumIndexFile index(t.write("cum.idx", recs));
    const long limit = static_cast<long>(std::ceil(std::log2(n))) + 1;
    // {key, by value, record found (0: none to find)}: both ends, a value, between, before and after all.
    const std::tuple<const char*, bool, int> keys[] = {
        {"10000000", false, 1}, {"12999997", false, n}, {"11500003", true, 500'002},
        {"11500000", false, 0}, {"11500001", false, 0}, {"0", false, 0},
        {"9", false, 0},        {"12345678", false, 0}, {"1", false, 0}};
    for (auto [key, byValue, record] : keys) {
        const long before = index.reads();
        CumSearch s = byValue ? SearchByValue(index, key) : SearchByPrefix(index, key);
        EXPECT_LE(index.reads() - before, limit) << key;
        EXPECT_TRUE(record == 0 || (s.found && s.record == record)) << key << " " << s.record;
    }
}

// CumIndex over a table of entries; the rows as marked.
std::vector<ImportRow> Marked(App& app, std::initializer_list<const char*> entries, bool ok = true,
                              ImportProgress* progress = nullptr) {
    ImportTable table;
    for (const char* e : entries) table.add(e);
    EXPECT_EQ(CumIndex(app, table, progress), ok);
    return table.rows;
}

TEST(CumIndex, MarksPatentRowsWithEntryTextsAndReportsProgress) {
    IndexApp ix(kModePatents, CumRec("4000000", "QUOR_0009", "5") + CumRec("5123456", "QUOR_0001", "12") +
                                  CumRec("D345678", "QUOR_0002", "3") + CumRec("RE12345", "QUOR_0001", "7"));
    std::vector<std::string> messages;
    std::vector<std::pair<int, int>> steps;
    ImportProgress progress{[&](const std::string& m) { messages.push_back(m); },
                            [&](int total, int i) { steps.emplace_back(total, i); }};
    const std::vector<ImportRow> rows = Marked(
        ix.app, {" 5,123,456 ", "D-345678", "d345678", "6000000", "", "RE12345", "X123"}, true, &progress);
    const std::vector<ImportRow> want = {
        {"5123456  QUOR_0001", "Y", "12", "QUOR_0001"}, {"D345678  QUOR_0002", "Y", "3", "QUOR_0002"},
        {"d345678", "N", "", ""}, {"6000000", "N", "", ""}, {"", "N", "", ""},
        {"RE12345  QUOR_0001", "Y", "7", "QUOR_0001"}, {"X123", "N", "", ""}};
    EXPECT_EQ(rows, want);
    EXPECT_EQ(messages, std::vector<std::string>{"Checking data against Cumulative Index..."});
    EXPECT_EQ(steps,
              (std::vector<std::pair<int, int>>{{7, 1}, {7, 2}, {7, 3}, {7, 4}, {7, 5}, {7, 6}, {7, 7}}));

    // No index: the check stops before any row is marked.
    ix.missing();
    EXPECT_EQ(Marked(ix.app, {"5123456"}, false), (std::vector<ImportRow>{{"5123456", "", "", ""}}));
}

TEST(CumIndex, TrademarksCompareValuesAndAssignmentsAreNeitherSearchedNorMarked) {
    IndexApp ix(kModeTrademarks, CumRec("1234", "TOV_1", "2") + CumRec("73001", "TOV_1", "4") +
                                     CumRec("12345678", "TOV_2", "1") + CumRec("99999999", "TOV_2", "6"));
    ExpectProbes(ix.app, {{"0001234", 2, 1}, {"12345678", 1, 3}, {"73001", 4, 2}, {"73002", -2, 3}});

    // Imported entries keep the volume from column ten.
    const std::vector<ImportRow> rows =
        Marked(ix.app, {"0001234", "1234", "0000001234", "12345678", "099999999", "D1234", "555"});
    const std::vector<ImportRow> want = {
        {"0001234  TOV_1", "Y", "2", "TOV_1"}, {"0001234  TOV_1", "Y", "2", "TOV_1"},
        {"0000001234", "N", "", ""}, {"12345678 TOV_2", "Y", "1", "TOV_2"},
        {"99999999 TOV_2", "Y", "6", "TOV_2"}, {"D1234", "N", "", ""}, {"555", "N", "", ""}};
    EXPECT_EQ(rows, want);

    ix.app.config.CollectionMode = kModeAssignments;
    ix.app.LastCumRecord = 17;
    ExpectProbes(ix.app, {{"12340567", 1, 17}});
    EXPECT_EQ(Marked(ix.app, {"12340567", "1234"}),
              (std::vector<ImportRow>{{"12340567", "N", "", ""}, {"1234", "N", "", ""}}));
    ix.missing();
    EXPECT_EQ(FindInCum(ix.app, "12340567"), -2);  // it still has to open the file
}

// Entry texts as the import and the assignment lists store them, and their number and volume.
TEST(EntryText, FormsOfEachCollectionAndShortRecords) {
    CumRecord assign = ParseCumRecord(CumRec("12340567", "ASGN_0001", "3"));
    EXPECT_EQ(AssignStoredEntryText(assign), "12340567 ASGN_0001");
    // Nine digits still keep a blank between number and volume.
    EXPECT_EQ(TrademarkImportEntryText(123456789, "TOV_2"), "123456789 TOV_2");
    const std::tuple<std::string, const char*, const char*> entries[] = {
        {"5123456  QUOR_0001", "5123456", "QUOR_0001"},
        {"12345678 TOV_2", "12345678", "TOV_2"},
        {"123456789 TOV_2", "123456789", "TOV_2"},
        {AssignListEntryText(assign), "12340567", "ASGN_0001"}};
    for (const auto& [text, number, volume] : entries) {
        EXPECT_EQ(EntryDocNo(text), number) << text;
        EXPECT_EQ(EntryVolume(text), volume) << text;
    }
    EXPECT_EQ(ParseCumRecord("5123456").Pages, "      ");  // a short buffer reads as blanks
}

}  // namespace
}  // namespace velk

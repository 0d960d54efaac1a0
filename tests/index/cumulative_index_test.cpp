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
    recs.reserve(static_cast<std::size_t>(n) * 26);
    for (int i = 0; i < n; ++i) recs += CumRec(std::to_string(10'000'000 + 3 * i), "QUOR_0001", "1");
    TempTree t("big");
    CumIndexFile index(t.write("cum.idx", recs));
    ASSERT_EQ(index.count(), n);
    const long limit = static_cast<long>(std::ceil(std::log2(n))) + 1;
    long before = 0;
    const std::pair<const char*, int> keys[] = {{"10000000", 1}, {"12999997", n}, {"11500000", 0},
                                                {"11500001", 0}, {"0", 0},        {"9", 0},
                                                {"12345678", 0}, {"1", 0}};
    for (const auto& [key, record] : keys) {
        CumSearch s = SearchByPrefix(index, key);
        EXPECT_LE(index.reads() - before, limit) << key;
        EXPECT_TRUE(record == 0 || s.record == record) << key << " " << s.record;
        before = index.reads();
    }
    CumSearch s = SearchByValue(index, "11500003");
    EXPECT_TRUE(s.found);
    EXPECT_EQ(s.record, 500'002);
    EXPECT_LE(index.reads() - before, limit);
}

TEST(CumIndex, MarksPatentRowsWithEntryTextsAndReportsProgress) {
    IndexApp ix(kModePatents, CumRec("4000000", "QUOR_0009", "5") + CumRec("5123456", "QUOR_0001", "12") +
                                  CumRec("D345678", "QUOR_0002", "3") + CumRec("RE12345", "QUOR_0001", "7"));
    ImportTable table;
    for (const char* e : {" 5,123,456 ", "D-345678", "d345678", "6000000", "", "RE12345", "X123"})
        table.add(e);
    std::vector<std::string> messages;
    std::vector<std::pair<int, int>> steps;
    ImportProgress progress{[&](const std::string& m) { messages.push_back(m); },
                            [&](int total, int i) { steps.emplace_back(total, i); }};
    EXPECT_TRUE(CumIndex(ix.app, table, &progress));

    const std::vector<ImportRow> want = {
        {"5123456  QUOR_0001", "Y", "12", "QUOR_0001"}, {"D345678  QUOR_0002", "Y", "3", "QUOR_0002"},
        {"d345678", "N", "", ""}, {"6000000", "N", "", ""}, {"", "N", "", ""},
        {"RE12345  QUOR_0001", "Y", "7", "QUOR_0001"}, {"X123", "N", "", ""}};
    EXPECT_EQ(table.rows, want);
    EXPECT_EQ(messages, std::vector<std::string>{"Checking data against Cumulative Index..."});
    ASSERT_EQ(steps.size(), 7u);
    EXPECT_EQ(steps.front(), std::make_pair(7, 1));
    EXPECT_EQ(steps.back(), std::make_pair(7, 7));
    EXPECT_EQ(EntryVolume(table.rows[0].EntryText), "QUOR_0001");
    EXPECT_EQ(EntryDocNo(table.rows[0].EntryText), "5123456");

    // No index: the check stops before any row is marked.
    ImportTable again;
    again.add("5123456");
    ix.missing();
    EXPECT_FALSE(CumIndex(ix.app, again));
    EXPECT_EQ(again.rows[0].Found, "");
}

TEST(CumIndex, TrademarksCompareValuesAndAssignmentsAreNeitherSearchedNorMarked) {
    IndexApp ix(kModeTrademarks, CumRec("1234", "TOV_1", "2") + CumRec("73001", "TOV_1", "4") +
                                     CumRec("12345678", "TOV_2", "1") + CumRec("99999999", "TOV_2", "6"));
    ExpectProbes(ix.app, {{"0001234", 2, 1}, {"12345678", 1, 3}, {"73001", 4, 2}});
    EXPECT_EQ(FindInCum(ix.app, "73002"), -2);

    // Imported entries keep the volume from column ten.
    ImportTable table;
    for (const char* e : {"0001234", "1234", "0000001234", "12345678", "099999999", "D1234", "555"})
        table.add(e);
    EXPECT_TRUE(CumIndex(ix.app, table));
    const std::vector<ImportRow> want = {
        {"0001234  TOV_1", "Y", "2", "TOV_1"}, {"0001234  TOV_1", "Y", "2", "TOV_1"},
        {"0000001234", "N", "", ""}, {"12345678 TOV_2", "Y", "1", "TOV_2"},
        {"99999999 TOV_2", "Y", "6", "TOV_2"}, {"D1234", "N", "", ""}, {"555", "N", "", ""}};
    EXPECT_EQ(table.rows, want);
    EXPECT_EQ(EntryVolume(table.rows[3].EntryText), "TOV_2");
    EXPECT_EQ(EntryDocNo(table.rows[3].EntryText), "12345678");
    // Nine digits still keep a blank between number and volume.
    EXPECT_EQ(TrademarkImportEntryText(123456789, "TOV_2"), "123456789 TOV_2");
    EXPECT_EQ(EntryDocNo(TrademarkImportEntryText(123456789, "TOV_2")), "123456789");

    ix.app.config.CollectionMode = kModeAssignments;
    ix.app.LastCumRecord = 17;
    ExpectProbes(ix.app, {{"12340567", 1, 17}});
    ImportTable assign;
    assign.add("12340567");
    assign.add("1234");
    EXPECT_TRUE(CumIndex(ix.app, assign));
    EXPECT_EQ(assign.rows[0].Found, "N");
    EXPECT_EQ(assign.rows[1].Found, "N");
    ix.missing();
    EXPECT_EQ(FindInCum(ix.app, "12340567"), -2);  // it still has to open the file
}

TEST(EntryText, AssignmentFormsAndShortRecords) {
    CumRecord assign = ParseCumRecord(CumRec("12340567", "ASGN_0001", "3"));
    EXPECT_EQ(AssignStoredEntryText(assign), "12340567 ASGN_0001");
    EXPECT_EQ(EntryDocNo(AssignListEntryText(assign)), "12340567");
    EXPECT_EQ(EntryVolume(AssignListEntryText(assign)), "ASGN_0001");
    EXPECT_EQ(ParseCumRecord("5123456").Pages, "      ");  // a short buffer reads as blanks
}

}  // namespace
}  // namespace velk

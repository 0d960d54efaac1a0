#include "index/cumulative_index.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/runtime_error.h"
#include "platform/app.h"
#include "tests/index/index_fixtures.h"

namespace velk {

void PrintTo(const ImportRow& r, std::ostream* os) {
    *os << "{\"" << r.EntryText << "\", \"" << r.Found << "\", \"" << r.Pages << "\", \"" << r.Volume << "\"}";
}

namespace {

using test::CumRec;
using test::TempTree;

struct IndexApp {
    TempTree tree{"cum"};
    App app;
    explicit IndexApp(const char* mode, const std::string& records) {
        app.config.CollectionMode = mode;
        app.config.CurrentIndexPath = tree.write("cum.idx", records).string();
    }
};

int Code(const std::function<void()>& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

TEST(RecordFile, CountsRecordsByRoundingHalvesToEvenAndPadsAShortLastRecord) {
    EXPECT_EQ(RecordCount(0, 26), 0);
    EXPECT_EQ(RecordCount(26 * 5 - 2, 26), 5);  // last record without its line end
    EXPECT_EQ(RecordCount(26 * 2 + 12, 26), 2);
    EXPECT_EQ(RecordCount(26 * 2 + 13, 26), 2);  // 2.5: the even neighbour
    EXPECT_EQ(RecordCount(26 * 3 + 13, 26), 4);  // 3.5
    EXPECT_EQ(RecordCount(26 * 2 + 14, 26), 3);
    EXPECT_EQ(RecordCount(50 * 4 + 25, 50), 4);

    EXPECT_EQ(MidPoint(1, 4), 2);
    EXPECT_EQ(MidPoint(2, 5), 4);
    EXPECT_EQ(MidPoint(1, 2), 2);
    EXPECT_EQ(MidPoint(3, 3), 3);
    EXPECT_EQ(MidPoint(2147483646, 2147483647), 2147483646);

    TempTree t("rf");
    auto p = t.write("x.idx", CumRec("1", "V1", "3") + std::string("2       V2   ", 13) + "\x01");
    RecordFile f(p, 26);
    ASSERT_EQ(f.count(), 2);
    EXPECT_EQ(f.read(2), std::string("2       V2   ", 13) + "\x01" + std::string(12, ' '));
    EXPECT_EQ(f.reads(), 1);
    ASSERT_TRUE(f.preload(1 << 20));
    EXPECT_EQ(f.read(2), std::string("2       V2   ", 13) + "\x01" + std::string(12, ' '));
    EXPECT_EQ(f.read(1), CumRec("1", "V1", "3"));
    EXPECT_FALSE(RecordFile(p, 26).preload(10));  // larger than allowed: read per record
    EXPECT_EQ(Code([&] { f.read(0); }), 63);
    EXPECT_EQ(Code([&] { f.read(3); }), 63);
    EXPECT_EQ(Code([&] { RecordFile(t.root() / "none.idx", 26); }), kErrFileNotFound);
    EXPECT_EQ(Code([&] { RecordFile(t.root(), 26); }), kErrPathFileAccess);
}

TEST(FindInCum, PatentHitsMissesEndsAndFailures) {
    std::string recs;
    for (int i = 1; i <= 7; ++i) recs += CumRec("100000" + std::to_string(i), "QUOR_0001", std::to_string(i * 2));
    IndexApp ix(kModePatents, recs);
    App& app = ix.app;

    EXPECT_EQ(FindInCum(app, "1000003"), 6);  // probes 4, 2, 3
    EXPECT_EQ(app.LastCumRecord, 3);
    EXPECT_EQ(FindInCum(app, "1000001"), 2);
    EXPECT_EQ(app.LastCumRecord, 1);
    EXPECT_EQ(FindInCum(app, "1000007"), 14);
    EXPECT_EQ(app.LastCumRecord, 7);
    EXPECT_EQ(FindInCum(app, "1000000"), -2);  // below every key: stops at record 1
    EXPECT_EQ(app.LastCumRecord, 1);
    EXPECT_EQ(FindInCum(app, "1000009"), -2);  // above every key: stops at record 7
    EXPECT_EQ(app.LastCumRecord, 7);

    // Unreadable index: -2, and the scroll position stays where it was.
    app.config.CurrentIndexPath = (ix.tree.root() / "missing.idx").string();
    EXPECT_EQ(FindInCum(app, "1000003"), -2);
    EXPECT_EQ(app.LastCumRecord, 7);

    // An empty index: -2 and record 0.
    app.config.CurrentIndexPath = ix.tree.write("empty.idx", "").string();
    EXPECT_EQ(FindInCum(app, "1000003"), -2);
    EXPECT_EQ(app.LastCumRecord, 0);

    // Blank and oversized page counts; a last record missing its line end.
    std::string odd = CumRec("2000001", "QUOR_0002", "") + CumRec("2000002", "QUOR_0002", "40000") +
                      CumRec("2000003", "QUOR_0002", "5");
    odd.resize(odd.size() - 2);
    app.config.CurrentIndexPath = ix.tree.write("odd.idx", odd).string();
    EXPECT_EQ(FindInCum(app, "2000001"), 0);
    EXPECT_EQ(app.LastCumRecord, 1);
    EXPECT_EQ(FindInCum(app, "2000002"), -2);  // overflow is a failed read
    EXPECT_EQ(app.LastCumRecord, 1);
    EXPECT_EQ(FindInCum(app, "2000003"), 5);
    EXPECT_EQ(app.LastCumRecord, 3);

    // A last record cut to its number and part of its volume reads its pages as blank.
    std::string cut = CumRec("3000001", "QUOR_0003", "4") + CumRec("3000002", "QUOR_0003", "9");
    cut.resize(26 + 15);
    app.config.CurrentIndexPath = ix.tree.write("cut.idx", cut).string();
    EXPECT_EQ(FindInCum(app, "3000002"), 0);
    EXPECT_EQ(app.LastCumRecord, 2);
}

TEST(FindInCum, PatentPrefixKeysAndCompleteNumbers) {
    // Character order puts 10000002 between 1000000 and 1000001.
    IndexApp ix(kModePatents, CumRec("1000000", "QUOR_0001", "3") + CumRec("10000002", "QUOR_0001", "9") +
                                  CumRec("1000001", "QUOR_0001", "4"));
    App& app = ix.app;
    EXPECT_EQ(FindInCum(app, "1000000"), 3);  // the first probe (10000002) only begins with the key
    EXPECT_EQ(app.LastCumRecord, 1);
    EXPECT_EQ(FindInCum(app, "10000002"), 9);
    EXPECT_EQ(app.LastCumRecord, 2);

    app.config.CurrentIndexPath =
        ix.tree.write("d.idx", CumRec("D100000", "Q1", "1") + CumRec("D120000", "Q1", "2") +
                                   CumRec("D123456", "Q1", "3") + CumRec("D129999", "Q1", "4") +
                                   CumRec("D200000", "Q1", "5"))
            .string();
    EXPECT_EQ(FindInCum(app, "D12"), 3);  // whichever D12... record is probed first
    EXPECT_EQ(app.LastCumRecord, 3);
    EXPECT_EQ(FindInCum(app, "D129999"), 4);
    EXPECT_EQ(FindInCum(app, "D13"), -2);
}

TEST(FindInCum, TrademarksCompareValuesAndAssignmentsAreNotSearched) {
    IndexApp ix(kModeTrademarks, CumRec("1234", "TOV_1", "2") + CumRec("73001", "TOV_1", "4") +
                                     CumRec("12345678", "TOV_2", "1") + CumRec("99999999", "TOV_2", "6"));
    App& app = ix.app;
    EXPECT_EQ(FindInCum(app, "0001234"), 2);
    EXPECT_EQ(app.LastCumRecord, 1);
    EXPECT_EQ(FindInCum(app, "12345678"), 1);
    EXPECT_EQ(app.LastCumRecord, 3);
    EXPECT_EQ(FindInCum(app, "73001"), 4);
    EXPECT_EQ(FindInCum(app, "73002"), -2);

    app.config.CollectionMode = kModeAssignments;
    app.LastCumRecord = 17;
    EXPECT_EQ(FindInCum(app, "12340567"), 1);
    EXPECT_EQ(app.LastCumRecord, 17);
    app.config.CurrentIndexPath = (ix.tree.root() / "none.idx").string();
    EXPECT_EQ(FindInCum(app, "12340567"), -2);  // it still has to open the file
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
    for (std::string key : {"10000000", "12999997", "11500000", "11500001", "0", "9", "12345678", "1"}) {
        CumSearch s = SearchByPrefix(index, key);
        EXPECT_LE(index.reads() - before, limit) << key;
        before = index.reads();
        if (key == "10000000") {
            EXPECT_EQ(s.record, 1);
        }
        if (key == "12999997") {
            EXPECT_EQ(s.record, n);
        }
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
    for (const char* e : {" 5,123,456 ", "D-345678", "d345678", "6000000", "", "RE12345", "X123"}) table.add(e);
    std::vector<std::string> messages;
    std::vector<std::pair<int, int>> steps;
    ImportProgress progress{[&](const std::string& m) { messages.push_back(m); },
                            [&](int total, int i) { steps.emplace_back(total, i); }};
    EXPECT_TRUE(CumIndex(ix.app, table, &progress));

    const std::vector<ImportRow> want = {
        {"5123456  QUOR_0001", "Y", "12", "QUOR_0001"}, {"D345678  QUOR_0002", "Y", "3", "QUOR_0002"},
        {"d345678", "N", "", ""},                       {"6000000", "N", "", ""},
        {"", "N", "", ""},                              {"RE12345  QUOR_0001", "Y", "7", "QUOR_0001"},
        {"X123", "N", "", ""}};
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
    ix.app.config.CurrentIndexPath = (ix.tree.root() / "gone.idx").string();
    EXPECT_FALSE(CumIndex(ix.app, again));
    EXPECT_EQ(again.rows[0].Found, "");
}

TEST(CumIndex, TrademarkEntriesKeepTheVolumeFromColumnTen) {
    IndexApp ix(kModeTrademarks, CumRec("1234", "TOV_1", "2") + CumRec("73001", "TOV_1", "4") +
                                     CumRec("12345678", "TOV_2", "1") + CumRec("99999999", "TOV_2", "6"));
    ImportTable table;
    for (const char* e : {"0001234", "1234", "0000001234", "12345678", "099999999", "D1234", "555"}) table.add(e);
    EXPECT_TRUE(CumIndex(ix.app, table));
    const std::vector<ImportRow> want = {
        {"0001234  TOV_1", "Y", "2", "TOV_1"},   {"0001234  TOV_1", "Y", "2", "TOV_1"},
        {"0000001234", "N", "", ""},             {"12345678 TOV_2", "Y", "1", "TOV_2"},
        {"99999999 TOV_2", "Y", "6", "TOV_2"},  {"D1234", "N", "", ""},
        {"555", "N", "", ""}};
    EXPECT_EQ(table.rows, want);
    EXPECT_EQ(EntryVolume(table.rows[3].EntryText), "TOV_2");
    EXPECT_EQ(EntryDocNo(table.rows[3].EntryText), "12345678");
    // Nine digits still keep a blank between number and volume.
    EXPECT_EQ(TrademarkImportEntryText(123456789, "TOV_2"), "123456789 TOV_2");
    EXPECT_EQ(EntryDocNo(TrademarkImportEntryText(123456789, "TOV_2")), "123456789");

    ix.app.config.CollectionMode = kModeAssignments;
    ImportTable assign;
    assign.add("12340567");
    assign.add("1234");
    EXPECT_TRUE(CumIndex(ix.app, assign));
    EXPECT_EQ(assign.rows[0].Found, "N");
    EXPECT_EQ(assign.rows[1].Found, "N");
}

TEST(EntryText, EveryFormOfTheLists) {
    CumRecord patent = ParseCumRecord(CumRec("5123456", "QUOR_0001", "12"));
    EXPECT_EQ(FindEntryText(patent), "5123456  QUOR_0001 ");
    EXPECT_EQ(FindEntryText(patent).size(), 19u);
    CumRecord assign = ParseCumRecord(CumRec("12340567", "ASGN_0001", "3"));
    EXPECT_EQ(AssignListEntryText(assign), "1234/0567 ASGN_0001 ");
    EXPECT_EQ(AssignStoredEntryText(assign), "12340567 ASGN_0001");
    EXPECT_EQ(EntryDocNo(AssignListEntryText(assign)), "12340567");
    EXPECT_EQ(EntryVolume(AssignListEntryText(assign)), "ASGN_0001");
    EXPECT_EQ(PatentImportEntryText("D345678", "QUOR_0002"), "D345678  QUOR_0002");
    EXPECT_EQ(TrademarkImportEntryText(73001, "TOV_1"), "0073001  TOV_1");
    EXPECT_EQ(ParseCumRecord("5123456").Pages, "      ");  // a short buffer reads as blanks
}

}  // namespace
}  // namespace velk

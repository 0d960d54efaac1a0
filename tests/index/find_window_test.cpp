#include "index/find_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "index/cumulative_index.h"
#include "platform/app.h"
#include "tests/index/index_fixtures.h"

namespace velk {
namespace {

using test::CumRec;
using test::TempTree;

// Every window lies in 1..n and spans min(20, n) records; the selection is on one of its lines.
void ExpectSound(const FindWindow& w, const std::string& what) {
    SCOPED_TRACE(what);
    if (w.count() == 0) {
        EXPECT_EQ(w.lines(), 0);
        EXPECT_EQ(w.selectedRecord(), 0);
        return;
    }
    EXPECT_GE(w.first(), 1);
    EXPECT_LE(w.last(), w.count());
    EXPECT_EQ(w.lines(), std::min(20, static_cast<int>(w.count())));
    EXPECT_GE(w.line(), 0);
    EXPECT_LE(w.line(), w.lastLine());
}

TEST(FindWindow, EveryMoveStaysInsideTheIndexAtBothEnds) {
    const std::vector<std::pair<const char*, std::function<void(FindWindow&)>>> moves = {
        {"top", [](FindWindow& w) { w.top(); }},
        {"bottom", [](FindWindow& w) { w.bottom(); }},
        {"lineDown", [](FindWindow& w) { w.lineDown(); }},
        {"lineUp", [](FindWindow& w) { w.lineUp(); }},
        {"pageDown", [](FindWindow& w) { w.pageDown(w.line()); }},
        {"pageUp", [](FindWindow& w) { w.pageUp(0); }},
        {"down100", [](FindWindow& w) { w.jumpDown(100); }},
        {"down1000", [](FindWindow& w) { w.jumpDown(1000); }},
        {"down10000", [](FindWindow& w) { w.jumpDown(10000); }},
        {"up100", [](FindWindow& w) { w.jumpUp(100); }},
        {"up10000", [](FindWindow& w) { w.jumpUp(10000); }},
        {"past the end", [](FindWindow& w) { w.showRecord(w.count() + 5); }},
        {"record 0", [](FindWindow& w) { w.showRecord(0); }},
    };
    for (std::int32_t n : {0, 1, 7, 19, 20, 21, 1000, 1000000}) {
        for (std::int64_t start : {std::int64_t{1}, std::int64_t{n} / 2, std::int64_t{n} - 3, std::int64_t{n}}) {
            for (int line : {0, 5, 19}) {
                for (const auto& [name, move] : moves) {
                    FindWindow w(n);
                    w.showRecord(start);
                    w.setLine(line);
                    move(w);
                    ExpectSound(w, std::string(name) + " n=" + std::to_string(n) + " start=" + std::to_string(start));
                }
            }
        }
    }
}

TEST(FindWindow, MovesOfTheButtonsAndKeys) {
    FindWindow w(1000);
    EXPECT_EQ(w.first(), 1);
    EXPECT_EQ(w.last(), 20);
    EXPECT_EQ(w.line(), 0);

    // Page Down on line 19: the old last record heads the window.
    w.setLine(19);
    w.pageDown(w.line());
    EXPECT_EQ(w.first(), 20);
    EXPECT_EQ(w.line(), 19);
    // Page Up on line 0 from record 10 and from record 20: records 1 to 20.
    for (int from : {10, 20}) {
        w.showRecord(from);
        w.setLine(0);
        w.pageUp(0);
        EXPECT_EQ(w.first(), 1) << from;
        EXPECT_EQ(w.line(), 0);
    }
    w.showRecord(500);
    w.pageUp(0);
    EXPECT_EQ(w.first(), 481);

    // Up 1000 from record 500; down 1000 within 1000 of the end; down 100 near the end is clamped.
    w.showRecord(500);
    w.jumpUp(1000);
    EXPECT_EQ(w.first(), 1);
    w.jumpDown(1000);
    EXPECT_EQ(w.first(), 981);
    EXPECT_EQ(w.last(), 1000);
    EXPECT_EQ(w.line(), 19);
    w.showRecord(880);
    w.setLine(10);  // record 890: 990 is a record, but 990..1009 is not a window
    w.jumpDown(100);
    EXPECT_EQ(w.last(), 1000);
    w.showRecord(300);
    w.setLine(2);
    w.jumpDown(100);
    EXPECT_EQ(w.first(), 402);
    w.jumpUp(100);
    EXPECT_EQ(w.first(), 321);

    // One line at a time: the window scrolls by one at its edges and stops at the ends.
    w.top();
    w.lineUp();
    EXPECT_EQ(w.first(), 1);
    EXPECT_EQ(w.line(), 0);
    w.setLine(19);
    w.lineDown();
    EXPECT_EQ(w.first(), 2);
    EXPECT_EQ(w.line(), 19);
    w.bottom();
    EXPECT_EQ(w.first(), 981);
    w.lineDown();
    EXPECT_EQ(w.first(), 981);
    EXPECT_EQ(w.selectedRecord(), 1000);

    // A search result heads the window; near the end it keeps its own line.
    w.showRecord(700);
    EXPECT_EQ(w.first(), 700);
    EXPECT_EQ(w.selectedRecord(), 700);
    w.showRecord(995);
    EXPECT_EQ(w.first(), 981);
    EXPECT_EQ(w.selectedRecord(), 995);

    // A short index shows all its records and never scrolls.
    FindWindow small(7);
    EXPECT_EQ(small.lines(), 7);
    small.pageDown(6);
    small.jumpDown(10000);
    EXPECT_EQ(small.first(), 1);
    EXPECT_EQ(small.last(), 7);
    EXPECT_EQ(small.selectedRecord(), 7);
}

TEST(FindWindow, LinesAreOneReadOfTheWindowAndFormattedPerCollection) {
    TempTree tree{"findwin"};
    std::string recs;
    for (int i = 1; i <= 25; ++i) recs += CumRec("D" + std::to_string(100000 + i), "VOL_" + std::to_string(i), "7");
    recs.resize(recs.size() - 2);  // the last record lacks its line end: it still counts
    CumIndexFile index(tree.write("cum.idx", recs));
    FindWindow w(index.count());
    ASSERT_EQ(w.count(), 25);
    w.bottom();
    const long before = index.file().fileReads();
    std::vector<std::string> lines = WindowLines(index, w, kModePatents);
    EXPECT_LE(index.file().fileReads() - before, 2);  // the whole records at once, the short last one alone
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines.front(), "D100006  VOL_6     ");
    EXPECT_EQ(lines.back(), "D100025  VOL_25    ");

    w.top();
    const long again = index.file().fileReads();
    lines = WindowLines(index, w, kModePatents);
    EXPECT_EQ(index.file().fileReads() - again, 1);

    CumIndexFile assign(tree.write("cum_assn.idx", CumRec("12340567", "ASGN_01", "1") + CumRec("12340568", "ASGN_01", "1")));
    FindWindow aw(assign.count());
    lines = WindowLines(assign, aw, kModeAssignments);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "1234/0567 ASGN_01   ");
    EXPECT_EQ(GetDocNumber(lines[0], kModeAssignments), "12340567");
    EXPECT_EQ(StoredFoundEntry(lines[0], kModeAssignments), "12340567 ASGN_01");
    EXPECT_EQ(FoundDisplayLine("12340567 ASGN_01", kModeAssignments), lines[0]);
    EXPECT_EQ(GetDocNumber("D100006  VOL_6     ", kModePatents), "D100006");
    EXPECT_EQ(StoredFoundEntry("D100006  VOL_6     ", kModePatents), "D100006  VOL_6     ");

    // An empty index has no lines and reads nothing.
    CumIndexFile empty(tree.write("empty.idx", ""));
    EXPECT_TRUE(WindowLines(empty, FindWindow(empty.count()), kModePatents).empty());

    EXPECT_EQ(StepLine(950, 100, 1000), 999);
    EXPECT_EQ(StepLine(50, -100, 1000), 0);
    EXPECT_EQ(StepLine(0, 100, 0), -1);
    EXPECT_EQ(DocumentsFoundText(3), "3 Documents Found");
    EXPECT_EQ(CumIndexTitle(kModeTrademarks), "Tovrin Cumulative Index");
    EXPECT_EQ(CumIndexTitle("FENNIC"), "Assignments Cumulative Index");
}

}  // namespace
}  // namespace velk

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

using Move = std::pair<std::string, std::function<void(FindWindow&)>>;

// The moves of the dialog's buttons and keys, by name.
std::vector<Move> Moves() {
    std::vector<Move> moves = {
        {"top", &FindWindow::top},
        {"bottom", &FindWindow::bottom},
        {"lineDown", &FindWindow::lineDown},
        {"lineUp", &FindWindow::lineUp},
        {"pageDown", [](FindWindow& w) { w.pageDown(w.line()); }},
        {"pageUp", [](FindWindow& w) { w.pageUp(0); }},
        {"pastTheEnd", [](FindWindow& w) { w.showRecord(w.count() + 5); }},
        {"record0", [](FindWindow& w) { w.showRecord(0); }},
    };
    for (int step : {100, 1000, 10000}) {
        moves.emplace_back("down" + std::to_string(step), [step](FindWindow& w) { w.jumpDown(step); });
        moves.emplace_back("up" + std::to_string(step), [step](FindWindow& w) { w.jumpUp(step); });
    }
    return moves;
}

TEST(FindWindow, EveryMoveStaysInsideTheIndexAtBothEnds) {
    for (std::int32_t n : {0, 1, 7, 19, 20, 21, 1000, 1000000})
        for (std::int64_t start : {1, n / 2, n - 3, n})
            for (int line : {0, 5, 19})
                for (const auto& [name, move] : Moves()) {
                    SCOPED_TRACE(name + " n=" + std::to_string(n) + " start=" + std::to_string(start));
                    FindWindow w(n);
                    w.showRecord(start);
                    w.setLine(line);
                    move(w);
                    // Every window lies in 1..n and spans min(20, n) records; the selection is on one of
                    // its lines.
                    EXPECT_EQ(w.lines(), std::min(20, static_cast<int>(n)));
                    if (n == 0) {
                        EXPECT_EQ(w.selectedRecord(), 0);
                        continue;
                    }
                    EXPECT_GE(w.first(), 1);
                    EXPECT_LE(w.last(), n);
                    EXPECT_GE(w.line(), 0);
                    EXPECT_LE(w.line(), w.lastLine());
                }
}

TEST(FindWindow, LinesAreOneReadOfTheWindowAndFormattedPerCollection) {
    TempTree tree{"findwin"};
    std::string recs;
    for (int i = 1; i <= 25; ++i)
        recs += CumRec("D" + std::to_string(100000 + i), "VOL_" + std::to_string(i), "7");
    recs.resize(recs.size() - 2);  // the last record lacks its line end: it still counts
    CumIndexFile index(tree.write("cum.idx", recs));
    FindWindow w(index.count());
    ASSERT_EQ(w.count(), 25);
    w.bottom();
    long before = index.file().fileReads();
    std::vector<std::string> lines = WindowLines(index, w, kModePatents);
    EXPECT_LE(index.file().fileReads() - before, 2);  // the whole records at once, the short last one alone
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines.front(), "D100006  VOL_6     ");
    EXPECT_EQ(lines.back(), "D100025  VOL_25    ");
    w.top();
    before = index.file().fileReads();
    lines = WindowLines(index, w, kModePatents);
    EXPECT_EQ(index.file().fileReads() - before, 1);
    EXPECT_EQ(GetDocNumber(lines[0], kModePatents), "D100001");
    EXPECT_EQ(StoredFoundEntry(lines[0], kModePatents), lines[0]);

    CumIndexFile assign(
        tree.write("assn.idx", CumRec("12340567", "ASGN_01", "1") + CumRec("12340568", "ASGN_01", "1")));
    lines = WindowLines(assign, FindWindow(assign.count()), kModeAssignments);
    ASSERT_EQ(lines, (std::vector<std::string>{"1234/0567 ASGN_01   ", "1234/0568 ASGN_01   "}));
    EXPECT_EQ(GetDocNumber(lines[0], kModeAssignments), "12340567");
    EXPECT_EQ(StoredFoundEntry(lines[0], kModeAssignments), "12340567 ASGN_01");
    EXPECT_EQ(FoundDisplayLine("12340567 ASGN_01", kModeAssignments), lines[0]);

    // An empty index has no lines and reads nothing.
    CumIndexFile empty(tree.write("empty.idx", ""));
    EXPECT_TRUE(WindowLines(empty, FindWindow(empty.count()), kModePatents).empty());

    EXPECT_EQ(StepLine(950, 100, 1000), 999);
    EXPECT_EQ(StepLine(50, -100, 1000), 0);
    EXPECT_EQ(StepLine(0, 100, 0), -1);
    EXPECT_EQ(CumIndexTitle("FENNIC"), "Assignments Cumulative Index");
}

}  // namespace
}  // namespace velk

// A volume taken out of the tower while a batch print runs: the question comes up for
// it, Abort stops there, and what had not printed stays on To Print.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/vb_text.h"
#include "print/print_engine.h"
#include "print/print_runs.h"
#include "tests/print/print_fixtures.h"

namespace velk {
namespace {

namespace fs = std::filesystem;
namespace mks = velk::mksample;

TEST(PrintRuns, AVolumeRemovedMidBatchAsksAndAbortKeepsTheRestListed) {
    test::PrintInstall in(mks::Collection::Tovrin, mks::DriveMode::Tower);
    ASSERT_GE(in.s.volumes.size(), 2u);
    const std::string first = in.s.volumes[0].name, second = in.s.volumes[1].name;
    std::vector<std::string> onFirst, onSecond;
    for (const auto& d : in.s.documents) {
        if (d.volume == first) onFirst.push_back(d.number);
        if (d.volume == second) onSecond.push_back(d.number);
        if (d.volume == first || d.volume == second) in.toPrint(d);
    }
    ASSERT_FALSE(onFirst.empty());
    ASSERT_FALSE(onSecond.empty());

    // The second volume goes away while the first volume's first document prints.
    const fs::path gone = in.s.volumes[1].dir, away = gone.string() + ".out";
    in.ports.pump.onPump = [&](int n) {
        if (n == 2) fs::rename(gone, away);
    };
    in.ports.messages.answers = {Answer::Retry, Answer::Abort};
    test::ProgressLog log;
    PrintRun run(in.app, &log);
    const BatchResult r = PrintListBatch(in.app, run);

    EXPECT_TRUE(r.aborted);
    EXPECT_EQ(r.printed, static_cast<int>(onFirst.size()));
    // Asked twice for the missing volume (Retry, then Abort), never for the first.
    ASSERT_EQ(in.ports.messages.shown.size(), 2u);
    EXPECT_NE(in.ports.messages.shown[0].text.find(second), std::string::npos) << in.ports.messages.shown[0].text;
    EXPECT_EQ(in.ports.messages.shown[0].text, in.ports.messages.shown[1].text);
    // The first volume's documents left the list; the second's are all still there.
    std::vector<std::string> left = in.printList();
    std::sort(left.begin(), left.end());
    std::sort(onSecond.begin(), onSecond.end());
    EXPECT_EQ(left, onSecond);
    EXPECT_EQ(in.lists->PrintCount(), static_cast<int>(onSecond.size()));
    fs::rename(away, gone);
}

}  // namespace
}  // namespace velk

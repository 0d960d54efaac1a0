// A document leaves its list only once its files are on the disk: the pages are written
// without waiting for the disk, and the document's files are synced together at its end.
#include <gtest/gtest.h>

#include "export/export_engine.h"
#include "tests/export/export_fixtures.h"

namespace velk {
namespace {

using test::ExportInstall;
namespace mks = velk::mksample;

TEST(ExportSync, DocumentStaysListedWhenItsFilesCannotBeSynced) {
    ExportInstall in;
    const mks::SampleDocument& d = in.open(mks::ImageKind::TiffTextMap);
    in.toExport(d);
    const std::vector<int> pages = {1, 2};

    {
        ExportRun run(in.app, nullptr);
        EXPECT_EQ(run.ExportDocument(pages, SaveFormat::Pcx, in.out), ExportOutcome::Done);
        EXPECT_EQ(in.written().size(), 2u);
        EXPECT_TRUE(in.exportList().empty());
        EXPECT_TRUE(in.ports.messages.shown.empty());
    }

    // A page file taken away between its write and the document's sync (another program
    // cleaning the directory, a medium swapped): the sync fails on it.
    in.toExport(d);
    const std::size_t before = in.ports.messages.shown.size();
    ExportRun run(in.app, nullptr);
    run.overwrite = ExportRun::Overwrite::Always;
    in.ports.pump.onPump = [&](int) {
        if (run.pagesWritten() == 2) std::filesystem::remove(run.written().front());
    };
    EXPECT_EQ(run.ExportDocument(pages, SaveFormat::Pcx, in.out), ExportOutcome::Partial);
    ASSERT_EQ(in.ports.messages.shown.size(), before + 1);
    EXPECT_NE(in.ports.messages.last().find("File not found"), std::string::npos) << in.ports.messages.last();
    EXPECT_EQ(in.exportList(), std::vector<std::string>{Trim(d.number)});
}

}  // namespace
}  // namespace velk

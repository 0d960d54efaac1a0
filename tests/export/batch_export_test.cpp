// Batch export of the To Export list on generated installations: volume order, the
// list bookkeeping, missing volumes and documents, Cancel half-way, a real full disk.
#include "export/batch_export.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <set>

#include "tests/export/export_fixtures.h"
#include "tests/platform/scratch_dir.h"

namespace velk {
namespace {

using test::ExportInstall;
using test::PrintInstall;
namespace mks = velk::mksample;
namespace fs = std::filesystem;

std::vector<std::string> Pages(const std::string& number, int pages, const char* ext) {
    std::vector<std::string> out;
    for (int p = 1; p <= pages; ++p) out.push_back(number + "/Page" + FormatNumber(p, "0000") + ext);
    return out;
}

TEST(BatchExport, TrademarksVolumeByVolumeAndTheList) {
    ExportInstall in(mks::Collection::Tovrin);
    const mks::SampleDocument &a = in.s.documents[3], &b = in.s.documents[0];  // second volume, first
    ASSERT_NE(a.volume, b.volume);
    in.toExport(a);
    in.toExport(b);
    // Not on its volume: no directory, and it stays listed.
    in.lists->AddToExport(FixedWidth("9999999", 9) + b.volume, Int16(2));
    test::ExportLog log;
    ExportRun run(in.app, &log);
    const ExportBatchResult r = ExportBatch(in.app, run, nullptr, SaveFormat::Bmp, in.out);
    EXPECT_EQ(std::tuple(r.exported, r.passed, r.cancelled, r.aborted), std::tuple(2, 1, false, false));
    EXPECT_EQ(in.exportList(), std::vector<std::string>{"9999999"});
    std::vector<std::string> want = Pages(b.number, b.pages, ".BMP");
    for (const std::string& p : Pages(a.number, a.pages, ".BMP")) want.push_back(p);
    std::sort(want.begin(), want.end());
    EXPECT_EQ(in.written(), want);
    EXPECT_FALSE(fs::exists(in.out / "9999999"));
    // Volume order: b's volume first; captions of the batch window.
    ASSERT_FALSE(log.shown.empty());
    EXPECT_EQ(log.shown.front().lblDocument, "Document currently exporting: " + FormatText(b.number, "###,###,###"));
    EXPECT_EQ(log.shown.front().lblDoc, "Exporting document 1 of 3");
    EXPECT_EQ(log.shown.front().lblPg, "Exporting page 1 of " + std::to_string(b.pages));
    EXPECT_EQ(log.shown.back().lblDoc, "Exporting document 3 of 3");
    EXPECT_EQ(log.shown.back().lblPath.rfind("Exporting to: " + (in.out / a.number).string(), 0), 0u);
    EXPECT_EQ(log.shown.back().barCurrent, a.pages + b.pages);
    EXPECT_EQ(log.shown.back().barTotal, a.pages + b.pages + 2);
    EXPECT_TRUE(in.app.doc.CurDocNo.empty());  // the shown document is back
}

TEST(BatchExport, PatentPageChoiceMissingVolumeAndCancel) {
    ExportInstall in(mks::Collection::Quorvel, mks::DriveMode::Drive, 2);
    const auto& docs = in.s.documents;
    ASSERT_EQ(docs.size(), 4u);
    for (const auto& d : docs) in.toExport(d);
    const std::string inserted = in.s.insertedVolume;
    const PageOptions first{.choice = PageChoice::FirstPage};
    in.ports.messages.answers = {Answer::Ignore, Answer::Ignore};
    in.app.doc.CurPageCount = Int16(77);  // the document shown before the batch
    test::ExportLog log;
    ExportRun run(in.app, &log);
    ExportBatchResult r = ExportBatch(in.app, run, &first, SaveFormat::TiffG4, in.out);
    EXPECT_EQ(std::pair(r.exported, r.passed), std::pair(2, 2));  // the missing volume's two, asked once each
    // Each document's caption counts its own pages.
    std::set<std::string> captions;
    for (const auto& d : docs)
        if (d.volume == inserted) captions.insert("Exporting page 1 of " + std::to_string(d.pages));
    for (const ExportProgress& p : log.shown) EXPECT_EQ(captions.count(p.lblPg), 1u) << p.lblPg;
    // The summary: two done, two passed over and why, the list that keeps them.
    EXPECT_EQ(std::tuple(run.summary.run, run.summary.documents, run.summary.folder),
              std::tuple(std::string("Batch Export"), 2, in.out));
    ASSERT_EQ(run.summary.skipped.size(), 2u);
    EXPECT_NE(run.summary.skipped[0].why.find(" was not inserted"), std::string::npos);
    EXPECT_NE(run.summary.text().find("stays on the To Export list"), std::string::npos);
    ASSERT_EQ(in.ports.messages.shown.size(), 2u);
    EXPECT_EQ(in.ports.messages.shown[0].buttons, Buttons::AbortRetryIgnore);
    std::vector<std::string> want;
    for (const auto& d : docs)
        if (d.volume == inserted) want.push_back(d.number + "/Page0001.TIF");
    std::sort(want.begin(), want.end());
    EXPECT_EQ(in.written(), want);
    EXPECT_EQ(in.exportList().size(), 2u);

    // Abort stops at once and changes nothing.
    in.ports.messages.answers = {Answer::Abort};
    EXPECT_TRUE(in.batch(first, SaveFormat::TiffG4).aborted);
    EXPECT_EQ(in.exportList().size(), 2u);

    // Cancel during the first document of the other volume: it and the next stay listed.
    mks::InsertVolume(in.s, docs[0].volume == inserted ? docs[3].volume : docs[0].volume);
    const auto before = in.written();
    in.ports.pump.onPump = [&](int) {
        if (in.written().size() > before.size()) in.app.ExportCancel = true;
    };
    r = in.batch(PageOptions{.choice = PageChoice::Entire}, SaveFormat::Pcx);
    EXPECT_EQ(std::pair(r.cancelled, r.exported), std::pair(true, 0));
    EXPECT_EQ(in.written(), before);  // the cancelled document's new files are gone
    EXPECT_EQ(in.exportList().size(), 2u);
}

// Destinations that take nothing, checked as a user without rights there: one message
// for the run, not one a page, and the run stops with every document still listed. Then
// a real file system that fills up: a 40 KB tmpfs, when this process may mount one.
TEST(BatchExport, ReadOnlyAndFullDestinations) {
    ExportInstall in(mks::Collection::Tovrin);
    for (const auto& d : in.s.documents) in.toExport(d);
    const int listed = static_cast<int>(in.exportList().size());
    // No directory can be made in the first; in the second they are there but take no file.
    const fs::path noDirs = in.tree.dir("ro-dirs"), noFiles = in.tree.dir("ro-files");
    std::vector<fs::path> readOnly = {noDirs, noFiles};
    for (const auto& d : in.s.documents) readOnly.push_back(in.tree.dir("ro-files/" + d.number));
    for (const fs::path& p : readOnly)
        fs::permissions(p, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                               fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const int failures = test::InChild([&] {
        int bad = 0;
        for (const fs::path& to : {noDirs, noFiles}) {
            in.ports.messages.shown.clear();
            ExportRun run(in.app, nullptr);
            const ExportBatchResult r = ExportBatch(in.app, run, nullptr, SaveFormat::Bmp, to);
            bad |= in.ports.messages.shown.size() != 1u ? 1 : 0;
            bad |= !r.stopped || !run.stopped() || r.exported != 0 ? 2 : 0;
            bad |= run.summary.stopReason.find(to.string()) == std::string::npos ? 4 : 0;
            bad |= static_cast<int>(in.exportList().size()) != listed ? 8 : 0;
        }
        return bad;
    });
    EXPECT_TRUE(failures == 0 || failures == 99)  // 99: no user without rights to check as
        << failures
        << " - 1: a flood of messages, 2: the run went on, 4: no directory named, 8: the list changed";

    const fs::path tiny = in.tree.dir("small");
    if (geteuid() != 0 || mount("velk-test", tiny.c_str(), "tmpfs", 0, "size=40k") != 0) {
        GTEST_SKIP() << "no tmpfs can be mounted here (needs root and mount rights)";
    }
    struct Unmount {
        fs::path p;
        ~Unmount() { umount(p.c_str()); }
    } unmount{tiny};
    in.app.ports.disk = nullptr;  // ask the file system itself: the writes must fail cleanly
    ExportRun run(in.app, nullptr);
    const ExportBatchResult r = ExportBatch(in.app, run, nullptr, SaveFormat::TiffUncompressed, tiny);
    ASSERT_LT(r.exported, listed) << "the disk did not fill";
    EXPECT_EQ(static_cast<int>(in.exportList().size()), listed - r.exported);
    // Every file there is whole (it reads back) and no temporary is left.
    for (const auto& e : fs::recursive_directory_iterator(tiny)) {
        if (!e.is_regular_file()) continue;
        EXPECT_EQ(e.path().extension(), ".TIF") << e.path();
        EXPECT_NO_THROW(PageImage::load(e.path())) << e.path();
    }
    EXPECT_TRUE(r.exported == listed ||
                (r.stopped && in.ports.messages.shown.size() == 1u &&
                 in.ports.messages.last().find(RuntimeError(kErrDiskFull).report()) != std::string::npos))
        << in.ports.messages.last();
}

}  // namespace
}  // namespace velk

// The page engine, the page choice and the runs, against the recording printer.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "print/print_runs.h"
#include "tests/print/print_fixtures.h"
#include "viewer/document_locator.h"
#include "viewer/imaging/page_image.h"

namespace velk {
namespace {

namespace fs = std::filesystem;
using test::PrintInstall;
namespace mks = velk::mksample;

TEST(SelectPages, OptionsSectionsMetaRangesAndCommandLineLists) {
    CurrentDocument plain;
    plain.SectionFirstPage = {Int16(1), Int16(2), Int16(3), Int16(5), Int16(7)};
    CurrentDocument noDrawings = plain;
    noDrawings.SectionFirstPage[SecDrawings] = Int16(0);
    CurrentDocument meta = noDrawings;
    meta.MapMarker = "META:100;";
    meta.SectionPageRange = {"2", "2", "3", "4", "x", "6", "7", "9", "10", "10", "0", "0"};
    using C = PageChoice;
    const PageOptions claimsDescCorr{
        .choice = C::Subsection, .claims = true, .description = true, .corrections = true};
    const PageOptions metaFour{.choice = C::Subsection,
                               .description = true,
                               .drawings = true,
                               .corrections = true,
                               .reexaminations = true};
    const struct {
        const CurrentDocument& doc;
        PageOptions o;
        int pages;
        std::vector<int> want;
    } cases[] = {
        {plain, {.choice = C::Range, .rangeStart = 5, .rangeEnd = 3}, 9, {}},
        {plain, {.choice = C::Range, .rangeStart = 3, .rangeEnd = 3}, 9, {3}},
        {plain, {.choice = C::AllNotFirst}, 1, {}},
        {plain, {.choice = C::AllNotFirst}, 3, {2, 3}},
        {plain, {.choice = C::Page, .page = 12}, 9, {}},  // past the end
        {plain, {.choice = C::Subsection}, 9, {}},        // no box checked
        // The abstract first, then the front page; no corrections without META.
        {plain, {.choice = C::Subsection, .abstract = true, .biblio = true}, 9, {2, 1}},
        {plain, claimsDescCorr, 9, {7, 8, 9, 5, 6}},
        // An absent section (first page 0) selects nothing, and ends the abstract at its first page.
        {noDrawings, {.choice = C::Subsection, .drawings = true}, 9, {}},
        {noDrawings, {.choice = C::Subsection, .abstract = true, .drawings = true}, 9, {2}},
        // Description "x" is no number; corrections lie past a 9-page document.
        {meta, metaFour, 9, {3, 4}},
        {meta, metaFour, 10, {3, 4, 10}},
        {plain, {.choice = C::List, .list = {3, 9, 1}}, 4, {3, 1}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const PageSelection s = SelectPages(cases[i].o, cases[i].doc, cases[i].pages);
        EXPECT_EQ(s.empty(), cases[i].want.empty());  // empty: no page reaches the loader
        if (cases[i].want.empty()) continue;
        EXPECT_EQ(std::vector<int>(s.pages.begin(), s.pages.end()), cases[i].want);
        EXPECT_EQ(s.count, static_cast<int>(cases[i].want.size()));
    }
    // The section a page lies in, as the status bar names it.
    const struct {
        const CurrentDocument& doc;
        int page, pages;
        const char* want;
    } sections[] = {{plain, 1, 9, "Front page"},
                    {plain, 2, 9, "Abstract"},
                    {plain, 4, 9, "Drawings"},
                    {plain, 6, 9, "Description"},
                    {plain, 9, 9, "Claims"},
                    {noDrawings, 3, 9, ""},
                    {meta, 1, 10, "Front page"},
                    {meta, 3, 10, "Drawings"},
                    {meta, 5, 10, ""},
                    {meta, 8, 10, "Claims"},
                    {meta, 10, 10, "Certificate of Corrections"}};
    for (const auto& k : sections) EXPECT_EQ(SectionOfPage(k.doc, k.page, k.pages), k.want) << k.page;
    EXPECT_EQ(ParsePageList("1,3-5"), (std::vector<int>{1, 3, 4, 5}));
    EXPECT_EQ(ParsePageList("4,2"), (std::vector<int>{4, 2}));
    for (const char* bad : {"", "0", "3-1", "1,,2", "a", "1-", "-2", "40000", "1-32767,1-2"})
        EXPECT_FALSE(ParsePageList(bad).has_value()) << bad;
}

TEST(PrintEngine, FitJobsPaperDuplexAndCaptions) {
    // The page keeps its aspect, centred; a fine fax's unequal resolutions count.
    const TwipRect r = FitPage(2550, 3300, 300, 300, 11520, 15120);
    EXPECT_EQ(std::tuple(r.x, r.width), std::tuple(0, 11520));
    EXPECT_NEAR(r.height, 14909, 1);
    EXPECT_EQ(r.y, (15120 - r.height) / 2);
    const TwipRect fax = FitPage(1728, 1100, 204, 98, 11520, 15120);
    EXPECT_NEAR(double(fax.width) / fax.height, (1728 / 204.0) / (1100 / 98.0), 0.01);

    App app;
    test::FakePorts ports;
    ports.wire(app.ports);
    test::ProgressLog log;
    app.doc.CurDocNo = "5123456";
    const PageImage page = PageImage::fromQImage(QImage(60, 80, QImage::Format_Mono));
    auto& calls = ports.printer.calls;

    app.config.PageType = "LEGAL";
    {
        PrintRun run(app, &log);
        for (int p = 1; p <= 3; ++p) EXPECT_TRUE(PrintSinglePage(run, page, p, 3, p));
        EXPECT_TRUE(run.FinishDocument());
    }
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[0], "paper 5");
    EXPECT_EQ(calls[1].rfind("page 60x80 at ", 0), 0u);
    EXPECT_EQ(calls[2], "newPage");
    EXPECT_EQ(calls[4], "newPage");
    EXPECT_EQ(calls[6], "endDoc");
    EXPECT_EQ(log.shown[1].lblDocument, "Document currently printing: 5,123,456");
    EXPECT_EQ(log.shown[1].lblPage, "Printing 2 of 3 pages");

    calls.clear(), log.shown.clear();
    app.config.PageType = "B5";  // unknown: paper left alone
    ports.frame.checked["Duplex"] = true;
    {
        PrintRun run(app, &log);
        EXPECT_TRUE(PrintSinglePage(run, page, 4, 1, 1));
        EXPECT_TRUE(run.FinishDocument());
        // A batch: totals unknown give a blank all-pages line and the bar runs on the document.
        run.BatchPageCounter = 0;
        EXPECT_TRUE(PrintBatchPage(run, page, 1, 2, 1, 1, 0));
        EXPECT_EQ(log.shown.back().lblAllPages, " ");
        EXPECT_EQ(log.shown.back().barTotal, 2);
        EXPECT_EQ(log.shown.back().lblAllDocs, "Document 1 of 1");
    }  // the run ends the job it left open
    EXPECT_EQ(log.shown[0].lblPage, "Printing 1 of 1 pages");
    EXPECT_EQ(ports.printer.count("paper"), 0);
    EXPECT_EQ(ports.printer.duplexMode, kDuplexVertical);
    EXPECT_EQ(ports.printer.count("endDoc"), 2);

    // Duplex switched off again: simplex, since this program had set duplex.
    calls.clear();
    ports.frame.checked["Duplex"] = false;
    ports.printer.failEnd = true;
    {
        PrintRun run(app, &log);
        EXPECT_FALSE(PrintSinglePage(run, page, 1, 1, 1));  // the job could not be finished
        EXPECT_FALSE(run.FinishDocument());
    }
    EXPECT_EQ(calls.front(), "duplex 1");
    EXPECT_EQ(ports.messages.last(), "482 - Printer error");
}

TEST(PrintRuns, TrademarkBatchByVolumeAndListBookkeeping) {
    PrintInstall in(mks::Collection::Tovrin, mks::DriveMode::Tower);
    // Volumes 2, 1, 2: printed in volume order; a document the volume lacks stays.
    const mks::SampleDocument &a = in.s.documents[3], &b = in.s.documents[0], &c = in.s.documents[4];
    ASSERT_NE(a.volume, b.volume);
    for (const auto* d : {&a, &b, &c}) in.toPrint(*d);
    in.lists->AddToPrint(FixedWidth("9999999", 9) + b.volume, Int16(2));
    test::ProgressLog log;
    const BatchResult r = in.listBatch(&log);
    const int all = a.pages + b.pages + c.pages;
    EXPECT_EQ(
        std::tuple(r.printed, r.passed, in.ports.printer.count("page "), in.ports.printer.count("endDoc")),
        std::tuple(3, 1, all, 3));
    EXPECT_EQ(in.printList(), std::vector<std::string>{"9999999"});
    EXPECT_EQ(log.shown.front().lblDocument,
              "Document currently printing: " + FormatText(b.number, "###,###,###"));
    EXPECT_EQ(log.shown.back().lblAllPages, "Page " + std::to_string(all) + " of " + std::to_string(all + 2));
    EXPECT_TRUE(in.app.doc.CurDocNo.empty());  // the shown document is back
    EXPECT_TRUE(in.ports.messages.shown.empty()) << in.ports.messages.last();
    // The closing message: what printed where, and the one that did not.
    const RunSummary& s = in.summary;
    EXPECT_EQ(std::tuple(s.run, s.documents, s.pages, s.output),
              std::tuple(std::string("Batch Print"), 3, all, std::string("Recording Printer")));
    ASSERT_EQ(s.failed.size(), 1u);
    EXPECT_EQ(std::pair(s.failed[0].what, s.failed[0].why),
              std::pair(std::string("9999999"), "not found on volume " + b.volume));
}

TEST(PrintRuns, CancelAfterAPageLeavesTheDocumentAndEndsTheJob) {
    PrintInstall in(mks::Collection::Quorvel, mks::DriveMode::Tower);
    const mks::SampleDocument* multi = in.withPages(3);
    ASSERT_NE(multi, nullptr);
    in.toPrint(*multi);
    in.toPrint(in.s.documents.back());
    in.app.PrintCancel = true;  // an earlier run's Cancel must not stop this one
    // Pump 1 is before the document, 2 before page 1, 3 before page 2: Cancel there.
    in.ports.pump.onPump = [&](int n) {
        if (n == 3) in.app.PrintCancel = true;
    };
    PrintRun run(in.app, nullptr);  // still open while the job is checked: the batch itself ends it
    const BatchResult r = PrintPatentBatch(in.app, run, PageOptions{.choice = PageChoice::Entire});
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(in.ports.printer.count("page "), 1);
    EXPECT_EQ(in.ports.printer.count("endDoc"), 1);
    EXPECT_EQ(in.printList().size(), 2u);
    EXPECT_EQ(run.summary.end, RunSummary::End::Cancelled);
    ASSERT_EQ(run.summary.skipped.size(), 1u);
    EXPECT_EQ(run.summary.skipped[0].why.rfind("cancelled after 1 of ", 0), 0u) << run.summary.skipped[0].why;
}

TEST(PrintRuns, VolumePromptAbortRetryIgnore) {
    PrintInstall in(mks::Collection::Tovrin, mks::DriveMode::Drive, 2);
    const auto& docs = in.s.documents;
    ASSERT_EQ(docs.size(), 4u);
    for (const auto& d : docs) in.toPrint(d);  // one volume is in the drive
    const std::string inserted = in.s.insertedVolume;
    const std::string other = inserted == in.s.volumes[0].name ? in.s.volumes[1].name : in.s.volumes[0].name;
    const mks::SampleDocument& first = docs[0].volume == inserted ? docs[0] : docs[3];
    in.ports.messages.answers = {Answer::Ignore};
    EXPECT_EQ(in.listBatch().printed, 2);
    ASSERT_EQ(in.ports.messages.shown.size(), 2u);  // one prompt per document of the missing volume
    EXPECT_EQ(in.ports.messages.shown[0].text,
              "Please insert CDRom Volume " + other + ".  Current CDRom Drive is E:");
    EXPECT_EQ(in.ports.messages.shown[0].buttons, Buttons::AbortRetryIgnore);
    EXPECT_EQ(in.printList().size(), 2u);

    // Retry after the user changed the volume prints it; Abort stops the run at once.
    struct Inserting : test::FakeMessages {
        PrintInstall* in;
        std::string volume;
        Answer show(const std::string& t, const std::string& title, Buttons b, Icon i) override {
            mks::InsertVolume(in->s, volume);
            test::FakeMessages::show(t, title, b, i);
            return Answer::Retry;
        }
    } inserting;
    inserting.in = &in;
    inserting.volume = other;
    in.app.ports.messages = &inserting;
    in.toPrint(first);
    in.ports.messages.answers = {Answer::Abort};
    EXPECT_EQ(in.listBatch().printed, 3);
    EXPECT_EQ(inserting.shown.size(), 1u);
    EXPECT_TRUE(in.printList().empty());

    in.app.ports.messages = &in.ports.messages;
    in.toPrint(first);  // the other volume is in the drive now
    EXPECT_TRUE(in.listBatch().aborted);
    EXPECT_EQ(in.printList().size(), 1u);
}

TEST(PrintRuns, SingleDocumentsAndAssignmentsFromTheirFiles) {
    PrintInstall in(mks::Collection::Assign, mks::DriveMode::Tower);
    const mks::SampleDocument& d = in.s.documents[1];
    in.toPrint(d);
    in.toPrint(in.s.documents[2]);
    EXPECT_EQ(in.listBatch().printed, 2);
    const int sent = in.ports.printer.count("page ");
    EXPECT_GE(sent, 2);

    // The assignment dialog's run: one page of the shown document, off the Remaining list;
    // a page the file does not hold is reported and the document stays listed.
    ASSERT_TRUE(in.show(d));
    for (int page : {1, 40}) {
        in.lists->AddToRemaining(PrintInstall::Entry(d), Int16(1));
        in.app.doc.CurPageCount = Int16(page);
        {
            PrintRun run(in.app, nullptr);
            EXPECT_EQ(PrintMarkDocument(in.app, run, false, page), page == 1);
        }
        EXPECT_EQ(in.lists->Count(ListTable::Remaining), page == 1 ? 0 : 1);
    }
    EXPECT_EQ(in.ports.printer.count("page "), sent + 1);
    EXPECT_FALSE(in.ports.messages.shown.empty());  // GetPage or the decoder said why
}

}  // namespace
}  // namespace velk

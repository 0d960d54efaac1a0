// The page engine, the page choice and the runs, against the recording printer.
#include <gtest/gtest.h>

#include "print/print_runs.h"
#include "tests/print/print_fixtures.h"
#include "viewer/document_locator.h"
#include "viewer/imaging/page_image.h"

namespace velk {
namespace {

using test::PrintInstall;
namespace mks = velk::mksample;

std::vector<int> Pages(const PageSelection& s) { return {s.pages.begin(), s.pages.end()}; }

TEST(SelectPages, OptionsSectionsAndMetaRanges) {
    CurrentDocument doc;
    doc.SectionFirstPage = {Int16(1), Int16(2), Int16(3), Int16(5), Int16(7)};
    PageOptions o;
    o.choice = PageChoice::Range;
    o.rangeStart = 5, o.rangeEnd = 3;
    EXPECT_TRUE(SelectPages(o, doc, 9).empty());
    o.rangeStart = 3, o.rangeEnd = 3;
    EXPECT_EQ(Pages(SelectPages(o, doc, 9)), std::vector<int>{3});
    o.choice = PageChoice::AllNotFirst;
    EXPECT_TRUE(SelectPages(o, doc, 1).empty());
    EXPECT_EQ(Pages(SelectPages(o, doc, 3)), (std::vector<int>{2, 3}));
    o.choice = PageChoice::Page, o.page = 12;  // past the end: nothing reaches the loader
    EXPECT_TRUE(SelectPages(o, doc, 9).empty());

    o.choice = PageChoice::Subsection;
    EXPECT_TRUE(SelectPages(o, doc, 9).empty());  // no box checked
    o.abstract = o.biblio = true;                 // abstract first, then the front page
    EXPECT_EQ(Pages(SelectPages(o, doc, 9)), (std::vector<int>{2, 1}));
    o = {};
    o.choice = PageChoice::Subsection;
    o.claims = o.description = o.corrections = true;
    EXPECT_EQ(Pages(SelectPages(o, doc, 9)), (std::vector<int>{7, 8, 9, 5, 6}));  // no corrections without META

    // An absent section (first page 0) selects nothing, whatever follows it.
    doc.SectionFirstPage[SecDrawings] = Int16(0);
    o = {};
    o.choice = PageChoice::Subsection;
    o.drawings = true;
    EXPECT_TRUE(SelectPages(o, doc, 9).empty());
    o.abstract = true;  // the abstract now runs to the page before... nothing: its first page only
    EXPECT_EQ(Pages(SelectPages(o, doc, 9)), std::vector<int>{2});

    doc.MapMarker = "META:100;";
    doc.SectionPageRange = {"2", "2", "3", "4", "x", "6", "7", "9", "10", "10", "0", "0"};
    o = {};
    o.choice = PageChoice::Subsection;
    o.description = o.corrections = o.reexaminations = o.drawings = true;
    // description "x" is no number; corrections lie past a 9-page document.
    EXPECT_EQ(Pages(SelectPages(o, doc, 9)), (std::vector<int>{3, 4}));
    EXPECT_EQ(SelectPages(o, doc, 10).count, 3);
}

TEST(PrintEngine, FitPageKeepsAspectAndCentres) {
    const TwipRect r = FitPage(2550, 3300, 300, 300, 11520, 15120);
    EXPECT_EQ(r.width, 11520);
    EXPECT_NEAR(r.height, 14909, 1);
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y, (15120 - r.height) / 2);
    const TwipRect fax = FitPage(1728, 1100, 204, 98, 11520, 15120);  // fine fax, unequal resolutions
    EXPECT_NEAR(double(fax.width) / fax.height, (1728 / 204.0) / (1100 / 98.0), 0.01);
}

TEST(PrintEngine, JobsPaperDuplexAndCaptions) {
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
    const auto& docs = in.s.documents;
    // Volumes 2, 1, 2: printed in volume order; a document the volume lacks stays.
    const mks::SampleDocument& a = docs[3];
    const mks::SampleDocument& b = docs[0];
    const mks::SampleDocument& c = docs[4];
    ASSERT_NE(a.volume, b.volume);
    in.toPrint(a);
    in.toPrint(b);
    in.toPrint(c);
    in.lists->AddToPrint(FixedWidth("9999999", 9) + b.volume, Int16(2));
    test::ProgressLog log;
    PrintRun run(in.app, &log);
    const BatchResult r = PrintListBatch(in.app, run);
    EXPECT_EQ(r.printed, 3);
    EXPECT_EQ(r.passed, 1);
    EXPECT_EQ(in.printList(), std::vector<std::string>{"9999999"});
    EXPECT_EQ(in.ports.printer.count("page "), b.pages + a.pages + c.pages);
    EXPECT_EQ(in.ports.printer.count("endDoc"), 3);
    EXPECT_EQ(log.shown.front().lblDocument, "Document currently printing: " + FormatText(b.number, "###,###,###"));
    EXPECT_EQ(log.shown.back().lblAllPages, "Page " + std::to_string(a.pages + b.pages + c.pages) + " of " +
                                                std::to_string(a.pages + b.pages + c.pages + 2));
    EXPECT_TRUE(in.app.doc.CurDocNo.empty());  // the shown document is back
    EXPECT_TRUE(in.ports.messages.shown.empty()) << in.ports.messages.last();
}

TEST(PrintRuns, CancelAfterAPageLeavesTheDocumentAndEndsTheJob) {
    PrintInstall in(mks::Collection::Quorvel, mks::DriveMode::Tower);
    const mks::SampleDocument* multi = nullptr;
    for (const auto& d : in.s.documents)
        if (d.pages >= 3 && !multi) multi = &d;
    ASSERT_NE(multi, nullptr);
    in.toPrint(*multi);
    in.toPrint(in.s.documents.back());
    in.app.PrintCancel = true;  // an earlier run's Cancel must not stop this one
    // Pump 1 is before the document, 2 before page 1, 3 before page 2: Cancel there.
    in.ports.pump.onPump = [&](int n) {
        if (n == 3) in.app.PrintCancel = true;
    };
    PageOptions all;
    all.choice = PageChoice::Entire;
    PrintRun run(in.app, nullptr);
    const BatchResult r = PrintPatentBatch(in.app, run, all);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(in.ports.printer.count("page "), 1);
    EXPECT_EQ(in.ports.printer.count("endDoc"), 1);
    EXPECT_EQ(in.printList().size(), 2u);
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
    {
        PrintRun run(in.app, nullptr);
        const BatchResult r = PrintListBatch(in.app, run);
        EXPECT_EQ(r.printed, 2);
    }
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
    in.lists->AddToPrint(PrintInstall::Entry(first), Int16(first.pages));
    in.ports.messages.answers = {Answer::Abort};
    {
        PrintRun run(in.app, nullptr);
        EXPECT_EQ(PrintListBatch(in.app, run).printed, 3);
    }
    EXPECT_EQ(inserting.shown.size(), 1u);
    EXPECT_TRUE(in.printList().empty());

    in.app.ports.messages = &in.ports.messages;
    in.toPrint(first);  // the other volume is in the drive now
    {
        PrintRun run(in.app, nullptr);
        EXPECT_TRUE(PrintListBatch(in.app, run).aborted);
    }
    EXPECT_EQ(in.printList().size(), 1u);
}

TEST(PrintRuns, SingleDocumentsAndAssignmentsFromTheirFiles) {
    PrintInstall in(mks::Collection::Assign, mks::DriveMode::Tower);
    const mks::SampleDocument& d = in.s.documents[1];
    in.toPrint(d);
    in.toPrint(in.s.documents[2]);
    {
        PrintRun run(in.app, nullptr);
        EXPECT_EQ(PrintListBatch(in.app, run).printed, 2);
    }
    const int sent = in.ports.printer.count("page ");
    EXPECT_GE(sent, 2);

    // The assignment dialog's run: one page of the shown document, off the Remaining list.
    in.app.doc.CurDocNo = d.number;
    in.app.doc.CurVolume = d.volume;
    ASSERT_TRUE(GetPath_OpenIdx(in.app, d.number, d.volume));
    in.app.doc.CurPageCount = Int16(1);
    in.lists->AddToRemaining(PrintInstall::Entry(d), Int16(1));
    {
        PrintRun run(in.app, nullptr);
        EXPECT_TRUE(PrintMarkDocument(in.app, run, false, 1));
    }
    EXPECT_EQ(in.lists->Count(ListTable::Remaining), 0);
    EXPECT_EQ(in.ports.printer.count("page "), sent + 1);

    // A page the file does not hold: reported, and the document stays listed.
    in.lists->AddToRemaining(PrintInstall::Entry(d), Int16(1));
    in.app.doc.CurPageCount = Int16(40);
    {
        PrintRun run(in.app, nullptr);
        EXPECT_FALSE(PrintMarkDocument(in.app, run, false, 40));
    }
    EXPECT_EQ(in.lists->Count(ListTable::Remaining), 1);
    EXPECT_FALSE(in.ports.messages.shown.empty());  // GetPage or the decoder said why
}

}  // namespace
}  // namespace velk

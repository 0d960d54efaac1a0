// The list window: its model (texts, lines, print layout, DOCS files) and the form
// driven headless through the ports.
#include "lists/list_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <cstdio>
#include <memory>

#include "lists/ui/frm_list_box.h"
#include "platform/ui/qt_printer.h"
#include "tests/platform/scratch_dir.h"
#include "tests/support/fake_modal.h"
#include "tests/support/fakes.h"

namespace velk {
namespace {

using Strings = std::vector<std::string>;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::StartsWith;
namespace fs = std::filesystem;

Strings Lines(const std::string& text) {
    Strings out;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
        out.push_back(text.substr(start, at - start));
    EXPECT_EQ(start, text.size()) << "text ends without CR LF";
    return out;
}

Strings Numbered(int n) {
    Strings e;
    for (int i = 0; i < n; ++i) e.push_back(std::to_string(5000000 + i) + "  V" + std::to_string(i % 3));
    return e;
}

// Texts drawn, in order, without positions.
Strings Drawn(const test::RecordingPrinter& p) {
    Strings out;
    for (const std::string& c : p.calls)
        if (c.rfind("text ", 0) == 0) {
            std::string t = c.substr(c.find(" 10 ") + 4);
            out.push_back(t.rfind("bold ", 0) == 0 ? t.substr(5) : t);
        }
    return out;
}

TEST(ListWindowModel, TextsLinesAndPercent) {
    EXPECT_EQ(OutputLine("5123456  V001", true), "5123456  V001");
    EXPECT_EQ(OutputLine("5123456  V001", false), "5123456 ");
    EXPECT_EQ(OutputLine("9999999", false), "9999999");  // Not Found: whole either way
    EXPECT_STREQ(TextsOf(*ListTypeFromText("REMAINING")).saveHeading, "Documents Not Printed/Export");
    EXPECT_FALSE(ListTypeFromText("found").has_value());
    // 32-bit: entry 328 of a long list is not a wrapped product.
    EXPECT_EQ(ProgressPercent(328, 1000), 33);
    EXPECT_EQ(ProgressPercent(99999, 100000), 100);
    EXPECT_EQ(ProgressPercent(0, 0), 100);
    std::vector<int> seen;
    EXPECT_EQ(Lines(ListSaveText(ListType::Found, {"5123456  V001", "D345678  V002"}, false, "d", "t",
                                 [&](int p) { seen.push_back(p); })),
              (Strings{"Documents Found", "d t", "", "5123456 ", "D345678 ", "", "", ""}));
    EXPECT_EQ(seen.back(), 100);
    EXPECT_EQ(Lines(ListSaveText(ListType::Remaining, {}, false, "d", "t")).at(3), "No Records Found");
}

TEST(ListWindowModel, PrintLayoutAndPages) {
    test::RecordingPrinter p;
    ASSERT_TRUE(PrintList(p, ListType::Found, Numbered(113), false, "A4", "d", "t"));
    EXPECT_EQ(p.paper, kPaperA4);
    // 113 entries are 57 lines: 56 on page 1, one on page 2.
    EXPECT_EQ(p.count("newPage"), 1);
    EXPECT_EQ(p.calls.back(), "endDoc");
    const Strings drawn = Drawn(p);
    EXPECT_EQ(Strings(drawn.begin(), drawn.begin() + 5),
              (Strings{"DOCUMENT FOUND LISTING", "Page 1", "d t", "5000000 ", "5000001 "}));
    const auto page2 = std::find(p.calls.begin(), p.calls.end(), "newPage");
    ASSERT_NE(page2, p.calls.end());
    EXPECT_EQ(std::count_if(p.calls.begin(), page2, [](auto& c) { return c.rfind("text ", 0) == 0; }), 3 + 112);
    // Page 2: heading, page number at 10000 twips, no date, then the last entry at the margin.
    EXPECT_THAT(page2[1], HasSubstr("bold DOCUMENT FOUND LISTING"));
    EXPECT_THAT(page2[2], AllOf(StartsWith("text 10000,"), HasSubstr("Page 2")));
    EXPECT_THAT(page2[3], AllOf(StartsWith("text 0,"), HasSubstr("5000112")));
    // The second entry of a line at 6000 twips, on the first entry's line.
    const std::string &first = p.calls[4], &second = p.calls[5];
    EXPECT_THAT(first, StartsWith("text 0,"));
    EXPECT_THAT(second, StartsWith("text 6000,"));
    auto y = [](const std::string& c) { return c.substr(c.find(',') + 1, c.find(' ', 5) - c.find(',') - 1); };
    EXPECT_EQ(y(first), y(second));
    EXPECT_NE(y(first), y(p.calls[6]));

    // 112 entries fill page 1 exactly: no page of headings alone after it.
    test::RecordingPrinter exact;
    ASSERT_TRUE(PrintList(exact, ListType::Remaining, Numbered(112), true, "LEGAL", "d", "t"));
    EXPECT_EQ(exact.count("newPage"), 0);
    EXPECT_EQ(exact.paper, kPaperLegal);

    test::RecordingPrinter empty;
    empty.failEnd = true;
    EXPECT_FALSE(PrintList(empty, ListType::NotFound, {}, true, "LETTER", "d", "t"));
    EXPECT_EQ(Drawn(empty).back(), "No Records Found");
}

TEST(ListWindowModel, DocsNamesAndSafeWrites) {
    test::ScratchDir dir("list-save");
    EXPECT_EQ(ProposedDocsName(dir.path()), "DOCS0001.TXT");
    dir.write("DOCS0001.TXT", "x");
    dir.write("DOCS0002.TXT", "x");
    EXPECT_EQ(ProposedDocsName(dir.path()), "DOCS0003.TXT");

    WriteDocsFile(dir / "DOCS0002.TXT", "new\r\n");
    EXPECT_EQ(dir.read("DOCS0002.TXT"), "new\r\n");

    // A full disk (here: a file-size limit) fails with a reason, keeps the old file
    // and leaves no partial one behind.
    struct sigaction ignore {}, old {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &old);
    rlimit was{};
    getrlimit(RLIMIT_FSIZE, &was);
    rlimit small = was;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    std::string error;
    try {
        WriteDocsFile(dir / "DOCS0001.TXT", std::string(100000, 'x'));
    } catch (const RuntimeError& e) {
        error = e.report();
    }
    setrlimit(RLIMIT_FSIZE, &was);
    sigaction(SIGXFSZ, &old, nullptr);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(dir.read("DOCS0001.TXT"), "x");
    int files = 0;
    for (auto& e : fs::directory_iterator(dir.path())) files += e.is_regular_file();
    EXPECT_EQ(files, 2);

    EXPECT_THROW(WriteDocsFile(dir / "missing" / "DOCS0001.TXT", "x"), RuntimeError);
    EXPECT_TRUE(InsideDirectory(dir / "a.txt", dir.path()));
    EXPECT_FALSE(InsideDirectory(dir / ".." / "a.txt", dir.path()));
    EXPECT_FALSE(InsideDirectory(dir.path(), dir.path()));
}

// A run state with a list store of its own, holding `n` found entries, and every port faked.
struct ListWorld {
    test::ScratchDir dir{"list-window"};
    test::FakePorts fakes;
    test::FakeModal modal;
    App app;
    std::unique_ptr<ListStore> store;
    explicit ListWorld(int n) {
        app.config.CollectionMode = kModePatents;
        app.config.AppDir = dir.str();
        app.config.CollectionLetter = "P";
        app.config.InstallationType = "OPEN";
        app.config.PageType = "LETTER";
        fs::create_directories(dir / "out");
        app.config.ExportPath = (dir / "out").string();
        store = std::make_unique<ListStore>(dir / "VELKWp.mdb", kModePatents);
        store->OpenDatabases();
        app.lists = store.get();
        fakes.wire(app.ports);
        app.ports.modal = &modal;
        found(n);
    }
    void found(int n) {
        for (std::string& e : Numbered(n)) store->AddToFound(e, 2);
    }
};

TEST(ListWindowForm, OpensCopiesAndMoves) {
    ListWorld w(99);
    {
        frmListBox f(w.app, "FOUND");
        EXPECT_EQ(f.windowTitle(), "Documents Found");
        EXPECT_EQ(f.lstLists->count(), 99);
        EXPECT_EQ(f.lstLists->currentRow(), 0);
        EXPECT_FALSE(f.cmdUp100->isEnabled());
        EXPECT_TRUE(f.cmdCopyList->isEnabled());
        f.cmdBottom_Click();
        EXPECT_EQ(f.lstLists->currentRow(), 98);
        f.chkIncludeVol->setChecked(true);
        f.cmdCopyList_Click();
        const Strings lines = Lines(w.fakes.clipboard.stored);
        EXPECT_EQ(lines.size(), 3u + 99 + 2);
        // The medium date and time.
        EXPECT_EQ(Strings(lines.begin(), lines.begin() + 4),
                  (Strings{"DOCUMENTS FOUND LISTING", "07-Dec-26 9:30 AM", "", "5000000  V0"}));
        EXPECT_TRUE(w.fakes.messages.shown.empty());
        EXPECT_FALSE(f.lblProgress->isVisibleTo(&f));
        EXPECT_TRUE(f.cmdClose->isEnabled());
    }
    w.found(1);
    frmListBox f(w.app, "FOUND");
    EXPECT_TRUE(f.cmdUp100->isEnabled());
    f.cmdDown100_Click();
    EXPECT_EQ(f.lstLists->currentRow(), 0);  // 100 lines down would pass the end
    f.cmdBottom_Click();
    f.cmdUp100_Click();
    EXPECT_EQ(f.lstLists->currentRow(), 99);  // 99 - 100 would pass the start: stays
    f.cmdTop_Click();

    // Viewing a line shows that document in the first viewer and closes the window.
    f.lstLists->setCurrentRow(2);
    f.lstLists_DblClick();
    EXPECT_EQ(w.fakes.frame.displayed, (std::vector<int>{1}));
    EXPECT_EQ(w.app.doc.CurDocNo, "5000002");
    EXPECT_EQ(w.app.doc.CurVolume, "V2");
    EXPECT_EQ(f.result(), QDialog::Accepted);

    // Empty Not Found list: the line, the message; a restricted installation cannot copy.
    frmListBox nf(w.app, "NOT FOUND");
    EXPECT_EQ(nf.windowTitle(), "Documents Not Found");
    nf.cmdCopyList_Click();
    EXPECT_EQ(Lines(w.fakes.clipboard.stored)[3], " No Records Found");
    ASSERT_EQ(w.fakes.messages.shown.size(), 1u);
    EXPECT_EQ(w.fakes.messages.shown[0].text, "No Records Found");
    EXPECT_EQ(w.fakes.messages.shown[0].icon, Icon::Exclamation);
    nf.lstLists_DblClick();
    EXPECT_EQ(w.fakes.frame.displayed.size(), 1u);
    w.app.config.InstallationType = "RESTRICTED";
    frmListBox locked(w.app, "REMAINING");
    EXPECT_FALSE(locked.cmdCopyList->isEnabled());
    EXPECT_EQ(locked.windowTitle(), "Documents Not Printed/Exported");
    EXPECT_EQ(locked.lstLists->count(), 99);  // the document found twice waits there once
}

TEST(ListWindowForm, PrintsToTheRecorderAndToARealPdf) {
    ListWorld w(113);
    frmListBox f(w.app, "REMAINING");
    f.cmdPrintList_Click();
    EXPECT_EQ(w.fakes.printer.count("newPage"), 1);
    EXPECT_EQ(Drawn(w.fakes.printer)[2], "07-Dec-26 9:30 AM");
    EXPECT_TRUE(w.fakes.messages.shown.empty());
    w.fakes.printer.failEnd = true;
    f.cmdPrintList_Click();
    EXPECT_EQ(w.fakes.messages.last(), "Printer error 482");

    // The list through the real printer: 113 lines take two A4 pages.
    QtPrinter pdf((w.dir / "list.pdf").string());
    w.app.ports.printer = &pdf;
    w.app.config.PageType = "A4";
    f.cmdPrintList_Click();
    ASSERT_EQ(pdf.outputFiles().size(), 1u);
    const std::string info = test::Output("pdfinfo " + pdf.outputFiles()[0].string());
    EXPECT_THAT(info, AllOf(HasSubstr("Pages:           2"), HasSubstr("595 x 842")));
}

TEST(ListWindowForm, SavesThroughTheFileDialog) {
    ListWorld w(3);
    frmListBox f(w.app, "FOUND");
    const fs::path out = w.dir / "out";
    std::string proposed;
    w.modal.onExec = [&](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        proposed = dialog.selectedFiles().value(0).toStdString();
        EXPECT_EQ(dialog.nameFilters(), QStringList{"All files (*)"});
        d.done(QDialog::Accepted);
    };
    f.cmdSaveList_Click();
    EXPECT_EQ(proposed, (out / "DOCS0001.TXT").string());
    EXPECT_EQ(Lines(test::ScratchDir::ReadFile(out / "DOCS0001.TXT")),
              (Strings{"Documents Found", "12/7/2026 9:30:00 AM", "", "5000000 ", "5000001 ", "5000002 ", "", "",
                       ""}));
    f.cmdSaveList_Click();
    EXPECT_EQ(proposed, (out / "DOCS0002.TXT").string());
    EXPECT_TRUE(fs::exists(out / "DOCS0002.TXT"));
    // Each save closes with its summary: how many entries, which file, its folder.
    ASSERT_EQ(w.fakes.messages.summaries.size(), 2u);
    EXPECT_EQ(w.fakes.messages.summaries[1].text(),
              "Save finished.\nDone: 3 entries.\nOutput: " + (out / "DOCS0002.TXT").string());
    EXPECT_EQ(w.fakes.messages.summaries[1].folder, out);

    // Cancelled dialog: nothing written, nothing said.
    w.modal.onExec = [](QDialog& d) { d.done(QDialog::Rejected); };
    f.cmdSaveList_Click();
    EXPECT_FALSE(fs::exists(out / "DOCS0003.TXT"));

    // Restricted: a file outside the export directory is refused.
    w.app.config.InstallationType = "RESTRICTED";
    w.modal.onExec = [&](QDialog& d) {
        dynamic_cast<QFileDialog&>(d).selectFile(QString::fromStdString((w.dir / "elsewhere.txt").string()));
        d.done(QDialog::Accepted);
    };
    f.cmdSaveList_Click();
    EXPECT_FALSE(fs::exists(w.dir / "elsewhere.txt"));
    EXPECT_EQ(w.fakes.messages.last(), "Lists can only be saved in " + w.app.config.ExportPath + ".");

    // No export directory: the diskette question until Cancel, and no dialog.
    w.app.config.ExportPath = (w.dir / "nodisk").string();
    w.fakes.messages.answers = {Answer::OK, Answer::Cancel};
    const auto dialogs = w.modal.shown.size();
    f.cmdSaveList_Click();
    EXPECT_EQ(w.fakes.messages.shown.size(), 3u);
    EXPECT_EQ(w.fakes.messages.last(), "Please insert a diskette in the drive.");
    EXPECT_EQ(w.modal.shown.size(), dialogs);
}

TEST(ListWindowForm, CancelStopsCopyPrintAndSaveWithNothingDone) {
    ListWorld w(500);
    frmListBox f(w.app, "FOUND");
    w.modal.onExec = [](QDialog& d) { d.done(QDialog::Accepted); };  // the proposed DOCS name
    w.fakes.clipboard.stored = "before";
    int seen = 0;
    w.fakes.pump.onPump = [&](int) {
        seen += f.cmdCancel->isVisibleTo(&f) && !f.cmdClose->isEnabled();
        f.cmdCancel->click();
    };
    f.cmdCopyList_Click();
    f.cmdPrintList_Click();
    f.cmdSaveList_Click();
    EXPECT_EQ(seen, 3);
    EXPECT_EQ(w.fakes.clipboard.stored, "before");
    EXPECT_EQ(w.fakes.printer.count("endDoc"), 0);
    EXPECT_EQ(w.fakes.printer.count("abortDoc"), 1);
    EXPECT_TRUE(fs::is_empty(w.dir / "out"));
    EXPECT_TRUE(w.fakes.messages.shown.empty()) << w.fakes.messages.last();
    EXPECT_FALSE(f.cmdCancel->isVisibleTo(&f));
    EXPECT_TRUE(f.cmdClose->isEnabled());
}

}  // namespace
}  // namespace velk

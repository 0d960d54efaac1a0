// The print dialogs driven as a user drives them, headless: controls set, buttons
// clicked, the modal port answering, the recording printer taking the pages.
#include "print/ui/print_dialogs.h"

#include <gtest/gtest.h>

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>

#include "print/print_runs.h"
#include "print/ui/frm_mark_print.h"
#include "print/ui/frm_print.h"
#include "tests/print/print_fixtures.h"

namespace velk {
namespace {

using test::PrintInstall;
namespace mks = velk::mksample;

// The dialog opens on viewer 2's page with the section it starts; a hidden section box
// selects nothing, and a click in the page list chooses "Page" again. Print prints the
// chosen pages and leaves the dialog open for another choice.
TEST(frmPrint, LoadsOnTheShownPageAndPrintsTheChosenPages) {
    PrintInstall in(mks::Collection::Quorvel, mks::DriveMode::Tower);
    const mks::SampleDocument& d = in.showWith(3);
    in.toPrint(d);
    in.app.doc.MapMarker.clear();
    in.app.doc.SectionFirstPage = {Int16(1), Int16(2), Int16(3), Int16(0), Int16(3)};
    in.app.viewers[0].Active = false;
    in.app.viewers[1].Active = true;
    in.app.viewers[1].PageNumber = Int16(3);
    frmPrint f(in.app, in.modal);
    for (int row : {f.lstPage->currentRow(), f.cmbRangeSt->currentIndex(), f.cmbRangeEnd->currentIndex()})
        EXPECT_EQ(row, 2);
    // Page 3 starts the claims (tested before the drawings that start there too).
    ASSERT_NE(f.lstSubsections->currentItem(), nullptr);
    EXPECT_EQ(f.lstSubsections->currentItem()->text().toStdString(), "Claims");
    EXPECT_FALSE(f.chkDescription->isVisibleTo(&f) || f.chkCC->isVisibleTo(&f));  // no "META" map
    EXPECT_FALSE(f.chkClaims->isEnabled());
    f.optSubsection->setChecked(true);
    EXPECT_TRUE(f.chkClaims->isEnabled());
    f.chkDescription->setChecked(true);  // hidden: selects nothing
    f.chkAbstract->setChecked(true);
    const PageOptions o = f.options();
    EXPECT_EQ(o.choice, PageChoice::Subsection);
    EXPECT_TRUE(o.abstract && !o.description);
    f.lstPage->setCurrentRow(1);
    emit f.lstPage->itemClicked(f.lstPage->item(1));
    EXPECT_TRUE(f.optPage->isChecked());
    EXPECT_EQ(f.options().page, 2);

    // A range backwards: the message, nothing printed, the dialog still there.
    f.optRange->setChecked(true);
    f.cmbRangeSt->setCurrentIndex(2);
    f.cmbRangeEnd->setCurrentIndex(1);
    f.cmdPrint->click();
    EXPECT_EQ(in.ports.messages.last(), "There are no pages in this section");
    EXPECT_TRUE(in.ports.printer.calls.empty());

    // Pages 2 and 3 in full: one job, off the To Print list, the shown document kept.
    in.ports.messages.shown.clear();
    f.cmbRangeSt->setCurrentIndex(1);
    f.cmbRangeEnd->setCurrentIndex(2);
    f.cmdPrint->click();
    EXPECT_EQ(std::tuple(in.ports.printer.count("page "), in.ports.printer.count("newPage"),
                         in.ports.printer.count("endDoc")),
              std::tuple(2, 1, 1));
    EXPECT_TRUE(in.printList().empty());
    EXPECT_EQ(in.app.doc.CurDocNo, d.number);
    EXPECT_TRUE(in.ports.messages.shown.empty()) << in.ports.messages.last();
    EXPECT_EQ(f.result(), 0);  // the dialog stays open for another choice

    // A document on no list changes none.
    const mks::SampleDocument& other = &in.s.documents[0] == &d ? in.s.documents[1] : in.s.documents[0];
    in.lists->AddToRemaining(PrintInstall::Entry(other), Int16(1));
    f.optFirstPage->setChecked(true);
    f.cmdPrint->click();
    EXPECT_EQ(in.lists->Count(ListTable::Remaining), 1);
    f.cmdHelp->click();
    ASSERT_EQ(in.ports.help.calls.size(), 1u);
    EXPECT_EQ(in.ports.help.calls[0].context, kPrintHelpContext);
}

// Preview shows the pages the dialog's choice prints, each a sheet of the configured paper,
// drawn by the print's own page code; Print in it prints those pages as the dialog does.
TEST(frmPrint, PreviewShowsWhatThePrintPrints) {
    PrintInstall in(mks::Collection::Quorvel, mks::DriveMode::Tower);
    in.showWith(3);
    in.app.config.PageType = "LEGAL";
    int shown = -1;
    QSizeF paper;
    in.modal.onExec = [&](QDialog& dialog) {
        auto* widget = dialog.findChild<QPrintPreviewWidget*>();
        widget->updatePreview();  // paintRequested, as showing it does
        shown = widget->pageCount();
        paper = dynamic_cast<QPrintPreviewDialog&>(dialog).printer()->pageLayout().pageSize().size(QPageSize::Point);
        for (QAction* a : dialog.findChildren<QAction*>())
            if (a->text().remove('&') == "Print") a->trigger();
    };
    frmPrint f(in.app, in.modal);
    f.optRange->setChecked(true);
    f.cmbRangeSt->setCurrentIndex(0);
    f.cmbRangeEnd->setCurrentIndex(2);
    f.cmdPreview->click();
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(paper, QSizeF(612, 1008));
    EXPECT_EQ(in.ports.printer.count("page "), 3);  // Print from the preview
    EXPECT_EQ(in.ports.messages.summaries.size(), 1u);
}

TEST(frmPrint, PatentBatchTakesItsPageChoiceFromTheDialog) {
    PrintInstall in(mks::Collection::Quorvel, mks::DriveMode::Tower);
    const auto& docs = in.s.documents;
    in.toPrint(docs[0]);
    in.toPrint(docs[4]);
    in.app.PrintCancel = true;  // an earlier Cancel does not stop this batch
    in.modal.onExec = [&](QDialog& dialog) {
        auto& f = dynamic_cast<frmPrint&>(dialog);
        EXPECT_TRUE(f.batch());
        EXPECT_EQ(f.windowTitle().toStdString(), "Batch Print");
        EXPECT_FALSE(f.optPage->isEnabled() || f.lstPage->isEnabled() || f.cmbRangeSt->isEnabled());
        EXPECT_TRUE(f.optEntire->isChecked());
        f.optFirstPage->setChecked(true);
        f.cmdPrint->click();
        EXPECT_EQ(f.result(), QDialog::Accepted);
    };
    StartBatchPrint(in.app, in.modal, nullptr);
    EXPECT_EQ(in.app.PrintMode, PrintSource::Batch);
    EXPECT_EQ(in.modal.shown, std::vector<std::string>{"frmPrint"});
    EXPECT_EQ(in.ports.printer.count("page "), 2);
    EXPECT_EQ(in.ports.printer.count("endDoc"), 2);
    EXPECT_TRUE(in.printList().empty());

    // Subsection with no box: the message once per document, nothing printed or taken off.
    in.toPrint(docs[0]);
    in.toPrint(docs[1]);
    in.ports.printer.calls.clear();
    in.modal.onExec = [&](QDialog& dialog) {
        auto& f = dynamic_cast<frmPrint&>(dialog);
        f.optSubsection->setChecked(true);
        f.cmdPrint->click();
    };
    StartBatchPrint(in.app, in.modal, nullptr);
    EXPECT_TRUE(in.ports.printer.calls.empty());
    EXPECT_EQ(in.ports.messages.shown.size(), 2u);
    EXPECT_EQ(in.printList().size(), 2u);
}

TEST(frmMarkPrint, TrademarksOnePageOrTheWholeBatch) {
    PrintInstall in(mks::Collection::Tovrin, mks::DriveMode::Tower);
    const mks::SampleDocument& d = in.showWith(2);
    in.toPrint(d);
    in.app.viewers[0].PageNumber = Int16(2);
    in.modal.onExec = [&](QDialog& dialog) {
        auto& f = dynamic_cast<frmMarkPrint&>(dialog);
        EXPECT_EQ(f.windowTitle().toStdString(), "Tovrin Print " + FormatText(d.number, "###,###,###"));
        EXPECT_TRUE(f.optEntire->isChecked());
        EXPECT_EQ(f.lstPage->currentRow(), 1);
        emit f.lstPage->itemClicked(f.lstPage->item(1));
        EXPECT_TRUE(f.optPage->isChecked());
        f.cmdPrint->click();
        EXPECT_EQ(f.result(), QDialog::Accepted);
    };
    OpenPrintDialog(in.app, in.modal, nullptr, FrameDialog::MarkPrint);
    EXPECT_EQ(in.app.PrintMode, PrintSource::Document);
    EXPECT_EQ(in.modal.shown, std::vector<std::string>{"frmMarkPrint"});
    EXPECT_EQ(in.ports.printer.count("page "), 1);
    EXPECT_TRUE(in.printList().empty());
    EXPECT_TRUE(in.ports.messages.shown.empty()) << in.ports.messages.last();

    // Trademark batch: no dialog, every page of every document.
    in.toPrint(in.s.documents[0]);
    in.toPrint(in.s.documents[3]);
    in.ports.printer.calls.clear();
    StartBatchPrint(in.app, in.modal, nullptr);
    EXPECT_EQ(in.modal.shown.size(), 1u);
    EXPECT_EQ(in.ports.printer.count("page "), in.s.documents[0].pages + in.s.documents[3].pages);
    EXPECT_TRUE(in.printList().empty());
}

}  // namespace
}  // namespace velk

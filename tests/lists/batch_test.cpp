// The batch list manager through its form: the three lists, the arrows and their
// looks, transfers kept in step with the list store, and batch print and export.
#include "lists/batch.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "lists/ui/frm_batch.h"
#include "platform/ui/progress_window.h"
#include "tests/platform/scratch_dir.h"
#include "tests/support/fake_modal.h"
#include "tests/support/fakes.h"

using namespace velk;
using velk::test::ScratchDir;

namespace {

using Strings = std::vector<std::string>;

Strings Shown(const QListWidget* l) {
    Strings out;
    for (int i = 0; i < l->count(); ++i) out.push_back(l->item(i)->text().toStdString());
    return out;
}

struct Batch {
    ScratchDir dir{"batch"};
    test::FakePorts fakes;
    App app;
    std::unique_ptr<ListStore> store;
    explicit Batch(const char* mode = kModePatents) {
        app.config.AppDir = dir.str();
        app.config.CollectionMode = mode;
        app.config.CollectionLetter = mode == std::string(kModeTrademarks) ? "M" : "P";
        app.config.HelpFilePath = dir.str() + "/velkwp.hlp";
        fakes.wire(app.ports);
        store = std::make_unique<ListStore>(dir / "VELKWp.mdb", mode);
        EXPECT_TRUE(store->OpenDatabases());
        app.lists = store.get();
    }
    void remaining(const std::vector<std::pair<std::string, int>>& entries) {
        for (auto& [e, p] : entries) ASSERT_TRUE(store->AddToRemaining(e, Int16(p)));
    }
    // The form shows what the store holds, and the totals add up.
    void expectInStep(const frmBatch& f) const {
        for (BatchList l : {BatchList::Remaining, BatchList::Print, BatchList::Export}) {
            Strings shown = Shown(f.listBox(l)), stored;
            int pages = 0;
            for (const ListRow& r : store->Rows(BatchTable(l))) {
                stored.push_back(r.DocumentNo);
                pages += int(r.Pages);
            }
            std::sort(shown.begin(), shown.end());
            std::sort(stored.begin(), stored.end());
            EXPECT_EQ(shown, stored);
            EXPECT_EQ(BatchCount(*store, l), int(stored.size()));
            EXPECT_EQ(BatchPages(*store, l), pages);
        }
        EXPECT_EQ(store->Count(ListTable::RemainingOrder), store->Count(ListTable::Remaining));
    }
};

// The six totals under the lists, Remaining, Print, Export, documents then pages.
std::string Totals(const frmBatch& f) {
    QStringList t;
    for (const QLabel* l :
         {f.lblRemDocs, f.lblRemPgs, f.lblPrintDocs, f.lblPrintPgs, f.lblExportDocs, f.lblExportPgs})
        t << l->text();
    return t.join('|').toStdString();
}

std::string IconOf(const QPushButton* b) {
    return b->property("iconFile").toString().toStdString();
}

void Select(QListWidget* l, std::initializer_list<int> rows) {
    l->clearSelection();
    for (int r : rows) {
        if (QListWidgetItem* item = l->item(r))
            item->setSelected(true);
        else
            ADD_FAILURE() << "no line " << r;
    }
}

}  // namespace

TEST(BatchWindow, OpensWithCountsAndNamedArrows) {
    Batch b;
    b.remaining({{"0000300  V001", 3}, {"0000100  V001", 5}, {"0000200  V002", 7}});
    frmBatch f(b.app, false);
    EXPECT_EQ(Shown(f.lstRemaining), (Strings{"0000300  V001", "0000100  V001", "0000200  V002"}));
    EXPECT_EQ(Totals(f), "3 Documents|15 Pages|0 Documents|0 Pages|0 Documents|0 Pages");
    // A picture alone says nothing to a screen reader: each arrow has its own name and tip.
    QStringList names;
    for (QPushButton* p : f.findChildren<QPushButton*>())
        if (p->text().isEmpty()) {
            EXPECT_FALSE(p->toolTip().isEmpty()) << p->objectName().toStdString();
            names << p->accessibleName();
        }
    names.removeDuplicates();
    EXPECT_EQ(names.size(), 6);

    // Help opens context 9 of the collection's help file.
    f.cmdHelp->click();
    ASSERT_EQ(b.fakes.help.calls.size(), 1u);
    EXPECT_EQ(std::pair(b.fakes.help.calls[0].context, b.fakes.help.calls[0].file),
              std::pair(9L, b.app.config.HelpFilePath));
}

TEST(BatchWindow, ADocumentInTwoEntryFormsIsOneEntry) {
    Batch b(kModeTrademarks);
    // Imported with a leading zero, then put on the print list in the find dialog's form.
    std::string imported = "0123456  T01";
    ASSERT_TRUE(b.store->AddToFound(imported, 3));
    ASSERT_TRUE(b.store->AddAndTakeOffRemaining(ListTable::ToPrint, "123456   T01", 3));
    frmBatch f(b.app, true);
    EXPECT_EQ(Totals(f), "0 Documents|0 Pages|1 Documents|3 Pages|0 Documents|0 Pages");
    Select(f.lstPrint, {0});
    f.cmdPrt2Rem->click();
    EXPECT_EQ(Shown(f.lstRemaining), (Strings{"123456   T01"}));
    b.expectInStep(f);
}

TEST(BatchWindow, TransfersKeepTheListsAndTotalsInStep) {
    Batch b;
    b.remaining({{"0000001  V001", 1}, {"0000002  V001", 2}, {"0000003  V002", 3}, {"0000004  V002", 4}});
    frmBatch f(b.app, false);

    // Nothing selected moves nothing.
    f.lstRemaining->clearSelection();
    f.cmdRem2Prt->click();
    EXPECT_EQ(b.store->RemainingCount(), 4);
    EXPECT_EQ(Totals(f), "4 Documents|10 Pages|0 Documents|0 Pages|0 Documents|0 Pages");

    // Lines 0 and 2 together, then the rest to export.
    Select(f.lstRemaining, {0, 2});
    f.cmdRem2Prt->click();
    EXPECT_EQ(Shown(f.lstPrint), (Strings{"0000001  V001", "0000003  V002"}));
    EXPECT_EQ(Shown(f.lstRemaining), (Strings{"0000002  V001", "0000004  V002"}));
    EXPECT_EQ(Totals(f), "2 documents|6 pages|2 documents|4 pages|0 Documents|0 Pages");
    EXPECT_EQ(f.lstPrint->currentRow(), 0);
    EXPECT_TRUE(f.cmdPrt2Exp->isEnabled());
    EXPECT_EQ(IconOf(f.cmdPrt2Rem), b.dir.str() + "/iconsP/e_left.ico");
    b.expectInStep(f);

    Select(f.lstRemaining, {0, 1});
    f.cmdRem2Exp->click();
    EXPECT_TRUE(f.lstRemaining->count() == 0);
    EXPECT_FALSE(f.cmdRem2Prt->isEnabled() || f.cmdRem2Exp->isEnabled());
    EXPECT_EQ(IconOf(f.cmdRem2Prt), b.dir.str() + "/iconsP/d_right.ico");
    b.expectInStep(f);

    // Round the other arrows: print to export, export to print, both back to remaining.
    Select(f.lstPrint, {1});
    f.cmdPrt2Exp->click();
    EXPECT_EQ(Shown(f.lstExport), (Strings{"0000002  V001", "0000004  V002", "0000003  V002"}));
    Select(f.lstExport, {0});
    f.cmdExp2Prt->click();
    b.expectInStep(f);
    Select(f.lstPrint, {0, 1});
    f.cmdPrt2Rem->click();
    Select(f.lstExport, {0, 1});
    f.cmdExp2Rem->click();
    b.expectInStep(f);
    EXPECT_EQ(Totals(f), "4 documents|10 pages|0 documents|0 pages|0 documents|0 pages");
    for (QPushButton* a : {f.cmdPrt2Exp, f.cmdPrt2Rem, f.cmdExp2Prt, f.cmdExp2Rem})
        EXPECT_FALSE(a->isEnabled());

    // An entry the store no longer holds stays in view: the window never shows a move that did not happen.
    Int16 pages;
    ASSERT_TRUE(b.store->RemFromRemaining("0000002  V001", pages));
    Select(f.lstRemaining, {0, 1, 2, 3});
    f.cmdRem2Prt->click();
    EXPECT_EQ(Shown(f.lstRemaining), Strings{"0000002  V001"});
    EXPECT_EQ(b.store->PrintCount(), 3);
    EXPECT_EQ(f.lblPrintDocs->text(), "3 documents");
}

TEST(BatchWindow, ALongMoveShowsItsProgressAndCancelUndoesItWhole) {
    Batch b;
    {
        ListStore::Transaction tx(*b.store);
        for (int i = 0; i < 1500; ++i)
            ASSERT_TRUE(b.store->AddToRemaining(std::to_string(5000000 + i) + "  V001", 2));
        ASSERT_TRUE(tx.commit());
    }
    frmBatch f(b.app, false);
    f.lstRemaining->selectAll();
    bool shown = false;
    b.fakes.pump.onPump = [&](int calls) {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<ProgressWindow*>(top); p && p->isVisible()) {
                shown = true;
                if (calls == 50) p->cmdCancel->click();
            }
    };
    f.cmdRem2Prt->click();
    EXPECT_TRUE(shown);
    EXPECT_EQ(b.store->PrintCount(), 0);
    EXPECT_EQ(f.lstRemaining->count(), 1500);
    b.expectInStep(f);
    f.cmdRem2Prt->click();
    EXPECT_EQ(b.store->PrintCount(), 1500);
    EXPECT_EQ(Totals(f), "0 documents|0 pages|1500 documents|3000 pages|0 Documents|0 Pages");
    b.expectInStep(f);
}

TEST(BatchWindow, BatchPrintAndExportCloseRunAndReopen) {
    Batch b;
    b.remaining({{"0000001  V001", 1}});
    test::FakeModal modal;
    std::vector<int> printing;  // the print list each time the window is shown
    modal.onExec = [&](QDialog& d) {
        auto& f = dynamic_cast<frmBatch&>(d);
        printing.push_back(f.lstPrint->count());
        if (printing.size() == 1)
            f.cmdBPrint->click();
        else if (printing.size() == 2)
            f.cmdBExport->click();
        else
            f.cmdClose->click();
    };
    // The batch print takes the document: the window shown again reloads the lists.
    b.fakes.frame.onOpen = [&](FrameDialog which) {
        if (which == FrameDialog::BatchPrint) {
            ASSERT_TRUE(b.store->Move(ListTable::Remaining, ListTable::ToPrint, "0000001  V001"));
        }
    };
    RunBatchWindow(b.app, modal, nullptr, false);
    EXPECT_EQ(b.fakes.frame.opened,
              (std::vector<FrameDialog>{FrameDialog::BatchPrint, FrameDialog::BatchExport}));
    EXPECT_EQ(printing, (std::vector<int>{0, 1, 1}));

    // The assignments have no export.
    Batch a(kModeAssignments);
    frmBatch f(a.app, false);
    EXPECT_FALSE(f.cmdBExport->isEnabled());
    EXPECT_EQ(BatchFollowUp(a.app.config, BatchAction::Export), std::nullopt);
    EXPECT_EQ(BatchFollowUp(a.app.config, BatchAction::Print), FrameDialog::BatchPrint);
    test::FakeModal once;
    once.onExec = [](QDialog& d) { dynamic_cast<frmBatch&>(d).cmdBExport_Click(); };
    RunBatchWindow(a.app, once, nullptr, false);
    EXPECT_TRUE(a.fakes.frame.opened.empty());
}

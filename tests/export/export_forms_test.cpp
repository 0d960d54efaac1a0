// The export dialogs driven as a user would, with the modal port faked: destination
// dialogs by installation type, the single and batch flows, format and page checks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "export/batch_export.h"
#include "export/export_destination.h"
#include "export/ui/export_progress.h"
#include "export/ui/frm_destination.h"
#include "export/ui/frm_export.h"
#include "tests/export/export_fixtures.h"
#include "tests/support/fake_modal.h"

namespace velk {
namespace {

using test::ExportInstall;
namespace mks = velk::mksample;
namespace fs = std::filesystem;

// Answers the destination dialog with `to` (a directory, or a drive for frmrestrict).
void AnswerDestination(QDialog& d, const std::string& to) {
    if (auto* dir = qobject_cast<frmDialog*>(&d)) {
        dir->setDirectory(to);
        dir->cmdOk->click();
    } else if (auto* drive = qobject_cast<frmrestrict*>(&d)) {
        drive->cmbdrive->setCurrentIndex(drive->cmbdrive->findText(QString::fromStdString(to)));
        drive->cmdOK->click();
    }
}

struct FormInstall : ExportInstall {
    explicit FormInstall(mks::Collection c = mks::Collection::Quorvel) : ExportInstall(c) {
        app.config.InstallationType = "OPEN";
        modal.onExec = [this](QDialog& d) { AnswerDestination(d, out.string()); };
    }
};

TEST(ExportDestination, DrivesPathsAndBothDialogs) {
    FormInstall in;
    App& app = in.app;
    app.config.ExportDrives.fill("notavailable");
    app.config.ExportDrives['C' - 'A'] = "C:";
    app.config.ExportDrives['D' - 'A'] = "D:";  // offered but not there
    app.config.ExportDrives['E' - 'A'] = "E:";
    app.config.ExportDrives['F' - 'A'] = "";
    app.drives.map('C', in.tree.dir("c").string());
    app.drives.map('E', in.tree.dir("e").string());
    EXPECT_EQ(RestrictedDrives(app), (std::vector<std::string>{"C:", "E:"}));
    EXPECT_EQ(DialogPathOf("D:\\"), "D:");
    EXPECT_EQ(DialogPathOf(" /out/ "), "/out");
    EXPECT_EQ(DialogPathOf("/"), "/");

    // Restricted: OK does nothing until a drive is chosen; the drive's root is the destination.
    app.config.InstallationType = "RESTRICTED";
    in.modal.onExec = [](QDialog& d) {
        auto& r = dynamic_cast<frmrestrict&>(d);
        EXPECT_EQ(r.windowTitle(), "Select Export Drive");
        EXPECT_EQ(r.cmbdrive->count(), 2);
        r.cmdOK_Click();
        EXPECT_EQ(r.RestrictAnswer, "cancel");
        EXPECT_EQ(r.result(), -12345);  // still open
        AnswerDestination(d, "E:");
    };
    EXPECT_EQ(AskExportDestination(app, in.modal), in.tree.root() / "e");
    in.modal.onExec = [](QDialog& d) { dynamic_cast<frmrestrict&>(d).cmdCancel->click(); };
    EXPECT_EQ(AskExportDestination(app, in.modal), std::nullopt);
    // The export directory, when it is on the drive chosen, rather than the drive's root;
    // the drive chosen last starts chosen.
    app.config.ExportPath = "E:\\Exports";
    fs::create_directories(in.tree.root() / "e" / "Exports");
    in.modal.onExec = [](QDialog& d) { dynamic_cast<frmrestrict&>(d).cmdOK->click(); };
    EXPECT_EQ(AskExportDestination(app, in.modal), in.tree.root() / "e" / "Exports");

    // Open: the directory chosen, or nothing after Cancel; a drive with no disk is refused.
    app.config.InstallationType = "OPEN";
    app.drives.map('G', (in.tree.root() / "absent").string());
    in.modal.onExec = [&](QDialog& d) {
        auto& dlg = dynamic_cast<frmDialog&>(d);
        EXPECT_TRUE(dlg.FilExport->isHidden() && dlg.drvExport->isHidden());
        EXPECT_EQ(dlg.drvExport1->currentText(), "C:");
        EXPECT_EQ(dlg.directory(), (in.tree.root() / "c").string());
        dlg.drvExport1->setCurrentIndex(dlg.drvExport1->findText("G:"));
        dlg.drvExport1_Change();
        EXPECT_EQ(in.ports.messages.last(), kNoDiskText);
        EXPECT_EQ(dlg.drvExport1->currentText(), "C:");
        AnswerDestination(d, (in.out.string() + "/"));
    };
    EXPECT_EQ(AskExportDestination(app, in.modal), in.out);
    in.modal.onExec = [](QDialog& d) { dynamic_cast<frmDialog&>(d).cmdCancel->click(); };
    EXPECT_EQ(AskExportDestination(app, in.modal), std::nullopt);
    EXPECT_TRUE(fs::is_empty(in.out));

    // A new folder in the directory chosen; the next export of the run starts there.
    in.modal.onExec = [&](QDialog& d) {
        auto& dlg = dynamic_cast<frmDialog&>(d);
        EXPECT_EQ(dlg.directory(), in.out.string());
        dlg.txtNewFolder->setText("../up");
        dlg.cmdNewFolder->click();
        EXPECT_EQ(in.ports.messages.last(), DirErrorText("../up"));
        dlg.txtNewFolder->setText("Week 12");
        EXPECT_TRUE(dlg.cmdNewFolder->isDefault());
        dlg.cmdNewFolder->click();
        dlg.cmdOk->click();
    };
    EXPECT_EQ(AskExportDestination(app, in.modal), in.out / "Week 12");
    EXPECT_TRUE(fs::is_directory(in.out / "Week 12"));
    in.modal.onExec = [&](QDialog& d) {
        EXPECT_EQ(dynamic_cast<frmDialog&>(d).directory(), (in.out / "Week 12").string());
        dynamic_cast<frmDialog&>(d).cmdOk->click();
    };
    EXPECT_EQ(AskExportDestination(app, in.modal), in.out / "Week 12");
}

// The desktop walk exports the shown document with each dialog's defaults and a patent batch
// as PDF; these keep the refusals, the trademark batch dialog and its Cancel, and the
// assignment dialog's pages.
TEST(ExportForms, RefusalsHelpTheTrademarkBatchAndAssignments) {
    FormInstall in;
    const mks::SampleDocument& d = in.open(mks::ImageKind::Container);
    in.app.viewers[0].PageNumber = Int16(2);
    {
        frmExport form(in.app, in.modal);
        EXPECT_EQ(form.lstPage->currentRow(), 1);  // the viewer's page
        form.cmdHelp->click();
        ASSERT_EQ(in.ports.help.calls.size(), 1u);
        EXPECT_EQ(in.ports.help.calls[0].context, 5);
        // A range that runs backwards selects nothing: the message, and no destination asked.
        form.cmbRangeSt->setCurrentIndex(1);
        form.cmbRangeEnd->setCurrentIndex(0);
        form.optRange->setChecked(true);
        form.cmdExport->click();
        EXPECT_EQ(in.ports.messages.last(), kNoPagesText);
        EXPECT_TRUE(in.modal.shown.empty());
        EXPECT_EQ(form.lblEntire->text().toStdString(), "(" + std::to_string(d.pages) + " pages)");
    }

    // The trademark dialog's one page; then its batch, which preselects no format: Export
    // answers, asks for nothing, writes nothing.
    FormInstall marks(mks::Collection::Tovrin);
    const auto& docs = marks.s.documents;
    const auto two = std::find_if(docs.begin(), docs.end(), [](const auto& x) { return x.pages >= 2; });
    ASSERT_NE(two, docs.end());
    marks.open(*two);
    {
        frmMarkExport form(marks.app, marks.modal);
        form.lstPage->setCurrentRow(1);
        form.optPage->setChecked(true);
        form.optPcx->setChecked(true);
        form.cmdExport->click();
    }
    EXPECT_EQ(marks.written(), std::vector<std::string>{two->number + "/Page0002.PCX"});
    fs::remove_all(marks.out / two->number);
    marks.modal.shown.clear();
    for (const auto& doc : docs) marks.toExport(doc);
    const std::size_t listed = marks.exportList().size();
    frmMarBExport batch(marks.app, marks.modal);
    EXPECT_EQ(batch.windowTitle(), "Tovrin Batch Export");
    EXPECT_EQ(batch.chosenFormat(), std::nullopt);
    EXPECT_EQ(batch.findChild<QRadioButton*>("optBMP"), batch.optWmf);
    batch.cmdExport->click();
    EXPECT_EQ(marks.ports.messages.last(), kNoFormatText);
    EXPECT_TRUE(marks.modal.shown.empty());
    batch.cmdHelp->click();
    EXPECT_EQ(marks.ports.help.calls.back().context, 8);
    // Cancel to the destination: nothing written, the list as it was.
    marks.modal.onExec = [](QDialog& dlg) { dynamic_cast<frmDialog&>(dlg).cmdCancel->click(); };
    batch.optTif3->setChecked(true);
    batch.cmdExport->click();
    EXPECT_EQ(marks.exportList().size(), listed);
    EXPECT_TRUE(marks.written().empty());

    marks.modal.onExec = [&](QDialog& dlg) { AnswerDestination(dlg, marks.out.string()); };
    frmMarBExport again(marks.app, marks.modal);
    again.optPdf->setChecked(true);
    again.cmdExport->click();
    EXPECT_TRUE(marks.exportList().empty());
    std::vector<std::string> expected;
    int pages = 0;
    for (const auto& doc : marks.s.documents) {
        expected.push_back(doc.number + ".pdf");
        pages += doc.pages;
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(marks.written(), expected);
    ASSERT_EQ(marks.ports.messages.summaries.size(), 2u);  // the single export's, the batch's
    EXPECT_EQ(marks.ports.messages.summaries[1].run, "Batch Export");
    EXPECT_EQ(marks.ports.messages.summaries[1].pages, pages);

    // The assignment dialog lists the pages of the document's own file, not the index's
    // count of one, and leaves the shown page record as it was.
    FormInstall assign(mks::Collection::Assign);
    const mks::SampleDocument& a = assign.s.documents[1];
    ASSERT_TRUE(assign.show(a));
    assign.app.doc.CurPageCount = Int16(1);  // what the index says of every assignment
    const std::int32_t shownOffset = assign.app.doc.Page.PageOffset;
    frmMarkExport form(assign.app, assign.modal);
    EXPECT_EQ(form.windowTitle().toStdString(), "Assignments Export " + FormatText(a.number, "0000/0000"));
    EXPECT_EQ(form.lstPage->count(), DocumentPageCount(assign.app));
    EXPECT_GE(form.lstPage->count(), 2) << "a one-page file would not show the index count is unused";
    EXPECT_EQ(assign.app.doc.Page.PageOffset, shownOffset);
    form.optWmf->setChecked(true);
    form.cmdExport->click();
    EXPECT_EQ(assign.written().size(), static_cast<std::size_t>(form.lstPage->count()));
}

TEST(ExportForms, PatentBatchSectionsAndProgressCancel) {
    FormInstall in;
    for (const auto& doc : in.s.documents) in.toExport(doc);
    frmPatBExport form(in.app, in.modal);
    EXPECT_EQ(form.windowTitle(), "Batch Export");
    EXPECT_TRUE(form.Option2->isChecked());
    EXPECT_TRUE(form.sections.chkDescription->isHidden());  // no document shown: no META map
    form.sections.chkAbstract->setChecked(true);
    EXPECT_TRUE(form.options().abstract && form.options().choice == PageChoice::Subsection);
    form.optFirstPage->setChecked(true);
    form.optWmf->setChecked(true);
    // Cancel in the progress window once the first document's one page is written: that
    // document is finished and stays written; the others stay listed.
    in.ports.pump.onPump = [&](int) {
        if (in.written().size() != 1u) return;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<frmExportProgress*>(top); p && p->isVisible()) {
                EXPECT_EQ(p->Label1->text(), "All Documents");
                EXPECT_EQ(p->lblDoc->text(), "Exporting document 1 of 6");
                p->Command1->click();
            }
    };
    const std::size_t listed = in.exportList().size();
    form.cmdExport->click();
    EXPECT_EQ(in.written().size(), 1u);
    EXPECT_EQ(in.exportList().size(), listed - 1);
    ASSERT_EQ(in.ports.messages.summaries.size(), 1u);
    EXPECT_EQ(in.ports.messages.summaries[0].end, RunSummary::End::Cancelled);
    EXPECT_EQ(in.ports.messages.summaries[0].documents, 1);
    // The window's estimate: none before a page is timed or once every page is done.
    EXPECT_EQ(MinutesLeftText(0, 0, 10), "Approximate minutes to completion:");
    EXPECT_EQ(MinutesLeftText(60000, 1, 3), "Approximate minutes to completion: 2");
    EXPECT_EQ(MinutesLeftText(1000, 2, 3), "Approximate minutes to completion: 1");
    EXPECT_EQ(MinutesLeftText(1000, 3, 3), "Approximate minutes to completion:");
}

}  // namespace
}  // namespace velk

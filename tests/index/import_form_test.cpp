// The import dialog driven headless: each source, the messages in their order, the
// progress form's Cancel, the diskette question and the restricted chooser.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "index/ui/frm_import.h"
#include "index/ui/frm_import_chooser.h"
#include "index/ui/frm_import_progress.h"
#include "tests/index/import_fixture.h"

namespace velk {
namespace {

using test::ImportWorld;
using test::Strings;

// The messages shown since the last call.
Strings Said(test::FakeMessages& m) {
    Strings out;
    for (const auto& s : m.shown) out.push_back(s.text);
    m.shown.clear();
    return out;
}

// Chooses `file` in whatever file dialog comes up, and lets every other dialog close.
void ChooseInFileDialog(test::FakeModal& modal, const std::string& file) {
    modal.onExec = [file](QDialog& d) {
        if (auto* f = qobject_cast<QFileDialog*>(&d)) {
            EXPECT_EQ(f->nameFilters(), QStringList{"All files (*)"});  // a name without a dot shows too
            f->selectFile(QString::fromStdString(file));
            d.done(QDialog::Accepted);
        }
    };
}

// A browsed file into the lists, its closing message and the Not Found window that
// follows: the desktop walk.
TEST(ImportForm, TypedPathWinsUnreadableFilesOrAnEmptyClipboardSaySoAndCancelRollsBack) {
    ImportWorld w = ImportWorld::Patents();
    const std::string good = w.list("good.txt", "5123456\n");
    frmImport f(w.app);
    // Nothing chosen or typed: said, and the dialog stays for a choice.
    f.setResult(-1);
    f.txtPath->setText("  ");
    f.cmdImport_Click();
    EXPECT_EQ(Said(w.fakes.messages), (Strings{"Choose a file to import"}));
    EXPECT_EQ(f.result(), -1);
    ChooseInFileDialog(w.modal, good);
    f.cmdBrowse_Click();
    // The user then types another path: that is the one imported.
    f.txtPath->setText("gone.txt");
    f.txtPath_Change();
    EXPECT_TRUE(f.importPath().empty());
    f.cmdImport_Click();
    EXPECT_EQ(w.fakes.messages.shown[1].icon, Icon::Exclamation);
    EXPECT_EQ(Said(w.fakes.messages), (Strings{"Unable to read file gone.txt", "Import not processed"}));
    EXPECT_EQ(f.result(), QDialog::Rejected);
    EXPECT_EQ(w.store->FoundCount(), 0);

    // Browse cancelled keeps what the box held.
    w.modal.onExec = [](QDialog& d) { d.done(QDialog::Rejected); };
    frmImport g(w.app);
    g.txtPath->setText("kept");
    g.cmdBrowse_Click();
    EXPECT_EQ(g.txtPath->text(), "kept");
    // Changing the source empties both the box and the held path.
    g.optClipboard_Click();
    EXPECT_EQ(g.txtPath->text(), " ");
    EXPECT_FALSE(g.txtPath->isEnabled());
    EXPECT_FALSE(g.cmdBrowse->isEnabled());

    // An empty clipboard (an image leaves no text either) says so and goes back to the file.
    w.fakes.clipboard.stored = "   ";
    g.cmdImport_Click();
    EXPECT_EQ(Said(w.fakes.messages), (Strings{"The Clipboard is empty!"}));
    EXPECT_TRUE(g.optFile->isChecked());
    EXPECT_NE(g.result(), QDialog::Accepted);
    g.optClipboard_Click();
    w.fakes.clipboard.stored = "5123456\n\nD345678\n";
    g.cmdImport_Click();
    EXPECT_EQ(Said(w.fakes.messages), (Strings{"Import finished successfully!\r\r\n  2 Documents Found"
                                               "\r\n\r\nNumbers read: 2\r\nAdded to Found: 2\r\nAlready "
                                               "listed: 0\r\nNot found: 0\r\nIgnored: 0"}));

    // A file that is no text is named, and the lists stay as they were, Clear ticked or not.
    frmImport h(w.app);
    h.chkClear->setChecked(true);
    h.txtPath->setText(
        QString::fromStdString(w.list("picture.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16))));
    h.txtPath_Change();
    h.cmdImport_Click();
    EXPECT_EQ(Said(w.fakes.messages),
              (Strings{h.txtPath->text().toStdString() + " is not a text file of document numbers.",
                       "Import not processed"}));

    // Cancel on the progress form of a long import with Clear ticked rolls back: the two entries stay.
    w.fakes.pump.calls = 0;
    std::string many;
    for (int i = 0; i < 5000; ++i) many += "5123456 9999999\n";
    frmImport c(w.app);
    c.chkClear->setChecked(true);
    c.txtPath->setText(QString::fromStdString(w.list("many.txt", many)));
    std::string source;
    w.fakes.pump.onPump = [&](int calls) {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<frmImpProg*>(top); p && p->isVisible()) {
                source = p->lblSource->toolTip().toStdString();
                if (calls == 100) p->cmdCancel->click();
            }
    };
    c.cmdImport_Click();
    EXPECT_EQ(source.rfind("Import from: /", 0), 0u) << source;
    EXPECT_EQ(Said(w.fakes.messages), (Strings{"Import not processed"}));
    w.expectLists({"5123456  V001", "D345678  V002"}, {}, 14);
}

TEST(ImportForm, DisketteQuestionAndTheRestrictedChooser) {
    ImportWorld w = ImportWorld::Patents();
    frmImport f(w.app);
    f.txtPath->setText("B:\\LIST.TXT");
    w.fakes.messages.answers = {Answer::OK, Answer::Cancel};
    f.cmdImport_Click();
    EXPECT_EQ(w.fakes.messages.shown[0].buttons, Buttons::OKCancel);
    EXPECT_EQ(Said(w.fakes.messages), (Strings{kInsertDiskette, kInsertDiskette}));
    EXPECT_EQ(f.result(), QDialog::Rejected);
    // "a:" inside a native path is no diskette drive.
    w.fakes.messages.answers = {Answer::OK, Answer::Cancel};
    frmImport native(w.app);
    native.txtPath->setText(QString::fromStdString(w.list("data a:b", "D345678\n")));
    native.cmdImport_Click();
    ASSERT_EQ(w.fakes.messages.shown.size(), 1u);
    EXPECT_EQ(w.fakes.messages.last().rfind("Import finished successfully!\r\r\n  1 Documents Found", 0), 0u);

    // Restricted: no clipboard; Browse offers the configured drives only.
    w.app.config.InstallationType = "RESTRICTED";
    w.app.config.ImportDrives.fill("notavailable");
    w.app.config.ImportDrives['F' - 'A'] = "F:";
    w.app.config.ImportDrives['G' - 'A'] = "G:";
    w.app.drives.map('F', w.tree.dir("floppy/sub").parent_path().string());
    w.tree.write("floppy/sub/nums.txt", "5123456\n");
    w.tree.write("floppy/top.txt", "x");
    Said(w.fakes.messages);
    frmImport r(w.app);
    EXPECT_FALSE(r.optClipboard->isEnabled());
    Strings drives, dirs, files;
    w.modal.onExec = [&](QDialog& d) {
        auto& c = dynamic_cast<frmImportChooser&>(d);
        for (int i = 0; i < c.drvExport->count(); ++i)
            drives.push_back(c.drvExport->itemText(i).toStdString());
        c.drvExport->setCurrentIndex(1);  // G: has no disk: said, and back to F:
        EXPECT_EQ(c.drvExport->currentText(), "F:");
        c.dirExport->setCurrentRow(0);
        c.dirExport_DblClick();
        for (int i = 0; i < c.dirExport->count(); ++i)
            dirs.push_back(c.dirExport->item(i)->text().toStdString());
        for (int i = 0; i < c.FilExport->count(); ++i)
            files.push_back(c.FilExport->item(i)->text().toStdString());
        c.cmdOk_Click();
    };
    r.cmdBrowse_Click();
    EXPECT_EQ(drives, (Strings{"F:", "G:"}));
    EXPECT_EQ(dirs, (Strings{".."}));
    EXPECT_EQ(files, (Strings{"nums.txt"}));
    EXPECT_EQ(Said(w.fakes.messages), (Strings{"There is no disk in the drive!  Please insert disk..."}));
    EXPECT_EQ(r.importPath(), "F:\\sub\\nums.txt");
    r.cmdImport_Click();
    EXPECT_EQ(
        Said(w.fakes.messages),
        Strings{"Import finished successfully!\r\r\n  2 Documents Found\r\n\r\nNumbers read: 1\r\nAdded to "
                "Found: 1\r\nAlready listed: 0\r\nNot found: 0\r\nIgnored: 0"});

    // A typed path is held to the same drives: elsewhere it is refused and the dialog stays.
    for (const std::string& typed : {w.list("own.txt", "6234567\n"), std::string("h:\\nums.txt")}) {
        SCOPED_TRACE(typed);
        frmImport t(w.app);
        t.setResult(-1);
        t.txtPath->setText(QString::fromStdString(typed));
        t.cmdImport_Click();
        EXPECT_EQ(Said(w.fakes.messages), (Strings{"Lists can only be imported from F:, G:."}));
        EXPECT_EQ(t.result(), -1);
    }
    EXPECT_EQ(w.store->FoundCount(), 2);
    frmImport typedOk(w.app);
    typedOk.txtPath->setText("f:\\SUB\\nums.txt");
    typedOk.cmdImport_Click();
    EXPECT_EQ(typedOk.result(), QDialog::Accepted);

    ChooserPlace place{"F:", {}};
    EXPECT_FALSE(place.enter(".."));
    EXPECT_FALSE(place.enter("a/b"));
    EXPECT_FALSE(place.enter("."));
    EXPECT_EQ(place.windowsPath(), "F:\\");
}

}  // namespace
}  // namespace velk

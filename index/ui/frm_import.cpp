#include "index/ui/frm_import.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "common/vb_text.h"
#include "index/ui/frm_import_chooser.h"
#include "index/ui/frm_import_progress.h"
#include "lists/list_store.h"
#include "lists/ui/frm_list_box.h"
#include "platform/ui/guarded_app.h"
#include "platform/ui/modal.h"
#include "platform/ui/wait_cursor.h"

namespace velk {

namespace {

constexpr long kHelpImport = 6;

QString Caption(const Config& config) {
    if (config.isPatents()) return "Quorvel - Import Document Numbers list";
    if (config.isTrademarks()) return "Tovrin - Import Document Numbers list";
    return "Quorvel - Import Document List ";
}

}  // namespace

frmImport::frmImport(App& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName("frmImport");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(Caption(app.config));

    optFile = new QRadioButton("From a &file", this);
    optFile->setObjectName("optFile");
    optClipboard = new QRadioButton("From the &clipboard", this);
    optClipboard->setObjectName("optClipboard");
    auto* group = new QButtonGroup(this);
    group->addButton(optFile);
    group->addButton(optClipboard);
    Label1 = new QLabel("Import Path:", this);
    Label1->setObjectName("Label1");
    txtPath = new QLineEdit(this);
    txtPath->setObjectName("txtPath");
    Label1->setBuddy(txtPath);
    cmdBrowse = new QPushButton("&Browse", this);
    cmdBrowse->setObjectName("cmdBrowse");
    chkClear = new QCheckBox("Clear All Existing &Lists", this);
    chkClear->setObjectName("chkClear");
    cmdImport = new QPushButton("&Import", this);
    cmdImport->setObjectName("cmdImport");
    cmdImport->setDefault(true);
    MarkOutput(cmdImport);
    cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    cmdHelp = new QPushButton("&Help", this);
    cmdHelp->setObjectName("cmdHelp");
    for (QPushButton* b : {cmdBrowse, cmdCancel, cmdHelp}) b->setAutoDefault(false);

    connect(optFile, &QRadioButton::clicked, this, [this] { optFile_Click(); });
    connect(optClipboard, &QRadioButton::clicked, this, [this] { optClipboard_Click(); });
    connect(txtPath, &QLineEdit::textEdited, this, [this] { txtPath_Change(); });
    connect(cmdBrowse, &QPushButton::clicked, this, [this] { cmdBrowse_Click(); });
    connect(cmdImport, &QPushButton::clicked, this, [this] { cmdImport_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });

    auto* source = new QGroupBox(this);
    auto* sourceRows = new QVBoxLayout(source);
    sourceRows->addWidget(optFile);
    sourceRows->addWidget(optClipboard);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(txtPath, 1);
    pathRow->addWidget(cmdBrowse);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {cmdImport, cmdCancel, cmdHelp}) buttons->addWidget(b);
    auto* all = new QVBoxLayout(this);
    all->addWidget(source);
    all->addWidget(Label1);
    all->addLayout(pathRow);
    all->addWidget(chkClear);
    all->addStretch(1);
    all->addLayout(buttons);
    resize(470, 250);

    optFile->setChecked(true);
    optClipboard->setEnabled(!app_.config.isRestricted());
    cmdBrowse->setEnabled(true);
}

void frmImport::optFile_Click() {
    optFile->setChecked(true);
    importPath_.clear();
    txtPath->setText(" ");
    txtPath->setEnabled(true);
    cmdBrowse->setEnabled(true);
}

void frmImport::optClipboard_Click() {
    if (!optClipboard->isEnabled()) return;
    optClipboard->setChecked(true);
    importPath_.clear();
    txtPath->setText(" ");
    txtPath->setEnabled(false);
    cmdBrowse->setEnabled(false);
}

// What the user typed is what is imported: a path Browse chose earlier is let go.
void frmImport::txtPath_Change() { importPath_.clear(); }

void frmImport::cmdBrowse_Click() {
    if (!cmdBrowse->isEnabled()) return;
    if (!app_.ports.modal) return;
    std::string chosen;
    if (app_.config.isRestricted()) {
        frmImportChooser chooser(app_, this);
        if (app_.ports.modal->exec(chooser) == QDialog::Accepted) chosen = chooser.chosen();
    } else {
        const auto start = app_.drives.resolve(app_.config.ImportPath);
        QFileDialog dialog(this, "Import Path", start ? QString::fromStdString(start->string()) : QString());
        dialog.setObjectName("comDialog");
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);  // the path must exist
        dialog.setNameFilter(kAllFilesFilter);
        if (app_.ports.modal->exec(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().front().toStdString();
    }
    // Cancel keeps what was there.
    if (chosen.empty()) return;
    importPath_ = chosen;
    txtPath->setText(QString::fromStdString(importPath_));
}

bool frmImport::diskReady(const std::string& path, bool typed) {
    // Only a path that starts on the diskette drive asks for one: a native path may
    // hold "a:" anywhere, and no answer would ever make it ready.
    while (NeedsDiskette(path, typed)) {
        if (app_.drives.ready(path)) return true;
        if (app_.msg(kInsertDiskette, Buttons::OKCancel) != Answer::OK) return false;
    }
    return true;
}

void frmImport::cmdImport_Click() {
    BusyButton busy(cmdImport);
    try {
        WaitCursor wait;
        result_ = ImportResult{};
        ImportRequest request;
        request.clearLists = chkClear->isChecked();
        std::string sourceName;
        if (optClipboard->isChecked()) {
            request.source = ImportSourceKind::Clipboard;
            request.clipboardText = app_.ports.clipboard ? app_.ports.clipboard->text() : std::string();
            ImportTable probe;
            if (!ReadClipboardList(request.clipboardText, probe)) {
                app_.msg(kClipboardEmpty, Buttons::OK, Icon::Exclamation);
                optFile_Click();
                return;
            }
            sourceName = "Clipboard";
        } else {
            bool typed = false;
            if (importPath_.empty()) {
                importPath_ = Trim(txtPath->text().toStdString());
                typed = true;
            }
            if (importPath_.empty()) {
                app_.msg(kChooseAFile, Buttons::OK, Icon::Exclamation);
                return;
            }
            // A typed path is held to the drives the restricted chooser offers.
            if (app_.config.isRestricted() && !OnOfferedDrive(app_.config, importPath_)) {
                app_.msg(OnlyFromDrivesText(app_.config), Buttons::OK, Icon::Exclamation);
                importPath_.clear();
                return;
            }
            request.path = importPath_;
            sourceName = importPath_;
            if (!diskReady(importPath_, typed)) {
                importPath_.clear();
                reject();
                return;
            }
        }

        hide();
        auto progress = std::make_unique<frmImpProg>(parentWidget());
        progress->setSource(sourceName);
        progress->open();
        result_ = RunImport(app_, request, progress->hooks());
        progress->hide();
        progress.reset();
        importPath_.clear();

        if (result_.outcome == ImportResult::Processed) {
            finishProcessed();
            return;
        }
        const std::string refused = ImportRefusedText(result_, sourceName);
        if (!refused.empty()) app_.msg(refused, Buttons::OK, Icon::Exclamation);
        app_.msg(kImportNotProcessed, Buttons::OK, Icon::Exclamation);
        reject();
    } catch (const std::exception&) {
        importPath_.clear();
        reject();
    }
}

void frmImport::finishProcessed() {
    // A step that failed as a whole is named before the closing message.
    for (const std::string& error : result_.errors) app_.msg(error);
    const std::int32_t found = app_.lists ? app_.lists->FoundCount() : 0;
    app_.msg(ImportFinishedText(result_, found));
    findNeedsReload_ = true;
    accept();
    const std::int32_t notFound = app_.lists ? app_.lists->NotFoundCount() : 0;
    if (app_.ports.frame) app_.ports.frame->enableItem("mnuNotFound", notFound >= 1);
    if (app_.lists && app_.ports.frame) {
        if (app_.lists->FoundCount() > 0) app_.ports.frame->enableItem("mnuFound", true);
        if (app_.lists->RemainingCount() > 0) app_.ports.frame->enableItem("mnuNotPrinted", true);
    }
    if (notFound >= 1 && app_.ports.modal) {
        frmListBox list(app_, "NOT FOUND", foundSorted_, parentWidget());
        app_.ports.modal->exec(list);
    }
}

void frmImport::cmdCancel_Click() { reject(); }

void frmImport::cmdHelp_Click() {
    if (app_.ports.help) app_.ports.help->show(app_.config.HelpFilePath, kHelpContext, kHelpImport);
}

}  // namespace velk

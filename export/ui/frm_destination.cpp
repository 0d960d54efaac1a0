#include "export/ui/frm_destination.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "common/vb_text.h"
#include "export/export_destination.h"
#include "export/export_engine.h"
#include "platform/app.h"
#include "platform/ui/modal.h"

namespace velk {

namespace {

QPushButton* Button(QWidget* parent, const char* name, const char* text) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(name);
    return b;
}

// The drive box's entries: the mapped drives, then the file system's root.
QStringList DriveEntries(const App& app) {
    QStringList out;
    for (const std::string& d : app.drives.mappedDrives()) out << QString::fromStdString(d);
    out << "/";
    return out;
}

}  // namespace

frmDialog::frmDialog(App& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName("frmDialog");
    setWindowTitle("Select Directory");
    drvExport = new QComboBox(this);
    drvExport->setObjectName("drvExport");
    drvExport1 = new QComboBox(this);
    drvExport1->setObjectName("drvExport1");
    for (QComboBox* box : {drvExport, drvExport1}) box->addItems(DriveEntries(app));

    dirs_ = new QFileSystemModel(this);
    dirs_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    dirs_->setRootPath("/");
    dirExport = new QTreeView(this);
    dirExport->setObjectName("dirExport");
    dirExport->setModel(dirs_);
    for (int c = 1; c < dirs_->columnCount(); ++c) dirExport->hideColumn(c);
    dirExport->header()->hide();
    dirExport->setMinimumSize(280, 240);

    files_ = new QFileSystemModel(this);
    files_->setFilter(QDir::Files);
    FilExport = new QListView(this);
    FilExport->setObjectName("FilExport");
    FilExport->setModel(files_);

    lblDirectory = new QLabel(this);
    lblDirectory->setObjectName("lblDirectory");
    lblDirectory->setTextInteractionFlags(Qt::TextSelectableByMouse);

    txtNewFolder = new QLineEdit(this);
    txtNewFolder->setObjectName("txtNewFolder");
    txtNewFolder->setPlaceholderText("New folder name");
    cmdNewFolder = Button(this, "cmdNewFolder", "&New Folder");
    cmdOk = Button(this, "cmdOk", "OK");
    cmdCancel = Button(this, "cmdCancel", "&Cancel");
    cmdOk->setDefault(true);

    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(drvExport);
    left->addWidget(drvExport1);
    left->addWidget(lblDirectory);
    left->addWidget(dirExport);
    auto* folder = new QHBoxLayout;
    folder->addWidget(txtNewFolder);
    folder->addWidget(cmdNewFolder);
    left->addLayout(folder);
    top->addLayout(left);
    top->addWidget(FilExport);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    connect(dirExport->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& i) {
                FilExport->setRootIndex(files_->setRootPath(dirs_->filePath(i)));  // the file list follows
                showChoice();
            });
    connect(drvExport1, &QComboBox::activated, this, [this] { drvExport1_Change(); });
    connect(drvExport, &QComboBox::activated, this, [this] {
        drvExport1->setCurrentIndex(drvExport->currentIndex());
        drvExport1_Change();
    });
    connect(cmdNewFolder, &QPushButton::clicked, this, [this] { cmdNewFolder_Click(); });
    // Return after a folder name makes the folder; it does not start the export.
    connect(txtNewFolder, &QLineEdit::textChanged, this, [this](const QString& t) {
        cmdNewFolder->setDefault(!t.trimmed().isEmpty());
        cmdOk->setDefault(t.trimmed().isEmpty());
    });
    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    drvExport1->setCurrentIndex(drvExport1->count() - 1);
    drvExport->setCurrentIndex(drvExport1->count() - 1);
    lastDrive_ = drvExport1->count() - 1;
    showRoot("/");
}

void frmDialog::prepareForExport() {
    FilExport->hide();
    drvExport->hide();
    drvExport1->show();
    std::error_code ec;
    if (!app_.ExportChosen.empty() && std::filesystem::is_directory(app_.ExportChosen, ec)) {
        setDirectory(app_.ExportChosen);
        return;
    }
    const int c = drvExport1->findText("C:", Qt::MatchFixedString);
    if (c >= 0) {
        drvExport1->setCurrentIndex(c);
        drvExport1_Change();
    }
}

void frmDialog::cmdNewFolder_Click() {
    const std::string name = Trim(txtNewFolder->text().toStdString());
    // One level below the chosen directory: the same rule as a document's folder name.
    if (name.empty() || ExportDirName(name) != name) {
        app_.msg(DirErrorText(name), Buttons::OK, Icon::Exclamation);
        return;
    }
    const std::filesystem::path dir = std::filesystem::path(directory()) / name;
    std::error_code ec;
    // Through the model, which lists the new folder at once and hands back its entry.
    const QModelIndex made =
        std::filesystem::is_directory(dir, ec)
            ? dirs_->index(QString::fromStdString(dir.string()))
            : dirs_->mkdir(dirs_->index(QString::fromStdString(directory())), QString::fromStdString(name));
    if (!made.isValid()) {
        app_.msg(DirErrorText(dir.string()), Buttons::OK, Icon::Exclamation);
        return;
    }
    txtNewFolder->clear();
    dirExport->setCurrentIndex(made);
    dirExport->scrollTo(made);
}

std::string frmDialog::directory() const {
    const QModelIndex i = dirExport->currentIndex();
    return i.isValid() ? dirs_->filePath(i).toStdString() : root_;
}

void frmDialog::setDirectory(const std::string& nativeDir) {
    const QModelIndex i = dirs_->index(QString::fromStdString(nativeDir));
    if (!i.isValid()) return;
    // A directory off the drive shown moves the box to the file system's root.
    const std::string r = root_ == "/" ? "/" : root_ + "/";
    if (nativeDir != root_ && nativeDir.rfind(r, 0) != 0) showRoot("/");
    if (nativeDir == root_) {
        dirExport->setCurrentIndex(QModelIndex());
        showChoice();
        return;
    }
    dirExport->setCurrentIndex(i);
    dirExport->scrollTo(i);
    dirExport->expand(i);
}

void frmDialog::showRoot(const std::string& nativeRoot) {
    root_ = nativeRoot;
    dirExport->setRootIndex(dirs_->index(QString::fromStdString(nativeRoot)));
    dirExport->setCurrentIndex(QModelIndex());
    FilExport->setRootIndex(files_->setRootPath(QString::fromStdString(nativeRoot)));
    showChoice();
}

void frmDialog::showChoice() {
    lblDirectory->setText(QString::fromStdString(directory()));
}

void frmDialog::drvExport1_Change() {
    const std::string drive = drvExport1->currentText().toStdString();
    std::optional<std::filesystem::path> root =
        drive == "/" ? std::optional<std::filesystem::path>("/") : DriveRoot(app_, drive);
    if (!root) {
        app_.msg(kNoDiskText);
        drvExport1->setCurrentIndex(lastDrive_);  // back to the drive the directory box is on
        drvExport->setCurrentIndex(lastDrive_);
        return;
    }
    lastDrive_ = drvExport1->currentIndex();
    drvExport->setCurrentIndex(lastDrive_);
    showRoot(root->string());
}

void frmDialog::cmdOk_Click() {
    DialogCancelled = false;
    DialogPath = DialogPathOf(directory());
    if (app_.config.isRestricted()) DialogDrive = drvExport->currentText().toStdString();
    accept();
}

void frmDialog::cmdCancel_Click() {
    DialogCancelled = true;
    reject();
}

frmrestrict::frmrestrict(App& app, QWidget* parent) : QDialog(parent) {
    setObjectName("frmrestrict");
    setWindowTitle("Select Export Drive");
    cmbdrive = new QComboBox(this);
    cmbdrive->setObjectName("cmbdrive");
    for (const std::string& d : RestrictedDrives(app)) cmbdrive->addItem(QString::fromStdString(d));
    const std::string last = !app.ExportChosen.empty() ? app.ExportChosen : Trim(app.config.ExportPath);
    cmbdrive->setCurrentIndex(-1);
    cmbdrive->setMinimumWidth(220);
    cmdOK = Button(this, "cmdOK", "OK");
    cmdCancel = Button(this, "cmdCancel", "&Cancel");
    cmdOK->setEnabled(false);
    connect(cmbdrive, &QComboBox::currentIndexChanged, this, [this](int i) { cmdOK->setEnabled(i >= 0); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    // The drive of the last choice, or of the export directory, starts chosen.
    for (int i = 0; i < cmbdrive->count(); ++i)
        if (UCase(last.substr(0, 2)) == cmbdrive->itemText(i).toStdString()) cmbdrive->setCurrentIndex(i);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(cmbdrive);
    layout->addLayout(buttons);
}

void frmrestrict::cmdOK_Click() {
    if (cmbdrive->currentIndex() < 0) return;
    RestrictAnswer = cmbdrive->currentText().toStdString();
    accept();
}

void frmrestrict::cmdCancel_Click() {
    RestrictAnswer = "cancel";
    reject();
}

std::optional<std::filesystem::path> AskExportDestination(App& app, Modal& modal, QWidget* parent) {
    if (app.config.isOpen()) {
        frmDialog dialog(app, parent);
        dialog.prepareForExport();
        modal.exec(dialog);
        if (dialog.DialogCancelled || dialog.DialogPath.empty()) return std::nullopt;
        app.ExportChosen = dialog.DialogPath;
        return std::filesystem::path(dialog.DialogPath);
    }
    frmrestrict dialog(app, parent);
    modal.exec(dialog);
    if (dialog.RestrictAnswer == "cancel" || dialog.RestrictAnswer.empty()) return std::nullopt;
    auto to = RestrictedDestination(app, dialog.RestrictAnswer);
    if (!to)
        app.msg(kNoDiskText);  // taken away while the dialog was open
    else
        app.ExportChosen = dialog.RestrictAnswer;
    return to;
}

}  // namespace velk

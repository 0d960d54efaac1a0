#include "index/ui/frm_import_chooser.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velk {

frmImportChooser::frmImportChooser(App& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName("frmDialog");
    setWindowTitle("Import Path");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    drvExport = new QComboBox(this);
    drvExport->setObjectName("drvExport");
    dirExport = new QListWidget(this);
    dirExport->setObjectName("dirExport");
    FilExport = new QListWidget(this);
    FilExport->setObjectName("FilExport");
    cmdOk = new QPushButton("OK", this);
    cmdOk->setObjectName("cmdOk");
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");

    for (const std::string& d : ImportDrivesOffered(app_.config)) drvExport->addItem(QString::fromStdString(d));
    connect(drvExport, &QComboBox::currentIndexChanged, this, [this] { drvExport_Change(); });
    connect(dirExport, &QListWidget::itemActivated, this, [this] { dirExport_DblClick(); });
    connect(FilExport, &QListWidget::itemActivated, this, [this] { cmdOk_Click(); });
    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    auto* lists = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel("Directories:", this));
    left->addWidget(dirExport);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel("Files:", this));
    right->addWidget(FilExport);
    lists->addLayout(left);
    lists->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    auto* all = new QVBoxLayout(this);
    all->addWidget(drvExport);
    all->addLayout(lists, 1);
    all->addLayout(buttons);
    resize(480, 320);

    if (drvExport->count() > 0) {
        drvExport->setCurrentIndex(0);
        drvExport_Change();
    }
}

void frmImportChooser::drvExport_Change() {
    const std::string drive = drvExport->currentText().toStdString();
    if (drive.empty()) return;
    if (!app_.drives.ready(drive)) {
        app_.msg("There is no disk in the drive!  Please insert disk...");
        // Back to the drive the lists show, when there is one.
        const int shown = drvExport->findText(QString::fromStdString(place_.drive));
        if (shown >= 0 && shown != drvExport->currentIndex()) {
            QSignalBlocker block(drvExport);
            drvExport->setCurrentIndex(shown);
        }
        return;
    }
    place_ = ChooserPlace{drive, {}};
    fill();
}

void frmImportChooser::fill() {
    dirExport->clear();
    FilExport->clear();
    const auto native = app_.drives.resolve(place_.windowsPath());
    if (!native) return;
    const ChooserListing l = ListChooserDirectory(*native);
    if (!place_.atRoot()) dirExport->addItem("..");
    for (const std::string& d : l.dirs) dirExport->addItem(QString::fromStdString(d));
    for (const std::string& f : l.files) FilExport->addItem(QString::fromStdString(f));
    if (FilExport->count() > 0) FilExport->setCurrentRow(0);
}

void frmImportChooser::dirExport_DblClick() {
    const QListWidgetItem* item = dirExport->currentItem();
    if (item && place_.enter(item->text().toStdString())) fill();
}

void frmImportChooser::cmdOk_Click() {
    const QListWidgetItem* item = FilExport->currentItem();
    if (!item) return;  // a directory is no list to import
    chosen_ = place_.fileWindowsPath(item->text().toStdString());
    accept();
}

void frmImportChooser::cmdCancel_Click() {
    chosen_.clear();
    reject();
}

}  // namespace velk

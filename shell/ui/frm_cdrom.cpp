#include "shell/ui/frm_cdrom.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velk {

frmCDRom::frmCDRom(App& app, QWidget* parent) : QDialog(parent), app_(app), session_(app) {
    setObjectName("frmCDRom");
    setWindowTitle(tr("Select CD-Rom Drive"));
    Frame1 = new QGroupBox(tr("Current Settings:"), this);
    Frame1->setObjectName("Frame1");
    Label1 = new QLabel(QString::fromStdString(session_.label()), Frame1);
    Label1->setObjectName("Label1");
    Label1->setTextFormat(Qt::PlainText);
    Frame2 = new QGroupBox(tr("New Settings:"), this);
    Frame2->setObjectName("Frame2");
    drvCDRom = new QComboBox(Frame2);
    drvCDRom->setObjectName("drvCDRom");
    drvCDRom->setMinimumWidth(260);
    drvCDRom->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    choices_ = CdRomChoices(app);
    for (const CdRomChoice& c : choices_) drvCDRom->addItem(QString::fromStdString(c.text));
    // The drive in use is offered first selected, as a drive list does.
    for (std::size_t i = 0; i < choices_.size(); ++i)
        if (choices_[i].value == app.config.CDDrive) drvCDRom->setCurrentIndex(int(i));
    cmdOverwrite = new QPushButton(tr("&Replace"), this);
    cmdOverwrite->setObjectName("cmdOverwrite");
    cmdOverwrite->setEnabled(!choices_.empty());
    cmdOverwrite->setDefault(true);
    Command2 = new QPushButton(tr("&Cancel"), this);
    Command2->setObjectName("Command2");

    (new QVBoxLayout(Frame1))->addWidget(Label1);
    (new QVBoxLayout(Frame2))->addWidget(drvCDRom);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOverwrite);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Frame1);
    layout->addWidget(Frame2);
    layout->addLayout(buttons);

    connect(cmdOverwrite, &QPushButton::clicked, this, &frmCDRom::cmdOverwrite_Click);
    connect(Command2, &QPushButton::clicked, this, &frmCDRom::Command2_Click);
}

void frmCDRom::cmdOverwrite_Click() {
    if (closing_) {
        session_.Close();
        accept();
        return;
    }
    const int i = drvCDRom->currentIndex();
    if (i < 0 || i >= int(choices_.size())) return;
    if (!session_.Replace(choices_[i])) return;
    Label1->setText(QString::fromStdString(session_.label()));
    cmdOverwrite->setText(tr("C&lose"));
    closing_ = true;
}

void frmCDRom::Command2_Click() {
    reject();
}

void frmCDRom::reject() {
    session_.Cancel();
    QDialog::reject();
}

}  // namespace velk

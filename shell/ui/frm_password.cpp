#include "shell/ui/frm_password.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/modal.h"
#include "platform/ui/qt_printer.h"
#include "shell/ui/frm_cdrom.h"

namespace velk {

frmPassword::frmPassword(App& app, PasswordPurpose purpose, QWidget* parent)
    : QDialog(parent), app_(app), purpose_(purpose) {
    setObjectName("frmPassword");
    setWindowTitle(QString::fromStdString(PasswordCaption(app.config)));
    lblPassword = new QLabel(PasswordPrompt(purpose), this);
    lblPassword->setObjectName("lblPassword");
    lblIndex = new QLabel(kIndexNotice, this);
    lblIndex->setObjectName("lblIndex");
    lblIndex->setVisible(false);
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName("txtPassword");
    // Never shown in clear text.
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setMinimumWidth(220);
    txtPassword->installEventFilter(this);
    lblPassword->setBuddy(txtPassword);
    cmdOk = new QPushButton(tr("&OK"), this);
    cmdOk->setObjectName("cmdOk");
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton(tr("&Cancel"), this);
    cmdCancel->setObjectName("cmdCancel");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(lblPassword);
    layout->addWidget(txtPassword);
    layout->addWidget(lblIndex);
    layout->addLayout(buttons);

    connect(cmdOk, &QPushButton::clicked, this, &frmPassword::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPassword::cmdCancel_Click);
}

std::unique_ptr<frmPassword> frmPassword::Notice(App& app, const std::string& caption, QWidget* parent) {
    auto form = std::make_unique<frmPassword>(app, PasswordPurpose::CdRom, parent);
    form->setWindowTitle(QString::fromStdString(caption));
    for (QWidget* w : {static_cast<QWidget*>(form->lblPassword), static_cast<QWidget*>(form->txtPassword),
                       static_cast<QWidget*>(form->cmdOk), static_cast<QWidget*>(form->cmdCancel)})
        w->setVisible(false);
    form->lblIndex->setVisible(true);
    return form;
}

void frmPassword::showEvent(QShowEvent* event) {
    txtPassword->clear();
    Accepted = false;
    QDialog::showEvent(event);
}

void frmPassword::cmdOk_Click() {
    Accepted = CheckPassword(app_, purpose_, txtPassword->text().toStdString());
    txtPassword->clear();
    if (Accepted)
        accept();
    else
        QDialog::reject();
}

void frmPassword::cmdCancel_Click() {
    reject();
}

void frmPassword::reject() {
    Accepted = false;
    txtPassword->clear();
    QDialog::reject();
}

bool frmPassword::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtPassword && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab) {
            cmdOk_Click();
            return true;
        }
        if (key == Qt::Key_Escape) {
            cmdCancel_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool QtSettingsWindows::askPassword(PasswordPurpose purpose) {
    frmPassword form(app_, purpose, parent_);
    modal_.exec(form);
    return form.Accepted;
}

void QtSettingsWindows::showCdRom() {
    frmCDRom form(app_, parent_);
    modal_.exec(form);
}

bool QtSettingsWindows::showPrinterSetup() {
    auto* printer = dynamic_cast<QtPrinter*>(app_.ports.printer);
    return printer && printer->setup(modal_);
}

}  // namespace velk

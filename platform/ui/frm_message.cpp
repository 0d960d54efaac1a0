#include "platform/ui/frm_message.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/modal.h"

namespace velk {

frmMessage::frmMessage(App& app, FoundListCheck foundHasEntries, QWidget* parent)
    : QDialog(parent), app_(app), foundHasEntries_(std::move(foundHasEntries)) {
    setObjectName("frmMessage");
    setWindowTitle(QString::fromStdString(app.config.CollectionMode));
    lblMessage = new QLabel(this);
    lblMessage->setObjectName("lblMessage");
    lblMessage->setTextFormat(Qt::PlainText);
    lblMessage->setWordWrap(true);
    lblMessage->setMinimumWidth(320);
    cmdOk = new QPushButton(tr("&OK"), this);
    cmdOk->setObjectName("cmdOk");
    cmdOk->setDefault(true);
    cmdExit = new QPushButton(tr("&Cancel"), this);
    cmdExit->setObjectName("cmdExit");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdExit);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblMessage);
    layout->addLayout(buttons);

    connect(cmdOk, &QPushButton::clicked, this, &frmMessage::cmdOk_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMessage::cmdExit_Click);
}

void frmMessage::cmdOk_Click() {
    MessageResult = 1;
    accept();
}

void frmMessage::cmdExit_Click() { reject(); }

void frmMessage::reject() {
    MessageResult = 3;
    for (auto& v : app_.viewers) v.Active = false;
    if (app_.ports.frame && foundHasEntries_ && foundHasEntries_())
        app_.ports.frame->enableItem("mnuView", true);
    QDialog::reject();
}

int QtPrompt::ask(const std::string& text, int previousResult) {
    (void)previousResult;  // never carried over: an unanswered prompt is a Cancel
    frmMessage form(app_, foundHasEntries_);
    form.MessageResult = 3;
    form.lblMessage->setText(QString::fromStdString(text));
    modal_.exec(form);
    return form.MessageResult;
}

}  // namespace velk

#include "index/ui/frm_find.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace velk {

frmFind::frmFind(App& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName("frmFind");
    setWindowTitle("Document Finder");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    cmdClose = new QPushButton("&Close", this);
    cmdClose->setObjectName("cmdClose");
    cmdClose->setDefault(true);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(cmdClose);
    auto* all = new QVBoxLayout(this);
    all->addStretch(1);
    all->addLayout(row);
    resize(560, 400);
}

void frmFind::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(s->availableGeometry().center());
        move(frame.topLeft());
    }
}

}  // namespace velk

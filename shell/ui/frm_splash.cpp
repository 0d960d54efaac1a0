#include "shell/ui/frm_splash.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/config.h"
#include "shell/ui/toolbar_icons.h"
#include "platform/ui/modal.h"

namespace velk {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

struct SplashTexts {
    QString heading, description;
    bool date = false, number = false, sample = false;
};

SplashTexts TextsFor(const Config& c) {
    if (c.isPatents())
        return {"Quorvel",
                "Facsimile images of patent documents, with a cumulative index of every document the "
                "collection holds. Find documents by number, then view, print and export their pages.",
                true, false, false};
    if (c.isTrademarks())
        return {"Tovrin",
                "Facsimile images of trademark registrations, with a cumulative index of every registration "
                "the collection holds. Find registrations by number, then view, print and export their pages.",
                true, true, true};
    if (c.isAssignments())
        return {"Assignments",
                "Facsimile images of assignment records, with a cumulative index of every record the "
                "collection holds. Find records by number, then view, print and export their pages.",
                false, false, false};
    return {"Velk", "Viewer for collections of facsimile document images.", false, false, false};
}

}  // namespace

frmSplash::frmSplash(App& app, QWidget* parent) : QDialog(parent) {
    setObjectName("frmSplash");
    ReadCoverage(app);
    const SplashTexts t = TextsFor(app.config);
    setWindowTitle(t.heading);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    imgPicture = MakeLabel(this, "imgPicture", {});
    imgPicture->setPixmap(ProgramIcon().pixmap(96, 96));
    imgPicture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    lblHeading = MakeLabel(this, "lblHeading", t.heading);
    QFont big = lblHeading->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    lblHeading->setFont(big);
    lblDescription = MakeLabel(this, "lblDescription", t.description);
    lblDescription->setWordWrap(true);

    lblCoverage = MakeLabel(this, "lblCoverage", "Cumulative Index current through");
    lblCoverageDate = MakeLabel(this, "lblCoverageDate", QString::fromStdString(app.CoverageDate));
    lblRegNo = MakeLabel(this, "lblRegNo", "Registration No.");
    lblRegNoValue = MakeLabel(this, "lblRegNoValue", QString::fromStdString(app.CoverageNumber));
    for (QLabel* value : {lblCoverageDate, lblRegNoValue}) {
        QFont f = value->font();
        f.setBold(true);
        value->setFont(f);
    }
    lblSample = MakeLabel(this, "lblSample", "This disc holds samples of the trademark backfile.");
    lblSample->setWordWrap(true);
    lblCoverage->setVisible(t.date);
    lblCoverageDate->setVisible(t.date);
    lblRegNo->setVisible(t.number);
    lblRegNoValue->setVisible(t.number);
    lblSample->setVisible(t.sample);

    lblOffice = MakeLabel(this, "lblOffice", "Velk Document Publishing Office");
    lblAddress = MakeLabel(this, "lblAddress", "Archive House, 12 Ledger Street, Velkton");
    lblDisclaimer = MakeLabel(this, "lblDisclaimer",
                              "Errors and omissions may occur in the data on this disc. Consult the "
                              "official record before relying on a document.");
    lblDisclaimer->setWordWrap(true);
    for (QLabel* small : {lblOffice, lblAddress, lblDisclaimer}) {
        QFont f = small->font();
        f.setPointSizeF(f.pointSizeF() * 0.9);
        small->setFont(f);
    }

    cmdContinue = new QPushButton("Continue", this);
    cmdContinue->setObjectName("cmdContinue");
    cmdContinue->setDefault(true);
    cmdContinue->setAutoDefault(true);
    connect(cmdContinue, &QPushButton::clicked, this, [this] { cmdContinue_Click(); });

    auto* text = new QVBoxLayout;
    text->addWidget(lblHeading);
    text->addWidget(lblDescription);
    auto* coverage = new QGridLayout;
    coverage->addWidget(lblCoverage, 0, 0);
    coverage->addWidget(lblCoverageDate, 0, 1);
    coverage->addWidget(lblRegNo, 1, 0);
    coverage->addWidget(lblRegNoValue, 1, 1);
    coverage->setColumnStretch(2, 1);
    text->addSpacing(8);
    text->addLayout(coverage);
    text->addWidget(lblSample);
    text->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addWidget(imgPicture);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* bottom = new QHBoxLayout;
    auto* office = new QVBoxLayout;
    office->addWidget(lblOffice);
    office->addWidget(lblAddress);
    office->addWidget(lblDisclaimer);
    bottom->addLayout(office, 1);
    bottom->addSpacing(12);
    bottom->addWidget(cmdContinue, 0, Qt::AlignBottom);

    auto* all = new QVBoxLayout(this);
    all->addLayout(top, 1);
    all->addWidget(rule);
    all->addLayout(bottom);
    setMinimumWidth(520);
    cmdContinue->setFocus();
}

void frmSplash::cmdContinue_Click() { accept(); }

void frmSplash::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CentreOnScreen(*this);
}

}  // namespace velk

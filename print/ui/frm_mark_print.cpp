#include "print/ui/frm_mark_print.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "common/vb_text.h"
#include "platform/app.h"
#include "platform/ui/guarded_app.h"
#include "platform/ui/pdf_output.h"
#include "platform/ui/wait_cursor.h"
#include "print/print_runs.h"
#include "print/ui/frm_print.h"
#include "print/ui/print_progress.h"

namespace velk {

frmMarkPrint::frmMarkPrint(App& app, Modal& modal, QWidget* parent)
    : QDialog(parent), app_(app), modal_(modal) {
    setObjectName("frmMarkPrint");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    optEntire = new QRadioButton("Entire Document ", this);
    optEntire->setObjectName("optEntire");
    optPage = new QRadioButton("Page", this);
    optPage->setObjectName("optPage");
    lstPage = new QListWidget(this);
    lstPage->setObjectName("lstPage");
    lblPages = new QLabel(this);
    lblPages->setObjectName("lblPages");
    cmdPrint = new QPushButton("&Print", this);
    cmdPrint->setObjectName("cmdPrint");
    cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    cmdHelp = new QPushButton("&Help", this);
    cmdHelp->setObjectName("cmdHelp");
    auto* group = new QButtonGroup(this);
    group->addButton(optEntire);
    group->addButton(optPage);
    lstPage->setFixedSize(70, lstPage->fontMetrics().height() * 4 + 8);

    auto* choices = new QGridLayout;
    choices->addWidget(optEntire, 0, 0, 1, 3);
    choices->addWidget(optPage, 1, 0, Qt::AlignTop);
    choices->addWidget(lstPage, 1, 1, Qt::AlignLeft);
    choices->addWidget(lblPages, 1, 2, Qt::AlignTop | Qt::AlignLeft);
    choices->setColumnStretch(2, 1);
    choices->setRowStretch(2, 1);
    cmbPrinter = PrinterChoiceBox(app, this);
    cmdPreview = new QPushButton("Pre&view", this);
    cmdPreview->setObjectName("cmdPreview");
    ArrangePrintDialog(*this, cmbPrinter, choices, cmdPrint, cmdPreview, cmdCancel, cmdHelp);
    connect(cmdPreview, &QPushButton::clicked, this, [this] { cmdPreview_Click(); });

    connect(lstPage, &QListWidget::itemClicked, this, [this] { optPage->setChecked(true); });
    connect(cmdPrint, &QPushButton::clicked, this, [this] { cmdPrint_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });

    const std::string number = Trim(app.doc.CurDocNo);
    setWindowTitle(QString::fromStdString(app.config.isAssignments()
                                              ? "Assignments Print " + FormatText(number, "0000/0000")
                                              : "Tovrin Print " + FormatText(number, "###,###,###")));
    const int count = std::max(0, static_cast<int>(app.doc.CurPageCount.value()));
    lblPages->setText(QString::fromStdString("of " + std::to_string(count)));
    for (int p = 1; p <= count; ++p) lstPage->addItem(QString::number(p));
    const int current = app.viewers[ActiveViewerIndex(app)].PageNumber.value();
    lstPage->setCurrentRow(count == 0 ? -1 : std::clamp(current, 1, count) - 1);
    optEntire->setChecked(true);
}

void frmMarkPrint::saveAsPdf() {
    savePdf_ = true;
    ShowSaveAsPdf(*this, cmdPrint);
}

void frmMarkPrint::cmdPrint_Click() {
    BusyButton busy(cmdPrint);
    const bool entire = optEntire->isChecked();
    const int page = lstPage->currentRow() + 1;
    const int count = entire ? app_.doc.CurPageCount.value() : (page >= 1 ? 1 : 0);
    if (count < 1) {
        app_.msg(kNoPagesText);
        return;
    }
    const PdfChoice pdf = PrepareDocumentOutput(app_, this, savePdf_ || ApplyPrinterChoice(app_, *cmbPrinter));
    if (pdf.cancelled) return;
    hide();  // the progress window takes the dialog's place
    try {
        RunPrint<frmPrintOneProgress>(app_, parentWidget(), [&](PrintRun& run) {
            SendToPdf(run, pdf, false);
            PrintMarkDocument(app_, run, entire, page);
        });
    } catch (const std::exception&) {
        app_.msg(kPrintRunErrorText);
    }
    accept();
}

void frmMarkPrint::cmdPreview_Click() {
    try {
        if (PreviewPages(app_, modal_, this, MarkPages(app_, optEntire->isChecked(), lstPage->currentRow() + 1),
                         *cmbPrinter))
            cmdPrint_Click();
    } catch (const std::exception&) {
        app_.msg(kPrintRunErrorText);
    }
}

void frmMarkPrint::cmdHelp_Click() {
    ShowPrintHelp(app_);
}

}  // namespace velk

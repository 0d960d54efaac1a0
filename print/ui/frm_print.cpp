#include "print/ui/frm_print.h"

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
#include "print/ui/print_preview.h"
#include "print/ui/print_progress.h"

namespace velk {

namespace {

template <class W> W* Named(W* w, const char* name) {
    w->setObjectName(name);
    return w;
}

QCheckBox* Box(QWidget* parent, const char* name, const char* caption) {
    return Named(new QCheckBox(caption, parent), name);
}

}  // namespace

void ShowSaveAsPdf(QDialog& dialog, QPushButton* confirm) {
    dialog.setWindowTitle(dialog.windowTitle().replace(" Print ", " Save as PDF "));
    confirm->setText("&Save");
    // The file is asked for: no printer to choose.
    for (const char* name : {"cmbPrinter", "lblPrinter"})
        if (auto* w = dialog.findChild<QWidget*>(name)) w->hide();
}

PdfChoice PrepareDocumentOutput(App& app, QWidget* parent, bool savePdf) {
    return PreparePdfDocument(app, parent, PdfFileName(app.doc.CurDocNo), savePdf);
}

void SendToPdf(PrintRun& run, const PdfChoice& pdf, bool batch) {
    if (!pdf.path) return;
    if (batch) {
        run.pdfFolder = pdf.path;
        return;
    }
    run.pdfFile = pdf.path;
    run.summary.run = "Save as PDF";
}

void ShowPrintHelp(App& app) {
    if (app.ports.help) app.ports.help->show(app.config.HelpFilePath, kHelpContext, kPrintHelpContext);
}

QComboBox* PrinterChoiceBox(App& app, QWidget* parent) {
    auto* box = Named(new QComboBox(parent), "cmbPrinter");
    Printer* printer = app.ports.printer;
    const bool asks = printer && printer->asksForFile();
    const std::string current = printer && !asks ? printer->current() : std::string();
    std::vector<std::string> names = printer ? printer->queues() : std::vector<std::string>{};
    for (const std::string& name : names) box->addItem(QString::fromStdString(name), QString::fromStdString(name));
    if (printer && !asks && std::find(names.begin(), names.end(), current) == names.end())
        box->addItem(QString::fromStdString(current.empty() ? printer->deviceName() : current),
                     QString::fromStdString(current));  // a PDF file every print goes to
    box->addItem("Save as PDF");  // no data: the file is asked for
    box->setCurrentIndex(asks ? box->count() - 1 : box->findData(QString::fromStdString(current)));
    return box;
}

bool ApplyPrinterChoice(App& app, const QComboBox& box) {
    const bool save = !box.currentData().isValid();
    if (app.ports.printer) app.ports.printer->choose(save ? std::string() : box.currentData().toString().toStdString());
    return save;
}

bool PreviewPages(App& app, Modal& modal, QWidget* parent, const std::vector<Int16>& pages,
                  const QComboBox& printer) {
    if (pages.empty()) {
        app.msg(kNoPagesText);
        return false;
    }
    return ShowPrintPreview(app, modal, parent, pages, printer.currentData().toString().toStdString());
}

void ArrangePrintDialog(QDialog& dialog, QComboBox* printer, QLayout* choices, QPushButton* print,
                        QPushButton* preview, QPushButton* cancel, QPushButton* help) {
    print->setDefault(true);
    MarkOutput(print);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {print, preview, cancel, help}) buttons->addWidget(b);
    buttons->addStretch(1);
    auto* left = new QVBoxLayout;
    auto* row = new QHBoxLayout;
    auto* label = Named(new QLabel("P&rinter:", &dialog), "lblPrinter");
    label->setBuddy(printer);
    row->addWidget(label);
    row->addWidget(printer, 1);
    left->addLayout(row);
    left->addSpacing(6);
    left->addLayout(choices, 1);
    auto* all = new QHBoxLayout(&dialog);
    all->addLayout(left, 1);
    all->addSpacing(12);
    all->addLayout(buttons);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
}

frmPrint::frmPrint(App& app, Modal& modal, QWidget* parent) : QDialog(parent), app_(app), modal_(modal) {
    setObjectName("frmPrint");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    optEntire = Named(new QRadioButton("Entire Document ", this), "optEntire");
    optFirstPage = Named(new QRadioButton("First Page Only", this), "optFirstPage");
    optAllNotFirst = Named(new QRadioButton("All Pages EXCEPT the first page", this), "optAllNotFirst");
    optPage = Named(new QRadioButton("Page", this), "optPage");
    lstPage = Named(new QListWidget(this), "lstPage");
    lblPages = Named(new QLabel(this), "lblPages");
    optRange = Named(new QRadioButton("Pages", this), "optRange");
    cmbRangeSt = Named(new QComboBox(this), "cmbRangeSt");
    Label1 = Named(new QLabel("thru", this), "Label1");
    cmbRangeEnd = Named(new QComboBox(this), "cmbRangeEnd");
    optSubsection = Named(new QRadioButton("Subsection:", this), "optSubsection");
    lstSubsections = Named(new QListWidget(this), "lstSubsections");
    lstSubsections->addItems({"Abstract", "Biblio", "Claims", "Description", "Drawings"});
    chkAbstract = Box(this, "chkAbstract", "Abstract");
    chkBiblio = Box(this, "chkBiblio", "Biblio");
    chkClaims = Box(this, "chkClaims", "Claims");
    chkDescription = Box(this, "chkDescription", "Description");
    chkDrawings = Box(this, "chkDrawings", "Drawings");
    chkCC = Box(this, "chkCC", "Certificate of Corrections");
    chkRE = Box(this, "chkRE", "Reexaminations");
    cmdPrint = Named(new QPushButton("&Print", this), "cmdPrint");
    cmdCancel = Named(new QPushButton("&Cancel", this), "cmdCancel");
    cmdHelp = Named(new QPushButton("&Help", this), "cmdHelp");

    auto* group = new QButtonGroup(this);
    for (QRadioButton* o : {optEntire, optFirstPage, optAllNotFirst, optPage, optRange, optSubsection})
        group->addButton(o);
    lstPage->setFixedHeight(lstPage->fontMetrics().height() * 4 + 8);
    lstPage->setFixedWidth(70);
    lstSubsections->setFixedHeight(lstSubsections->fontMetrics().height() * 5 + 10);
    lstSubsections->setFixedWidth(110);
    for (QComboBox* c : {cmbRangeSt, cmbRangeEnd}) c->setFixedWidth(80);

    auto* choices = new QGridLayout;
    choices->addWidget(optEntire, 0, 0, 1, 4);
    choices->addWidget(optFirstPage, 1, 0, 1, 4);
    choices->addWidget(optAllNotFirst, 2, 0, 1, 4);
    choices->addWidget(optPage, 3, 0, Qt::AlignTop);
    choices->addWidget(lstPage, 3, 1, Qt::AlignLeft);
    choices->addWidget(lblPages, 3, 2, 1, 2, Qt::AlignTop | Qt::AlignLeft);
    choices->addWidget(optRange, 4, 0);
    choices->addWidget(cmbRangeSt, 4, 1, Qt::AlignLeft);
    choices->addWidget(Label1, 4, 2, Qt::AlignCenter);
    choices->addWidget(cmbRangeEnd, 4, 3, Qt::AlignLeft);
    choices->addWidget(optSubsection, 5, 0, Qt::AlignTop);
    choices->addWidget(lstSubsections, 5, 1, Qt::AlignLeft | Qt::AlignTop);
    auto* boxes = new QGridLayout;
    QCheckBox* const order[] = {chkAbstract, chkBiblio, chkClaims, chkDescription, chkDrawings, chkCC, chkRE};
    for (int i = 0; i < 7; ++i) boxes->addWidget(order[i], i % 4, i / 4);
    choices->addLayout(boxes, 5, 2, 1, 2, Qt::AlignTop);
    choices->setColumnStretch(3, 1);

    cmbPrinter = PrinterChoiceBox(app, this);
    cmdPreview = Named(new QPushButton("Pre&view", this), "cmdPreview");
    ArrangePrintDialog(*this, cmbPrinter, choices, cmdPrint, cmdPreview, cmdCancel, cmdHelp);
    connect(cmdPreview, &QPushButton::clicked, this, [this] { cmdPreview_Click(); });

    // A click in a list or range box chooses its option.
    connect(lstPage, &QListWidget::itemClicked, this, [this] { optPage->setChecked(true); });
    connect(cmbRangeSt, &QComboBox::activated, this, [this] { optRange->setChecked(true); });
    connect(cmbRangeEnd, &QComboBox::activated, this, [this] { optRange->setChecked(true); });
    connect(lstSubsections, &QListWidget::itemClicked, this, [this] { optSubsection->setChecked(true); });
    connect(group, &QButtonGroup::buttonToggled, this, [this] { enableSections(); });
    connect(cmdPrint, &QPushButton::clicked, this, [this] { cmdPrint_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });

    load();
    if (app_.PrintMode == PrintSource::Batch) prepareBatch();
}

void frmPrint::load() {
    const CurrentDocument& doc = app_.doc;
    const int count = std::max(0, static_cast<int>(doc.CurPageCount.value()));
    setWindowTitle(QString::fromStdString("Quorvel Print " + FormatText(Trim(doc.CurDocNo), "###,###,###")));
    lblPages->setText(QString::fromStdString("of " + std::to_string(count)));
    QStringList numbers;
    for (int p = 1; p <= count; ++p) numbers << QString::number(p);
    lstPage->addItems(numbers);
    cmbRangeSt->addItems(numbers);
    cmbRangeEnd->addItems(numbers);
    // The shown page; a page past the end (a stale record) selects the last one.
    const int current = app_.viewers[ActiveViewerIndex(app_)].PageNumber.value();
    const int row = count == 0 ? -1 : std::clamp(current, 1, count) - 1;
    lstPage->setCurrentRow(row);
    cmbRangeSt->setCurrentIndex(row);
    cmbRangeEnd->setCurrentIndex(row);

    const bool meta = IsMetaMap(doc);
    for (QCheckBox* c : {chkDescription, chkCC, chkRE}) c->setVisible(meta);

    // The section that begins on the shown page, tested in this order.
    const std::pair<Section, const char*> starts[] = {{SecAbstract, "Abstract"},
                                                      {SecInfo, "Biblio"},
                                                      {SecClaims, "Claims"},
                                                      {SecDescription, "Description"},
                                                      {SecDrawings, "Drawings"}};
    for (const auto& [section, name] : starts) {
        if (doc.SectionFirstPage[section].value() == current) {
            const auto found = lstSubsections->findItems(name, Qt::MatchExactly);
            if (!found.isEmpty()) lstSubsections->setCurrentItem(found.front());
            break;
        }
    }
    optPage->setChecked(true);
    enableSections();
}

void frmPrint::prepareBatch() {
    batch_ = true;
    for (QWidget* w : std::initializer_list<QWidget*>{optPage, optRange, lblPages, cmbRangeEnd, cmbRangeSt, lstPage})
        w->setEnabled(false);
    setWindowTitle("Batch Print");
    cmdPreview->hide();  // a preview shows one document
    // The page option is out of reach in a batch: start from the whole document.
    optEntire->setChecked(true);
}

void frmPrint::saveAsPdf() {
    savePdf_ = true;
    ShowSaveAsPdf(*this, cmdPrint);
}

void frmPrint::enableSections() {
    const bool on = optSubsection->isChecked();
    for (QCheckBox* c : {chkAbstract, chkBiblio, chkClaims, chkDescription, chkDrawings, chkCC, chkRE})
        c->setEnabled(on);
    lstSubsections->setEnabled(true);
}

PageOptions frmPrint::options() const {
    PageOptions o;
    if (optEntire->isChecked()) o.choice = PageChoice::Entire;
    else if (optFirstPage->isChecked()) o.choice = PageChoice::FirstPage;
    else if (optAllNotFirst->isChecked()) o.choice = PageChoice::AllNotFirst;
    else if (optRange->isChecked()) o.choice = PageChoice::Range;
    else if (optSubsection->isChecked()) o.choice = PageChoice::Subsection;
    else o.choice = PageChoice::Page;
    o.page = lstPage->currentRow() + 1;
    o.rangeStart = cmbRangeSt->currentIndex() + 1;
    o.rangeEnd = cmbRangeEnd->currentIndex() + 1;
    o.abstract = chkAbstract->isChecked();
    o.biblio = chkBiblio->isChecked();
    o.claims = chkClaims->isChecked();
    // Boxes a standard map hides select nothing, whatever they held.
    o.description = chkDescription->isChecked() && chkDescription->isVisibleTo(this);
    o.drawings = chkDrawings->isChecked();
    o.corrections = chkCC->isChecked() && chkCC->isVisibleTo(this);
    o.reexaminations = chkRE->isChecked() && chkRE->isVisibleTo(this);
    return o;
}

void frmPrint::cmdPrint_Click() {
    BusyButton busy(cmdPrint);
    try {
        if (batch_)
            printBatch();
        else
            printDocument();
    } catch (const std::exception&) {
        app_.msg(kPrintRunErrorText);
    }
}

void frmPrint::printDocument() {
    const PageOptions o = options();
    if (SelectPages(o, app_.doc, app_.doc.CurPageCount.value()).empty()) {
        app_.msg(kNoPagesText);
        return;
    }
    const PdfChoice pdf = PrepareDocumentOutput(app_, this, savePdf_ || ApplyPrinterChoice(app_, *cmbPrinter));
    if (pdf.cancelled) return;
    RunPrint<frmPrintOneProgress>(app_, this, [&](PrintRun& run) {
        SendToPdf(run, pdf, false);
        PrintCurrentDocument(app_, run, o);
    });
    // The dialog stays open for another choice.
}

void frmPrint::printBatch() {
    const PageOptions o = options();
    const PdfChoice pdf = PreparePdfBatch(app_, this, ApplyPrinterChoice(app_, *cmbPrinter));
    if (pdf.cancelled) return;
    hide();  // the batch runs in place of the dialog
    RunPrint<frmPrintProgress>(app_, parentWidget(), [&](PrintRun& run) {
        SendToPdf(run, pdf, true);
        PrintPatentBatch(app_, run, o);
    });
    accept();
}

void frmPrint::cmdPreview_Click() {
    try {
        const PageSelection sel = SelectPages(options(), app_.doc, app_.doc.CurPageCount.value());
        if (PreviewPages(app_, modal_, this, sel.empty() ? std::vector<Int16>{} : sel.pages, *cmbPrinter))
            cmdPrint_Click();
    } catch (const std::exception&) {
        app_.msg(kPrintRunErrorText);
    }
}

void frmPrint::cmdHelp_Click() { ShowPrintHelp(app_); }

}  // namespace velk

#include "export/ui/frm_export.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "common/vb_text.h"
#include "export/batch_export.h"
#include "export/ui/export_progress.h"
#include "export/ui/frm_destination.h"
#include "platform/app.h"
#include "platform/ui/guarded_app.h"
#include "platform/ui/modal.h"
#include "platform/ui/wait_cursor.h"
#include "viewer/page_loading.h"

namespace velk {

namespace {

constexpr int kHelpSingle = 5, kHelpBatch = 8;

// The page the active viewer shows (viewer 1 unless viewer 2 is the active one).
int ActivePage(const App& app) {
    const ViewerState& v = app.viewers[1].Active ? app.viewers[1] : app.viewers[0];
    return v.PageNumber.value();
}

void FillPages(QListWidget* list, int count, int current) {
    for (int p = 1; p <= count; ++p) list->addItem(QString::number(p));
    if (current >= 1 && current <= count) list->setCurrentRow(current - 1);
}

void FillPages(QComboBox* box, int count, int current) {
    for (int p = 1; p <= count; ++p) box->addItem(QString::number(p));
    if (current >= 1 && current <= count) box->setCurrentIndex(current - 1);
}

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

std::vector<int> PageNumbers(const PageSelection& sel) {
    std::vector<int> out;
    for (Int16 p : sel.pages) out.push_back(p.value());
    return out;
}

// Hides the dialog, asks for the destination, then runs `body` with a progress window
// of kind W and closes with the run's summary; a Cancel to the destination ends the
// dialog with nothing made.
template <class W, class Body>
void RunExport(App& app, Modal& modal, QDialog& dialog, Body body) {
    dialog.hide();
    const auto destination = AskExportDestination(app, modal, dialog.parentWidget());
    if (!destination) {
        dialog.reject();
        return;
    }
    RunSummary summary;
    {
        WaitCursor wait;
        W progress(app, dialog.parentWidget());
        progress.open();
        ExportRun run(app, &progress);
        body(run, *destination);
        progress.hide();
        summary = run.summary;
    }
    app.ShowSummary(summary);
    dialog.accept();
}

void RunSingle(App& app, Modal& modal, QDialog& dialog, const std::vector<int>& pages,
               const ExportFormat& format) {
    RunExport<frmExportOneProgress>(app, modal, dialog, [&](ExportRun& run, const std::filesystem::path& to) {
        run.Export(pages, format, to);
    });
}

void RunBatch(App& app, Modal& modal, QDialog& dialog, const PageOptions* options,
              const ExportFormat& format) {
    RunExport<frmExportProgress>(app, modal, dialog, [&](ExportRun& run, const std::filesystem::path& to) {
        ExportBatch(app, run, options, format, to);
    });
}

}  // namespace

std::vector<QCheckBox*> SectionBoxes::all() const {
    return {chkAbstract, chkBiblio, chkClaims, chkDescription, chkDrawings, chkCC, chkRE};
}

void SectionBoxes::readInto(PageOptions& o) const {
    o.abstract = chkAbstract->isChecked();
    o.biblio = chkBiblio->isChecked();
    o.claims = chkClaims->isChecked();
    o.description = chkDescription->isChecked();
    o.drawings = chkDrawings->isChecked();
    o.corrections = chkCC->isChecked();
    o.reexaminations = chkRE->isChecked();
}

ExportDialog::ExportDialog(App& app, Modal& modal, QWidget* parent, const char* name, int helpContext,
                           const char* bmpName)
    : QDialog(parent), app_(app), modal_(modal), helpContext_(helpContext) {
    setObjectName(name);
    optTif4 = option("optTif4", "TIFF G4");
    optTif3 = option("optTif3", "TIFF G3");
    optTif = option("optTif", "TIFF Uncompressed");
    optPcx = option("optPcx", "PCX");
    optWmf = option(bmpName, "BMP");
    optGif = option("optGif", "GIF");
    optPdf = option("optPdf", "PDF (one file per document)");
    optTifDoc = option("optTifDoc", "TIFF G4 (one file per document)");
    cmdExport = new QPushButton("E&xport", this);
    cmdExport->setObjectName("cmdExport");
    cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    cmdHelp = new QPushButton("&Help", this);
    cmdHelp->setObjectName("cmdHelp");
    cmdExport->setDefault(true);
    MarkOutput(cmdExport);
    connect(cmdExport, &QPushButton::clicked, this, [this] { cmdExport_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
}

QRadioButton* ExportDialog::option(const char* name, const char* text) {
    auto* o = new QRadioButton(QString::fromUtf8(text), this);
    o->setObjectName(name);
    return o;
}

QCheckBox* ExportDialog::box(const char* name, const char* text) {
    auto* b = new QCheckBox(QString::fromUtf8(text), this);
    b->setObjectName(name);
    return b;
}

void ExportDialog::finish(QWidget* pages) {
    // The format options are one group of their own, apart from the page options.
    auto* formats = new QGroupBox("Export Format", this);
    formats->setObjectName("fraFormat");
    auto* f = new QVBoxLayout(formats);
    for (QRadioButton* o : {optTif4, optTif3, optTif, optPcx, optWmf, optGif, optPdf, optTifDoc}) {
        o->setParent(formats);
        f->addWidget(o);
    }
    f->addStretch();
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {cmdExport, cmdCancel, cmdHelp}) buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(pages);
    layout->addWidget(formats);
    layout->addLayout(buttons);
}

std::optional<ExportFormat> ExportDialog::chosenFormat() const {
    const std::pair<QRadioButton*, ExportFormat> order[] = {{optTif4, SaveFormat::TiffG4},
                                                            {optTif3, SaveFormat::TiffG3},
                                                            {optTif, SaveFormat::TiffUncompressed},
                                                            {optPcx, SaveFormat::Pcx},
                                                            {optWmf, SaveFormat::Bmp},
                                                            {optGif, SaveFormat::Gif},
                                                            {optPdf, DocumentFileFormat::Pdf},
                                                            {optTifDoc, DocumentFileFormat::Tiff}};
    for (const auto& [o, f] : order)
        if (o->isChecked()) return f;
    return std::nullopt;
}

void ExportDialog::cmdExport_Click() {
    BusyButton busy(cmdExport);
    const auto format = chosenFormat();
    if (!format) {
        app_.msg(kNoFormatText);
        return;  // the dialog stays open with its choices
    }
    run(*format);
}

void ExportDialog::cmdHelp_Click() {
    if (app_.ports.help) app_.ports.help->show(app_.config.HelpFilePath, kHelpContext, helpContext_);
}

frmExport::frmExport(App& app, Modal& modal, QWidget* parent)
    : ExportDialog(app, modal, parent, "frmExport", kHelpSingle, "optWmf") {
    const int count = app.doc.CurPageCount.value(), current = ActivePage(app);
    setWindowTitle(Text("Quorvel Export " + FormatText(Trim(app.doc.CurDocNo), "###,###,###")));
    auto* pages = new QGroupBox("Pages", this);
    pages->setObjectName("fraPages");
    optEntire = option("optEntire", "Entire Document ");
    optFirst = option("optFirst", "First Page Only");
    optAll = option("optAll", "All Pages EXCEPT the first page");
    optPage = option("optPage", "Page");
    optRange = option("optRange", "Pages");
    optSub = option("optSub", "Subsection:");
    lstPage = new QListWidget(pages);
    lstPage->setObjectName("lstPage");
    cmbRangeSt = new QComboBox(pages);
    cmbRangeSt->setObjectName("cmbRangeSt");
    cmbRangeEnd = new QComboBox(pages);
    cmbRangeEnd->setObjectName("cmbRangeEnd");
    FillPages(lstPage, count, current);
    FillPages(cmbRangeSt, count, current);
    FillPages(cmbRangeEnd, count, current);
    lstPage->setMaximumHeight(90);
    lstPage->setMaximumWidth(120);
    lstSubsection = new QListWidget(pages);
    lstSubsection->setObjectName("lstSubsection");
    lstSubsection->addItems({"Abstract", "Biblio", "Claims", "Description", "Drawings"});
    lstSubsection->setMaximumHeight(90);
    sections.chkAbstract = box("chkAbstract", "Abstract");
    sections.chkBiblio = box("chkBiblio", "Biblio");
    sections.chkClaims = box("chkClaims", "Claims");
    sections.chkDescription = box("chkDescription", "Description");
    sections.chkDrawings = box("chkDrawings", "Drawings");
    sections.chkCC = box("chkCC", "Certificate of Corrections");
    sections.chkRE = box("chkRE", "Reexaminations");
    lblTotPage = new QLabel(Text("of " + std::to_string(count)), pages);
    lblTotPage->setObjectName("lblTotPage");
    lblEntire = new QLabel(Text("(" + std::to_string(count) + " pages)"), pages);
    lblEntire->setObjectName("lblEntire");
    auto* thru = new QLabel("thru", pages);
    thru->setObjectName("Label1");

    auto* g = new QGridLayout(pages);
    g->addWidget(optEntire, 0, 0);
    g->addWidget(lblEntire, 0, 1);
    g->addWidget(optFirst, 1, 0, 1, 3);
    g->addWidget(optAll, 2, 0, 1, 3);
    g->addWidget(optPage, 3, 0);
    g->addWidget(lstPage, 3, 1);
    g->addWidget(lblTotPage, 3, 2, Qt::AlignTop | Qt::AlignLeft);
    g->addWidget(optRange, 4, 0);
    auto* range = new QHBoxLayout;
    range->addWidget(cmbRangeSt);
    range->addWidget(thru);
    range->addWidget(cmbRangeEnd);
    g->addLayout(range, 4, 1, 1, 2);
    g->addWidget(optSub, 5, 0);
    g->addWidget(lstSubsection, 5, 1, 1, 2);
    auto* boxes = new QGridLayout;
    int i = 0;
    for (QCheckBox* b : sections.all()) {
        b->setParent(pages);
        boxes->addWidget(b, i / 2, i % 2);
        ++i;
    }
    g->addLayout(boxes, 6, 0, 1, 3);
    g->setRowStretch(7, 1);
    g->setAlignment(optPage, Qt::AlignTop);
    g->setAlignment(optSub, Qt::AlignTop);
    for (QRadioButton* o : {optEntire, optFirst, optAll, optPage, optRange, optSub}) o->setParent(pages);

    const bool meta = IsMetaMap(app.doc);
    for (QCheckBox* b : {sections.chkDescription, sections.chkCC, sections.chkRE}) b->setVisible(meta);
    auto sub = [this](bool on) {
        for (QCheckBox* b : sections.all()) b->setEnabled(on);
    };
    connect(optSub, &QRadioButton::toggled, this, sub);
    connect(lstPage, &QListWidget::itemClicked, this, [this] { optPage->setChecked(true); });
    connect(cmbRangeSt, &QComboBox::activated, this, [this] { optRange->setChecked(true); });
    connect(cmbRangeEnd, &QComboBox::activated, this, [this] { optRange->setChecked(true); });
    connect(lstSubsection, &QListWidget::itemClicked, this, [this] { optSub->setChecked(true); });
    optPage->setChecked(true);
    optTif4->setChecked(true);
    sub(false);
    finish(pages);
}

PageOptions frmExport::options() const {
    PageOptions o;
    if (optEntire->isChecked())
        o.choice = PageChoice::Entire;
    else if (optFirst->isChecked())
        o.choice = PageChoice::FirstPage;
    else if (optAll->isChecked())
        o.choice = PageChoice::AllNotFirst;
    else if (optRange->isChecked())
        o.choice = PageChoice::Range;
    else if (optSub->isChecked())
        o.choice = PageChoice::Subsection;
    else
        o.choice = PageChoice::Page;
    o.page = lstPage->currentRow() + 1;
    o.rangeStart = cmbRangeSt->currentIndex() + 1;
    o.rangeEnd = cmbRangeEnd->currentIndex() + 1;
    sections.readInto(o);
    return o;
}

void frmExport::run(const ExportFormat& format) {
    const PageSelection sel = SelectPages(options(), app_.doc, lstPage->count());
    if (sel.empty()) {
        app_.msg(kNoPagesText);
        return;
    }
    RunSingle(app_, modal_, *this, PageNumbers(sel), format);
}

frmMarkExport::frmMarkExport(App& app, Modal& modal, QWidget* parent)
    : ExportDialog(app, modal, parent, "frmMarkExport", kHelpSingle, "optWmf") {
    // Assignments count the pages of their file; reading it must not move the shown page.
    const PageFileInfo shown = app.doc.Page;
    const int count = DocumentPageCount(app);
    app.doc.Page = shown;
    const std::string number = Trim(app.doc.CurDocNo);
    setWindowTitle(Text(app.config.isAssignments() ? "Assignments Export " + FormatText(number, "0000/0000")
                                                   : "Tovrin Export " + FormatText(number, "###,###,###")));
    auto* pages = new QGroupBox("Pages", this);
    pages->setObjectName("fraPages");
    optEntire = option("optEntire", "Entire Document ");
    optPage = option("optPage", "Page");
    lstPage = new QListWidget(pages);
    lstPage->setObjectName("lstPage");
    lstPage->setMaximumHeight(90);
    FillPages(lstPage, count, ActivePage(app));
    lblTotPage = new QLabel(Text("of " + std::to_string(count)), pages);
    lblTotPage->setObjectName("lblTotPage");
    lblEntire = new QLabel(Text("(" + std::to_string(count) + " pages)"), pages);
    lblEntire->setObjectName("lblEntire");
    auto* g = new QGridLayout(pages);
    for (QRadioButton* o : {optEntire, optPage}) o->setParent(pages);
    g->addWidget(optEntire, 0, 0);
    g->addWidget(lblEntire, 0, 1);
    g->addWidget(optPage, 1, 0);
    g->addWidget(lstPage, 1, 1);
    g->addWidget(lblTotPage, 1, 2);
    g->setAlignment(optPage, Qt::AlignTop);
    g->setAlignment(lblTotPage, Qt::AlignTop);
    g->setRowStretch(2, 1);
    lstPage->setMaximumWidth(120);
    connect(lstPage, &QListWidget::itemClicked, this, [this] { optPage->setChecked(true); });
    optEntire->setChecked(true);
    optTif4->setChecked(true);
    finish(pages);
}

void frmMarkExport::run(const ExportFormat& format) {
    std::vector<int> pages;
    if (optPage->isChecked()) {
        if (lstPage->currentRow() >= 0) pages.push_back(lstPage->currentRow() + 1);
    } else {
        for (int p = 1; p <= lstPage->count(); ++p) pages.push_back(p);
    }
    if (pages.empty()) {
        app_.msg(kNoPagesText);
        return;
    }
    RunSingle(app_, modal_, *this, pages, format);
}

frmPatBExport::frmPatBExport(App& app, Modal& modal, QWidget* parent)
    : ExportDialog(app, modal, parent, "frmPatBExport", kHelpBatch, "optBMP") {
    setWindowTitle("Batch Export");
    auto* pages = new QGroupBox("Pages", this);
    pages->setObjectName("fraPages");
    optEntire = option("optEntire", "Entire Document ");
    optFirstPage = option("optFirstPage", "First Page Only");
    optAllNotFirst = option("optAllNotFirst", "All Pages EXCEPT the first page");
    Option2 = option("Option2", "Subsection:");
    sections.chkAbstract = box("chkAbstract", "Abstract");
    sections.chkBiblio = box("chkBiblio", "Biblio");
    sections.chkClaims = box("chkClaims", "Claims");
    sections.chkDescription = box("chkDescription", "Description");
    sections.chkDrawings = box("chkDrawings", "Drawings");
    sections.chkCC = box("chkCC", "Certificate of Corrections");
    sections.chkRE = box("chkRE", "Reexaminations");
    auto* g = new QGridLayout(pages);
    int row = 0;
    for (QRadioButton* o : {optEntire, optFirstPage, optAllNotFirst, Option2}) {
        o->setParent(pages);
        g->addWidget(o, row++, 0, 1, 2);
    }
    int i = 0;
    for (QCheckBox* b : sections.all()) {
        b->setParent(pages);
        g->addWidget(b, row + i / 2, i % 2);
        ++i;
    }
    const bool meta = IsMetaMap(app.doc);
    for (QCheckBox* b : {sections.chkDescription, sections.chkCC, sections.chkRE}) b->setVisible(meta);
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) {
        for (QCheckBox* b : sections.all()) b->setEnabled(on);
    });
    Option2->setChecked(true);
    finish(pages);
}

PageOptions frmPatBExport::options() const {
    PageOptions o;
    if (optEntire->isChecked())
        o.choice = PageChoice::Entire;
    else if (optFirstPage->isChecked())
        o.choice = PageChoice::FirstPage;
    else if (optAllNotFirst->isChecked())
        o.choice = PageChoice::AllNotFirst;
    else
        o.choice = PageChoice::Subsection;
    sections.readInto(o);
    return o;
}

void frmPatBExport::run(const ExportFormat& format) {
    const PageOptions o = options();
    RunBatch(app_, modal_, *this, &o, format);
}

frmMarBExport::frmMarBExport(App& app, Modal& modal, QWidget* parent)
    : ExportDialog(app, modal, parent, "frmMarBExport", kHelpBatch, "optBMP") {
    setWindowTitle("Tovrin Batch Export");
    auto* pages = new QGroupBox("Pages", this);
    pages->setObjectName("fraPages");
    optEntire = option("optEntire", "Entire Document ");
    optEntire->setParent(pages);
    optEntire->setChecked(true);
    lblAll = new QLabel("All pages will be exported for each Tovrin Document.", pages);
    lblAll->setObjectName("lblAll");
    lblAll->setWordWrap(true);
    auto* v = new QVBoxLayout(pages);
    v->addWidget(optEntire);
    v->addWidget(lblAll);
    v->addStretch();
    finish(pages);
}

void frmMarBExport::run(const ExportFormat& format) {
    RunBatch(app_, modal_, *this, nullptr, format);
}

void OpenExportDialog(App& app, Modal& modal, QWidget* parent) {
    if (app.config.isPatents()) {
        frmExport dialog(app, modal, parent);
        modal.exec(dialog);
    } else {
        frmMarkExport dialog(app, modal, parent);
        modal.exec(dialog);
    }
}

void OpenBatchExport(App& app, Modal& modal, QWidget* parent) {
    if (app.config.isPatents()) {
        frmPatBExport dialog(app, modal, parent);
        modal.exec(dialog);
    } else {
        frmMarBExport dialog(app, modal, parent);
        modal.exec(dialog);
    }
}

}  // namespace velk

#include "lists/ui/frm_batch.h"

#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <memory>

#include "platform/ui/guarded_app.h"
#include "platform/ui/modal.h"
#include "platform/ui/progress_window.h"
#include "platform/ui/wait_cursor.h"

namespace velk {

namespace {

// Positions in logical pixels of the window's design size.
constexpr int kDesignWidth = 640, kDesignHeight = 436;
// From this many entries a move can take a second or more: it shows its progress.
constexpr std::size_t kMoveProgressFrom = 1000;

QStyle::StandardPixmap ArrowPixmap(const std::string& shape) {
    if (shape == "right") return QStyle::SP_ArrowRight;
    if (shape == "left") return QStyle::SP_ArrowLeft;
    if (shape == "up") return QStyle::SP_ArrowUp;
    return QStyle::SP_ArrowDown;
}

QFont ListFont() {
    QFont f("Courier");
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    return f;
}

}  // namespace

frmBatch::frmBatch(App& app, bool sorted, QWidget* parent) : QDialog(parent), app_(app), sorted_(sorted) {
    setObjectName("frmBatch");
    setWindowTitle(tr("Documents for Batch Print/Export"));
    auto label = [this](const char* name, const QString& text, int x, int y, int w) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setGeometry(x, y, w, 20);
        return l;
    };
    auto list = [this](const char* name, int x, int y, int w, int h) {
        auto* l = new QListWidget(this);
        l->setObjectName(name);
        l->setFont(ListFont());
        l->setSelectionMode(QAbstractItemView::ExtendedSelection);
        l->setGeometry(x, y, w, h);
        return l;
    };
    auto button = [this](const char* name, const QString& text, int x, int y, int w, int h) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setGeometry(x, y, w, h);
        return b;
    };
    lblRemaining = label("lblRemaining", tr("Documents Not Printed/Exported"), 12, 8, 264);
    lstRemaining = list("lstRemaining", 12, 30, 264, 330);
    lblRemDocs = label("lblRemDocs", {}, 12, 364, 130);
    lblRemPgs = label("lblRemPgs", {}, 146, 364, 130);

    cmdRem2Prt = button("cmdRem2Prt", {}, 288, 70, 40, 32);
    cmdPrt2Rem = button("cmdPrt2Rem", {}, 288, 108, 40, 32);
    cmdRem2Exp = button("cmdRem2Exp", {}, 288, 250, 40, 32);
    cmdExp2Rem = button("cmdExp2Rem", {}, 288, 288, 40, 32);

    lblPrint = label("lblPrint", tr("Documents To Print"), 340, 8, 288);
    lstPrint = list("lstPrint", 340, 30, 288, 130);
    lblPrintDocs = label("lblPrintDocs", {}, 340, 164, 140);
    lblPrintPgs = label("lblPrintPgs", {}, 484, 164, 144);
    cmdPrt2Exp = button("cmdPrt2Exp", {}, 440, 186, 40, 30);
    cmdExp2Prt = button("cmdExp2Prt", {}, 488, 186, 40, 30);
    lblExport = label("lblExport", tr("Documents To Export"), 340, 220, 288);
    lstExport = list("lstExport", 340, 242, 288, 118);
    lblExportDocs = label("lblExportDocs", {}, 340, 364, 140);
    lblExportPgs = label("lblExportPgs", {}, 484, 364, 144);

    cmdBPrint = button("cmdBPrint", tr("Batch &Print"), 12, 396, 120, 30);
    cmdBExport = button("cmdBExport", tr("Batch &Export"), 140, 396, 120, 30);
    cmdHelp = button("cmdHelp", tr("&Help"), 420, 396, 100, 30);
    cmdClose = button("cmdClose", tr("C&lose"), 528, 396, 100, 30);
    // The assignments collection has no export.
    cmdBExport->setEnabled(BatchFollowUp(app.config, BatchAction::Export).has_value());
    resize(kDesignWidth, kDesignHeight);
    setMinimumSize(kDesignWidth / 2, kDesignHeight / 2);

    auto listName = [](BatchList l) {
        return l == BatchList::Print    ? "To Print"
               : l == BatchList::Export ? "To Export"
                                        : "Not Printed/Exported";
    };
    for (const BatchTransfer& t : BatchTransfers()) {
        QPushButton* b = arrow(t.button);
        b->setIconSize(QSize(24, 24));
        b->setAccessibleName(QString("Move from %1 to %2").arg(listName(t.from), listName(t.to)));
        b->setToolTip(b->accessibleName());
        MarkOutput(b);
        const std::string name = t.button;
        connect(b, &QPushButton::clicked, this, [this, name] { Transfer(name); });
    }
    MarkOutput(cmdBPrint);
    MarkOutput(cmdBExport);
    connect(cmdBPrint, &QPushButton::clicked, this, &frmBatch::cmdBPrint_Click);
    connect(cmdBExport, &QPushButton::clicked, this, &frmBatch::cmdBExport_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmBatch::cmdClose_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmBatch::cmdHelp_Click);

    for (BatchList l : {BatchList::Remaining, BatchList::Print, BatchList::Export}) load(l, false);
    CheckArrows();
}

QListWidget* frmBatch::listBox(BatchList list) const {
    return list == BatchList::Print ? lstPrint : list == BatchList::Export ? lstExport : lstRemaining;
}

QPushButton* frmBatch::arrow(const std::string& button) const {
    return findChild<QPushButton*>(QString::fromStdString(button), Qt::FindDirectChildrenOnly);
}

void frmBatch::setLabels(BatchList list, bool afterTransfer) {
    QLabel* docs = list == BatchList::Print    ? lblPrintDocs
                   : list == BatchList::Export ? lblExportDocs
                                               : lblRemDocs;
    QLabel* pages = list == BatchList::Print    ? lblPrintPgs
                    : list == BatchList::Export ? lblExportPgs
                                                : lblRemPgs;
    const ListStore* store = app_.lists;
    docs->setText(
        QString::fromStdString(DocumentsLabel(store ? BatchCount(*store, list) : 0, afterTransfer)));
    pages->setText(QString::fromStdString(PagesLabel(store ? BatchPages(*store, list) : 0, afterTransfer)));
}

void frmBatch::load(BatchList list, bool afterTransfer) {
    QListWidget* box = listBox(list);
    box->clear();
    if (app_.lists) {
        app_.lists->RecountTotals();
        for (const std::string& e : BatchEntries(*app_.lists, list, sorted_))
            box->addItem(QString::fromStdString(e));
    }
    setLabels(list, afterTransfer);
}

void frmBatch::CheckArrows() {
    for (const BatchTransfer& t : BatchTransfers()) {
        const bool on = app_.lists && BatchCount(*app_.lists, t.from) >= 1;
        QPushButton* b = arrow(t.button);
        const QString file = QString::fromStdString(ArrowIconPath(app_.config, t.shape, on));
        // Without the installation's pictures the style's arrows stand in.
        b->setIcon(QFile::exists(file) ? QIcon(file) : style()->standardIcon(ArrowPixmap(t.shape)));
        b->setProperty("iconFile", file);
        b->setEnabled(on);
    }
}

void frmBatch::Transfer(const std::string& button) {
    const BatchTransfer* t = FindBatchTransfer(button);
    if (!t || !app_.lists) return;
    try {
        WaitCursor wait;
        QListWidget* source = listBox(t->from);
        QListWidget* target = listBox(t->to);
        std::vector<std::string> entries;
        std::vector<bool> selected(static_cast<std::size_t>(source->count()));
        for (int row = 0; row < source->count(); ++row)
            if ((selected[static_cast<std::size_t>(row)] = source->item(row)->isSelected()))
                entries.push_back(source->item(row)->text().toStdString());
        if (entries.empty()) return;
        // A long move shows its progress and can be called off as a whole.
        std::unique_ptr<ProgressWindow> progress;
        if (entries.size() >= kMoveProgressFrom) {
            progress = std::make_unique<ProgressWindow>(windowTitle(), tr("Moving documents..."), this);
            progress->open();
        }
        const auto moved = TransferEntries(*app_.lists, t->from, t->to, entries, [&](int done, int total) {
            if (!progress) return true;
            if (progress->advance(total, done)) app_.DoEvents();
            return !progress->cancelled();
        });
        progress.reset();
        if (!moved) return;  // undone: the store and the window are as they were
        // One the store kept stays in view, so the window shows what the store holds.
        QStringList kept, arrived;
        for (int row = 0, next = 0; row < source->count(); ++row) {
            const QString text = source->item(row)->text();
            if (selected[static_cast<std::size_t>(row)] && (*moved)[static_cast<std::size_t>(next++)])
                arrived << text;
            else
                kept << text;
        }
        source->clear();
        source->addItems(kept);
        target->addItems(arrived);
        setLabels(t->from, true);
        setLabels(t->to, true);
        // A sorted Remaining list takes its entries back in number order.
        if (t->to == BatchList::Remaining && sorted_) load(BatchList::Remaining, true);
        CheckArrows();
        target->clearSelection();
        if (target->count() > 0) target->setCurrentRow(0);
    } catch (...) {
        // A failed transfer ends silently; the store is the reference.
    }
}

void frmBatch::cmdBPrint_Click() {
    done(kBatchPrint);
}

void frmBatch::cmdBExport_Click() {
    if (BatchFollowUp(app_.config, BatchAction::Export)) done(kBatchExport);
}

void frmBatch::cmdClose_Click() {
    reject();
}

void frmBatch::cmdHelp_Click() {
    if (app_.ports.help) app_.ports.help->show(app_.config.HelpFilePath, kHelpContext, 9);
}

void frmBatch::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    resizer_.Resize(*this);
}

void RunBatchWindow(App& app, Modal& modal, QWidget* parent, bool sorted) {
    for (;;) {
        int result;
        {
            frmBatch form(app, sorted, parent);
            result = modal.exec(form);
        }
        const BatchAction action = result == frmBatch::kBatchPrint    ? BatchAction::Print
                                   : result == frmBatch::kBatchExport ? BatchAction::Export
                                                                      : BatchAction::Close;
        const auto next = BatchFollowUp(app.config, action);
        if (!next || !app.ports.frame) return;
        app.ports.frame->openDialog(*next);
    }
}

}  // namespace velk

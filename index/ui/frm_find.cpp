#include "index/ui/frm_find.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "common/vb_text.h"
#include "index/cumulative_index.h"
#include "index/import_run.h"
#include "index/ui/list_font.h"
#include "lists/found_queries.h"
#include "lists/list_store.h"
#include "platform/ui/guarded_app.h"
#include "platform/ui/wait_cursor.h"

namespace velk {

namespace {

QString Shown(const std::string& ansi) { return QString::fromStdString(Cp1252ToUtf8(ansi)); }

QToolButton* ArrowButton(QWidget* parent, const char* name, const QString& text, const QString& tip) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(tip);
    if (text.isEmpty()) b->setAccessibleName(tip);  // a picture alone says nothing to a screen reader
    b->setIconSize(QSize(16, 16));
    b->setToolButtonStyle(text.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    return b;
}

// Fills list with lines, reusing its items so a keystroke only rewrites 20 texts.
void ShowLines(QListWidget* list, const std::vector<QString>& lines) {
    list->setUpdatesEnabled(false);
    while (list->count() > static_cast<int>(lines.size())) delete list->takeItem(list->count() - 1);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (static_cast<int>(i) < list->count())
            list->item(static_cast<int>(i))->setText(lines[i]);
        else
            list->addItem(lines[i]);
    }
    list->setUpdatesEnabled(true);
}

void SelectOnly(QListWidget* list, int row) {
    list->clearSelection();
    if (row < 0 || row >= list->count()) return;
    list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace

frmFind::frmFind(App& app, QWidget* parent) : QDialog(parent), app_(app), icons_(app) {
    setObjectName("frmFind");
    setWindowTitle("Document Finder");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    txtFind = new QLineEdit(this);
    txtFind->setObjectName("txtFind");
    cmdFind = new QPushButton("&Find", this);
    cmdFind->setObjectName("cmdFind");
    lstCum = new QListWidget(this);
    lstCum->setObjectName("lstCum");
    lstCum->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Label1->setBuddy(lstCum);

    cmdCumTop = ArrowButton(this, "cmdCumTop", "Top", "Records 1 to 20");
    cmdCumUp10000 = ArrowButton(this, "cmdCumUp10000", "10000", "10000 records up");
    cmdCumUp1000 = ArrowButton(this, "cmdCumUp1000", "1000", "1000 records up");
    cmdCumUp100x = ArrowButton(this, "cmdCumUp100x", "100", "100 records up");
    cmdCumUp100 = ArrowButton(this, "cmdCumUp100", "1", "One line up");
    cmdCumDown100 = ArrowButton(this, "cmdCumDown100", "1", "One line down");
    cmdCumDown100x = ArrowButton(this, "cmdCumDown100x", "100", "100 records down");
    cmdCumDown1000 = ArrowButton(this, "cmdCumDown1000", "1000", "1000 records down");
    cmdCumDown10000 = ArrowButton(this, "cmdCumDown10000", "10000", "10000 records down");
    cmdCumBottom = ArrowButton(this, "cmdCumBottom", "End", "The last 20 records");
    for (QToolButton* b : {cmdCumTop, cmdCumUp10000, cmdCumUp1000, cmdCumUp100x, cmdCumUp100})
        b->setIcon(icons_(b == cmdCumTop ? "e_u100.ico" : "e_up.ico"));
    for (QToolButton* b : {cmdCumDown100, cmdCumDown100x, cmdCumDown1000, cmdCumDown10000, cmdCumBottom})
        b->setIcon(icons_(b == cmdCumBottom ? "e_d100.ico" : "e_down.ico"));

    cmdToFound = ArrowButton(this, "cmdToFound", "", "Add the selected documents to the Found list");
    cmdToFound->setIcon(icons_("e_right.ico"));
    cmdFromFound = ArrowButton(this, "cmdFromFound", "", "Remove the selected documents from the Found list");
    for (QToolButton* b : {cmdToFound, cmdFromFound}) {
        MarkOutput(b);
        b->setIconSize(QSize(32, 32));
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

    lblFound = new QLabel("0 Documents Found", this);
    lblFound->setObjectName("lblFound");
    lstFound = new QListWidget(this);
    lstFound->setObjectName("lstFound");
    lstFound->setSelectionMode(QAbstractItemView::ExtendedSelection);
    cmdUp100 = ArrowButton(this, "cmdUp100", "", "100 lines up");
    cmdDown100 = ArrowButton(this, "cmdDown100", "", "100 lines down");
    for (QToolButton* b : {cmdUp100, cmdDown100}) {
        b->setIconSize(QSize(24, 24));
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    Check1 = new QCheckBox("Sort List in Numerical Order", this);
    Check1->setObjectName("Check1");

    cmdImport = new QPushButton("&Import Document List", this);
    cmdImport->setObjectName("cmdImport");
    cmdOk = new QPushButton("&OK", this);
    cmdOk->setObjectName("cmdOk");
    cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    cmdHelp = new QPushButton("&Help", this);
    cmdHelp->setObjectName("cmdHelp");
    for (QPushButton* b : {cmdFind, cmdImport, cmdOk, cmdCancel, cmdHelp}) b->setAutoDefault(false);
    cmdOk->setDefault(true);

    // Layout: index and its buttons on the left, the add and remove arrows between,
    // the Found list on the right, the dialog's buttons below.
    SizeListForLines(lstCum, kWindowLines, 20, true);
    SizeListForLines(lstFound, kWindowLines, 20, false);
    // At least the index window's lines; the lists take whatever room the dialog is given.
    for (QListWidget* l : {lstCum, lstFound}) {
        l->setMaximumHeight(QWIDGETSIZE_MAX);
        l->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    auto* findRow = new QHBoxLayout;
    findRow->addWidget(txtFind, 1);
    findRow->addWidget(cmdFind);
    auto* scroll = new QVBoxLayout;
    scroll->setSpacing(1);
    for (QToolButton* b : {cmdCumTop, cmdCumUp10000, cmdCumUp1000, cmdCumUp100x, cmdCumUp100, cmdCumDown100,
                           cmdCumDown100x, cmdCumDown1000, cmdCumDown10000, cmdCumBottom})
        scroll->addWidget(b, 1);
    auto* moves = new QVBoxLayout;
    moves->addStretch(1);
    moves->addWidget(cmdToFound);
    moves->addWidget(cmdFromFound);
    moves->addStretch(1);
    auto* jumps = new QVBoxLayout;
    jumps->addWidget(cmdUp100);
    jumps->addStretch(1);
    jumps->addWidget(cmdDown100);

    auto* grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0, 1, 2);
    grid->addLayout(findRow, 1, 0, 1, 2);
    grid->addWidget(lstCum, 2, 0);
    grid->addLayout(scroll, 2, 1);
    grid->addLayout(moves, 2, 2);
    grid->addWidget(lblFound, 1, 3, 1, 2, Qt::AlignBottom);
    grid->addWidget(lstFound, 2, 3);
    grid->addLayout(jumps, 2, 4);
    grid->addWidget(Check1, 3, 3, 1, 2);
    grid->setColumnMinimumWidth(2, 48);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdImport);
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(2, 1);
    // Smaller than its contents (a large screen scale), the dialog scrolls.
    auto* body = new QWidget;
    body->setObjectName("body");
    auto* all = new QVBoxLayout(body);
    all->addLayout(grid, 1);
    all->addSpacing(6);
    all->addLayout(buttons);
    auto* scroller = new QScrollArea(this);
    scroller->setObjectName("scroller");
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(body);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroller);
    resize(body->sizeHint());
    setTabOrder(txtFind, cmdFind);
    setTabOrder(cmdFind, lstCum);
    setTabOrder(lstCum, lstFound);
    setTabOrder(lstFound, Check1);
    setTabOrder(Check1, cmdImport);
    setTabOrder(cmdImport, cmdOk);
    setTabOrder(cmdOk, cmdCancel);
    setTabOrder(cmdCancel, cmdHelp);

    connect(lstCum, &QListWidget::currentRowChanged, this, [this] { syncLine(); });
    connect(lstCum, &QListWidget::itemClicked, this, [this] { lstCum_Click(); });
    connect(lstCum, &QListWidget::itemDoubleClicked, this, [this] { lstCum_DblClick(); });
    connect(lstFound, &QListWidget::itemClicked, this, [this] { lstFound_Click(); });
    connect(txtFind, &QLineEdit::textChanged, this, [this] { txtFind_Change(); });
    connect(cmdFind, &QPushButton::clicked, this, [this] { cmdFind_Click(); });
    connect(cmdToFound, &QToolButton::clicked, this, [this] { cmdToFound_Click(); });
    connect(cmdFromFound, &QToolButton::clicked, this, [this] { cmdFromFound_Click(); });
    connect(cmdCumTop, &QToolButton::clicked, this, [this] { cmdCumTop_Click(); });
    connect(cmdCumBottom, &QToolButton::clicked, this, [this] { cmdCumBottom_Click(); });
    connect(cmdCumUp100, &QToolButton::clicked, this, [this] { cmdCumUp100_Click(); });
    connect(cmdCumDown100, &QToolButton::clicked, this, [this] { cmdCumDown100_Click(); });
    connect(cmdCumUp100x, &QToolButton::clicked, this, [this] { cmdCumUp100x_Click(); });
    connect(cmdCumDown100x, &QToolButton::clicked, this, [this] { cmdCumDown100x_Click(); });
    connect(cmdCumUp1000, &QToolButton::clicked, this, [this] { cmdCumUp1000_Click(); });
    connect(cmdCumDown1000, &QToolButton::clicked, this, [this] { cmdCumDown1000_Click(); });
    connect(cmdCumUp10000, &QToolButton::clicked, this, [this] { cmdCumUp10000_Click(); });
    connect(cmdCumDown10000, &QToolButton::clicked, this, [this] { cmdCumDown10000_Click(); });
    connect(cmdUp100, &QToolButton::clicked, this, [this] { cmdUp100_Click(); });
    connect(cmdDown100, &QToolButton::clicked, this, [this] { cmdDown100_Click(); });
    connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
    connect(cmdImport, &QPushButton::clicked, this, [this] { cmdImport_Click(); });
    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    lstCum->installEventFilter(this);
    txtFind->installEventFilter(this);

    Form_Load();
    txtFind->setFocus();
}

void frmFind::Form_Load() {
    Label1->setText(QString::fromStdString(CumIndexTitle(app_.config.CollectionMode)));
    Deb_Load20();
    LoadFound();
    CheckArrows();
    set100Arrows();
    checkSortOption();
}

void frmFind::Deb_Load20() {
    try {
        CumIndexFile index = OpenCumIndex(app_);
        window_ = FindWindow(index.count());
        std::vector<QString> shown;
        for (const std::string& l : WindowLines(index, window_, app_.config.CollectionMode)) shown.push_back(Shown(l));
        ShowLines(lstCum, shown);
        SelectOnly(lstCum, window_.line());
    } catch (const std::exception&) {
        // An index that cannot be read shows an empty window; the dialog still opens.
        window_ = FindWindow(0);
        lstCum->clear();
    }
}

void frmFind::LoadList() {
    try {
        std::vector<QString> shown;
        for (const std::string& l : WindowLines(app_, window_)) shown.push_back(Shown(l));
        ShowLines(lstCum, shown);
        SelectOnly(lstCum, window_.line());
        lstCum->scrollToTop();
    } catch (const std::exception&) {
        // The window keeps what it showed.
    }
}

void frmFind::syncLine() {
    if (lstCum->currentRow() >= 0) window_.setLine(lstCum->currentRow());
}

void frmFind::moveToSearch(std::int64_t record) {
    window_.showRecord(record);
    LoadList();
}

void frmFind::LoadFound() {
    const std::string& mode = app_.config.CollectionMode;
    std::vector<QString> shown;
    for (const ListRow& r : FoundDisplayRows(app_)) shown.push_back(Shown(FoundDisplayLine(r.DocumentNo, mode)));
    ShowLines(lstFound, shown);
    lblFound->setText(QString::fromStdString(DocumentsFoundText(app_.lists ? app_.lists->FoundCount() : 0)));
}

void frmFind::CheckArrows() {
    const bool any = app_.lists && app_.lists->FoundCount() >= 1;
    cmdFromFound->setIcon(icons_(any ? "e_left.ico" : "d_left.ico"));
    cmdFromFound->setEnabled(any);
}

void frmFind::set100Arrows() {
    const bool many = lstFound->count() >= 100;
    cmdUp100->setIcon(icons_(many ? "e_u100.ico" : "d_u100.ico"));
    cmdDown100->setIcon(icons_(many ? "e_d100.ico" : "d_d100.ico"));
    cmdUp100->setEnabled(many);
    cmdDown100->setEnabled(many);
}

void frmFind::checkSortOption() {
    // Set without a click, so the run's choice stays as the user left it.
    const QSignalBlocker quiet(Check1);
    if (lstFound->count() < 2) {
        Check1->setChecked(false);
        Check1->setEnabled(false);
    } else {
        Check1->setEnabled(true);
        Check1->setChecked(app_.FoundSorted);
    }
}

void frmFind::afterListChange() {
    LoadFound();
    CheckArrows();
    set100Arrows();
    SelectOnly(lstFound, 0);
    checkSortOption();
}

std::vector<int> frmFind::selectedRows(QListWidget* list) const {
    std::vector<int> rows;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected()) rows.push_back(i);
    return rows;
}

void frmFind::lstCum_Click() {
    syncLine();
    cmdToFound->setIcon(icons_("e_right.ico"));
    cmdToFound->setEnabled(true);
}

void frmFind::lstCum_DblClick() { cmdToFound_Click(); }

bool frmFind::lstCum_KeyDown(int key) {
    syncLine();
    const int k = window_.line();
    switch (key) {
    case Qt::Key_PageDown:
        window_.pageDown(k);
        break;
    case Qt::Key_PageUp:
        if (k != 0) return false;
        window_.pageUp(0);
        break;
    case Qt::Key_Down:
        if (k != window_.lastLine()) return false;
        window_.windowDown();
        break;
    case Qt::Key_Up:
        if (k != 0) return false;
        window_.windowUp();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        cmdToFound_Click();
        return true;
    default:
        return false;
    }
    LoadList();
    return true;
}

void frmFind::lstFound_Click() {
    if (app_.lists && app_.lists->FoundCount() >= 1) {
        cmdFromFound->setIcon(icons_("e_left.ico"));
        cmdFromFound->setEnabled(true);
    }
}

void frmFind::txtFind_Change() {
    const std::string key = UCase(Trim(Utf8ToCp1252(txtFind->text().toStdString())));
    missedAt_ = 0;
    // Clearing the box leaves the window where it is; assignments are not searched.
    if (key.empty() || CumOrderOf(app_.config.CollectionMode) == CumOrder::None) return;
    const Int16 result = FindInCum(app_, key);
    if (result >= 1 || result == -2) moveToSearch(app_.LastCumRecord);
    if (result == -2) missedAt_ = window_.selectedRecord();
}

void frmFind::txtFind_Enter() {
    syncLine();
    // The neighbour of a number the index lacks is no document the user asked for;
    // a line chosen since then is.
    if (missedAt_ != 0 && window_.selectedRecord() == missedAt_ &&
        !Trim(txtFind->text().toStdString()).empty()) {
        app_.msg("Document Not Found!");
        return;
    }
    cmdToFound_Click();
}

void frmFind::cmdFind_Click() {
    const std::string key = Trim(Utf8ToCp1252(txtFind->text().toStdString()));
    if (key.empty() || CumOrderOf(app_.config.CollectionMode) == CumOrder::None) return;
    const Int16 result = FindInCum(app_, key);
    if (result == -2) {
        // Not found and unreadable give the same answer; an index gone from under the
        // dialog must say so, not leave the window where it was.
        try {
            OpenCumIndex(app_).count();
        } catch (const std::exception&) {
            app_.msg(kUnableToReadFile + app_.config.CurrentIndexPath, Buttons::OK, Icon::Exclamation);
            return;
        }
    }
    if (result >= 1 || result == -2)
        moveToSearch(app_.LastCumRecord);
    else
        app_.msg("Document Not Found!");
}

void frmFind::cmdToFound_Click() {
    try {
        WaitCursor hourglass;
        const std::string& mode = app_.config.CollectionMode;
        // The lines as the file holds them (the list shows them converted for the screen).
        const std::vector<std::string> lines = WindowLines(app_, window_);
        for (int i : selectedRows(lstCum)) {
            if (i >= static_cast<int>(lines.size())) break;
            const std::string& line = lines[static_cast<std::size_t>(i)];
            const Int16 pages = FindInCum(app_, GetDocNumber(line, mode));
            if (pages < 1) {
                app_.msg("error reading file");
                continue;
            }
            std::string entry = line;
            // The store does not refuse a second copy; the list holds each document once.
            if (!app_.lists || app_.lists->Contains(ListTable::Found, StoredFoundEntry(entry, mode))) continue;
            app_.lists->AddToFound(entry, pages);
        }
        cmdFromFound->setIcon(icons_("e_left.ico"));
        lstCum->clearSelection();
        afterListChange();
    } catch (const std::exception&) {
        // The lists keep what was done.
    }
}

void frmFind::cmdFromFound_Click() {
    try {
        WaitCursor hourglass;
        const std::vector<ListRow> rows = FoundDisplayRows(app_);
        for (int i : selectedRows(lstFound)) {
            if (!app_.lists || i >= static_cast<int>(rows.size())) break;
            // The entry as the store holds it (an assignments line is shown with its "/").
            const std::string& entry = rows[static_cast<std::size_t>(i)].DocumentNo;
            Int16 pages;
            // A document moved on to To Print is on Found but no longer on Remaining.
            if (app_.lists->RemFromFound(entry)) app_.lists->RemFromRemaining(entry, pages);
            lblFound->setText(QString::fromStdString(DocumentsFoundText(app_.lists->FoundCount())));
        }
        afterListChange();
    } catch (const std::exception&) {
    }
}

void frmFind::cmdCumTop_Click() {
    window_.top();
    LoadList();
}

void frmFind::cmdCumBottom_Click() {
    window_.bottom();
    LoadList();
}

void frmFind::cmdCumUp100_Click() {
    syncLine();
    const bool moves = window_.line() == 0;
    window_.lineUp();
    if (moves)
        LoadList();
    else
        SelectOnly(lstCum, window_.line());
}

void frmFind::cmdCumDown100_Click() {
    syncLine();
    const bool moves = window_.line() == window_.lastLine();
    window_.lineDown();
    if (moves)
        LoadList();
    else
        SelectOnly(lstCum, window_.line());
}

void frmFind::jumpUp(int step) {
    syncLine();
    window_.jumpUp(step);
    LoadList();
}

void frmFind::jumpDown(int step) {
    syncLine();
    window_.jumpDown(step);
    LoadList();
}

void frmFind::cmdUp100_Click() { SelectOnly(lstFound, StepLine(std::max(lstFound->currentRow(), 0), -100, lstFound->count())); }

void frmFind::cmdDown100_Click() {
    SelectOnly(lstFound, StepLine(std::max(lstFound->currentRow(), 0), 100, lstFound->count()));
}

void frmFind::Check1_Click() {
    app_.FoundSorted = Check1->isChecked();
    LoadFound();
    SelectOnly(lstFound, 0);
}

void frmFind::cmdImport_Click() {
    if (app_.ports.frame) app_.ports.frame->openDialog(FrameDialog::Import);
    // The import may have filled the lists: show them as they are now.
    afterListChange();
}

void frmFind::cmdOk_Click() {
    try {
        app_.viewerFlags.Marker = "NotSet";
        WaitCursor hourglass;
        accept();
        MainFrame* frame = app_.ports.frame;
        const ListStore* store = app_.lists;
        if (!store || store->FoundCount() < 1) {
            if (frame) frame->enableItem("mnuView", false);
            return;
        }
        const std::vector<ListRow> rows = FoundDisplayRows(app_);
        if (rows.empty()) return;
        app_.doc.CurDocNo = Left(rows.front().DocumentNo, 9);
        app_.doc.CurVolume = rows.front().Volume;
        if (!frame) return;
        if (frame->displayDocument(1)) app_.viewerFlags.FoundPosition = Int16(1);
        frame->enableItem("mnuView", store->FoundCount() > 0);
        frame->enableItem("mnuFound", store->FoundCount() > 0);
        frame->enableItem("mnuNotPrinted", store->FoundCount() > 0);
        if (store->NotFoundCount() > 0) frame->enableItem("mnuNotFound", true);
    } catch (const std::exception&) {
    }
}

void frmFind::cmdCancel_Click() {
    if (app_.ports.frame && app_.lists && app_.lists->FoundCount() > 0) app_.ports.frame->enableItem("mnuView", true);
    QDialog::reject();
}

void frmFind::reject() { cmdCancel_Click(); }

void frmFind::cmdHelp_Click() {
    if (app_.ports.help) app_.ports.help->show(app_.config.HelpFilePath, kHelpContext, 2);
}

void frmFind::keyPressEvent(QKeyEvent* event) {
    if (IsEnter(event->key())) {
        // Enter on a focused button presses it; anywhere else it adds to Found.
        QWidget* focus = focusWidget();
        if (qobject_cast<QPushButton*>(focus) || qobject_cast<QToolButton*>(focus))
            static_cast<QAbstractButton*>(focus)->click();
        else
            txtFind_Enter();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmFind::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    if (ctrl && (key->key() == Qt::Key_Home || key->key() == Qt::Key_End)) {
        key->key() == Qt::Key_Home ? cmdCumTop_Click() : cmdCumBottom_Click();
        return true;
    }
    if (watched == lstCum) return lstCum_KeyDown(key->key());
    if (watched == txtFind) {
        // The arrows work on the index window while the number is typed.
        switch (key->key()) {
        case Qt::Key_Up: cmdCumUp100_Click(); return true;
        case Qt::Key_Down: cmdCumDown100_Click(); return true;
        case Qt::Key_PageDown: return lstCum_KeyDown(Qt::Key_PageDown);
        case Qt::Key_PageUp:
            if (!lstCum_KeyDown(Qt::Key_PageUp)) {
                window_.setLine(0);
                SelectOnly(lstCum, 0);
            }
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter: txtFind_Enter(); return true;
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace velk

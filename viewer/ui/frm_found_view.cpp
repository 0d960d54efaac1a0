#include "viewer/ui/frm_found_view.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "common/vb_text.h"
#include "index/find_window.h"
#include "index/ui/list_font.h"
#include "lists/found_queries.h"
#include "viewer/found_view.h"

namespace velk {

frmView::frmView(App& app, QWidget* parent) : QDialog(parent), app_(app), icons_(app) {
    setObjectName("frmView");
    setWindowTitle("View Documents");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    Label1 = new QLabel("Found Documents:", this);
    Label1->setObjectName("Label1");
    lstFound = new QListWidget(this);
    lstFound->setObjectName("lstFound");
    Label1->setBuddy(lstFound);
    optViewer1 = new QRadioButton("In viewer &1", this);
    optViewer1->setObjectName("optViewer1");
    optViewer2 = new QRadioButton("In viewer &2, beside viewer 1", this);
    optViewer2->setObjectName("optViewer2");
    optViewer1->setChecked(true);
    cmdView = new QPushButton("&View", this);
    cmdView->setObjectName("cmdView");
    cmd2ndView = new QPushButton("2&nd View", this);
    cmd2ndView->setObjectName("cmd2ndView");
    cmd2ndView->setToolTip("Show the shown document in viewer 2 as well");
    cmdClose = new QPushButton("&Close", this);
    cmdClose->setObjectName("cmdClose");
    Command2 = new QPushButton("&Help", this);
    Command2->setObjectName("Command2");
    auto arrow = [this](const char* name, const char* tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setToolTip(tip);
        b->setIconSize(QSize(24, 24));
        return b;
    };
    cmdTop = arrow("cmdTop", "First line");
    cmdTop->setIcon(icons_("e_up.ico"));
    cmdUp100 = arrow("cmdUp100", "100 lines up");
    cmdDown100 = arrow("cmdDown100", "100 lines down");
    cmdBottom = arrow("cmdBottom", "Last line");
    cmdBottom->setIcon(icons_("e_down.ico"));
    for (QPushButton* b : {cmdView, cmd2ndView, cmdClose, Command2}) b->setAutoDefault(true);
    cmdView->setDefault(true);

    SizeListForLines(lstFound, 16, 20, false);
    auto* arrows = new QVBoxLayout;
    arrows->addWidget(cmdTop);
    arrows->addWidget(cmdUp100);
    arrows->addStretch(1);
    arrows->addWidget(cmdDown100);
    arrows->addWidget(cmdBottom);
    auto* commands = new QVBoxLayout;
    commands->addWidget(cmdView);
    commands->addWidget(optViewer1);
    commands->addWidget(optViewer2);
    commands->addSpacing(12);
    commands->addWidget(cmd2ndView);
    commands->addStretch(1);
    commands->addWidget(cmdClose);
    commands->addWidget(Command2);
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0, 1, 2);
    grid->addWidget(lstFound, 1, 0);
    grid->addLayout(arrows, 1, 1);
    grid->addLayout(commands, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(lstFound, &QListWidget::currentRowChanged, this, [this] { lstFound_Click(); });
    connect(lstFound, &QListWidget::itemDoubleClicked, this, [this] { lstFound_DblClick(); });
    connect(cmdView, &QPushButton::clicked, this, [this] { cmdView_Click(); });
    connect(cmd2ndView, &QPushButton::clicked, this, [this] { cmd2ndView_Click(); });
    connect(cmdTop, &QToolButton::clicked, this, [this] { cmdTop_Click(); });
    connect(cmdBottom, &QToolButton::clicked, this, [this] { cmdBottom_Click(); });
    connect(cmdUp100, &QToolButton::clicked, this, [this] { cmdUp100_Click(); });
    connect(cmdDown100, &QToolButton::clicked, this, [this] { cmdDown100_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    lstFound->installEventFilter(this);

    LoadFound();
    Form_Load();
    lstFound->setFocus();
}

bool frmView::LoadFound() {
    lines_.clear();
    lstFound->clear();
    for (const ListRow& r : FoundDisplayRows(app_)) {
        lines_.push_back(r.DocumentNo);
        lstFound->addItem(QString::fromStdString(Cp1252ToUtf8(r.DocumentNo)));
    }
    return !lines_.empty();
}

void frmView::Form_Load() {
    const std::string& cur = app_.doc.CurDocNo;
    const bool shown = DocumentShown(cur);
    int row = shown ? ShownDocumentLine(lines_, cur, lstFound->currentRow()) : -1;
    select(row < 0 ? 0 : row);
    cmdView->setEnabled(!lines_.empty());
    lstFound_Click();
    const bool many = lines_.size() > 99;
    cmdUp100->setIcon(icons_(many ? "e_u100.ico" : "d_u100.ico"));
    cmdDown100->setIcon(icons_(many ? "e_d100.ico" : "d_d100.ico"));
    cmdUp100->setEnabled(many);
    cmdDown100->setEnabled(many);
}

void frmView::select(int row) {
    if (row < 0 || row >= lstFound->count()) return;
    lstFound->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    lstFound->scrollToItem(lstFound->item(row));
}

void frmView::lstFound_Click() {
    const int row = lstFound->currentRow();
    const bool onShown = row >= 0 && row < static_cast<int>(lines_.size()) &&
                         IsShownDocument(lines_[static_cast<std::size_t>(row)], app_.doc.CurDocNo);
    cmd2ndView->setEnabled(onShown);
}

void frmView::lstFound_DblClick() {
    cmdView->setEnabled(true);
    cmdView_Click();
}

void frmView::cmdView_Click() {
    const int row = lstFound->currentRow();
    if (row < 0 || row >= static_cast<int>(lines_.size())) return;
    const int viewer = optViewer2->isChecked() ? 2 : 1;
    hide();
    const FoundLineDocument d = DocumentOfLine(lines_[static_cast<std::size_t>(row)]);
    app_.doc.CurDocNo = d.docNo;
    app_.doc.CurVolume = d.volume;
    app_.viewerFlags.FoundPosition = Int16(std::min(row + 1, 32767));
    app_.viewerFlags.FoundListChoice = app_.viewerFlags.FoundPosition;
    if (viewer == 1) app_.viewerFlags.FilePages = Int16(0);
    try {
        if (app_.ports.frame) app_.ports.frame->displayDocument(viewer);
    } catch (...) {
        // The viewers report their own errors.
    }
    accept();
}

void frmView::cmd2ndView_Click() {
    if (!DocumentShown(app_.doc.CurDocNo)) return;
    hide();
    try {
        if (app_.ports.frame && app_.ports.frame->displayDocument(2)) app_.viewerFlags.SecondViewRequest = true;
    } catch (...) {
    }
    accept();
}

void frmView::cmdTop_Click() { select(0); }
void frmView::cmdBottom_Click() { select(lstFound->count() - 1); }
void frmView::cmdUp100_Click() { select(StepLine(std::max(lstFound->currentRow(), 0), -100, lstFound->count())); }
void frmView::cmdDown100_Click() { select(StepLine(std::max(lstFound->currentRow(), 0), 100, lstFound->count())); }
void frmView::cmdClose_Click() { reject(); }

void frmView::Command2_Click() {
    if (app_.ports.help) app_.ports.help->show(app_.config.HelpFilePath, kHelpContext, 3);
}

bool frmView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstFound && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            focusNextChild();  // Enter moves on to the next control, as Tab does
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace velk

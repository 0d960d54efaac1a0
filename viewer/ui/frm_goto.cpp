#include "viewer/ui/frm_goto.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "index/ui/list_font.h"

namespace velk {

frmGoto::frmGoto(App& app, ShowViewerPage show, QWidget* parent)
    : frmGoto(app, GotoChoiceFor(app, ActiveViewer(app)), std::move(show), parent) {}

frmGoto::frmGoto(App& app, const GotoChoice& choice, ShowViewerPage show, QWidget* parent)
    : QDialog(parent), app_(app), choice_(choice), show_(std::move(show)) {
    setObjectName("frmGoto");
    setWindowTitle("Go To Page...");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto option = [this](const char* name, const char* text) {
        auto* o = new QRadioButton(text, this);
        o->setObjectName(name);
        return o;
    };
    optPage = option("optPage", "&Page");
    optFirst = option("optFirst", "&First page/abstract");
    optBiblio = option("optBiblio", "&Biblio");
    optDrawings = option("optDrawings", "&Drawings");
    optDescription = option("optDescription", "D&escription");
    optClaims = option("optClaims", "C&laims");
    lstPage = new QListWidget(this);
    lstPage->setObjectName("lstPage");
    lblPages = new QLabel(this);
    lblPages->setObjectName("lblPages");
    cmdOk = new QPushButton("&OK", this);
    cmdOk->setObjectName("cmdOk");
    cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    cmdHelp = new QPushButton("&Help", this);
    cmdHelp->setObjectName("cmdHelp");
    cmdOk->setDefault(true);

    // Load: the viewer's pages listed, its page selected, absent sections disabled.
    optPage->setChecked(true);
    lblPages->setText(QString::fromStdString(PagesOfText(choice_.pageCount)));
    for (int p = 1; p <= choice_.pageCount; ++p) lstPage->addItem(QString::number(p));
    if (choice_.pageCount > 0)
        lstPage->setCurrentRow(std::clamp<int>(choice_.currentPage, 1, choice_.pageCount) - 1);
    optBiblio->setEnabled(choice_.biblio != 0);
    optDrawings->setEnabled(choice_.drawings != 0);
    optDescription->setEnabled(choice_.description != 0);
    optClaims->setEnabled(choice_.claims != 0);
    optFirst->setEnabled(choice_.pageCount > 0);
    cmdOk->setEnabled(choice_.pageCount > 0);
    SizeListForLines(lstPage, 8, 5, false);

    auto* pages = new QGridLayout;
    pages->addWidget(optPage, 0, 0, Qt::AlignTop);
    pages->addWidget(lstPage, 0, 1);
    pages->addWidget(lblPages, 0, 2, Qt::AlignTop);
    auto* sections = new QVBoxLayout;
    for (QRadioButton* o : {optFirst, optBiblio, optDrawings, optDescription, optClaims}) sections->addWidget(o);
    sections->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addLayout(pages);
    top->addSpacing(16);
    top->addLayout(sections);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(buttons);
    all->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(optPage, lstPage);

    connect(lstPage, &QListWidget::itemDoubleClicked, this, [this] { lstPage_DblClick(); });
    // Choosing a page in the list by keyboard means the page option too.
    connect(lstPage, &QListWidget::currentRowChanged, this, [this] {
        if (lstPage->hasFocus()) optPage->setChecked(true);
    });
    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    lstPage->setFocus();
}

int frmGoto::chosenPage() const {
    GotoOption o = GotoOption::Page;
    if (optFirst->isChecked())
        o = GotoOption::First;
    else if (optDrawings->isChecked())
        o = GotoOption::Drawings;
    else if (optDescription->isChecked())
        o = GotoOption::Description;
    else if (optClaims->isChecked())
        o = GotoOption::Claims;
    else if (optBiblio->isChecked())
        o = GotoOption::Biblio;
    return GotoTarget(choice_, o, lstPage->currentRow());
}

void frmGoto::lstPage_DblClick() { optPage->setChecked(true); }

void frmGoto::cmdOk_Click() {
    const int page = chosenPage();
    if (page == 0) return;  // no page of this document: the dialog stays
    hide();
    try {
        shown_ = ApplyGotoPage(choice_, page, show_);
    } catch (...) {
        shown_ = false;  // the viewer reports its own errors
    }
    accept();
}

void frmGoto::cmdCancel_Click() { reject(); }

void frmGoto::cmdHelp_Click() {
    if (app_.ports.help) app_.ports.help->show(app_.config.HelpFilePath, kHelpContents, 0);
}

}  // namespace velk

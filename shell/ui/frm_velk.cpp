#include "shell/ui/frm_velk.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "index/ui/frm_find.h"
#include "lists/list_store.h"
#include "platform/ui/modal.h"
#include "shell/command_state.h"
#include "shell/ui/frm_readme.h"
#include "shell/ui/frm_splash.h"
#include "shell/ui/toolbar_icons.h"

namespace velk {

frmVelk::frmVelk(App& app, Session& session, Modal& modal, QWidget* parent)
    : QMainWindow(parent), app_(app), session_(session), modal_(modal) {
    setObjectName("frmVelk");
    setWindowIcon(ProgramIcon());
    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName("mdiArea");
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea);
    buildMenus();
    buildToolbar();
    resize(900, 640);
}

frmVelk::~frmVelk() = default;

void frmVelk::buildMenus() {
    // The last menu opened at each depth receives the entries below it.
    std::vector<QMenu*> open;
    for (const MenuEntry& e : MenuTree()) {
        QWidget* owner = e.depth == 0 ? static_cast<QWidget*>(menuBar()) : open.at(e.depth - 1);
        if (e.kind == MenuKind::Separator) {
            open.at(e.depth - 1)->addSeparator();
            continue;
        }
        if (e.kind == MenuKind::Menu) {
            QMenu* m = e.depth == 0 ? menuBar()->addMenu(e.caption) : open.at(e.depth - 1)->addMenu(e.caption);
            m->setObjectName(e.name);
            m->menuAction()->setObjectName(e.name);
            menus_[e.name] = m;
            items_[e.name] = m->menuAction();
            open.resize(e.depth);
            open.push_back(m);
            continue;
        }
        auto* a = new QAction(e.caption, owner);
        a->setObjectName(e.name);
        a->setCheckable(e.checkable);
        if (*e.shortcut) a->setShortcut(QKeySequence(e.shortcut));
        open.at(e.depth - 1)->addAction(a);
        items_[e.name] = a;
        const std::string name = e.name;
        connect(a, &QAction::triggered, this, [this, a, name] {
            // A check mark changes only where the command sets it.
            if (a->isCheckable()) a->setChecked(!a->isChecked());
            menu_Click(name);
        });
    }
}

void frmVelk::buildToolbar() {
    tbToolBar = new QToolBar(this);
    tbToolBar->setObjectName("tbToolBar");
    tbToolBar->setMovable(false);
    tbToolBar->setFloatable(false);
    tbToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tbToolBar->toggleViewAction()->setEnabled(false);
    addToolBar(Qt::TopToolBarArea, tbToolBar);
    for (const ToolbarButton& b : ToolbarButtons()) {
        if (b.groupStart) tbToolBar->addSeparator()->setObjectName("sepGroup");
        QAction* a = tbToolBar->addAction(ToolbarIcon(b.key), b.toolTip);
        a->setObjectName(b.key);
        a->setToolTip(b.toolTip);
        if (QWidget* w = tbToolBar->widgetForAction(a)) w->setObjectName(b.key);
        items_[b.key] = a;
        const std::string key = b.key;
        connect(a, &QAction::triggered, this, [this, key] { tbToolBar_ButtonClick(key); });
    }
    setToolbarLayout(ToolbarLayout::Normal);
}

QAction* frmVelk::item(const std::string& name) const {
    auto it = items_.find(name);
    return it == items_.end() ? nullptr : it->second;
}

QMenu* frmVelk::menu(const std::string& name) const {
    auto it = menus_.find(name);
    return it == menus_.end() ? nullptr : it->second;
}

void frmVelk::enableItem(const std::string& name, bool enabled) {
    if (QAction* a = item(name)) a->setEnabled(enabled);
}

void frmVelk::checkItem(const std::string& name, bool checked) {
    if (QAction* a = item(name); a && a->isCheckable()) a->setChecked(checked);
}

bool frmVelk::isChecked(const std::string& name) {
    QAction* a = item(name);
    return a && a->isChecked();
}

void frmVelk::openDialog(FrameDialog which) {
    switch (which) {
    case FrameDialog::Find: {
        frmFind dialog(app_, this);
        modal_.exec(dialog);
        break;
    }
    default:
        // The other floors' dialogs open here as they arrive.
        break;
    }
}

bool frmVelk::displayDocument(int viewer) {
    // The viewer windows arrive with their own floor.
    (void)viewer;
    return false;
}

void frmVelk::showSplash() {
    frmSplash splash(app_, this);
    modal_.exec(splash);
}

void frmVelk::showMainWindow() {
    if (app_.config.isRestricted())
        showMaximized();
    else
        show();
}

void frmVelk::setToolbarLayout(ToolbarLayout layout) {
    layout_ = layout;
    // Compact fits the 28 buttons into 640 pixels: small pictures, no gaps between groups.
    const bool compact = layout == ToolbarLayout::Compact;
    tbToolBar->setIconSize(compact ? QSize(16, 16) : QSize(24, 24));
    tbToolBar->setStyleSheet(compact ? "QToolBar { spacing: 0px; padding: 0px; } QToolButton { padding: 1px; }"
                                     : "QToolBar { spacing: 2px; padding: 2px; } QToolButton { padding: 2px; }");
    for (QAction* a : tbToolBar->actions())
        if (a->isSeparator()) a->setVisible(!compact);
}

void frmVelk::setCaption(const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); }

void frmVelk::showReadme() {
    frmReadme readme(app_, this);
    modal_.exec(readme);
}

void frmVelk::closeViewers() {
    for (QMdiSubWindow* w : mdiArea->subWindowList()) {
        w->close();
        w->deleteLater();
    }
}

QMdiSubWindow* frmVelk::viewer(int which) const {
    for (QMdiSubWindow* w : mdiArea->subWindowList()) {
        const bool first = w->windowTitle().contains("View 1");
        if ((which == 1) == first) return w;
    }
    return nullptr;
}

void frmVelk::Arrange(Arrangement how) {
    if (QMdiSubWindow* v1 = viewer(1)) mdiArea->setActiveSubWindow(v1);
    if (how == Arrangement::Cascade) {
        mdiArea->cascadeSubWindows();
    } else {
        // One band per window: side by side (vertically) or one above the other.
        std::vector<QMdiSubWindow*> shown;
        for (QMdiSubWindow* w : mdiArea->subWindowList(QMdiArea::CreationOrder))
            if (w->isVisible() && !w->isMinimized()) shown.push_back(w);
        const QRect area = mdiArea->viewport()->rect();
        const int n = int(shown.size());
        for (int i = 0; i < n; ++i) {
            QMdiSubWindow* w = shown[i];
            if (w->isMaximized()) w->showNormal();
            if (how == Arrangement::TileVertically) {
                int x0 = area.width() * i / n, x1 = area.width() * (i + 1) / n;
                w->setGeometry(x0, 0, x1 - x0, area.height());
            } else {
                int y0 = area.height() * i / n, y1 = area.height() * (i + 1) / n;
                w->setGeometry(0, y0, area.width(), y1 - y0);
            }
        }
    }
    if (QMdiSubWindow* v2 = viewer(2)) mdiArea->setActiveSubWindow(v2);
}

void frmVelk::showHelp(int command, long context) {
    if (app_.ports.help) app_.ports.help->show(app_.config.HelpFilePath, command, context);
}

void frmVelk::tbToolBar_ButtonClick(const std::string& key) {
    try {
        app_.viewerFlags.DocumentNavigation = false;
        if (key == "BTN_FIND")
            openDialog(FrameDialog::Find);
        else if (key == "BTN_CASCADE")
            Arrange(Arrangement::Cascade);
        else if (key == "BTN_HORIZONTAL")
            Arrange(Arrangement::TileHorizontally);
        else if (key == "BTN_VERTICAL")
            Arrange(Arrangement::TileVertically);
        else if (ToolbarPosition(key) >= 0)
            commandOfLaterFloor(key);
    } catch (...) {
        // A failed command ends without a message.
    }
}

void frmVelk::menu_Click(const std::string& name) {
    if (name == "mnuExit") return mnuExit_Click();
    try {
        if (name == "mnuFind")
            mnuFind_Click();
        else if (name == "mnuCascade")
            Arrange(Arrangement::Cascade);
        else if (name == "mnuHorizon")
            Arrange(Arrangement::TileHorizontally);
        else if (name == "mnuVertical")
            Arrange(Arrangement::TileVertically);
        else if (name == "mnuContents" || name == "mnuSearch")
            showHelp(kHelpContents, 0);
        else if (name == "mnuAbout")
            showHelp(kHelpContext, 17);
        else if (IsMenuName(name))
            commandOfLaterFloor(name);
    } catch (...) {
    }
}

void frmVelk::mnuFind_Click() { FindCommand(app_); }

void frmVelk::mnuExit_Click() {
    try {
        app_.ExitPermitted = true;
        Shutdown(session_, this);
    } catch (const std::exception& e) {
        app_.msg(e.what());
    }
    close();
}

void frmVelk::closeEvent(QCloseEvent* event) {
    // Every close ends the program, and closes the lists first: a restricted
    // installation's close from the control menu included.
    Shutdown(session_, this);
    ended_ = true;
    event->accept();
    QCoreApplication::quit();
}

void frmVelk::keepMaximised() {
    if (app_.config.isRestricted() && isVisible() && !isMaximized() && !ended_) showMaximized();
}

void frmVelk::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) keepMaximised();
}

void frmVelk::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    keepMaximised();
}

}  // namespace velk

#include "shell/ui/frm_velk.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QListWidget>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "export/ui/frm_destination.h"
#include "export/ui/frm_export.h"
#include "index/ui/frm_find.h"
#include "index/ui/frm_import.h"
#include "lists/ui/frm_batch.h"
#include "lists/ui/frm_list_box.h"
#include "print/ui/print_dialogs.h"
#include "viewer/ui/frm_found_view.h"
#include "viewer/ui/frm_goto.h"
#include "lists/list_store.h"
#include "platform/ui/modal.h"
#include "platform/ui/wait_cursor.h"
#include "shell/command_state.h"
#include "shell/dialog_commands.h"
#include "shell/settings.h"
#include "shell/status_text.h"
#include "shell/ui/frm_password.h"
#include "shell/ui/frm_readme.h"
#include "shell/ui/frm_splash.h"
#include "shell/ui/page_strip.h"
#include "shell/ui/status_bar.h"
#include "shell/ui/toolbar_icons.h"
#include "viewer/ui/frm_view.h"
#include "viewer/ui/imaging_control.h"

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
    buildKeyOnlyCommands();
    sbStatus = new ViewerStatusBar(this);
    setStatusBar(sbStatus);
    viewers_ = std::make_unique<Viewers>(app_, mdiArea);
    viewers_->onAllClosed = [this] { ViewersClosed(app_); };
    viewers_->onChanged = [this] { refreshCommandState(); };
    viewers_->onContextMenu = [this](QPoint global) { showPageMenu(global); };
    dockPageStrip = new QDockWidget("Page Strip", this);
    dockPageStrip->setObjectName("dockPageStrip");
    dockPageStrip->setAccessibleName("Page Strip");
    dockPageStrip->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    pageStrip = new PageStrip(app_, dockPageStrip);
    dockPageStrip->setWidget(pageStrip);
    addDockWidget(Qt::LeftDockWidgetArea, dockPageStrip);
    dockPageStrip->hide();  // a first start shows what it always showed
    pageStrip->onGoTo = [this](int page) {
        viewers_->GoToPage(viewers_->active(), page);
        refreshCommandState();
    };
    pageStrip->onShown = [this] { refreshCommandState(); };
    viewers_->onPageTurn = [this](int n) {
        if (frmView1* v = viewers_->view(n)) pageStrip->pageTurnStarting(v->accView->viewport());
    };
    sbStatus->onView = [this](ViewMode mode, int percent) {
        viewers_->SetView(mode, percent);
        refreshCommandState();
    };
    resize(900, 640);
    viewMemoryFile_ = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + "/view.ini";
}

frmVelk::~frmVelk() {
    // The viewers' windows belong to the MDI area; no callbacks into a half-gone frame.
    viewers_->onAllClosed = nullptr;
    viewers_->onChanged = nullptr;
    viewers_->onContextMenu = nullptr;
    viewers_->onPageTurn = nullptr;
    pageStrip->onShown = nullptr;
    pageStrip->onGoTo = nullptr;
}

namespace {

// The keys a command runs on, first the one its menu item shows.
QList<QKeySequence> ShortcutsOf(Command command) {
    QList<QKeySequence> keys;
    if (const CommandEntry* e = EntryFor(command))
        for (const char* k : e->shortcuts) keys.push_back(QKeySequence(QString::fromLatin1(k)));
    return keys;
}

}  // namespace

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
        a->setShortcuts(ShortcutsOf(CommandForMenu(e.name)));
        a->setAutoRepeat(!ProducesOutput(CommandForMenu(e.name)));
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
        // The picture alone says nothing to a screen reader.
        if (QWidget* w = tbToolBar->widgetForAction(a)) {
            w->setObjectName(b.key);
            w->setAccessibleName(b.toolTip);
        }
        items_[b.key] = a;
        const std::string key = b.key;
        connect(a, &QAction::triggered, this, [this, key] { tbToolBar_ButtonClick(key); });
    }
    // The link toggle after the band's own buttons: the menu item itself, with a picture.
    if (QAction* link = item("mnuLinkViewers")) {
        tbToolBar->addSeparator()->setObjectName("sepGroup");
        link->setIcon(ToolbarIcon("BTN_LINK"));
        link->setToolTip("Link viewers (Ctrl+Shift+L)");
        tbToolBar->addAction(link);
        if (QWidget* w = tbToolBar->widgetForAction(link)) {
            w->setObjectName("BTN_LINK");
            w->setAccessibleName("Link viewers");
        }
    }
    setToolbarLayout(ToolbarLayout::Normal);
}

// Commands with keys but neither a menu item nor a button (Esc ends an area selection).
void frmVelk::buildKeyOnlyCommands() {
    for (const CommandEntry& e : CommandTable()) {
        if (*e.menu || *e.key || e.shortcuts.empty()) continue;
        auto* a = new QAction(this);
        a->setShortcuts(ShortcutsOf(e.command));
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
        const Command command = e.command;
        connect(a, &QAction::triggered, this, [this, command] { dispatch(command, CommandSource::Menu); });
    }
}

// The view commands on the page itself, the menu bar's own items with their keys.
void frmVelk::showPageMenu(QPoint global) {
    QMenu menu(this);
    menu.setObjectName("mnuPageContext");
    for (const char* name : {"mnuZoom100", "mnuZoomIn", "mnuZoomOut", "mnuFitPage", "mnuFitWidth",
                             "mnuZoomArea", "", "mnuRotate", "mnuRotateLeft", "", "mnuCopy", "mnuGoto"}) {
        if (!*name)
            menu.addSeparator();
        else if (QAction* a = item(name))
            menu.addAction(a);
    }
    menu.exec(global);
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
    case FrameDialog::Import: {
        frmImport dialog(app_, this);
        modal_.exec(dialog);
        break;
    }
    case FrameDialog::View: {
        frmView dialog(app_, this);
        if (!dialog.LoadFound()) {
            app_.msg(kNoDocumentsToView);
            break;
        }
        modal_.exec(dialog);
        break;
    }
    case FrameDialog::GoTo: {
        if (!viewers_->isOpen(viewers_->active())) break;
        frmGoto dialog(app_, [this](int viewer, int page) { return viewers_->GoToPage(viewer, page); }, this);
        modal_.exec(dialog);
        break;
    }
    case FrameDialog::Print:
    case FrameDialog::MarkPrint:
        OpenPrintDialog(app_, modal_, this, which);
        break;
    case FrameDialog::SaveAsPdf:
    case FrameDialog::PrintPreview:
        OpenPrintDialog(app_, modal_, this, app_.config.isTrademarks() ? FrameDialog::MarkPrint : FrameDialog::Print,
                        which == FrameDialog::SaveAsPdf ? PrintStart::SaveAsPdf : PrintStart::Preview);
        break;
    case FrameDialog::BatchPrint:
        StartBatchPrint(app_, modal_, this);
        break;
    case FrameDialog::Export:
    case FrameDialog::MarkExport:
        OpenExportDialog(app_, modal_, this);
        break;
    case FrameDialog::BatchExport:
        OpenBatchExport(app_, modal_, this);
        break;
    case FrameDialog::ExportChooser:
        AskExportDestination(app_, modal_, this);
        break;
    case FrameDialog::ListWindow:
        showListWindow("FOUND");
        break;
    case FrameDialog::Batch:
        RunBatchWindow(app_, modal_, this, app_.FoundSorted);
        break;
    }
    refreshCommandState();
}

bool frmVelk::displayDocument(int viewer) {
    WaitCursor wait;
    const bool shown = viewers_->DisplayDocument(viewer);
    refreshCommandState();
    return shown;
}

void frmVelk::showSplash() {
    frmSplash splash(app_, this);
    modal_.exec(splash);
}

namespace {

QString CollectionGroup(const App& app) {
    return QString::fromStdString(app.config.CollectionMode.empty() ? "Velk" : app.config.CollectionMode);
}

}  // namespace

void frmVelk::saveView() {
    if (viewMemoryFile_.isEmpty()) return;
    QSettings s(viewMemoryFile_, QSettings::IniFormat);
    s.beginGroup(CollectionGroup(app_));
    s.setValue("window/size", isMaximized() ? normalGeometry().size() : size());
    s.setValue("window/maximised", isMaximized());
    if (!isMaximized()) {
        s.setValue("window/frame", frameGeometry());
        s.setValue("window/inside", geometry());
    }
    for (int n = 1; n <= 2; ++n) {
        const ViewerState& v = app_.viewers[static_cast<std::size_t>(n - 1)];
        s.setValue(QString("viewer%1/mode").arg(n), static_cast<int>(v.Mode));
        s.setValue(QString("viewer%1/zoom").arg(n), v.Zoom.value());
    }
    s.setValue("linked", viewers_->linked());
    s.setValue("strip/visible", !dockPageStrip->isHidden());
    s.setValue("strip/width", dockPageStrip->width());
}

void frmVelk::restoreView() {
    if (viewMemoryFile_.isEmpty() || !QFileInfo::exists(viewMemoryFile_)) return;
    QSettings s(viewMemoryFile_, QSettings::IniFormat);
    s.beginGroup(CollectionGroup(app_));
    if (!app_.config.isRestricted() && s.contains("window/size")) {
        const QSize size = s.value("window/size").toSize();
        if (size.isValid()) resize(size.boundedTo(QSize(10000, 10000)));
        restoreMaximised_ = s.value("window/maximised", false).toBool();
        const QRect frame = s.value("window/frame").toRect(), inside = s.value("window/inside").toRect();
        if (frame.isValid() && frame.contains(inside)) restorePlace_ = {frame, inside};
    }
    for (int n = 1; n <= 2; ++n) {
        ViewerState& v = app_.viewers[static_cast<std::size_t>(n - 1)];
        const int mode = s.value(QString("viewer%1/mode").arg(n), 0).toInt();
        if (mode >= 0 && mode <= static_cast<int>(ViewMode::FitWidth)) v.Mode = static_cast<ViewMode>(mode);
        // A hand-edited zoom is held to the zoom box's range.
        const int zoom = s.value(QString("viewer%1/zoom").arg(n), v.Zoom.value()).toInt();
        if (const auto typed = ParseZoomText(std::to_string(std::max(0, zoom))))
            v.Zoom = CInt(typed->percent);
    }
    viewers_->setLinked(s.value("linked", false).toBool());
    dockPageStrip->setVisible(s.value("strip/visible", false).toBool());
    stripWidth_ = std::clamp(s.value("strip/width", 0).toInt(), 0, 2000);
}

// The strip's width takes once the window is laid out.
void frmVelk::restoreStripWidth() {
    if (stripWidth_ > 0 && !dockPageStrip->isHidden())
        resizeDocks({dockPageStrip}, {stripWidth_}, Qt::Horizontal);
    stripWidth_ = 0;
}

void frmVelk::showMainWindow() {
    restoreView();
    if (app_.config.isRestricted()) {
        showMaximized();
        restoreStripWidth();
        return;
    }
    // Wide enough for the whole toolbar when the screen allows it, so no button hides
    // behind the overflow arrow.
    if (const QScreen* sc = screen()) {
        const int room = sc->availableGeometry().width();
        const int want = tbToolBar->sizeHint().width() + 16;
        if (width() < want) resize(std::min(want, room), height());
    }
    FitToScreen(*this);  // at a large screen scale the designed size may not fit
    // The last place only where the whole window, title bar first, fits a screen as it
    // is now: a place kept from another screen scale or layout is left to the window
    // manager. The inside is placed, as the frame is not known before the window shows.
    if (restorePlace_) {
        const auto& [frame, inside] = *restorePlace_;
        const QRect whole(frame.topLeft(), size() + frame.size() - inside.size());
        const QScreen* at = QGuiApplication::screenAt(whole.topLeft());
        if (at && at->availableGeometry().contains(whole)) setGeometry(QRect(inside.topLeft(), size()));
    }
    if (restoreMaximised_)
        showMaximized();
    else
        show();
    restoreStripWidth();
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
    viewers_->CloseAll();
    refreshCommandState();
}

void frmVelk::refreshCommandState() {
    const ViewerCommandState shown = viewers_->state();
    RefreshCommandState(app_, shown);
    sbStatus->show(StatusFor(app_, shown));
    checkItem("mnuLinkViewers", viewers_->linked());
    checkItem("mnuPageStrip", !dockPageStrip->isHidden());
    pageStrip->follow(shown);
    for (int n = 1; n <= 2; ++n)
        if (QAction* a = item(n == 1 ? "mnuViewer1" : "mnuViewer2"))
            a->setText(QString::fromStdString(viewers_->windowListEntry(n)));
}

void frmVelk::Arrange(Arrangement how) {
    QMdiSubWindow* first = viewers_->window(1);
    QMdiSubWindow* second = viewers_->window(2);
    if (!first && !second) return;
    for (int n = 1; n <= 2; ++n)
        if (frmView1* v = viewers_->view(n)) v->accView->FitMethod(2);
    if (first) mdiArea->setActiveSubWindow(first);
    if (how == Arrangement::Cascade) {
        mdiArea->cascadeSubWindows();
    } else {
        std::vector<QMdiSubWindow*> shown;
        for (QMdiSubWindow* w : {first, second})
            if (w && !w->isMinimized()) shown.push_back(w);
        const QRect area = mdiArea->viewport()->rect();
        const std::vector<Rect> bands = TileGeometry(how, int(shown.size()), area.width(), area.height());
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (shown[i]->isMaximized()) shown[i]->showNormal();
            shown[i]->setGeometry(bands[i].x, bands[i].y, bands[i].width, bands[i].height);
        }
    }
    if (second) mdiArea->setActiveSubWindow(second);
}

void frmVelk::togglePageStrip() {
    const bool show = dockPageStrip->isHidden();
    dockPageStrip->setVisible(show);
    if (show)
        pageStrip->list()->setFocus(Qt::ShortcutFocusReason);
    else if (frmView1* v = viewers_->view(viewers_->active()))
        v->setFocus(Qt::ShortcutFocusReason);
}

void frmVelk::showHelp(int command, long context) {
    if (app_.ports.help) app_.ports.help->show(app_.config.HelpFilePath, command, context);
}

namespace {

// Refuses what needs a password and shows no settings form.
class NoSettingsWindows : public SettingsWindows {
public:
    bool askPassword(PasswordPurpose) override { return false; }
    void showCdRom() override {}
    bool showPrinterSetup() override { return false; }
};

}  // namespace

MainWindowActions frmVelk::windowActions() {
    MainWindowActions w;
    w.closeViewers = [this] { closeViewers(); };
    w.setCaption = [this](const std::string& caption) { setCaption(caption); };
    w.refreshListButtons = [this] { refreshCommandState(); };
    w.showListWindow = [this](const std::string& selector) { showListWindow(selector); };
    w.endZoomArea = [this] { viewers_->EndZoomArea(); };
    w.showNotice = [this](const std::string& caption) {
        notice_ = frmPassword::Notice(app_, caption, this);
        notice_->show();
        notice_->repaint();
        noticeWait_ = std::make_unique<WaitCursor>();  // emptying long lists takes a while
    };
    w.closeNotice = [this] {
        noticeWait_.reset();
        notice_.reset();
    };
    return w;
}

void frmVelk::showListWindow(const std::string& selector) {
    frmListBox window(app_, selector, app_.FoundSorted, this);
    modal_.exec(window);
    refreshCommandState();
}

void frmVelk::runCommand(Command command, CommandSource source) {
    Viewers& v = *viewers_;
    const bool toolbar = source == CommandSource::Toolbar;
    switch (command) {
    case Command::Find:
    case Command::GoTo:
    case Command::Print:
    case Command::Export:
        // Their menu items go through the dialog commands with the other menus.
        ToolbarDialogCommand(app_, EntryFor(command)->key);
        break;
    case Command::Viewer1:
        v.Activate(1);
        break;
    case Command::Viewer2:
        if (v.isOpen(2))
            v.Activate(2);
        else if (toolbar)
            v.NewWindow();
        break;
    case Command::Copy:
        v.Copy();
        break;
    case Command::AddToPrint:
    case Command::RemoveFromPrint:
    case Command::AddToExport:
    case Command::RemoveFromExport: {
        WaitCursor wait;
        if (v.isOpen(v.active())) ListButtonCommand(app_, command);
        break;
    }
    case Command::FirstPage: v.FirstPage(); break;
    case Command::PreviousPage: v.PreviousPage(); break;
    case Command::NextPage: v.NextPage(); break;
    case Command::LastPage: v.LastPage(); break;
    case Command::PageUp: v.PageUpOrPrevious(); break;
    case Command::PageDown: v.PageDownOrNext(); break;
    case Command::FirstDocument: v.FirstDocument(); break;
    case Command::PreviousDocument: v.PreviousDocument(); break;
    case Command::NextDocument: v.NextDocument(); break;
    case Command::LastDocument: v.LastDocument(); break;
    case Command::FullView: v.FullView(); break;
    case Command::Zoom100: v.Zoom100(); break;
    case Command::ZoomIn: v.ZoomIn(); break;
    case Command::ZoomOut: v.ZoomOut(); break;
    case Command::Rotate: v.Rotate(); break;
    case Command::RotateLeft: v.RotateLeft(); break;
    case Command::FitPage: v.FitPage(); break;
    case Command::FitWidth: v.FitWidth(); break;
    case Command::EndZoomArea: v.EndZoomArea(); break;
    case Command::LinkViewers: v.setLinked(!v.linked()); break;
    case Command::PageStrip: togglePageStrip(); break;
    case Command::Import: break;  // a dialog command of the menu
    case Command::ZoomArea: v.ZoomArea(); break;
    case Command::TileVertically: Arrange(Arrangement::TileVertically); break;
    case Command::TileHorizontally: Arrange(Arrangement::TileHorizontally); break;
    case Command::Cascade: Arrange(Arrangement::Cascade); break;
    case Command::NewWindow: v.NewWindow(); break;
    case Command::CloseViewer2: v.Close(2); break;
    case Command::Exit: mnuExit_Click(); return;
    case Command::HelpContents:
    case Command::HelpSearch: showHelp(kHelpContents, 0); break;
    case Command::About: showHelp(kHelpContext, 17); break;
    case Command::None: break;
    }
}

void frmVelk::dispatch(Command command, CommandSource source) {
    if (command == Command::Exit) return mnuExit_Click();
    try {
        runCommand(command, source);
    } catch (...) {
        // A failed command ends without a message.
    }
    if (!ended_) refreshCommandState();
}

void frmVelk::tbToolBar_ButtonClick(const std::string& key) {
    app_.viewerFlags.DocumentNavigation = false;
    dispatch(CommandForKey(key), CommandSource::Toolbar);
}

void frmVelk::menu_Click(const std::string& name) {
    // The dialogs, lists, settings and index switch first; then the viewer commands.
    bool done = false;
    if (name != "mnuExit") {
        try {
            MainWindowActions window = windowActions();
            NoSettingsWindows none;
            done = MenuDialogCommand(app_, name, window, settings_ ? *settings_ : static_cast<SettingsWindows&>(none));
        } catch (...) {
            done = true;
        }
    }
    if (!done) return dispatch(CommandForMenu(name), CommandSource::Menu);
    if (!ended_) refreshCommandState();
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
    if (!ended_) saveView();
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

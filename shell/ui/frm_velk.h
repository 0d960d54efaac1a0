#pragma once
// The main frame: the viewers as MDI children, the toolbar, the menu bar, and the
// start-up and end of the program.
#include <QMainWindow>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/app.h"
#include "shell/commands.h"
#include "shell/startup.h"

class QAction;
class QDockWidget;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace velk {

class Modal;
class frmPassword;
class WaitCursor;
class Viewers;
class SettingsWindows;
class ViewerStatusBar;
class PageStrip;
struct MainWindowActions;

// Where a command came from: a few commands differ between the toolbar and the menu.
enum class CommandSource { Toolbar, Menu };

class frmVelk : public QMainWindow, public MainFrame, public StartupWindows {
    Q_OBJECT
public:
    frmVelk(App& app, Session& session, Modal& modal, QWidget* parent = nullptr);
    ~frmVelk() override;

    QMdiArea* mdiArea;
    QToolBar* tbToolBar;
    ViewerStatusBar* sbStatus;
    QDockWidget* dockPageStrip;
    PageStrip* pageStrip;

    // A menu item (mnu..., Duplex, Jukebox) or a toolbar button (BTN_...); nullptr when none.
    QAction* item(const std::string& name) const;
    QMenu* menu(const std::string& name) const;
    ToolbarLayout toolbarLayout() const { return layout_; }
    // The program has ended: Exit ran or the window was closed.
    bool ended() const { return ended_; }
    Viewers& viewers() const { return *viewers_; }
    // The settings forms (password, drive, printer set-up); without them those
    // commands refuse quietly.
    void setSettingsWindows(SettingsWindows* windows) { settings_ = windows; }

    // MainFrame
    void enableItem(const std::string& name, bool enabled) override;
    void checkItem(const std::string& name, bool checked) override;
    bool isChecked(const std::string& name) override;
    void openDialog(FrameDialog which) override;
    bool displayDocument(int viewer) override;

    // StartupWindows
    void showSplash() override;
    void showMainWindow() override;
    void setToolbarLayout(ToolbarLayout layout) override;
    void setCaption(const std::string& caption) override;
    void showReadme() override;
    void closeViewers() override;

    // Handlers, by the button's key and the item's name.
    void tbToolBar_ButtonClick(const std::string& key);
    void menu_Click(const std::string& name);
    void mnuExit_Click();
    void mnuFind_Click();
    void Arrange(Arrangement how);
    // Runs one command of the table and then sets the state of every button and item.
    void dispatch(Command command, CommandSource source);
    // The command state and the window-list entries from the viewers.
    void refreshCommandState();
    // Shows or hides the page strip; shown, it takes the keyboard.
    void togglePageStrip();
    // The window's place, each viewer's view mode and zoom, the page strip and the linking, per collection,
    // in the user's own configuration (never the installation's). Nothing saved: nothing
    // changes.
    void saveView();
    void restoreView();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildKeyOnlyCommands();
    void showPageMenu(QPoint global);
    void keepMaximised();
    void restoreStripWidth();
    void showHelp(int command, long context);
    void runCommand(Command command, CommandSource source);
    MainWindowActions windowActions();
    void showListWindow(const std::string& selector);  // "FOUND", "NOT FOUND", "REMAINING"

    App& app_;
    Session& session_;
    Modal& modal_;
    std::map<std::string, QAction*> items_;
    std::map<std::string, QMenu*> menus_;
    std::unique_ptr<Viewers> viewers_;
    std::unique_ptr<frmPassword> notice_;     // "Processing Index..." while the collection switches
    std::unique_ptr<WaitCursor> noticeWait_;  // and the hourglass with it
    SettingsWindows* settings_ = nullptr;
    ToolbarLayout layout_ = ToolbarLayout::Normal;
    bool ended_ = false;
    QString viewMemoryFile_;
    int stripWidth_ = 0;  // remembered, applied once shown
    bool restoreMaximised_ = false;
    std::optional<std::pair<QRect, QRect>>
        restorePlace_;  // the last frame and inside, to take where they fit
};

}  // namespace velk

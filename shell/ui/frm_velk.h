#pragma once
// The main frame: the viewers as MDI children, the toolbar, the menu bar, and the
// start-up and end of the program.
#include <QMainWindow>
#include <map>
#include <string>

#include "platform/app.h"
#include "shell/startup.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace velk {

class Modal;

enum class Arrangement { Cascade, TileHorizontally, TileVertically };

class frmVelk : public QMainWindow, public MainFrame, public StartupWindows {
    Q_OBJECT
public:
    frmVelk(App& app, Session& session, Modal& modal, QWidget* parent = nullptr);
    ~frmVelk() override;

    QMdiArea* mdiArea;
    QToolBar* tbToolBar;

    // A menu item (mnu..., Duplex, Jukebox) or a toolbar button (BTN_...); nullptr when none.
    QAction* item(const std::string& name) const;
    QMenu* menu(const std::string& name) const;
    ToolbarLayout toolbarLayout() const { return layout_; }
    // The program has ended: Exit ran or the window was closed.
    bool ended() const { return ended_; }

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

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void keepMaximised();
    QMdiSubWindow* viewer(int which) const;  // by caption: "View 1" is viewer 1, any other viewer 2
    void showHelp(int command, long context);
    // Commands that arrive with the viewers, lists, print and export dialogs.
    void commandOfLaterFloor(const std::string& name) { (void)name; }

    App& app_;
    Session& session_;
    Modal& modal_;
    std::map<std::string, QAction*> items_;
    std::map<std::string, QMenu*> menus_;
    ToolbarLayout layout_ = ToolbarLayout::Normal;
    bool ended_ = false;
};

}  // namespace velk

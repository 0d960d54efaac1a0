// The main frame's commands through the real frame and viewers, on a generated installation.
#include "shell/commands.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolBar>

#include "shell/main_menu.h"
#include "tests/shell/frame_fixture.h"
#include "viewer/ui/frm_view.h"

using namespace velk;
using namespace velk::test;
namespace mks = velk::mksample;

namespace {

struct Frame : LoadedFrame {
    std::string text(const std::string& name) const { return frame->item(name)->text().toStdString(); }
    void expect(std::initializer_list<const char*> on, std::initializer_list<const char*> off) const {
        for (const char* n : on) EXPECT_TRUE(frame->item(n)->isEnabled()) << n;
        for (const char* n : off) EXPECT_FALSE(frame->item(n)->isEnabled()) << n;
    }
    // To Print, To Export, Remaining.
    std::array<int, 3> counts() const {
        return {lists->PrintCount(), lists->ExportCount(), lists->RemainingCount()};
    }
    const mks::SampleDocument* multiPage(int skip) const {
        for (const auto& d : s.documents)
            if (d.pages > 1 && skip-- == 0) return &d;
        return nullptr;
    }
    bool show(const mks::SampleDocument& d, int which) {
        app.doc.CurDocNo = d.number;
        app.doc.CurVolume = d.volume;
        return frame->displayDocument(which);
    }
};

}  // namespace

TEST(Commands, TableShortcutsTipsTilingAndNoViewerMeansNoOpsAndOnlyFind) {
    Frame f;
    // Every button's key runs a command; menu items of the table exist in the menu bar.
    for (const ToolbarButton& b : ToolbarButtons()) {
        EXPECT_NE(CommandForKey(b.key), Command::None) << b.key;
        QAction* a = f.frame->item(b.key);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->toolTip().toStdString(), b.toolTip);
        QWidget* w = f.frame->tbToolBar->widgetForAction(a);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->accessibleName().toStdString(), b.toolTip);
    }
    EXPECT_EQ(CommandForKey("BTN_NONE"), Command::None);
    for (const CommandEntry& e : CommandTable()) EXPECT_TRUE(!*e.menu || IsMenuName(e.menu)) << e.menu;
    // The keys a reader expects, each shown on its menu item.
    const std::pair<const char*, const char*> keys[] = {
        {"mnuPageUp", "PgUp"},       {"mnuPageDown", "PgDown"},  {"mnuFirstPage", "Ctrl+Home"},
        {"mnuLastPage", "Ctrl+End"}, {"mnuPrevDoc", "Alt+Left"}, {"mnuNextDoc", "Alt+Right"},
        {"mnuCopy", "Ctrl+C"},       {"mnuZoomIn", "+"},         {"mnuZoomOut", "-"},
        {"mnuZoom100", "Ctrl+0"},    {"mnuRotate", "R"},         {"mnuVertical", "Shift+F4"},
        {"mnuCascade", "Shift+F5"}};
    for (const auto& [item, key] : keys) {
        ASSERT_NE(f.frame->item(item), nullptr) << item;
        EXPECT_EQ(f.frame->item(item)->shortcut(), QKeySequence(QString::fromLatin1(key))) << item;
    }

    // Tiling splits the area without a gap; an odd pixel goes to the last window.
    struct Case {
        Arrangement how;
        int count, width, height;
        std::vector<Rect> rects;
    } cases[] = {{Arrangement::TileVertically, 2, 1001, 700, {{0, 0, 500, 700}, {500, 0, 501, 700}}},
                 {Arrangement::TileHorizontally, 2, 1000, 701, {{0, 0, 1000, 350}, {0, 350, 1000, 351}}},
                 {Arrangement::Cascade, 2, 10, 10, {}},
                 {Arrangement::TileVertically, 0, 10, 10, {}}};
    for (const auto& k : cases)
        EXPECT_TRUE(TileGeometry(k.how, k.count, k.width, k.height) == k.rects) << k.width;

    // With no viewer every button and viewer item is a no-op and only Find is offered.
    for (const ToolbarButton& b : ToolbarButtons())
        if (std::string(b.key) != "BTN_FIND") f.frame->tbToolBar_ButtonClick(b.key);
    for (const char* m : {"mnuZoomIn", "mnuRotate", "mnuClose2", "mnuNew", "mnuPageDown", "mnuViewer2"})
        f.frame->menu_Click(m);
    EXPECT_TRUE(f.frame->mdiArea->subWindowList().isEmpty());  // nothing opened as a side effect
    // View because the Found list holds documents.
    f.expect({"BTN_FIND", "mnuView"},
             {"BTN_VIEWER1", "BTN_VIEWER2", "BTN_NEXT_PG", "BTN_ADD_PRINTER", "mnuNew", "mnuCopy"});
    EXPECT_EQ(f.text("mnuViewer1") + f.text("mnuViewer2"), "&1&2");
}

TEST(Commands, TwoViewersCaptionsArrangementAndListButtons) {
    Frame f;
    const auto* one = f.multiPage(0);
    const auto* two = f.multiPage(1);
    ASSERT_TRUE(one && two);
    ASSERT_TRUE(f.show(*one, 1));
    f.expect({"mnuCopy", "BTN_NEXT_PG"}, {"BTN_FIRST_PG"});
    EXPECT_EQ(f.text("mnuViewer1").rfind("&1 ", 0), 0u);
    EXPECT_EQ(f.text("mnuViewer2"), "&2");
    f.frame->tbToolBar_ButtonClick("BTN_LAST_PG");
    f.expect({"BTN_FIRST_PG"}, {"BTN_NEXT_PG"});

    ASSERT_TRUE(f.show(*two, 2));
    EXPECT_EQ(f.text("mnuViewer2").rfind("&2 ", 0), 0u);
    f.expect({"mnuClose2"}, {});
    EXPECT_TRUE(f.frame->item("mnuViewer2")->isChecked());

    // Side by side at full height, then one above the other at full width.
    const QRect area = f.frame->mdiArea->viewport()->rect();
    f.frame->tbToolBar_ButtonClick("BTN_VERTICAL");
    QMdiSubWindow* w1 = f.frame->viewers().window(1);
    QMdiSubWindow* w2 = f.frame->viewers().window(2);
    ASSERT_TRUE(w1 && w2);
    EXPECT_EQ(w1->geometry().height(), area.height());
    EXPECT_EQ(w1->geometry().width() + w2->geometry().width(), area.width());
    EXPECT_EQ(w2->geometry().x(), w1->geometry().width());
    f.frame->menu_Click("mnuHorizon");
    EXPECT_EQ(w1->geometry().width(), area.width());
    EXPECT_EQ(w1->geometry().height() + w2->geometry().height(), area.height());

    // The list buttons act on the active viewer's document and keep Remaining with the list.
    f.frame->tbToolBar_ButtonClick("BTN_VIEWER1");
    EXPECT_TRUE(f.frame->item("mnuViewer1")->isChecked());
    const std::string entry = EntryText(one->number, one->volume);
    ASSERT_TRUE(f.lists->Contains(ListTable::Remaining, entry));  // the Found list's add put it there
    const int remaining = f.lists->RemainingCount();
    f.frame->tbToolBar_ButtonClick("BTN_ADD_PRINTER");
    EXPECT_EQ(f.counts(), (std::array{1, 0, remaining - 1}));
    EXPECT_FALSE(f.lists->Contains(ListTable::Remaining, entry));
    EXPECT_TRUE(f.lists->Contains(ListTable::ToPrint, entry));
    f.expect({"BTN_SUB_PRINTER"}, {"BTN_ADD_PRINTER"});
    f.frame->tbToolBar_ButtonClick("BTN_SUB_PRINTER");
    EXPECT_EQ(f.counts(), (std::array{0, 0, remaining}));
    f.expect({"BTN_ADD_PRINTER"}, {});
    f.frame->tbToolBar_ButtonClick("BTN_ADD_EXPORT");
    EXPECT_EQ(f.counts(), (std::array{0, 1, remaining - 1}));

    // Closing viewer 2 leaves viewer 1; closing everything leaves only Find.
    f.frame->menu_Click("mnuClose2");
    EXPECT_EQ(f.text("mnuViewer2"), "&2");
    f.expect({}, {"mnuClose2"});
    f.frame->closeViewers();
    f.expect({"BTN_FIND"}, {"mnuNew", "BTN_COPY"});
}

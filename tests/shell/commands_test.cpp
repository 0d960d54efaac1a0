// The main frame's commands through the real frame and viewers, on a generated installation.
#include "shell/commands.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QListWidget>
#include <QThread>
#include <filesystem>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolBar>

#include "platform/profile_writer.h"
#include "shell/main_menu.h"
#include "shell/ui/frm_velk.h"
#include "shell/ui/page_strip.h"
#include "shell/ui/status_bar.h"
#include "tests/shell/frame_fixture.h"
#include "viewer/ui/frm_view.h"

using namespace velk;
using namespace velk::test;
namespace mks = velk::mksample;
namespace fs = std::filesystem;

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
        {"mnuPageUp", "PgUp"},       {"mnuPageDown", "PgDown"},   {"mnuFirstPage", "Ctrl+Home"},
        {"mnuLastPage", "Ctrl+End"}, {"mnuPrevDoc", "Ctrl+PgUp"}, {"mnuNextDoc", "Ctrl+PgDown"},
        {"mnuCopy", "Ctrl+C"},       {"mnuZoomIn", "+"},          {"mnuZoomOut", "-"},
        {"mnuZoom100", "Ctrl+0"},    {"mnuRotate", "R"},          {"mnuVertical", "Shift+F4"},
        {"mnuCascade", "Shift+F5"},  {"mnuFind", "Ctrl+F"},       {"mnuImport", "Ctrl+O"},
        {"mnuPrint", "Ctrl+P"},      {"mnuExport", "Ctrl+E"},     {"mnuGoto", "Ctrl+G"},
        {"mnuExit", "Ctrl+Q"},       {"mnuContents", "F1"},       {"mnuRotateLeft", "Shift+R"}};
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
    // The status bar follows the active viewer; the zoom box sets its view.
    const std::string lastOfOne = "Page " + std::to_string(one->pages) + " of " + std::to_string(one->pages);
    const StatusTexts& status = f.frame->sbStatus->shown();
    EXPECT_EQ(status.page, lastOfOne);
    EXPECT_FALSE(status.section.empty());  // a patent's last page lies in a section of its map
    EXPECT_EQ(status.document.rfind("Document ", 0), 0u) << status.document;
    EXPECT_EQ(status.volume, one->volume);
    EXPECT_EQ(status.zoom, "100 %");
    QComboBox* zoom = f.frame->sbStatus->zoomBox();
    for (const auto& [typed, shown] :
         {std::pair{"Fit width", "Fit width"}, {"junk", "Fit width"}, {"5", "10 %"}}) {
        zoom->setEditText(typed);
        emit zoom->lineEdit()->returnPressed();
        EXPECT_EQ(status.zoom, shown) << typed;
        EXPECT_EQ(zoom->currentText().toStdString(), shown) << typed;
    }

    ASSERT_TRUE(f.show(*two, 2));
    EXPECT_EQ(status.page, "Page 1 of " + std::to_string(two->pages));
    EXPECT_EQ(status.zoom, "100 %");
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
    EXPECT_EQ(status.page, lastOfOne);
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

    // The view is kept per collection in the user's file, never in the installation's.
    const std::string ini = ReadTextFile(f.s.configFile.string());
    const QString memory = QString::fromStdString((f.tree.root() / "user" / "view.ini").string());
    f.frame->setViewMemoryFile(memory);
    f.frame->restoreView();  // none yet: nothing changes
    EXPECT_FALSE(f.frame->viewers().linked());
    f.frame->menu_Click("mnuFitWidth");
    f.frame->menu_Click("mnuLinkViewers");
    EXPECT_TRUE(f.frame->item("mnuLinkViewers")->isChecked());
    f.frame->saveView();
    f.frame->menu_Click("mnuLinkViewers");
    f.app.viewers[0].Mode = ViewMode::Zoom;
    f.frame->restoreView();
    EXPECT_TRUE(f.frame->viewers().linked());
    EXPECT_EQ(f.app.viewers[0].Mode, ViewMode::FitWidth);
    EXPECT_EQ(ReadTextFile(f.s.configFile.string()), ini);
    f.app.config.CollectionMode = "Tovrin";  // another collection keeps its own
    f.frame->setViewMemoryFile(memory);
    f.app.viewers[0].Mode = ViewMode::Zoom;
    f.frame->restoreView();
    EXPECT_EQ(f.app.viewers[0].Mode, ViewMode::Zoom);
    f.app.config.CollectionMode = f.s.collectionMode;
    f.frame->viewers().setLinked(false);

    // Closing viewer 2 leaves viewer 1; closing everything leaves only Find.
    f.frame->menu_Click("mnuClose2");
    EXPECT_EQ(f.text("mnuViewer2"), "&2");
    f.expect({}, {"mnuClose2"});
    f.frame->closeViewers();
    f.expect({"BTN_FIND"}, {"mnuNew", "BTN_COPY"});
}

// The strip shows the active viewer's pages under their sections, follows its page and
// document, names a page it cannot make, and is remembered with the view.
TEST(Commands, PageStripFollowsTheActiveViewerAndIsRemembered) {
    Frame f;
    const mks::SampleDocument* doc = nullptr;
    const mks::SampleDocument* other = nullptr;
    for (const auto& d : f.s.documents) {
        if (!doc && d.pages >= 3 && d.kind == mks::ImageKind::Container)
            doc = &d;
        else if (!other && d.pages >= 2 && !d.imagePath.empty())
            other = &d;
    }
    ASSERT_TRUE(doc && other);
    ASSERT_TRUE(f.show(*doc, 1));
    PageStrip& strip = *f.frame->pageStrip;
    EXPECT_TRUE(strip.rows().empty());  // hidden: nothing is made
    f.frame->menu_Click("mnuPageStrip");
    ASSERT_TRUE(f.frame->dockPageStrip->isVisible());
    EXPECT_TRUE(f.frame->item("mnuPageStrip")->isChecked());

    // Every page once and in order, a section's label before its first page.
    std::vector<std::string> rows = strip.rows(), labels;
    std::vector<int> pages;
    for (const std::string& r : rows)
        if (r.find_first_not_of("0123456789") == std::string::npos)
            pages.push_back(std::stoi(r));
        else
            labels.push_back(r);
    ASSERT_EQ(static_cast<int>(pages.size()), doc->pages);
    for (int p = 1; p <= doc->pages; ++p) EXPECT_EQ(pages[static_cast<std::size_t>(p - 1)], p);
    if (doc->sections.info == 1) {
        EXPECT_EQ(rows.front(), "Front page");
    }
    if (doc->sections.claims > 0) {
        EXPECT_EQ(labels.back(), "Claims");
    }
    strip.thumbnails().waitIdle();
    EXPECT_EQ(strip.thumbnails().made(), doc->pages);
    EXPECT_FALSE(strip.thumbnails().get(doc->pages)->image.isNull());
    EXPECT_EQ(strip.shownPage(), 1);

    f.frame->tbToolBar_ButtonClick("BTN_NEXT_PG");
    EXPECT_EQ(strip.shownPage(), 2);
    EXPECT_TRUE(strip.thumbnails().paused());  // until the turn is painted
    for (int i = 0; i < 200 && strip.thumbnails().paused(); ++i) {
        QApplication::processEvents();
        QThread::msleep(5);
    }
    EXPECT_FALSE(strip.thumbnails().paused());
    const std::uint64_t first = strip.thumbnails().generation();
    ASSERT_TRUE(f.show(*other, 2));  // the other viewer's document
    EXPECT_NE(strip.thumbnails().generation(), first);
    EXPECT_EQ(strip.shownPage(), 1);
    f.frame->tbToolBar_ButtonClick("BTN_VIEWER1");
    EXPECT_EQ(strip.shownPage(), 2);

    f.frame->tbToolBar_ButtonClick("BTN_VIEWER2");

    // Shown and its width are remembered; hidden, it holds nothing.
    const QString memory = QString::fromStdString((f.tree.root() / "user" / "view.ini").string());
    f.frame->setViewMemoryFile(memory);
    f.frame->saveView();
    f.frame->menu_Click("mnuPageStrip");
    EXPECT_FALSE(f.frame->dockPageStrip->isVisible());
    EXPECT_TRUE(strip.rows().empty());

    // The document cut short after its first page: its other pages say why they are blank.
    std::filesystem::resize_file(other->imagePath, 200);
    f.frame->restoreView();
    EXPECT_TRUE(f.frame->dockPageStrip->isVisible());
    strip.thumbnails().waitIdle();
    QApplication::processEvents();
    const QString tip = strip.list()->item(strip.list()->count() - 1)->toolTip();
    EXPECT_TRUE(tip.startsWith("Page ")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("could not be shown")) << tip.toStdString();
}

TEST(Commands, SwitchingTheCollectionEmptiesTheListsUnderTheHourglass) {
    Frame f;
    fs::copy_file(f.s.appDir / "cum.idx", f.s.appDir / "cum_mark.idx");
    // The frame as the switch sees it, noting the pointer while the Index menu's mark moves.
    struct Watch : MainFrame {
        MainFrame& real;
        std::vector<bool> busy;
        explicit Watch(MainFrame& r) : real(r) {}
        void enableItem(const std::string& n, bool on) override { real.enableItem(n, on); }
        void checkItem(const std::string& n, bool on) override {
            if (n == "mnuTovrin") busy.push_back(QGuiApplication::overrideCursor() != nullptr);
            real.checkItem(n, on);
        }
        bool isChecked(const std::string& n) override { return real.isChecked(n); }
        void openDialog(FrameDialog d) override { real.openDialog(d); }
        bool displayDocument(int v) override { return real.displayDocument(v); }
    } watch(*f.frame);
    f.app.ports.frame = &watch;
    f.fakes.messages.answers = {Answer::Yes};
    f.frame->menu_Click("mnuTovrin");
    EXPECT_EQ(f.app.config.CollectionMode, kModeTrademarks);
    EXPECT_EQ(f.lists->totals(), ListTotals{});
    EXPECT_EQ(watch.busy, std::vector<bool>{true});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    f.app.ports.frame = f.frame.get();
}

// The main frame's commands through the real frame and viewers, on a generated installation;
// the desktop walk clicks every item by real input, so these keep what it cannot reach.
#include "shell/commands.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <filesystem>

#include "lists/list_store.h"
#include "shell/command_state.h"
#include "shell/config.h"
#include "shell/settings.h"
#include "shell/ui/frm_velk.h"
#include "shell/ui/page_strip.h"
#include "shell/ui/status_bar.h"
#include "tests/index/index_fixtures.h"
#include "tests/support/fake_modal.h"
#include "tests/support/fakes.h"
#include "tests/support/sample_install.h"
#include "viewer/ui/frm_view.h"
#include "viewer/viewer_nav.h"

using namespace velk;
using namespace velk::test;
namespace mks = velk::mksample;
namespace fs = std::filesystem;

namespace {

// A loaded main frame on a generated tower installation: real frame and viewers, fake
// ports and modal, every document of the installation on the Found list.
struct Frame {
    TempTree tree{"shell-frame"};
    mksample::SampleResult s;
    FakePorts fakes;
    App app;
    Session session;
    FakeModal modal;
    std::unique_ptr<ListStore> lists;
    std::unique_ptr<frmVelk> frame;

    Frame() {
        s = MakeSmallSample(tree.root() / "inst", mks::Collection::Quorvel, mks::DriveMode::Tower, 3, false,
                            mks::Installation::Open);
        PointAppAt(app, s, mks::DriveMode::Tower);
        fakes.wire(app.ports);
        app.ports.modal = &modal;
        lists = std::make_unique<ListStore>(tree.root() / "lists.db", s.collectionMode);
        EXPECT_TRUE(lists->OpenDatabases());
        app.lists = lists.get();
        frame = std::make_unique<frmVelk>(app, session, modal);
        app.ports.frame = frame.get();
        SetJukeboxMark(app);  // as start-up does: the mark follows the file
        frame->resize(1000, 800);
        frame->show();
        for (const auto& d : s.documents) {
            std::string e = EntryText(d.number, d.volume);
            lists->AddToFound(e, Int16(d.pages));
        }
        ViewersClosed(app);
    }
    ~Frame() {
        app.ports.frame = nullptr;
        frame.reset();
    }
    std::string text(const std::string& name) const { return frame->item(name)->text().toStdString(); }
    void expect(std::initializer_list<const char*> on, std::initializer_list<const char*> off) const {
        for (const char* n : on) EXPECT_TRUE(frame->item(n)->isEnabled()) << n;
        for (const char* n : off) EXPECT_FALSE(frame->item(n)->isEnabled()) << n;
    }
    bool show(const mks::SampleDocument& d, int which) {
        app.doc.CurDocNo = d.number;
        app.doc.CurVolume = d.volume;
        return frame->displayDocument(which);
    }
};

}  // namespace

TEST(Commands, TilingAndNoViewerMeansNoOpsAndOnlyFind) {
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
    EXPECT_EQ(CommandForKey("BTN_NONE"), Command::None);
    for (const CommandEntry& e : CommandTable()) EXPECT_TRUE(!*e.menu || IsMenuName(e.menu)) << e.menu;

    // With no viewer every button and viewer item is a no-op (their controls are disabled,
    // so no click reaches them) and only Find is offered.
    Frame f;
    for (const ToolbarButton& b : ToolbarButtons())
        if (std::string(b.key) != "BTN_FIND") f.frame->tbToolBar_ButtonClick(b.key);
    for (const char* m : {"mnuZoomIn", "mnuRotate", "mnuClose2", "mnuNew", "mnuPageDown", "mnuViewer2"})
        f.frame->menu_Click(m);
    EXPECT_TRUE(f.frame->mdiArea->subWindowList().isEmpty());
    f.expect({"BTN_FIND", "mnuView"}, {"BTN_VIEWER1", "BTN_NEXT_PG", "BTN_ADD_PRINTER", "mnuNew", "mnuCopy"});
    EXPECT_EQ(f.text("mnuViewer1") + f.text("mnuViewer2"), "&1&2");
}

// Typed zooms and button paths the walk does not take; a page the strip cannot make names
// why it is blank.
TEST(Commands, ZoomBoxTakesOnlyZoomsAndTheStripNamesABrokenPage) {
    Frame f;
    std::vector<const mks::SampleDocument*> docs;
    for (const auto& d : f.s.documents)
        if (d.pages >= 2 && !d.imagePath.empty()) docs.push_back(&d);
    ASSERT_GE(docs.size(), 2u);
    const mks::SampleDocument *doc = docs[0], *other = docs[1];
    ASSERT_TRUE(f.show(*doc, 1));
    const StatusTexts& status = f.frame->sbStatus->shown();
    QComboBox* zoom = f.frame->sbStatus->zoomBox();
    for (const auto& [typed, shown] :
         {std::pair{"Fit width", "Fit width"}, {"junk", "Fit width"}, {"5", "10 %"}}) {
        zoom->setEditText(typed);
        emit zoom->lineEdit()->returnPressed();
        EXPECT_EQ(status.zoom, shown) << typed;
        EXPECT_EQ(zoom->currentText().toStdString(), shown) << typed;
    }

    // The document cut short after its first page.
    fs::resize_file(doc->imagePath, 200);
    f.frame->menu_Click("mnuPageStrip");
    PageStrip& strip = *f.frame->pageStrip;
    strip.thumbnails().waitIdle();
    QApplication::processEvents();
    ASSERT_GT(strip.list()->count(), 1);
    const QString tip = strip.list()->item(strip.list()->count() - 1)->toolTip();
    EXPECT_TRUE(tip.startsWith("Page ") && tip.contains("could not be shown")) << tip.toStdString();

    // Another document: the second viewer opens from its button, tiling brings a maximised
    // first one back to normal, and a listed document's button turns to its removal.
    ASSERT_TRUE(f.show(*other, 1));
    f.frame->viewers().window(1)->showMaximized();
    f.frame->tbToolBar_ButtonClick("BTN_VIEWER2");
    ASSERT_TRUE(f.frame->viewers().isOpen(2));
    QApplication::processEvents();  // thumbnails made before the switch arrive late and are dropped
    f.frame->tbToolBar_ButtonClick("BTN_VERTICAL");
    EXPECT_FALSE(f.frame->viewers().window(1)->isMaximized());
    f.frame->tbToolBar_ButtonClick("BTN_ADD_PRINTER");
    f.expect({"BTN_SUB_PRINTER", "BTN_ADD_EXPORT"}, {"BTN_ADD_PRINTER"});

    // The strip follows the active viewer's page, holding its thumbnails back until the
    // turn is painted.
    EXPECT_GE(static_cast<int>(strip.rows().size()), other->pages);
    f.frame->tbToolBar_ButtonClick("BTN_NEXT_PG");
    EXPECT_EQ(strip.shownPage(), 2);
    EXPECT_TRUE(strip.thumbnails().paused());

    // Viewer 2's button brings the open viewer back; without a current document, or with
    // every viewer closed, the list buttons go.
    f.frame->tbToolBar_ButtonClick("BTN_VIEWER1");
    f.frame->tbToolBar_ButtonClick("BTN_VIEWER2");
    EXPECT_TRUE(f.frame->item("mnuViewer2")->isChecked());
    f.frame->tbToolBar_ButtonClick("BTN_ADD_EXPORT");
    f.expect({"BTN_SUB_EXPORT"}, {"BTN_ADD_EXPORT"});
    f.app.doc.CurDocNo.clear();  // a viewer whose document record was cleared
    f.frame->tbToolBar_ButtonClick("BTN_NONE");
    f.expect({"BTN_PRINT"}, {"BTN_ADD_PRINTER", "BTN_SUB_EXPORT"});
    f.frame->closeViewers();
    f.expect({"BTN_FIND"}, {"BTN_ADD_PRINTER", "BTN_SUB_PRINTER", "BTN_ADD_EXPORT", "BTN_SUB_EXPORT"});
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

// The dialog, list and index commands: what each item opens in each collection,
// the Lists menu's messages and the collection switch of the Index menu.
#include <gtest/gtest.h>

#include "lists/list_store.h"
#include "shell/dialog_commands.h"
#include "shell/startup.h"
#include "tests/shell/ini_fixture.h"

namespace fs = std::filesystem;
using namespace velk;

namespace {

struct NoWindows : SettingsWindows {
    bool askPassword(PasswordPurpose) override { return false; }
    void showCdRom() override {}
    bool showPrinterSetup() override { return true; }
};

// An installation with both indexes, a list store and recorded window actions.
struct Commands : test::IniDir {
    std::unique_ptr<ListStore> store;
    NoWindows settings;
    MainWindowActions window;
    std::vector<std::string> actions;

    explicit Commands(const char* mode = kModePatents) : IniDir("commands", mode) {
        app.config.InstallationType = "OPEN";
        app.config.CdDriveLetter = "E";
        app.config.SmartCdOn = "Y";
        app.config.SmartCdTovrin = " /srv/marks ";
        app.config.SmartCdQuorvel = "/srv/patents";
        DeriveCollectionValues(app.config);
        dir.write("cum.idx", "x");
        dir.write("CUM_MARK.IDX", "x");
        store = std::make_unique<ListStore>(dir / "VELKWp.mdb", mode);
        EXPECT_TRUE(store->OpenDatabases());
        app.lists = store.get();
        auto note = [this](const std::string& what) { return [this, what] { actions.push_back(what); }; };
        window.closeViewers = note("closeViewers");
        window.closeNotice = note("closeNotice");
        window.endZoomArea = note("endZoomArea");
        window.refreshListButtons = note("refreshListButtons");
        window.showNotice = [this](const std::string& c) { actions.push_back("notice " + c); };
        window.setCaption = [this](const std::string& c) { actions.push_back("caption " + c); };
        window.showListWindow = [this](const std::string& s) { actions.push_back("list " + s); };
    }
    bool menu(const std::string& name) { return MenuDialogCommand(app, name, window, settings); }
    void fill() {
        std::string found = "0000001  V001";
        ASSERT_TRUE(store->AddToFound(found, Int16(3)));
        ASSERT_TRUE(store->AddToRemaining(found, Int16(3)));
        ASSERT_TRUE(store->AddToNotFound("99", Int16(0)));
    }
};

using D = FrameDialog;
using Opened = std::vector<FrameDialog>;
using Values = std::vector<std::string>;

}  // namespace

// The desktop walk opens every enabled item; these are the items' answers when their list is empty.
TEST(DialogCommands, EmptyListsAnswerWithTheirMessageAndAPrintIsNoBatch) {
    Commands in;
    in.menu("mnuBatch");
    EXPECT_EQ(in.app.PrintMode, PrintSource::Batch);
    ToolbarDialogCommand(in.app, "BTN_PRINT");
    EXPECT_EQ(in.app.PrintMode, PrintSource::Document) << "a print after the batch window is no batch";
    EXPECT_FALSE(ToolbarDialogCommand(in.app, "BTN_NEXT_PAGE"));
    EXPECT_FALSE(in.menu("mnuZoomIn"));
    in.fakes.messages.shown.clear();

    const char* const items[] = {"mnuView", "mnuFound", "mnuNotFound", "mnuNotPrinted"};
    for (const char* item : items) in.menu(item);
    Values said;
    for (const auto& m : in.fakes.messages.shown) said.push_back(m.text);
    ASSERT_EQ(said, (Values{kNoDocumentsToView, kNoFound, kNoNotFound, kNoRemaining}));
    EXPECT_EQ(in.fakes.messages.shown[3].title, "Quorvel");
    EXPECT_EQ(in.fakes.messages.shown[3].icon, Icon::None);
    in.fill();
    in.actions.clear();
    in.fakes.frame.opened.clear();
    for (const char* item : items) in.menu(item);
    EXPECT_EQ(in.fakes.frame.opened, Opened{D::View});
    EXPECT_EQ(in.actions, (Values{"list FOUND", "list NOT FOUND", "list REMAINING"}));
    EXPECT_EQ(in.fakes.messages.shown.size(), 4u);
    // Every item of the group is taken, Jukebox and the Index menu too (the walk leaves them).
    for (const char* name : {"mnuCDRom", "mnua4", "mnuPSetup", "Duplex", "Jukebox", "mnuQuorvel", "mnuFennic"})
        EXPECT_TRUE(in.menu(name)) << name;
}

TEST(DialogCommands, CollectionSwitchAsksClearsAndRederives) {
    Commands in;
    in.fill();
    IndexMenuAtStartup(in.app);
    EXPECT_TRUE(in.fakes.frame.isChecked("mnuQuorvel"));
    EXPECT_FALSE(in.fakes.frame.enabled["mnuFennic"]);

    // The item of the collection in use does nothing and asks nothing.
    EXPECT_FALSE(SwitchCollection(in.app, "mnuQuorvel", in.window));
    EXPECT_FALSE(SwitchCollection(in.app, "mnuFennic", in.window));
    EXPECT_TRUE(in.fakes.messages.shown.empty());

    // No: lists, viewers and mode unchanged.
    in.app.doc.CurDocNo = "0000001";
    in.fakes.messages.answers = {Answer::No};
    EXPECT_FALSE(SwitchCollection(in.app, "mnuTovrin", in.window));
    ASSERT_EQ(in.fakes.messages.shown.size(), 1u);
    EXPECT_EQ(in.fakes.messages.shown[0].text, kSwitchQuestion);
    EXPECT_EQ(in.fakes.messages.shown[0].title, "Tovrin");
    EXPECT_EQ(in.fakes.messages.shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(in.fakes.messages.shown[0].icon, Icon::Exclamation);
    EXPECT_EQ(in.app.config.CollectionMode, kModePatents);
    EXPECT_EQ(in.store->FoundCount(), 1);
    EXPECT_TRUE(in.actions.empty());

    // Yes: viewers closed, lists cleared, every collection value follows the new one.
    in.app.viewers[0].Zoom = 250;
    in.app.IndexRecordCount = 77;
    in.fakes.messages.answers = {Answer::Yes};
    EXPECT_TRUE(SwitchCollection(in.app, "mnuTovrin", in.window));
    const Config& c = in.app.config;
    EXPECT_EQ((Values{c.CollectionMode, c.CurrentIndexPath, c.CollectionLetter, c.HelpFilePath, c.CDDrive,
                      c.OpenIdxPath}),
              (Values{kModeTrademarks, (in.dir / "CUM_MARK.IDX").string(), "M",
                      (in.dir / "velkwm.hlp").string(), "/srv/marks", "/srv/marks\\open.idx"}));
    EXPECT_EQ(in.store->totals(), ListTotals{});
    EXPECT_EQ(in.store->Count(ListTable::NotFound), 0);
    EXPECT_EQ(in.app.doc.CurDocNo, "");
    EXPECT_EQ(int(in.app.viewers[0].Zoom), 100);
    EXPECT_EQ(int(in.app.IndexRecordCount), 0);
    EXPECT_EQ(in.actions, (std::vector<std::string>{"closeViewers", "notice Quorvel Index", "closeNotice",
                                                    "caption Tovrin"}));
    EXPECT_EQ(in.fakes.frame.opened, Opened{D::Find});
    EXPECT_TRUE(in.fakes.frame.isChecked("mnuTovrin"));
    EXPECT_FALSE(in.fakes.frame.isChecked("mnuQuorvel"));
    EXPECT_FALSE(in.fakes.frame.enabled["mnuView"]);
    EXPECT_FALSE(in.fakes.frame.enabled["mnuPrint"]);
    // The writers now write the trademark file.
    EXPECT_TRUE(WritePageType(in.app, "A4"));
    EXPECT_EQ(in.dir.read("VelkWm.INI"), "[DATA]\r\nPAGE_TYPE=A4\r\n");

    // And back, with the patents' question title.
    in.fakes.messages.answers = {Answer::Yes};
    EXPECT_TRUE(SwitchCollection(in.app, "mnuQuorvel", in.window));
    EXPECT_EQ(in.fakes.messages.shown.back().title, " Quorvel");
    EXPECT_EQ((Values{c.CDDrive, c.CollectionLetter}), (Values{"/srv/patents", "P"}));

    // A missing index: its message, nothing asked, nothing cleared.
    Commands gone;
    gone.fill();
    fs::remove(gone.dir / "CUM_MARK.IDX");
    EXPECT_FALSE(SwitchCollection(gone.app, "mnuTovrin", gone.window));
    ASSERT_EQ(gone.fakes.messages.shown.size(), 1u);
    EXPECT_EQ(gone.fakes.messages.shown[0].text, kTrademarkIndexMissing);
    EXPECT_EQ(gone.store->FoundCount(), 1);
    EXPECT_EQ(gone.app.config.CollectionMode, kModePatents);

    // A failing window step does not stop the switch.
    Commands failing(kModeTrademarks);
    failing.window.closeViewers = [] { throw std::runtime_error("unload"); };
    failing.window.showNotice = nullptr;
    failing.fakes.messages.answers = {Answer::Yes};
    EXPECT_TRUE(SwitchCollection(failing.app, "mnuQuorvel", failing.window));
    EXPECT_EQ(failing.app.config.CollectionMode, kModePatents);
    EXPECT_EQ(failing.fakes.frame.opened, Opened{D::Find});
}

// Start-up and shutdown through the ports, on sample installations.
#include "shell/startup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "lists/list_store.h"
#include "platform/install_lock.h"
#include "platform/profile_writer.h"
#include "shell/command_state.h"
#include "tests/platform/scratch_dir.h"
#include "tests/support/fakes.h"
#include "tools/mksample/mksample.h"

namespace fs = std::filesystem;
using namespace velk;
using namespace velk::test;
using velk::mksample::Collection;

namespace {

// Records what start-up asks of the windows, in order.
struct RecordingWindows : StartupWindows {
    std::vector<std::string> log;
    std::function<void()> onSplash;
    void showSplash() override {
        log.push_back("splash");
        if (onSplash) onSplash();
    }
    void showMainWindow() override { log.push_back("main"); }
    void setToolbarLayout(ToolbarLayout l) override {
        log.push_back(l == ToolbarLayout::Normal ? "layout normal" : "layout compact");
    }
    void setCaption(const std::string& c) override { log.push_back("caption " + c); }
    void showReadme() override { log.push_back("readme"); }
    void closeViewers() override { log.push_back("close viewers"); }
};

struct StartRun {
    ScratchDir dir{"startup"};
    mksample::SampleResult sample;
    FakePorts fakes;
    App app;
    Session session;
    RecordingWindows windows;

    explicit StartRun(Collection c = Collection::Quorvel) {
        sample = mksample::MakeSample({.collection = c, .outDir = dir / "inst", .volumes = 1,
                                       .documentsPerVolume = 2, .pageScale = 0.05});
        fakes.wire(app.ports);
        fakes.frame.onOpen = [this](FrameDialog d) {
            if (d == FrameDialog::Find) windows.log.push_back("find");
        };
    }
    std::string appDir() const { return sample.appDir.string(); }
    int start(const std::string& program) { return Startup(app, session, windows, "/usr/bin/" + program, appDir()); }
    void setKey(const std::string& key, const std::string& value) {
        ASSERT_TRUE(WritePrivateProfileString("DATA", key, value, sample.configFile.string()));
    }
};

using Log = std::vector<std::string>;

}  // namespace

// The desktop walk starts each collection by its own name; without their index the
// assignments take the alternative file, and an earlier run's viewer state is reset.
TEST(Startup, AssignmentsWithoutTheirIndexTakeTheAlternativeFile) {
    StartRun r(Collection::Assign);
    fs::rename(r.sample.indexFile, r.sample.appDir / "cum_assn.idd");
    r.app.viewerFlags.Marker = "Set";
    r.app.viewers[1].Zoom = Int16(250);
    EXPECT_EQ(r.start("velkwa"), kStartupRunning);
    EXPECT_EQ(r.windows.log, (Log{"splash", "main", "layout normal", "caption Assignments", "readme", "find"}));
    EXPECT_TRUE(r.fakes.messages.shown.empty()) << r.fakes.messages.last();
    EXPECT_EQ(r.app.config.CollectionMode, "ASSIGN");
    EXPECT_EQ(fs::path(r.app.config.CurrentIndexPath).filename(), "cum_assn.idd");
    EXPECT_EQ(r.app.viewerFlags.Marker, "NotSet");
    EXPECT_EQ(int(r.app.viewers[1].Zoom), 100);
    Shutdown(r.session, &r.windows);
    EXPECT_FALSE(r.app.lists->isOpen());
}

TEST(Startup, FailuresShowTheirMessageAndEndWithTheirStatus) {
    struct Case {
        const char* name;
        Collection collection;
        const char* program;
        std::function<void(StartRun&)> spoil;
        int status;
        const char* message;
        Icon icon;
        const char* title;
        Log windows;
    };
    const Log splashThenShutdown{"splash", "close viewers"};
    const Case cases[] = {
        {"no configuration file", Collection::Quorvel, "velkwp", [](StartRun& r) { fs::remove(r.sample.configFile); },
         kExitConfigUnreadable, kConfigUnreadable, Icon::None, "Quorvel", {}},
        {"required key missing", Collection::Tovrin, "velkwm",
         [](StartRun& r) {
             std::string text = ScratchDir::ReadFile(r.sample.configFile);
             auto at = text.find("CD_PASSWORD");
             text.erase(at, text.find('\n', at) + 1 - at);
             AtomicWriteFile(r.sample.configFile.string(), text);
         },
         kExitConfigUnreadable, kConfigUnreadable, Icon::None, "Tovrin", {}},
        {"database write-protected", Collection::Quorvel, "velkwp",
         [](StartRun& r) {
             fs::path db = r.sample.appDir / "VELKWp.mdb";
             {
                 ListStore s(db, kModePatents);
                 ASSERT_TRUE(s.OpenDatabases());
             }
             fs::permissions(db, fs::perms::owner_read | fs::perms::group_read);
         },
         kExitDatabaseUnreadable, kDatabaseUnreadable, Icon::None, "Quorvel", {}},
        {"patent index missing", Collection::Quorvel, "velkwp", [](StartRun& r) { fs::remove(r.sample.indexFile); },
         kExitIndexMissing, kPatentIndexMissing, Icon::Critical, "Quorvel", splashThenShutdown},
        {"trademark index missing", Collection::Tovrin, "velkwm", [](StartRun& r) { fs::remove(r.sample.indexFile); },
         kExitIndexMissing, kTrademarkIndexMissing, Icon::Critical, "Tovrin", splashThenShutdown},
        {"assignments index missing", Collection::Assign, "velkwa", [](StartRun& r) { fs::remove(r.sample.indexFile); },
         kExitIndexMissing, kAssignIndexMissing, Icon::Critical, "ASSIGN", splashThenShutdown},
        {"index is a directory", Collection::Quorvel, "velkwp",
         [](StartRun& r) {
             fs::remove(r.sample.indexFile);
             fs::create_directory(r.sample.appDir / "CUM.IDX");
         },
         kExitIndexMissing, kPatentIndexMissing, Icon::Critical, "Quorvel", splashThenShutdown},
        // An unknown name reads the patent files and stops after the splash.
        {"unknown program name", Collection::Quorvel, "viewer", [](StartRun&) {}, kExitInvalidProgramName,
         kInvalidProgramName, Icon::Critical, "", splashThenShutdown},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        StartRun r(k.collection);
        k.spoil(r);
        EXPECT_EQ(r.start(k.program), k.status);
        ASSERT_FALSE(r.fakes.messages.shown.empty());
        const ShownMessage& m = r.fakes.messages.shown.back();
        EXPECT_EQ(std::tie(m.text, m.title, m.buttons, m.icon),
                  std::make_tuple(std::string(k.message), std::string(k.title), Buttons::OK, k.icon));
        EXPECT_EQ(r.windows.log, k.windows);
        EXPECT_TRUE(r.fakes.frame.opened.empty());
        // The list store is closed again, or was never opened.
        EXPECT_TRUE(!r.session.lists || !r.session.lists->isOpen());
        EXPECT_FALSE(r.session.lock);
    }
}

// A run that ended without Shutdown is asked about by the next start; the desktop walk
// checks the Lists items by real input, the program test kills a run and answers Yes.
TEST(Startup, ASecondCopyIsRefusedAndTheListsOfAnEarlierRunAreClearedOrOffered) {
    StartRun r;
    {
        ListStore earlier(r.sample.appDir / "VELKWp.mdb", kModePatents);
        ASSERT_TRUE(earlier.OpenDatabases());
        std::string entry = "5123456  QUOR_0001";
        ASSERT_TRUE(earlier.AddToFound(entry, 3));
        ASSERT_TRUE(earlier.AddToPrint(entry, 3));
        ASSERT_TRUE(earlier.AddToNotFound("9999999", 0));
    }
    Config other;
    other.AppDir = r.appDir();
    other.CollectionMode = kModePatents;
    std::string message;
    auto held = InstallLock::acquire(other, &message);
    ASSERT_TRUE(held);
    EXPECT_EQ(r.start("velkwp"), kExitInstallationBusy);
    EXPECT_EQ(r.fakes.messages.last(), InstallLock::BusyMessage(r.appDir()));
    EXPECT_TRUE(r.windows.log.empty());
    EXPECT_FALSE(r.session.lists);  // refused before the lists: they are still there below
    held.reset();
    r.fakes.messages.shown.clear();

    bool foundDuringSplash = false;
    r.windows.onSplash = [&] { foundDuringSplash = r.app.lists && r.app.lists->FoundCount() == 1; };
    ASSERT_EQ(r.start("velkwp"), kStartupRunning);
    EXPECT_TRUE(foundDuringSplash);  // cleared after the index check, not before
    for (ListTable t : {ListTable::Found, ListTable::FoundOrder, ListTable::NotFound, ListTable::Remaining,
                        ListTable::RemainingOrder, ListTable::ToPrint, ListTable::ToExport})
        EXPECT_EQ(r.app.lists->Count(t), 0) << TableName(t);
    EXPECT_EQ(r.app.lists->totals(), ListTotals{});

    // The find dialog fills the Found list: View is offered when it closes.
    EXPECT_FALSE(r.fakes.frame.enabled["mnuView"]);
    r.fakes.frame.onOpen = [&](FrameDialog) {
        std::string entry = "5123456  QUOR_0001";
        r.app.lists->AddToFound(entry, 2);
    };
    FindCommand(r.app);
    EXPECT_TRUE(r.fakes.frame.enabled["mnuView"]);

    // A crash leaves the lists and the next start asks; No empties them.
    r.session.lists.reset();
    r.session.lock.reset();
    r.fakes.messages.answers = {Answer::No};
    r.fakes.frame.onOpen = nullptr;
    ASSERT_EQ(r.start("velkwp"), kStartupRunning);
    ASSERT_EQ(r.fakes.messages.shown.size(), 1u);
    EXPECT_EQ(r.fakes.messages.shown[0].text, kKeepListsQuestion);
    EXPECT_EQ(r.fakes.messages.shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(r.app.lists->totals(), ListTotals{});

    // Shutdown runs once and releases the installation: another run starts and asks nothing
    // about the lists it left.
    std::string entry = "5123456  QUOR_0001";
    ASSERT_TRUE(r.app.lists->AddToFound(entry, 2));
    Shutdown(r.session, &r.windows);
    Shutdown(r.session, &r.windows);
    EXPECT_EQ(std::count(r.windows.log.begin(), r.windows.log.end(), "close viewers"), 1);
    EXPECT_FALSE(r.app.lists->isOpen());
    Session next;
    EXPECT_EQ(Startup(r.app, next, r.windows, "velkwp", r.appDir()), kStartupRunning);
    EXPECT_EQ(r.fakes.messages.shown.size(), 1u);
}

TEST(Startup, ToolbarLayoutFollowsTheScreenAndTheReadMeShowsOnlyForUpperCaseYes) {
    struct Case {
        int w, h;
        const char* layout;
        const char* readMe;  // nullptr: the sample's own "YES"
    };
    for (const Case& k : {Case{640, 480, "layout compact", "yes"}, Case{800, 600, "layout normal", "NO"},
                          Case{640, 600, "layout normal", ""}, Case{800, 480, "layout normal", "Yes"},
                          Case{320, 200, "layout compact", nullptr}}) {
        SCOPED_TRACE(std::to_string(k.w) + "x" + std::to_string(k.h));
        StartRun r;
        r.fakes.screen.w = k.w;
        r.fakes.screen.h = k.h;
        if (k.readMe) r.setKey("READ_ME", k.readMe);
        ASSERT_EQ(r.start("velkwp"), kStartupRunning);
        EXPECT_EQ(r.windows.log.at(2), k.layout);
        EXPECT_EQ(std::count(r.windows.log.begin(), r.windows.log.end(), "readme"), k.readMe ? 0 : 1);
        EXPECT_EQ(r.app.ScreenWidth, k.w);
        EXPECT_EQ(r.app.ScreenHeight, k.h);
    }
}

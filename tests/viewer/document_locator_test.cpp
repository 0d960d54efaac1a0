#include "viewer/document_locator.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/app.h"
#include "tests/index/index_fixtures.h"
#include "tests/support/fakes.h"
#include "tools/mksample/g4_tiff.h"

namespace velk {
namespace {

namespace fs = std::filesystem;
using test::OpenIdxRec;
using test::TempTree;

std::string Canon(const std::string& p) { return fs::weakly_canonical(p).string(); }

struct TowerApp {
    TempTree tree{"loc"};
    test::FakePorts ports;
    App app;
    fs::path tower;
    explicit TowerApp(const char* mode = kModePatents) {
        tower = tree.dir("tower");
        tree.dir("tower/QUOR_0001");
        tree.dir("tower/p0002");
        tree.write("tower/P0004", "a file, not a volume");
        app.config.CollectionMode = mode;
        app.config.SmartCdOn = "Y";
        app.config.CDDrive = tower.string();
        ports.wire(app.ports);
    }
    // open.idx of volume directory dir, records 1000001..1000005 with TIFF paths.
    void openIdx(const std::string& dir, const std::string& pages = "12") {
        std::string recs;
        for (int i = 1; i <= 5; ++i) {
            std::string n = "100000" + std::to_string(i);
            recs += OpenIdxRec(n, "\\DOCS\\" + n + ".TIF", pages);
        }
        tree.write("tower/" + dir + "/open.idx", recs);
    }
    // Locating fails; the number of messages it said, each the locator's error.
    std::size_t refused(const std::string& docNo, const std::string& volume) {
        ports.messages.shown.clear();
        EXPECT_FALSE(GetPath_OpenIdx(app, docNo, volume)) << docNo << " on " << volume;
        for (const auto& m : ports.messages.shown) EXPECT_EQ(m.text, "error at getpath_openidx") << docNo;
        return ports.messages.shown.size();
    }
};

// Tower volumes by name or compact name in any case; a single drive's disc, and locating on it.
TEST(CDLoaded, FindsTowerVolumesByNameOrCompactNameInAnyCaseAndTheSingleDrivesDisc) {
    TowerApp t;
    for (const char* v : {"QUOR_0001", "quor_0001 ", "P_0002", "P0002"}) EXPECT_TRUE(CDLoaded(t.app, v)) << v;
    // P0004 is a file, no volume; a volume is one directory name, never a path.
    for (const char* v : {"P_0003", "P0004", "", "..", "QUOR_0001/.."}) EXPECT_FALSE(CDLoaded(t.app, v)) << v;
    EXPECT_EQ(FindVolumeDir(t.app, "P_0002"), "p0002");

    t.app.config.CDDrive = t.tower.string() + "/";
    EXPECT_TRUE(CDLoaded(t.app, "P_0002"));
    t.app.config.CDDrive = (t.tree.root() / "no-tower").string();
    EXPECT_FALSE(CDLoaded(t.app, "QUOR_0001"));

    // Single drive: the disc's root holds a directory named after its volume.
    t.app.config.SmartCdOn = "N";
    t.app.config.CDDrive = "E:";
    EXPECT_FALSE(CDLoaded(t.app, "QUOR_0001"));  // E: not mapped: not ready
    t.tree.dir("cd/quor0001");
    t.app.drives.map('E', (t.tree.root() / "cd").string());
    EXPECT_TRUE(CDLoaded(t.app, "QUOR_0001"));
    EXPECT_FALSE(CDLoaded(t.app, "QUOR_0002"));
    // It locates through the configured open.idx, the file names in loose letter case.
    t.app.config.OpenIdxPath = "E:\\open.idx";
    t.tree.write("cd/OPEN.IDX", OpenIdxRec("D345678", "\\DOCS\\D345678.TIF", "3") +
                                    OpenIdxRec("RE12345", "\\DOCS\\RE12345", "2"));
    t.tree.write("cd/docs/re12345", "container");
    ASSERT_TRUE(GetPath_OpenIdx(t.app, "RE12345", "QUOR_0001"));
    EXPECT_EQ(Canon(t.app.doc.CurImagePath), Canon((t.tree.root() / "cd/docs/re12345").string()));
    EXPECT_EQ(t.app.config.OpenIdxPath, "E:\\open.idx");
    EXPECT_FALSE(GetPath_OpenIdx(t.app, "re12345", "QUOR_0001"));  // numbers compare case-sensitively

    // Assignments name their volume directories as written.
    t.app.config.CollectionMode = kModeAssignments;
    t.tree.dir("cd/asgn_0001");
    t.tree.dir("cd/ASGN0002");
    EXPECT_TRUE(CDLoaded(t.app, "ASGN_0001"));
    EXPECT_FALSE(CDLoaded(t.app, "ASGN_0002"));
}

TEST(GetPathOpenIdx, SearchesTheTowerVolumeLocatesTheImageAndRefusesPathsOutOfIt) {
    TowerApp t;
    t.openIdx("p0002");
    for (std::string n : {"1000003", "1000001", "1000005"})
        t.tree.write("tower/p0002/docs/" + n + ".tif", "tiff");
    App& app = t.app;
    ASSERT_TRUE(GetPath_OpenIdx(app, "1000003   ", "P_0002"));
    EXPECT_EQ(Canon(app.doc.CurImagePath), Canon((t.tower / "p0002/docs/1000003.tif").string()));
    EXPECT_EQ(app.config.OpenIdxPath, t.tower.string() + "\\p0002\\open.idx");
    EXPECT_EQ(Canon(app.doc.VolumeDir), Canon((t.tower / "p0002").string()));
    EXPECT_EQ(app.doc.LastOpenIdx.DocNo, "1000003 ");
    EXPECT_TRUE(GetPath_OpenIdx(app, "1000001", "P_0002"));
    EXPECT_TRUE(GetPath_OpenIdx(app, "1000005", "P_0002"));
    const std::string located = app.doc.CurImagePath;

    EXPECT_EQ(t.refused("1000000", "P_0002"), 0u);     // below every key
    EXPECT_EQ(t.refused("1000009", "P_0002"), 0u);     // above every key
    EXPECT_EQ(t.refused("1000003", "QUOR_0001"), 1u);  // that volume has no open.idx
    t.tree.write("tower/QUOR_0001/open.idx", "");
    EXPECT_EQ(t.refused("1000003", "QUOR_0001"), 0u);  // empty: not found, quietly
    EXPECT_EQ(app.doc.CurImagePath, located);
    EXPECT_EQ(app.doc.LastOpenIdx.DocNo, "1000005 ");

    // Trademarks take their page count from the record; one that is no number fails.
    app.config.CollectionMode = kModeTrademarks;
    t.openIdx("QUOR_0001", " 7");
    ASSERT_TRUE(GetPath_OpenIdx(app, "1000004", "QUOR_0001"));
    EXPECT_EQ(app.doc.CurPageCount, 7);
    t.openIdx("QUOR_0001", "X9");
    EXPECT_EQ(t.refused("1000002", "QUOR_0001"), 1u);
    EXPECT_EQ(app.doc.CurPageCount, 7);
    EXPECT_EQ(app.doc.LastOpenIdx.DocNo, "1000004 ");

    // 0 or blank: not known; the document opens with the pages its file has.
    const mksample::BitPage blank{16, 8, 300, std::vector<std::uint8_t>(16, 0)};
    t.tree.write("tower/QUOR_0001/DOCS/1000002.TIF", mksample::WriteG4Tiff({blank, blank, blank}));
    for (const char* pages : {"0", " 0", "000", "", "   "}) {
        t.openIdx("QUOR_0001", pages);
        EXPECT_TRUE(GetPath_OpenIdx(app, "1000002", "QUOR_0001")) << "'" << pages << "'";
        EXPECT_EQ(app.doc.CurPageCount, 3) << "'" << pages << "'";
    }
    EXPECT_EQ(t.ports.messages.shown.size(), 1u);  // the "X9" one only

    // Stored paths that leave the volume are refused, and what was located stays.
    app.config.CollectionMode = kModePatents;
    t.tree.write("outside/secret.tif", "secret");
    fs::create_directories(t.tower / "p0002/DOCS");
    fs::create_directory_symlink(t.tree.root() / "outside", t.tower / "p0002/DOCS/LINK");
    const std::vector<std::string> hostile = {"\\..\\..\\outside\\secret.tif", "/etc/hostname",
                                              "C:\\VELK\\IMPORT\\NUMBERS.TXT", "\\\\server\\share\\x.tif",
                                              "\\DOCS\\LINK\\secret.tif", "\\DOCS\\.. \\..\\x.tif", "\\"};
    std::string recs = OpenIdxRec("1000000", "\\DOCS\\1000000.TIF", "1");
    for (std::size_t i = 0; i < hostile.size(); ++i)
        recs += OpenIdxRec("100000" + std::to_string(i + 1), hostile[i], "1");
    t.tree.write("tower/p0002/open.idx", recs);
    ASSERT_TRUE(GetPath_OpenIdx(app, "1000000", "P_0002"));
    const std::string good = app.doc.CurImagePath;
    for (std::size_t i = 0; i < hostile.size(); ++i) {
        EXPECT_EQ(t.refused("100000" + std::to_string(i + 1), "P_0002"), 1u) << hostile[i];
        EXPECT_EQ(app.doc.CurImagePath, good);
    }
}

TEST(GetPathOpenIdx, AssignmentsSeekReelAndFrameInTheDatabase) {
    TowerApp t(kModeAssignments);
    t.tree.dir("tower/asgn_0001");
    t.tree.write("tower/asgn_0001/REEL1234/0567.BIN", "bin");
    // A name that a URI must carry as it is (_ ~) or escaped (space # ? %).
    const std::string dbDir = "s_~ #?%";
    t.tree.dir(dbDir);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((t.tree.root() / dbDir / "assignmt.mdb").c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db,
                           "CREATE TABLE Assignments(Reel TEXT, Frame TEXT, Path TEXT, FileName TEXT);"
                           "CREATE INDEX ByReelFrame ON Assignments(Reel, Frame);"
                           "INSERT INTO Assignments VALUES('1234', '0567', '\\REEL1234', '0567.BIN'),"
                           "('1234', '0568', '\\..\\..', 'secret'), ('1234', '0569', '\\REEL1234', '..\\x');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    App& app = t.app;
    EXPECT_EQ(t.refused("12340567", "ASGN_0001"), 1u);  // S: not mapped
    app.drives.map('S', (t.tree.root() / dbDir).string());
    ASSERT_TRUE(GetPath_OpenIdx(app, "12340567", "ASGN_0001"));
    EXPECT_EQ(Canon(app.doc.CurImagePath), Canon((t.tower / "asgn_0001/REEL1234/0567.BIN").string()));
    EXPECT_EQ(app.doc.LastOpenIdx.ImagePath, "");  // assignments never fill it

    EXPECT_EQ(t.refused("12349999", "ASGN_0001"), 0u);
    EXPECT_EQ(t.refused("12340568", "ASGN_0001"), 1u);
    EXPECT_EQ(t.refused("12340569", "ASGN_0001"), 1u);

    // Nothing was written next to the database: it is opened read-only.
    EXPECT_EQ(std::distance(fs::directory_iterator(t.tree.root() / dbDir), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace velk

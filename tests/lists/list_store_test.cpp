#include "lists/list_store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include "platform/install_lock.h"
#include "tests/platform/scratch_dir.h"

using namespace velk;
namespace fs = std::filesystem;

namespace velk {
void PrintTo(const ListRow& r, std::ostream* os) {
    *os << "{\"" << r.DocumentNo << "\", " << int(r.Pages) << ", \"" << r.Volume << "\"}";
}
}  // namespace velk

namespace {

// A fresh directory per test, removed afterwards.
class ListStoreTest : public ::testing::Test {
protected:
    fs::path db() const { return dir / "VELKWp.mdb"; }
    std::unique_ptr<ListStore> open(const std::string& mode = kModePatents) {
        auto s = std::make_unique<ListStore>(db(), mode);
        EXPECT_TRUE(s->OpenDatabases());
        return s;
    }
    // Statements on a second connection, as another program would hold one; they must
    // succeed. The first number they give, -1 none.
    int raw(const std::string& sqlText) {
        sqlite3* h = nullptr;
        EXPECT_EQ(sqlite3_open(db().c_str(), &h), SQLITE_OK);
        int first = -1;
        auto keep = [](void* out, int, char** values, char**) {
            if (*static_cast<int*>(out) == -1 && values[0]) *static_cast<int*>(out) = std::atoi(values[0]);
            return 0;
        };
        char* err = nullptr;
        EXPECT_EQ(sqlite3_exec(h, sqlText.c_str(), keep, &first, &err), SQLITE_OK) << (err ? err : "");
        sqlite3_free(err);
        sqlite3_close(h);
        return first;
    }
    // AddToFound rewrites its entry (assignments): a copy of the caller's.
    static bool Found(ListStore& s, std::string entry, int pages) {
        return s.AddToFound(entry, Int16(pages));
    }
    static std::vector<int> Counts(const ListStore& s, std::initializer_list<ListTable> tables) {
        std::vector<int> n;
        for (ListTable t : tables) n.push_back(s.Count(t));
        return n;
    }
    static void ExpectAllEmpty(const ListStore& s) {
        for (ListTable t :
             {ListTable::Found, ListTable::FoundOrder, ListTable::NotFound, ListTable::Remaining,
              ListTable::RemainingOrder, ListTable::ToPrint, ListTable::ToExport})
            EXPECT_EQ(s.Count(t), 0) << TableName(t);
        EXPECT_EQ(s.totals(), ListTotals{});
    }
    test::ScratchDir scratch{"lists"};
    const fs::path& dir = scratch.path();
};

// Entry texts: number in columns 1-9, volume from column 10.
const std::string kA = "D1234567 V0042   ";
const std::string kB = "D7654321 V0007";
const std::string kC = "RE0012345V0042";

}  // namespace

TEST_F(ListStoreTest, RemovalsTakeTheFirstOfDuplicatesAndTotalsAre32Bit) {
    auto s = open();
    Int16 pages = -1;
    EXPECT_FALSE(s->RemFromPrint(kA, pages));  // empty list
    EXPECT_EQ(pages, -1);
    ASSERT_TRUE(s->AddToPrint(kA, 3) && s->AddToPrint(kB, 32767) && s->AddToPrint(kA, 32767));
    ASSERT_TRUE(s->RemFromPrint(kA, pages));
    EXPECT_EQ(pages, 3);
    EXPECT_EQ(s->Rows(ListTable::ToPrint), (std::vector<ListRow>{{kB, 32767, "V0007"}, {kA, 32767, "V0042"}}));
    EXPECT_EQ(s->PrintPages(), 2 * 32767);  // 16-bit pages, 32-bit totals
    EXPECT_TRUE(s->RecountTotals());
    EXPECT_EQ(s->PrintPages(), 2 * 32767);
    EXPECT_FALSE(s->RemFromFound(kB));
    ListTotals before = s->totals();
    EXPECT_FALSE(s->RemFromExport(kA, pages));
    EXPECT_EQ(s->totals(), before);

    // A record no document could have (edited by hand) fails the removal, not the run.
    raw("INSERT INTO ToExport VALUES ('" + kB + "', 70000, 'V0007')");
    EXPECT_FALSE(s->RemFromExport(kB, pages));
    EXPECT_EQ(s->Count(ListTable::ToExport), 1);
}

TEST_F(ListStoreTest, EntriesNameADocumentWhateverTheirBlanks) {
    // The find dialog pads the number and volume fields, the import and the viewers do not.
    for (auto [mode, stored, same, other] :
         {std::tuple{kModePatents, "D1234567 V0042     ", "  D1234567  V0042", "D1234567 V0043"},
          {kModePatents, "5123456  V1", "  5123456  V1  ", "0512345  V1"},
          {kModeTrademarks, "123456   T01       ", "0123456  T01", "123456   T02"},
          {kModeTrademarks, "1253106  T01", "1253106  T01  ", "1253107  T01"}}) {
        SCOPED_TRACE(std::string(mode) + " " + stored);
        auto s = open(mode);
        ASSERT_TRUE(s->ClearTables());
        ASSERT_TRUE(Found(*s, stored, 4) && s->AddToPrint(stored, 4));
        for (ListTable t : {ListTable::Found, ListTable::RemainingOrder, ListTable::ToPrint}) {
            EXPECT_TRUE(s->Contains(t, same)) << TableName(t);
            EXPECT_FALSE(s->Contains(t, other)) << TableName(t);
        }
        Int16 pages = 0;
        EXPECT_FALSE(s->RemFromRemaining(other, pages));
        EXPECT_FALSE(s->RemFromPrint("D1234567V0042", pages));  // the volume is no longer from column 10
        // The seek on the sorted copy and the scan of the list find the same record.
        ASSERT_TRUE(s->RemFromRemaining(same, pages));
        EXPECT_EQ(pages, 4);
        ASSERT_TRUE(s->RemFromFound(same));
        ASSERT_TRUE(s->Move(ListTable::ToPrint, ListTable::ToExport, same));
        EXPECT_EQ(s->Rows(ListTable::ToExport)[0].DocumentNo, stored);  // moved as stored
        EXPECT_EQ(s->totals(), (ListTotals{0, 0, 0, 0, 0, 0, 1, 4}));
        EXPECT_EQ(Counts(*s, {ListTable::Found, ListTable::FoundOrder, ListTable::Remaining,
                              ListTable::RemainingOrder}),
                  (std::vector<int>{0, 0, 0, 0}));
        s.reset();
        fs::remove(db());
    }
    // Trademarks sort by value, whichever form each entry has.
    auto s = open(kModeTrademarks);
    for (const char* e : {"1000001  T01", "999999   T01", "0999998  T01"}) ASSERT_TRUE(Found(*s, e, 1));
    EXPECT_EQ(s->RowsSorted(ListTable::FoundOrder),
              (std::vector<ListRow>{
                  {"0999998  T01", 1, "T01"}, {"999999   T01", 1, "T01"}, {"1000001  T01", 1, "T01"}}));
}

TEST_F(ListStoreTest, AnAddFailingHalfWayStoresNothing) {
    auto s = open(kModeAssignments);
    raw("CREATE TRIGGER t_fail BEFORE INSERT ON RemainingOrder BEGIN SELECT RAISE(ABORT, 'full'); END;");
    std::string entry = "1234/5678 R0012";
    EXPECT_FALSE(s->AddToFound(entry, 9));
    EXPECT_EQ(entry, "1234/5678 R0012");  // not rewritten either
    ExpectAllEmpty(*s);

    // A move whose add fails leaves the document where it was.
    raw("DROP TRIGGER t_fail; CREATE TRIGGER t_fail BEFORE INSERT ON ToExport BEGIN SELECT RAISE(ABORT, "
        "'x'); END;");
    ASSERT_TRUE(s->AddToRemaining(kA, 6));
    ListTotals before = s->totals();
    EXPECT_FALSE(s->Move(ListTable::Remaining, ListTable::ToExport, kA));
    EXPECT_FALSE(s->AddAndTakeOffRemaining(ListTable::ToExport, kA, 6));
    EXPECT_EQ(s->totals(), before);
    EXPECT_EQ(Counts(*s, {ListTable::Remaining, ListTable::RemainingOrder, ListTable::ToExport}),
              (std::vector<int>{1, 1, 0}));
}

TEST_F(ListStoreTest, GroupedOperationsCommitTogetherOrNotAtAll) {
    auto s = open();
    {
        ListStore::Transaction tx(*s);
        ASSERT_TRUE(tx.ok());
        ASSERT_TRUE(s->AddToPrint(kA, 2) && s->AddToPrint(kB, 3));
        EXPECT_EQ(s->PrintCount(), 0);  // pending until the outer commit
        ASSERT_TRUE(tx.commit());
    }
    EXPECT_EQ(s->PrintCount(), 2);
    {
        ListStore::Transaction tx(*s);
        ASSERT_TRUE(s->AddToExport(kA, 2));
    }  // no commit: rolled back
    EXPECT_EQ(s->Count(ListTable::ToExport) + s->ExportCount(), 0);

    // RAISE(ROLLBACK) ends the whole transaction, not just the failing add: nothing
    // after it may slip in outside a transaction.
    raw("CREATE TRIGGER t_fail BEFORE INSERT ON ToExport WHEN NEW.Pages = 99 BEGIN SELECT RAISE(ROLLBACK, "
        "'x'); END;");
    {
        ListStore::Transaction tx(*s);
        ASSERT_TRUE(s->AddToExport(kA, 1));
        EXPECT_FALSE(s->AddToExport(kB, 99));
        EXPECT_FALSE(s->AddToExport(kC, 1));
        EXPECT_FALSE(tx.commit());
    }
    EXPECT_EQ(s->Count(ListTable::ToExport) + s->ExportCount(), 0);
    EXPECT_TRUE(s->AddToExport(kC, 1));
    EXPECT_EQ(s->ExportCount(), 1);
}

TEST_F(ListStoreTest, CompoundOperations) {
    auto s = open();
    ASSERT_TRUE(Found(*s, kA, 5));
    // The toolbar buttons: on Remaining, it is taken off; not there, still added.
    ASSERT_TRUE(s->AddAndTakeOffRemaining(ListTable::ToPrint, "D1234567 V0042", 5));
    ASSERT_TRUE(s->AddAndTakeOffRemaining(ListTable::ToPrint, kB, 8));
    EXPECT_EQ(s->totals(), (ListTotals{1, 0, 0, 0, 2, 13, 0, 0}));
    EXPECT_EQ(s->Count(ListTable::RemainingOrder), 0);
    EXPECT_FALSE(s->AddAndTakeOffRemaining(ListTable::Found, kB, 8));

    // The batch window moves the record as stored.
    ASSERT_TRUE(s->Move(ListTable::ToPrint, ListTable::Remaining, "D1234567 V0042"));
    EXPECT_EQ(s->Rows(ListTable::RemainingOrder), (std::vector<ListRow>{{"D1234567 V0042", 5, "V0042"}}));
    ASSERT_TRUE(s->Move(ListTable::ToPrint, ListTable::ToExport, kB));
    EXPECT_EQ(s->totals(), (ListTotals{1, 0, 1, 5, 0, 0, 1, 8}));
    EXPECT_FALSE(s->Move(ListTable::ToPrint, ListTable::ToExport, kB));  // no longer there
    EXPECT_FALSE(s->Move(ListTable::ToExport, ListTable::ToExport, kB));
    EXPECT_FALSE(s->Move(ListTable::ToExport, ListTable::Found, kB));
    EXPECT_EQ(s->totals(), (ListTotals{1, 0, 1, 5, 0, 0, 1, 8}));

    // Off To Print and To Export in turn: on Remaining once, so added again it is gone there.
    ASSERT_TRUE(s->AddToPrint(kB, 8));
    ASSERT_TRUE(s->Move(ListTable::ToExport, ListTable::Remaining, kB));
    ASSERT_TRUE(s->Move(ListTable::ToPrint, ListTable::Remaining, kB));
    EXPECT_EQ(Counts(*s, {ListTable::Remaining, ListTable::RemainingOrder}), (std::vector<int>{2, 2}));
    ASSERT_TRUE(s->AddAndTakeOffRemaining(ListTable::ToPrint, kB, 8));
    EXPECT_EQ(s->totals(), (ListTotals{1, 0, 1, 5, 1, 8, 0, 0}));

    // Found again while on To Print or on Remaining, or taken off To Export while on To
    // Print: not on Remaining a second time, nor beside To Print.
    ASSERT_TRUE(Found(*s, kB, 8) && Found(*s, kA, 5) && s->AddToExport(kB, 8));
    ASSERT_TRUE(s->Move(ListTable::ToExport, ListTable::Remaining, kB));
    EXPECT_EQ(s->totals(), (ListTotals{3, 0, 1, 5, 1, 8, 0, 0}));
    EXPECT_EQ(Counts(*s, {ListTable::Remaining, ListTable::RemainingOrder}), (std::vector<int>{1, 1}));
}

TEST_F(ListStoreTest, ClearTablesEmptiesAllWithSevenSteps) {
    auto s = open();
    ASSERT_TRUE(Found(*s, kA, 5));
    ASSERT_TRUE(s->AddToPrint(kB, 1) && s->AddToExport(kB, 1) && s->AddToNotFound("X1", 0));

    std::vector<std::string> messages;
    std::vector<std::pair<int, int>> steps;
    EXPECT_TRUE(s->ClearTables(
        true, [&](int total, int current) { steps.emplace_back(total, current); },
        [&](const std::string& m) { messages.push_back(m); }));
    EXPECT_EQ(messages, std::vector<std::string>{"Clearing tables..."});
    ASSERT_EQ(steps.size(), 7u);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(steps[i], std::make_pair(7, i + 1));
    ExpectAllEmpty(*s);

    ASSERT_TRUE(s->AddToPrint(kB, 1));
    steps.clear();
    EXPECT_TRUE(s->ClearTables(false, [&](int t, int c) { steps.emplace_back(t, c); }));
    EXPECT_TRUE(steps.empty());
    ExpectAllEmpty(*s);

    ListStore closed(dir / "none.mdb", kModePatents);
    EXPECT_FALSE(closed.ClearTables());
    EXPECT_FALSE(closed.AddToPrint(kA, 1));
}

TEST_F(ListStoreTest, FindsTheFileWhateverItsCase) {
    fs::path lower = dir / "velkwm.mdb";
    auto made = std::make_unique<ListStore>(lower, kModeTrademarks);
    ASSERT_TRUE(made->OpenDatabases() && made->AddToPrint(kA, 1));
    made.reset();
    Config cfg;
    cfg.AppDir = dir.string();
    cfg.CollectionMode = kModeTrademarks;
    ListStore s(cfg);
    ASSERT_TRUE(s.OpenDatabases());
    EXPECT_EQ(s.path(), lower);
    EXPECT_EQ(s.PrintCount(), 1);
    EXPECT_FALSE(fs::exists(dir / "VELKWm.mdb"));

    cfg.CollectionMode = kModeAssignments;  // assignments share the patents file
    ListStore p(cfg);
    ASSERT_TRUE(p.OpenDatabases());
    EXPECT_EQ(p.path(), dir / "VELKWp.mdb");

    cfg.AppDir.clear();
    ListStore nowhere(cfg);
    EXPECT_FALSE(nowhere.OpenDatabases());
}

// In a shared installation's directory (group-writable, setgid) the lists, their log and
// the lock stay writable by the group's next user; elsewhere they keep the user's umask.
TEST_F(ListStoreTest, AGroupSharedDirectoryLeavesItsFilesToTheGroup) {
    const mode_t umask = ::umask(022);
    for (auto how : {fs::perm_options::remove, fs::perm_options::add}) {
        fs::permissions(dir, fs::perms::set_gid | fs::perms::group_write, how);
        auto s = open();
        auto lock = InstallLock::acquire(db().string() + ".lock", nullptr);
        for (const char* end : {"", "-wal", "-shm", ".lock"})
            EXPECT_EQ(
                (fs::status(db().string() + end).permissions() & fs::perms::group_write) != fs::perms::none,
                how == fs::perm_options::add)
                << end;
        s.reset();
        lock.reset();
        fs::remove(db());
        fs::remove(db().string() + ".lock");
    }
    ::umask(umask);
}

// Read-only or locked files are refused; of files the store did not write, foreign or damaged ones
// are moved aside, missing or misshapen tables made again.
TEST_F(ListStoreTest, ReadOnlyLockedForeignDamagedOrMisshapenFiles) {
    open().reset();
    fs::permissions(db(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    auto s = std::make_unique<ListStore>(db(), kModePatents);
    EXPECT_FALSE(s->OpenDatabases());
    EXPECT_FALSE(s->isOpen());
    fs::permissions(db(), fs::perms::owner_read | fs::perms::owner_write);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; INSERT INTO ToPrint VALUES ('x', 1, 'v');", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    EXPECT_FALSE(s->OpenDatabases());
    EXPECT_EQ(fs::exists(dir / "VELKWp.mdb.old"), false);  // locked is not damaged
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    ASSERT_TRUE(s->OpenDatabases());
    EXPECT_EQ(s->PrintCount(), 1);
    s.reset();

    const std::string jet = std::string("\x00\x01\x00\x00Standard Jet DB\x00", 20) + std::string(2000, 'x');
    { std::ofstream(db(), std::ios::binary) << jet; }
    s = open();
    ASSERT_TRUE(s->isOpen());
    std::ifstream old(dir / "VELKWp.mdb.old", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), {}), jet);
    EXPECT_TRUE(s->AddToPrint(kA, 1));
    s.reset();

    // A second one keeps the first one's copy.
    { std::ofstream(db(), std::ios::binary) << "short"; }
    s = open();
    EXPECT_TRUE(fs::exists(dir / "VELKWp.mdb.old2"));
    EXPECT_EQ(s->Count(ListTable::ToPrint), 0);

    // Missing or misshapen tables are made again.
    s.reset();
    raw("DROP TABLE Remaining; DROP INDEX FoundOrder_PrimaryKey;"
        " DROP TABLE ToExport; CREATE TABLE ToExport (DocumentNo TEXT, Pages INTEGER);"
        " INSERT INTO ToExport VALUES ('a', 1); INSERT INTO ToPrint VALUES ('kept', 2, 'v');");
    s = open();
    EXPECT_TRUE(Found(*s, kA, 1));
    EXPECT_TRUE(s->AddToExport(kA, 1));
    EXPECT_EQ(s->Count(ListTable::ToExport), 1);
    EXPECT_EQ(s->PrintCount(), 1);  // a sound table keeps its records
    s.reset();
    EXPECT_EQ(raw("SELECT count(*) FROM sqlite_master WHERE type='index' AND name IN"
                     " ('FoundOrder_PrimaryKey','RemainingOrder_PrimaryKey','Print_Vol','Export_Vol')"),
              4);

    // A file of the first version keeps its lists; its indexes go by document.
    raw("PRAGMA user_version = 1; DROP INDEX ToPrint_Entry;"
        " CREATE INDEX ToPrint_Entry ON ToPrint (trim(DocumentNo));");
    s = open();
    EXPECT_EQ(s->PrintCount(), 1);
    EXPECT_TRUE(s->Contains(ListTable::ToPrint, "kept     v"));
    s.reset();
    EXPECT_EQ(raw("SELECT count(*) FROM sqlite_master WHERE sql LIKE '%(trim(DocumentNo))%'"), 0);
    EXPECT_EQ(raw("PRAGMA user_version"), 2);

    // A file of another layout (no version) is laid out again.
    raw("PRAGMA user_version = 0; INSERT INTO NotFound VALUES ('old', 0, '');");
    s = open();
    EXPECT_EQ(s->Count(ListTable::NotFound), 0);
}

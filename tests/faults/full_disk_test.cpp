// What happens when the disk fills: a file-size limit on this process makes every write
// past it fail with EFBIG, as a full disk fails with ENOSPC, without root or a mount.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <csignal>
#include <string>

#include "lists/list_store.h"
#include "platform/app.h"
#include "shell/config.h"
#include "tests/platform/scratch_dir.h"
#include "tests/shell/ini_fixture.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

// Writes past `bytes` fail for as long as the guard lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ok_ = ::getrlimit(RLIMIT_FSIZE, &old_) == 0;
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = old_;
        lim.rlim_cur = bytes;
        ok_ = ok_ && ::setrlimit(RLIMIT_FSIZE, &lim) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool ok() const { return ok_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};

std::string Entry(int i) {
    std::string n = std::to_string(5000000 + i);
    return n + std::string(9 - n.size(), ' ') + "QUOR_0001";
}

TEST(FullDisk, ListStoreAddsFailCleanlyAndTheTotalsMatchWhatWasStored) {
    test::ScratchDir dir("faults-lists");
    const fs::path file = dir / "VELKWp.mdb";
    int stored = 0;
    long long remaining = 0, toPrint = 0;
    {
        ListStore store(file, kModePatents);
        ASSERT_TRUE(store.OpenDatabases());
        for (; stored < 20; ++stored) ASSERT_TRUE(store.AddToRemaining(Entry(stored), Int16(3)));
        std::error_code ec;
        const auto used = fs::file_size(file, ec) + (fs::exists(dir / "VELKWp.mdb-wal") ? fs::file_size(dir / "VELKWp.mdb-wal") : 0);
        FileSizeLimit limit(used + 64 * 1024);
        ASSERT_TRUE(limit.ok()) << "cannot limit the file size here";

        int failures = 0;
        for (int i = stored; i < 20000 && failures < 3; ++i) {
            // Half the entries move on to the print list: two tables change or neither.
            const bool added = store.AddToRemaining(Entry(i), Int16(3)) &&
                               (i % 2 || store.AddAndTakeOffRemaining(ListTable::ToPrint, Entry(i), Int16(3)));
            if (!added) {
                ++failures;
                continue;
            }
            ++stored;
        }
        EXPECT_GT(failures, 0) << "the limit was never reached";
        // What the store believes agrees with its tables, even after the failures.
        remaining = store.Count(ListTable::Remaining);
        toPrint = store.Count(ListTable::ToPrint);
        EXPECT_EQ(store.totals().RemainingCount, remaining);
        EXPECT_EQ(store.totals().PrintCount, toPrint);
        EXPECT_EQ(remaining + toPrint, stored);
        store.Close();
    }
    // Read back without the limit: the file is sound and holds what the store last said.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    // The first column of the first row, as text.
    auto value = [&](const char* sql) {
        sqlite3_stmt* q = nullptr;
        std::string v = "(none)";
        if (sqlite3_prepare_v2(db, sql, -1, &q, nullptr) == SQLITE_OK && sqlite3_step(q) == SQLITE_ROW)
            v = reinterpret_cast<const char*>(sqlite3_column_text(q, 0));
        sqlite3_finalize(q);
        return v;
    };
    EXPECT_EQ(value("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(value("SELECT COUNT(*) FROM Remaining"), std::to_string(remaining));
    EXPECT_EQ(value("SELECT COUNT(*) FROM ToPrint"), std::to_string(toPrint));
    // An entry on the print list is never also still on Remaining.
    const char* both =
        "SELECT COUNT(*) FROM ToPrint p JOIN Remaining r ON p.DocumentNo = r.DocumentNo";
    EXPECT_EQ(value(both), "0");
    sqlite3_close(db);
}

TEST(FullDisk, ConfigurationWriteFailsAndKeepsTheOldFile) {
    test::IniDir in("faults-config");
    const std::string old = test::RequiredIni() + "PAGE_TYPE=LETTER\r\n; " + std::string(2000, 'x') + "\r\n";
    in.dir.write(in.file(), old);
    ASSERT_TRUE(ReadIni(in.app));
    {
        FileSizeLimit limit(old.size() / 2);
        ASSERT_TRUE(limit.ok());
        EXPECT_FALSE(WritePageType(in.app, "A4"));
    }
    EXPECT_EQ(in.fakes.messages.last(), kConfigWriteError);
    EXPECT_EQ(in.ini(), old);
    // No half-written sibling left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(in.dir.path()), {}), 1);
}

}  // namespace
}  // namespace velk

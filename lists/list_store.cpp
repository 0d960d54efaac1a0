#include "lists/list_store.h"

#include <array>
#include <cstring>
#include <fstream>
#include <limits>
#include <system_error>

#include "common/vb_text.h"
#include "platform/drives.h"
#include "platform/install_lock.h"

namespace fs = std::filesystem;

namespace velk {

namespace {

// 2: the look-ups go by document (number and volume), not by the entry's text.
// Version 1 tables are the same and keep their records; only their indexes change.
constexpr int kSchemaVersion = 2;

constexpr std::array kAllTables = {ListTable::Found,     ListTable::FoundOrder,     ListTable::NotFound,
                                   ListTable::Remaining, ListTable::RemainingOrder, ListTable::ToPrint,
                                   ListTable::ToExport};

constexpr const char* kCreateTables = R"(
CREATE TABLE IF NOT EXISTS Found (DocumentNo TEXT, Pages INTEGER, Volume TEXT);
CREATE TABLE IF NOT EXISTS FoundOrder (DocumentNo TEXT, Pages INTEGER, Volume TEXT);
CREATE TABLE IF NOT EXISTS NotFound (DocumentNo TEXT, Pages INTEGER, Volume TEXT);
CREATE TABLE IF NOT EXISTS Remaining (DocumentNo TEXT, Pages INTEGER, Volume TEXT);
CREATE TABLE IF NOT EXISTS RemainingOrder (DocumentNo TEXT, Pages INTEGER, Volume TEXT);
CREATE TABLE IF NOT EXISTS ToPrint (DocumentNo TEXT, Pages INTEGER, Volume TEXT);
CREATE TABLE IF NOT EXISTS ToExport (DocumentNo TEXT, Pages INTEGER, Volume TEXT);
CREATE INDEX IF NOT EXISTS Print_Vol ON ToPrint (Volume);
CREATE INDEX IF NOT EXISTS Export_Vol ON ToExport (Volume);
)";

// The index names are unique per file, hence the table prefix on "PrimaryKey". The
// *_Entry indexes keep the look-ups of the other lists from scanning.
constexpr std::pair<const char*, ListTable> kDocumentIndexes[] = {
    {"FoundOrder_PrimaryKey", ListTable::FoundOrder},
    {"RemainingOrder_PrimaryKey", ListTable::RemainingOrder},
    {"Found_Entry", ListTable::Found},
    {"Remaining_Entry", ListTable::Remaining},
    {"ToPrint_Entry", ListTable::ToPrint},
    {"ToExport_Entry", ListTable::ToExport}};

// The number of a stored entry text as SQL: columns 1 to 9 without their blanks; a
// trademark by its value, so that "0123456" is 123456. With the Volume field it names
// the document, so the padding of the number field and the blanks before the volume
// do not count. Two calls a row: the key is worked out for every added row.
std::string NumberSql(bool byValue) {
    const std::string number = "rtrim(substr(DocumentNo, 1, 9))";
    return byValue ? "CAST(" + number + " AS INTEGER)" : number;
}

std::string Named(const char* before, ListTable table, const char* after = "") {
    return std::string(before) + TableName(table) + after;
}

// Checked 32-bit total arithmetic: leaving the range is an overflow, as with 16 bits.
void Bump(int32_t& total, long long delta) {
    long long v = static_cast<long long>(total) + delta;
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        throw RuntimeError(kErrOverflow);
    total = static_cast<int32_t>(v);
}

int32_t To32(long long v) {
    int32_t t = 0;
    Bump(t, v);
    return t;
}

// An existing, non-empty file that does not start with SQLite's header. An empty
// file is a valid new database.
bool IsForeignFile(const fs::path& p) {
    std::error_code ec;
    if (!fs::is_regular_file(p, ec)) return false;
    auto size = fs::file_size(p, ec);
    if (ec || size == 0) return false;
    std::ifstream in(p, std::ios::binary);
    if (!in) return false;  // unreadable: let the open report it
    char head[16] = {};
    in.read(head, sizeof head);
    return in.gcount() != sizeof head || std::memcmp(head, "SQLite format 3", 16) != 0;
}

// The Windows read-only attribute has no exact match here; a file without any write
// permission is taken as read-only even by a user the permissions do not bind.
bool WriteProtected(const fs::path& p) {
    std::error_code ec;
    auto st = fs::status(p, ec);
    if (ec || !fs::exists(st)) return false;
    constexpr auto anyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (st.permissions() & anyWrite) == fs::perms::none;
}

// Moves the file (and any journal beside it) to a free ".old" name.
bool MoveAside(const fs::path& p) {
    std::error_code ec;
    fs::path target;
    for (int n = 1; n < 100; ++n) {
        target = p;
        target += n == 1 ? ".old" : ".old" + std::to_string(n);
        if (!fs::exists(target, ec)) break;
    }
    fs::rename(p, target, ec);
    if (ec) return false;
    for (const char* side : {"-journal", "-wal", "-shm"}) {
        fs::path from = p, to = target;
        from += side;
        to += side;
        if (fs::exists(from, ec)) fs::rename(from, to, ec);
    }
    return true;
}

bool IsListTable(ListTable t) {
    return t == ListTable::Remaining || t == ListTable::ToPrint || t == ListTable::ToExport;
}

}  // namespace

const char* TableName(ListTable table) {
    // In the order of the enumeration.
    static constexpr const char* names[] = {"Found",          "FoundOrder", "NotFound", "Remaining",
                                            "RemainingOrder", "ToPrint",    "ToExport"};
    auto i = static_cast<size_t>(table);
    return i < std::size(names) ? names[i] : "";
}

// Without an application directory there is no file: never one at the root.
ListStore::ListStore(const Config& config)
    : ListStore(config.AppDir.empty() ? fs::path() : fs::path(config.appFile(config.listDatabaseName())),
                config.CollectionMode) {}

ListStore::ListStore(fs::path databaseFile, std::string collectionMode)
    : wanted_(std::move(databaseFile)),
      assignments_(collectionMode == kModeAssignments),
      byValue_(collectionMode == kModeTrademarks) {
    // Built once per store, not per row: the look-ups of every added row use them.
    const std::string doc = NumberSql(byValue_) + " = ?1 AND Volume = ?2";
    for (ListTable t : kAllTables) {
        auto i = static_cast<std::size_t>(t);
        hasSql_[i] = Named("SELECT 1 FROM ", t, " WHERE ") + doc + " LIMIT 1";
        takeSql_[i] = Named("SELECT rowid, DocumentNo, Pages, Volume FROM ", t, " WHERE ") + doc +
                      " ORDER BY rowid LIMIT 1";
    }
}

ListStore::~ListStore() {
    Close();
}

void ListStore::Close() {
    cache_.clear();
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool ListStore::OpenDatabases() {
    Close();
    try {
        if (wanted_.empty()) return false;
        std::error_code ec;
        path_ = wanted_;
        if (!fs::exists(path_, ec)) {
            fs::path dir = wanted_.has_parent_path() ? wanted_.parent_path() : fs::path(".");
            if (auto found = FindNoCase(dir, wanted_.filename().string())) path_ = *found;
        }
        if (IsForeignFile(path_) && !MoveAside(path_)) return false;
        if (WriteProtected(path_)) return false;
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                openConnection();
                ensureSchema();
                for (const char* end : {"", "-wal", "-shm"}) ShareWithGroup(path_.string() + end);
                totals_ = countTotals();
                frames_.clear();
                broken_ = false;
                return true;
            } catch (const sql::Error& e) {
                Close();
                // A damaged file holds nothing the run needs: the lists are emptied at start.
                bool damaged = e.primary() == SQLITE_NOTADB || e.primary() == SQLITE_CORRUPT;
                if (!damaged || attempt > 0 || !MoveAside(path_)) return false;
            }
        }
    } catch (...) {
    }
    Close();
    return false;
}

void ListStore::openConnection() {
    // One thread uses a store: no locking inside SQLite on every call.
    int rc = sqlite3_open_v2(path_.c_str(), &db_,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        int code = db_ ? sqlite3_extended_errcode(db_) : rc;
        throw sql::Error(code, sqlite3_errstr(rc));
    }
    sqlite3_extended_result_codes(db_, 1);
    if (sqlite3_db_readonly(db_, "main") == 1) throw sql::Error(SQLITE_READONLY, "read-only");
    sqlite3_busy_timeout(db_, 200);
    // The lists are emptied at every start, so nothing in the file has to outlive a
    // crash of the machine, and a file damaged by one is moved aside on the next open.
    // Waiting for the disk at every commit, checkpoint and close (five syncs each
    // start, more on a new file) was most of the start-up time. Set before the
    // journal mode, so a new file's switch to WAL does not sync either.
    sql::Exec(db_, "PRAGMA synchronous=OFF");
    sql::Exec(db_, "PRAGMA journal_mode=WAL");
    // A savepoint per row of a long import keeps its undo pages in memory, not in a temporary file.
    sql::Exec(db_, "PRAGMA temp_store=MEMORY");
    // Room for a whole long import (about 6 MB for 32,000 rows with their indexes) in
    // the page cache: a smaller cache spills pages to the log mid-transaction and reads
    // them back. Memory is taken only as pages are used.
    sql::Exec(db_, "PRAGMA cache_size=-32768");
}

void ListStore::ensureSchema() {
    // IMMEDIATE: a file another process holds for writing fails here, not at the first add.
    sql::Exec(db_, "BEGIN IMMEDIATE");
    try {
        long long version = 0;
        {
            auto st = stmt("PRAGMA user_version");
            if (st.step()) version = st.int64(0);
        }
        for (ListTable t : kAllTables) {
            bool fits = true;
            int columns = 0;
            {
                auto st = stmt(Named("PRAGMA table_info(", t, ")"));
                static constexpr const char* names[] = {"DocumentNo", "Pages", "Volume"};
                static constexpr const char* types[] = {"TEXT", "INTEGER", "TEXT"};
                while (st.step()) {
                    if (columns >= 3 || UCase(st.text(1)) != UCase(names[columns]) ||
                        UCase(st.text(2)) != types[columns])
                        fits = false;
                    ++columns;
                }
            }
            bool exists = columns > 0;
            if (exists && (!fits || columns != 3 || version < 1 || version > kSchemaVersion)) {
                cache_.clear();  // statements on a dropped table must not linger
                sql::Exec(db_, Named("DROP TABLE ", t).c_str());
            }
        }
        sql::Exec(db_, kCreateTables);
        // An index made for the other collection, or by version 1, is made again.
        for (auto [name, t] : kDocumentIndexes) {
            const std::string want = std::string("CREATE INDEX ") + name + Named(" ON ", t, " (") +
                                     NumberSql(byValue_) + ", Volume)";
            std::string have;
            {
                auto st = stmt("SELECT sql FROM sqlite_master WHERE type = 'index' AND name = ?1");
                st.bind(1, name);
                if (st.step()) have = st.text(0);
            }
            if (have == want) continue;
            cache_.clear();
            sql::Exec(db_, (std::string("DROP INDEX IF EXISTS ") + name).c_str());
            sql::Exec(db_, want.c_str());
        }
        sql::Exec(db_, ("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
        sql::Exec(db_, "COMMIT");
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

ListTotals ListStore::countTotals() const {
    auto st = stmt(
        "SELECT (SELECT count(*) FROM Found), (SELECT count(*) FROM NotFound),"
        " (SELECT count(*) FROM Remaining), (SELECT coalesce(sum(Pages), 0) FROM Remaining),"
        " (SELECT count(*) FROM ToPrint), (SELECT coalesce(sum(Pages), 0) FROM ToPrint),"
        " (SELECT count(*) FROM ToExport), (SELECT coalesce(sum(Pages), 0) FROM ToExport)");
    ListTotals t;
    if (st.step()) {
        t.FoundCount = To32(st.int64(0));
        t.NotFoundCount = To32(st.int64(1));
        t.RemainingCount = To32(st.int64(2));
        t.RemainingPages = To32(st.int64(3));
        t.PrintCount = To32(st.int64(4));
        t.PrintPages = To32(st.int64(5));
        t.ExportCount = To32(st.int64(6));
        t.ExportPages = To32(st.int64(7));
    }
    return t;
}

bool ListStore::RecountTotals() {
    if (!db_ || !frames_.empty()) return false;  // inside a transaction the totals are pending
    try {
        totals_ = countTotals();
        return true;
    } catch (...) {
        return false;
    }
}

// --- transactions -----------------------------------------------------------

bool ListStore::control(const std::string& sqlText) noexcept {
    if (!db_) return false;
    try {
        stmt(sqlText).run();
        return true;
    } catch (...) {
        return false;
    }
}

ListStore::Transaction::Transaction(ListStore& store) : store_(store) {
    if (!store_.db_ || store_.broken_) return;
    if (!store_.control("SAVEPOINT velk_tx")) return;
    store_.frames_.push_back(store_.frames_.empty() ? store_.totals_ : store_.frames_.back());
    active_ = true;
}

ListStore::Transaction::~Transaction() {
    rollback();
}

ListTotals& ListStore::Transaction::pending() {
    return store_.frames_.back();
}

bool ListStore::Transaction::commit() {
    if (!active_) return false;
    if (store_.broken_ || !store_.db_ || !store_.control("RELEASE velk_tx")) {
        rollback();
        return false;
    }
    active_ = false;
    ListTotals done = store_.frames_.back();
    store_.frames_.pop_back();
    (store_.frames_.empty() ? store_.totals_ : store_.frames_.back()) = done;
    return true;
}

void ListStore::Transaction::rollback() {
    if (!active_) return;
    active_ = false;
    if (store_.db_ && store_.control("ROLLBACK TO velk_tx")) store_.control("RELEASE velk_tx");
    if (!store_.frames_.empty()) store_.frames_.pop_back();
    if (store_.frames_.empty())
        store_.broken_ = false;
    else if (!store_.db_ || sqlite3_get_autocommit(store_.db_))
        store_.broken_ = true;  // the enclosing transactions are gone too
}

bool ListStore::guarded(const std::function<bool(ListTotals&)>& body) {
    if (!db_) return false;
    try {
        if (unguarded_ && !frames_.empty()) return !broken_ && body(frames_.back());
        Transaction tx(*this);
        if (!tx.ok() || !body(tx.pending())) return false;
        return tx.commit();
    } catch (...) {
        return false;
    }
}

// --- record level -----------------------------------------------------------

// The texts of the statements every added row runs, built once per table rather
// than once per row.
template <class Build>
const std::string& PerTable(ListTable table, Build build) {
    static const auto texts = [&] {
        std::array<std::string, kAllTables.size()> a;
        for (ListTable t : kAllTables) a[static_cast<std::size_t>(t)] = build(t);
        return a;
    }();
    return texts[static_cast<std::size_t>(table)];
}

void ListStore::insert(ListTable table, const std::string& docNo, Int16 pages, const std::string& volume) {
    stmt(PerTable(table,
                  [](ListTable t) {
                      return Named("INSERT INTO ", t, " (DocumentNo, Pages, Volume) VALUES (?1, ?2, ?3)");
                  }))
        .bind(1, docNo)
        .bind(2, static_cast<long long>(pages.value()))
        .bind(3, volume)
        .run();
}

// The number field as NumberSql reads it, and the volume.
std::pair<std::string, std::string> ListStore::documentOf(const std::string& entry) const {
    const std::string e = LTrim(entry);
    const std::string number = Trim(Left(e, 9));
    return {byValue_ ? std::to_string(ValInt(number)) : number, Trim(Mid(e, 10))};
}

void ListStore::bindDocument(sql::Statement& st, const std::string& entry) const {
    auto [number, volume] = documentOf(entry);
    if (byValue_)
        st.bind(1, std::stoll(number));
    else
        st.bind(1, number);
    st.bind(2, volume);
}

std::string ListStore::DocumentKey(const std::string& entry) const {
    auto [number, volume] = documentOf(entry);
    return number + '\x1f' + volume;
}

bool ListStore::has(ListTable table, const std::string& entry) const {
    auto st = stmt(hasSql_[static_cast<std::size_t>(table)]);
    bindDocument(st, entry);
    return st.step();
}

bool ListStore::takeFirst(ListTable table, const std::string& entry, ListRow* row) {
    long long rowid = 0;
    {
        auto st = stmt(takeSql_[static_cast<std::size_t>(table)]);
        bindDocument(st, entry);
        if (!st.step()) return false;
        rowid = st.int64(0);
        if (row) *row = ListRow{st.text(1), Int16(Int16::check(st.int64(2))), st.text(3)};
    }
    stmt(Named("DELETE FROM ", table, " WHERE rowid = ?1")).bind(1, rowid).run();
    return true;
}

bool ListStore::addToList(ListTable table, const ListRow& row, ListTotals& t) {
    switch (table) {
        case ListTable::Remaining:
            insert(ListTable::Remaining, row.DocumentNo, row.Pages, row.Volume);
            insert(ListTable::RemainingOrder, row.DocumentNo, row.Pages, row.Volume);
            Bump(t.RemainingCount, 1);
            Bump(t.RemainingPages, row.Pages);
            return true;
        case ListTable::ToPrint:
            insert(table, row.DocumentNo, row.Pages, row.Volume);
            Bump(t.PrintCount, 1);
            Bump(t.PrintPages, row.Pages);
            return true;
        case ListTable::ToExport:
            insert(table, row.DocumentNo, row.Pages, row.Volume);
            Bump(t.ExportCount, 1);
            Bump(t.ExportPages, row.Pages);
            return true;
        default:
            return false;
    }
}

bool ListStore::takeFromList(ListTable table, const std::string& entry, ListRow& row, ListTotals& t) {
    switch (table) {
        case ListTable::Remaining:
            // The sorted copy goes with the entry, but only when the entry itself is there.
            if (!has(ListTable::Remaining, entry)) return false;
            takeFirst(ListTable::RemainingOrder, entry, nullptr);
            takeFirst(ListTable::Remaining, entry, &row);
            Bump(t.RemainingCount, -1);
            Bump(t.RemainingPages, -row.Pages);
            return true;
        case ListTable::ToPrint:
            if (!takeFirst(table, entry, &row)) return false;
            Bump(t.PrintCount, -1);
            Bump(t.PrintPages, -row.Pages);
            return true;
        case ListTable::ToExport:
            if (!takeFirst(table, entry, &row)) return false;
            Bump(t.ExportCount, -1);
            Bump(t.ExportPages, -row.Pages);
            return true;
        default:
            return false;
    }
}

// --- operations -------------------------------------------------------------

bool ListStore::waiting(const std::string& entry, const ListTotals& t) const {
    // Empty batch lists, as during an import, are not looked in.
    return has(ListTable::Remaining, entry) || (t.PrintCount > 0 && has(ListTable::ToPrint, entry)) ||
           (t.ExportCount > 0 && has(ListTable::ToExport, entry));
}

bool ListStore::AddToFound(std::string& entry, Int16 pages) {
    std::string volume = Trim(Mid(entry, 10));
    std::string stored = assignments_ ? Left(entry, 4) + Mid(entry, 6, 4) + " " + volume : entry;
    bool ok = guarded([&](ListTotals& t) {
        insert(ListTable::Found, stored, pages, volume);
        insert(ListTable::FoundOrder, stored, pages, volume);
        Bump(t.FoundCount, 1);
        // Found again after it left Found but not the batch lists: it waits there already.
        if (waiting(stored, t)) return true;
        return addToList(ListTable::Remaining, {stored, pages, volume}, t);
    });
    if (ok) entry = stored;
    return ok;
}

bool ListStore::AddToRemaining(const std::string& entry, Int16 pages) {
    return guarded([&](ListTotals& t) {
        return addToList(ListTable::Remaining, {entry, pages, Trim(Mid(entry, 10))}, t);
    });
}

bool ListStore::AddToPrint(const std::string& entry, Int16 pages) {
    return guarded([&](ListTotals& t) {
        return addToList(ListTable::ToPrint, {entry, pages, Trim(Mid(entry, 10))}, t);
    });
}

bool ListStore::AddToExport(const std::string& entry, Int16 pages) {
    return guarded([&](ListTotals& t) {
        return addToList(ListTable::ToExport, {entry, pages, Trim(Mid(entry, 10))}, t);
    });
}

bool ListStore::AddToNotFound(const std::string& docNo, Int16 pages) {
    return guarded([&](ListTotals& t) {
        insert(ListTable::NotFound, docNo, pages, "");
        Bump(t.NotFoundCount, 1);
        return true;
    });
}

bool ListStore::RemFromFound(const std::string& entry) {
    return guarded([&](ListTotals& t) {
        if (!has(ListTable::Found, entry)) return false;
        takeFirst(ListTable::FoundOrder, entry, nullptr);
        takeFirst(ListTable::Found, entry, nullptr);
        Bump(t.FoundCount, -1);
        return true;
    });
}

bool ListStore::removeFrom(ListTable table, const std::string& entry, Int16& pages) {
    ListRow row;
    bool ok = guarded([&](ListTotals& t) { return takeFromList(table, entry, row, t); });
    if (ok) pages = row.Pages;
    return ok;
}

bool ListStore::RemFromRemaining(const std::string& entry, Int16& pages) {
    return removeFrom(ListTable::Remaining, entry, pages);
}

bool ListStore::RemFromPrint(const std::string& entry, Int16& pages) {
    return removeFrom(ListTable::ToPrint, entry, pages);
}

bool ListStore::RemFromExport(const std::string& entry, Int16& pages) {
    return removeFrom(ListTable::ToExport, entry, pages);
}

bool ListStore::AddAndTakeOffRemaining(ListTable target, const std::string& entry, Int16 pages) {
    if (target != ListTable::ToPrint && target != ListTable::ToExport) return false;
    return guarded([&](ListTotals& t) {
        if (!addToList(target, {entry, pages, Trim(Mid(entry, 10))}, t)) return false;
        ListRow taken;
        takeFromList(ListTable::Remaining, entry, taken, t);  // not being there is fine
        return true;
    });
}

bool ListStore::Move(ListTable from, ListTable to, const std::string& entry) {
    if (from == to || !IsListTable(from) || !IsListTable(to)) return false;
    return guarded([&](ListTotals& t) {
        ListRow row;
        if (!takeFromList(from, entry, row, t)) return false;
        // Remaining holds a document once, and only while it is on neither batch list:
        // taken off To Print and To Export in turn, or off one while on the other, it
        // would be printed or exported twice.
        if (to == ListTable::Remaining && waiting(entry, t)) return true;
        return addToList(to, row, t);
    });
}

bool ListStore::ClearTables(bool showProgress, const ProgressFn& progress,
                            const std::function<void(const std::string&)>& message) {
    if (showProgress && message) {
        try {
            message("Clearing tables...");
        } catch (...) {
        }
    }
    static constexpr ListTable order[] = {
        ListTable::Found,    ListTable::NotFound,   ListTable::Remaining,     ListTable::ToPrint,
        ListTable::ToExport, ListTable::FoundOrder, ListTable::RemainingOrder};
    Transaction tx(*this);
    bool all = tx.ok();
    int step = 0;
    for (ListTable table : order) {
        if (tx.ok()) {
            try {
                stmt(Named("DELETE FROM ", table)).run();
            } catch (...) {
                all = false;  // the other tables are still emptied
            }
        }
        if (showProgress && progress) {
            try {
                progress(7, ++step);
            } catch (...) {
            }
        }
    }
    if (!tx.ok()) return false;
    try {
        // Counted, not zeroed: a table that failed to empty keeps its records and totals.
        tx.pending() = countTotals();
    } catch (...) {
        return false;
    }
    return tx.commit() && all;
}

// --- reads ------------------------------------------------------------------

std::vector<ListRow> ListStore::select(ListTable table, const char* orderBy) const {
    std::vector<ListRow> rows;
    if (!db_) return rows;
    try {
        auto st = stmt(Named("SELECT DocumentNo, Pages, Volume FROM ", table, " ORDER BY ") + orderBy);
        while (st.step()) rows.push_back({st.text(0), Int16(Int16::check(st.int64(1))), st.text(2)});
    } catch (...) {
        rows.clear();
    }
    return rows;
}

std::vector<ListRow> ListStore::Rows(ListTable table) const {
    return select(table, "rowid");
}

std::vector<ListRow> ListStore::RowsByVolume(ListTable table) const {
    return select(table, "Volume, rowid");
}

std::vector<ListRow> ListStore::RowsSorted(ListTable table) const {
    static const std::string byText = NumberSql(false) + ", trim(DocumentNo), rowid";
    static const std::string byValue = NumberSql(true) + ", trim(DocumentNo), rowid";
    return select(table, (byValue_ ? byValue : byText).c_str());
}

long long ListStore::Count(ListTable table) const {
    if (!db_) return 0;
    try {
        auto st = stmt(Named("SELECT count(*) FROM ", table));
        return st.step() ? st.int64(0) : 0;
    } catch (...) {
        return 0;
    }
}

bool ListStore::Contains(ListTable table, const std::string& entry) const {
    if (!db_) return false;
    try {
        return has(table, entry);
    } catch (...) {
        return false;
    }
}

std::unordered_set<std::string> ListStore::ListedKeys() const {
    std::unordered_set<std::string> keys;
    if (!db_) return keys;
    const std::string key = NumberSql(byValue_) + ", Volume FROM ";
    try {
        auto st = stmt("SELECT " + key + "Found UNION SELECT " + key + "RemainingOrder");
        while (st.step())
            keys.insert((byValue_ ? std::to_string(st.int64(0)) : st.text(0)) + '\x1f' + st.text(1));
    } catch (...) {
        // As Contains: a list that cannot be read holds nothing.
    }
    return keys;
}

}  // namespace velk

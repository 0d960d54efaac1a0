#pragma once
// The working lists: seven tables in one SQLite file per collection and the
// running totals that go with them. Every other floor changes the lists only
// through these operations. Operations trap their errors and return false without
// any message; the caller decides what to show.
#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/int16.h"
#include "lists/sqlite_util.h"
#include "platform/config.h"
#include "platform/progress.h"

namespace velk {

enum class ListTable { Found, FoundOrder, NotFound, Remaining, RemainingOrder, ToPrint, ToExport };

// The table's name in the file ("Found", "ToPrint", ...).
const char* TableName(ListTable table);

struct ListRow {
    std::string DocumentNo;  // entry text: number in columns 1 to 9, volume from column 10
    Int16 Pages;
    std::string Volume;
    bool operator==(const ListRow&) const = default;
};

// 32-bit, so that a long list can never make an add fail half-way.
struct ListTotals {
    int32_t FoundCount = 0;
    int32_t NotFoundCount = 0;
    int32_t RemainingCount = 0;
    int32_t RemainingPages = 0;
    int32_t PrintCount = 0;
    int32_t PrintPages = 0;
    int32_t ExportCount = 0;
    int32_t ExportPages = 0;
    bool operator==(const ListTotals&) const = default;
};

class ListStore {
public:
    // The collection's file at AppDir & listDatabaseName().
    explicit ListStore(const Config& config);
    // A file of one's choosing (tools, tests); collectionMode as Config::CollectionMode.
    ListStore(std::filesystem::path databaseFile, std::string collectionMode);
    ~ListStore();
    ListStore(const ListStore&) = delete;
    ListStore& operator=(const ListStore&) = delete;

    // Opens (or creates) the file, creating missing tables and indexes. A file that
    // is not SQLite is moved aside under a ".old" name and a new one is created. A
    // read-only or locked file gives false. Totals are recounted from the tables.
    bool OpenDatabases();
    void Close();
    bool isOpen() const { return db_ != nullptr; }
    // The file in use (after OpenDatabases: the spelling found on disk).
    const std::filesystem::path& path() const { return path_; }

    // In the assignments collection the entry is rewritten without its column 5
    // separator (columns 1-4, 6-9, one space, the volume) once the add committed.
    bool AddToFound(std::string& entry, Int16 pages);
    bool AddToRemaining(const std::string& entry, Int16 pages);
    bool AddToPrint(const std::string& entry, Int16 pages);
    bool AddToExport(const std::string& entry, Int16 pages);
    // The import's record of a number the index does not hold; keeps NotFoundCount.
    bool AddToNotFound(const std::string& docNo, Int16 pages);

    // Look-ups and removals go by document: the number (columns 1 to 9) and the
    // volume (column 10 on) of the entry, whatever its blanks; a trademark number by
    // its value, so "123456   T01" and "0123456  T01" are one document. Removals take
    // the first such record (in entry order) and keep the totals of their list.
    bool RemFromFound(const std::string& entry);
    bool RemFromRemaining(const std::string& entry, Int16& pages);
    bool RemFromPrint(const std::string& entry, Int16& pages);
    bool RemFromExport(const std::string& entry, Int16& pages);

    // Empties all seven tables in one transaction and zeroes the totals. With
    // showProgress, message gets "Clearing tables..." and progress gets (7, 1..7).
    // Never reports an error; false when the tables could not be emptied.
    bool ClearTables(bool showProgress = false, const ProgressFn& progress = {},
                     const std::function<void(const std::string&)>& message = {});

    // Adds to ToPrint or ToExport, then takes the document off Remaining when it is
    // there; one transaction. True when the add was done.
    bool AddAndTakeOffRemaining(ListTable target, const std::string& entry, Int16 pages);
    // Moves the first matching record between Remaining, ToPrint and ToExport, as
    // stored; one transaction, so a failed add leaves the document where it was.
    bool Move(ListTable from, ListTable to, const std::string& entry);

    // Reads. On a database error they give what an empty list gives.
    std::vector<ListRow> Rows(ListTable table) const;          // entry order
    std::vector<ListRow> RowsByVolume(ListTable table) const;  // Volume, then entry order
    std::vector<ListRow> RowsSorted(ListTable table) const;    // number (trademarks: value), then entry order
    long long Count(ListTable table) const;
    bool Contains(ListTable table, const std::string& entry) const;
    // The documents on Found or on Remaining (an entry removed from Found may still wait
    // there), each by DocumentKey: an import asks this of every row, and one read of the
    // lists costs less than two seeks a row.
    std::unordered_set<std::string> ListedKeys() const;
    // What names the document of an entry text, whichever form the text has.
    std::string DocumentKey(const std::string& entry) const;

    // Committed totals.
    const ListTotals& totals() const { return totals_; }
    int32_t FoundCount() const { return totals_.FoundCount; }
    int32_t NotFoundCount() const { return totals_.NotFoundCount; }
    int32_t RemainingCount() const { return totals_.RemainingCount; }
    int32_t RemainingPages() const { return totals_.RemainingPages; }
    int32_t PrintCount() const { return totals_.PrintCount; }
    int32_t PrintPages() const { return totals_.PrintPages; }
    int32_t ExportCount() const { return totals_.ExportCount; }
    int32_t ExportPages() const { return totals_.ExportPages; }
    // Sets the totals again from the records (the list loaders do this).
    bool RecountTotals();

    // Groups several operations into one transaction; nests. Totals change only when
    // the outermost guard commits; a guard that goes without commit() rolls back.
    class Transaction {
    public:
        explicit Transaction(ListStore& store);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        bool ok() const { return active_; }
        bool commit();
        void rollback();

    private:
        friend class ListStore;
        ListTotals& pending();
        ListStore& store_;
        bool active_ = false;
    };

    // Inside an open Transaction, the single operations skip their own savepoint while one
    // of these lives: a long run of adds then costs one savepoint, and the caller undoes the
    // whole Transaction when any add fails (an operation that fails halfway is not undone).
    class Unguarded {
    public:
        explicit Unguarded(ListStore& store) : store_(store), was_(store.unguarded_) {
            store_.unguarded_ = !store_.frames_.empty();
        }
        ~Unguarded() { store_.unguarded_ = was_; }
        Unguarded(const Unguarded&) = delete;
        Unguarded& operator=(const Unguarded&) = delete;

    private:
        ListStore& store_;
        bool was_;
    };

private:
    friend class Transaction;

    void openConnection();
    void ensureSchema();
    ListTotals countTotals() const;
    // Runs body inside its own transaction; any error rolls back and gives false.
    bool guarded(const std::function<bool(ListTotals&)>& body);
    void insert(ListTable table, const std::string& docNo, Int16 pages, const std::string& volume);
    // Deletes the first record matching entry; its row, or false when none matched.
    bool takeFirst(ListTable table, const std::string& entry, ListRow* row);
    bool has(ListTable table, const std::string& entry) const;  // throws on a database error
    bool waiting(const std::string& entry, const ListTotals& t) const;  // on Remaining, To Print or To Export
    // Binds the document an entry names: ?1 its number (columns 1 to 9 after any
    // leading blanks; trademarks: the value), ?2 its volume (column 10 on).
    void bindDocument(sql::Statement& st, const std::string& entry) const;
    std::pair<std::string, std::string> documentOf(const std::string& entry) const;
    bool addToList(ListTable table, const ListRow& row, ListTotals& t);
    bool takeFromList(ListTable table, const std::string& entry, ListRow& row, ListTotals& t);
    bool removeFrom(ListTable table, const std::string& entry, Int16& pages);
    std::vector<ListRow> select(ListTable table, const char* orderBy) const;
    sql::Statement stmt(const std::string& sqlText) const { return cache_.get(db_, sqlText); }
    // A savepoint statement, prepared once: parsing it twice for every row added was a
    // fifth of a long import. False on any error.
    bool control(const std::string& sqlText) noexcept;

    std::filesystem::path wanted_;  // the path as named, before the case-insensitive look-up
    std::filesystem::path path_;
    bool assignments_ = false;
    bool byValue_ = false;                         // trademarks: one document per number value
    std::array<std::string, 7> hasSql_, takeSql_;  // per table
    sqlite3* db_ = nullptr;
    mutable sql::StatementCache cache_;
    ListTotals totals_;
    std::deque<ListTotals> frames_;  // pending totals of each open transaction (stable references)
    bool broken_ = false;            // SQLite rolled the whole transaction back under us
    bool unguarded_ = false;         // see Unguarded
};

}  // namespace velk

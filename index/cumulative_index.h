#pragma once
// The collection's cumulative index: 26-byte records of document number (8),
// volume (10) and page count (6), sorted by number (patents: character codes;
// trademarks: numeric value). Look-ups read only the records they probe; a whole
// imported table reads the file once.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/int16.h"
#include "index/import_table.h"
#include "index/record_file.h"

namespace velk {

struct App;

inline constexpr int kCumRecordLength = 26;
// A cumulative index up to this size is read whole for an import check; the largest
// collections are about 2,000,000 records (52 MB).
inline constexpr std::uint64_t kCumPreloadLimit = 64ull << 20;

// One record, fields as stored (fixed width, blank-padded).
struct CumRecord {
    std::string DocNo;   // 8
    std::string Volume;  // 10
    std::string Pages;   // 6
};
CumRecord ParseCumRecord(std::string_view bytes);
// The record's page count (its trimmed pages field, rounded); throws RuntimeError 6
// past the 16-bit range.
Int16 RecordPages(const CumRecord& r);
// Whether the record has at least one page; a blank or zero count has none.
bool HasPages(const CumRecord& r);

// How a collection's index is ordered; assignments are browsed, never searched.
enum class CumOrder { ByText, ByValue, None };
CumOrder CumOrderOf(const std::string& collectionMode);

// An index file opened read-only.
class CumIndexFile {
public:
    explicit CumIndexFile(const std::filesystem::path& nativePath) : file_(nativePath, kCumRecordLength) {}
    std::int32_t count() const { return file_.count(); }
    CumRecord record(std::int32_t n) { return ParseCumRecord(file_.read(n)); }
    long reads() const { return file_.reads(); }
    bool preload(std::uint64_t maxBytes = kCumPreloadLimit) { return file_.preload(maxBytes); }
    RecordFile& file() { return file_; }

private:
    RecordFile file_;
};

// The current collection's index (Config::CurrentIndexPath through the path layer).
// Throws RuntimeError when it cannot be opened.
CumIndexFile OpenCumIndex(const App& app);

// Where a search stopped: the matching record, or the last record probed (0 when
// nothing was probed).
struct CumSearch {
    bool found = false;
    std::int32_t record = 0;
    CumRecord rec;
};

// The find dialog's search of the patent index: a record matches when its trimmed
// number begins with the key. When the record first matched is longer than the
// key, the record equal to the key (it sorts first in the run of matches) wins when
// the index holds it, so a complete number never lands on a longer one.
CumSearch SearchByPrefix(CumIndexFile& index, std::string_view key);
// The import's search of the patent index: the trimmed number equals the key.
CumSearch SearchExact(CumIndexFile& index, std::string_view key);
// The trademark search: numeric values are equal.
CumSearch SearchByValue(CumIndexFile& index, std::string_view key);

// The page count of the record matching key (trimmed by the caller), -2 when
// nothing matches or the index cannot be read, 1 in the assignments collection.
// Sets App::LastCumRecord to the record where the search stopped, except after an
// error.
Int16 FindInCum(App& app, const std::string& key);

// Marks every row of table against the index: "Y" with the entry text rewritten,
// pages and volume filled, or "N" (also for a record without pages). With progress, reports on the import's
// form. An error ends the check (rows not reached keep an empty flag); false then.
bool CumIndex(App& app, ImportTable& table, const ImportProgress* progress = nullptr);

// Entry texts: number in columns 1 to 9, volume from column 10.
std::string FindEntryText(const CumRecord& r);          // number 8, " ", volume 10
std::string AssignListEntryText(const CumRecord& r);    // "rrrr/ffff", " ", volume 10
std::string AssignStoredEntryText(const CumRecord& r);  // "rrrrffff", " ", trimmed volume
std::string PatentImportEntryText(const std::string& number, const std::string& volume);
// The value with at least 7 digits, left-aligned in 9 columns (at least one blank), then the volume.
std::string TrademarkImportEntryText(long long value, const std::string& volume);
// The document number of an entry (the text before its first space; an assignments
// list line "rrrr/ffff" gives "rrrrffff") and its volume (column 10 on, trimmed).
std::string EntryDocNo(const std::string& entry);
std::string EntryVolume(const std::string& entry);

}  // namespace velk

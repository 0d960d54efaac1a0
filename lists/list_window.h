#pragma once
// The list window's model: which list it shows and under which texts, the output
// line of an entry, and the copy, print and save of a list. The window only reads
// its controls and calls these.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "lists/list_store.h"
#include "platform/drives.h"

namespace velk {

struct App;
class Printer;

enum class ListType { Found, NotFound, Remaining };

// "FOUND", "NOT FOUND", "REMAINING"; nullopt for any other text.
std::optional<ListType> ListTypeFromText(const std::string& text);

struct ListTexts {
    const char* caption;
    const char* copyHeading;
    const char* printHeading;
    const char* saveHeading;
};
const ListTexts& TextsOf(ListType type);

// The entry texts of a list, in the order the window shows them (the Found list
// sorted when the find dialog's sort option is on). The totals are recounted from
// the records, as every loader does.
std::vector<std::string> LoadListEntries(ListStore& store, ListType type, bool foundSorted);
// The count the window shows for the list.
std::int32_t ListCount(const ListStore& store, ListType type);

// With volumes the whole entry text; otherwise up to and including its first space
// (the whole text when it holds none).
std::string OutputLine(const std::string& entry, bool includeVolume);

// The bar's percentage after entry `done` of `total`, rounded; 32-bit, so a long
// list never wraps.
int ProgressPercent(std::int64_t done, std::int64_t total);
// Called after each entry with the percentage (0 to 100).
using PercentFn = std::function<void(int percent)>;

// The text Copy puts on the clipboard, lines ending in CR LF.
std::string ListCopyText(ListType type, const std::vector<std::string>& entries, bool includeVolume,
                         const std::string& date, const std::string& time, const PercentFn& percent = {});
// The content of a saved "DOCS" file, lines ending in CR LF.
std::string ListSaveText(ListType type, const std::vector<std::string>& entries, bool includeVolume,
                         const std::string& date, const std::string& time, const PercentFn& percent = {});

// Printer layout, in twips.
inline constexpr int kListPageX = 10000;    // "Page n"
inline constexpr int kListSecondX = 6000;   // the second entry of a line
inline constexpr int kListLinesPerPage = 56;
inline constexpr int kListLineHeight = 240;  // 10-point text, 12-point lines
inline constexpr const char* kListFont = "Courier New";
inline constexpr int kListFontSize = 10;

// Paper code of a PAGE_TYPE value (letter for anything unknown).
int PaperCodeOf(const std::string& pageType);

// Prints the list: heading, page number and date on the first page, two entries a
// line, a new page after 56 lines of entries (only when another line follows), then
// ends the document. False when the printer could not finish it.
bool PrintList(Printer& printer, ListType type, const std::vector<std::string>& entries, bool includeVolume,
               const std::string& pageType, const std::string& date, const std::string& time,
               const PercentFn& percent = {});

// "DOCS0001.TXT" upwards: the first name that does not exist in dir.
std::string ProposedDocsName(const std::filesystem::path& dir);

// Writes the file under a temporary name in its directory and renames it when
// complete, replacing any existing file; a failure leaves neither a partial file
// nor a changed old one. Throws RuntimeError with the system's reason.
void WriteDocsFile(const std::filesystem::path& file, const std::string& content);

inline constexpr const char* kNoRecordsFound = "No Records Found";

}  // namespace velk

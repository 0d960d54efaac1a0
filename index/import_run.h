#pragma once
// The import of a number list: the clipboard reader, the moves of a checked table
// into the Found and Not Found lists, and the whole run from the source to the
// stored lists, with its progress, Cancel and closing message. No widgets here: the
// dialog and its progress form only read and write their controls.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "index/import_file.h"
#include "index/import_table.h"

namespace velk {

struct App;
class ListStore;

// Fills table with the tokens of the clipboard text (ListTokens). False (table empty)
// when the text holds nothing but separators.
bool ReadClipboardList(const std::string& clipboardText, ImportTable& table);

// Whether a row the index does not hold goes into the Not Found list, judged on its
// entry text as read: a kind letter (Quorvel only) followed by a digit or one of
// D d R P E, or a digit and at least 7 characters. Kind letters in the other
// collections are never recorded, as their file reader never takes them.
bool RecordedAsNotFound(const std::string& entry, const std::string& collectionMode);

// What a run did, row by row.
struct ImportCounts {
    std::int32_t rows = 0;           // rows of the table
    std::int32_t found = 0;          // added to Found and Remaining
    std::int32_t alreadyListed = 0;  // found, but already on the Found or Remaining list
    std::int32_t notFound = 0;       // added to Not Found
    // Numbers that are in neither list: left out by the file reader, or not found and
    // no document number by the rules above; with the first few of them as read.
    std::int32_t ignored = 0;
    std::vector<std::string> ignoredFirst;
    std::int32_t dropped = 0;  // rows that failed (unchecked, bad pages, database error)
    std::int32_t read() const { return found + alreadyListed + notFound + ignored + dropped; }
    void ignore(const std::string& number) {
        ++ignored;
        if (ignoredFirst.size() < kIgnoredShown) ignoredFirst.push_back(number);
    }
};

// Raised by a progress hook when the user cancelled; the run rolls everything back.
struct ImportCancelled : std::exception {
    const char* what() const noexcept override { return "import cancelled"; }
};

// The progress form as the run sees it.
struct ImportHooks {
    std::function<void(const std::string&)> message;  // lblMsg, repainted
    std::function<void(std::int32_t total, std::int32_t current)> advance;
    std::function<bool()> cancelled;  // true once Cancel was pressed
};

// Rows marked "Y" into Found, FoundOrder, Remaining and RemainingOrder unless the
// Remaining list already holds them (an index seek), and rows marked "N" that are
// document numbers into Not Found. A row the store refuses is counted as dropped and
// the loop goes on; the others are stored. The event pump runs every
// few rows; a cancel raises ImportCancelled.
void Clip2Found(App& app, ImportTable& table, ImportCounts& counts, const ImportHooks* hooks = nullptr);
void Clip2NotFound(App& app, ImportTable& table, ImportCounts& counts, const ImportHooks* hooks = nullptr);

enum class ImportSourceKind { File, Clipboard };

struct ImportRequest {
    ImportSourceKind source = ImportSourceKind::File;
    std::string path;           // as the user gave it (Windows or native); File only
    std::string clipboardText;  // Clipboard only
    bool clearLists = false;
};

struct ImportResult {
    // NotText and NoNumbers, like Unreadable, leave the lists as they were.
    enum Outcome { Processed, Unreadable, ClipboardEmpty, Cancelled, NotText, NoNumbers };
    Outcome outcome = Unreadable;
    ImportCounts counts;
    bool truncated = false;           // the file went on past the row limit
    std::vector<std::string> errors;  // "description number" of steps that failed as a whole
    // Rows of a processed import left out of both lists.
    bool incomplete() const { return counts.dropped > 0 || !errors.empty(); }
};

// The native file an import path names: through the path layer; a relative path
// is taken inside IMPORT_PATH. Empty when the drive is not ready.
std::string ImportNativePath(const App& app, const std::string& importPath);

// Checks a table just read against the cumulative index and stores the results, in
// one transaction with the clearing of the lists when asked. A table without one
// number ends NoNumbers before anything is cleared. A cancel raises ImportCancelled
// after the rollback.
void StoreImport(App& app, ImportTable& table, bool clearLists, const ImportHooks& hooks,
                 ImportResult& result);

// Reads the source, checks it against the cumulative index and stores the results,
// in one transaction with the clearing of the lists when asked: a failed read or a
// cancel leaves the lists as they were.
ImportResult RunImport(App& app, const ImportRequest& request, const ImportHooks& hooks);

// What a run did, one count a line: numbers read, added to Found, already listed,
// not found, ignored (with the first few ignored ones).
std::string ImportCountLines(const ImportCounts& counts);
// The closing message of a processed import, with the counts after it.
std::string ImportFinishedText(const ImportResult& result, std::int32_t foundCount);
// Why an import that was not processed stopped, naming the source (the file as the
// user gave it, or "Clipboard"); empty after a cancel.
std::string ImportRefusedText(const ImportResult& result, const std::string& sourceName);

inline constexpr const char* kImportNotProcessed = "Import not processed";
inline constexpr const char* kClipboardEmpty = "The Clipboard is empty!";
inline constexpr const char* kInsertDiskette = "Please insert a diskette in the drive.";
inline constexpr const char* kUnableToReadFile = "Unable to read file ";
inline constexpr const char* kChooseAFile = "Choose a file to import";

}  // namespace velk

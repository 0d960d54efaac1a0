#include "index/import_run.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <optional>
#include <unordered_set>
#include <vector>

#include "common/runtime_error.h"
#include "common/vb_text.h"
#include "index/cumulative_index.h"
#include "lists/list_store.h"
#include "platform/app.h"

namespace velk {

namespace {

// Rows between two pumps of the event loop: often enough that Cancel answers at
// once, rarely enough that the pump costs nothing beside the rows.
constexpr int kPumpRows = 64;
// Rows stored on one savepoint by an import.
constexpr int kGroupRows = 256;

bool KindLetter(char c) {
    return c == 'D' || c == 'H' || c == 'T' || c == 'P' || c == 'R' || c == 'B';
}
bool Digit(char c) {
    return c >= '0' && c <= '9';
}
bool HoldsDigit(const std::string& s) {
    return s.find_first_of("0123456789") != std::string::npos;
}

// Pumps the event loop every few rows and raises ImportCancelled after a Cancel.
class Pacer {
public:
    Pacer(App& app, const ImportHooks* hooks) : app_(app), hooks_(hooks) {}
    void row(std::int32_t total, std::int32_t current) {
        if (hooks_ && hooks_->advance) hooks_->advance(total, current);
        if (++rows_ % kPumpRows == 0) check();
    }
    void check() {
        app_.DoEvents();
        if (hooks_ && hooks_->cancelled && hooks_->cancelled()) throw ImportCancelled();
    }
    void message(const std::string& text) const {
        if (hooks_ && hooks_->message) hooks_->message(text);
    }

private:
    App& app_;
    const ImportHooks* hooks_;
    long rows_ = 0;
};

Int16 PagesOf(const ImportRow& row) {
    return CInt(Val(Trim(row.Pages)));
}

// Stores the rows through add in groups on one savepoint each (a savepoint a row was a
// tenth of a long import). add gives false when the store refused a row: its group is
// then undone, with the counts, and stored again row by row, each row on a savepoint of
// its own, so a bad row costs only itself. forget(undone) ends each group.
template <class Add, class Forget>
void AddInGroups(App& app, const ImportTable& table, ImportCounts& counts, Pacer& pace, Add add,
                 Forget forget) {
    const auto total = static_cast<std::int32_t>(table.size());
    for (std::int32_t first = 1; first <= total; first += kGroupRows) {
        const std::int32_t last = std::min(total, first + kGroupRows - 1);
        if (app.lists) {
            const ImportCounts before = counts;
            ListStore::Transaction group(*app.lists);
            bool clean = group.ok();
            {
                ListStore::Unguarded oneSavepoint(*app.lists);
                for (std::int32_t i = first; clean && i <= last; ++i) {
                    clean = add(table.rows[static_cast<std::size_t>(i - 1)]);
                    pace.row(total, i);
                }
            }
            if (clean && group.commit()) {
                forget(false);
                continue;
            }
            group.rollback();
            counts = before;
            forget(true);
        }
        for (std::int32_t i = first; i <= last; ++i) {
            add(table.rows[static_cast<std::size_t>(i - 1)]);
            pace.row(total, i);
        }
        forget(false);
    }
}

}  // namespace

bool ReadClipboardList(const std::string& clipboardText, ImportTable& table) {
    table.clear();
    for (std::string_view token : ListTokens(clipboardText)) table.add(std::string(token));
    return !table.rows.empty();
}

bool RecordedAsNotFound(const std::string& entry, const std::string& collectionMode) {
    if (entry.empty()) return false;
    const char first = entry.front();
    if (KindLetter(first)) {
        if (collectionMode != kModePatents || entry.size() < 2) return false;
        const char second = entry[1];
        return Digit(second) || second == 'D' || second == 'd' || second == 'R' || second == 'P' ||
               second == 'E';
    }
    return Digit(first) && entry.size() >= 7;
}

void Clip2Found(App& app, ImportTable& table, ImportCounts& counts, const ImportHooks* hooks) {
    Pacer pace(app, hooks);
    pace.message("Adding data to Found table...");
    std::optional<std::unordered_set<std::string>> listed;
    std::vector<std::string> added;  // keys listed by the current group
    auto add = [&](const ImportRow& row) {
        if (Trim(row.Found) != "Y") return true;
        try {
            const Int16 pages = PagesOf(row);
            if (!app.lists) throw RuntimeError(kErrInvalidCall);
            // A document on Found but printed or exported since is listed too.
            if (!listed) listed = app.lists->ListedKeys();
            std::string key = app.lists->DocumentKey(row.EntryText);
            if (listed->contains(key)) {
                ++counts.alreadyListed;
                return true;
            }
            std::string entry = row.EntryText;
            if (!app.lists->AddToFound(entry, pages)) {
                ++counts.dropped;
                return false;
            }
            ++counts.found;
            added.push_back(key);
            listed->insert(std::move(key));
        } catch (const RuntimeError&) {
            ++counts.dropped;  // a page count out of range: this row only
        }
        return true;
    };
    AddInGroups(app, table, counts, pace, add, [&](bool undone) {
        if (undone)
            for (const std::string& key : added) listed->erase(key);
        added.clear();
    });
}

void Clip2NotFound(App& app, ImportTable& table, ImportCounts& counts, const ImportHooks* hooks) {
    Pacer pace(app, hooks);
    pace.message("Adding data to Not Found table...");
    auto add = [&](const ImportRow& row) {
        if (Trim(row.Found) != "N" || row.EntryText.empty() || row.EntryText == " ") return true;
        if (!RecordedAsNotFound(row.EntryText, app.config.CollectionMode)) {
            // A word among the numbers is no number: only one with a digit is counted.
            if (HoldsDigit(row.EntryText)) counts.ignore(row.EntryText);
            return true;
        }
        try {
            const Int16 pages = PagesOf(row);
            if (app.lists && app.lists->AddToNotFound(KeepAlnum(row.EntryText), pages)) {
                ++counts.notFound;
                return true;
            }
        } catch (const RuntimeError&) {
            ++counts.dropped;  // a page count out of range: this row only
            return true;
        }
        ++counts.dropped;
        return false;
    };
    AddInGroups(app, table, counts, pace, add, [](bool) {});
}

std::string ImportNativePath(const App& app, const std::string& importPath) {
    std::string path = Trim(importPath);
    if (path.empty()) return {};
    const bool lettered =
        path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
    if (!lettered && path.front() != '/' && path.front() != '\\') {
        // Typed without a directory: inside the import directory, never the working one.
        std::string dir = Trim(app.config.ImportPath);
        if (dir.empty()) return {};
        if (dir.back() != '\\' && dir.back() != '/') dir += '\\';
        path = dir + path;
    }
    auto native = app.drives.resolve(path);
    return native ? native->string() : std::string();
}

void StoreImport(App& app, ImportTable& table, bool clearLists, const ImportHooks& hooks, ImportResult& r) {
    Pacer pace(app, &hooks);
    r.counts.rows = static_cast<std::int32_t>(table.size());
    r.counts.ignored = table.ignored;
    r.counts.ignoredFirst = table.ignoredFirst;
    // Judged before anything is cleared: a list without one number changes nothing.
    if (std::none_of(table.rows.begin(), table.rows.end(), [&](const ImportRow& row) {
            return HoldsDigit(row.EntryText) || RecordedAsNotFound(row.EntryText, app.config.CollectionMode);
        })) {
        r.outcome = ImportResult::NoNumbers;
        return;
    }

    r.outcome = ImportResult::Processed;
    if (!app.lists) {
        r.errors.push_back(RuntimeError(kErrInvalidCall).report());
        r.counts.dropped = r.counts.rows;
        return;
    }
    // The clearing, the check and both lists are one transaction: a cancel or a
    // failed commit leaves the lists as they were before the import.
    ListStore::Transaction tx(*app.lists);
    if (!tx.ok()) r.errors.push_back(RuntimeError(kErrDeviceIO).report());
    if (clearLists) {
        auto progress = [&](int total, int current) {
            if (hooks.advance) hooks.advance(total, current);
        };
        if (!app.lists->ClearTables(true, progress, hooks.message))
            r.errors.push_back(RuntimeError(kErrDeviceIO).report());
        pace.check();
    }

    bool checkable = true;
    try {
        OpenCumIndex(app).count();
    } catch (const RuntimeError& e) {
        r.errors.push_back(e.report());
        checkable = false;
    }
    if (checkable) {
        bool cancelled = false;
        ImportProgress progress;
        progress.message = hooks.message;
        progress.advance = [&](int total, int current) {
            try {
                pace.row(total, current);
            } catch (const ImportCancelled&) {
                cancelled = true;
                throw;
            }
        };
        if (!CumIndex(app, table, &progress)) {
            if (cancelled) throw ImportCancelled();
            r.errors.push_back(kUnableToReadFile + app.config.CurrentIndexPath);
        }
    }

    Clip2Found(app, table, r.counts, &hooks);
    Clip2NotFound(app, table, r.counts, &hooks);
    for (const ImportRow& row : table.rows)
        if (Trim(row.Found).empty()) ++r.counts.dropped;  // the check never reached it

    if (tx.ok() && !tx.commit()) {
        r.errors.push_back(RuntimeError(kErrDeviceIO).report());
        r.counts.dropped += r.counts.found + r.counts.notFound;  // rolled back; the listed stay listed
        r.counts.found = r.counts.notFound = 0;
    }
}

ImportResult RunImport(App& app, const ImportRequest& request, const ImportHooks& hooks) {
    ImportResult r;
    ImportTable table;
    try {
        if (request.source == ImportSourceKind::Clipboard) {
            if (!ReadClipboardList(request.clipboardText, table)) {
                r.outcome = ImportResult::ClipboardEmpty;
                return r;
            }
        } else {
            const std::string native = ImportNativePath(app, request.path);
            ImportReadStatus status;
            auto tick = [&](std::uint64_t) {
                app.DoEvents();
                return !(hooks.cancelled && hooks.cancelled());
            };
            if (native.empty() || !ReadImportFile(native, app.config.CollectionMode, table, status, tick)) {
                r.outcome = status.failure == ImportReadStatus::Stopped   ? ImportResult::Cancelled
                            : status.failure == ImportReadStatus::NotText ? ImportResult::NotText
                                                                          : ImportResult::Unreadable;
                return r;
            }
            r.truncated = status.truncated;
        }
        StoreImport(app, table, request.clearLists, hooks, r);
    } catch (const ImportCancelled&) {
        r = ImportResult{};
        r.outcome = ImportResult::Cancelled;
    } catch (const std::bad_alloc&) {
        r = ImportResult{};
        r.outcome = ImportResult::Unreadable;
    }
    return r;
}

std::string ImportCountLines(const ImportCounts& c) {
    std::string text =
        "Numbers read: " + std::to_string(c.read()) + "\r\nAdded to Found: " + std::to_string(c.found) +
        "\r\nAlready listed: " + std::to_string(c.alreadyListed) +
        "\r\nNot found: " + std::to_string(c.notFound) + "\r\nIgnored: " + std::to_string(c.ignored);
    if (!c.ignoredFirst.empty()) {
        text += " (";
        for (std::size_t i = 0; i < c.ignoredFirst.size(); ++i) text += (i ? ", " : "") + c.ignoredFirst[i];
        text += c.ignored > static_cast<std::int32_t>(c.ignoredFirst.size()) ? ", ...)" : ")";
    }
    return text;
}

std::string ImportFinishedText(const ImportResult& result, std::int32_t foundCount) {
    std::string text = result.incomplete() ? "Import finished with errors!" : "Import finished successfully!";
    text += "\r\r\n  " + std::to_string(foundCount) + " Documents Found";
    text += "\r\n\r\n" + ImportCountLines(result.counts);
    if (result.counts.dropped > 0)
        text += "\r\n\r\n" + std::to_string(result.counts.dropped) +
                " numbers could not be checked or stored; they are in neither list.";
    if (result.truncated)
        text += "\r\n\r\nOnly the first " + std::to_string(result.counts.rows) +
                " numbers were taken; the rest of the file was not read.";
    return text;
}

std::string ImportRefusedText(const ImportResult& result, const std::string& sourceName) {
    switch (result.outcome) {
        case ImportResult::Unreadable:
            return kUnableToReadFile + sourceName;
        case ImportResult::NotText:
            return sourceName + " is not a text file of document numbers.";
        case ImportResult::NoNumbers: {
            std::string text = "No document numbers were found in " + sourceName;
            if (result.counts.ignored > 0) text += "\r\n\r\n" + ImportCountLines(result.counts);
            return text;
        }
        case ImportResult::ClipboardEmpty:
            return kClipboardEmpty;
        case ImportResult::Processed:
        case ImportResult::Cancelled:
            break;
    }
    return {};
}

}  // namespace velk

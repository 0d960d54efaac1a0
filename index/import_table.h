#pragma once
// The table an import fills and the cumulative-index check marks.
#include <functional>
#include <string>
#include <vector>

#include "platform/progress.h"

namespace velk {

struct ImportRow {
    std::string EntryText;  // as read; rewritten when the index holds the number
    std::string Found;      // "Y", "N", or empty until the check reaches the row
    std::string Pages;
    std::string Volume;
    bool operator==(const ImportRow&) const = default;
};

// Row i of the table is rows[i - 1].
struct ImportTable {
    std::vector<ImportRow> rows;
    void add(std::string entryText) { rows.push_back({std::move(entryText), {}, {}, {}}); }
    std::size_t size() const { return rows.size(); }
};

// What the import's progress form shows while the check runs.
struct ImportProgress {
    std::function<void(const std::string&)> message;  // sets the form's message and repaints it
    ProgressFn advance;                               // (row count, rows done)
};

}  // namespace velk

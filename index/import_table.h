#pragma once
// The table an import fills and the cumulative-index check marks.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
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

// How many ignored numbers a run keeps to show.
inline constexpr std::size_t kIgnoredShown = 5;

// Row i of the table is rows[i - 1].
struct ImportTable {
    std::vector<ImportRow> rows;
    // Tokens holding a digit that the file reader did not take (a six-digit number,
    // "US5123456", a lower-case kind letter), and the first few of them as read.
    std::int32_t ignored = 0;
    std::vector<std::string> ignoredFirst;
    void add(std::string entryText) { rows.push_back({std::move(entryText), {}, {}, {}}); }
    void ignore(std::string_view token) {
        ++ignored;
        if (ignoredFirst.size() < kIgnoredShown) ignoredFirst.emplace_back(token);
    }
    void clear() { *this = ImportTable{}; }
    std::size_t size() const { return rows.size(); }
};

// What the import's progress form shows while the check runs.
struct ImportProgress {
    std::function<void(const std::string&)> message;  // sets the form's message and repaints it
    ProgressFn advance;                               // (row count, rows done)
};

}  // namespace velk

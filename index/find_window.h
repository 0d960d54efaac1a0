#pragma once
// The find dialog's view of the cumulative index: a window of at most 20 records
// with one selected line, and the moves its buttons and keys make. Every window is
// kept inside records 1..n, so no move ever reads record 0 or a record past the
// end; an index of fewer than 20 records shows that many lines.
#include <cstdint>
#include <string>
#include <vector>

namespace velk {

struct App;
class CumIndexFile;

inline constexpr int kWindowLines = 20;

class FindWindow {
public:
    // Records 1 to 20 (or all of a shorter index), line 0 selected.
    explicit FindWindow(std::int32_t count = 0);

    std::int32_t count() const { return count_; }
    std::int32_t first() const { return first_; }  // 0 for an empty index
    std::int32_t last() const { return last_; }
    int lines() const { return count_ == 0 ? 0 : static_cast<int>(last_ - first_ + 1); }
    int line() const { return line_; }
    int lastLine() const { return lines() - 1; }
    std::int32_t selectedRecord() const { return count_ == 0 ? 0 : first_ + line_; }
    void setLine(int k);

    void top();     // records 1 to 20, line 0
    void bottom();  // the last 20 records, last line
    // One line down or up; at the window's edge the window moves one record.
    void lineDown();
    void lineUp();
    // The window one record down (last line selected) or up (line 0), when it can.
    void windowDown();
    void windowUp();
    // Page Down on line k: the window moves k records down, last line selected.
    void pageDown(int step);
    // Page Up: the window moves 19 + step records up, line 0 selected.
    void pageUp(int step);
    // The selected record plus or minus step heads the window.
    void jumpDown(int step);
    void jumpUp(int step);
    // A search result: the window starts at record r and r is selected (near the
    // end the window stops at the last records and r keeps its line).
    void showRecord(std::int64_t r);

private:
    void place(std::int64_t first);
    std::int32_t count_ = 0, first_ = 0, last_ = 0;
    int line_ = 0;
};

// One line of lstCum per record of the window, in file order: number 8, one space,
// volume 10; assignments "rrrr/ffff", one space, volume 10. One read of the file.
// Throws RuntimeError when the index cannot be read.
std::vector<std::string> WindowLines(CumIndexFile& index, const FindWindow& w, const std::string& collectionMode);
// The same through the current index path, opened and closed for this read.
std::vector<std::string> WindowLines(const App& app, const FindWindow& w);

// The document number of a lstCum line: the text before its first space;
// assignments "rrrr/ffff ..." give "rrrrffff".
std::string GetDocNumber(const std::string& line, const std::string& collectionMode);

// An index line as the Found list stores it: assignments "rrrr/ffff vol" become
// columns 1-4, 6-9, one space, the trimmed volume; other lines are kept.
std::string StoredFoundEntry(const std::string& line, const std::string& collectionMode);
// A stored Found entry as lstFound shows it: assignments "rrrrffff vol" as the index
// line "rrrr/ffff", one space, the volume in 10 columns; anything else unchanged.
std::string FoundDisplayLine(const std::string& entry, const std::string& collectionMode);

// The caption over lstCum.
std::string CumIndexTitle(const std::string& collectionMode);
// The count label under the Found list.
std::string DocumentsFoundText(long long count);

// A selection moved by step lines in a list of count lines: past the start it is
// line 0, past the end the last line (the Found lists' 100-line jumps).
int StepLine(int line, int step, int count);

}  // namespace velk

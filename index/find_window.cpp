#include "index/find_window.h"

#include <algorithm>

#include "common/vb_text.h"
#include "index/cumulative_index.h"
#include "platform/app.h"

namespace velk {

FindWindow::FindWindow(std::int32_t count) : count_(std::max<std::int32_t>(count, 0)) { top(); }

void FindWindow::place(std::int64_t first) {
    if (count_ == 0) {
        first_ = last_ = 0;
        line_ = 0;
        return;
    }
    const std::int64_t span = std::min<std::int64_t>(kWindowLines, count_);
    first = std::clamp<std::int64_t>(first, 1, count_ - span + 1);
    first_ = static_cast<std::int32_t>(first);
    last_ = static_cast<std::int32_t>(first + span - 1);
    line_ = std::clamp(line_, 0, std::max(lastLine(), 0));
}

void FindWindow::setLine(int k) { line_ = std::clamp(k, 0, std::max(lastLine(), 0)); }

void FindWindow::top() {
    place(1);
    line_ = 0;
}

void FindWindow::bottom() {
    place(count_);
    setLine(lastLine());
}

void FindWindow::lineDown() {
    if (line_ < lastLine())
        ++line_;
    else
        windowDown();
}

void FindWindow::lineUp() {
    if (line_ > 0)
        --line_;
    else
        windowUp();
}

void FindWindow::windowDown() {
    if (std::int64_t{last_} + 1 <= count_) place(std::int64_t{first_} + 1);
    setLine(lastLine());
}

void FindWindow::windowUp() {
    if (std::int64_t{first_} - 1 > 0) place(std::int64_t{first_} - 1);
    line_ = 0;
}

void FindWindow::pageDown(int step) {
    place(std::int64_t{first_} + step);
    setLine(lastLine());
}

void FindWindow::pageUp(int step) {
    place(std::int64_t{first_} + step - (kWindowLines - 1));
    line_ = 0;
}

void FindWindow::jumpDown(int step) {
    const std::int64_t r = selectedRecord();
    place(r + step > count_ ? std::int64_t{count_} : r + step);
    setLine(lastLine());
}

void FindWindow::jumpUp(int step) {
    place(std::max<std::int64_t>(1, std::int64_t{selectedRecord()} - step));
    line_ = 0;
}

void FindWindow::showRecord(std::int64_t r) {
    if (count_ == 0) return;
    r = std::clamp<std::int64_t>(r, 1, count_);
    place(r);
    setLine(static_cast<int>(r - first_));
}

std::vector<std::string> WindowLines(CumIndexFile& index, const FindWindow& w, const std::string& collectionMode) {
    std::vector<std::string> out;
    if (w.lines() == 0) return out;
    const bool assignments = CumOrderOf(collectionMode) == CumOrder::None;
    const std::size_t bytes = static_cast<std::size_t>(w.lines()) * kCumRecordLength;
    index.file().hold(w.first(), w.last(), bytes);
    out.reserve(static_cast<std::size_t>(w.lines()));
    for (std::int32_t n = w.first(); n <= w.last(); ++n) {
        CumRecord r = index.record(n);
        out.push_back(assignments ? AssignListEntryText(r) : FindEntryText(r));
    }
    return out;
}

std::vector<std::string> WindowLines(const App& app, const FindWindow& w) {
    if (w.lines() == 0) return {};
    CumIndexFile index = OpenCumIndex(app);
    // The file may have changed under a window counted earlier; read only what it holds.
    if (index.count() < w.last()) {
        FindWindow now(index.count());
        now.showRecord(w.first());
        return WindowLines(index, now, app.config.CollectionMode);
    }
    return WindowLines(index, w, app.config.CollectionMode);
}

namespace {
bool AssignmentsMode(const std::string& mode) { return CumOrderOf(mode) == CumOrder::None; }
}  // namespace

std::string GetDocNumber(const std::string& line, const std::string& collectionMode) {
    if (AssignmentsMode(collectionMode)) return Left(line, 4) + Mid(line, 6, 4);
    const auto space = line.find(' ');
    return space == std::string::npos ? line : line.substr(0, space);
}

std::string StoredFoundEntry(const std::string& line, const std::string& collectionMode) {
    if (!AssignmentsMode(collectionMode) || line.size() < 9 || line[4] != '/') return line;
    return Left(line, 4) + Mid(line, 6, 4) + " " + Trim(Mid(line, 10));
}

std::string FoundDisplayLine(const std::string& entry, const std::string& collectionMode) {
    if (!AssignmentsMode(collectionMode) || entry.size() < 8 || entry.find(' ') != 8) return entry;
    return Left(entry, 4) + "/" + Mid(entry, 5, 4) + " " + FixedWidth(Trim(Mid(entry, 10)), 10);
}

std::string CumIndexTitle(const std::string& collectionMode) {
    if (collectionMode == kModeTrademarks) return "Tovrin Cumulative Index";
    if (collectionMode == kModePatents) return "Quorvel Cumulative Index";
    return "Assignments Cumulative Index";
}

std::string DocumentsFoundText(long long count) { return std::to_string(count) + " Documents Found"; }

int StepLine(int line, int step, int count) {
    if (count <= 0) return -1;
    const long long to = static_cast<long long>(line) + step;
    return static_cast<int>(std::clamp<long long>(to, 0, count - 1));
}

}  // namespace velk

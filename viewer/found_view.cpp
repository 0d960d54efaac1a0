#include "viewer/found_view.h"

#include "common/vb_text.h"

namespace velk {

bool DocumentShown(const std::string& curDocNo) { return !Trim(curDocNo).empty(); }

bool IsShownDocument(const std::string& line, const std::string& curDocNo) {
    const std::string number = Trim(curDocNo);
    return !number.empty() && Trim(Left(line, 9)) == number;
}

int ShownDocumentLine(const std::vector<std::string>& lines, const std::string& curDocNo, int current) {
    if (current >= 0 && current < static_cast<int>(lines.size()) &&
        IsShownDocument(lines[static_cast<std::size_t>(current)], curDocNo))
        return current;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (IsShownDocument(lines[i], curDocNo)) return static_cast<int>(i);
    return -1;
}

FoundLineDocument DocumentOfLine(const std::string& line) { return {Left(line, 9), Trim(Mid(line, 10))}; }

}  // namespace velk

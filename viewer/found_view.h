#pragma once
// The found-list view's rules: which line is the shown document, and the document
// and volume a line names.
#include <string>
#include <vector>

namespace velk {

// True when a document is shown (CurDocNo is more than blanks).
bool DocumentShown(const std::string& curDocNo);
// True when line names document curDocNo: the line's first 9 characters and the
// number compared trimmed, so 7- and 8-character numbers match as well.
bool IsShownDocument(const std::string& line, const std::string& curDocNo);
// The line of the shown document, testing `current` first and then the list from the
// top; -1 when no line names it.
int ShownDocumentLine(const std::vector<std::string>& lines, const std::string& curDocNo, int current = -1);

// The document a Found line names: CurDocNo is its first 9 characters, CurVolume
// the rest from the 10th, trimmed.
struct FoundLineDocument {
    std::string docNo, volume;
};
FoundLineDocument DocumentOfLine(const std::string& line);

}  // namespace velk

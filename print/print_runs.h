#pragma once
// The print runs: the document on screen (patents with a page choice, trademarks and
// assignments one page or all) and the To Print list, volume by volume. A document
// leaves its list only when it printed cleanly: at least one page sent, nothing
// failed, the job ended and the run was not cancelled.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lists/list_store.h"
#include "print/print_engine.h"
#include "print/select_pages.h"

namespace velk {

struct App;

// The stored entry text of the first record of list `table` that holds docNo on
// volume (compared trimmed, by the number's columns and the Volume field).
std::optional<std::string> ListedEntry(const ListStore& lists, ListTable table, const std::string& docNo,
                                       const std::string& volume);

// The index (0 or 1) in app.viewers of the viewer whose page the dialogs start from.
int ActiveViewerIndex(const App& app);

// The name of a document's PDF: its number's letters and digits, then ".pdf".
std::string PdfFileName(const std::string& docNo);

// Takes a printed document off To Print, or off Remaining when it is not to print.
void TakeOffPrintLists(App& app, const std::string& docNo, const std::string& volume);

// The patent print dialog's run for the current document. False when nothing was
// printed cleanly (no pages: "There are no pages in this section").
bool PrintCurrentDocument(App& app, PrintRun& run, const PageOptions& options);

// The trademark and assignment dialog's choice: page `page`, or every page when entire.
std::vector<Int16> MarkPages(const App& app, bool entire, int page);
// The trademark and assignment dialog's run.
bool PrintMarkDocument(App& app, PrintRun& run, bool entire, int page);

// pages of the shown document as one job, in order; false when nothing was printed cleanly
// (no pages: "There are no pages in this section"). A clean document leaves its list.
bool PrintDocumentPages(App& app, PrintRun& run, const std::vector<Int16>& pages);
// The same without the lists: the pages as one job (a print preview).
bool RunDocumentPages(App& app, PrintRun& run, const std::vector<Int16>& pages);

struct BatchResult {
    int printed = 0;  // documents that printed cleanly and left To Print
    int passed = 0;   // documents left on To Print (volume ignored, not found, no pages, errors)
    bool aborted = false;
    bool cancelled = false;
};

// Batch print of the To Print list in volume order. Patents print the pages options
// choose from each document (options given); trademarks and assignments every page.
// The current document and the viewers' page records are as before afterwards.
BatchResult PrintBatch(App& app, PrintRun& run, const PageOptions* options);

inline BatchResult PrintPatentBatch(App& app, PrintRun& run, const PageOptions& options) {
    return PrintBatch(app, run, &options);
}
inline BatchResult PrintListBatch(App& app, PrintRun& run) {
    return PrintBatch(app, run, nullptr);
}

}  // namespace velk

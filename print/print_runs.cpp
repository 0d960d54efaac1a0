#include "print/print_runs.h"

#include <array>

#include "common/vb_text.h"
#include "platform/app.h"
#include "viewer/document_locator.h"
#include "viewer/goto_page.h"
#include "viewer/imaging/page_image.h"
#include "viewer/page_loading.h"

namespace velk {

namespace {

// Ends the document's job and counts it in the run's summary; true when it printed
// cleanly and was not cancelled (it then leaves its list).
bool EndDocument(App& app, PrintRun& run, int pagesChosen) {
    const int sent =
        run.savesPdf() && app.PrintCancel ? 0 : run.pagesSent();  // a cancelled PDF is not written
    const bool clean = run.FinishDocument();
    RunSummary& s = run.summary;
    const std::string number = Trim(app.doc.CurDocNo);
    s.pages += sent;
    if (app.PrintCancel) {
        s.cancel();
        s.skip(number,
               "cancelled after " + std::to_string(sent) + " of " + std::to_string(pagesChosen) + " pages");
        return false;
    }
    if (!clean) {
        s.fail(number, run.documentError());
        return false;
    }
    ++s.documents;
    return true;
}

}  // namespace

int ActiveViewerIndex(const App& app) {
    return ActiveViewer(app) - 1;
}

namespace {

std::int32_t Clamp32(long long v) {
    return static_cast<std::int32_t>(std::clamp<long long>(v, 0, INT32_MAX));
}

}  // namespace

std::optional<std::string> ListedEntry(const ListStore& lists, ListTable table, const std::string& docNo,
                                       const std::string& volume) {
    const std::string number = Trim(docNo), vol = Trim(volume);
    for (const ListRow& row : lists.Rows(table))
        if (Trim(Left(row.DocumentNo, 9)) == number && Trim(row.Volume) == vol) return row.DocumentNo;
    return std::nullopt;
}

std::string PdfFileName(const std::string& docNo) {
    const std::string name = KeepAlnum(docNo);
    return (name.empty() ? std::string("print") : name) + ".pdf";
}

namespace {

// A batch into a folder: the document's own file, replaced only when the user agrees.
bool NameBatchFile(App& app, PrintRun& run) {
    if (!run.pdfFolder) return true;
    const std::filesystem::path file = *run.pdfFolder / PdfFileName(app.doc.CurDocNo);
    std::error_code ec;
    if (std::filesystem::exists(file, ec) &&
        app.msg(file.string() + " already exists.\r\nDo you want to replace it?", Buttons::YesNo,
                Icon::Exclamation) != Answer::Yes)
        return false;
    run.pdfFile = file;
    return true;
}

}  // namespace

void TakeOffPrintLists(App& app, const std::string& docNo, const std::string& volume) {
    if (!app.lists) return;
    Int16 pages;
    if (auto entry = ListedEntry(*app.lists, ListTable::ToPrint, docNo, volume)) {
        app.lists->RemFromPrint(*entry, pages);
    } else if (auto rest = ListedEntry(*app.lists, ListTable::Remaining, docNo, volume)) {
        app.lists->RemFromRemaining(*rest, pages);
    }
}

bool PrintDocumentPages(App& app, PrintRun& run, const std::vector<Int16>& pages) {
    const bool clean = RunDocumentPages(app, run, pages);
    if (clean) TakeOffPrintLists(app, app.doc.CurDocNo, app.doc.CurVolume);
    return clean;
}

bool RunDocumentPages(App& app, PrintRun& run, const std::vector<Int16>& pages) {
    if (pages.empty()) {
        app.msg(kNoPagesText);
        return false;
    }
    KeepShownDocument keep(app);
    app.PrintCancel = false;
    const std::string file = app.doc.CurImagePath;  // assignments: located through their database
    const auto count = static_cast<std::int32_t>(pages.size());
    std::int32_t ordinal = 0;
    for (Int16 page : pages) {
        app.DoEvents();
        if (app.PrintCancel) break;
        ++ordinal;
        run.printRecordedPage(file, page, LastOfJob(ordinal, count), SinglePageProgress(run, count, ordinal));
    }
    return EndDocument(app, run, count);
}

std::vector<Int16> MarkPages(const App& app, bool entire, int page) {
    const int first = entire ? 1 : page;
    const int last = entire ? app.doc.CurPageCount.value() : page;
    std::vector<Int16> pages;
    if (first < 1) return pages;
    for (int p = first; p <= last && p <= 32767; ++p) pages.push_back(Int16(p));
    return pages;
}

bool PrintCurrentDocument(App& app, PrintRun& run, const PageOptions& options) {
    const PageSelection sel = SelectPages(options, app.doc, app.doc.CurPageCount.value());
    return PrintDocumentPages(app, run, sel.empty() ? std::vector<Int16>{} : sel.pages);
}

bool PrintMarkDocument(App& app, PrintRun& run, bool entire, int page) {
    return PrintDocumentPages(app, run, MarkPages(app, entire, page));
}

BatchResult PrintBatch(App& app, PrintRun& run, const PageOptions* options) {
    BatchResult result;
    if (!app.lists) return result;
    KeepShownDocument keep(app);
    // One pass over the list as it stood: a record handled (or passed over) in this
    // run is never offered again.
    const std::vector<ListRow> rows = app.lists->RowsByVolume(ListTable::ToPrint);
    const std::int32_t docCount = app.lists->PrintCount();
    const std::int32_t totalPages = app.lists->PrintPages();
    std::int32_t docIndex = 0;
    run.BatchPageCounter = 0;
    app.PrintCancel = false;
    RunSummary& summary = run.summary;
    summary.run = "Batch Print";
    summary.list = "To Print";
    for (const ListRow& row : rows) {
        app.DoEvents();
        if (app.PrintCancel) {
            summary.cancel();
            break;
        }
        docIndex = Clamp32(static_cast<long long>(docIndex) + 1);
        app.doc.CurVolume = Trim(row.Volume);
        app.doc.CurDocNo = Trim(Left(row.DocumentNo, 9));

        const BatchVolume volume = AskForBatchVolume(app);
        if (volume == BatchVolume::Aborted) {
            result.aborted = true;
            summary.cancel();
            return result;
        }
        // A document its volume does not hold stays listed: nothing of it was printed.
        if (volume == BatchVolume::Ignored) {
            summary.skip(app.doc.CurDocNo, "volume " + app.doc.CurVolume + " was not inserted");
            ++result.passed;
            continue;
        }
        if (!GetPath_OpenIdx(app, app.doc.CurDocNo, app.doc.CurVolume)) {
            summary.fail(app.doc.CurDocNo, "not found on volume " + app.doc.CurVolume);
            ++result.passed;
            continue;
        }
        if (!NameBatchFile(app, run)) {  // the user keeps the file that is there
            ++result.passed;
            continue;
        }

        std::vector<Int16> pages;
        if (options) {
            const PageSelection sel = SelectPages(*options, app.doc, row.Pages.value());
            if (sel.empty()) {
                app.msg(kNoPagesText);
                summary.skip(app.doc.CurDocNo, kNoPagesText);
                ++result.passed;
                continue;
            }
            pages = sel.pages;
        } else {
            const int n = DocumentPageCount(app);
            for (int p = 1; p <= n; ++p) pages.push_back(Int16(p));
        }

        const auto pagesInDoc = static_cast<std::int32_t>(pages.size());
        std::int32_t ordinal = 0;
        for (Int16 page : pages) {
            app.DoEvents();
            if (app.PrintCancel) break;
            ++ordinal;
            const std::int32_t shown = options ? ordinal : page.value();
            run.printRecordedPage(app.doc.CurImagePath, page, LastOfJob(shown, pagesInDoc),
                                  BatchPageProgress(run, shown, pagesInDoc, docIndex, docCount, totalPages));
        }
        const bool clean = EndDocument(app, run, pagesInDoc);
        if (app.PrintCancel) {
            result.cancelled = true;
            ++result.passed;
            break;
        }
        if (!clean) {
            ++result.passed;
            continue;
        }
        Int16 removed;
        // The record's own text: a text rebuilt from number and volume need not match it.
        if (!app.lists->RemFromPrint(row.DocumentNo, removed))
            app.lists->RemFromRemaining(row.DocumentNo, removed);
        ++result.printed;
    }
    return result;
}

}  // namespace velk

#include "export/batch_export.h"

#include <algorithm>

#include "common/vb_text.h"
#include "lists/list_store.h"
#include "platform/app.h"
#include "viewer/document_locator.h"
#include "viewer/imaging/page_image.h"
#include "viewer/page_loading.h"

namespace velk {

ExportBatchResult ExportBatch(App& app, ExportRun& run, const PageOptions* options,
                              const ExportFormat& format, const std::filesystem::path& destination) {
    ExportBatchResult result;
    if (!app.lists) return result;
    KeepShownDocument keep(app);
    const std::vector<ListRow> rows = app.lists->RowsByVolume(ListTable::ToExport);
    run.docCount = app.lists->ExportCount();
    run.batchPages = app.lists->ExportPages();
    run.docIndex = 0;
    run.batchDone = 0;
    RunSummary& summary = run.summary;
    summary.run = "Batch Export";
    summary.folder = destination;
    summary.list = "To Export";
    for (const ListRow& row : rows) {
        app.DoEvents();
        if (app.ExportCancel) {
            result.cancelled = true;
            summary.cancel();
            break;
        }
        run.docIndex = std::min<std::int32_t>(run.docIndex, INT32_MAX - 1) + 1;
        app.doc.CurVolume = Trim(row.Volume);
        app.doc.CurDocNo = Left(row.DocumentNo, 9);

        const BatchVolume volume = AskForBatchVolume(app);
        const std::string number = Trim(app.doc.CurDocNo);
        if (volume == BatchVolume::Aborted) {
            result.aborted = true;
            summary.cancel();
            return result;
        }
        // Not on its volume: nothing is written under its number, and it stays listed.
        if (volume == BatchVolume::Ignored) {
            summary.skip(number, "volume " + app.doc.CurVolume + " was not inserted");
            ++result.passed;
            continue;
        }
        if (!GetPath_OpenIdx(app, number, app.doc.CurVolume)) {
            summary.fail(number, "not found on volume " + app.doc.CurVolume);
            ++result.passed;
            continue;
        }

        std::vector<int> pages;
        if (options) {
            const PageSelection sel = SelectPages(*options, app.doc, row.Pages.value());
            if (sel.empty()) {
                app.msg(kNoPagesText);
                summary.skip(number, kNoPagesText);
                ++result.passed;
                continue;
            }
            for (Int16 p : sel.pages) pages.push_back(p.value());
            // The progress shows this document's page count, not the one shown before.
            app.doc.CurPageCount = row.Pages;
        } else {
            const int n = DocumentPageCount(app);
            for (int p = 1; p <= n; ++p) pages.push_back(p);
            app.doc.CurPageCount = Int16(std::clamp(n, 0, 32767));
        }
        if (pages.empty()) {
            summary.skip(number, kNoPagesText);
            ++result.passed;
            continue;
        }

        const ExportOutcome outcome = run.Export(pages, format, destination);
        run.batchDone = std::min<std::int64_t>(INT32_MAX, std::int64_t{run.batchDone} + row.Pages.value());
        if (outcome == ExportOutcome::Cancelled || outcome == ExportOutcome::Stopped) {
            (outcome == ExportOutcome::Cancelled ? result.cancelled : result.stopped) = true;
            ++result.passed;
            break;
        }
        if (outcome == ExportOutcome::Done)
            ++result.exported;
        else
            ++result.passed;
    }
    return result;
}

}  // namespace velk

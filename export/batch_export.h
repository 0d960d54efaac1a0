#pragma once
// Export of the whole To Export list, volume by volume, through the same engine as
// the single-document dialogs. One pass over the list as it stood at the start: a
// record handled or passed over is never offered again in the same run.
#include <filesystem>

#include "export/export_engine.h"
#include "print/select_pages.h"

namespace velk {

struct App;

struct ExportBatchResult {
    int exported = 0;  // documents written whole; they left To Export
    int passed = 0;  // documents left on To Export (volume ignored, not found, no pages, a page not written)
    bool aborted = false;    // Abort to the volume question
    bool cancelled = false;  // Cancel, or Cancel to a question
    bool stopped = false;    // the destination took no more files (run.summary says why)
};

// Patents export the pages options choose from each document (options given);
// trademarks and assignments every page. The shown document is as before afterwards.
// run.summary gets the documents passed over and why.
ExportBatchResult ExportBatch(App& app, ExportRun& run, const PageOptions* options,
                              const ExportFormat& format, const std::filesystem::path& destination);

}  // namespace velk

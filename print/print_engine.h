#pragma once
// Every printed page goes through here: the progress captions, paper and duplex at
// the start of a job, the page drawn scaled to the printable area, a new sheet or
// the end of the job. One document is one job. The callers choose the pages.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/int16.h"
#include "platform/ports.h"
#include "platform/run_summary.h"
#include "viewer/imaging/g4_files.h"

namespace velk {

struct App;
class PageImage;

// What a progress window shows; the engine fills it, the window paints it.
struct PrintProgress {
    std::string lblDocument, lblPage, lblAllDocs, lblAllPages;
    std::string lblPrinter;  // where the pages go, when the run names it rather than the printer
    std::int32_t barTotal = 0, barCurrent = 0;
};

class PrintProgressView {
public:
    virtual ~PrintProgressView() = default;
    virtual void showProgress(const PrintProgress& progress) = 0;
};

// "Document currently printing: " and the number as "###,###,###".
std::string DocumentCaption(const std::string& docNo);
// "Printing p of n pages" ("Printing 1 of 1 pages" when n is 1).
std::string PagesCaption(std::int32_t p, std::int32_t n);
// "Printing to: NAME on PORT".
std::string PrinterCaption(const std::string& device, const std::string& port);
inline constexpr const char* kPrinterInfoMissing = "Printer information is not available!";

// Paper code for PAGE_TYPE ("LETTER" 1, "A4" 9, "LEGAL" 5); 0 for anything else.
int PaperCodeFor(const std::string& pageType);

// The page's place on the printer: scaled to the printable area (scaleWidth x
// scaleHeight twips), keeping its aspect ratio (its own resolutions count), centred.
TwipRect FitPage(int pageWidth, int pageHeight, double dpiX, double dpiY, int areaWidth, int areaHeight);

// One print run (a single document or a whole batch): the job state kept between pages.
class PrintRun {
public:
    PrintRun(App& app, PrintProgressView* view);
    ~PrintRun();  // ends a job left open
    PrintRun(const PrintRun&) = delete;
    PrintRun& operator=(const PrintRun&) = delete;

    App& app() { return app_; }
    const App& app() const { return app_; }
    // Pages printed in this batch run; the batch bar's current value.
    std::int32_t BatchPageCounter = 0;
    // Save as PDF: the pages go as they are stored into one PDF a document, the file
    // pdfFile; a batch names each document's file in pdfFolder. Neither: the printer.
    std::optional<std::filesystem::path> pdfFile, pdfFolder;
    bool savesPdf() const { return pdfFile || pdfFolder; }

    // Ends the job when a page was drawn in it (whatever stopped the page loop). True
    // when the document is done cleanly: at least one page sent, no call failed and the
    // job ended without error. Resets the document's state for the next one.
    bool FinishDocument();
    int pagesSent() const { return pagesSent_; }
    bool failed() const { return failed_; }
    // Why the document FinishDocument last ended was not clean ("" when it was).
    const std::string& documentError() const { return documentError_; }
    // What the run did, for its closing message; the runs count their documents into it
    // and the printer's output (its file or queue) is noted as jobs end.
    RunSummary summary;

    // Shared by the three page operations: draws one page and decides new sheet or end.
    bool printPage(const PageImage& page, bool lastOfJob, const PrintProgress& progress);
    // Page `page` of the current document's file as the job's next page: decoded and drawn
    // for a printer, its G4 data kept for Save as PDF (the file is written as the job ends).
    // False when it could not be had (said why; the document is then not done cleanly).
    bool printRecordedPage(const std::string& path, Int16 page, bool lastOfJob,
                           const PrintProgress& progress);
    // A page of the document could not be had: "number - description" when there is
    // an error to show, and the document is no longer done cleanly.
    void reportError(const std::exception& e);
    void markFailed(const std::string& why = "a page could not be read") {
        failed_ = true;
        if (error_.empty()) error_ = why;
    }

private:
    void startJob();
    void noteOutput();
    void noteOutput(const std::filesystem::path& file);
    bool endJob();
    bool writePdf();

    App& app_;
    PrintProgressView* view_;
    bool jobOpen_ = false;      // a page was drawn and the job not yet ended
    bool newSheetDue_ = false;  // the next page goes on a new sheet
    bool jobEndedOk_ = true;
    int pagesSent_ = 0;
    bool failed_ = false;
    std::string error_, documentError_;
    std::vector<G4Strip> strips_;  // Save as PDF: the job's pages so far
};

// What the progress window shows for page `page` of pagesInDoc within document docIndex of
// docCount (totalPages 0 when not known); counts the page in the batch.
PrintProgress BatchPageProgress(PrintRun& run, std::int32_t page, std::int32_t pagesInDoc,
                                std::int32_t docIndex, std::int32_t docCount, std::int32_t totalPages);
// ... for the ordinal-th of the pageCount pages of a one-document job.
PrintProgress SinglePageProgress(const PrintRun& run, std::int32_t pageCount, std::int32_t ordinal);
inline bool LastOfJob(std::int32_t ordinal, std::int32_t count) {
    return ordinal == count || count == 1;
}

// page of pagesInDoc within document docIndex of docCount; totalPages 0 when not known.
bool PrintBatchPage(PrintRun& run, const PageImage& image, std::int32_t page, std::int32_t pagesInDoc,
                    std::int32_t docIndex, std::int32_t docCount, std::int32_t totalPages);
// pageNo of the document, ordinal-th of the pageCount pages of this job.
bool PrintSinglePage(PrintRun& run, const PageImage& image, std::int32_t pageNo, std::int32_t pageCount,
                     std::int32_t ordinal);

// The page the page record (App::doc.Page, just filled by GetPage) describes, decoded.
PageImage LoadRecordedPage(const App& app, const std::string& path, Int16 page);

}  // namespace velk

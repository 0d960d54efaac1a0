#include "print/print_engine.h"

#include <algorithm>
#include <cmath>

#include "common/runtime_error.h"
#include "common/vb_text.h"
#include "platform/app.h"
#include "print/document_files.h"
#include "viewer/imaging/page_image.h"
#include "viewer/page_loading.h"

namespace velk {

std::string DocumentCaption(const std::string& docNo) {
    return "Document currently printing: " + FormatText(Trim(docNo), "###,###,###");
}

std::string PagesCaption(std::int32_t p, std::int32_t n) {
    if (n == 1) return "Printing 1 of 1 pages";
    return "Printing " + std::to_string(p) + " of " + std::to_string(n) + " pages";
}

std::string PrinterCaption(const std::string& device, const std::string& port) {
    return "Printing to: " + device + " on " + port;
}

int PaperCodeFor(const std::string& pageType) {
    if (pageType == "LETTER") return kPaperLetter;
    if (pageType == "A4") return kPaperA4;
    if (pageType == "LEGAL") return kPaperLegal;
    return 0;
}

TwipRect FitPage(int pageWidth, int pageHeight, double dpiX, double dpiY, int areaWidth, int areaHeight) {
    if (pageWidth <= 0 || pageHeight <= 0 || areaWidth <= 0 || areaHeight <= 0) return {0, 0, 0, 0};
    const double w = pageWidth / (dpiX > 0 ? dpiX : 300.0);
    const double h = pageHeight / (dpiY > 0 ? dpiY : 300.0);
    const double scale = std::min(areaWidth / w, areaHeight / h);
    const int tw = std::clamp(static_cast<int>(std::lround(w * scale)), 1, areaWidth);
    const int th = std::clamp(static_cast<int>(std::lround(h * scale)), 1, areaHeight);
    return {(areaWidth - tw) / 2, (areaHeight - th) / 2, tw, th};
}

PrintRun::PrintRun(App& app, PrintProgressView* view) : app_(app), view_(view) {
    summary.run = "Print";
}

PrintRun::~PrintRun() {
    try {
        if (jobOpen_ && !savesPdf() && app_.ports.printer) app_.ports.printer->endDoc();
    } catch (...) {
    }
}

void PrintRun::reportError(const std::exception& e) {
    const auto* r = dynamic_cast<const RuntimeError*>(&e);
    const std::string text = r ? std::to_string(r->number()) + " - " + r->description()
                               : std::to_string(kErrInvalidCall) + " - " + e.what();
    markFailed(text);
    app_.msg(text);
}

void PrintRun::startJob() {
    Printer& printer = *app_.ports.printer;
    // Paper and duplex belong before the job's first output.
    if (const int code = PaperCodeFor(app_.config.PageType)) printer.setPaperSize(code);
    const bool duplex = app_.ports.frame && app_.ports.frame->isChecked("Duplex");
    if (duplex)
        printer.setDuplex(kDuplexVertical);
    else if (printer.duplex() != kDuplexNone)
        printer.setDuplex(kDuplexNone);  // switched off since we set it
}

bool PrintRun::printPage(const PageImage& page, bool lastOfJob, const PrintProgress& progress) {
    try {
        if (view_) view_->showProgress(progress);
        if (!app_.ports.printer) throw RuntimeError(kErrPrinter);
        Printer& printer = *app_.ports.printer;
        if (!jobOpen_) startJob();
        if (newSheetDue_) {
            printer.newPage();
            newSheetDue_ = false;
        }
        const QImage bits = page.toQImage();
        printer.drawPage(bits, FitPage(bits.width(), bits.height(), page.dpiX(), page.dpiY(),
                                       printer.scaleWidth(), printer.scaleHeight()));
        jobOpen_ = true;
        ++pagesSent_;
        if (lastOfJob) {
            jobOpen_ = false;
            if (!endJob()) {
                jobEndedOk_ = false;
                throw RuntimeError(kErrPrinter);
            }
        } else {
            // The sheet is advanced before the next page, so a page that never comes
            // leaves no blank sheet behind.
            newSheetDue_ = true;
        }
        return true;
    } catch (const std::exception& e) {
        reportError(e);
        return false;
    }
}

bool PrintRun::printRecordedPage(const std::string& path, Int16 page, bool lastOfJob,
                                 const PrintProgress& progress) {
    if (!GetPage(app_, path, app_.doc.CurDocNo, page)) {
        markFailed();  // GetPage has said why
        return false;
    }
    if (!savesPdf()) {
        PageImage image;
        try {
            image = LoadRecordedPage(app_, path, page);
        } catch (const std::exception& e) {
            reportError(e);
            return false;
        }
        return printPage(image, lastOfJob, progress);
    }
    bool ending = false;
    try {
        PrintProgress shown = progress;
        shown.lblPrinter = PrinterCaption(pdfFile ? pdfFile->string() : std::string("PDF file"), "PDF");
        if (view_) view_->showProgress(shown);
        // Stored G4 goes in unchanged: nothing decoded, nothing lost.
        strips_.push_back(RecordedG4Strip(app_, path, page));
        jobOpen_ = true;
        ++pagesSent_;
        if (lastOfJob) {
            jobOpen_ = false;
            ending = true;
            endJob();
        }
        return true;
    } catch (const std::exception& e) {
        if (ending) jobEndedOk_ = false;  // the file could not be written
        reportError(e);
        return false;
    }
}

bool PrintRun::endJob() {
    if (!savesPdf()) return app_.ports.printer->endDoc();
    return writePdf();
}

bool PrintRun::writePdf() {
    const std::vector<G4Strip> pages = std::move(strips_);
    strips_.clear();
    if (pages.empty()) return true;
    if (!pdfFile) throw RuntimeError(kErrPrinter, "Printer error: no file chosen for the PDF");
    // Replaced only whole: a file that cannot be finished leaves the old one as it was.
    WriteFileReplacing(*pdfFile, G4PdfFile(pages), Durability::Synced);
    return true;
}

bool PrintRun::FinishDocument() {
    if (jobOpen_ && savesPdf() && app_.PrintCancel) {
        // Cancelled: a PDF with part of the pages chosen is not written at all.
        jobOpen_ = false;
        strips_.clear();
        pagesSent_ = 0;
    }
    if (jobOpen_) {
        jobOpen_ = false;
        try {
            if (!endJob()) {
                jobEndedOk_ = false;
                reportError(RuntimeError(kErrPrinter));
            }
        } catch (const std::exception& e) {
            jobEndedOk_ = false;
            reportError(e);
        }
    }
    const bool clean = pagesSent_ > 0 && !failed_ && jobEndedOk_;
    if (pagesSent_ > 0 && jobEndedOk_) noteOutput();
    documentError_ = clean ? std::string() : error_.empty() ? std::string("nothing was printed") : error_;
    error_.clear();
    pagesSent_ = 0;
    failed_ = false;
    jobEndedOk_ = true;
    newSheetDue_ = false;
    return clean;
}

void PrintRun::noteOutput() {
    if (savesPdf()) {
        if (pdfFile) noteOutput(*pdfFile);
        return;
    }
    Printer* printer = app_.ports.printer;
    if (!printer) return;
    const std::string file = printer->lastOutputFile();
    if (file.empty()) {
        summary.output = printer->deviceName();
        return;
    }
    noteOutput(file);
}

void PrintRun::noteOutput(const std::filesystem::path& file) {
    // One file names itself; several (a batch, a file a job) are found in their folder.
    const std::filesystem::path folder = file.parent_path();
    summary.output =
        summary.folder.empty() || summary.output == file.string() ? file.string() : folder.string();
    summary.folder = folder;
}

PrintProgress BatchPageProgress(PrintRun& run, std::int32_t page, std::int32_t pagesInDoc,
                                std::int32_t docIndex, std::int32_t docCount, std::int32_t totalPages) {
    ++run.BatchPageCounter;
    PrintProgress p;
    p.lblDocument = DocumentCaption(run.app().doc.CurDocNo);
    p.lblPage = "Printing " + std::to_string(page) + " of " + std::to_string(pagesInDoc) + " pages";
    p.lblAllDocs = "Document " + std::to_string(docIndex) + " of " + std::to_string(docCount);
    p.lblAllPages = totalPages == 0 ? std::string(" ")
                                    : "Page " + std::to_string(run.BatchPageCounter) + " of " +
                                          std::to_string(totalPages);
    p.barCurrent = run.BatchPageCounter;
    p.barTotal = totalPages == 0 ? pagesInDoc : totalPages;
    return p;
}

PrintProgress SinglePageProgress(const PrintRun& run, std::int32_t pageCount, std::int32_t ordinal) {
    PrintProgress p;
    p.lblDocument = DocumentCaption(run.app().doc.CurDocNo);
    p.lblPage = PagesCaption(ordinal, pageCount);
    p.barCurrent = ordinal;
    p.barTotal = pageCount;
    return p;
}

bool PrintBatchPage(PrintRun& run, const PageImage& image, std::int32_t page, std::int32_t pagesInDoc,
                    std::int32_t docIndex, std::int32_t docCount, std::int32_t totalPages) {
    return run.printPage(image, LastOfJob(page, pagesInDoc),
                         BatchPageProgress(run, page, pagesInDoc, docIndex, docCount, totalPages));
}

bool PrintSinglePage(PrintRun& run, const PageImage& image, std::int32_t, std::int32_t pageCount,
                     std::int32_t ordinal) {
    return run.printPage(image, LastOfJob(ordinal, pageCount), SinglePageProgress(run, pageCount, ordinal));
}

PageImage LoadRecordedPage(const App& app, const std::string& path, Int16 page) {
    if (PageFileKindOf(path) != PageFileKind::Container) return PageImage::load(path, page.value());
    return PageImage::loadRaw(path, RawPageOf(app.doc.Page));
}

}  // namespace velk

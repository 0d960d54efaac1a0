#pragma once
// Writing pages of the current document as separate image files into a directory
// named after the document. One ExportRun covers a single export or a whole batch;
// the dialogs, the batch and velkcmd all go through ExportDocument.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/run_summary.h"
#include "print/document_files.h"
#include "viewer/imaging/page_image.h"

namespace velk {

struct App;

// ".TIF" for the three TIFF formats, ".PCX", ".BMP", ".GIF".
const char* ExportExtension(SaveFormat format);
// "Page0007.TIF": the exported file of page 7.
std::string ExportFileName(int page, SaveFormat format);
// The directory name for a document number: trimmed; empty when the number cannot
// name one directory level (empty, ".", "..", a separator, ":" or a control character).
std::string ExportDirName(const std::string& docNo);

inline constexpr const char* kNoFormatText = "You Must Select an Export Format!";
inline constexpr const char* kNoSpaceText = "There is insufficient disk space on this drive";
inline constexpr const char* kInsertDisketteText = "Please insert a diskette in the drive.";
inline constexpr const char* kConvertingText = "Converting documents...";

// "Error creating directory => " & dir & "."
std::string DirErrorText(const std::string& dir);
// "This file " & file & " already exists!  Do you want to overwrite?"
std::string OverwriteText(const std::string& file);

// 2 when the directory was created, 3 when it was there, 0 on any error: a file or a
// symbolic link of that name is one too (a link could send the pages anywhere).
// `why` gets the reason of a 0.
int CheckLocalDir(const std::filesystem::path& dir, std::string* why = nullptr);

// The bytes of page `page` of the image file at path as a G4 TIFF, its compressed
// data copied unchanged; empty when the page is not stored as one G4 block (the
// caller then decodes and re-encodes). Uses App::doc.Page for page containers.
std::vector<std::uint8_t> G4PassThrough(const App& app, const std::string& path, int page);

// What the progress windows show. The single window uses lblDocument, lblPath and
// lblPage; the batch window shows them as lblCurrDoc, lblExportDir and lblCurrPg and
// adds lblDoc and lblPg. The bar runs over the document, or over the whole batch.
struct ExportProgress {
    std::string lblDocument, lblPath, lblPage;
    std::string lblDoc, lblPg;
    std::int32_t barCurrent = 0, barTotal = 0;
};

class ExportProgressView {
public:
    virtual ~ExportProgressView() = default;
    virtual void showProgress(const ExportProgress& progress) = 0;
};

// Page files in one of the six formats, or one file per document.
using ExportFormat = std::variant<SaveFormat, DocumentFileFormat>;

enum class ExportOutcome {
    Done,       // every selected page written, or kept by a No to overwrite; the document left its list
    Partial,    // some page could not be written; still listed
    Skipped,    // nothing attempted: its directory name is taken or unusable
    Cancelled,  // Cancel before its last page was done: this document's new files removed
    Stopped,    // the destination takes no more files (not writable, full): the run ends
};

class ExportRun {
public:
    // A run starts: ExportCancel is reset.
    ExportRun(App& app, ExportProgressView* view);
    ExportRun(const ExportRun&) = delete;
    ExportRun& operator=(const ExportRun&) = delete;

    // Exports `pages` (page numbers; a repeated page is written once) of the current
    // document (App::doc, located) into destination / the trimmed document number.
    // The page records and the viewers are as before when it returns.
    ExportOutcome ExportDocument(const std::vector<int>& pages, SaveFormat format,
                                 const std::filesystem::path& destination);

    // Writes `pages` of the current document into the one file destination / the trimmed
    // number & ".pdf" (or ".tif"), with the questions, space test and list moves of
    // ExportDocument. Cancel before the file is written leaves nothing.
    ExportOutcome ExportDocumentFile(const std::vector<int>& pages, DocumentFileFormat format,
                                     const std::filesystem::path& destination);
    // Either of the two, as the format says.
    ExportOutcome Export(const std::vector<int>& pages, const ExportFormat& format,
                         const std::filesystem::path& destination);

    bool cancelled() const;
    // A directory or write error ended the run; summary.stopReason says which.
    bool stopped() const { return summary.end == RunSummary::End::Stopped; }
    // What the run did, for its closing message; the batch adds the documents it passed over.
    RunSummary summary;
    // Files written by this run, in order (the batch and velkcmd report them).
    const std::vector<std::filesystem::path>& written() const { return written_; }
    int pagesWritten() const { return static_cast<int>(written_.size()) + morePages_; }
    // For velkcmd: answer every overwrite question without asking.
    enum class Overwrite { Ask, Never, Always } overwrite = Overwrite::Ask;
    // A batch: "Exporting document d of D"; the bar counts pages of the whole run.
    std::int32_t docIndex = 0, docCount = 0;
    std::int32_t batchPages = 0, batchDone = 0;

private:
    enum class PageResult { Written, Kept, Failed, Cancel, Stop };
    PageResult exportPage(int page, SaveFormat format, const std::filesystem::path& dir, int ordinal,
                          int count, std::vector<std::filesystem::path>& created);
    bool ensureSpace(const std::filesystem::path& dir, std::uint64_t size, bool& dirOk);
    void show();
    // The pages chosen, each once, and the progress of a document starting.
    std::vector<int> beginDocument(const std::vector<int>& pages);
    void showPage(int page, int ordinal, int count);
    // Whether target may be written: not a link or directory (Refused), and replaced only
    // at the overwrite answer (Kept otherwise). `what` names it in the summary.
    enum class Write { Yes, Kept, Refused };
    Write mayWrite(const std::filesystem::path& target, const std::filesystem::path& dir, const std::string& what,
                   bool& existed);
    // Writes target once; false when the write failed, which stops the run.
    bool writeOnce(const std::filesystem::path& target, const std::vector<std::uint8_t>& bytes, bool replacing);
    // The document is done: off To Export, or off Remaining when it was not to export.
    void leaveLists(const std::string& docNo, const std::string& volume);
    // The outcome when dir cannot take the document (nullopt when it can): Skipped when
    // its name is taken, Stopped when the destination makes no directories. A directory
    // the user chose may be a link.
    std::optional<ExportOutcome> refuseDirectory(const std::filesystem::path& dir, const std::string& number,
                                                 bool chosen = false);
    // An error of the run: the first is shown, every later one only counted in the
    // summary, so a read-only or full destination gives one message, not one a page.
    void problem(const std::string& text);
    void stopRun(const std::string& text);

    App& app_;
    ExportProgressView* view_;
    ExportProgress progress_;
    std::vector<std::filesystem::path> written_;
    int morePages_ = 0;  // a document file holds several pages
    bool problemShown_ = false;
};

}  // namespace velk

#pragma once
// Writing pages of the current document as separate image files into a directory
// named after the document. One ExportRun covers a single export or a whole batch;
// the dialogs, the batch and velkcmd all go through ExportDocument.
#include <cstdint>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "print/document_files.h"
#include "viewer/imaging/page_image.h"

namespace velk {

struct App;

// ".TIF" for the three TIFF formats, ".PCX", ".BMP", ".GIF".
const char* ExportExtension(SaveFormat format);
// "Page0007.TIF": the exported file of page 7.
std::string ExportFileName(int page, SaveFormat format);
// "PAGE0007.TIF": the working file of page 7.
std::string WorkingFileName(int page, SaveFormat format);
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

// 2 when the directory was created, 3 when it was there, 0 on any error (a file of
// that name is an error too).
int CheckLocalDir(const std::filesystem::path& dir);

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
    Done,       // every selected page written; the document left its list
    Partial,    // some page not written (skipped, failed or answered No); still listed
    Skipped,    // nothing attempted: no directory could be made for it
    Cancelled,  // Cancel, or Cancel to a question: this document's new files removed
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
    // Files written by this run, in order (the batch and velkcmd report them).
    const std::vector<std::filesystem::path>& written() const { return written_; }
    int pagesWritten() const { return static_cast<int>(written_.size()) + morePages_; }
    // For velkcmd: answer every overwrite question without asking.
    enum class Overwrite { Ask, Never, Always } overwrite = Overwrite::Ask;
    // A batch: "Exporting document d of D"; the bar counts pages of the whole run.
    std::int32_t docIndex = 0, docCount = 0;
    std::int32_t batchPages = 0, batchDone = 0;

private:
    enum class PageResult { Written, NotWritten, Cancel };
    PageResult exportPage(int page, SaveFormat format, const std::filesystem::path& dir,
                          const std::filesystem::path& workDir, int ordinal, int count,
                          std::vector<std::filesystem::path>& created);
    bool ensureSpace(const std::filesystem::path& dir, std::uint64_t size, bool& dirOk);
    void show();
    // The pages chosen, each once, and the progress of a document starting.
    std::vector<int> beginDocument(const std::vector<int>& pages);
    void showPage(int page, int ordinal, int count);
    // False when target must not be written: a link or directory, or the overwrite answer.
    bool mayWrite(const std::filesystem::path& target, const std::filesystem::path& dir, bool& existed);
    // The document is done: off To Export, or off Remaining when it was not to export.
    void leaveLists(const std::string& docNo, const std::string& volume);

    App& app_;
    ExportProgressView* view_;
    ExportProgress progress_;
    std::vector<std::filesystem::path> written_;
    int morePages_ = 0;  // a document file holds several pages
};

}  // namespace velk

#pragma once
// Where no printer queue takes the output, the user chooses where the PDF goes: one
// document to a file (the document number proposed as its name), a batch to a folder
// (one PDF per document). The dialog starts in EXPORT_PATH where the installation type is
// not "OPEN", else in the user's documents folder; a restricted installation keeps the
// output inside EXPORT_PATH, as export does. Anything that prints to a PDF file the user
// names (a printer choice "Save as PDF" as well) goes through here.
#include <QWidget>
#include <filesystem>
#include <optional>
#include <string>

namespace velk {

struct App;

// The folder the choice starts in.
std::filesystem::path PdfStartDirectory(const App& app);

// A file for one PDF (asks before replacing one). nullopt when cancelled or refused.
std::optional<std::filesystem::path> ChoosePdfFile(App& app, QWidget* parent,
                                                   const std::string& proposedName);
// A folder for a batch's PDFs. nullopt when cancelled or refused.
std::optional<std::filesystem::path> ChoosePdfFolder(App& app, QWidget* parent);

// Where a run goes when the printer asks for its file; nothing chosen for a queue.
struct PdfChoice {
    bool cancelled = false;                     // the run must not start
    std::optional<std::filesystem::path> path;  // the file, or a batch's folder
};
// Before a run for one document: the file, given to the printer. `always` for Save as
// PDF whatever the printer is.
PdfChoice PreparePdfDocument(App& app, QWidget* parent, const std::string& proposedName, bool always = false);
// Before a batch: the folder; the run names each document's file in it.
PdfChoice PreparePdfBatch(App& app, QWidget* parent, bool always = false);

}  // namespace velk

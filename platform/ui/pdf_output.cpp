#include "platform/ui/pdf_output.h"

#include <QFileDialog>
#include <QStandardPaths>
#include <system_error>

#include "platform/app.h"
#include "platform/ui/modal.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

std::optional<fs::path> ExportDirectory(const App& app) {
    const std::optional<fs::path> dir = app.drives.resolve(app.config.ExportPath);
    std::error_code ec;
    if (dir && fs::is_directory(*dir, ec)) return dir;
    return std::nullopt;
}

// A restricted installation writes nowhere but below EXPORT_PATH.
bool Allowed(App& app, const fs::path& chosen) {
    if (!app.config.isRestricted()) return true;
    const std::optional<fs::path> dir = ExportDirectory(app);
    if (dir && (chosen == *dir || InsideDirectory(chosen, *dir))) return true;
    app.msg("Printed documents can only be saved in " + app.config.ExportPath + ".", Buttons::OK,
            Icon::Exclamation);
    return false;
}

std::optional<fs::path> Chosen(App& app, QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!app.ports.modal || app.ports.modal->exec(dialog) != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
    fs::path chosen = files.front().toStdString();
    if (!Allowed(app, chosen)) return std::nullopt;
    return chosen;
}

}  // namespace

fs::path PdfStartDirectory(const App& app) {
    if (!app.config.isOpen())
        if (std::optional<fs::path> dir = ExportDirectory(app)) return *dir;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    std::error_code ec;
    if (!documents.isEmpty() && fs::is_directory(documents.toStdString(), ec)) return documents.toStdString();
    return QStandardPaths::writableLocation(QStandardPaths::HomeLocation).toStdString();
}

std::optional<fs::path> ChoosePdfFile(App& app, QWidget* parent, const std::string& proposedName) {
    QFileDialog dialog(parent, "Save the printout as PDF",
                       QString::fromStdString((PdfStartDirectory(app) / proposedName).string()));
    dialog.setObjectName("dlgPdfFile");
    dialog.setAcceptMode(QFileDialog::AcceptSave);  // asks before replacing a file
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter("PDF (*.pdf)");
    dialog.setDefaultSuffix("pdf");
    return Chosen(app, dialog);
}

std::optional<fs::path> ChoosePdfFolder(App& app, QWidget* parent) {
    QFileDialog dialog(parent, "Folder for the printed PDF files",
                       QString::fromStdString(PdfStartDirectory(app).string()));
    dialog.setObjectName("dlgPdfFolder");
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return Chosen(app, dialog);
}

namespace {

bool AsksForFile(const App& app) {
    return app.ports.printer && app.ports.printer->asksForFile();
}

}  // namespace

PdfChoice PreparePdfDocument(App& app, QWidget* parent, const std::string& proposedName, bool always) {
    PdfChoice choice;
    if (!always && !AsksForFile(app)) return choice;
    choice.path = ChoosePdfFile(app, parent, proposedName);
    choice.cancelled = !choice.path;
    if (choice.path && AsksForFile(app)) app.ports.printer->setOutputFile(choice.path->string());
    return choice;
}

PdfChoice PreparePdfBatch(App& app, QWidget* parent, bool always) {
    PdfChoice choice;
    if (!always && !AsksForFile(app)) return choice;
    choice.path = ChoosePdfFolder(app, parent);
    choice.cancelled = !choice.path;
    return choice;
}

}  // namespace velk

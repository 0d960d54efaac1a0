#pragma once
// The Printer port on QPrinter: a CUPS queue, or a PDF file when the name is a path
// ending in ".pdf" (printer-less machines, velkcmd and the tests print that way).
// The print job opens with the first output and closes at endDoc; every job of a
// PDF printer goes to a file of its own, since one name would keep only the last.
#include <QPainter>
#include <QPrinter>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/ports.h"

namespace velk {

class Modal;

// The printer a run starts with: the chosen name when given, else the system's
// default queue, else "" (no queue: the user names a PDF file for each run).
std::string DefaultPrinterName(const std::string& chosen);

// True for a name that means "write a PDF file".
bool IsPdfPrinterName(const std::string& name);

class QtPrinter : public Printer {
public:
    // A queue name, a PDF path, or "" for PDF files named by setOutputFile.
    explicit QtPrinter(const std::string& nameOrPdfPath);
    // A print preview's printer: the queue's paper and margins ("" for the PDF engine's);
    // pages go where the preview puts them, no file or queue involved.
    enum PreviewTag { Preview };
    QtPrinter(const std::string& queue, PreviewTag);
    ~QtPrinter() override;

    void setPaperSize(int paperCode) override;
    int paperSize() override { return paper_; }
    void setDuplex(int duplexMode) override;
    int duplex() override { return duplex_; }
    std::string deviceName() override;
    std::string port() override;
    int scaleWidth() override;
    int scaleHeight() override;
    void drawPage(const QImage& page, const TwipRect& target) override;
    void drawText(int xTwips, int yTwips, const std::string& text, const std::string& fontName, int pointSize,
                  bool bold) override;
    void newPage() override;
    // A PDF file that did not end complete (disk full, medium gone) is removed and the
    // job reported as failed.
    bool endDoc() override;
    void abortDoc() override;
    bool asksForFile() override { return ask_; }
    void setOutputFile(const std::string& nativePath) override { nextFile_ = nativePath; }
    std::string lastOutputFile() override {
        return (pdf_ || ask_) && !written_.empty() ? written_.back().string() : "";
    }

    std::vector<std::string> queues() override;
    std::string current() override;
    void choose(const std::string& name) override;

    bool isPdf() const { return pdf_; }
    // PDF: the files written by jobs ended so far, in order.
    const std::vector<std::filesystem::path>& outputFiles() const { return written_; }
    // PDF: the file the next job writes (the first job the name given, then
    // NAME-2.pdf, NAME-3.pdf, ...); setting it names the next job's file.
    std::filesystem::path nextOutputFile() const;
    void setNextOutputFile(const std::filesystem::path& file);
    bool jobOpen() const { return painter_.isActive(); }
    QPrinter& qprinter() { return printer_; }

    // Printer Setup: the platform's print dialog behind the Modal port. A PDF
    // chosen there ("Print to File") becomes the output. False when cancelled.
    bool setup(Modal& modal);

private:
    void begin();
    void useName(const std::string& nameOrPdfPath);
    double deviceUnitsPerTwip() const;

    QPrinter printer_;
    QPainter painter_;
    bool pdf_ = false;
    bool preview_ = false;
    bool ask_ = false;  // no queue: each job's file is chosen by the user
    std::filesystem::path pdfBase_;
    std::filesystem::path nextFile_;
    int jobs_ = 0;
    std::vector<std::filesystem::path> written_;
    int paper_ = kPaperLetter;
    int duplex_ = kDuplexNone;
};

// The page as the PDF engine keeps it 1-bit: Format_Mono with the colour table
// exactly {black, white} (the fax order {white, black} turns into lossy RGB).
QImage PrintableMono(const QImage& page);

}  // namespace velk

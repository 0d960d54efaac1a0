#include "platform/ui/qt_printer.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>

#include "common/runtime_error.h"
#include "platform/ui/modal.h"

namespace velk {

namespace {

constexpr double kTwipsPerPoint = 20.0;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

}  // namespace

bool IsPdfPrinterName(const std::string& name) {
    return name.size() > 4 && Lower(name.substr(name.size() - 4)) == ".pdf";
}

std::string DefaultPrinterName(const std::string& chosen) {
    if (!chosen.empty()) return chosen;
    return QPrinterInfo::defaultPrinterName().toStdString();
}

QImage PrintableMono(const QImage& page) {
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    QImage mono;
    if (page.format() == QImage::Format_Mono) {
        const QList<QRgb> table = page.colorTable();
        if (table.size() == 2 && table[0] == black && table[1] == white) return page;
        mono = page.copy();
        // Min-is-white bits: inverting them lets the table read {black, white}.
        if (table.size() == 2 && table[0] == white && table[1] == black) {
            mono.invertPixels();
            mono.setColorTable({black, white});
            return mono;
        }
    }
    mono = page.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    if (mono.colorTable().size() == 2 && mono.colorTable()[0] == white) {
        mono.invertPixels();
    }
    mono.setColorTable({black, white});
    return mono;
}

QtPrinter::QtPrinter(const std::string& nameOrPdfPath) : printer_(QPrinter::HighResolution) {
    useName(nameOrPdfPath);
    printer_.setFullPage(false);
    printer_.setPageSize(QPageSize(QPageSize::Letter));
}

QtPrinter::QtPrinter(const std::string& queue, PreviewTag) : QtPrinter(queue) {
    preview_ = true;
    ask_ = false;
}

void QtPrinter::useName(const std::string& nameOrPdfPath) {
    ask_ = nameOrPdfPath.empty();
    pdf_ = ask_ || IsPdfPrinterName(nameOrPdfPath);
    jobs_ = 0;
    if (pdf_) {
        printer_.setOutputFormat(QPrinter::PdfFormat);
        pdfBase_ = nameOrPdfPath;
        nextFile_ = pdfBase_;
    } else {
        printer_.setOutputFormat(QPrinter::NativeFormat);
        printer_.setPrinterName(QString::fromStdString(nameOrPdfPath));
    }
}

std::vector<std::string> QtPrinter::queues() {
    std::vector<std::string> names;
    for (const QString& name : QPrinterInfo::availablePrinterNames()) names.push_back(name.toStdString());
    return names;
}

std::string QtPrinter::current() {
    if (ask_) return {};
    return pdf_ ? pdfBase_.string() : printer_.printerName().toStdString();
}

void QtPrinter::choose(const std::string& name) {
    // A job under way keeps its printer; choosing what is chosen keeps a PDF's numbering.
    if (painter_.isActive() || name == current()) return;
    useName(name);
    if (!pdf_) setPaperSize(paper_);  // the new queue takes the paper chosen so far
}

QtPrinter::~QtPrinter() {
    if (painter_.isActive()) abortDoc();
}

std::filesystem::path QtPrinter::nextOutputFile() const {
    return nextFile_;
}

void QtPrinter::setNextOutputFile(const std::filesystem::path& file) {
    nextFile_ = file;
}

void QtPrinter::setPaperSize(int paperCode) {
    QPageSize::PageSizeId id;
    switch (paperCode) {
        case kPaperLetter:
            id = QPageSize::Letter;
            break;
        case kPaperA4:
            id = QPageSize::A4;
            break;
        case kPaperLegal:
            id = QPageSize::Legal;
            break;
        default:
            return;  // a code we do not know leaves the paper as it is
    }
    paper_ = paperCode;
    printer_.setPageSize(QPageSize(id));  // inside a job: from the next page on
}

void QtPrinter::setDuplex(int duplexMode) {
    QPrinter::DuplexMode mode;
    switch (duplexMode) {
        case kDuplexNone:
            mode = QPrinter::DuplexNone;
            break;
        case kDuplexHorizontal:
            mode = QPrinter::DuplexLongSide;
            break;
        case kDuplexVertical:
            mode = QPrinter::DuplexShortSide;
            break;
        default:
            return;
    }
    duplex_ = duplexMode;
    // An open job keeps the mode it began with; the next one takes the new one.
    if (!painter_.isActive()) printer_.setDuplex(mode);
}

std::string QtPrinter::deviceName() {
    if (ask_)
        return nextFile_.empty() ? "PDF file" : nextFile_.string();  // the whole path: the user chose it
    if (pdf_) return nextFile_.filename().string();
    return printer_.printerName().toStdString();
}

std::string QtPrinter::port() {
    return pdf_ ? "PDF" : "CUPS";
}

int QtPrinter::scaleWidth() {
    return static_cast<int>(
        std::floor(printer_.pageLayout().paintRect(QPageLayout::Point).width() * kTwipsPerPoint));
}

int QtPrinter::scaleHeight() {
    return static_cast<int>(
        std::floor(printer_.pageLayout().paintRect(QPageLayout::Point).height() * kTwipsPerPoint));
}

double QtPrinter::deviceUnitsPerTwip() const {
    return printer_.resolution() / 1440.0;
}

void QtPrinter::begin() {
    if (painter_.isActive()) return;
    if (preview_) {
    } else if (pdf_) {
        if (nextFile_.empty()) throw RuntimeError(kErrPrinter, "Printer error: no file chosen for the PDF");
        printer_.setOutputFileName(QString::fromStdString(nextFile_.string()));
    } else if (!printer_.isValid()) {
        throw RuntimeError(kErrPrinter, "Printer error: no printer " + printer_.printerName().toStdString());
    }
    if (!painter_.begin(&printer_))
        throw RuntimeError(kErrPrinter,
                           pdf_ ? "Printer error: cannot write " + nextFile_.string() : "Printer error");
    painter_.setRenderHint(QPainter::LosslessImageRendering, true);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

void QtPrinter::drawPage(const QImage& page, const TwipRect& t) {
    begin();
    const double k = deviceUnitsPerTwip();
    const QRectF target(t.x * k, t.y * k, t.width * k, t.height * k);
    // The engine scales the 1-bit page itself; nothing is rasterised at device resolution.
    painter_.drawImage(target, PrintableMono(page));
}

void QtPrinter::drawText(int xTwips, int yTwips, const std::string& text, const std::string& fontName,
                         int pointSize, bool bold) {
    begin();
    QFont font(QString::fromStdString(fontName));
    font.setPointSize(std::max(1, pointSize));
    font.setBold(bold);
    painter_.setFont(font);
    const double k = deviceUnitsPerTwip();
    // The position is the text's top-left corner, as the platform's printer places it.
    const QFontMetricsF metrics(font, &printer_);
    painter_.drawText(QPointF(xTwips * k, yTwips * k + metrics.ascent()), QString::fromStdString(text));
}

void QtPrinter::newPage() {
    begin();
    if (!printer_.newPage()) throw RuntimeError(kErrPrinter, "Printer error");
}

namespace {

// The PDF engine does not report a failed write: a file is whole when it ends with
// its end-of-file marker.
bool PdfComplete(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
    if (size < 16) return false;
    const std::streamoff tail = std::min<std::streamoff>(size, 64);
    std::string end(static_cast<std::size_t>(tail), '\0');
    in.seekg(size - tail);
    return in.read(end.data(), tail) && end.find("%%EOF") != std::string::npos;
}

}  // namespace

bool QtPrinter::endDoc() {
    if (!painter_.isActive()) return true;
    if (preview_) return painter_.end();
    const bool ended = painter_.end();
    bool ok = ended && printer_.printerState() != QPrinter::Error;
    if (ask_ || pdf_) {
        if (ok && !PdfComplete(nextFile_)) ok = false;
        std::error_code ec;
        if (!ok) std::filesystem::remove(nextFile_, ec);  // half a document is no document
    }
    if (ask_) {
        if (ok) written_.push_back(nextFile_);
        nextFile_.clear();  // the next run asks again
    } else if (pdf_) {
        if (ok) written_.push_back(nextFile_);
        ++jobs_;
        const std::string stem = pdfBase_.stem().string() + "-" + std::to_string(jobs_ + 1);
        nextFile_ = pdfBase_.parent_path() / (stem + pdfBase_.extension().string());
    }
    // A duplex choice made during the job applies from the next one.
    setDuplex(duplex_);
    return ok;
}

void QtPrinter::abortDoc() {
    if (!painter_.isActive()) return;
    printer_.abort();
    painter_.end();
    if (pdf_) {
        std::error_code ec;
        std::filesystem::remove(nextFile_, ec);  // half a document is no document
    }
}

bool QtPrinter::setup(Modal& modal) {
    if (painter_.isActive()) return false;
    QPrintDialog dialog(&printer_);
    dialog.setWindowTitle("Printer Setup");
    // Setup only chooses: its confirm button must not promise a print.
    for (QDialogButtonBox* box : dialog.findChildren<QDialogButtonBox*>())
        if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) ok->setText("OK");
    if (modal.exec(dialog) != QDialog::Accepted) return false;
    ask_ = false;  // a queue or a file chosen here
    if (printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty()) {
        pdf_ = true;
        pdfBase_ = printer_.outputFileName().toStdString();
        nextFile_ = pdfBase_;
        jobs_ = 0;
    } else {
        pdf_ = false;
    }
    const QPageSize::PageSizeId id = printer_.pageLayout().pageSize().id();
    paper_ = id == QPageSize::A4       ? kPaperA4
             : id == QPageSize::Legal  ? kPaperLegal
             : id == QPageSize::Letter ? kPaperLetter
                                       : paper_;
    return true;
}

}  // namespace velk

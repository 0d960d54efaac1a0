// Real output: documents printed to PDF files, read back with poppler's tools.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QImage>
#include <QPushButton>
#include <csignal>
#include <cstdlib>
#include <fstream>

#include "platform/ui/pdf_output.h"
#include "platform/ui/qt_printer.h"
#include "print/print_runs.h"
#include "print/ui/frm_print.h"
#include "tests/imaging/imaging_fixtures.h"
#include "tests/platform/scratch_dir.h"
#include "tests/print/pdf_facts.h"
#include "tests/print/print_fixtures.h"
#include "tests/support/fake_modal.h"
#include "viewer/document_locator.h"

namespace velk {
namespace {

using test::PrintInstall;
namespace mks = velk::mksample;

// Without a printer queue the user says where the PDF goes: the document number is the
// proposed name, in the export folder unless the installation is open; a restricted one
// keeps it there. A batch asks once for a folder and writes one PDF per document in it,
// replacing a file only when the user agrees.
TEST(PdfPrint, NoQueueAsksWhereThePdfGoes) {
    PrintInstall in(mks::Collection::Quorvel, mks::DriveMode::Tower);
    QtPrinter printer("");
    in.app.ports.printer = &printer;
    in.app.ports.modal = &in.modal;
    const std::filesystem::path exportDir = in.tree.dir("export");
    in.app.config.ExportPath = exportDir.string();
    for (const char* type : {"OPEN", "STANDARD", "RESTRICTED"}) {
        in.app.config.InstallationType = type;
        EXPECT_EQ(PdfStartDirectory(in.app) == exportDir, std::string(type) != "OPEN") << type;
    }
    std::string proposed, choose;
    in.modal.onExec = [&](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        proposed = dialog.selectedFiles().value(0).toStdString();
        if (!choose.empty()) dialog.selectFile(QString::fromStdString(choose));
        d.done(QDialog::Accepted);
    };
    const mks::SampleDocument& doc = in.showWith(2);
    const PdfChoice one = PreparePdfDocument(in.app, nullptr, PdfFileName(doc.number));
    EXPECT_EQ(proposed, (exportDir / (KeepAlnum(doc.number) + ".pdf")).string());
    {
        PrintRun run(in.app, nullptr);
        ASSERT_TRUE(PrintCurrentDocument(in.app, run, PageOptions{.choice = PageChoice::FirstPage}));
    }
    EXPECT_EQ(test::ReadPdf(one.path.value().string()).pages, "1");
    choose = (in.tree.root() / "elsewhere.pdf").string();  // outside EXPORT_PATH, restricted
    EXPECT_TRUE(PreparePdfDocument(in.app, nullptr, "x.pdf").cancelled);
    EXPECT_EQ(in.ports.messages.last(), "Printed documents can only be saved in " + exportDir.string() + ".");

    // The batch: the first document's file is there already and kept; the other is written.
    const mks::SampleDocument &kept = in.s.documents[0], &made = in.s.documents.back();
    std::ofstream(exportDir / PdfFileName(kept.number)) << "mine";
    in.toPrint(kept);
    in.toPrint(made);
    choose = exportDir.string();
    const PdfChoice folder = PreparePdfBatch(in.app, nullptr);
    ASSERT_EQ(folder.path, exportDir);
    in.ports.messages.answers = {Answer::No};
    PrintRun run(in.app, nullptr);
    run.pdfFolder = folder.path;
    EXPECT_EQ(PrintPatentBatch(in.app, run, PageOptions{.choice = PageChoice::FirstPage}).printed, 1);
    EXPECT_EQ(test::ScratchDir::ReadFile(exportDir / PdfFileName(kept.number)), "mine");
    EXPECT_EQ(test::ReadPdf(exportDir / PdfFileName(made.number)).pages, "1");
    EXPECT_EQ(in.printList(), std::vector<std::string>{Trim(kept.number)});
}

// Printed to a PDF file: the chosen pages on the configured paper, drawn where a user
// sees them; a batch writes a file a document. File > Save as PDF writes the dialog's
// choice into one file whatever the printer is, each page the stored G4 (1-bit CCITT),
// and the printer gets nothing; the run ends with its summary naming the file. Either
// way the document leaves To Print.
TEST(PdfPrint, PrintedAndSavedPdfFiles) {
    PrintInstall in(mks::Collection::Quorvel, mks::DriveMode::Tower);
    const mks::SampleDocument& doc = in.showWith(3);
    const std::string out = in.tree.dir("pdf").string();
    QtPrinter printer(out + "/one.pdf");
    in.app.ports.printer = &printer;
    in.toPrint(doc);
    in.app.config.PageType = "A4";
    {
        PrintRun run(in.app, nullptr);
        const PageOptions three{.choice = PageChoice::Range, .rangeStart = 1, .rangeEnd = 3};
        ASSERT_TRUE(PrintCurrentDocument(in.app, run, three)) << in.ports.messages.last();
    }
    ASSERT_EQ(printer.outputFiles().size(), 1u);
    EXPECT_TRUE(in.printList().empty());
    const std::string one = printer.outputFiles()[0].string();
    EXPECT_EQ(test::PdfShape(one), "3 pages, 595 x 842 pts");
    // The page as a user sees it: not blank, dark where the page's header is drawn.
    ASSERT_EQ(std::system(("pdftoppm -r 40 -f 1 -l 1 -png '" + one + "' '" + out + "/look'").c_str()), 0);
    const QImage look(QString::fromStdString(out + "/look-1.png"));
    ASSERT_FALSE(look.isNull());
    EXPECT_GT(test::BlackCount(look), look.width() * look.height() / 200);
    EXPECT_GT(test::BlackCount(look.copy(0, 0, look.width(), look.height() / 5)), 0);

    in.toPrint(doc);
    in.app.ports.modal = &in.modal;
    const std::string file = out + "/chosen.pdf";
    in.modal.onExec = [&](QDialog& d) {
        dynamic_cast<QFileDialog&>(d).selectFile(QString::fromStdString(file));
        d.done(QDialog::Accepted);
    };
    frmPrint f(in.app, in.modal);
    f.saveAsPdf();
    EXPECT_EQ(f.cmdPrint->text(), "&Save");
    f.optRange->setChecked(true);
    f.cmbRangeSt->setCurrentIndex(0);
    f.cmbRangeEnd->setCurrentIndex(2);
    f.cmdPrint->click();
    EXPECT_EQ(printer.outputFiles().size(), 1u);
    const test::PdfFacts saved = test::ReadPdf(file);
    EXPECT_EQ(saved.pages, "3");
    EXPECT_EQ(saved.images, std::vector<std::string>(3, "ccitt 1 gray"));
    EXPECT_TRUE(in.printList().empty());
    ASSERT_EQ(in.ports.messages.summaries.size(), 1u);
    const RunSummary& s = in.ports.messages.summaries[0];
    EXPECT_EQ(std::tuple(s.run, s.documents, s.pages, s.output, s.folder.string()),
              std::tuple(std::string("Save as PDF"), 1, 3, file, out));

    // Cancelled after the first page: no file at all, not half of one.
    std::filesystem::remove(file);
    in.ports.pump.calls = 0;
    in.ports.pump.onPump = [&](int n) {
        if (n == 2) in.app.PrintCancel = true;
    };
    f.cmdPrint->click();
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(in.ports.messages.summaries.back().pages, 0);

    // A batch of two documents on Legal: one file per document, one job each.
    in.ports.pump.onPump = nullptr;
    in.app.config.PageType = "LEGAL";
    in.toPrint(in.s.documents[0]);
    in.toPrint(in.s.documents.back());
    EXPECT_EQ(in.patentBatch(PageChoice::FirstPage).printed, 2);
    ASSERT_EQ(printer.outputFiles().size(), 3u);
    for (std::size_t i = 1; i < 3; ++i)
        EXPECT_EQ(test::PdfShape(printer.outputFiles()[i]), "1 pages, 612 x 1008 pts");
    EXPECT_EQ(printer.outputFiles()[1].filename(), "one-2.pdf");
    EXPECT_TRUE(in.printList().empty());
}

TEST(PdfPrint, MonoPageLetterSizeSetupAndAJobThatCannotEnd) {
    QImage fax(64, 32, QImage::Format_Mono);
    fax.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    fax.fill(0);
    fax.setPixel(3, 4, 1);
    const QImage ready = PrintableMono(fax);
    EXPECT_EQ(ready.colorTable(), (QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
    EXPECT_EQ(qGray(ready.pixel(3, 4)), 0);
    EXPECT_EQ(qGray(ready.pixel(5, 4)), 255);

    test::TempTree tree("pdfletter");
    QtPrinter printer((tree.root() / "letter.pdf").string());
    printer.setPaperSize(kPaperLetter);
    EXPECT_EQ(printer.port(), "PDF");
    EXPECT_EQ(printer.deviceName(), "letter.pdf");
    printer.drawPage(fax, {0, 0, printer.scaleWidth(), printer.scaleHeight() / 2});
    EXPECT_TRUE(printer.endDoc());
    EXPECT_EQ(test::PdfShape(tree.root() / "letter.pdf"), "1 pages, 612 x 792 pts");
    EXPECT_EQ(printer.nextOutputFile().filename(), "letter-2.pdf");

    // Printer Setup chooses and confirms with OK; closed with Cancel it changes nothing.
    test::FakeModal modal;
    QString confirm;
    modal.onExec = [&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Printer Setup");
        if (auto* box = d.findChild<QDialogButtonBox*>()) confirm = box->button(QDialogButtonBox::Ok)->text();
        d.reject();
    };
    EXPECT_FALSE(printer.setup(modal));
    EXPECT_EQ(confirm, "OK");
    EXPECT_EQ(printer.nextOutputFile().filename(), "letter-2.pdf");
    EXPECT_EQ(printer.lastOutputFile(), (tree.root() / "letter.pdf").string());

    // A PDF that cannot be written to its end (the disk fills) is no document: the job
    // fails and the partial file goes, as an aborted job's does.
    const std::filesystem::path file = tree.root() / "cut.pdf";
    // Noise beyond any compression into the limit, in a 1-bit page with no colour table.
    QImage noise(1200, 1600, QImage::Format_Mono);
    std::uint32_t x = 12345;
    for (int y = 0; y < noise.height(); ++y)
        for (int i = 0; i < noise.bytesPerLine(); ++i)
            noise.scanLine(y)[i] = static_cast<uchar>((x = x * 1664525u + 1013904223u) >> 24);
    QtPrinter cut(file.string());
    cut.drawPage(noise, {0, 0, cut.scaleWidth(), cut.scaleHeight()});
    bool ended = true;
    {
        // The file may grow to 8 KB; a write past that fails as on a full disk.
        struct Limit {
            rlimit old{};
            void (*handler)(int);
            Limit() : handler(std::signal(SIGXFSZ, SIG_IGN)) {
                getrlimit(RLIMIT_FSIZE, &old);
                rlimit small{8192, old.rlim_max};
                setrlimit(RLIMIT_FSIZE, &small);
            }
            ~Limit() {
                setrlimit(RLIMIT_FSIZE, &old);
                std::signal(SIGXFSZ, handler);
            }
        } limit;
        ended = cut.endDoc();
    }
    EXPECT_FALSE(ended);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(cut.outputFiles().empty());
    EXPECT_EQ(cut.lastOutputFile(), "");
}

}  // namespace
}  // namespace velk

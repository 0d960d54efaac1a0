// Real output: documents printed to PDF files, read back with poppler's tools.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <memory>

#include "platform/ui/qt_printer.h"
#include "print/print_runs.h"
#include "tests/print/print_fixtures.h"
#include "viewer/document_locator.h"

namespace velk {
namespace {

using test::PrintInstall;
namespace mks = velk::mksample;

std::string Shell(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return out;
    char buf[512];
    while (std::fgets(buf, sizeof buf, pipe.get())) out += buf;
    return out;
}

std::string InfoLine(const std::string& info, const std::string& key) {
    const auto at = info.find(key + ":");
    if (at == std::string::npos) return {};
    const auto end = info.find('\n', at);
    return Trim(info.substr(at + key.size() + 1, end - at - key.size() - 1));
}

TEST(PdfPrint, DocumentAndBatchToPdfFiles) {
    PrintInstall in(mks::Collection::Quorvel, mks::DriveMode::Tower);
    const mks::SampleDocument* doc = nullptr;
    for (const auto& d : in.s.documents)
        if (d.pages >= 3 && !doc) doc = &d;
    ASSERT_NE(doc, nullptr);
    const std::string out = in.tree.dir("pdf").string();
    QtPrinter printer(out + "/one.pdf");
    in.app.ports.printer = &printer;

    in.app.doc.CurDocNo = doc->number;
    in.app.doc.CurVolume = doc->volume;
    ASSERT_TRUE(GetPath_OpenIdx(in.app, doc->number, doc->volume));
    in.app.doc.CurPageCount = Int16(doc->pages);
    in.toPrint(*doc);
    PageOptions three;
    three.choice = PageChoice::Range;
    three.rangeStart = 1, three.rangeEnd = 3;
    in.app.config.PageType = "A4";
    {
        PrintRun run(in.app, nullptr);
        ASSERT_TRUE(PrintCurrentDocument(in.app, run, three)) << in.ports.messages.last();
    }
    ASSERT_EQ(printer.outputFiles().size(), 1u);
    EXPECT_TRUE(in.printList().empty());
    const std::string info = Shell("pdfinfo " + printer.outputFiles()[0].string());
    EXPECT_EQ(InfoLine(info, "Pages"), "3");
    EXPECT_EQ(InfoLine(info, "Page size").rfind("595 x 842 pts", 0), 0u) << info;

    // The page as a user sees it: not blank, dark where the page's header is drawn.
    Shell("pdftoppm -r 40 -f 1 -l 1 -png " + printer.outputFiles()[0].string() + " " + out + "/look");
    QImage look(QString::fromStdString(out + "/look-1.png"));
    ASSERT_FALSE(look.isNull());
    int dark = 0, darkTop = 0;
    for (int y = 0; y < look.height(); ++y)
        for (int x = 0; x < look.width(); ++x)
            if (qGray(look.pixel(x, y)) < 128) {
                ++dark;
                if (y < look.height() / 5) ++darkTop;
            }
    EXPECT_GT(dark, look.width() * look.height() / 200);
    EXPECT_GT(darkTop, 0);

    // A batch of two documents on Legal: one file per document, one job each.
    in.app.config.PageType = "LEGAL";
    in.toPrint(in.s.documents[0]);
    in.toPrint(in.s.documents.back());
    PageOptions first;
    first.choice = PageChoice::FirstPage;
    {
        PrintRun run(in.app, nullptr);
        EXPECT_EQ(PrintPatentBatch(in.app, run, first).printed, 2);
    }
    ASSERT_EQ(printer.outputFiles().size(), 3u);
    for (std::size_t i = 1; i < 3; ++i) {
        const std::string batchInfo = Shell("pdfinfo " + printer.outputFiles()[i].string());
        EXPECT_EQ(InfoLine(batchInfo, "Pages"), "1");
        EXPECT_EQ(InfoLine(batchInfo, "Page size").rfind("612 x 1008 pts", 0), 0u) << batchInfo;
    }
    EXPECT_EQ(printer.outputFiles()[1].filename(), "one-2.pdf");
    EXPECT_TRUE(in.printList().empty());
}

TEST(PdfPrint, MonoPageStaysOneBitAndLetterSize) {
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
    const std::string info = Shell("pdfinfo " + (tree.root() / "letter.pdf").string());
    EXPECT_EQ(InfoLine(info, "Page size").rfind("612 x 792 pts", 0), 0u) << info;
    EXPECT_EQ(printer.nextOutputFile().filename(), "letter-2.pdf");
}

}  // namespace
}  // namespace velk

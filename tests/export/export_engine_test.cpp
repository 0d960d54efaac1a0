// The export engine on generated installations: every format read back by an
// independent reader, names, questions, free space, hostile numbers and Cancel.
#include "export/export_engine.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <QImage>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <numeric>
#include <sstream>

#include "print/document_files.h"
#include "tests/export/export_fixtures.h"
#include "tests/imaging/imaging_fixtures.h"
#include "tests/platform/scratch_dir.h"
#include "tests/print/pdf_facts.h"
#include "viewer/document_locator.h"
#include "viewer/page_loading.h"

namespace velk {
namespace {

using test::ExportInstall;
using test::Output;
namespace fs = std::filesystem;
namespace mks = velk::mksample;

int ExitCode(const std::string& cmd) {
    return std::system((cmd + " >/dev/null 2>&1").c_str());
}

const auto ReadText = test::ScratchDir::ReadFile;

// The exported picture as another program decodes it. PCX goes through Netpbm: this
// ImageMagick reads every 1-bit PCX with its two colours swapped, Netpbm's own too.
QImage ReadBack(const fs::path& file, SaveFormat f, const fs::path& scratch) {
    const fs::path back = scratch / "back.pgm";
    const std::string cmd = f == SaveFormat::Pcx
                                ? "pcxtoppm '" + file.string() + "' | ppmtopgm > '" + back.string() + "'"
                                : "convert '" + file.string() + "' -depth 8 pgm:'" + back.string() + "'";
    EXPECT_EQ(ExitCode("(" + cmd + ")"), 0) << cmd;
    QImage image(QString::fromStdString(back.string()));
    fs::remove(back);
    return image;
}

// Black pixels of two pictures of the same size agree.
void ExpectSamePixels(const QImage& a, const QImage& b, const std::string& what) {
    ASSERT_EQ(a.size(), b.size()) << what;
    int differing = 0;
    for (int r = 0; r < a.height(); ++r)
        for (int c = 0; c < a.width(); ++c) differing += test::IsBlack(a, c, r) != test::IsBlack(b, c, r);
    EXPECT_EQ(differing, 0) << what;
}

TEST(ExportEngine, EveryFormatReadsBackWithTheSourcePixels) {
    // Without another program's reading the check would prove nothing: ./velk installs both.
    ASSERT_TRUE(ExitCode("identify -version") == 0 && ExitCode("pcxtoppm -version") == 0)
        << "ImageMagick and Netpbm are needed to read exports back";
    // Depth, colours and coding as ImageMagick reads them (it names none for PCX). A GIF
    // has no 1-bit depth: it is 1-bit when its table holds two colours.
    const std::map<SaveFormat, std::string> formats = {{SaveFormat::TiffG4, " 1 2 Group4"},
                                                       {SaveFormat::TiffG3, " 1 2 Fax"},
                                                       {SaveFormat::TiffUncompressed, " 1 2 None"},
                                                       {SaveFormat::Pcx, " 1 2 Undefined"},
                                                       {SaveFormat::Bmp, " 1 2 None"},
                                                       {SaveFormat::Gif, " 8 2 LZW"}};
    for (mks::ImageKind kind : {mks::ImageKind::Container, mks::ImageKind::TiffTextMap}) {
        ExportInstall in;
        const fs::path work = fs::path(in.app.config.AppDir) / "workingP";
        fs::remove_all(work);
        const mks::SampleDocument& d = in.open(kind);
        const QImage src = in.source(2);
        // Container pages record no resolution: exported pages say 300 dpi.
        const int dpi =
            kind == mks::ImageKind::Container
                ? 300
                : static_cast<int>(LoadRecordedPage(in.app, in.app.doc.CurImagePath, Int16(2)).dpiX());
        for (const auto& [f, facts] : formats) {
            const fs::path dest = in.tree.dir("fmt" + std::to_string(static_cast<int>(f)));
            ASSERT_EQ(in.exportPages({2}, f, dest), ExportOutcome::Done) << in.ports.messages.last();
            const fs::path file = dest / d.number / ExportFileName(2, f);
            ASSERT_TRUE(fs::exists(file)) << file;
            EXPECT_EQ(fs::directory_iterator(dest / d.number)->path(), file);  // no temporary left
            const std::string what = std::string(mks::KindName(kind)) + " " + file.filename().string();
            const std::string read =
                Output("identify -units PixelsPerInch -format '%w %h %z %k %C/%x' '" + file.string() + "'");
            EXPECT_EQ(read.substr(0, read.find('/')),
                      std::to_string(src.width()) + " " + std::to_string(src.height()) + facts)
                << what;
            // The resolution, where the format's header holds one.
            EXPECT_TRUE(f == SaveFormat::Pcx || f == SaveFormat::Gif ||
                        std::atoi(read.c_str() + read.find('/') + 1) == dpi)
                << what << ": " << read << ", not " << dpi;
            EXPECT_TRUE(f != SaveFormat::Gif || (ReadText(file).at(10) & 0x87) == 0x80) << what;
            ExpectSamePixels(ReadBack(file, f, dest), src, what);
            if (f == SaveFormat::Gif)  // a second reader: Qt's own GIF decoder
                ExpectSamePixels(QImage(QString::fromStdString(file.string()), "GIF"), src, what + " (Qt)");
        }
        // Each page is written once, straight to its place: no working copy anywhere.
        EXPECT_FALSE(fs::exists(work));
    }
}

TEST(ExportEngine, G4PagesAreCopiedWithoutRecoding) {
    ExportInstall in;
    in.open(mks::ImageKind::Container);
    ASSERT_TRUE(GetPage(in.app, in.app.doc.CurImagePath, in.app.doc.CurDocNo, Int16(1)));
    const auto copied = G4PassThrough(in.app, in.app.doc.CurImagePath, 1);
    ASSERT_FALSE(copied.empty());
    // The block in the container appears unchanged inside the new file.
    const auto start = static_cast<std::size_t>(PageDataOffset(in.app.doc.Page));
    const std::string block = ReadText(in.app.doc.CurImagePath).substr(start, 64);
    EXPECT_NE(std::string(copied.begin(), copied.end()).find(block), std::string::npos);
    EXPECT_TRUE(G4PassThrough(in.app, "/nonexistent/x.tif", 1).empty());

    // A page whose Orientation is not 1 is written upright: a copied strip would show
    // it on its side wherever the tag is not carried along.
    const mks::SampleDocument& d = in.open(mks::ImageKind::TiffTextMap);
    const QImage upright = test::AsymmetricPage();
    const test::TiffPage side{test::StoredFor(upright, ORIENTATION_RIGHTTOP), COMPRESSION_CCITTFAX4,
                              PHOTOMETRIC_MINISWHITE, 300, ORIENTATION_RIGHTTOP};
    test::WriteTiff(in.app.doc.CurImagePath, {side, side});
    ASSERT_EQ(in.exportPages({2}, SaveFormat::TiffG4, in.out), ExportOutcome::Done);
    const fs::path file = in.out / d.number / ExportFileName(2, SaveFormat::TiffG4);
    EXPECT_EQ(Output("identify -format '%C' '" + file.string() + "'"), "Group4");
    ExpectSamePixels(ReadBack(file, SaveFormat::TiffG4, in.tree.dir("back")), upright, "exported");
    ExpectSamePixels(in.source(2), upright, "printed");  // print decodes it as export does
}

// A TIFF of the pages stored in unusual ways: G4 with 0 for black (goes in as it is, read
// inverted), then uncompressed, G4 in fill order 2, G4 in two strips, turned (coded anew).
void WriteUnusualTiff(const fs::path& file, const std::vector<QImage>& pages) {
    TIFF* t = TIFFOpen(file.c_str(), "w");
    ASSERT_NE(t, nullptr);
    for (int i = 0; i < static_cast<int>(pages.size()); ++i) {
        const QImage& p = pages[static_cast<std::size_t>(i)];
        const int kind = i % 5;
        test::SetPageFields(t, p.width(), p.height(), 1, kind == 1 ? COMPRESSION_NONE : COMPRESSION_CCITTFAX4,
                            kind == 0 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_MINISWHITE);
        TIFFSetField(t, TIFFTAG_FILLORDER, kind == 2 ? FILLORDER_LSB2MSB : FILLORDER_MSB2LSB);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, kind == 3 ? (p.height() + 1) / 2 : p.height());
        TIFFSetField(t, TIFFTAG_ORIENTATION, kind == 4 ? ORIENTATION_RIGHTTOP : ORIENTATION_TOPLEFT);
        TIFFSetField(t, TIFFTAG_XRESOLUTION, 200.f);
        TIFFSetField(t, TIFFTAG_YRESOLUTION, 100.f);
        TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        for (int y = 0; y < p.height(); ++y)
            ASSERT_GE(TIFFWriteScanline(t, test::PackedRow(p, y, kind != 0).data(),
                                        static_cast<std::uint32_t>(y), 0),
                      0);
        TIFFWriteDirectory(t);
    }
    TIFFClose(t);
}

// The images of a PDF as pdfimages extracts them.
std::vector<QImage> PdfPixels(const fs::path& pdf, const fs::path& scratch) {
    const fs::path dir = scratch / "extracted";
    fs::create_directories(dir);
    EXPECT_EQ(ExitCode("pdfimages -tiff '" + pdf.string() + "' '" + (dir / "p").string() + "'"), 0);
    std::vector<fs::path> files{fs::directory_iterator(dir), {}};
    std::sort(files.begin(), files.end());
    std::vector<QImage> pixels;
    for (const fs::path& f : files) pixels.push_back(PageImage::load(f).toQImage());
    fs::remove_all(dir);
    return pixels;
}

// One file per document: every page read back by other programs as the viewer shows it,
// G4 pages with their bytes unchanged.
TEST(ExportEngine, DocumentFilesHoldEveryPageAsTheViewerShowsIt) {
    ASSERT_EQ(ExitCode("for t in pdfinfo pdfimages tiffinfo; do command -v $t || exit 1; done"), 0)
        << "poppler-utils and libtiff-tools are needed";
    ExportInstall in;
    // stored: which pages go in as they are
    auto check = [&](const std::string& what, int pages, const std::vector<bool>& stored) {
        std::vector<QImage> src;
        std::vector<std::string> strips;
        std::vector<double> dpiX, dpiY;
        for (int p = 1; p <= pages; ++p) {
            src.push_back(in.source(p));
            const auto s = StoredG4Strip(in.app, in.app.doc.CurImagePath, Int16(p));
            EXPECT_EQ(s.has_value(), stored.at(static_cast<std::size_t>(p - 1))) << what << " page " << p;
            strips.push_back(s ? std::string(s->data.begin(), s->data.end()) : std::string());
            const PageImage page = LoadRecordedPage(in.app, in.app.doc.CurImagePath, Int16(p));
            dpiX.push_back(page.dpiX()), dpiY.push_back(page.dpiY());
        }
        const std::string number = ExportDirName(in.app.doc.CurDocNo);
        ExportRun run(in.app, nullptr);
        const fs::path dest = in.tree.dir("doc-" + number);
        std::vector<int> all(static_cast<std::size_t>(pages));
        std::iota(all.begin(), all.end(), 1);
        ASSERT_EQ(run.ExportDocumentFile(all, DocumentFileFormat::Pdf, dest), ExportOutcome::Done) << what;
        ASSERT_EQ(run.ExportDocumentFile(all, DocumentFileFormat::Tiff, dest), ExportOutcome::Done) << what;
        EXPECT_EQ(run.pagesWritten(), 2 * pages);
        const fs::path pdf = dest / (number + ".pdf"), tif = dest / (number + ".tif");
        EXPECT_EQ(run.written(), (std::vector<fs::path>{pdf, tif}));

        const test::PdfFacts r = test::ReadPdf(pdf);
        const std::vector<QImage> pixels = PdfPixels(pdf, in.tree.root());
        EXPECT_EQ(r.pages, std::to_string(pages)) << what;
        ASSERT_EQ(r.sizes.size(), static_cast<std::size_t>(pages)) << what;
        ASSERT_EQ(pixels.size(), static_cast<std::size_t>(pages)) << what;
        const std::string pdfBytes = ReadText(pdf), tifBytes = ReadText(tif);
        for (int i = 0; i < pages; ++i) {
            const auto at = static_cast<std::size_t>(i);
            const std::string page = what + " page " + std::to_string(i + 1);
            EXPECT_NEAR(r.sizes[at].first, src[at].width() * 72.0 / dpiX[at], 0.01) << page;
            EXPECT_NEAR(r.sizes[at].second, src[at].height() * 72.0 / dpiY[at], 0.01) << page;
            EXPECT_EQ(r.images.at(at), "ccitt 1 gray") << page;
            ExpectSamePixels(pixels[at], src[at], page + " (pdf)");
            ExpectSamePixels(PageImage::load(tif, i + 1).toQImage(), src[at], page + " (tiff)");
            EXPECT_TRUE(!stored[at] || pdfBytes.find(strips[at]) != std::string::npos) << page;
            EXPECT_TRUE(!stored[at] || tifBytes.find(strips[at]) != std::string::npos) << page;
        }
        EXPECT_EQ(Output("tiffinfo '" + tif.string() + "' | grep -c 'Compression Scheme: CCITT Group 4'"),
                  std::to_string(pages) + "\n")
            << what;
    };
    for (mks::ImageKind kind :
         {mks::ImageKind::Container, mks::ImageKind::TiffTextMap, mks::ImageKind::TiffEmbedded}) {
        const mks::SampleDocument& d = in.open(kind);
        check(mks::KindName(kind), d.pages, std::vector<bool>(static_cast<std::size_t>(d.pages), true));
    }

    // Pages stored any other way are coded as G4 from the page the viewer shows.
    in.open(mks::ImageKind::TiffTextMap);
    std::vector<QImage> pages;
    for (int p = 1; p <= 2; ++p) pages.push_back(in.source(p));
    for (int p = 0; p < 3; ++p) pages.push_back(pages[static_cast<std::size_t>(p)].mirrored(true, false));
    const fs::path unusual = in.tree.root() / "UNUSUAL.TIF";
    WriteUnusualTiff(unusual, pages);
    in.app.doc.CurImagePath = unusual.string();
    in.app.doc.CurDocNo = "777       ";
    in.app.doc.CurPageCount = Int16(5);
    check("unusual TIFF", 5, {true, false, false, false, false});

    // Cancel while the pages are gathered: no file.
    in.ports.pump.onPump = [&](int) { in.app.ExportCancel = true; };
    ExportRun run(in.app, nullptr);
    EXPECT_EQ(run.ExportDocumentFile({1, 2}, DocumentFileFormat::Pdf, in.out), ExportOutcome::Cancelled);
    EXPECT_TRUE(fs::is_empty(in.out));
}

TEST(ExportEngine, NamesDirectoriesAndHostileNumbers) {
    EXPECT_EQ(ExportFileName(7, SaveFormat::TiffG3), "Page0007.TIF");
    EXPECT_EQ(ExportDirName("5123456  "), "5123456");
    for (const char* bad : {"", "   ", ".", "..", " .. ", "a/b", "a\\b", "C:x", "1\t2", "\x7f"})
        EXPECT_EQ(ExportDirName(bad), "") << bad;

    ExportInstall in;
    const mks::SampleDocument& d = in.open(mks::ImageKind::Container);
    for (const char* bad : {"..", "../x", "C:\\", ""}) {
        in.app.doc.CurDocNo = bad;
        EXPECT_EQ(in.exportPages({1}, SaveFormat::Pcx, in.out), ExportOutcome::Skipped);
        EXPECT_EQ(in.ports.messages.last().rfind("Error creating directory => ", 0), 0u) << bad;
    }
    EXPECT_TRUE(fs::is_empty(in.out));

    // A file where the directory should be: the document is refused once, not once a
    // page, and a batch would go on with the next one.
    in.open(d);
    const std::string dirText = DirErrorText((in.out / d.number).string());
    std::ofstream(in.out / d.number) << "not a directory";
    std::size_t before = in.ports.messages.shown.size();
    ExportRun run(in.app, nullptr);
    EXPECT_EQ(run.ExportDocument({1, 2}, SaveFormat::Bmp, in.out), ExportOutcome::Skipped);
    ASSERT_EQ(in.ports.messages.shown.size(), before + 1);
    EXPECT_EQ(in.ports.messages.last().rfind(dirText, 0), 0u) << in.ports.messages.last();
    EXPECT_EQ(run.pagesWritten(), 0);
    EXPECT_FALSE(run.stopped());
    ASSERT_EQ(run.summary.failed.size(), 1u);
    EXPECT_EQ(run.summary.failed[0].what, d.number);

    // A link of that name would send the pages elsewhere: refused as well.
    fs::remove(in.out / d.number);
    const fs::path elsewhere = in.tree.dir("elsewhere");
    fs::create_directory_symlink(elsewhere, in.out / d.number);
    before = in.ports.messages.shown.size();
    EXPECT_EQ(in.exportPages({1}, SaveFormat::Bmp, in.out), ExportOutcome::Skipped);
    EXPECT_EQ(in.ports.messages.shown.size(), before + 1);
    EXPECT_TRUE(fs::is_empty(elsewhere));

    // No working directory is used: a file in its place stops nothing.
    fs::remove(in.out / d.number);
    const fs::path work = fs::path(in.app.config.AppDir) / "workingP";
    fs::remove_all(work);
    std::ofstream(work) << "in the way";
    ExportRun again(in.app, nullptr);
    EXPECT_EQ(again.ExportDocument({1, 2, 1}, SaveFormat::Bmp, in.out), ExportOutcome::Done);
    EXPECT_EQ(again.pagesWritten(), 2);  // page 1 chosen twice, written once
    EXPECT_EQ(ReadText(work), "in the way");
}

// Too little room, Cancel, the replace question and a failing sync each keep the document
// on its list with nothing of it half written, or take it off once its files are there.
TEST(ExportEngine, FreeSpaceCancelOverwriteAndSync) {
    ExportInstall in;
    const mks::SampleDocument& d = in.open(mks::ImageKind::Container);
    in.toExport(d);
    const std::string shownBefore = in.app.doc.CurImagePath;

    // Too little room, then Cancel to the diskette question: nothing left behind.
    in.ports.disk.bytes = 10;
    in.ports.messages.answers = {Answer::OK, Answer::Cancel};
    EXPECT_EQ(in.exportPages({1, 2}, SaveFormat::TiffG4, in.out), ExportOutcome::Cancelled);
    EXPECT_TRUE(in.ports.messages.contains(kNoSpaceText) && in.ports.messages.contains(kInsertDisketteText));
    EXPECT_TRUE(fs::is_empty(in.out));
    EXPECT_EQ(in.lists->Count(ListTable::ToExport), 1);
    EXPECT_EQ(in.app.doc.CurImagePath, shownBefore);

    // Room unknown (the call failed): the export goes ahead.
    in.ports.disk.bytes.reset();
    EXPECT_EQ(in.exportPages({1}, SaveFormat::TiffG4, in.out), ExportOutcome::Done);
    in.toExport(d);
    in.ports.disk.bytes = std::uint64_t(1) << 40;

    // Cancel during the second page: the new page files go, the older one and a stranger's file stay.
    const fs::path dir = in.out / d.number;
    std::ofstream(dir / "notes.txt") << "mine";
    in.ports.pump.onPump = [&](int) {
        if (fs::exists(dir / "Page0002.GIF")) in.app.ExportCancel = true;
    };
    EXPECT_EQ(in.exportPages({1, 2, 3}, SaveFormat::Gif, in.out), ExportOutcome::Cancelled);
    for (const char* gone : {"Page0001.GIF", "Page0002.GIF", "Page0003.GIF"})
        EXPECT_FALSE(fs::exists(dir / gone));
    EXPECT_TRUE(fs::exists(dir / "Page0001.TIF") && fs::exists(dir / "notes.txt"));
    EXPECT_EQ(in.lists->Count(ListTable::ToExport), 1);

    // Cancel in a directory this run made: the directory goes too.
    fs::remove_all(dir);
    in.ports.pump.onPump = [&](int) {
        if (fs::exists(dir / "Page0001.GIF")) in.app.ExportCancel = true;
    };
    EXPECT_EQ(in.exportPages({1, 2}, SaveFormat::Gif, in.out), ExportOutcome::Cancelled);
    EXPECT_FALSE(fs::exists(dir));

    // Cancel once the last page is written finds the document finished: it stays.
    in.ports.pump.onPump = [&](int) {
        if (fs::exists(dir / "Page0002.GIF")) in.app.ExportCancel = true;
    };
    EXPECT_EQ(in.exportPages({1, 2}, SaveFormat::Gif, in.out), ExportOutcome::Done);
    EXPECT_TRUE(fs::exists(dir / "Page0001.GIF") && fs::exists(dir / "Page0002.GIF"));
    EXPECT_EQ(in.lists->Count(ListTable::ToExport), 0);
    in.ports.pump.onPump = nullptr;

    // No to the replace question keeps the old file and counts as handled: the document
    // is done and the summary says which page was kept. Yes replaces it.
    in.toExport(d);
    std::ofstream(dir / "Page0002.PCX") << "old";
    in.ports.messages.answers = {Answer::No};
    {
        ExportRun run(in.app, nullptr);
        EXPECT_EQ(run.ExportDocument({1, 2}, SaveFormat::Pcx, in.out), ExportOutcome::Done);
        EXPECT_EQ(in.ports.messages.last(), OverwriteText((dir / "Page0002.PCX").string()));
        EXPECT_EQ(ReadText(dir / "Page0002.PCX"), "old");
        EXPECT_TRUE(fs::exists(dir / "Page0001.PCX"));
        EXPECT_EQ(in.lists->Count(ListTable::ToExport), 0);
        EXPECT_EQ(std::tuple(run.summary.documents, run.summary.pages, run.summary.folder),
                  std::tuple(1, 1, dir));
        ASSERT_EQ(run.summary.skipped.size(), 1u);
        EXPECT_EQ(run.summary.skipped[0].what, d.number + " page 2");
    }
    in.toExport(d);
    in.ports.messages.answers = {Answer::Yes, Answer::Yes};
    EXPECT_EQ(in.exportPages({1, 2}, SaveFormat::Pcx, in.out), ExportOutcome::Done);
    EXPECT_NE(ReadText(dir / "Page0002.PCX"), "old");
    EXPECT_EQ(in.lists->Count(ListTable::ToExport), 0);

    // A page file taken away between its write and the document's sync (another program
    // cleaning the directory, a medium swapped) fails the sync: the document stays listed.
    in.toExport(d);
    in.ports.messages.shown.clear();
    ExportRun run(in.app, nullptr);
    run.overwrite = ExportRun::Overwrite::Always;
    in.ports.pump.onPump = [&](int) {
        if (run.pagesWritten() == 2) fs::remove(run.written().front());
    };
    EXPECT_EQ(run.ExportDocument({1, 2}, SaveFormat::Pcx, in.out), ExportOutcome::Partial);
    ASSERT_EQ(in.ports.messages.shown.size(), 1u);
    EXPECT_NE(in.ports.messages.last().find("File not found"), std::string::npos) << in.ports.messages.last();
    EXPECT_EQ(in.exportList(), std::vector<std::string>{Trim(d.number)});
}

}  // namespace
}  // namespace velk

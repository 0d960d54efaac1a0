// The export engine on generated installations: every format read back by an
// independent reader, names, questions, free space, hostile numbers and Cancel.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <QImage>
#include <cstdio>
#include <fstream>
#include <map>

#include "export/export_engine.h"
#include "tests/export/export_fixtures.h"
#include "viewer/document_locator.h"
#include "viewer/page_loading.h"

namespace velk {
namespace {

using test::ExportInstall;
using test::PrintInstall;
namespace fs = std::filesystem;
namespace mks = velk::mksample;

int ExitCode(const std::string& cmd) { return std::system((cmd + " >/dev/null 2>&1").c_str()); }

std::string Output(const std::string& cmd) {
    std::string text;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p)) text += buf;
        pclose(p);
    }
    return text;
}

void WriteText(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }
std::string ReadText(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

bool HaveImageMagick() { return ExitCode("identify -version") == 0; }
bool HaveNetpbm() { return ExitCode("pcxtoppm -version") == 0; }

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
    const QImage x = a.convertToFormat(QImage::Format_Grayscale8), y = b.convertToFormat(QImage::Format_Grayscale8);
    int differing = 0;
    for (int r = 0; r < x.height(); ++r)
        for (int c = 0; c < x.width(); ++c)
            differing += ((x.pixel(c, r) & 0xff) < 128) != ((y.pixel(c, r) & 0xff) < 128);
    EXPECT_EQ(differing, 0) << what;
}

struct TiffFacts {
    int compression = 0, bits = 0;
    float dpi = 0;
};
TiffFacts ReadTiff(const fs::path& path) {
    TiffFacts f;
    std::uint16_t comp = 0, bits = 0;
    if (TIFF* t = TIFFOpen(path.c_str(), "r")) {
        TIFFGetField(t, TIFFTAG_COMPRESSION, &comp);
        TIFFGetField(t, TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetField(t, TIFFTAG_XRESOLUTION, &f.dpi);
        TIFFClose(t);
    }
    f.compression = comp, f.bits = bits;
    return f;
}

TEST(ExportEngine, EveryFormatReadsBackWithTheSourcePixels) {
    const bool magick = HaveImageMagick();
    if (!magick) std::puts("ImageMagick identify missing: PCX, BMP and GIF are checked by size only");
    for (mks::ImageKind kind : {mks::ImageKind::Container, mks::ImageKind::TiffTextMap}) {
        ExportInstall in;
        const mks::SampleDocument& d = in.open(kind);
        const QImage src = in.source(2);
        const std::map<SaveFormat, int> tiffs = {{SaveFormat::TiffG4, COMPRESSION_CCITTFAX4},
                                                 {SaveFormat::TiffG3, COMPRESSION_CCITTFAX3},
                                                 {SaveFormat::TiffUncompressed, COMPRESSION_NONE}};
        for (SaveFormat f : {SaveFormat::TiffG4, SaveFormat::TiffG3, SaveFormat::TiffUncompressed, SaveFormat::Pcx,
                             SaveFormat::Bmp, SaveFormat::Gif}) {
            const fs::path dest = in.tree.dir("fmt" + std::to_string(static_cast<int>(f)));
            ExportRun run(in.app, nullptr);
            ASSERT_EQ(run.ExportDocument({2}, f, dest), ExportOutcome::Done) << in.ports.messages.last();
            const fs::path file = dest / d.number / ExportFileName(2, f);
            ASSERT_TRUE(fs::exists(file)) << file;
            EXPECT_EQ(fs::directory_iterator(dest / d.number)->path(), file);  // no temporary left
            const std::string what = std::string(mks::KindName(kind)) + " " + file.filename().string();
            if (auto t = tiffs.find(f); t != tiffs.end()) {
                const TiffFacts facts = ReadTiff(file);
                EXPECT_EQ(facts.compression, t->second) << what;
                EXPECT_EQ(facts.bits, 1) << what;
                EXPECT_GT(facts.dpi, 0) << what;
                ExpectSamePixels(PageImage::load(file).toQImage(), src, what);
            } else if (magick) {
                // A GIF has no 1-bit depth: it is 1-bit when its table holds two colours.
                const std::string facts = Output("identify -format '%w %h %z %k' '" + file.string() + "'");
                EXPECT_EQ(facts, std::to_string(src.width()) + " " + std::to_string(src.height()) +
                                     (f == SaveFormat::Gif ? " 8 2" : " 1 2"))
                    << what;
                EXPECT_TRUE(f != SaveFormat::Gif || (ReadText(file).at(10) & 0x87) == 0x80) << what;
                if (f != SaveFormat::Pcx || HaveNetpbm())
                    ExpectSamePixels(ReadBack(file, f, dest), src, what);
                else
                    std::puts("Netpbm missing: PCX pixels not read back");
                if (f == SaveFormat::Gif)  // a second reader: Qt's own GIF decoder
                    ExpectSamePixels(QImage(QString::fromStdString(file.string()), "GIF"), src, what + " (Qt)");
            }
        }
        // Container pages record no resolution: exported pages say 300 dpi.
        if (kind == mks::ImageKind::Container) {
            EXPECT_FLOAT_EQ(ReadTiff(in.tree.root() / "fmt0" / d.number / "Page0002.TIF").dpi, 300.f);
            if (magick) {
                EXPECT_EQ(Output("identify -units PixelsPerInch -format '%x' '" +
                                 (in.tree.root() / "fmt4" / d.number / "Page0002.BMP").string() + "'")
                              .substr(0, 3),
                          "300");
            }
        }
        // The working file is gone.
        EXPECT_TRUE(fs::is_empty(fs::path(in.app.config.AppDir) / "workingP"));
    }
}

TEST(ExportEngine, G4PagesAreCopiedWithoutRecoding) {
    ExportInstall in;
    in.open(mks::ImageKind::Container);
    ASSERT_TRUE(GetPage(in.app, in.app.doc.CurImagePath, in.app.doc.CurDocNo, Int16(1)));
    const auto copied = G4PassThrough(in.app, in.app.doc.CurImagePath, 1);
    ASSERT_FALSE(copied.empty());
    // The block in the container appears unchanged inside the new file.
    std::ifstream f(in.app.doc.CurImagePath, std::ios::binary);
    std::vector<char> all((std::istreambuf_iterator<char>(f)), {});
    const auto start = static_cast<std::size_t>(PageDataOffset(in.app.doc.Page));
    const std::string block(all.begin() + static_cast<long>(start), all.begin() + static_cast<long>(start) + 64);
    EXPECT_NE(std::string(copied.begin(), copied.end()).find(block), std::string::npos);
    EXPECT_TRUE(G4PassThrough(in.app, "/nonexistent/x.tif", 1).empty());
}

TEST(ExportEngine, NamesDirectoriesAndHostileNumbers) {
    EXPECT_EQ(ExportFileName(7, SaveFormat::TiffG3), "Page0007.TIF");
    EXPECT_EQ(WorkingFileName(12, SaveFormat::Gif), "PAGE0012.GIF");
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

    // A file where the directory should be: every page refused, nothing written.
    in.open(d);
    WriteText(in.out / d.number, "not a directory");
    ExportRun run(in.app, nullptr);
    EXPECT_EQ(run.ExportDocument({1, 2}, SaveFormat::Bmp, in.out), ExportOutcome::Partial);
    int refusals = 0;
    for (const test::ShownMessage& m : in.ports.messages.shown) refusals += m.text == DirErrorText((in.out / d.number).string());
    EXPECT_EQ(refusals, 2);
    EXPECT_EQ(run.pagesWritten(), 0);

    // A missing working directory is made.
    fs::remove(in.out / d.number);
    fs::remove_all(fs::path(in.app.config.AppDir) / "workingP");
    ExportRun again(in.app, nullptr);
    EXPECT_EQ(again.ExportDocument({1, 2, 1}, SaveFormat::Bmp, in.out), ExportOutcome::Done);
    EXPECT_EQ(again.pagesWritten(), 2);  // page 1 chosen twice, written once
}

TEST(ExportEngine, OverwriteAnswersAndTheList) {
    ExportInstall in;
    const mks::SampleDocument& d = in.open(mks::ImageKind::Container);
    in.lists->AddToExport(PrintInstall::Entry(d), Int16(d.pages));
    const fs::path dir = in.tree.dir("out/" + d.number);
    WriteText(dir / "Page0002.PCX", "old");

    in.ports.messages.answers = {Answer::No};
    EXPECT_EQ(in.exportPages({1, 2}, SaveFormat::Pcx, in.out), ExportOutcome::Partial);
    EXPECT_EQ(in.ports.messages.last(), OverwriteText((dir / "Page0002.PCX").string()));
    EXPECT_EQ(ReadText(dir / "Page0002.PCX"), "old");
    EXPECT_TRUE(fs::exists(dir / "Page0001.PCX"));
    EXPECT_EQ(in.lists->Count(ListTable::ToExport), 1);

    in.ports.messages.answers = {Answer::Yes, Answer::Yes};
    EXPECT_EQ(in.exportPages({1, 2}, SaveFormat::Pcx, in.out), ExportOutcome::Done);
    EXPECT_NE(ReadText(dir / "Page0002.PCX"), "old");
    EXPECT_EQ(in.lists->Count(ListTable::ToExport), 0);
}

TEST(ExportEngine, FreeSpaceAndCancel) {
    ExportInstall in;
    const mks::SampleDocument& d = in.open(mks::ImageKind::Container);
    in.lists->AddToExport(PrintInstall::Entry(d), Int16(d.pages));
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
    in.lists->AddToExport(PrintInstall::Entry(d), Int16(d.pages));
    in.ports.disk.bytes = std::uint64_t(1) << 40;

    // Cancel during the second page: the new page files go, the older one and a stranger's file stay.
    const fs::path dir = in.out / d.number;
    WriteText(dir / "notes.txt", "mine");
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
}

}  // namespace
}  // namespace velk

// velkcmd export run as a program: one document and a number list, the file and
// directory names, the exit statuses, and files that are never overwritten unasked.
#include <QJsonArray>
#include <fstream>
#include <map>
#include <set>

#include "tests/cli/cli_fixtures.h"
#include "tools/mksample/documents.h"
#include "viewer/imaging/page_image.h"

namespace velk {
namespace {

namespace fs = std::filesystem;
using namespace velk::test;

struct ExportSample : CliSample {
    fs::path out = tree.dir("out");
    explicit ExportSample(mks::Collection c) : CliSample(c, mks::DriveMode::Tower) { base << "export"; }
    CliResult to(const QStringList& args) const { return run(args + QStringList{"--to", QS(out)}); }
};

TEST(ExportCli, OneDocumentPagesFormatsAndOverwrite) {
    ExportSample in(mks::Collection::Quorvel);
    const mks::SampleDocument* d = in.withPages(3);
    ASSERT_NE(d, nullptr);
    const fs::path dir = in.out / d->number;
    const QStringList doc{QS(d->number), QS(d->volume)};

    CliResult e = in.to(doc + QStringList{"--format", "pcx", "--pages", "1,3"});
    ASSERT_EQ(e.status, 0) << e.err;
    EXPECT_TRUE(e.json()["complete"].toBool());
    EXPECT_EQ(e.json()["files"].toArray().size(), 2);
    EXPECT_TRUE(fs::exists(dir / "Page0001.PCX") && fs::exists(dir / "Page0003.PCX"));
    EXPECT_FALSE(fs::exists(dir / "Page0002.PCX"));

    // Again: the files are kept, the run says so with exit 1 (a script asked for pages it
    // did not get); --overwrite replaces them.
    { std::ofstream(dir / "Page0001.PCX") << "mine"; }
    e = in.to(doc + QStringList{"--format", "pcx", "--pages", "1"});
    EXPECT_EQ(e.status, 1);
    EXPECT_FALSE(e.json()["complete"].toBool());
    EXPECT_EQ(fs::file_size(dir / "Page0001.PCX"), 4u);
    e = in.to(doc + QStringList{"--format", "pcx", "--pages", "1", "--overwrite"});
    EXPECT_EQ(e.status, 0) << e.err;
    EXPECT_GT(fs::file_size(dir / "Page0001.PCX"), 128u);

    // Every page as G4 TIFF by default choice of pages.
    e = in.to(doc + QStringList{"--format", "g4"});
    EXPECT_EQ(e.status, 0) << e.err;
    EXPECT_EQ(e.json()["files"].toArray().size(), d->pages);

    // Usage errors are 2; a document or volume that is not there is 1; nothing is written.
    const auto before = std::distance(fs::recursive_directory_iterator(in.out), {});
    EXPECT_EQ(in.run(doc + QStringList{"--format", "g4"}).status, 2);  // no --to
    for (auto [args, status] : {std::pair{doc + QStringList{"--format", "jpg"}, 2},
                                {doc + QStringList{"--format", "g4", "--pages", "3-1"}, 2},
                                {QStringList{QS(d->number), "--format", "g4"}, 2},
                                {QStringList{"9999999", QS(d->volume), "--format", "g4"}, 1},
                                {QStringList{QS(d->number), "NOVOL_9", "--format", "g4"}, 1},
                                {doc + QStringList{"--format", "g4", "--pages", "999"}, 1}})
        EXPECT_EQ(in.to(args).status, status) << args.join(' ').toStdString();
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(in.out), {}), before);
}

// Each page file is written once. One replacing a file is on the disk before its rename,
// so a crash keeps the old file or the new one; new files wait for the document's sync.
TEST(ExportCli, ReplacedPagesAreSyncedBeforeTheirRename) {
    if (std::system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
    ExportSample in(mks::Collection::Quorvel);
    const mks::SampleDocument* d = in.withPages(2);
    ASSERT_NE(d, nullptr);
    const fs::path trace = in.tree.root() / "trace.txt";
    // Per page file: whether its temporary was synced before the rename; and the files written.
    auto traced = [&](bool overwrite) {
        QStringList args{"-f",   "-qq",     "-s",
                         "4096", "-e",      "trace=openat,fsync,rename,renameat,renameat2",
                         "-o",   QS(trace), kVelkcmd};
        args << in.base << QStringList{QS(d->number), QS(d->volume), "--format", "pcx",
                                       "--pages",     "1,2",         "--to",     QS(in.out)};
        if (overwrite) args << "--overwrite";
        const CliResult run = Velkcmd(args, {}, "strace");
        EXPECT_EQ(run.status, 0) << run.err;
        std::map<std::string, bool> synced;
        int pageFilesOpened = 0;
        bool pending = false;
        std::ifstream lines(trace);
        for (std::string line; std::getline(lines, line);) {
            // A working copy (PAGE0001.PCX in workingP) counts as a write as well.
            const auto at = std::min(line.rfind("/Page000"), line.rfind("/PAGE000"));
            const bool page = at != std::string::npos;
            if (line.find("openat(") != std::string::npos && page &&
                line.find("O_CREAT") != std::string::npos) {
                ++pageFilesOpened;
                pending = false;
            } else if (line.find("fsync(") != std::string::npos) {
                pending = true;
            } else if (line.find("rename") != std::string::npos && page) {
                synced[line.substr(at + 1, 12)] = pending;
            }
        }
        EXPECT_EQ(pageFilesOpened, 2) << "a page written more than once";
        return synced;
    };
    using Synced = std::map<std::string, bool>;
    EXPECT_EQ(traced(false), (Synced{{"Page0001.PCX", false}, {"Page0002.PCX", false}}));
    EXPECT_EQ(traced(true), (Synced{{"Page0001.PCX", true}, {"Page0002.PCX", true}}));
}

TEST(ExportCli, NumberListVolumeByVolume) {
    ExportSample in(mks::Collection::Tovrin);
    // A list holds seven digits a number: six-digit trademarks with a leading zero.
    auto seven = [](const std::string& n) { return mks::VolumeNumber(mks::Collection::Tovrin, n); };
    std::string numbers;
    for (const auto& d : in.s.documents) numbers += seven(d.number) + "\r\n";
    const fs::path list =
        in.tree.write("numbers.txt", numbers + "9999999\r\n");  // the last is not in the index
    CliResult e = in.to({"--list", QS(list), "--format", "bmp"});
    EXPECT_EQ(e.status, 1) << e.err;  // one number could not be exported
    EXPECT_EQ(e.json()["exported"].toInt(), static_cast<int>(in.s.documents.size()));
    EXPECT_EQ(e.json()["notInIndex"].toArray().size(), 1);
    int pages = 0;
    for (const auto& d : in.s.documents) {
        pages += d.pages;
        EXPECT_TRUE(fs::exists(in.out / seven(d.number) / "Page0001.BMP")) << d.number;
    }
    EXPECT_EQ(e.json()["files"].toArray().size(), pages);
    EXPECT_EQ(in.to({"--list", QS(list), "9", "--format", "bmp"}).status, 2);

    // One file per document, as PDF and as multi-page TIFF.
    for (const char* format : {"pdf", "tiff"}) {
        e = in.to({"--list", QS(list), "--format", format});
        EXPECT_EQ(e.json()["exported"].toInt(), static_cast<int>(in.s.documents.size())) << format;
        std::set<std::string> files, expected;
        for (const auto& f : e.json()["files"].toArray()) files.insert(f.toString().toStdString());
        for (const mks::SampleDocument& d : in.s.documents) {
            const fs::path file = in.out / (seven(d.number) + (format == std::string("pdf") ? ".pdf" : ".tif"));
            expected.insert(file.string());
            if (format == std::string("tiff")) {
                EXPECT_EQ(PageImage::pageCount(file), d.pages) << file;
            }
        }
        EXPECT_EQ(files, expected) << format;
    }
}

}  // namespace
}  // namespace velk

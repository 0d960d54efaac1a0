// velkcmd export run as a program: one document and a number list, the file and
// directory names, the exit statuses, and files that are never overwritten unasked.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <fstream>

#include "tests/index/index_fixtures.h"
#include "tests/support/sample_install.h"
#include "tools/mksample/mksample.h"

namespace velk {
namespace {

namespace fs = std::filesystem;
namespace mks = velk::mksample;

struct Exported {
    int status = -1;
    QJsonObject json;
    std::string err;
};

struct CliSample {
    test::TempTree tree{"cli-export"};
    mks::SampleResult s;
    fs::path out;
    mks::Collection collection;
    explicit CliSample(mks::Collection c) : collection(c) {
        s = test::MakeSmallSample(tree.root() / "inst", c, mks::DriveMode::Tower, 3);
        out = tree.dir("out");
    }
    Exported run(QStringList args) const {
        QProcess p;
        p.start(QStringLiteral(VELK_BINARY_DIR "/cli/velkcmd"),
                QStringList{"--appdir", QString::fromStdString(s.appDir.string()), "--collection",
                            QString::fromUtf8(mks::CollectionName(collection)), "--json", "export"} +
                    args);
        EXPECT_TRUE(p.waitForStarted(10000));
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(60000)) << args.join(' ').toStdString();
        Exported e;
        if (p.exitStatus() == QProcess::NormalExit) e.status = p.exitCode();
        e.json = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
        e.err = p.readAllStandardError().toStdString();
        return e;
    }
    QStringList to() const { return {"--to", QString::fromStdString(out.string())}; }
};

QString Q(const std::string& s) { return QString::fromStdString(s); }

TEST(ExportCli, OneDocumentPagesFormatsAndOverwrite) {
    CliSample in(mks::Collection::Quorvel);
    const mks::SampleDocument* d = nullptr;
    for (const auto& doc : in.s.documents)
        if (doc.pages >= 3 && !d) d = &doc;
    ASSERT_NE(d, nullptr);
    const fs::path dir = in.out / d->number;

    Exported e = in.run(QStringList{Q(d->number), Q(d->volume), "--format", "pcx", "--pages", "1,3"} + in.to());
    ASSERT_EQ(e.status, 0) << e.err;
    EXPECT_TRUE(e.json["complete"].toBool());
    EXPECT_EQ(e.json["files"].toArray().size(), 2);
    EXPECT_TRUE(fs::exists(dir / "Page0001.PCX"));
    EXPECT_TRUE(fs::exists(dir / "Page0003.PCX"));
    EXPECT_FALSE(fs::exists(dir / "Page0002.PCX"));

    // Again: the files are kept, the run says so with exit 1; --overwrite replaces them.
    { std::ofstream(dir / "Page0001.PCX") << "mine"; }
    e = in.run(QStringList{Q(d->number), Q(d->volume), "--format", "pcx", "--pages", "1"} + in.to());
    EXPECT_EQ(e.status, 1);
    EXPECT_FALSE(e.json["complete"].toBool());
    EXPECT_EQ(fs::file_size(dir / "Page0001.PCX"), 4u);
    e = in.run(QStringList{Q(d->number), Q(d->volume), "--format", "pcx", "--pages", "1", "--overwrite"} + in.to());
    EXPECT_EQ(e.status, 0) << e.err;
    EXPECT_GT(fs::file_size(dir / "Page0001.PCX"), 128u);

    // Every page as G4 TIFF by default choice of pages.
    e = in.run(QStringList{Q(d->number), Q(d->volume), "--format", "g4"} + in.to());
    EXPECT_EQ(e.status, 0) << e.err;
    EXPECT_EQ(e.json["files"].toArray().size(), d->pages);

    // Usage errors are 2; a document or volume that is not there is 1; nothing is written.
    const auto before = std::distance(fs::recursive_directory_iterator(in.out), {});
    for (const QStringList& bad : {QStringList{Q(d->number), Q(d->volume), "--format", "jpg"} + in.to(),
                                   QStringList{Q(d->number), Q(d->volume), "--format", "g4"},
                                   QStringList{Q(d->number), Q(d->volume), "--format", "g4", "--pages", "3-1"} + in.to(),
                                   QStringList{Q(d->number), "--format", "g4"} + in.to()})
        EXPECT_EQ(in.run(bad).status, 2) << bad.join(' ').toStdString();
    EXPECT_EQ(in.run(QStringList{"9999999", Q(d->volume), "--format", "g4"} + in.to()).status, 1);
    EXPECT_EQ(in.run(QStringList{Q(d->number), "NOVOL_9", "--format", "g4"} + in.to()).status, 1);
    e = in.run(QStringList{Q(d->number), Q(d->volume), "--format", "g4", "--pages", "999"} + in.to());
    EXPECT_EQ(e.status, 1);
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(in.out), {}), before);
}

TEST(ExportCli, NumberListVolumeByVolume) {
    CliSample in(mks::Collection::Tovrin);
    const fs::path list = in.tree.root() / "numbers.txt";
    {
        std::ofstream f(list);
        for (const auto& d : in.s.documents) f << d.number << "\r\n";
        f << "9999999\r\n";  // not in the index
    }
    Exported e = in.run(QStringList{"--list", Q(list.string()), "--format", "bmp"} + in.to());
    EXPECT_EQ(e.status, 1) << e.err;  // one number could not be exported
    EXPECT_EQ(e.json["exported"].toInt(), static_cast<int>(in.s.documents.size()));
    EXPECT_EQ(e.json["notInIndex"].toArray().size(), 1);
    int pages = 0;
    for (const auto& d : in.s.documents) {
        pages += d.pages;
        EXPECT_TRUE(fs::exists(in.out / d.number / "Page0001.BMP")) << d.number;
    }
    EXPECT_EQ(e.json["files"].toArray().size(), pages);
    EXPECT_EQ(in.run(QStringList{"--list", Q(list.string()), "9", "--format", "bmp"} + in.to()).status, 2);
}

}  // namespace
}  // namespace velk

// velkcmd print run as a program: PDF files read back with poppler's pdfinfo, the
// batch's list bookkeeping in its JSON, and the exit status of every failure.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <cstdio>
#include <fstream>
#include <memory>

#include "common/vb_text.h"
#include "tests/index/index_fixtures.h"
#include "tests/support/sample_install.h"
#include "tools/mksample/mksample.h"

namespace velk {
namespace {

namespace fs = std::filesystem;
namespace mks = velk::mksample;

struct Outcome {
    int status = -1;
    std::string err;
    QJsonObject json;
};

struct PrintSample {
    test::TempTree tree{"cliprint"};
    mks::SampleResult s;
    QStringList base;
    PrintSample(mks::Collection c, mks::DriveMode mode) {
        s = test::MakeSmallSample(tree.root() / "inst", c, mode, 3);
        base = {"--appdir", QString::fromStdString(s.appDir.string()), "--collection", mks::CollectionName(c),
                "--json", "print"};
    }
    Outcome run(const QStringList& args) const {
        QProcess p;
        p.start(QStringLiteral(VELK_BINARY_DIR "/cli/velkcmd"), base + args);
        EXPECT_TRUE(p.waitForStarted(10000));
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(60000)) << args.join(' ').toStdString();
        Outcome o;
        if (p.exitStatus() == QProcess::NormalExit) o.status = p.exitCode();
        o.err = p.readAllStandardError().toStdString();
        o.json = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
        return o;
    }
    const mks::SampleDocument* withPages(int n) const {
        for (const auto& d : s.documents)
            if (d.pages >= n) return &d;
        return nullptr;
    }
};

std::string PdfInfo(const fs::path& file, const std::string& key) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(("pdfinfo '" + file.string() + "'").c_str(), "r"), pclose);
    char buf[512];
    while (pipe && std::fgets(buf, sizeof buf, pipe.get())) out += buf;
    const auto at = out.find(key + ":");
    if (at == std::string::npos) return {};
    return Trim(out.substr(at + key.size() + 1, out.find('\n', at) - at - key.size() - 1));
}

QString Q(const fs::path& p) { return QString::fromStdString(p.string()); }

TEST(PrintCommand, OneDocumentToAPdfFile) {
    PrintSample in(mks::Collection::Quorvel, mks::DriveMode::Tower);
    const mks::SampleDocument* d = in.withPages(3);
    ASSERT_NE(d, nullptr);
    const fs::path pdf = in.tree.dir("out") / "one.pdf";
    const QString number = QString::fromStdString(d->number), volume = QString::fromStdString(d->volume);
    Outcome o = in.run({number, volume, "--pages", "3,1-2", "--paper", "a4", "--pdf", Q(pdf)});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(o.json["printed"].toBool());
    ASSERT_EQ(o.json["files"].toArray().size(), 1);
    EXPECT_EQ(o.json["files"].toArray()[0].toString(), Q(pdf));
    EXPECT_EQ(PdfInfo(pdf, "Pages"), "3");
    EXPECT_EQ(PdfInfo(pdf, "Page size").rfind("595 x 842 pts", 0), 0u);
    EXPECT_NE(o.err.find("Printing 3 of 3 pages"), std::string::npos) << o.err;  // progress on stderr

    // The claims section alone, on the configured paper.
    const fs::path claims = in.tree.dir("out") / "claims.pdf";
    o = in.run({number, volume, "--section", "claims", "--pdf", Q(claims)});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_GE(std::stoi(PdfInfo(claims, "Pages")), 1);

    // Failures: exit 1 with the reason, and no file.
    const fs::path none = in.tree.dir("out") / "none.pdf";
    for (const QStringList& bad : {QStringList{number, volume, "--pages", "2-1", "--pdf", Q(none)},
                                   QStringList{number, volume, "--pages", "999", "--pdf", Q(none)},
                                   QStringList{number, volume, "--section", "index", "--pdf", Q(none)},
                                   QStringList{number, volume, "--paper", "b5", "--pdf", Q(none)},
                                   QStringList{number, volume},
                                   QStringList{number, volume, "--pdf", Q(in.tree.root() / "x.txt")},
                                   QStringList{"9999999", volume, "--pdf", Q(none)},
                                   QStringList{number, "NOVOL", "--pdf", Q(none)},
                                   QStringList{number, volume, "--printer", "no-such-queue-velk"}}) {
        o = in.run(bad);
        EXPECT_EQ(o.status, 1) << bad.join(' ').toStdString();
        EXPECT_FALSE(o.err.empty()) << bad.join(' ').toStdString();
        EXPECT_FALSE(fs::exists(none));
    }
    EXPECT_NE(o.err.find("482"), std::string::npos) << o.err;  // the queue that is not there
}

TEST(PrintCommand, ListVolumeByVolumeOneFilePerDocument) {
    PrintSample in(mks::Collection::Tovrin, mks::DriveMode::Drive);
    const auto& docs = in.s.documents;
    const std::string inserted = in.s.insertedVolume;
    const fs::path list = in.tree.root() / "list.txt";
    std::vector<const mks::SampleDocument*> here, away;
    {
        std::ofstream out(list);
        for (const auto& d : docs) {
            // Both spellings: the stored entry text and "NUMBER VOLUME".
            out << (d.volume == inserted && here.empty() ? FixedWidth(d.number, 9) + d.volume
                                                          : d.number + " " + d.volume)
                << "\r\n";
            (d.volume == inserted ? here : away).push_back(&d);
        }
        out << "\n";
    }
    ASSERT_FALSE(here.empty());
    ASSERT_FALSE(away.empty());
    const fs::path dir = in.tree.root() / "pdfs";
    Outcome o = in.run({"--list", Q(list), "--paper", "legal", "--pdf", Q(dir)});
    EXPECT_EQ(o.status, 1) << o.err;  // the other volume is not in the drive
    EXPECT_NE(o.err.find("Please insert CDRom Volume " + away[0]->volume), std::string::npos) << o.err;
    EXPECT_EQ(o.json["printed"].toInt(), static_cast<int>(here.size()));
    EXPECT_EQ(o.json["left"].toArray().size(), static_cast<qsizetype>(away.size()));
    ASSERT_EQ(o.json["files"].toArray().size(), static_cast<qsizetype>(here.size()));
    for (const auto* d : here) {
        const fs::path f = dir / (d->number + ".pdf");
        EXPECT_EQ(PdfInfo(f, "Pages"), std::to_string(d->pages)) << f;
        EXPECT_EQ(PdfInfo(f, "Page size").rfind("612 x 1008 pts", 0), 0u) << f;
    }

    // With every volume there the whole list prints and the status is 0.
    mks::InsertVolume(in.s, away[0]->volume);
    std::ofstream(list) << away[0]->number << ' ' << away[0]->volume << '\n';
    o = in.run({"--list", Q(list), "--pdf", Q(dir)});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(o.json["left"].toArray().isEmpty());
    EXPECT_TRUE(fs::exists(dir / (away[0]->number + ".pdf")));

    // A list line that is no entry, and page choices a trademark batch does not take.
    std::ofstream(list) << "1234567890123 X\n";
    o = in.run({"--list", Q(list), "--pdf", Q(dir)});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("Not an entry"), std::string::npos) << o.err;
    EXPECT_EQ(in.run({"--list", Q(list), "--pages", "1", "--pdf", Q(dir)}).status, 1);
}

}  // namespace
}  // namespace velk

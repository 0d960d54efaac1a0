// velkcmd print run as a program: PDF files read back with poppler's pdfinfo, the
// batch's list bookkeeping in its JSON, and the exit status of every failure.
#include <fstream>

#include "tests/cli/cli_fixtures.h"
#include "tests/print/pdf_facts.h"

namespace velk {
namespace {

namespace fs = std::filesystem;
using namespace velk::test;

TEST(PrintCommand, OneDocumentToAPdfFile) {
    CliSample in(mks::Collection::Quorvel, mks::DriveMode::Tower);
    in.base << "print";
    const mks::SampleDocument* d = in.withPages(3);
    ASSERT_NE(d, nullptr);
    const fs::path pdf = in.tree.dir("out") / "one.pdf";
    const QString number = QS(d->number), volume = QS(d->volume);
    CliResult o = in.run({number, volume, "--pages", "3,1-2", "--paper", "a4", "--pdf", QS(pdf)});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(o.json()["printed"].toBool());
    EXPECT_EQ(o.json()["files"].toArray(), QJsonArray{QS(pdf)});
    EXPECT_EQ(o.json()["printer"].toString(), QS(pdf));  // the file written, not the next one
    EXPECT_EQ(PdfShape(pdf.string()), "3 pages, 595 x 842 pts");
    EXPECT_NE(o.err.find("Printing 3 of 3 pages"), std::string::npos) << o.err;  // progress on stderr

    // The claims section alone, on the configured paper.
    const fs::path claims = in.tree.dir("out") / "claims.pdf";
    o = in.run({number, volume, "--section", "claims", "--pdf", QS(claims)});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_GE(std::stoi(ReadPdf(claims.string()).pages), 1);

    // A page the document lacks is refused, in export's words, not dropped.
    const QString none = QS(in.tree.dir("out") / "none.pdf");
    const QStringList beyond{"--pages", "1," + QString::number(d->pages + 1)};
    o = in.run(QStringList{number, volume} + beyond + QStringList{"--pdf", none});
    const QStringList exportArgs{"export", number, volume, "--format", "g4", "--to", QS(in.tree.root())};
    const CliResult e = Velkcmd(in.base.mid(0, in.base.size() - 1) + exportArgs + beyond);  // without "print"
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(e.said(), "1 Document " + d->number + " has " + std::to_string(d->pages) + " pages\n");
    EXPECT_NE(o.err.find(e.err), std::string::npos) << o.err;  // print's Qt may say more first

    // Failures: exit 1 with the reason, and no file.
    for (const QStringList& bad :
         {QStringList{number, volume, "--pages", "2-1", "--pdf", none},
          QStringList{number, volume, "--pages", "999", "--pdf", none},
          QStringList{number, volume, "--section", "index", "--pdf", none},
          QStringList{number, volume, "--paper", "b5", "--pdf", none}, QStringList{number, volume},
          QStringList{number, volume, "--pdf", QS(in.tree.root() / "x.txt")},
          QStringList{"9999999", volume, "--pdf", none}, QStringList{number, "NOVOL", "--pdf", none},
          QStringList{number, volume, "--printer", "no-such-queue-velk"}}) {
        o = in.run(bad);
        EXPECT_EQ(o.status, 1) << bad.join(' ').toStdString();
        EXPECT_FALSE(o.err.empty()) << bad.join(' ').toStdString();
        EXPECT_FALSE(fs::exists(none.toStdString()));
    }
    EXPECT_NE(o.err.find("482"), std::string::npos) << o.err;  // the queue that is not there
}

TEST(PrintCommand, ListVolumeByVolumeOneFilePerDocument) {
    CliSample in(mks::Collection::Tovrin, mks::DriveMode::Drive);
    in.base << "print";
    const std::string inserted = in.s.insertedVolume;
    std::vector<const mks::SampleDocument*> here, away;
    std::string lines;
    for (const auto& d : in.s.documents) {
        // Both spellings: the stored entry text and "NUMBER VOLUME".
        const bool entry = d.volume == inserted && here.empty();
        lines += (entry ? FixedWidth(d.number, 9) + d.volume : d.number + " " + d.volume) + "\r\n";
        (d.volume == inserted ? here : away).push_back(&d);
    }
    const fs::path list = in.tree.write("list.txt", lines + "\n");
    ASSERT_FALSE(here.empty());
    ASSERT_FALSE(away.empty());
    const fs::path dir = in.tree.root() / "pdfs";
    CliResult o = in.run({"--list", QS(list), "--paper", "legal", "--pdf", QS(dir)});
    EXPECT_EQ(o.status, 1) << o.err;  // the other volume is not in the drive
    EXPECT_NE(o.err.find("Please insert CDRom Volume " + away[0]->volume), std::string::npos) << o.err;
    EXPECT_EQ(o.json()["printed"].toInt(), static_cast<int>(here.size()));
    EXPECT_EQ(o.json()["left"].toArray().size(), static_cast<qsizetype>(away.size()));
    ASSERT_EQ(o.json()["files"].toArray().size(), static_cast<qsizetype>(here.size()));
    for (const auto* d : here) {
        const fs::path f = dir / (d->number + ".pdf");
        EXPECT_EQ(PdfShape(f.string()), std::to_string(d->pages) + " pages, 612 x 1008 pts") << f;
    }

    // With every volume there the whole list prints and the status is 0.
    mks::InsertVolume(in.s, away[0]->volume);
    std::ofstream(list) << away[0]->number << ' ' << away[0]->volume << '\n';
    o = in.run({"--list", QS(list), "--pdf", QS(dir)});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(o.json()["left"].toArray().isEmpty());
    EXPECT_TRUE(fs::exists(dir / (away[0]->number + ".pdf")));

    // A list line that is no entry, and page choices a trademark batch does not take.
    std::ofstream(list) << "1234567890123 X\n";
    o = in.run({"--list", QS(list), "--pdf", QS(dir)});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("Not an entry"), std::string::npos) << o.err;
    EXPECT_EQ(in.run({"--list", QS(list), "--pages", "1", "--pdf", QS(dir)}).status, 1);
}

}  // namespace
}  // namespace velk

// velkcmd run as a program on generated installations: its JSON, exit statuses and
// messages, and that it never waits for an answer.
#include <map>
#include <set>

#include "common/vb_text.h"
#include "tests/cli/cli_fixtures.h"

namespace velk {
namespace {

namespace fs = std::filesystem;
using namespace velk::test;
using mks::ImageKind;

std::string Str(const QJsonValue& v) {
    return v.toString().toStdString();
}

// The same place within a volume, however the directories above it are spelled.
std::string OnVolume(const fs::path& file, const fs::path& volumeDir) {
    return fs::weakly_canonical(file).lexically_relative(fs::weakly_canonical(volumeDir)).generic_string();
}

TEST(Velkcmd, CheckReadsAFileOrStandardInput) {
    for (auto c : {mks::Collection::Quorvel, mks::Collection::Tovrin}) {
        CliSample in(c, mks::DriveMode::Drive);
        std::string list;
        std::set<std::string> held;
        // Found: number in 9 columns, then the volume; not found: as read.
        QJsonArray rows;
        auto row = [&](const mks::SampleDocument& d) {
            rows.append(QJsonObject{{"entry", QS(FixedWidth(d.number, 9) + d.volume)},
                                    {"flag", "Y"},
                                    {"pages", d.pages},
                                    {"volume", QS(d.volume)}});
        };
        const mks::SampleDocument* repeat = nullptr;
        for (const auto& d : in.s.documents) {
            held.insert(d.number);
            if (d.number.size() != 7) continue;  // the reader takes 7-character numbers only
            list += d.number + " ";
            row(d);
            if (!repeat) repeat = &d;
        }
        std::string absent = "1000001";
        while (held.count(absent)) absent = std::to_string(std::stol(absent) + 1);
        // Tab, semicolon and comma separate; a repeat is already listed; two are no numbers here.
        list += "\n" + absent + "\t123456;US5123456," + repeat->number + "\r\n";
        rows.append(QJsonObject{{"entry", QS(absent)}, {"flag", "N"}, {"pages", 0}, {"volume", ""}});
        row(*repeat);
        const fs::path file = in.tree.write("list.txt", list);

        // The counts of an import into empty lists.
        const int docs = static_cast<int>(rows.size()) - 2;
        const QJsonObject want{{"rows", rows},       {"found", docs + 1},
                               {"read", docs + 4},   {"added", docs},
                               {"alreadyListed", 1}, {"notFound", 1},
                               {"ignored", 2},       {"ignoredFirst", QJsonArray{"123456", "US5123456"}},
                               {"truncated", false}};
        for (const CliResult& r : {in.run({"check", QS(file)}), in.run(QStringList{"check", "-"}, list)}) {
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(r.json(), want);
        }
        // A list cut at the limit says so.
        std::string many;
        for (int i = 0; i < 32001; ++i) many += absent + "\n";
        CliResult cut = in.run({"check", "-"}, many);
        ASSERT_EQ(cut.status, 0) << cut.err;
        EXPECT_TRUE(cut.json()["truncated"].toBool());
        EXPECT_EQ(cut.json()["notFound"].toInt(), 32000);
        EXPECT_NE(cut.err.find("Only the first 32000 numbers were taken"), std::string::npos) << cut.err;
        const fs::path nope = in.tree.root() / "nope.txt";
        EXPECT_EQ(in.run({"check", QS(nope)}).said(), "1 Unable to read file " + nope.string() + "\n");
    }
}

TEST(Velkcmd, MissesAbsentVolumesAndUsage) {
    CliSample in(mks::Collection::Quorvel, mks::DriveMode::Drive);
    const mks::SampleDocument* other = nullptr;
    for (const auto& d : in.s.documents)
        if (d.volume != in.s.insertedVolume) other = &d;
    ASSERT_NE(other, nullptr);
    // Not in the drive: the prompt's text, no waiting, nothing on stdout.
    CliResult l = in.run({"locate", QS(other->number), QS(other->volume)});
    EXPECT_EQ(l.said(), "1 Please insert CDROM Volume " + other->volume + ".  Current CDRom Drive is E:\n");
    EXPECT_TRUE(l.out.empty());
    // Listed on no volume.
    CliResult notListed = in.run({"locate", "9999999", QS(in.s.insertedVolume)});
    EXPECT_EQ(notListed.status, 1);
    EXPECT_FALSE(notListed.json()["found"].toBool());

    CliResult f = in.run({"find", "0000001"});
    EXPECT_EQ(f.said(), "1 Document Not Found!\n");
    EXPECT_FALSE(f.json()["found"].toBool());
    EXPECT_GE(f.json()["record"].toInt(), 1);  // where the search stopped

    // Text output: one line per field.
    CliResult text = Velkcmd(in.base.mid(0, 4) + QStringList{"find", QS(in.s.documents[0].number)});
    EXPECT_NE(text.out.find("found: true\n"), std::string::npos) << text.out;

    CliResult help = Velkcmd({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* field :
         {"found", "record", "entry", "rows", "flag", "kind", "sections", "marker", "ranges"})
        EXPECT_NE(help.out.find(field), std::string::npos) << field;
    QStringList wrongDir = in.base;
    wrongDir[1] = QS(in.tree.root() / "none");
    // No installation named, no collection, unknown or short commands are usage errors; a wrong directory is
    // not.
    for (auto [args, status] : {std::pair{QStringList{"find", "1"}, 2},
                                {in.base.mid(0, 2) + QStringList{"find", "1"}, 2},
                                {in.base + QStringList{"frobnicate"}, 2},
                                {in.base + QStringList{"locate", "1"}, 2},
                                {in.base + QStringList{"--bogus", "find", "1"}, 2},
                                {wrongDir + QStringList{"find", "1"}, 1}})
        EXPECT_EQ(Velkcmd(args).status, status) << args.join(' ').toStdString();
}

// Every document of each collection, with broken ones among them: the sound ones are found and
// located as generated, the broken ones refused in the program's words or read within bounds.
TEST(Velkcmd, WalksEveryDocumentOfHostileInstallations) {
    const std::string path = "1 error at getpath_openidx\n", page = "1 Error at function GetPage\n";
    const std::map<ImageKind, std::string> refusal = {{ImageKind::DotDotPath, path},
                                                      {ImageKind::AbsolutePath, path},
                                                      {ImageKind::DrivePath, path},
                                                      {ImageKind::BadPages, path},
                                                      {ImageKind::ZeroSize, page}};
    for (auto c : {mks::Collection::Quorvel, mks::Collection::Tovrin, mks::Collection::Assign}) {
        CliSample in(c, mks::DriveMode::Tower, true);
        std::set<ImageKind> refused;
        int sixDigits = 0;
        for (const mks::SampleDocument& d : in.s.documents) {
            SCOPED_TRACE(d.number + " " + mks::KindName(d.kind));
            CliResult f = in.run({"find", QS(d.number)});
            EXPECT_TRUE(f.status == 0 || f.status == 1) << f.status;
            CliResult l = in.run({"locate", QS(d.number), QS(d.volume)});
            EXPECT_TRUE(l.status == 0 || l.status == 1) << l.status;  // never a crash
            if (auto it = refusal.find(d.kind); it != refusal.end()) {
                EXPECT_EQ(l.said(), it->second);
                refused.insert(d.kind);
                continue;
            }
            if (d.kind == ImageKind::BadTextMap || d.kind == ImageKind::BadMeta) {
                ASSERT_EQ(l.status, 0) << l.err;
                const QJsonObject sec = l.json()["sections"].toObject();
                for (const auto& k : sec.keys()) EXPECT_LE(sec[k].toInt(), d.pages) << k.toStdString();
            }
            if (d.kind > ImageKind::Tiff || d.truncatedRecord) {  // the kinds after Tiff are the broken ones
                EXPECT_TRUE(l.status != 0 || l.json()["found"].toBool());
                continue;
            }
            ASSERT_EQ(f.status, 0) << f.err;
            QJsonObject fj = f.json();
            const bool assign = c == mks::Collection::Assign;  // never searched: every number, one page
            EXPECT_GE(fj.take("record").toInt(), assign ? 0 : 1);
            const QString entry = QS(FixedWidth(d.number, 8) + " " + FixedWidth(d.volume, 10));
            EXPECT_EQ(fj, (QJsonObject{{"found", true},
                                       {"number", QS(d.number)},
                                       {"volume", assign ? "" : QS(d.volume)},
                                       {"entry", assign ? "" : entry},
                                       {"pages", assign ? 1 : d.pages}}));

            ASSERT_EQ(l.status, 0) << l.err;
            QJsonObject lj = l.json();
            fs::path volumeDir;
            for (const auto& v : in.s.volumes)
                if (v.name == d.volume) volumeDir = v.dir;
            EXPECT_EQ(OnVolume(Str(lj["path"]), Str(lj["volumeDir"])), OnVolume(d.imagePath, volumeDir));
            const char* kind = d.kind == ImageKind::Container ? "container"
                               : d.kind == ImageKind::Bin     ? "bin"
                                                              : "tiff";
            EXPECT_EQ(Str(lj["kind"]), kind);
            EXPECT_EQ(lj["pages"].toInt(), d.pages);
            if (c == mks::Collection::Tovrin && d.number.size() == 6) {
                ++sixDigits;  // the import's form of the number finds it too
                CliResult padded = in.run({"locate", QS("0" + d.number), QS(d.volume)});
                EXPECT_EQ(Str(padded.json()["path"]), Str(lj["path"])) << padded.err;
            }
            // Patents: the first pages the map states, within the document; others have none.
            const mks::SectionMap& m = d.sections;
            auto first = [&](int p) { return p <= d.pages ? p : 0; };
            EXPECT_EQ(lj["sections"].toObject(), (QJsonObject{{"info", first(m.info)},
                                                              {"abstract", first(m.abstract)},
                                                              {"drawings", first(m.drawings)},
                                                              {"description", first(m.description)},
                                                              {"claims", first(m.claims)}}));
            const QJsonArray ranges = lj["ranges"].toArray();
            EXPECT_EQ(ranges.size(), 12);
            for (std::size_t i = 0; i < m.ranges.size(); ++i)
                EXPECT_EQ(Str(ranges[static_cast<int>(i)]), std::to_string(m.ranges[i]));
        }
        EXPECT_TRUE(refused.count(ImageKind::DotDotPath));
        EXPECT_TRUE(c != mks::Collection::Tovrin || sixDigits > 0);  // some on a generated volume
        // Junk bytes through standard input are no list.
        const std::string junk = std::string("\0\xff 12\r\x7f\n", 8) + std::string(5000, '9');
        EXPECT_EQ(in.run({"check", "-"}, junk).said(), "1 - is not a text file of document numbers.\n");
        EXPECT_EQ(in.run({"check", "-"}, "no numbers here\n").said(),
                  "1 No document numbers were found in -\n");
    }
}

}  // namespace
}  // namespace velk

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

// A single drive holds a copy of the volume: compare places within it.
std::string OnVolume(const fs::path& file, const fs::path& volumeDir) {
    return fs::weakly_canonical(file).lexically_relative(fs::weakly_canonical(volumeDir)).generic_string();
}

TEST(Velkcmd, WalksEveryDocumentOfEachCollection) {
    for (auto [c, mode] : {std::pair{mks::Collection::Quorvel, mks::DriveMode::Drive},
                           {mks::Collection::Tovrin, mks::DriveMode::Tower},
                           {mks::Collection::Assign, mks::DriveMode::Drive}}) {
        CliSample in(c, mode);
        int sixDigits = 0;
        for (const mks::SampleDocument& d : in.s.documents) {
            SCOPED_TRACE(d.number + " " + mks::KindName(d.kind));
            CliResult f = in.run({"find", QS(d.number)});
            ASSERT_EQ(f.status, 0) << f.err;
            QJsonObject fj = f.json();
            EXPECT_TRUE(fj["found"].toBool());
            EXPECT_EQ(fj["pages"].toInt(), c == mks::Collection::Assign ? 1 : d.pages);
            if (c != mks::Collection::Assign) {
                EXPECT_EQ(Str(fj["number"]), d.number);
                EXPECT_EQ(Str(fj["volume"]), d.volume);
                EXPECT_EQ(Str(fj["entry"]), FixedWidth(d.number, 8) + " " + FixedWidth(d.volume, 10));
                EXPECT_GE(fj["record"].toInt(), 1);
            }

            if (!in.s.insertedVolume.empty() && in.s.insertedVolume != d.volume)
                mks::InsertVolume(in.s, d.volume);
            fs::path volumeDir;
            for (const auto& v : in.s.volumes)
                if (v.name == d.volume) volumeDir = v.dir;
            CliResult l = in.run({"locate", QS(d.number), QS(d.volume)});
            ASSERT_EQ(l.status, 0) << l.err;
            QJsonObject lj = l.json();
            EXPECT_TRUE(lj["found"].toBool());
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
            const QJsonArray ranges = lj["ranges"].toArray();
            EXPECT_EQ(ranges.size(), 12);
            const QJsonObject sec = lj["sections"].toObject();
            if (c != mks::Collection::Quorvel) {
                EXPECT_EQ(sec["info"].toInt() + sec["claims"].toInt(), 0);
                continue;
            }
            const mks::SectionMap& m = d.sections;
            for (auto [key, first] : {std::pair{"info", m.info},
                                      {"abstract", m.abstract},
                                      {"drawings", m.drawings},
                                      {"description", m.description},
                                      {"claims", m.claims}})
                EXPECT_EQ(sec[key].toInt(), first <= d.pages ? first : 0) << key;
            for (std::size_t i = 0; i < m.ranges.size(); ++i)
                EXPECT_EQ(Str(ranges[static_cast<int>(i)]), std::to_string(m.ranges[i]));
        }
        EXPECT_TRUE(c != mks::Collection::Tovrin || sixDigits > 0);  // some on a generated volume
    }
}

TEST(Velkcmd, CheckReadsAFileOrStandardInput) {
    for (auto c : {mks::Collection::Quorvel, mks::Collection::Tovrin}) {
        CliSample in(c, mks::DriveMode::Drive);
        std::string list;
        std::set<std::string> held;
        std::vector<const mks::SampleDocument*> rows;
        for (const auto& d : in.s.documents) {
            held.insert(d.number);
            if (d.number.size() != 7) continue;  // the reader takes 7-character numbers only
            list += d.number + " ";
            rows.push_back(&d);
        }
        std::string absent = "1000001";
        while (held.count(absent)) absent = std::to_string(std::stol(absent) + 1);
        // Tab, semicolon and comma separate; a repeat is already listed; two are no numbers here.
        list += "\n" + absent + "\t123456;US5123456," + rows[0]->number + "\r\n";
        rows.push_back(nullptr);
        rows.push_back(rows[0]);
        const fs::path file = in.tree.write("list.txt", list);

        for (const CliResult& r : {in.run({"check", QS(file)}), in.run(QStringList{"check", "-"}, list)}) {
            ASSERT_EQ(r.status, 0) << r.err;
            QJsonObject j = r.json();
            QJsonArray got = j["rows"].toArray();
            ASSERT_EQ(got.size(), static_cast<int>(rows.size()));
            for (int i = 0; i < got.size(); ++i) {
                QJsonObject row = got[i].toObject();
                const mks::SampleDocument* d = rows[static_cast<std::size_t>(i)];
                SCOPED_TRACE(d ? d->number : absent);
                EXPECT_EQ(Str(row["flag"]), d ? "Y" : "N");
                EXPECT_EQ(row["pages"].toInt(), d ? d->pages : 0);
                EXPECT_EQ(Str(row["volume"]), d ? d->volume : "");
                // Found: number in 9 columns, then the volume; not found: as read.
                EXPECT_EQ(Str(row["entry"]), d ? FixedWidth(d->number, 9) + d->volume : absent);
            }
            // The counts of an import into empty lists.
            const int docs = static_cast<int>(rows.size()) - 2;
            EXPECT_EQ(j["found"].toInt(), docs + 1);
            std::vector<int> counts;
            for (const char* k : {"read", "added", "alreadyListed", "notFound", "ignored"})
                counts.push_back(j[k].toInt());
            EXPECT_EQ(counts, (std::vector<int>{docs + 4, docs, 1, 1, 2}));
            EXPECT_EQ(j["ignoredFirst"].toArray(), (QJsonArray{"123456", "US5123456"}));
            EXPECT_FALSE(j["truncated"].toBool());
        }
        // A list cut at the limit says so.
        std::string many;
        for (int i = 0; i < 32001; ++i) many += absent + "\n";
        CliResult cut = in.run({"check", "-"}, many);
        ASSERT_EQ(cut.status, 0) << cut.err;
        EXPECT_TRUE(cut.json()["truncated"].toBool());
        EXPECT_EQ(cut.json()["notFound"].toInt(), 32000);
        EXPECT_NE(cut.err.find("Only the first 32000 numbers were taken"), std::string::npos) << cut.err;
        CliResult missing = in.run({"check", QS(in.tree.root() / "nope.txt")});
        EXPECT_EQ(missing.status, 1);
        EXPECT_NE(missing.err.find("Unable to read file "), std::string::npos);
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
    EXPECT_EQ(l.status, 1);
    EXPECT_EQ(l.err, "Please insert CDROM Volume " + other->volume + ".  Current CDRom Drive is E:\n");
    EXPECT_TRUE(l.out.empty());
    // Listed on no volume.
    CliResult notListed = in.run({"locate", "9999999", QS(in.s.insertedVolume)});
    EXPECT_EQ(notListed.status, 1);
    EXPECT_FALSE(notListed.json()["found"].toBool());

    CliResult f = in.run({"find", "0000001"});
    EXPECT_EQ(f.status, 1);
    EXPECT_EQ(f.err, "Document Not Found!\n");
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

TEST(Velkcmd, HostileInstallations) {
    for (auto c : {mks::Collection::Quorvel, mks::Collection::Tovrin, mks::Collection::Assign}) {
        CliSample in(c, mks::DriveMode::Tower, true);
        std::set<ImageKind> refused;
        for (const mks::SampleDocument& d : in.s.documents) {
            SCOPED_TRACE(d.number + " " + mks::KindName(d.kind));
            CliResult f = in.run({"find", QS(d.number)});
            EXPECT_TRUE(f.status == 0 || f.status == 1) << f.status;
            CliResult l = in.run({"locate", QS(d.number), QS(d.volume)});
            EXPECT_TRUE(l.status == 0 || l.status == 1) << l.status;  // never a crash
            const std::string path = "error at getpath_openidx\n", page = "Error at function GetPage\n";
            const std::map<ImageKind, std::string> refusal = {{ImageKind::DotDotPath, path},
                                                              {ImageKind::AbsolutePath, path},
                                                              {ImageKind::DrivePath, path},
                                                              {ImageKind::BadPages, path},
                                                              {ImageKind::ZeroSize, page}};
            if (auto it = refusal.find(d.kind); it != refusal.end()) {
                EXPECT_EQ(l.status, 1);
                EXPECT_EQ(l.err, it->second);
                refused.insert(d.kind);
            } else if (d.kind == ImageKind::BadTextMap || d.kind == ImageKind::BadMeta) {
                ASSERT_EQ(l.status, 0) << l.err;
                const QJsonObject sec = l.json()["sections"].toObject();
                for (const auto& k : sec.keys()) EXPECT_LE(sec[k].toInt(), d.pages) << k.toStdString();
            } else {
                EXPECT_TRUE(l.status != 0 || l.json()["found"].toBool());
            }
        }
        EXPECT_TRUE(refused.count(ImageKind::DotDotPath));
        // Junk bytes through standard input are no list.
        CliResult junk = in.run({"check", "-"}, std::string("\0\xff 12\r\x7f\n", 8) + std::string(5000, '9'));
        EXPECT_EQ(junk.status, 1);
        EXPECT_EQ(junk.err, "- is not a text file of document numbers.\n");
        CliResult words = in.run({"check", "-"}, "no numbers here\n");
        EXPECT_EQ(words.status, 1);
        EXPECT_EQ(words.err, "No document numbers were found in -\n");
    }
}

}  // namespace
}  // namespace velk

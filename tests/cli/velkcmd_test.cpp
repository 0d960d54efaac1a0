// velkcmd run as a program on generated installations: its JSON, exit statuses and
// messages, and that it never waits for an answer.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <fstream>
#include <set>

#include "common/vb_text.h"
#include "tests/index/index_fixtures.h"
#include "tests/support/sample_install.h"
#include "tools/mksample/mksample.h"

namespace velk {
namespace {

namespace fs = std::filesystem;
namespace mks = velk::mksample;
using mks::ImageKind;

struct Result {
    int status = -1;
    std::string out, err;
    QJsonObject json() const {
        QJsonParseError e;
        QJsonDocument d = QJsonDocument::fromJson(QByteArray::fromStdString(out), &e);
        EXPECT_EQ(e.error, QJsonParseError::NoError) << out;
        EXPECT_TRUE(d.isObject()) << out;
        return d.object();
    }
};

Result Velkcmd(const QStringList& args, const std::string& input = {}) {
    QProcess p;
    p.start(QStringLiteral(VELK_BINARY_DIR "/cli/velkcmd"), args);
    EXPECT_TRUE(p.waitForStarted(10000));
    p.write(input.data(), static_cast<qint64>(input.size()));
    p.closeWriteChannel();  // a prompt would wait on stdin forever: it must not read it
    EXPECT_TRUE(p.waitForFinished(30000)) << args.join(' ').toStdString();
    Result r;
    if (p.exitStatus() == QProcess::NormalExit) r.status = p.exitCode();
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

std::string Str(const QJsonValue& v) { return v.toString().toStdString(); }

const char* KindText(ImageKind k) {
    switch (k) {
    case ImageKind::Container: return "container";
    case ImageKind::Bin: return "bin";
    default: return "tiff";
    }
}

struct Sample {
    test::TempTree tree{"cli"};
    mks::SampleResult s;
    QStringList base;
    Sample(mks::Collection c, mks::DriveMode mode, bool hostile = false) {
        s = test::MakeSmallSample(tree.root() / "inst", c, mode, 3, hostile);
        base = {"--appdir", QString::fromStdString(s.appDir.string()), "--collection", mks::CollectionName(c),
                "--json"};
    }
    Result run(QStringList args, const std::string& input = {}) const { return Velkcmd(base + args, input); }
    fs::path volumeDir(const std::string& volume) const {
        for (const auto& v : s.volumes)
            if (v.name == volume) return v.dir;
        return {};
    }
    void insert(const std::string& volume) {
        if (!s.insertedVolume.empty() && s.insertedVolume != volume) mks::InsertVolume(s, volume);
    }
};

// A single drive holds a copy of the volume: compare places within it.
std::string OnVolume(const fs::path& file, const fs::path& volumeDir) {
    return fs::weakly_canonical(file).lexically_relative(fs::weakly_canonical(volumeDir)).generic_string();
}

QStringList Q(std::initializer_list<std::string> words) {
    QStringList l;
    for (const auto& w : words) l << QString::fromStdString(w);
    return l;
}

void WalkWithVelkcmd(mks::Collection c, mks::DriveMode mode) {
    Sample in(c, mode);
    const bool patents = c == mks::Collection::Quorvel, assign = c == mks::Collection::Assign;
    for (const mks::SampleDocument& d : in.s.documents) {
        SCOPED_TRACE(d.number + " " + mks::KindName(d.kind));
        Result f = in.run(Q({"find", d.number}));
        ASSERT_EQ(f.status, 0) << f.err;
        QJsonObject fj = f.json();
        EXPECT_TRUE(fj["found"].toBool());
        if (assign) {
            EXPECT_EQ(fj["pages"].toInt(), 1);
        } else {
            EXPECT_EQ(fj["pages"].toInt(), d.pages);
            EXPECT_EQ(Str(fj["number"]), d.number);
            EXPECT_EQ(Str(fj["volume"]), d.volume);
            EXPECT_EQ(Str(fj["entry"]), FixedWidth(d.number, 8) + " " + FixedWidth(d.volume, 10));
            EXPECT_GE(fj["record"].toInt(), 1);
        }

        in.insert(d.volume);
        Result l = in.run(Q({"locate", d.number, d.volume}));
        ASSERT_EQ(l.status, 0) << l.err;
        QJsonObject lj = l.json();
        EXPECT_TRUE(lj["found"].toBool());
        EXPECT_EQ(OnVolume(Str(lj["path"]), Str(lj["volumeDir"])), OnVolume(d.imagePath, in.volumeDir(d.volume)));
        EXPECT_EQ(Str(lj["kind"]), KindText(d.kind));
        EXPECT_EQ(lj["pages"].toInt(), d.pages);
        EXPECT_EQ(lj["ranges"].toArray().size(), 12);
        const QJsonObject sec = lj["sections"].toObject();
        if (patents) {
            auto want = [&](int first) { return first <= d.pages ? first : 0; };
            EXPECT_EQ(sec["info"].toInt(), want(d.sections.info));
            EXPECT_EQ(sec["abstract"].toInt(), want(d.sections.abstract));
            EXPECT_EQ(sec["drawings"].toInt(), want(d.sections.drawings));
            EXPECT_EQ(sec["description"].toInt(), want(d.sections.description));
            EXPECT_EQ(sec["claims"].toInt(), want(d.sections.claims));
            if (d.kind == ImageKind::TiffEmbeddedMeta) {
                for (int i = 0; i < 12; ++i)
                    EXPECT_EQ(Str(lj["ranges"].toArray()[i]), std::to_string(d.sections.ranges[i]));
            }
        } else {
            EXPECT_EQ(sec["info"].toInt() + sec["claims"].toInt(), 0);
        }
    }
}

TEST(Velkcmd, WalksEveryDocumentOfEachCollection) {
    WalkWithVelkcmd(mks::Collection::Quorvel, mks::DriveMode::Drive);
    WalkWithVelkcmd(mks::Collection::Tovrin, mks::DriveMode::Tower);
    WalkWithVelkcmd(mks::Collection::Assign, mks::DriveMode::Drive);
}

TEST(Velkcmd, CheckReadsAFileOrStandardInput) {
    for (auto c : {mks::Collection::Quorvel, mks::Collection::Tovrin}) {
        Sample in(c, mks::DriveMode::Drive);
        std::string list, want;
        std::set<std::string> held;
        for (const auto& d : in.s.documents) held.insert(d.number);
        std::vector<std::pair<std::string, const mks::SampleDocument*>> rows;
        for (const auto& d : in.s.documents) {
            if (d.number.size() != 7) continue;  // the reader takes 7-character numbers only
            list += d.number + " ";
            rows.emplace_back(d.number, &d);
        }
        std::string absent = "1000001";
        while (held.count(absent)) absent = std::to_string(std::stol(absent) + 1);
        list += "\n" + absent + "\r\n";
        rows.emplace_back(absent, nullptr);
        const fs::path file = in.tree.write("list.txt", list);

        for (const Result& r : {in.run(Q({"check", file.string()})), in.run(Q({"check", "-"}), list)}) {
            ASSERT_EQ(r.status, 0) << r.err;
            QJsonObject j = r.json();
            QJsonArray got = j["rows"].toArray();
            ASSERT_EQ(got.size(), static_cast<int>(rows.size()));
            for (int i = 0; i < got.size(); ++i) {
                QJsonObject row = got[i].toObject();
                const mks::SampleDocument* d = rows[static_cast<std::size_t>(i)].second;
                SCOPED_TRACE(rows[static_cast<std::size_t>(i)].first);
                EXPECT_EQ(Str(row["flag"]), d ? "Y" : "N");
                EXPECT_EQ(row["pages"].toInt(), d ? d->pages : 0);
                EXPECT_EQ(Str(row["volume"]), d ? d->volume : "");
                // Found: number in 9 columns, then the volume; not found: as read.
                EXPECT_EQ(Str(row["entry"]), d ? FixedWidth(d->number, 9) + d->volume : absent);
            }
            EXPECT_EQ(j["notFound"].toInt(), 1);
        }
        Result missing = in.run(Q({"check", (in.tree.root() / "nope.txt").string()}));
        EXPECT_EQ(missing.status, 1);
        EXPECT_NE(missing.err.find("Unable to read file "), std::string::npos);
    }
}

TEST(Velkcmd, MissesAbsentVolumesAndUsage) {
    Sample in(mks::Collection::Quorvel, mks::DriveMode::Drive);
    const mks::SampleDocument* other = nullptr;
    for (const auto& d : in.s.documents)
        if (d.volume != in.s.insertedVolume) other = &d;
    ASSERT_NE(other, nullptr);
    // Not in the drive: the prompt's text, no waiting, nothing on stdout.
    Result l = in.run(Q({"locate", other->number, other->volume}));
    EXPECT_EQ(l.status, 1);
    EXPECT_EQ(l.err, "Please insert CDROM Volume " + other->volume + ".  Current CDRom Drive is E:\n");
    EXPECT_TRUE(l.out.empty());
    // Listed on no volume.
    Result notListed = in.run(Q({"locate", "9999999", in.s.insertedVolume}));
    EXPECT_EQ(notListed.status, 1);
    EXPECT_FALSE(notListed.json()["found"].toBool());

    Result f = in.run(Q({"find", "0000001"}));
    EXPECT_EQ(f.status, 1);
    EXPECT_EQ(f.err, "Document Not Found!\n");
    EXPECT_FALSE(f.json()["found"].toBool());
    EXPECT_GE(f.json()["record"].toInt(), 1);  // where the search stopped

    // Text output: one line per field.
    Result text = Velkcmd(in.base.mid(0, 4) + Q({"find", in.s.documents[0].number}));
    EXPECT_NE(text.out.find("found: true\n"), std::string::npos) << text.out;

    Result help = Velkcmd({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* field : {"found", "record", "entry", "rows", "flag", "kind", "sections", "marker", "ranges"})
        EXPECT_NE(help.out.find(field), std::string::npos) << field;
    EXPECT_EQ(Velkcmd(Q({"find", "1"})).status, 2);  // no installation named
    EXPECT_EQ(Velkcmd(in.base.mid(0, 2) + Q({"find", "1"})).status, 2);  // no collection
    EXPECT_EQ(Velkcmd(in.base + Q({"frobnicate"})).status, 2);
    EXPECT_EQ(Velkcmd(in.base + Q({"locate", "1"})).status, 2);
    EXPECT_EQ(Velkcmd(in.base + Q({"--bogus", "find", "1"})).status, 2);
    QStringList wrongDir = in.base;
    wrongDir[1] = QString::fromStdString((in.tree.root() / "none").string());
    EXPECT_EQ(Velkcmd(wrongDir + Q({"find", "1"})).status, 1);
}

TEST(Velkcmd, HostileInstallations) {
    for (auto c : {mks::Collection::Quorvel, mks::Collection::Tovrin, mks::Collection::Assign}) {
        Sample in(c, mks::DriveMode::Tower, true);
        std::set<ImageKind> refused;
        for (const mks::SampleDocument& d : in.s.documents) {
            SCOPED_TRACE(d.number + " " + mks::KindName(d.kind));
            Result f = in.run(Q({"find", d.number}));
            EXPECT_TRUE(f.status == 0 || f.status == 1) << f.status;
            Result l = in.run(Q({"locate", d.number, d.volume}));
            EXPECT_TRUE(l.status == 0 || l.status == 1) << l.status;  // never a crash
            switch (d.kind) {
            case ImageKind::DotDotPath:
            case ImageKind::AbsolutePath:
            case ImageKind::DrivePath:
            case ImageKind::BadPages:
                EXPECT_EQ(l.status, 1);
                EXPECT_EQ(l.err, "error at getpath_openidx\n");
                refused.insert(d.kind);
                break;
            case ImageKind::ZeroSize:
                EXPECT_EQ(l.status, 1);
                EXPECT_EQ(l.err, "Error at function GetPage\n");
                break;
            case ImageKind::BadTextMap:
            case ImageKind::BadMeta: {
                ASSERT_EQ(l.status, 0) << l.err;
                const QJsonObject sec = l.json()["sections"].toObject();
                for (const auto& k : sec.keys()) EXPECT_LE(sec[k].toInt(), d.pages) << k.toStdString();
                break;
            }
            default:
                if (l.status == 0) {
                    EXPECT_TRUE(l.json()["found"].toBool());
                }
            }
        }
        EXPECT_TRUE(refused.count(ImageKind::DotDotPath));
        // A list of junk bytes through standard input: read, nothing found.
        Result junk = in.run(Q({"check", "-"}), std::string("\0\xff 12\r\x7f\n", 8) + std::string(5000, '9'));
        EXPECT_EQ(junk.status, 0) << junk.err;
    }
}

}  // namespace
}  // namespace velk

// velkcmd run as a program on a generated installation.
#pragma once

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include "tests/index/index_fixtures.h"
#include "tests/support/sample_install.h"
#include "tools/mksample/mksample.h"

namespace velk::test {

namespace mks = velk::mksample;

struct CliResult {
    int status = -1;  // -1: crashed or hung
    std::string out, err;
    QJsonObject json() const {
        QJsonParseError e;
        QJsonDocument d = QJsonDocument::fromJson(QByteArray::fromStdString(out), &e);
        EXPECT_EQ(e.error, QJsonParseError::NoError) << out;
        EXPECT_TRUE(d.isObject()) << out;
        return d.object();
    }
    std::string said() const { return std::to_string(status) + " " + err; }  // exit status and stderr
};

inline const QString kVelkcmd = QStringLiteral(VELK_BINARY_DIR "/cli/velkcmd");

// The program (velkcmd unless named) with args and input, to its end.
inline CliResult Velkcmd(const QStringList& args, const std::string& input = {},
                         const QString& program = kVelkcmd) {
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForStarted(10000));
    p.write(input.data(), static_cast<qint64>(input.size()));
    p.closeWriteChannel();  // a prompt would wait on stdin forever: it must not read it
    EXPECT_TRUE(p.waitForFinished(60000)) << args.join(' ').toStdString();
    CliResult r;
    if (p.exitStatus() == QProcess::NormalExit) r.status = p.exitCode();
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

inline QString QS(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

// Three documents a volume; `base` names the installation and asks for JSON.
struct CliSample {
    TempTree tree{"cli"};
    mks::SampleResult s;
    QStringList base;
    CliSample(mks::Collection c, mks::DriveMode mode, bool hostile = false) {
        s = MakeSmallSample(tree.root() / "inst", c, mode, 3, hostile);
        base = {"--appdir", QS(s.appDir), "--collection", mks::CollectionName(c), "--json"};
    }
    CliResult run(const QStringList& args, const std::string& input = {}) const {
        return Velkcmd(base + args, input);
    }
    const mks::SampleDocument* withPages(int n) const {
        for (const auto& d : s.documents)
            if (d.pages >= n) return &d;
        return nullptr;
    }
};

}  // namespace velk::test

inline void PrintTo(const QJsonObject& o, std::ostream* os) {
    *os << QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
}

// The real program's exit status and its command line (its three names starting through
// to their windows are walked by the desktop tests; start-up's failures one by one in
// startup_test).
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "lists/list_store.h"
#include "platform/profile_writer.h"
#include "tests/platform/scratch_dir.h"
#include "tools/mksample/mksample.h"

namespace fs = std::filesystem;
using namespace velk;
using velk::mksample::Collection;

namespace {

const char* const kProgram = VELK_BINARY_DIR "/app/velk";

struct Outcome {
    int status = -1;  // -1: crashed or timed out
    std::string out;
};

// Starts the program off screen, with one more variable set and its output channels merged.
void Start(QProcess& p, const fs::path& program, const QStringList& args, const QString& var,
           const QString& value) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert(var, value);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QString::fromStdString(program.string()), args);
    EXPECT_TRUE(p.waitForStarted(10000)) << program;
}

Outcome Launch(const fs::path& program, const QStringList& args = {}) {
    QProcess p;
    Start(p, program, args, "VELK_SMOKE_EXIT", "1");
    if (!p.waitForFinished(30000)) {
        ADD_FAILURE() << program << " did not end within 30 s";
        p.kill();
        p.waitForFinished(5000);
    }
    Outcome o;
    if (p.exitStatus() == QProcess::NormalExit) o.status = p.exitCode();
    o.out = p.readAll().toStdString();
    return o;
}

// The status, and the texts the output holds and those it must not hold.
void Expect(const Outcome& o, int status, std::initializer_list<const char*> has,
            std::initializer_list<const char*> lacks = {}) {
    EXPECT_EQ(o.status, status) << o.out;
    for (const char* t : has) EXPECT_NE(o.out.find(t), std::string::npos) << t << " in:\n" << o.out;
    for (const char* t : lacks) EXPECT_EQ(o.out.find(t), std::string::npos) << t << " in:\n" << o.out;
}

// A patents installation started by its own name, velkwp.
mksample::SampleResult Install(const fs::path& dir) {
    EXPECT_TRUE(fs::exists(kProgram)) << kProgram;
    auto s = mksample::MakeSample(
        {.collection = Collection::Quorvel, .outDir = dir, .volumes = 1, .documentsPerVolume = 1, .pageScale = 0.05});
    fs::create_symlink(kProgram, s.appDir / "velkwp");
    return s;
}

}  // namespace

TEST(Program, AFailureEndsWithItsStatusAndHelpNeedsNoWindow) {
    test::ScratchDir dir("program");
    const fs::path link = Install(dir / "inst").appDir / "velkwp";

    // A name that is none of the four: the patent files, the splash, then the stop.
    fs::create_symlink(kProgram, link.parent_path() / "viewer");
    Expect(Launch(link.parent_path() / "viewer"), 5,
           {"frmSplash shown", "message [] ERROR:  Invalid command line argument - see your adminstrator!"},
           {"frmFind shown"});
    // Its own name: through the read-me to the find dialog.
    Expect(Launch(link), 0, {"frmReadme shown", "reached the find dialog"});
    // No configuration file: no window beyond the message, and an orderly end without lists.
    for (const auto& e : fs::directory_iterator(link.parent_path()))
        if (e.path().extension() == ".INI" || e.path().extension() == ".ini") fs::remove(e.path());
    Expect(Launch(link), 2, {"message [Quorvel] Unable to read configuration file."}, {"frmSplash shown"});

    Outcome o = Launch(kProgram, {"--help"});
    Expect(o, 0, {"velkwp", "velkwm", "velkwa", "velkw", "VelkWp.INI", "VelkWm.INI"});
    EXPECT_FALSE(std::regex_search(o.out, std::regex(R"(\w+ shown \d+\n)"))) << "no window on --help";
    o = Launch(kProgram, {"--version"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out.rfind("Velk ", 0), 0u) << o.out;
}

TEST(Program, AKilledRunLeavesItsListsAndTheNextStartOffersThem) {
    test::ScratchDir dir("program");
    const auto s = Install(dir / "inst");
    WritePrivateProfileString("DATA", "READ_ME", "NO", s.configFile.string());
    const fs::path link = s.appDir / "velkwp";
    const char* question =
        "message [Quorvel] The program did not end normally last time. Keep the lists it had?";
    const auto found = [&] {
        ListStore store(s.appDir / "VELKWp.mdb", "Quorvel");
        EXPECT_TRUE(store.OpenDatabases());
        return store.Count(ListTable::Found);
    };

    // A run that adds a document to Found and is then killed outright.
    std::ofstream(dir / "script.txt")
        << "wait frmSplash\nclick cmdContinue\nwait frmFind\ntype txtFind " << s.documents.front().number
        << "\nkey txtFind Return\necho added\nsleep 60000\n";
    QProcess p;
    Start(p, link, {}, "VELK_SCRIPT", QString::fromStdString((dir / "script.txt").string()));
    std::string out;
    while (out.find("\nadded") == std::string::npos && p.waitForReadyRead(30000))
        out += p.readAll().toStdString();
    ASSERT_NE(out.find("\nadded"), std::string::npos) << out;
    p.kill();
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(found(), 1);

    // The next start asks, and the answer Yes keeps the list; after that orderly end nothing is asked.
    Expect(Launch(link), 0, {question});
    EXPECT_EQ(found(), 1);
    Expect(Launch(link), 0, {}, {question});
    EXPECT_EQ(found(), 0);
}

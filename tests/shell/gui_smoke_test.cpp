// The real program on a sample installation, driven through its own widgets by a script
// (VELK_SCRIPT): find a number, view it, turn a page, go to its claims, zoom, rotate, print to PDF, export,
// exit; then the files it wrote are checked on disk.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/profile_writer.h"
#include "tests/platform/scratch_dir.h"
#include "tools/mksample/mksample.h"

namespace fs = std::filesystem;
using namespace velk;

namespace {

const char* const kProgram = VELK_BINARY_DIR "/app/velk";

struct Played {
    int status = -1;
    std::string out;
};

Played Play(const fs::path& program, const fs::path& script, const fs::path& pdf) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VELK_SCRIPT", QString::fromStdString(script.string()));
    env.insert("VELK_PRINTER", QString::fromStdString(pdf.string()));
    QString exe = QString::fromStdString(program.string());
    QStringList args;
    // A real X server when there is one to be had; the offscreen platform otherwise.
    const QString xvfb = QStandardPaths::findExecutable("xvfb-run");
    if (!xvfb.isEmpty()) {
        args = {"-a", exe};
        exe = xvfb;
        env.remove("QT_QPA_PLATFORM");
    } else {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    }
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(exe, args);
    EXPECT_TRUE(p.waitForStarted(10000));
    if (!p.waitForFinished(60000)) {
        ADD_FAILURE() << "the program did not end within 60 s";
        p.kill();
        p.waitForFinished(5000);
    }
    Played r;
    if (p.exitStatus() == QProcess::NormalExit) r.status = p.exitCode();
    r.out = p.readAll().toStdString();
    return r;
}

int PdfPages(const fs::path& pdf) {
    QProcess p;
    p.start("pdfinfo", {QString::fromStdString(pdf.string())});
    if (!p.waitForFinished(20000) || p.exitCode() != 0) return -1;
    for (const QString& line : QString::fromUtf8(p.readAll()).split('\n'))
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    return -1;
}

}  // namespace

TEST(GuiSmoke, FindViewTurnZoomRotatePrintExportExit) {
    test::ScratchDir dir("gui");
    mksample::SampleOptions o;
    o.collection = mksample::Collection::Quorvel;
    o.outDir = dir / "install";
    o.volumes = 1;
    o.documentsPerVolume = 4;
    o.mode = mksample::DriveMode::Tower;
    o.pageScale = 0.1;
    const mksample::SampleResult s = mksample::MakeSample(o);
    const fs::path ini = s.configFile;
    WritePrivateProfileString("DATA", "READ_ME", "NO", ini.string());
    // The destination dialog opens on drive C:, the installation's c folder.
    const fs::path exportDir = o.outDir / "c";

    // A page container of several pages: every volume is in the tower.
    const mksample::SampleDocument* doc = nullptr;
    for (const auto& d : s.documents)
        if (d.pages >= 3 && d.kind == mksample::ImageKind::Container && d.sections.claims > 2 && !doc) doc = &d;
    ASSERT_NE(doc, nullptr);

    const fs::path link = s.appDir / "velkwp";
    fs::create_symlink(kProgram, link);
    const fs::path pdf = dir / "printed.pdf";
    const fs::path script = dir / "script.txt";
    std::ofstream(script) << "wait frmSplash\nclick cmdContinue\n"
                             "wait frmFind\n"
                             "type txtFind " << doc->number << "\n"
                             "click cmdFind\n"
                             "click cmdToFound\n"
                             "click cmdOk\n"
                             "wait BTN_NEXT_PG\n"
                             "trigger BTN_NEXT_PG\n"
                             "title frmView1 Page 2/\n"
                             "trigger BTN_GOTO\n"
                             "wait frmGoto\n"
                             "click optClaims\n"
                             "click cmdOk\n"
                             "title frmView1 Page " << doc->sections.claims << "/\n"
                             "trigger BTN_ZOOM_IN\n"
                             "trigger BTN_ROTATE\n"
                             "trigger BTN_PRINT\n"
                             "wait frmPrint\n"
                             "click optEntire\nclick cmdPrint\n"
                             "sleep 200\ntop frmPrint\n"
                             "click cmdCancel\n"
                             "trigger BTN_EXPORT\n"
                             "wait frmExport\n"
                             "click cmdExport\n"
                             "answer OK\n"
                             "sleep 200\ntop none\n"
                             "trigger mnuExit\n";
    const Played r = Play(link, script, pdf);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find(" ok: trigger mnuExit"), std::string::npos) << r.out;

    EXPECT_EQ(PdfPages(pdf), doc->pages) << "the whole document printed to " << pdf << "\n" << r.out;
    int exported = 0;
    for (const auto& e : fs::recursive_directory_iterator(exportDir))
        exported += e.is_regular_file() && e.path().string().find(doc->number) != std::string::npos ? 1 : 0;
    EXPECT_GE(exported, 1) << r.out;
}

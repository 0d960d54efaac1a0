// A real print queue: a CUPS scheduler of the test's own (its own configuration and
// state, a private socket, a queue whose device is a file), a document and a batch
// printed to it through QPrinter, and the job output read back with poppler's tools.
// The printing runs in a child process, the only one that sees the scheduler as
// CUPS_SERVER, so no other test finds it as a default printer.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/ui/qt_printer.h"
#include "print/print_runs.h"
#include "print/ui/frm_print.h"
#include "tests/platform/scratch_dir.h"
#include "tests/print/pdf_facts.h"
#include "tests/print/print_fixtures.h"
#include "tests/support/fake_modal.h"

namespace velk {
namespace {

namespace fs = std::filesystem;
using test::Output;
using test::PrintInstall;
namespace mks = velk::mksample;

constexpr const char* kQueue = "velktest";

// The program's path; the scheduler and lpadmin live in sbin, often not on a user's PATH.
std::string Tool(const std::string& name) {
    std::string path = Output("PATH=\"$PATH:/usr/sbin:/sbin\" command -v " + name);
    path.erase(path.find_last_not_of("\n") + 1);
    return path.rfind('/', 0) == 0 ? path : std::string();
}

// Waits up to `seconds` for `done`; a wait, not a measurement.
template <class F>
bool WaitFor(F done, int seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return done();
}

// A PostScript-free PPD: the job leaves the filters as the PDF pdftopdf makes of it.
constexpr const char* kPpd = R"ppd(*PPD-Adobe: "4.3"
*ModelName: "Test PDF queue"
*ColorDevice: False
*DefaultColorSpace: Gray
*cupsFilter2: "application/vnd.cups-pdf application/pdf 0 -"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: Letter
*PageSize Letter/US Letter: "<</PageSize[612 792]>>setpagedevice"
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*PageSize Legal/US Legal: "<</PageSize[612 1008]>>setpagedevice"
*CloseUI: *PageSize
*DefaultImageableArea: Letter
*ImageableArea Letter/US Letter: "0 0 612 792"
*ImageableArea A4/A4: "0 0 595 842"
*ImageableArea Legal/US Legal: "0 0 612 1008"
*DefaultPaperDimension: Letter
*PaperDimension Letter/US Letter: "612 792"
*PaperDimension A4/A4: "595 842"
*PaperDimension Legal/US Legal: "612 1008"
)ppd";

// cupsd in the foreground on a socket in its own directory, stopped with the object.
class Scheduler {
public:
    explicit Scheduler(const fs::path& dir) : dir_(dir) {}
    ~Scheduler() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }
    std::string socket() const { return (dir_ / "cups.sock").string(); }
    fs::path output() const { return dir_ / "out" / "job.pdf"; }
    // Empty when the queue is ready, else why not.
    std::string start() {
        for (const char* tool : {"cupsd", "lpadmin", "lpstat"})
            if (Tool(tool).empty())
                return std::string(tool) + " is not installed (Debian: cups-daemon, cups-client)";
        if (!fs::exists("/usr/lib/cups/filter/pdftopdf"))
            return "pdftopdf is not installed (Debian: cups-filters)";
        for (const char* d : {"spool", "cache", "state", "log", "out"}) fs::create_directories(dir_ / d);
        // The filters run as another user when the scheduler is root: they must reach the output.
        fs::permissions(dir_ / "out", fs::perms::all);
        const std::string root = dir_.string();
        std::ofstream(dir_ / "cupsd.conf") << "Listen " << socket() << "\nLogLevel info\nBrowsing Off\n"
                                           << "DefaultAuthType None\nWebInterface No\n"
                                           << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                           // Anyone on the private socket may add the queue: the
                                           // scheduler need not run as root.
                                           << "<Policy default>\n  <Limit All>\n    AuthType None\n"
                                           << "    Order deny,allow\n    Allow all\n  </Limit>\n</Policy>\n";
        std::ofstream files(dir_ / "cups-files.conf");
        files << "FileDevice Yes\nSandboxing Relaxed\nServerRoot " << root << "\nStateDir " << root
              << "/state\nCacheDir " << root << "/cache\nRequestRoot " << root << "/spool\nTempDir " << root
              << "/spool\nErrorLog " << root << "/log/error_log\nAccessLog " << root
              << "/log/access_log\nPageLog " << root
              << "/log/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n";
        if (getuid() != 0) files << "User " << getuid() << "\nGroup " << getgid() << "\n";
        files.close();
        std::ofstream(dir_ / "velktest.ppd") << kPpd;

        const std::string cupsd = Tool("cupsd"), conf = root + "/cupsd.conf",
                          filesConf = root + "/cups-files.conf", log = root + "/log/stdout";
        pid_ = fork();
        if (pid_ == 0) {
            std::freopen(log.c_str(), "w", stdout);
            std::freopen(log.c_str(), "a", stderr);
            execl(cupsd.c_str(), "cupsd", "-f", "-c", conf.c_str(), "-s", filesConf.c_str(), nullptr);
            _exit(127);
        }
        if (pid_ < 0) return "fork failed";
        const std::string server = "CUPS_SERVER='" + socket() + "' ";
        bool ended = false;  // cupsd gave up (no permission, a port taken, a bad configuration)
        const bool running = WaitFor(
            [&] {
                int status = 0;
                ended = waitpid(pid_, &status, WNOHANG) == pid_;
                return ended ||
                       Output(server + "lpstat -r").find("scheduler is running") != std::string::npos;
            },
            30);
        if (!running || ended) {
            if (ended) pid_ = -1;  // reaped already; the destructor stops one that hangs
            return "cupsd did not start: " + test::ScratchDir::ReadFile(dir_ / "log/stdout") + test::ScratchDir::ReadFile(dir_ / "log/error_log");
        }
        const std::string added =
            Output(server + Tool("lpadmin") + " -p " + kQueue + " -E -v file://" + output().string() +
                   " -P '" + (dir_ / "velktest.ppd").string() + "'; echo rc=$?");
        if (added.find("rc=0") == std::string::npos) return "the queue could not be made: " + added;
        return {};
    }

private:
    fs::path dir_;
    pid_t pid_ = -1;
};

// Runs inside the child only: QPrinter on the queue, each job's output kept as the
// queue finishes it (the device is one file, and every job writes it anew).
TEST(PrintQueue, DISABLED_Child) {
    const char* outDir = std::getenv("VELK_TEST_QUEUE_OUT");
    const char* device = std::getenv("VELK_TEST_QUEUE_DEVICE");
    ASSERT_TRUE(outDir && device && std::getenv("CUPS_SERVER"));
    int kept = 0;
    auto keepFinished = [&] {
        // lpstat -o lists the jobs not yet completed.
        ASSERT_TRUE(WaitFor([] { return Output(std::string("lpstat -o ") + kQueue).empty(); }, 120))
            << Output(std::string("lpstat -o ") + kQueue);
        const std::string done = Output(std::string("lpstat -W completed -o ") + kQueue);
        const int completed = static_cast<int>(std::count(done.begin(), done.end(), '\n'));
        if (completed > kept) {
            fs::copy_file(device, fs::path(outDir) / ("job-" + std::to_string(++kept) + ".pdf"));
        }
    };

    PrintInstall in(mks::Collection::Quorvel, mks::DriveMode::Tower);
    // No default queue: the program starts on Save as PDF; the print dialog offers the
    // queue, and the choice made there holds for the batch after it.
    QtPrinter printer("");
    in.app.ports.printer = &printer;
    const mks::SampleDocument& doc = in.showWith(3);
    in.app.config.PageType = "A4";
    {
        frmPrint f(in.app, in.modal);
        EXPECT_EQ(f.cmbPrinter->currentText(), "Save as PDF");
        const int queue = f.cmbPrinter->findText(kQueue);
        ASSERT_GE(queue, 0) << "Qt does not see the queue " << kQueue;
        f.cmbPrinter->setCurrentIndex(queue);
        f.optRange->setChecked(true);
        f.cmbRangeSt->setCurrentIndex(0);
        f.cmbRangeEnd->setCurrentIndex(std::min(doc.pages, 3) - 1);
        f.cmdPrint->click();
        ASSERT_EQ(in.ports.messages.summaries.size(), 1u);
        EXPECT_TRUE(in.ports.messages.summaries[0].clean()) << in.ports.messages.summaries[0].text();
    }
    EXPECT_EQ(printer.deviceName(), kQueue);
    keepFinished();

    // A batch of two documents on Legal, one job each; the pump runs between them.
    in.app.config.PageType = "LEGAL";
    in.toPrint(in.s.documents[0]);
    in.toPrint(in.s.documents.back());
    in.ports.pump.onPump = [&](int) { keepFinished(); };
    EXPECT_EQ(in.patentBatch(PageChoice::Entire).printed, 2);
    in.ports.pump.onPump = nullptr;
    keepFinished();
    EXPECT_EQ(kept, 3);
    std::ofstream(fs::path(outDir) / "pages.txt")
        << doc.pages << " " << in.s.documents[0].pages << " " << in.s.documents.back().pages;
}

TEST(PrintQueue, DocumentAndBatchThroughCups) {
    test::TempTree tree("cups");
    Scheduler cups(tree.root());
    if (const std::string why = cups.start(); !why.empty())
        GTEST_SKIP() << "no print queue of our own: " << why;

    const fs::path out = tree.dir("jobs");
    const std::string cmd = "CUPS_SERVER='" + cups.socket() + "' VELK_TEST_QUEUE_OUT='" + out.string() +
                            "' VELK_TEST_QUEUE_DEVICE='" + cups.output().string() + "' '" +
                            fs::read_symlink("/proc/self/exe").string() +
                            "' --gtest_also_run_disabled_tests --gtest_filter=PrintQueue.DISABLED_Child";
    const std::string child = Output(cmd + "; echo status=$?");
    ASSERT_NE(child.find("status=0"), std::string::npos) << child;

    std::istringstream counts(test::ScratchDir::ReadFile(out / "pages.txt"));
    int docPages = 0, firstPages = 0, lastPages = 0;
    counts >> docPages >> firstPages >> lastPages;
    const struct {
        int pages;
        const char* size;
    } jobs[] = {{std::min(docPages, 3), "595 x 842 pts"},
                {firstPages, "612 x 1008 pts"},
                {lastPages, "612 x 1008 pts"}};
    for (int j = 0; j < 3; ++j) {
        const fs::path pdf = out / ("job-" + std::to_string(j + 1) + ".pdf");
        const test::PdfFacts f = test::ReadPdf(pdf);
        EXPECT_EQ(f.pages, std::to_string(jobs[j].pages)) << pdf;
        EXPECT_EQ(f.size, jobs[j].size) << pdf;
        // Every page is one image, and it stayed 1-bit through Qt and the queue's filters.
        EXPECT_EQ(f.images.size(), static_cast<std::size_t>(jobs[j].pages)) << pdf;
        for (const std::string& image : f.images) EXPECT_NE(image.find(" 1 "), std::string::npos) << image;
    }
}

}  // namespace
}  // namespace velk

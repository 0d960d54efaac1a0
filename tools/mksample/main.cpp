// mksample: writes a sample installation; see --help and README.md.
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>

#include "tools/mksample/mksample.h"

namespace fs = std::filesystem;
using namespace velk::mksample;

namespace {

std::uintmax_t TreeSize(const fs::path& dir) {
    std::uintmax_t total = 0;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, ec); it != fs::recursive_directory_iterator(); ++it)
        if (it->is_regular_file(ec) && !it->is_symlink(ec)) total += it->file_size(ec);
    return total;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    CommandLine cl;
    std::string error;
    if (!ParseCommandLine(args, cl, error)) {
        std::fprintf(stderr, "mksample: %s\nTry mksample --help\n", error.c_str());
        return 2;
    }
    if (cl.help) {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }
    // Pages are drawn off screen; the fonts need a GUI application, never a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qargc = 1;
    QGuiApplication app(qargc, argv);
    if (!cl.programGiven) {
        cl.options.programPath =
            (fs::path(QCoreApplication::applicationDirPath().toStdString()) / ".." / ".." / "app" / "velk")
                .lexically_normal();
        std::error_code ec;
        if (!fs::exists(cl.options.programPath, ec))
            std::fprintf(stderr,
                         "mksample: note: %s is not built yet; the program link points there anyway\n",
                         cl.options.programPath.c_str());
    }
    try {
        auto start = std::chrono::steady_clock::now();
        SampleResult r = MakeSample(cl.options);
        double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        long pages = 0;
        for (const SampleDocument& d : r.documents) pages += d.pages;
        std::printf(
            "mksample: %s installation in %s: %zu volumes, %zu documents, %ld pages, %ld index records, "
            "%.1f MB, %.2f s\n",
            r.collectionMode.c_str(), fs::absolute(cl.options.outDir).lexically_normal().c_str(),
            r.volumes.size(), r.documents.size(), pages, r.indexRecords,
            static_cast<double>(TreeSize(cl.options.outDir)) / 1e6, secs);
        if (!r.programLink.empty()) std::printf("mksample: start it with %s\n", r.programLink.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mksample: %s\n", e.what());
        return 1;
    }
    return 0;
}

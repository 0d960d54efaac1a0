// One 300-dpi letter page of dense text printed to a PDF file through the page
// engine, with the G4 decode timed in the same loop as its baseline; and the peak
// memory of a 50-page document. Targets: print/decode at most 8, pdf/g4 bytes at
// most 2 (the page stays 1-bit), peak RSS under 200 MB.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "platform/app.h"
#include "platform/ui/qt_printer.h"
#include "print/print_engine.h"
#include "tools/bench/sample_page.h"
#include "viewer/imaging/page_image.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

const std::string& DenseLetterTiff() {
    static const std::string tiff = velk::bench::DescriptionPageTiff(2550, 3300, 300, 7);
    return tiff;
}

velk::PageImage DecodePage() {
    const std::string& t = DenseLetterTiff();
    return velk::PageImage::loadMemory(t.data(), t.size());
}

fs::path Scratch(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("velk-print-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    return dir / name;
}

struct PdfApp {
    velk::App app;
    velk::QtPrinter printer;
    explicit PdfApp(const fs::path& file) : printer(file.string()) {
        app.config.PageType = "LETTER";
        app.ports.printer = &printer;
    }
};

// Decode, then the page through PrintSinglePage into its own one-page PDF job.
void BM_PrintPagePdf(benchmark::State& state) {
    const fs::path file = Scratch("page.pdf");
    PdfApp pdf(file);
    double decode = 0, print = 0;
    std::uintmax_t pdfBytes = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        velk::PageImage page = DecodePage();
        decode += Since(t0);
        t0 = Clock::now();
        velk::PageImage again = DecodePage();
        pdf.printer.setNextOutputFile(file);
        velk::PrintRun run(pdf.app, nullptr);
        if (!velk::PrintSinglePage(run, again, 1, 1, 1) || !run.FinishDocument()) {
            state.SkipWithError("the page did not print");
            break;
        }
        print += Since(t0);
        pdfBytes = fs::file_size(file);
    }
    state.counters["print/decode"] = decode > 0 ? print / decode : 0;
    state.counters["g4_kb"] = DenseLetterTiff().size() / 1024.0;
    state.counters["pdf_kb"] = pdfBytes / 1024.0;
    state.counters["pdf/g4"] = double(pdfBytes) / DenseLetterTiff().size();
    fs::remove_all(file.parent_path());
}
BENCHMARK(BM_PrintPagePdf)->Unit(benchmark::kMillisecond);

// A 50-page document in one job, each page decoded as the runs load it.
void BM_Print50PagesPeakRss(benchmark::State& state) {
    const fs::path file = Scratch("fifty.pdf");
    PdfApp pdf(file);
    for (auto _ : state) {
        pdf.printer.setNextOutputFile(file);
        velk::PrintRun run(pdf.app, nullptr);
        for (int p = 1; p <= 50; ++p) velk::PrintSinglePage(run, DecodePage(), p, 50, p);
        if (!run.FinishDocument()) state.SkipWithError("the document did not print");
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = usage.ru_maxrss / 1024.0;
    state.counters["pdf_mb"] = fs::file_size(file) / 1048576.0;
    fs::remove_all(file.parent_path());
}
BENCHMARK(BM_Print50PagesPeakRss)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

// print NUMBER VOLUME, print --list FILE: the viewer's printing without its windows,
// through the same page engine and batch run, to PDF files or a printer queue.
#include <unistd.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <set>

#include "cli/commands.h"
#include "common/vb_text.h"
#include "lists/list_store.h"
#include "platform/app.h"
#include "platform/ui/qt_printer.h"
#include "print/print_runs.h"
#include "viewer/document_locator.h"
#include "viewer/page_loading.h"

namespace velk::cli {
namespace {

namespace fs = std::filesystem;

// The engine asks the main frame whether "Duplex Printing" is checked.
class DuplexChoice : public MainFrame {
public:
    explicit DuplexChoice(bool on) : on_(on) {}
    void enableItem(const std::string&, bool) override {}
    void checkItem(const std::string&, bool) override {}
    bool isChecked(const std::string& name) override { return on_ && name == "Duplex"; }
    void openDialog(FrameDialog) override {}
    bool displayDocument(int) override { return false; }

private:
    bool on_;
};

class StderrProgress : public PrintProgressView {
public:
    explicit StderrProgress(std::ostream& err) : err_(err) {}
    void showProgress(const PrintProgress& p) override {
        err_ << p.lblDocument << ": " << p.lblPage;
        if (!p.lblAllDocs.empty()) err_ << ", " << p.lblAllDocs;
        err_ << '\n';
    }

private:
    std::ostream& err_;
};

// A PDF printer whose every job (one document) goes to DIR/NUMBER.pdf.
class PdfPerDocument : public Printer {
public:
    PdfPerDocument(const fs::path& dir, const App& app) : pdf_((dir / "print.pdf").string()), dir_(dir), app_(app) {}
    void setPaperSize(int code) override { pdf_.setPaperSize(code); }
    int paperSize() override { return pdf_.paperSize(); }
    void setDuplex(int mode) override { pdf_.setDuplex(mode); }
    int duplex() override { return pdf_.duplex(); }
    std::string deviceName() override { return dir_.string(); }
    std::string port() override { return pdf_.port(); }
    int scaleWidth() override { return pdf_.scaleWidth(); }
    int scaleHeight() override { return pdf_.scaleHeight(); }
    void drawPage(const QImage& page, const TwipRect& target) override {
        if (!pdf_.jobOpen()) pdf_.setNextOutputFile(fileFor(Trim(app_.doc.CurDocNo), Trim(app_.doc.CurVolume)));
        pdf_.drawPage(page, target);
    }
    void drawText(int x, int y, const std::string& text, const std::string& font, int size, bool bold) override {
        pdf_.drawText(x, y, text, font, size, bold);
    }
    void newPage() override { pdf_.newPage(); }
    bool endDoc() override { return pdf_.endDoc(); }
    void abortDoc() override { pdf_.abortDoc(); }
    std::string lastOutputFile() override { return pdf_.lastOutputFile(); }
    const std::vector<fs::path>& files() const { return pdf_.outputFiles(); }

private:
    // Letters and digits only: a number read from a list never names a path.
    fs::path fileFor(const std::string& number, const std::string& volume) {
        std::string stem = KeepAlnum(number);
        if (stem.empty()) stem = "document";
        // The same number on two volumes keeps both.
        if (!used_.insert(stem).second) stem += "-" + KeepAlnum(volume);
        used_.insert(stem);
        return dir_ / (stem + ".pdf");
    }

    QtPrinter pdf_;
    fs::path dir_;
    const App& app_;
    std::set<std::string> used_;
};

bool SetSection(PageOptions& o, const std::string& name) {
    bool PageOptions::*box = nullptr;
    if (name == "abstract") box = &PageOptions::abstract;
    if (name == "biblio") box = &PageOptions::biblio;
    if (name == "claims") box = &PageOptions::claims;
    if (name == "description") box = &PageOptions::description;
    if (name == "drawings") box = &PageOptions::drawings;
    if (name == "corrections") box = &PageOptions::corrections;
    if (name == "reexaminations") box = &PageOptions::reexaminations;
    if (!box) return false;
    o.*box = true;
    return true;
}

// The page choice from --pages or --section (every page without either).
std::optional<std::string> ReadChoice(const Context& ctx, PageOptions& o) {
    const auto pages = ctx.option("pages");
    const auto sections = ctx.option("section");
    if (pages && sections) return "give --pages or --section, not both";
    o.choice = PageChoice::Entire;
    if (pages) {
        auto list = ParsePageList(*pages);
        if (!list) return "--pages takes page numbers and ranges like 1,3-5";
        o.choice = PageChoice::List;
        o.list = std::move(*list);
    }
    if (sections) {
        if (!ctx.app.config.isPatents()) return "--section is for patents only";
        o.choice = PageChoice::Subsection;
        std::size_t start = 0;
        while (start <= sections->size()) {
            const std::size_t comma = std::min(sections->find(',', start), sections->size());
            if (!SetSection(o, Trim(sections->substr(start, comma - start))))
                return "--section takes abstract, biblio, claims, description, drawings, corrections, "
                       "reexaminations";
            start = comma + 1;
        }
    }
    return std::nullopt;
}

// An entry as the lists store it (number in columns 1 to 9, volume after), or
// "NUMBER VOLUME" separated by blanks.
std::optional<std::pair<std::string, std::string>> ReadEntry(std::string line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string t = Trim(line);
    if (t.empty()) return std::nullopt;
    const auto blank = t.find_first_of(" \t");
    if (line.size() > 9 && Trim(Left(line, 9)).find(' ') == std::string::npos && !Trim(Mid(line, 10)).empty())
        return std::pair{Trim(Left(line, 9)), Trim(Mid(line, 10))};
    if (blank == std::string::npos) return std::pair{t, std::string()};
    return std::pair{Trim(t.substr(0, blank)), Trim(t.substr(blank + 1))};
}

// The pages of a document the batch will meet, when its volume is there now.
int PagesOnVolume(App& app, const std::string& number, const std::string& volume) {
    app.doc.CurDocNo = number;
    app.doc.CurVolume = volume;
    if (!CDLoaded(app, volume) || !GetPath_OpenIdx(app, number, volume)) return 0;
    return DocumentFilePages(app);
}

void EnsureGui() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "velkcmd";
    static char* argv[] = {name, nullptr};
    static QGuiApplication gui(argc, argv);  // fonts and the print engines need one
}

int PrintOne(Context& ctx, const PageOptions& options, Printer& printer, QtPrinter* pdf) {
    App& app = ctx.app;
    const std::string number = Trim(ctx.args[0]), volume = Trim(ctx.args[1]);
    if (const int located = ctx.locate(number, volume); located != kExitDone) return located;
    const int pages = DocumentFilePages(app);
    if (pages < 1) return kExitFailed;
    // A page the document does not have is refused, as export refuses it, not dropped.
    if (options.choice == PageChoice::List)
        if (auto beyond = PagesBeyond(number, options.list, pages)) return ctx.fail(*beyond);
    app.doc.CurPageCount = Int16(std::min(pages, 32767));
    app.ports.printer = &printer;
    StderrProgress progress(ctx.err);
    bool clean = false;
    {
        PrintRun run(app, &progress);
        clean = PrintCurrentDocument(app, run, options);
    }
    Json files = Json::array();
    if (pdf)
        for (const fs::path& f : pdf->outputFiles()) files.push(f.string());
    // The file written, not the one a next job would write.
    const std::string written = printer.lastOutputFile();
    ctx.print(Json::object()
                  .set("printed", clean)
                  .set("printer", written.empty() ? printer.deviceName() : written)
                  .set("files", std::move(files)));
    return clean ? kExitDone : kExitFailed;
}

int PrintList(Context& ctx, const PageOptions& options, const std::string& listFile, Printer& printer,
              const PdfPerDocument* pdf) {
    App& app = ctx.app;
    std::ifstream in(listFile, std::ios::binary);
    if (!in) return ctx.fail("Cannot read " + listFile);

    // The batch reads a To Print list: a list store of its own, gone afterwards.
    char pattern[] = "/tmp/velkcmd-print-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) return ctx.fail("Cannot make a temporary directory");
    const fs::path temp(made);
    struct Remove {
        fs::path dir;
        ~Remove() {
            std::error_code ec;
            fs::remove_all(dir, ec);
        }
    } cleanup{temp};
    ListStore lists(temp / "print.db", app.config.CollectionMode);
    if (!lists.OpenDatabases()) return kExitFailed;
    app.lists = &lists;

    int entries = 0;
    for (std::string line; std::getline(in, line);) {
        const auto entry = ReadEntry(line);
        if (!entry) continue;
        if (entry->second.empty() || entry->first.size() > 9 || entry->second.find_first_of(" \t") != std::string::npos)
            return ctx.fail("Not an entry (number and volume): " + Trim(line));
        const int pages = PagesOnVolume(app, entry->first, entry->second);
        if (!lists.AddToPrint(FixedWidth(entry->first, 9) + entry->second, Int16(std::min(pages, 32767))))
            return kExitFailed;
        ++entries;
    }
    if (entries == 0) return ctx.fail("No entries in " + listFile);
    app.doc = CurrentDocument{};

    IgnoreVolumeQuestions batchMessages(*app.ports.messages);
    app.ports.messages = &batchMessages;
    app.ports.printer = &printer;
    StderrProgress progress(ctx.err);
    BatchResult r;
    {
        PrintRun run(app, &progress);
        r = app.config.isPatents() ? PrintPatentBatch(app, run, options) : PrintListBatch(app, run);
    }
    Json left = Json::array();
    for (const ListRow& row : lists.RowsByVolume(ListTable::ToPrint)) left.push(Trim(row.DocumentNo));
    Json files = Json::array();
    if (pdf)
        for (const fs::path& f : pdf->files()) files.push(f.string());
    ctx.print(Json::object()
                  .set("printed", r.printed)
                  .set("left", std::move(left))
                  .set("files", std::move(files))
                  .set("printer", printer.deviceName()));
    app.lists = nullptr;
    return r.passed == 0 && !r.aborted && !r.cancelled ? kExitDone : kExitFailed;
}

int Run(Context& ctx) {
    App& app = ctx.app;
    const auto list = ctx.option("list");
    if (list ? !ctx.args.empty() : ctx.args.size() != 2)
        return ctx.fail("print takes NUMBER VOLUME, or --list FILE");
    const auto pdfOut = ctx.option("pdf");
    const auto queue = ctx.option("printer");
    if (!pdfOut == !queue) return ctx.fail("print needs --pdf FILE or --printer NAME");
    if (!app.config.isPatents() && list && (ctx.option("pages") || ctx.option("section")))
        return ctx.fail("a trademark or assignment batch prints every page");
    PageOptions options;
    if (auto problem = ReadChoice(ctx, options)) return ctx.fail(*problem);
    if (const auto paper = ctx.option("paper")) {
        const std::string p = UCase(*paper);
        if (!PaperCodeFor(p)) return ctx.fail("--paper takes letter, a4 or legal");
        app.config.PageType = p;
    }
    DuplexChoice duplex(ctx.option("duplex").has_value());
    app.ports.frame = &duplex;
    EnsureGui();

    if (list && pdfOut) {
        std::error_code ec;
        fs::create_directories(*pdfOut, ec);
        if (!fs::is_directory(*pdfOut, ec)) return ctx.fail("Not a directory: " + *pdfOut);
        PdfPerDocument pdf(*pdfOut, app);
        return PrintList(ctx, options, *list, pdf, &pdf);
    }
    if (pdfOut && !IsPdfPrinterName(*pdfOut)) return ctx.fail("--pdf takes a file name ending in .pdf");
    QtPrinter printer(pdfOut ? *pdfOut : *queue);
    if (list) return PrintList(ctx, options, *list, printer, nullptr);
    return PrintOne(ctx, options, printer, printer.isPdf() ? &printer : nullptr);
}

}  // namespace

const Command kPrintCommand{
    "print", "NUMBER VOLUME | --list FILE", 0, 2, "pages= section= paper= duplex pdf= printer= list=",
    "Prints document NUMBER on VOLUME as the print dialog does: every page, --pages 1,3-5\n"
    "    (a page beyond the document's last is refused, as export refuses it),\n"
    "    or --section claims[,abstract,...] (patents); --paper letter|a4|legal (else the\n"
    "    configured paper), --duplex. --pdf FILE writes one PDF file, --printer NAME sends\n"
    "    the job to a printer queue. --list FILE prints every entry of FILE (one \"NUMBER\n"
    "    VOLUME\" or stored entry text a line) volume by volume as the batch print does;\n"
    "    with --pdf DIR each document becomes DIR/NUMBER.pdf. Progress goes to stderr.\n"
    "    Exit 1 when any document did not print in full (missing volume, not found,\n"
    "    printer error), with the reason on stderr.\n"
    "    JSON: printed (bool, or the count of a list), left (entries not printed),\n"
    "          files (PDF files written), printer (the PDF file written, or the queue).",
    Run};

}  // namespace velk::cli

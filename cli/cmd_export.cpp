// export NUMBER VOLUME | --list FILE: pages written as image files into DIR/NUMBER,
// through the dialogs' engine, with their file and directory names. Never asks: an
// existing file is kept unless --overwrite, a missing volume is passed over.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cli/commands.h"
#include "common/vb_text.h"
#include "export/batch_export.h"
#include "export/export_engine.h"
#include "index/cumulative_index.h"
#include "index/import_file.h"
#include "lists/list_store.h"
#include "platform/app.h"
#include "platform/disk_space.h"
#include "print/select_pages.h"
#include "viewer/document_locator.h"
#include "viewer/page_loading.h"

namespace velk::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSectionUsage =
    "--section takes abstract, biblio, claims, description, drawings, corrections or reexaminations";

int Usage(Context& ctx, const std::string& text) {
    ctx.fail(text);
    return kExitUsage;
}

std::optional<ExportFormat> FormatOf(const std::string& name) {
    if (name == "pdf") return DocumentFileFormat::Pdf;
    if (name == "tiff") return DocumentFileFormat::Tiff;
    if (name == "g4") return SaveFormat::TiffG4;
    if (name == "g3") return SaveFormat::TiffG3;
    if (name == "none") return SaveFormat::TiffUncompressed;
    if (name == "pcx") return SaveFormat::Pcx;
    if (name == "bmp") return SaveFormat::Bmp;
    if (name == "gif") return SaveFormat::Gif;
    return std::nullopt;
}

std::optional<PageOptions> SectionOptions(const std::string& name) {
    PageOptions o;
    o.choice = PageChoice::Subsection;
    if (name == "abstract")
        o.abstract = true;
    else if (name == "biblio")
        o.biblio = true;
    else if (name == "claims")
        o.claims = true;
    else if (name == "description")
        o.description = true;
    else if (name == "drawings")
        o.drawings = true;
    else if (name == "corrections")
        o.corrections = true;
    else if (name == "reexaminations")
        o.reexaminations = true;
    else
        return std::nullopt;
    return o;
}

Json Files(const ExportRun& run) {
    Json files = Json::array();
    for (const fs::path& f : run.written()) files.push(f.string());
    return files;
}

int ExportOne(Context& ctx, ExportRun& run, const ExportFormat& format, const fs::path& to) {
    App& app = ctx.app;
    const std::string number = Trim(ctx.args[0]), volume = Trim(ctx.args[1]);
    if (const int located = ctx.locate(number, volume); located != kExitDone) return located;
    const int count = DocumentFilePages(app);
    app.doc.CurPageCount = Int16(std::clamp(count, 0, 32767));
    std::vector<int> pages;
    if (auto text = ctx.option("pages")) {
        auto list = ParsePageList(*text);
        if (!list) return Usage(ctx, "--pages takes page numbers and ranges such as 1,3-5");
        if (auto beyond = PagesBeyond(number, *list, count)) return ctx.fail(*beyond);
        pages = *list;
    } else if (auto section = ctx.option("section")) {
        auto options = SectionOptions(*section);
        if (!options) return Usage(ctx, kSectionUsage);
        const PageSelection sel = SelectPages(*options, app.doc, count);
        if (sel.empty()) return ctx.fail(kNoPagesText);
        for (Int16 p : sel.pages) pages.push_back(p.value());
    } else {
        for (int p = 1; p <= count; ++p) pages.push_back(p);
    }
    if (pages.empty()) return ctx.fail(kNoPagesText);
    const ExportOutcome outcome = run.Export(pages, format, to);
    // A file kept rather than replaced is a page the script asked for and did not get.
    const bool whole = outcome == ExportOutcome::Done && run.summary.skipped.empty();
    Json r = Json::object();
    r.set("number", number).set("volume", volume);
    if (std::holds_alternative<SaveFormat>(format)) r.set("directory", (to / ExportDirName(number)).string());
    r.set("complete", whole).set("pages", static_cast<int>(pages.size())).set("files", Files(run));
    ctx.print(r);
    return whole ? kExitDone : kExitFailed;
}

int ExportList(Context& ctx, ExportRun& run, const ExportFormat& format, const fs::path& to,
               const std::string& file) {
    App& app = ctx.app;
    ImportTable table;
    if (!ReadImportFile(file, app.config.CollectionMode, table))
        return ctx.fail("Cannot read the list " + file);
    if (!CumIndex(app, table)) return kExitFailed;
    // The batch works on a To Export list of its own, in a file that lives for this run.
    const fs::path db = fs::temp_directory_path() / ("velkcmd-export-" + std::to_string(getpid()) + ".db");
    struct Remove {
        fs::path p;
        ~Remove() {
            std::error_code ec;
            fs::remove(p, ec);
        }
    } remove{db};
    ListStore lists(db, app.config.CollectionMode);
    if (!lists.OpenDatabases()) return ctx.fail("Cannot make a list file in " + db.parent_path().string());
    app.lists = &lists;
    Json missing = Json::array();
    std::optional<PageOptions> options;
    if (auto section = ctx.option("section")) {
        options = SectionOptions(*section);
        if (!options) return Usage(ctx, kSectionUsage);
    }
    for (const ImportRow& row : table.rows) {
        if (row.Found == "Y")
            lists.AddToExport(row.EntryText,
                              Int16(static_cast<int>(std::clamp<long long>(ValInt(row.Pages), 0, 32767))));
        else
            missing.push(Trim(row.EntryText));
    }
    const ExportBatchResult r = ExportBatch(app, run, options ? &*options : nullptr, format, to);
    Json left = Json::array();
    for (const ListRow& row : lists.Rows(ListTable::ToExport)) left.push(Trim(Left(row.DocumentNo, 9)));
    app.lists = nullptr;
    Json out = Json::object();
    out.set("exported", r.exported).set("left", std::move(left)).set("notInIndex", std::move(missing));
    out.set("cancelled", r.cancelled).set("files", Files(run));
    ctx.print(out);
    const bool all =
        table.size() > 0 && r.exported == static_cast<int>(table.size()) && run.summary.skipped.empty();
    return all ? kExitDone : kExitFailed;
}

int Run(Context& ctx) {
    App& app = ctx.app;
    const auto list = ctx.option("list");
    if (list ? !ctx.args.empty() : ctx.args.size() != 2)
        return Usage(ctx, "export takes NUMBER VOLUME, or --list FILE without them");
    if (list && ctx.option("pages"))
        return Usage(ctx, "--pages is for one document; use --section with --list");
    const auto format = FormatOf(ctx.option("format").value_or(""));
    if (!format) return Usage(ctx, "--format takes g4, g3, none, pcx, bmp, gif, pdf or tiff");
    const auto to = ctx.option("to");
    std::error_code ec;
    if (!to || to->empty()) return Usage(ctx, "--to DIR is required");
    if (!fs::is_directory(*to, ec)) return ctx.fail("No such directory: " + *to);

    StatvfsDiskSpace disk;
    IgnoreVolumeQuestions messages(*app.ports.messages);
    app.ports.disk = &disk;
    app.ports.messages = &messages;
    ExportRun run(app, nullptr);
    run.overwrite = ctx.option("overwrite") ? ExportRun::Overwrite::Always : ExportRun::Overwrite::Never;
    const fs::path dest = fs::absolute(*to, ec).lexically_normal();
    return list ? ExportList(ctx, run, *format, dest, *list) : ExportOne(ctx, run, *format, dest);
}

}  // namespace

const Command kExportCommand{
    "export",
    "[NUMBER VOLUME]",
    0,
    2,
    "format= pages= section= to= list= overwrite",
    "Writes pages of document NUMBER on VOLUME, or of every document of the number list\n"
    "    --list FILE (volume by volume), as image files into DIR/NUMBER/PageNNNN.EXT,\n"
    "    as the export dialogs do. --format g4|g3|none|pcx|bmp|gif, --to DIR (required).\n"
    "    --format pdf or tiff writes one file per document, DIR/NUMBER.pdf or NUMBER.tif,\n"
    "    its G4 pages stored as they are (other pages coded as G4 once);\n"
    "    --pages 1,3-5 or --section claims (patents) choose pages, else every page.\n"
    "    An existing file is kept unless --overwrite; a missing volume is passed over.\n"
    "    Exit 0 when every chosen page was written, 1 otherwise, 2 for a usage error.\n"
    "    JSON (one document): number, volume, directory (page files only), complete\n"
    "          (bool), pages, files.\n"
    "    JSON (--list): exported, left (numbers not written whole), notInIndex, cancelled,\n"
    "          files.",
    Run};

}  // namespace velk::cli

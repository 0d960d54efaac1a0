// check FILE|-: the import's reading and checking of a number list, with its counts,
// on lists of its own that go afterwards.
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "cli/commands.h"
#include "common/vb_text.h"
#include "index/cumulative_index.h"
#include "index/import_file.h"
#include "index/import_run.h"
#include "lists/list_store.h"
#include "platform/app.h"

namespace velk::cli {
namespace {

namespace fs = std::filesystem;

int Run(Context& ctx) {
    App& app = ctx.app;
    const std::string& source = ctx.args[0];
    ImportResult result;
    ImportTable table;
    ImportReadStatus status;
    const bool read = source == "-" ? ReadImportStream(std::cin, app.config.CollectionMode, table, status, {})
                                    : ReadImportFile(source, app.config.CollectionMode, table, status, {});
    if (!read) {
        result.outcome =
            status.failure == ImportReadStatus::NotText ? ImportResult::NotText : ImportResult::Unreadable;
        return ctx.fail(ImportRefusedText(result, source));
    }
    result.truncated = status.truncated;

    // Empty lists of its own, so that the counts are the ones an import into empty lists gives.
    char pattern[] = "/tmp/velkcmd-check-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) return ctx.fail("Cannot make a temporary directory");
    struct Remove {
        fs::path dir;
        ~Remove() {
            std::error_code ec;
            fs::remove_all(dir, ec);
        }
    } cleanup{made};
    ListStore lists(cleanup.dir / "check.db", app.config.CollectionMode);
    if (!lists.OpenDatabases()) return ctx.fail("Cannot make a list file in " + cleanup.dir.string());
    app.lists = &lists;
    StoreImport(app, table, false, {}, result);
    app.lists = nullptr;
    if (result.outcome == ImportResult::NoNumbers) return ctx.fail(ImportRefusedText(result, source));
    for (const std::string& error : result.errors) ctx.err << error << '\n';
    if (!result.errors.empty()) return ctx.fail(kImportNotProcessed);
    if (result.truncated)
        ctx.err << "Only the first " << kImportRowLimit
                << " numbers were taken; the rest of the list was not read.\n";

    Json rows = Json::array();
    int found = 0;
    for (const ImportRow& row : table.rows) {
        found += row.Found == "Y";
        rows.push(Json::object()
                      .set("entry", row.EntryText)
                      .set("flag", row.Found)
                      .set("pages", ValInt(row.Pages))
                      .set("volume", row.Volume));
    }
    Json ignored = Json::array();
    for (const std::string& n : result.counts.ignoredFirst) ignored.push(n);
    const ImportCounts& c = result.counts;
    Json r = Json::object();
    r.set("rows", std::move(rows));
    r.set("found", found)
        .set("read", c.read())
        .set("added", c.found)
        .set("alreadyListed", c.alreadyListed)
        .set("notFound", c.notFound)
        .set("ignored", c.ignored)
        .set("ignoredFirst", std::move(ignored))
        .set("truncated", result.truncated);
    ctx.print(r);
    return kExitDone;
}

}  // namespace

const Command kCheckCommand{
    "check",
    "FILE|-",
    1,
    1,
    "",
    "Reads a number list as the import reads a file (FILE, or standard input for -;\n"
    "    no line after 32000 numbers) and checks every number against the cumulative\n"
    "    index, counting as an import into empty lists counts.\n"
    "    Exit 1 with \"Unable to read file FILE\" when the list cannot be read, with\n"
    "    \"FILE is not a text file of document numbers.\" for a binary file, and with\n"
    "    \"No document numbers were found in FILE\" when it holds none. A list cut at\n"
    "    32000 numbers says so on stderr.\n"
    "    JSON: rows (array of {entry, flag \"Y\"/\"N\", pages, volume}; entry rewritten\n"
    "          as the lists store it when found), found (rows found in the index),\n"
    "          read, added, alreadyListed, notFound, ignored (counts, as the import's\n"
    "          closing message gives them), ignoredFirst (the first few ignored numbers),\n"
    "          truncated (true when the list was cut).",
    Run};

}  // namespace velk::cli

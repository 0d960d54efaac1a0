// check FILE|-: the import's reading and checking of a number list, without the lists.
#include <iostream>

#include "cli/commands.h"
#include "common/vb_text.h"
#include "index/cumulative_index.h"
#include "index/import_file.h"
#include "platform/app.h"

namespace velk::cli {
namespace {

int Run(Context& ctx) {
    App& app = ctx.app;
    const std::string& source = ctx.args[0];
    ImportTable table;
    const bool read = source == "-" ? ReadImportStream(std::cin, app.config.CollectionMode, table)
                                    : ReadImportFile(source, app.config.CollectionMode, table);
    if (!read) return ctx.fail("Unable to read file " + source);
    if (!CumIndex(app, table)) return ctx.fail("Import not processed");
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
    Json r = Json::object();
    r.set("rows", std::move(rows));
    r.set("found", found).set("notFound", static_cast<int>(table.size()) - found);
    ctx.print(r);
    return kExitDone;
}

}  // namespace

const Command kCheckCommand{
    "check", "FILE|-", 1, 1, "",
    "Reads a number list as the import reads a file (FILE, or standard input for -;\n"
    "    no line after 32000 numbers) and checks every number against the cumulative index.\n"
    "    Exit 1 with \"Unable to read file FILE\" when the list cannot be read.\n"
    "    JSON: rows (array of {entry, flag \"Y\"/\"N\", pages, volume}; entry rewritten\n"
    "          as the lists store it when found), found, notFound (counts).",
    Run};

}  // namespace velk::cli

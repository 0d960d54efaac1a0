// find KEY: the find dialog's look-up of a typed number.
#include "cli/commands.h"
#include "common/vb_text.h"
#include "index/cumulative_index.h"
#include "platform/app.h"

namespace velk::cli {
namespace {

int Run(Context& ctx) {
    App& app = ctx.app;
    // As typed into the dialog: trimmed, upper case.
    const std::string key = UCase(Trim(ctx.args[0]));
    Json r = Json::object();
    if (app.config.isAssignments()) {
        // Assignments are browsed, never searched: every number counts, with one page.
        const Int16 pages = FindInCum(app, key);
        r.set("found", true).set("record", 0).set("entry", "").set("number", key).set("volume", "");
        r.set("pages", static_cast<int>(pages));
        ctx.print(r);
        return kExitDone;
    }
    // Opened here first so a missing or unreadable index is told apart from a miss.
    CumIndexFile index = OpenCumIndex(app);
    const Int16 pages = FindInCum(app, key);
    const bool found = pages != -2;
    CumRecord rec;
    if (app.LastCumRecord > 0) rec = index.record(static_cast<std::int32_t>(app.LastCumRecord));
    r.set("found", found).set("record", app.LastCumRecord);
    r.set("entry", app.LastCumRecord > 0 ? FindEntryText(rec) : std::string());
    r.set("number", Trim(rec.DocNo)).set("volume", Trim(rec.Volume));
    r.set("pages", found ? static_cast<int>(pages) : 0);
    ctx.print(r);
    // The dialog's word for a miss and for a match without pages.
    if (!found || pages < 1) return ctx.fail("Document Not Found!");
    return kExitDone;
}

}  // namespace

const Command kFindCommand{
    "find", "KEY", 1, 1, "",
    "Looks KEY up in the cumulative index as the find dialog does (trimmed, upper case;\n"
    "    patents: the first number that begins with KEY, the number itself first).\n"
    "    Exit 1 with \"Document Not Found!\" when nothing matches or the match has no pages.\n"
    "    JSON: found (bool), record (the matching record, or the last record probed),\n"
    "          entry (the find dialog's 19-character line of that record), number,\n"
    "          volume, pages (0 when not found). Assignments are never searched:\n"
    "          found, 1 page.",
    Run};

}  // namespace velk::cli

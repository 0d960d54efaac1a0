// locate NUMBER VOLUME: the viewer's way from a list entry to the image file and,
// for patents, its sections. Never prompts for a volume.
#include "cli/commands.h"
#include "common/vb_text.h"
#include "platform/app.h"
#include "viewer/document_locator.h"
#include "viewer/imaging/page_image.h"
#include "viewer/page_loading.h"
#include "viewer/page_map.h"

namespace velk::cli {
namespace {

int Run(Context& ctx) {
    App& app = ctx.app;
    const std::string number = Trim(ctx.args[0]);
    const std::string volume = Trim(ctx.args[1]);
    app.doc.CurDocNo = number;
    app.doc.CurVolume = volume;
    if (!CDLoaded(app, volume)) return ctx.fail(InsertVolumeText(app, volume));
    const long before = ctx.messages.shown();
    if (!GetPath_OpenIdx(app, number, volume)) {
        ctx.print(Json::object().set("found", false));
        // An error has been told already; a document that is not listed is quiet.
        if (ctx.messages.shown() != before) return kExitFailed;
        return ctx.fail("Document " + number + " is not on volume " + volume);
    }
    const std::string& path = app.doc.CurImagePath;
    const PageFileKind kind = PageFileKindOf(path);
    int pages = 0;
    if (kind == PageFileKind::Container) {
        if (!GetPage(app, path, number, Int16(1))) return kExitFailed;
        pages = app.doc.Page.FilePages.value();
    } else {
        pages = PageImage::pageCount(path);
    }

    const CurrentDocument& doc = app.doc;
    const Int16 count(pages);
    Json sections = Json::object();
    sections.set("info", SectionStart(doc, SecInfo, count).value());
    sections.set("abstract", SectionStart(doc, SecAbstract, count).value());
    sections.set("drawings", SectionStart(doc, SecDrawings, count).value());
    sections.set("description", SectionStart(doc, SecDescription, count).value());
    sections.set("claims", SectionStart(doc, SecClaims, count).value());
    Json ranges = Json::array();
    for (const std::string& r : doc.SectionPageRange) ranges.push(r);

    Json r = Json::object();
    r.set("found", true).set("path", path).set("kind", PageFileKindName(kind)).set("pages", pages);
    r.set("sections", std::move(sections)).set("marker", doc.MapMarker).set("ranges", std::move(ranges));
    r.set("volumeDir", doc.VolumeDir);
    ctx.print(r);
    return kExitDone;
}

}  // namespace

const Command kLocateCommand{
    "locate", "NUMBER VOLUME", 2, 2, "",
    "Finds document NUMBER on VOLUME as the viewer does, and its image file. Asks for\n"
    "    no volume: exit 1 with the insert-volume text when VOLUME is not present, with\n"
    "    \"error at getpath_openidx\" when the volume's data is unusable.\n"
    "    JSON: found (bool), path (native), kind (\"tiff\", \"bin\" or \"container\"),\n"
    "          pages (the container header's count or the TIFF's pages), sections\n"
    "          {info, abstract, drawings, description, claims} (first pages, 0 absent;\n"
    "          patents), marker, ranges (the twelve range texts), volumeDir.",
    Run};

}  // namespace velk::cli

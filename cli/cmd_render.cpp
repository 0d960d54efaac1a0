// render NUMBER VOLUME PAGE: a page as the viewer shows it, written as PNG, through the
// viewer's own decode and render (smoothing below 100%). --info only reads the page.
#include <QImage>
#include <QString>
#include <cmath>
#include <exception>
#include <filesystem>
#include <system_error>

#include "cli/commands.h"
#include "common/vb_text.h"
#include "platform/app.h"
#include "viewer/document_locator.h"
#include "viewer/imaging/page_image.h"
#include "viewer/page_loading.h"
#include "viewer/page_prefetch.h"

namespace velk::cli {
namespace {

namespace fs = std::filesystem;

int Usage(Context& ctx, const std::string& text) {
    ctx.fail(text);
    return kExitUsage;
}

// "1000x800": both sides 1..32000.
bool ParseSize(const std::string& text, QSize& out) {
    const long long x = InStr(UCase(text), "X");
    if (x < 2) return false;
    const std::string w = Left(text, x - 1), h = Mid(text, x + 1);
    if (!IsNumeric(w) || !IsNumeric(h) || InStr(w, ".") || InStr(h, ".")) return false;
    const long long wv = ValInt(w), hv = ValInt(h);
    if (wv < 1 || hv < 1 || wv > ImageLimits::kMaxSide || hv > ImageLimits::kMaxSide) return false;
    out = QSize(static_cast<int>(wv), static_cast<int>(hv));
    return true;
}

int Run(Context& ctx) {
    App& app = ctx.app;
    const std::string number = Trim(ctx.args[0]);
    const std::string volume = Trim(ctx.args[1]);
    const std::string pageText = Trim(ctx.args[2]);
    if (!IsNumeric(pageText) || InStr(pageText, ".") || ValInt(pageText) < 1 || ValInt(pageText) > 32767)
        return Usage(ctx, "PAGE must be a page number from 1 to 32767");
    const auto zoomText = ctx.option("zoom"), fitText = ctx.option("fit"), rotateText = ctx.option("rotate");
    const auto out = ctx.option("out");
    const bool info = ctx.option("info").has_value();
    if (zoomText && fitText) return Usage(ctx, "--zoom and --fit exclude each other");
    double zoom = 1.0;
    if (zoomText) {
        if (!IsNumeric(*zoomText) || Val(*zoomText) < 1 || Val(*zoomText) > 6400)
            return Usage(ctx, "--zoom takes a percentage from 1 to 6400");
        zoom = Val(*zoomText) / 100.0;
    }
    QSize fit;
    if (fitText && !ParseSize(*fitText, fit)) return Usage(ctx, "--fit takes WIDTHxHEIGHT in pixels");
    int quarters = 0;
    if (rotateText) {
        if (*rotateText != "90" && *rotateText != "180" && *rotateText != "270")
            return Usage(ctx, "--rotate takes 90, 180 or 270");
        quarters = static_cast<int>(ValInt(*rotateText)) / 90;
    }
    if (!info && (!out || out->empty())) return Usage(ctx, "--out FILE.png is required");

    if (const int located = ctx.locate(number, volume); located != kExitDone) return located;
    if (!GetPage(app, app.doc.CurImagePath, number, Int16(static_cast<int>(ValInt(pageText))))) return kExitFailed;
    const PageFileInfo& p = app.doc.Page;
    PageImage page;
    try {
        page = DecodePage(RequestFor(p));
    } catch (const ImageError& e) {
        return ctx.fail(std::string("Error at function Loadimage: ") + e.detail());
    } catch (const std::exception&) {
        return ctx.fail("Error at function Loadimage");
    }
    const std::string kind = PageFileKindName(PageFileKindOf(p.PagePath));
    if (info) {
        Json r = Json::object();
        r.set("width", page.width()).set("height", page.height());
        r.set("dpiX", static_cast<int>(std::lround(page.dpiX()))).set("dpiY", static_cast<int>(std::lround(page.dpiY())));
        r.set("kind", kind).set("page", page.pageNumber()).set("path", p.PagePath);
        ctx.print(r);
        return kExitDone;
    }

    page.rotate(quarters);
    if (fitText) zoom = FitZoom(fit, page.size());
    const QSize size = page.scaledSize(zoom);
    if (static_cast<std::int64_t>(size.width()) * size.height() > ImageLimits::kMaxRenderPixels)
        return ctx.fail("The rendered page would be " + std::to_string(size.width()) + "x" +
                        std::to_string(size.height()) + " pixels; choose a smaller zoom");
    QImage image;
    try {
        image = page.renderAll(zoom, true);
    } catch (const std::exception&) {
        return ctx.fail("Error at function Loadimage");
    }
    // Through a temporary name, so a failed write leaves no half a file.
    const fs::path target(*out);
    const fs::path temp = target.parent_path() / (target.filename().string() + ".part");
    if (!image.save(QString::fromStdString(temp.string()), "PNG")) {
        std::error_code ec;
        fs::remove(temp, ec);
        return ctx.fail("Cannot write " + target.string());
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        return ctx.fail("Cannot write " + target.string());
    }
    Json r = Json::object();
    r.set("out", target.string()).set("width", image.width()).set("height", image.height());
    r.set("zoom", static_cast<int>(std::lround(zoom * 100))).set("kind", kind);
    ctx.print(r);
    return kExitDone;
}

}  // namespace

const Command kRenderCommand{
    "render", "NUMBER VOLUME PAGE", 3, 3, "zoom= fit= rotate= out= info",
    "Writes page PAGE of document NUMBER on VOLUME as the viewer shows it (smoothed\n"
    "    below 100%) to --out FILE.png: at --zoom PERCENT (default 100) or fitted into\n"
    "    --fit WIDTHxHEIGHT, turned by --rotate 90|180|270. --info reads the page only.\n"
    "    Asks for no volume. JSON: out, width, height, zoom, kind; with --info: width,\n"
    "          height, dpiX, dpiY, kind (\"tiff\", \"bin\" or \"container\"), page, path.",
    Run};

}  // namespace velk::cli

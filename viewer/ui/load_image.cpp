#include "viewer/ui/load_image.h"

#include <QWidget>
#include <exception>

#include "common/vb_text.h"
#include "platform/app.h"
#include "viewer/page_loading.h"
#include "viewer/ui/imaging_control.h"
#include "viewer/viewer_nav.h"

namespace velk {
namespace {

// The view settings every load applies: scroll bars, smoothing, centring, and the
// viewer's zoom, or its fit (the full-view flag fits the page).
void Configure(const App& app, ImagingControl& c, int viewNo) {
    c.ScrollBars(true);
    c.AspectRatio(2);
    c.AliasMode(2);
    c.DisplayCentered(true);
    const ViewerState& s = app.viewers[static_cast<std::size_t>(viewNo - 1)];
    const int fit = FitMethodFor(app.viewerFlags.FullView ? ViewMode::FitPage : s.Mode);
    if (fit != 0)
        c.FitMethod(fit);
    else
        c.ZoomLevel(s.Zoom.value());
}

// Repaints once, when the control is configured and loaded.
class HeldUpdates {
public:
    explicit HeldUpdates(QWidget& w) : w_(w), was_(w.updatesEnabled()) { w_.setUpdatesEnabled(false); }
    ~HeldUpdates() { w_.setUpdatesEnabled(was_); }
    HeldUpdates(const HeldUpdates&) = delete;
    HeldUpdates& operator=(const HeldUpdates&) = delete;

private:
    QWidget& w_;
    bool was_;
};

}  // namespace

bool Loadimage(App& app, QWidget& window, ImagingControl& c, const std::string& viewNo,
               std::optional<PrefetchedPage> ready) {
    const int n = viewNo == "1" ? 1 : 2;
    PageFileInfo& p = app.doc.Page;
    try {
        HeldUpdates held(c);
        Configure(app, c, n);
        const PageRequest r = RequestFor(p);
        if (r.raw) {
            if (r.spec.offset > static_cast<std::uint64_t>(INT64_MAX)) throw RuntimeError(kErrInvalidFileFormat);
            c.CCITTFillOrder = r.spec.fillOrder;
            c.CCITTType = r.spec.ccittType;
            c.CCITTXSize = r.spec.width;
            c.CCITTYSize = r.spec.height;
            c.CCITTOffset = static_cast<std::int64_t>(r.spec.offset);
            if (ready)
                c.ShowPage(std::move(*ready));
            else
                c.CCITTLoad(p.PagePath);
        } else {
            c.Page = r.page;
            if (ready)
                c.ShowPage(std::move(*ready));
            else
                c.LoadImage(p.PagePath);
            p.FilePages = CInt(c.PageCount());
        }
        // The located document's page count is the loaded file's, for print and export.
        app.doc.CurPageCount = p.FilePages;
        c.ScrollToTop();
    } catch (const std::exception&) {
        app.msg(kLoadimageErrorText);
        return false;
    }
    const std::string caption = ViewCaptionText(app, viewNo);
    StoreViewCaption(app, viewNo, caption);
    window.setWindowTitle(QString::fromStdString(ViewerWindowCaption(app, caption)));
    return true;
}

std::string TrademarkCaption(const App& app, int viewNo, int page, int pageCount) {
    return FormatText(Trim(app.doc.CurDocNo), "0000000") + "  - View " + std::to_string(viewNo) + " - Page " +
           std::to_string(page) + "/" + std::to_string(pageCount);
}

bool LoadTrademark(App& app, QWidget& window, ImagingControl& c, int viewNo, int page,
                   std::optional<PrefetchedPage> ready) {
    try {
        HeldUpdates held(c);
        Configure(app, c, viewNo);
        c.Page = page;
        if (ready)
            c.ShowPage(std::move(*ready));
        else
            c.LoadImage(app.viewerFlags.TrademarkImagePath);
        app.doc.CurPageCount = CInt(c.PageCount());
        c.ScrollToTop();
    } catch (const std::exception&) {
        app.msg(kLoadimageErrorText);
        return false;
    }
    const std::string viewNo_ = std::to_string(viewNo);
    const std::string caption = TrademarkCaption(app, viewNo, page, app.doc.CurPageCount.value());
    StoreViewCaption(app, viewNo_, caption);
    window.setWindowTitle(QString::fromStdString(viewNo == 1 ? ViewerWindowCaption(app, caption) : caption));
    return true;
}

}  // namespace velk

#include "viewer/page_prefetch.h"

#include <algorithm>
#include <exception>

#include "common/vb_text.h"
#include "viewer/page_loading.h"

namespace velk {

bool PageRequest::operator==(const PageRequest& o) const {
    if (path != o.path || raw != o.raw) return false;
    if (!raw) return page == o.page;
    return spec.offset == o.spec.offset && spec.width == o.spec.width && spec.height == o.spec.height &&
           spec.fillOrder == o.spec.fillOrder && spec.ccittType == o.spec.ccittType && spec.length == o.spec.length;
}

PageRequest RequestFor(const PageFileInfo& info) {
    PageRequest r;
    r.path = info.PagePath;
    r.page = static_cast<int>(ValInt(info.PageText));
    if (PageFileKindOf(info.PagePath) == PageFileKind::Container) {
        r.raw = true;
        r.page = 1;
        r.spec = RawPageOf(info);
    }
    return r;
}

PageImage DecodePage(const PageRequest& request) {
    return request.raw ? PageImage::loadRaw(request.path, request.spec)
                       : PageImage::load(request.path, request.page, request.knownPages);
}

quint64 TileKey(int column, int row) {
    return (static_cast<quint64>(static_cast<quint32>(column)) << 32) | static_cast<quint32>(row);
}

QImage RenderTile(const PageImage& page, int column, int row, int tile, double deviceZoom, bool smooth) {
    // The screen's own format: a 1-bit pixmap would be painted as a mask, and grey would
    // be converted again on every paint.
    return page.render(QRect(column * tile, row * tile, tile, tile), deviceZoom, smooth)
        .convertToFormat(QImage::Format_RGB32);
}

PrefetchedPage PreparePage(const PageRequest& request) {
    PrefetchedPage out;
    out.page = DecodePage(request);
    if (!request.view) return out;
    const PrefetchView& v = *request.view;
    out.zoom = v.fit == 2   ? FitZoom(v.room, out.page.size())
               : v.fit == 1 ? FitWidthZoom(v.room, out.page.size(), v.bar)
                            : ViewZoom(v.zoom);
    out.ratio = RenderRatio(v.ratio);
    out.smooth = v.smooth;
    const double deviceZoom = out.zoom * out.ratio;
    const QSize shown = out.page.scaledSize(deviceZoom);
    // The screen the page opens on (its top, centred or from the left), one tile spare.
    const int columns = (std::min<int>(shown.width(), int(v.view.width() * out.ratio)) + v.tile - 1) / v.tile + 1;
    const int rows = (std::min<int>(shown.height(), int(v.view.height() * out.ratio)) + v.tile - 1) / v.tile + 1;
    for (int r = 0; r < rows && r * v.tile < shown.height(); ++r)
        for (int c = 0; c < columns && c * v.tile < shown.width(); ++c)
            out.tiles.emplace_back(TileKey(c, r), RenderTile(out.page, c, r, v.tile, deviceZoom, v.smooth));
    return out;
}

PagePrefetch::PagePrefetch() : worker_([this](std::stop_token stop) { run(stop); }) {}

PagePrefetch::~PagePrefetch() {
    worker_.request_stop();
    wake_.notify_all();
}

void PagePrefetch::request(PageRequest request) {
    {
        std::lock_guard lock(mutex_);
        if ((doneFor_ && *doneFor_ == request) || (running_ && *running_ == request)) return;
        pending_ = std::move(request);
    }
    wake_.notify_all();
}

std::optional<PrefetchedPage> PagePrefetch::take(const PageRequest& request) {
    std::lock_guard lock(mutex_);
    std::optional<PrefetchedPage> page;
    if (done_ && doneFor_ && *doneFor_ == request) page = std::move(done_);
    done_.reset();
    doneFor_.reset();
    return page;
}

void PagePrefetch::clear() {
    std::lock_guard lock(mutex_);
    pending_.reset();
    done_.reset();
    doneFor_.reset();
    ++generation_;
}

void PagePrefetch::waitIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !pending_ && !running_; });
}

int PagePrefetch::decoded() const {
    std::lock_guard lock(mutex_);
    return decoded_;
}

void PagePrefetch::run(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    while (!stop.stop_requested()) {
        if (!wake_.wait(lock, stop, [this] { return pending_.has_value(); })) break;
        running_ = std::move(pending_);
        pending_.reset();
        const PageRequest work = *running_;
        const std::uint64_t generation = generation_;
        lock.unlock();
        std::optional<PrefetchedPage> page;
        try {
            page = PreparePage(work);
        } catch (const std::exception&) {
            // The GUI thread decodes it again when it is asked for and reports the error.
        }
        lock.lock();
        running_.reset();
        if (page && generation == generation_) {
            done_ = std::move(page);
            doneFor_ = work;
            ++decoded_;
        }
        if (!pending_) idle_.notify_all();
    }
    running_.reset();
    idle_.notify_all();
}

}  // namespace velk

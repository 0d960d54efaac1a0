#include "viewer/ui/imaging_control.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRubberBand>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "platform/ports.h"

namespace velk {
namespace {

constexpr int kScrollStep = 40;
const QColor kBackground(128, 128, 128);

}  // namespace

ImagingControl::ImagingControl(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName("accView");
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setSingleStep(kScrollStep);
    verticalScrollBar()->setSingleStep(kScrollStep);
    ScrollBars(true);
}

ImagingControl::~ImagingControl() = default;

void ImagingControl::LoadImage(const std::string& path) {
    swapIn(PageImage::load(path, Page, KnownPageCount));
}

void ImagingControl::CCITTLoad(const std::string& path) {
    if (CCITTOffset < 0) throw ImageError(kErrInvalidPicture, "negative offset");
    RawPageSpec spec;
    spec.offset = static_cast<std::uint64_t>(CCITTOffset);
    spec.width = CCITTXSize;
    spec.height = CCITTYSize;
    spec.fillOrder = CCITTFillOrder;
    spec.ccittType = CCITTType;
    swapIn(PageImage::loadRaw(path, spec));
}

void ImagingControl::ShowPage(PageImage page) { swapIn(std::move(page)); }

void ImagingControl::ShowPage(PrefetchedPage prefetched) {
    swapIn(std::move(prefetched.page));
    // The tiles count only when they were made for what this control now shows.
    if (prefetched.zoom != zoom_ || prefetched.ratio != deviceRatio() || prefetched.smooth != (aliasMode_ == 2))
        return;
    for (auto& [key, image] : prefetched.tiles) {
        QPixmap pixmap = QPixmap::fromImage(std::move(image));
        pixmap.setDevicePixelRatio(prefetched.ratio);
        cacheBytes_ += static_cast<std::size_t>(pixmap.width()) * pixmap.height() * std::max(1, pixmap.depth()) / 8;
        tiles_.insert(key, pixmap);
    }
}

PrefetchView ImagingControl::prefetchView() const {
    PrefetchView v;
    v.fit = fitMethod_;
    v.room = maximumViewportSize();
    v.bar = verticalScrollBar()->sizeHint().width();
    v.view = viewport()->size();
    v.zoom = zoom_;
    v.ratio = deviceRatio();
    v.smooth = aliasMode_ == 2;
    v.tile = kTile;
    return v;
}

int ImagingControl::PageCount() const { return page_.isNull() ? 0 : page_.pageCount(); }

// Only a page that decoded completely replaces the one shown.
void ImagingControl::swapIn(PageImage page) {
    page_ = std::move(page);
    clearTiles();
    if (fitMethod_ != 0) {
        applyFit();
    } else {
        updateScrollBars();
    }
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

void ImagingControl::FitMethod(int method) {
    fitMethod_ = method == 1 || method == 2 ? method : 0;
    if (fitMethod_ != 0) applyFit();
}

double ImagingControl::fitZoom() const {
    if (page_.isNull()) return zoom_;
    if (fitMethod_ == 1)
        return FitWidthZoom(maximumViewportSize(), page_.size(), verticalScrollBar()->sizeHint().width());
    return FitZoom(maximumViewportSize(), page_.size());
}

void ImagingControl::applyFit() {
    if (page_.isNull()) return;
    const double before = zoom_;
    setZoom(fitZoom(), viewport()->rect().center());
    if (zoom_ != before) emit ZoomChanged(ZoomLevel());
}

void ImagingControl::ZoomLevel(int percent) {
    fitMethod_ = 0;
    setZoom(percent / 100.0, viewport()->rect().center());
}

int ImagingControl::ZoomLevel() const { return static_cast<int>(std::lround(zoom_ * 100)); }

void ImagingControl::AliasMode(int mode) {
    if (mode == aliasMode_) return;
    aliasMode_ = mode;
    clearTiles();
    viewport()->update();
}

void ImagingControl::DisplayCentered(bool centred) {
    centred_ = centred;
    viewport()->update();
}

void ImagingControl::ScrollBars(bool shown) {
    scrollBars_ = shown;
    const Qt::ScrollBarPolicy policy = shown ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    setHorizontalScrollBarPolicy(policy);
    setVerticalScrollBarPolicy(policy);
}

void ImagingControl::SelectEvent(int mode) {
    selectEvent_ = mode;
    if (mode != 2 && band_) band_->hide();
    viewport()->setCursor(mode == 2 ? Qt::CrossCursor : Qt::ArrowCursor);
}

void ImagingControl::Rotate(int degrees) {
    if (degrees % 90 != 0) throw RuntimeError(380);  // Invalid property value
    if (page_.isNull()) return;
    // Keep the point under the window's centre under it after the turn.
    const QPointF centre = QPointF(viewport()->rect().center() - pageOrigin()) / zoom_;
    const int quarters = ((degrees / 90) % 4 + 4) % 4;
    const int oldW = page_.width(), oldH = page_.height();
    page_.rotate(quarters);
    QPointF turned = centre;
    for (int q = 0, w = oldW, h = oldH; q < quarters; ++q) {
        turned = QPointF(h - turned.y(), turned.x());
        std::swap(w, h);
    }
    clearTiles();
    if (fitMethod_ != 0) {
        applyFit();
    } else {
        updateScrollBars();
        const QPointF at = turned * zoom_ - QPointF(viewport()->rect().center());
        horizontalScrollBar()->setValue(static_cast<int>(std::lround(at.x())));
        verticalScrollBar()->setValue(static_cast<int>(std::lround(at.y())));
    }
    viewport()->update();
}

bool ImagingControl::ClipboardCopy(bool copy) {
    if (!copy || !clipboard_ || page_.isNull()) return false;
    const QImage image = page_.toQImage();
    if (image.isNull()) return false;
    clipboard_->setImage(image);
    return true;
}

void ImagingControl::ScrollToTop() { verticalScrollBar()->setValue(0); }

double ImagingControl::deviceRatio() const { return RenderRatio(viewport()->devicePixelRatioF()); }

QSize ImagingControl::shownSize() const {
    if (page_.isNull()) return {0, 0};
    const double ratio = deviceRatio();
    const QSize device = page_.scaledSize(zoom_ * ratio);
    return {static_cast<int>(std::ceil(device.width() / ratio)), static_cast<int>(std::ceil(device.height() / ratio))};
}

QPoint ImagingControl::pageOrigin() const {
    const QSize shown = shownSize(), room = viewport()->size();
    const int x = centred_ && shown.width() < room.width() ? (room.width() - shown.width()) / 2
                                                            : -horizontalScrollBar()->value();
    const int y = centred_ && shown.height() < room.height() ? (room.height() - shown.height()) / 2
                                                              : -verticalScrollBar()->value();
    return {x, y};
}

void ImagingControl::updateScrollBars() {
    const QSize shown = shownSize(), room = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, shown.width() - room.width()));
    verticalScrollBar()->setRange(0, std::max(0, shown.height() - room.height()));
    horizontalScrollBar()->setPageStep(room.width());
    verticalScrollBar()->setPageStep(room.height());
}

// Zooms so that the page point under `anchor` (viewport coordinates) stays there.
void ImagingControl::setZoom(double zoom, QPoint anchor) {
    zoom = ViewZoom(zoom);
    if (page_.isNull()) {
        zoom_ = zoom;
        return;
    }
    const QPointF point = QPointF(anchor - pageOrigin()) / zoom_;
    if (zoom != zoom_) {
        zoom_ = zoom;
        clearTiles();
    }
    updateScrollBars();
    const QPointF scroll = point * zoom_ - QPointF(anchor);
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(scroll.x())));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(scroll.y())));
    viewport()->update();
}

void ImagingControl::clearTiles() {
    tiles_.clear();
    cacheBytes_ = 0;
}

const QPixmap& ImagingControl::tile(int column, int row) {
    const quint64 key = TileKey(column, row);
    auto found = tiles_.constFind(key);
    if (found != tiles_.constEnd()) return *found;
    const double ratio = deviceRatio();
    QPixmap pixmap = QPixmap::fromImage(RenderTile(page_, column, row, kTile, zoom_ * ratio, aliasMode_ == 2));
    pixmap.setDevicePixelRatio(ratio);
    cacheBytes_ += static_cast<std::size_t>(pixmap.width()) * pixmap.height() * std::max(1, pixmap.depth()) / 8;
    return *tiles_.insert(key, pixmap);
}

// The tiles farthest from the ones in view go first.
void ImagingControl::evictFarFrom(QPoint centreTile) {
    while (cacheBytes_ > kCacheBytes && !tiles_.isEmpty()) {
        auto farthest = tiles_.begin();
        int distance = -1;
        for (auto it = tiles_.begin(); it != tiles_.end(); ++it) {
            const int column = static_cast<int>(it.key() >> 32), row = static_cast<int>(it.key() & 0xffffffffu);
            const int d = std::max(std::abs(column - centreTile.x()), std::abs(row - centreTile.y()));
            if (d > distance) distance = d, farthest = it;
        }
        const QPixmap& p = farthest.value();
        cacheBytes_ -= static_cast<std::size_t>(p.width()) * p.height() * std::max(1, p.depth()) / 8;
        tiles_.erase(farthest);
    }
}

void ImagingControl::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect exposed = event->rect();
    const QPoint origin = pageOrigin();
    const QRect shown(origin, shownSize());
    // Paper beyond the page.
    for (const QRect& r : QRegion(exposed).subtracted(QRegion(shown))) painter.fillRect(r, kBackground);
    const QRect visible = (exposed & shown).translated(-origin);  // page coordinates, logical
    if (page_.isNull() || visible.isEmpty()) return;

    const double ratio = deviceRatio();
    const double step = kTile / ratio;  // a tile's side in logical pixels
    const int c0 = static_cast<int>(visible.left() / step), c1 = static_cast<int>(visible.right() / step);
    const int r0 = static_cast<int>(visible.top() / step), r1 = static_cast<int>(visible.bottom() / step);
    try {
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) painter.drawPixmap(origin + QPointF(c * step, r * step), tile(c, r));
    } catch (const RuntimeError&) {
        painter.fillRect(exposed & shown, Qt::white);  // out of memory: paper, never a crash
    }
    evictFarFrom(QPoint((c0 + c1) / 2, (r0 + r1) / 2));
}

void ImagingControl::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (fitMethod_ != 0) {
        applyFit();
    } else {
        updateScrollBars();
    }
}

void ImagingControl::scrollContentsBy(int dx, int dy) {
    // Move what is on screen and paint only the strip that comes into view.
    viewport()->scroll(dx, dy);
}

void ImagingControl::keyPressEvent(QKeyEvent* event) {
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    switch (event->key()) {
    case Qt::Key_PageUp: v->setValue(v->value() - v->pageStep()); break;
    case Qt::Key_PageDown: v->setValue(v->value() + v->pageStep()); break;
    case Qt::Key_Up: v->setValue(v->value() - v->singleStep()); break;
    case Qt::Key_Down: v->setValue(v->value() + v->singleStep()); break;
    case Qt::Key_Left: h->setValue(h->value() - h->singleStep()); break;
    case Qt::Key_Right: h->setValue(h->value() + h->singleStep()); break;
    case Qt::Key_Home:
        v->setValue(0);
        h->setValue(0);
        break;
    case Qt::Key_End: v->setValue(v->maximum()); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    event->accept();
}

void ImagingControl::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0 || page_.isNull()) return;
    fitMethod_ = 0;
    setZoom(zoom_ * std::pow(1.25, notches), event->position().toPoint());
    emit ZoomChanged(ZoomLevel());
    event->accept();
}

void ImagingControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressAt_ = event->position().toPoint();
    pressScroll_ = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    dragging_ = true;
    if (selectEvent_ == 2) {
        if (!band_) band_ = new QRubberBand(QRubberBand::Rectangle, viewport());
        band_->setGeometry(QRect(pressAt_, QSize()));
        band_->show();
    } else {
        viewport()->setCursor(Qt::ClosedHandCursor);
    }
}

void ImagingControl::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    const QPoint at = event->position().toPoint();
    if (selectEvent_ == 2 && band_) {
        band_->setGeometry(QRect(pressAt_, at).normalized());
    } else {
        horizontalScrollBar()->setValue(pressScroll_.x() - (at.x() - pressAt_.x()));
        verticalScrollBar()->setValue(pressScroll_.y() - (at.y() - pressAt_.y()));
    }
}

void ImagingControl::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) return;
    dragging_ = false;
    if (selectEvent_ != 2 || !band_) {
        viewport()->setCursor(Qt::ArrowCursor);
        return;
    }
    band_->hide();
    // Corner to corner: a drag from x=100 to x=300 spans 200 pixels (QRect(p, q) would be 201).
    const QRectF area = QRectF(QPointF(pressAt_), event->position()).normalized();
    if (area.width() < 4 || area.height() < 4 || page_.isNull()) return;  // a click, not a rectangle
    // The dragged rectangle fills the window; the selection stays armed for the next one.
    const QPointF centre = (area.center() - QPointF(pageOrigin())) / zoom_;
    const QSize room = viewport()->size();
    fitMethod_ = 0;
    setZoom(zoom_ * std::min(double(room.width()) / area.width(), double(room.height()) / area.height()),
            viewport()->rect().center());
    const QPointF scroll = centre * zoom_ - QPointF(viewport()->rect().center());
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(scroll.x())));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(scroll.y())));
    emit ZoomChanged(ZoomLevel());
}

}  // namespace velk

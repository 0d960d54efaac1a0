#pragma once
// The imaging control of the viewer windows (accView) and of the print and export
// progress windows (Gear1): shows one PageImage with fit, zoom, centring, scroll bars,
// area zoom, quarter turns and copy. The members keep the names the forms use. Loads
// raise RuntimeError like the control they replace; a failed load keeps the page shown.
// Only the visible part is rendered, in tiles kept in a small byte-capped cache; paint
// never decodes.
#include <QAbstractScrollArea>
#include <QHash>
#include <QPixmap>
#include <QPoint>
#include <cstdint>
#include <string>

#include "viewer/imaging/page_image.h"
#include "viewer/page_prefetch.h"

class QRubberBand;

namespace velk {

class Clipboard;

class ImagingControl : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ImagingControl(QWidget* parent = nullptr);
    ~ImagingControl() override;

    // Settings read by the next load.
    int Page = 1;             // page of a multi-page file
    int CCITTFillOrder = 1;   // 1: most significant bit first
    int CCITTType = 4;        // 4: Group 4
    int CCITTXSize = 0;       // width of the raw page
    int CCITTYSize = 0;       // height of the raw page
    std::int64_t CCITTOffset = 0;  // byte offset of the raw data
    int KnownPageCount = 0;        // pages of the file when the caller knows them; 0: counted

    // Decodes page `Page` of a TIFF or ".BIN" file and shows it.
    void LoadImage(const std::string& path);
    // Decodes the raw CCITT page the CCITT settings describe and shows it.
    void CCITTLoad(const std::string& path);
    // Shows a page decoded elsewhere (a prefetched next page).
    void ShowPage(PageImage page);
    // ... with the tiles of its first screen, when they were rendered for this view.
    void ShowPage(PrefetchedPage page);
    // What a prefetch needs to render the first screen of the next page as it will be shown.
    PrefetchView prefetchView() const;
    int PageCount() const;

    // 2: the whole page fits the window, now, after each load and on resizing, until a
    // zoom level is set; 1: its width does. 0: no fit.
    void FitMethod(int method);
    int FitMethod() const { return fitMethod_; }
    void ZoomLevel(int percent);  // held to the zoom rule: 1 to 1600
    int ZoomLevel() const;
    void AspectRatio(int mode) { aspectRatio_ = mode; }  // the aspect is always kept
    int AspectRatio() const { return aspectRatio_; }
    void AliasMode(int mode);  // 2: scale-to-gray smoothing below 100%
    int AliasMode() const { return aliasMode_; }
    void DisplayCentered(bool centred);
    bool DisplayCentered() const { return centred_; }
    void ScrollBars(bool shown);
    bool ScrollBars() const { return scrollBars_; }
    // 2: the next drag selects a rectangle and the view zooms to it; 0: drag scrolls.
    void SelectEvent(int mode);
    int SelectEvent() const { return selectEvent_; }
    // Turns the shown page clockwise by `degrees` (a multiple of 90).
    void Rotate(int degrees);
    // Places the shown page, at full resolution, on the clipboard port; false when there
    // was no page or no clipboard.
    bool ClipboardCopy(bool copy);
    void Visible(bool shown) { setVisible(shown); }
    bool Visible() const { return isVisible(); }

    void setClipboard(Clipboard* clipboard) { clipboard_ = clipboard; }
    void ScrollToTop();
    const PageImage& page() const { return page_; }

    // Test and benchmark hooks: what the tile cache holds.
    int cachedTiles() const { return static_cast<int>(tiles_.size()); }
    std::size_t cachedBytes() const { return cacheBytes_; }
    static constexpr int kTile = 256;                         // device pixels
    static constexpr std::size_t kCacheBytes = 48u << 20;     // per control

signals:
    // The zoom changed by the user's own doing (wheel, area zoom, fit).
    void ZoomChanged(int percent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void swapIn(PageImage page);
    void setZoom(double zoom, QPoint anchor);
    double fitZoom() const;
    void applyFit();
    double deviceRatio() const;
    QSize shownSize() const;  // page at the zoom, in logical pixels
    QPoint pageOrigin() const;  // where the page's top-left is drawn in the viewport
    void updateScrollBars();
    void clearTiles();
    const QPixmap& tile(int column, int row);
    void evictFarFrom(QPoint centreTile);

    PageImage page_;
    double zoom_ = 1.0;
    int fitMethod_ = 0;
    int aspectRatio_ = 2;
    int aliasMode_ = 2;
    bool centred_ = true;
    bool scrollBars_ = true;
    int selectEvent_ = 0;
    Clipboard* clipboard_ = nullptr;

    QHash<quint64, QPixmap> tiles_;
    std::size_t cacheBytes_ = 0;

    QRubberBand* band_ = nullptr;
    QPoint pressAt_;
    QPoint pressScroll_;
    bool dragging_ = false;
};

}  // namespace velk

#pragma once
// Decodes the page a reader will most likely ask for next on one worker thread, so that
// "next page" shows a page already decoded. The worker gets copies of the file path and
// the raw page's numbers and touches nothing else; the GUI thread takes a finished page
// or, when the page it needs is not ready, decodes it itself. A newer request replaces an
// older one; a result that matches no request any more is dropped.
#include <QImage>
#include <QSize>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/current_document.h"
#include "viewer/imaging/page_image.h"

namespace velk {

// How the viewer will show the page: so its first screen can be rendered ahead as well.
struct PrefetchView {
    int fit = 0;  // 2: the page fits the room, 1: its width does; 0: the zoom
    QSize room;   // what the fit fills
    int bar = 0;  // a vertical scroll bar's width
    QSize view;   // the visible area
    double zoom = 1.0;
    double ratio = 1.0;  // device pixels per logical pixel
    bool smooth = true;
    int tile = 256;  // device pixels
};

// One page to decode: page `page` of a TIFF or ".BIN" file, or a raw CCITT block; with a
// view, the tiles of its top-left screen too. The view is no part of what page it is.
struct PageRequest {
    std::string path;
    int page = 1;
    int knownPages = 0;  // the file's page count when known (a page turn), else 0
    bool raw = false;
    RawPageSpec spec;  // when raw
    std::optional<PrefetchView> view;
    bool operator==(const PageRequest& o) const;
};

// A decoded page and the tiles of its first screen (key: column << 32 | row), rendered at
// zoom x ratio.
struct PrefetchedPage {
    PageImage page;
    double zoom = 1.0, ratio = 1.0;
    bool smooth = true;
    std::vector<std::pair<quint64, QImage>> tiles;
};

quint64 TileKey(int column, int row);
// Tile (column, row) of the page at device zoom, in the format the screen paints.
QImage RenderTile(const PageImage& page, int column, int row, int tile, double deviceZoom, bool smooth);

PageImage DecodePage(const PageRequest& request);
// What has to be decoded to show the page `info` (a GetPage record) describes.
PageRequest RequestFor(const PageFileInfo& info);
// Decodes and renders the first screen as request.view says.
PrefetchedPage PreparePage(const PageRequest& request);

class PagePrefetch {
public:
    PagePrefetch();
    ~PagePrefetch();  // stops the worker after the decode it is in
    PagePrefetch(const PagePrefetch&) = delete;
    PagePrefetch& operator=(const PagePrefetch&) = delete;

    // Decode this page next, instead of any request not yet started.
    void request(PageRequest request);
    // The decoded page when it is finished and is the one asked for; never waits for a
    // decode in progress. Whatever else is held is dropped.
    std::optional<PrefetchedPage> take(const PageRequest& request);
    // Drops every request and result (a viewer closed, another document opened).
    void clear();
    // Blocks until the worker is idle (tests and benchmarks only).
    void waitIdle();

    int decoded() const;  // pages the worker finished (tests)

private:
    void run(std::stop_token stop);

    mutable std::mutex mutex_;
    std::condition_variable_any wake_;
    std::condition_variable idle_;
    std::optional<PageRequest> pending_;
    std::optional<PageRequest> running_;
    std::optional<PageRequest> doneFor_;
    std::optional<PrefetchedPage> done_;
    std::uint64_t generation_ = 0;  // bumped by clear(): a decode started before is stale
    int decoded_ = 0;
    std::jthread worker_;  // last: started after, and joined before, everything above goes
};

}  // namespace velk

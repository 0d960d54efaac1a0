#pragma once
// Thumbnails of one document's pages for the page strip, made on a worker thread: first
// the pages the strip asks for (the visible ones), then the rest in order, each decoded
// and reduced by an integer scale-to-gray. They stay within a byte budget; a new document
// drops the old one's work and results; while paused the worker starts no page, so a page
// turn on the GUI thread has the processor to itself.
#include <QImage>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/viewer_state.h"
#include "viewer/page_prefetch.h"

namespace velk {

// What the thumbnails of a document may hold at most, all pages together.
inline constexpr std::size_t kThumbnailBudgetBytes = std::size_t{24} << 20;

// The integer reduction (16, 8, 6, 4, 3 or 2; 1 for a page narrower than that) that keeps
// a page `pageWidth` pixels wide at least `width` pixels wide.
int ThumbnailFactor(int pageWidth, int width);
// The page reduced by ThumbnailFactor: grey, every black pixel counted. Throws RuntimeError.
QImage MakeThumbnail(const PageImage& page, int width);

// What decodes page `page` of the document viewer state `s` shows (the viewers' next-page
// prefetch and the strip). Throws RuntimeError when the page cannot be located.
PageRequest PageRequestOf(const ViewerState& s, bool trademarks, int page);

struct Thumbnail {
    QImage image;       // null when the page could not be made
    std::string error;  // then why, in words
};

class Thumbnailer {
public:
    // Where page n of the document is; called on the worker, may throw.
    using Source = std::function<PageRequest(int page)>;
    // made: called on the worker after each page, with the document's generation.
    explicit Thumbnailer(std::function<void(std::uint64_t generation, int page)> made = {},
                         std::size_t budget = kThumbnailBudgetBytes);
    ~Thumbnailer();  // stops after the page in progress
    Thumbnailer(const Thumbnailer&) = delete;
    Thumbnailer& operator=(const Thumbnailer&) = delete;

    // A new document of `pages` pages, thumbnails at least `width` pixels wide. The last
    // document's queue and thumbnails are dropped. Returns its generation.
    std::uint64_t setDocument(Source source, int pages, int width);
    void clear();  // no document
    std::uint64_t generation() const;
    // Pages to make first, in this order (the visible ones).
    void prioritise(std::vector<int> pages);
    void pause();
    void resume();
    bool paused() const;

    std::optional<Thumbnail> get(int page) const;
    int made() const;  // pages made for this document
    std::size_t bytes() const;
    // Until nothing is left to make within the budget, or paused (tests, benchmarks).
    void waitIdle();

private:
    void run(std::stop_token stop);
    int nextLocked() const;
    void storeLocked(int page, Thumbnail t);

    std::function<void(std::uint64_t, int)> made_;
    const std::size_t budget_;
    mutable std::mutex mutex_;
    std::condition_variable_any wake_;
    std::condition_variable_any idle_;
    Source source_;
    int pages_ = 0;
    int width_ = 0;
    std::uint64_t generation_ = 0;
    std::vector<int> priority_;
    std::map<int, Thumbnail> done_;
    std::size_t bytes_ = 0;
    std::size_t lastBytes_ = 0;  // of the last page made: what the next one will likely take
    int madeCount_ = 0;
    int running_ = 0;  // the page in progress
    bool paused_ = false;
    std::jthread worker_;  // last: started after, and joined before, everything above goes
};

}  // namespace velk

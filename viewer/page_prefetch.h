#pragma once
// Decodes the page a reader will most likely ask for next on one worker thread, so that
// "next page" shows a page already decoded. The worker gets copies of the file path and
// the raw page's numbers and touches nothing else; the GUI thread takes a finished page
// or, when the page it needs is not ready, decodes it itself. A newer request replaces an
// older one; a result that matches no request any more is dropped.
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "viewer/imaging/page_image.h"

namespace velk {

// One page to decode: page `page` of a TIFF or ".BIN" file, or a raw CCITT block.
struct PageRequest {
    std::string path;
    int page = 1;
    bool raw = false;
    RawPageSpec spec;  // when raw
    bool operator==(const PageRequest& o) const;
};

PageImage DecodePage(const PageRequest& request);

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
    std::optional<PageImage> take(const PageRequest& request);
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
    std::optional<PageImage> done_;
    std::uint64_t generation_ = 0;  // bumped by clear(): a decode started before is stale
    int decoded_ = 0;
    std::jthread worker_;  // last: started after, and joined before, everything above goes
};

}  // namespace velk

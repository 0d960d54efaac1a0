#include "viewer/thumbnails.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#ifdef __linux__
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "viewer/page_loading.h"

namespace velk {

int ThumbnailFactor(int pageWidth, int width) {
    for (int f : {16, 8, 6, 4, 3, 2})
        if (pageWidth / f >= width) return f;
    return 1;
}

QImage MakeThumbnail(const PageImage& page, int width) {
    // A whole factor leaves nothing for the area average after Leptonica's reduction.
    return page.renderAll(1.0 / ThumbnailFactor(page.width(), std::max(1, width)), true);
}

PageRequest PageRequestOf(const ViewerState& s, bool trademarks, int page) {
    if (!trademarks) return RequestFor(ReadPageInfo(s.Doc.Page, s.ImagePath, s.DocNo, CInt(page)));
    PageRequest r;
    r.path = s.ImagePath;
    r.page = page;
    return r;
}

Thumbnailer::Thumbnailer(std::function<void(std::uint64_t, int)> made, std::size_t budget)
    : made_(std::move(made)), budget_(budget), worker_([this](std::stop_token stop) { run(stop); }) {}

Thumbnailer::~Thumbnailer() {
    worker_.request_stop();
    wake_.notify_all();
}

std::uint64_t Thumbnailer::setDocument(Source source, int pages, int width) {
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        source_ = std::move(source);
        pages_ = std::max(0, pages);
        width_ = width;
        priority_.clear();
        done_.clear();
        bytes_ = 0;
        madeCount_ = 0;
        generation = ++generation_;
    }
    wake_.notify_all();
    return generation;
}

void Thumbnailer::clear() {
    setDocument({}, 0, 0);
}

std::uint64_t Thumbnailer::generation() const {
    std::lock_guard lock(mutex_);
    return generation_;
}

void Thumbnailer::prioritise(std::vector<int> pages) {
    {
        std::lock_guard lock(mutex_);
        priority_ = std::move(pages);
    }
    wake_.notify_all();
}

namespace {

// Paused, the page in progress runs only on a processor nothing else wants: the page turn
// and the next page's decode come first. Only where the worker may come back to its
// normal share afterwards (the kernel lets a thread leave the idle class only as far as
// its nice limit allows): otherwise it would stay behind everything else for good.
void Background(std::jthread& worker, bool idle) {
#ifdef __linux__
    static const bool mayReturn = [] {
        rlimit limit{};
        return geteuid() == 0 || (getrlimit(RLIMIT_NICE, &limit) == 0 &&
                                  (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= 20));
    }();
    if (!mayReturn) return;
    sched_param none{};
    pthread_setschedparam(worker.native_handle(), idle ? SCHED_IDLE : SCHED_OTHER, &none);
#else
    (void)worker;
    (void)idle;
#endif
}

}  // namespace

void Thumbnailer::pause() {
    std::lock_guard lock(mutex_);
    if (!paused_) Background(worker_, true);
    paused_ = true;
}

void Thumbnailer::resume() {
    {
        std::lock_guard lock(mutex_);
        if (paused_) Background(worker_, false);
        paused_ = false;
    }
    wake_.notify_all();
}

bool Thumbnailer::paused() const {
    std::lock_guard lock(mutex_);
    return paused_;
}

std::optional<Thumbnail> Thumbnailer::get(int page) const {
    std::lock_guard lock(mutex_);
    auto it = done_.find(page);
    if (it == done_.end()) return std::nullopt;
    return it->second;
}

int Thumbnailer::made() const {
    std::lock_guard lock(mutex_);
    return madeCount_;
}

std::size_t Thumbnailer::bytes() const {
    std::lock_guard lock(mutex_);
    return bytes_;
}

void Thumbnailer::waitIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return running_ == 0 && (paused_ || nextLocked() == 0); });
}

// The asked-for pages first; the rest in order while the budget has room for one more.
int Thumbnailer::nextLocked() const {
    if (!source_) return 0;
    for (int p : priority_)
        if (p >= 1 && p <= pages_ && !done_.contains(p)) return p;
    if (bytes_ + lastBytes_ > budget_) return 0;
    for (int p = 1; p <= pages_; ++p)
        if (!done_.contains(p)) return p;
    return 0;
}

void Thumbnailer::storeLocked(int page, Thumbnail t) {
    const auto size = static_cast<std::size_t>(t.image.sizeInBytes());
    lastBytes_ = size;
    bytes_ += size;
    done_[page] = std::move(t);
    ++madeCount_;
    // Over the budget only for an asked-for page: the page farthest from those goes.
    const int centre = priority_.empty() ? page : priority_[priority_.size() / 2];
    while (bytes_ > budget_ && done_.size() > 1) {
        auto far = done_.end();
        for (auto it = done_.begin(); it != done_.end(); ++it) {
            if (it->first == page ||
                std::find(priority_.begin(), priority_.end(), it->first) != priority_.end())
                continue;
            if (far == done_.end() || std::abs(it->first - centre) > std::abs(far->first - centre)) far = it;
        }
        if (far == done_.end()) break;
        bytes_ -= static_cast<std::size_t>(far->second.image.sizeInBytes());
        done_.erase(far);
    }
}

void Thumbnailer::run(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    while (!stop.stop_requested()) {
        idle_.notify_all();
        if (!wake_.wait(lock, stop, [this] { return !paused_ && nextLocked() != 0; })) break;
        const int page = nextLocked();
        const Source source = source_;
        const int width = width_;
        const std::uint64_t generation = generation_;
        running_ = page;
        lock.unlock();
        Thumbnail t;
        try {
            t.image = MakeThumbnail(DecodePage(source(page)), width);
        } catch (const RuntimeError& e) {
            const auto* image = dynamic_cast<const ImageError*>(&e);
            t.error = e.report();
            if (image && !image->detail().empty()) t.error += " (" + image->detail() + ")";
        } catch (const std::exception& e) {
            t.error = e.what();
        }
        lock.lock();
        running_ = 0;
        if (generation != generation_) continue;  // another document since
        storeLocked(page, std::move(t));
        if (made_) {
            lock.unlock();
            made_(generation, page);
            lock.lock();
        }
    }
    running_ = 0;
    idle_.notify_all();
}

}  // namespace velk

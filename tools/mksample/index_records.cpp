#include "tools/mksample/index_records.h"

#include <algorithm>
#include <stdexcept>

#include "common/vb_text.h"
#include "tools/mksample/rng.h"

namespace velk::mksample {
namespace {

std::string ZeroPadded(std::uint64_t v, int digits) {
    std::string s = std::to_string(v);
    if (static_cast<int>(s.size()) < digits) s.insert(0, static_cast<std::size_t>(digits) - s.size(), '0');
    return s;
}

// Which run the i-th present document is taken from: mostly the main run, with
// every other kind of number among the first dozen documents; every third trademark
// has six digits, which the import writes with a leading zero.
std::size_t PresentRun(Collection c, int i) {
    static const std::size_t kPatents[] = {0, 0, 1, 0, 4, 0, 0, 3, 0, 2, 0, 5};
    switch (c) {
        case Collection::Quorvel:
            return kPatents[static_cast<std::size_t>(i) % std::size(kPatents)];
        case Collection::Tovrin:
            return i % 3 == 1 ? 0 : 1;
        case Collection::Assign:
            return 0;
    }
    return 0;
}

int MaxAbsentPages(Collection c) {
    return c == Collection::Quorvel ? 40 : c == Collection::Tovrin ? 4 : 6;
}

}  // namespace

NumberPlan::NumberPlan(Collection collection, long total, int present, std::uint64_t seed)
    : collection_(collection), total_(total), seed_(seed) {
    if (present < 0 || total < present)
        throw std::invalid_argument("index smaller than the documents present");
    switch (collection) {
        case Collection::Quorvel:  // character order: digits, then D, H, PP, RE, T
            runs_ = {{"", 7, 4000000, 4000000, 0.90}, {"D", 6, 300000, 400000, 0.06},
                     {"H", 6, 1000, 199000, 0.02},    {"PP", 5, 1000, 29000, 0.01},
                     {"RE", 5, 30000, 15000, 0.005},  {"T", 6, 100000, 899000, 0.005}};
            break;
        case Collection::Tovrin:  // by value: six-digit numbers sort before seven-digit ones
            runs_ = {{"", 6, 100000, 900000, 0.01}, {"", 7, 1000000, 7000000, 0.99}};
            break;
        case Collection::Assign:  // reel 1000-9999, frame 0001-9999
            runs_ = {{"", 8, 0, 9000ull * 9999ull, 1.0}};
            break;
    }
    std::vector<long> presentCount(runs_.size(), 0);
    for (int i = 0; i < present; ++i) ++presentCount[PresentRun(collection, i)];
    const long extra = total - present;
    std::size_t main = collection == Collection::Tovrin ? 1 : 0;
    long given = 0;
    for (std::size_t r = 0; r < runs_.size(); ++r) {
        if (r == main) continue;
        long n = static_cast<long>(static_cast<double>(extra) * runs_[r].share);
        runs_[r].count = presentCount[r] + n;
        given += n;
    }
    runs_[main].count = presentCount[main] + (extra - given);
    for (std::size_t r = 0; r < runs_.size(); ++r) {
        Run& run = runs_[r];
        if (static_cast<std::uint64_t>(run.count) > run.span)
            throw std::invalid_argument("too many index records for the number ranges of this collection");
        for (long j = 0; j < presentCount[r]; ++j)
            run.presentAt.push_back(static_cast<long>((2 * j + 1) * run.count / (2 * presentCount[r])));
    }
}

std::string NumberPlan::number(std::size_t r, long k) const {
    const Run& run = runs_[r];
    const std::uint64_t step = run.span / static_cast<std::uint64_t>(run.count);
    const std::uint64_t h =
        Mix64(seed_ ^ (static_cast<std::uint64_t>(r) << 56) ^ static_cast<std::uint64_t>(k));
    const std::uint64_t v = run.lo + static_cast<std::uint64_t>(k) * step + h % step;
    if (collection_ == Collection::Assign)
        return ZeroPadded(1000 + v / 9999, 4) + ZeroPadded(1 + v % 9999, 4);
    return run.prefix + ZeroPadded(v, run.digits);
}

std::vector<std::string> NumberPlan::presentNumbers() const {
    std::vector<std::string> out;
    for (std::size_t r = 0; r < runs_.size(); ++r)
        for (long k : runs_[r].presentAt) out.push_back(number(r, k));
    return out;
}

std::string NumberPlan::lastNumber() const {
    std::size_t main = collection_ == Collection::Tovrin ? 1 : 0;
    return runs_[main].count ? number(main, runs_[main].count - 1) : std::string();
}

std::string NumberPlan::indexRecords(const std::vector<Present>& present, const std::string& absentPrefix,
                                     int firstAbsentVolume) const {
    std::string out;
    out.reserve(static_cast<std::size_t>(total_) * 26);
    std::size_t p = 0;
    long g = 0;
    const auto maxPages = static_cast<std::uint64_t>(MaxAbsentPages(collection_));
    for (std::size_t r = 0; r < runs_.size(); ++r) {
        auto next = runs_[r].presentAt.begin();
        for (long k = 0; k < runs_[r].count; ++k, ++g) {
            if (next != runs_[r].presentAt.end() && *next == k) {
                ++next;
                if (p >= present.size())
                    throw std::logic_error("present documents out of step with the index");
                out += IndexRecord(number(r, k), present[p].volume, present[p].pages);
                ++p;
            } else {
                // Absent volumes follow the generated ones, a few thousand documents each.
                int vol = firstAbsentVolume + static_cast<int>(g / 2500);
                int pages = 1 + static_cast<int>(Mix64(seed_ + static_cast<std::uint64_t>(g)) % maxPages);
                out += IndexRecord(number(r, k),
                                   absentPrefix + ZeroPadded(static_cast<std::uint64_t>(vol), 4), pages);
            }
        }
    }
    return out;
}

std::string IndexRecord(const std::string& number, const std::string& volume, int pages) {
    return FixedWidth(number, 8) + FixedWidth(volume, 10) + FixedWidth(std::to_string(pages), 6) + "\r\n";
}

std::string OpenIdxRecord(const std::string& number, const std::string& imagePath, const std::string& pages) {
    if (number.size() > 8 || imagePath.size() > 37 || pages.size() > 3)
        throw std::invalid_argument("open.idx field too long: " + number + " " + imagePath);
    return FixedWidth(number, 8) + FixedWidth(imagePath, 37) + FixedWidth(pages, 3) + "\r\n";
}

}  // namespace velk::mksample

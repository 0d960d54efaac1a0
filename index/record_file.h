#pragma once
// Fixed-length records of a file that lives on a CD-ROM or a read-only share (the
// cumulative index, a volume's open.idx). The file is only ever opened read-only,
// and every record read is counted, so a search can be held to its log2(n) reads.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velk {

// Records in a file of `bytes` bytes: bytes / length rounded to the nearest whole
// number, halves to the even neighbour (a last record short of half its length is
// dropped, a longer one counts).
std::int64_t RecordCount(std::uint64_t bytes, int length);

// (lo + hi) / 2 rounded half to even: the probe of every binary search over records.
std::int64_t MidPoint(std::int64_t lo, std::int64_t hi);

// Character-code order (bytes compared unsigned), the order both record files are sorted in.
int CompareCodes(std::string_view a, std::string_view b);

// Bytes [offset, offset + n) of a file of `size` bytes opened for binary reading.
// Throws RuntimeError 62 when the file does not hold them all: never padding.
std::string ReadBytesAt(std::ifstream& in, std::uint64_t size, std::uint64_t offset, std::size_t n);

class RecordFile {
public:
    // Throws RuntimeError: 53 when the file is missing, 75 when it is not a readable
    // regular file, 6 when it holds more records than a 32-bit record number reaches.
    RecordFile(const std::filesystem::path& path, int recordLength);
    ~RecordFile();
    RecordFile(RecordFile&& other) noexcept;
    RecordFile& operator=(RecordFile&&) = delete;
    RecordFile(const RecordFile&) = delete;

    std::int32_t count() const { return count_; }
    std::uint64_t size() const { return size_; }
    int recordLength() const { return length_; }

    // Record n (1 to count()), recordLength() bytes, valid until the next read. A last
    // record that the file cuts short is padded with blanks, so its missing fields
    // read as blank. Throws RuntimeError 63 outside 1..count(), 57 when the read fails.
    std::string_view read(std::int32_t n);

    // Reads the whole file into memory when it is at most maxBytes, so a caller that
    // searches many keys (an imported list) pays no system call per probe. False (and
    // nothing read) when the file is larger; throws RuntimeError 57 when it comes up
    // short (cut since it was opened).
    bool preload(std::uint64_t maxBytes);
    bool preloaded() const { return cache_ != nullptr; }

    // Reads records lo..hi in one go when they span at most maxBytes, so the probes
    // of a search that stay among them cost no system call each. Does nothing when
    // they are held already, the file is in memory, or they span more.
    void hold(std::int64_t lo, std::int64_t hi, std::size_t maxBytes);

    long reads() const { return reads_; }  // records handed out
    long fileReads() const { return fileReads_; }  // reads of the file itself (system calls)

private:
    int fd_ = -1;  // one positioned read per record: a probe costs a single system call
    std::uint64_t size_ = 0;
    int length_;
    std::int32_t count_ = 0;
    long reads_ = 0;
    long fileReads_ = 0;
    std::string record_;            // the record last read when it does not come from the cache
    const char* cache_ = nullptr;   // the whole file, after preload()
    std::unique_ptr<char[]> copy_;  // what cache_ points into
    std::string held_;              // whole records heldFirst_..heldLast_, after hold()
    std::int64_t heldFirst_ = 1, heldLast_ = 0;
};

// A search reads the last records it may probe in one piece once they fit in this.
inline constexpr std::size_t kSearchHoldBytes = 16 * 1024;

// Where a search over records stopped: the matching record, or the last one probed
// (0 when there was nothing to probe); bytes holds that record, lo and hi the
// bounds the search had when it stopped.
struct RecordHit {
    bool found = false;
    std::int32_t record = 0;
    std::string bytes;
    std::int64_t lo = 0, hi = 0;
};

// Binary search of records lo..hi with the midpoint rule. order(string_view) is negative
// when the record sorts before the key, positive when after it, 0 on a match.
template <class Order>
RecordHit SearchRecords(RecordFile& file, std::int64_t lo, std::int64_t hi, Order order) {
    RecordHit hit;
    std::string_view bytes;
    while (lo <= hi) {
        file.hold(lo, hi, kSearchHoldBytes);
        auto mid = static_cast<std::int32_t>(MidPoint(lo, hi));
        hit.record = mid;
        bytes = file.read(mid);
        int c = order(bytes);
        if (c == 0) {
            hit.found = true;
            break;
        }
        if (c < 0)
            lo = std::int64_t{mid} + 1;
        else
            hi = std::int64_t{mid} - 1;
    }
    hit.bytes = bytes;
    hit.lo = lo;
    hit.hi = hi;
    return hit;
}

}  // namespace velk

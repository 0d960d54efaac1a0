#include "index/record_file.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <memory>
#include <optional>
#include <utility>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "common/runtime_error.h"

namespace velk {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
int OpenReadOnly(const fs::path& p) { return _wopen(p.c_str(), _O_RDONLY | _O_BINARY); }
void CloseFile(int fd) { _close(fd); }
std::optional<std::uint64_t> RegularFileSize(int fd) {
    struct _stat64 st;
    if (_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}
bool ReadFully(int fd, char* out, std::size_t n, std::uint64_t offset) {
    if (_lseeki64(fd, static_cast<__int64>(offset), SEEK_SET) < 0) return false;
    while (n > 0) {
        int got = _read(fd, out, static_cast<unsigned>(std::min<std::size_t>(n, 1u << 30)));
        if (got <= 0) return false;
        out += got;
        n -= static_cast<std::size_t>(got);
    }
    return true;
}
#else
int OpenReadOnly(const fs::path& p) { return ::open(p.c_str(), O_RDONLY | O_CLOEXEC); }
void CloseFile(int fd) { ::close(fd); }
std::optional<std::uint64_t> RegularFileSize(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}
bool ReadFully(int fd, char* out, std::size_t n, std::uint64_t offset) {
    while (n > 0) {
        ssize_t got = ::pread(fd, out, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        out += got;
        offset += static_cast<std::uint64_t>(got);
        n -= static_cast<std::size_t>(got);
    }
    return true;
}
#endif

}  // namespace

std::int64_t RecordCount(std::uint64_t bytes, int length) {
    if (length <= 0) throw RuntimeError(59);
    const auto len = static_cast<std::uint64_t>(length);
    std::uint64_t q = bytes / len, r = bytes % len;
    if (2 * r > len || (2 * r == len && q % 2 == 1)) ++q;
    if (q > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) throw RuntimeError(kErrOverflow);
    return static_cast<std::int64_t>(q);
}

std::int64_t MidPoint(std::int64_t lo, std::int64_t hi) {
    std::int64_t sum = lo + hi;
    if (sum % 2 == 0) return sum / 2;
    std::int64_t below = (sum - 1) / 2;  // sum is odd and positive for record numbers
    return below % 2 == 0 ? below : below + 1;
}

int CompareCodes(std::string_view a, std::string_view b) {
    int c = a.compare(b);  // char_traits<char> compares as unsigned char
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string ReadBytesAt(std::ifstream& in, std::uint64_t size, std::uint64_t offset, std::size_t n) {
    if (offset > size || n > size - offset) throw RuntimeError(kErrInputPastEnd);
    std::string bytes(n, '\0');
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(bytes.data(), static_cast<std::streamsize>(n));
    if (static_cast<std::size_t>(in.gcount()) != n) throw RuntimeError(kErrInputPastEnd);
    return bytes;
}

RecordFile::RecordFile(const fs::path& path, int recordLength) : length_(recordLength) {
    fd_ = OpenReadOnly(path);
    if (fd_ < 0) {
        if (errno == ENOENT || errno == ENOTDIR) throw RuntimeError(kErrFileNotFound);
        throw ErrorFromErrno(errno);
    }
    std::optional<std::uint64_t> size = RegularFileSize(fd_);
    if (!size) {
        CloseFile(fd_);
        throw RuntimeError(kErrPathFileAccess);
    }
    size_ = *size;
    std::int64_t n = RecordCount(size_, length_);
    if (n > std::numeric_limits<std::int32_t>::max()) {
        CloseFile(fd_);
        throw RuntimeError(kErrOverflow);
    }
    count_ = static_cast<std::int32_t>(n);
}

RecordFile::~RecordFile() {
    if (fd_ >= 0) CloseFile(fd_);
}

RecordFile::RecordFile(RecordFile&& o) noexcept
    : fd_(std::exchange(o.fd_, -1)),
      size_(o.size_),
      length_(o.length_),
      count_(o.count_),
      reads_(o.reads_),
      fileReads_(o.fileReads_),
      record_(std::move(o.record_)),
      cache_(std::exchange(o.cache_, nullptr)),
      copy_(std::move(o.copy_)),
      held_(std::move(o.held_)),
      heldFirst_(o.heldFirst_),
      heldLast_(o.heldLast_) {}

std::string_view RecordFile::read(std::int32_t n) {
    if (n < 1 || n > count_) throw RuntimeError(63);
    const std::uint64_t start = static_cast<std::uint64_t>(n - 1) * static_cast<std::uint64_t>(length_);
    const auto have = static_cast<std::size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(length_), size_ - start));
    ++reads_;
    if (cache_ && have == static_cast<std::size_t>(length_)) return {cache_ + start, have};
    if (n >= heldFirst_ && n <= heldLast_)
        return std::string_view(held_).substr(static_cast<std::size_t>(n - heldFirst_) * static_cast<std::size_t>(length_),
                                              static_cast<std::size_t>(length_));
    record_.assign(static_cast<std::size_t>(length_), ' ');
    if (cache_)
        std::copy_n(cache_ + start, have, record_.data());
    else if (++fileReads_, !ReadFully(fd_, record_.data(), have, start))
        throw RuntimeError(kErrDeviceIO);
    return record_;
}

void RecordFile::hold(std::int64_t lo, std::int64_t hi, std::size_t maxBytes) {
    if (cache_ || (lo >= heldFirst_ && hi <= heldLast_)) return;
    // Whole records only: a last record the file cuts short is read (and padded) alone.
    lo = std::max<std::int64_t>(lo, 1);
    hi = std::min<std::int64_t>(hi, static_cast<std::int64_t>(size_ / static_cast<std::uint64_t>(length_)));
    if (hi < lo || static_cast<std::uint64_t>(hi - lo + 1) * static_cast<std::uint64_t>(length_) > maxBytes) return;
    const std::size_t bytes = static_cast<std::size_t>(hi - lo + 1) * static_cast<std::size_t>(length_);
    held_.resize(bytes);
    heldFirst_ = 1;
    heldLast_ = 0;
    ++fileReads_;
    if (!ReadFully(fd_, held_.data(), bytes, static_cast<std::uint64_t>(lo - 1) * static_cast<std::uint64_t>(length_)))
        throw RuntimeError(kErrDeviceIO);
    heldFirst_ = lo;
    heldLast_ = hi;
}

bool RecordFile::preload(std::uint64_t maxBytes) {
    if (cache_ || size_ == 0) return true;  // already in memory, or nothing to read
    if (size_ > maxBytes) return false;
    // Read, not mapped: a mapped file cut short by a copy over it kills the process
    // (SIGBUS) at the next touch of a page past its new end; a read comes up short.
    // Not zero-filled first: every byte is read over.
    auto copy = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(size_));
    ++fileReads_;
    if (!ReadFully(fd_, copy.get(), static_cast<std::size_t>(size_), 0)) throw RuntimeError(kErrDeviceIO);
    copy_ = std::move(copy);
    cache_ = copy_.get();
    return true;
}

}  // namespace velk

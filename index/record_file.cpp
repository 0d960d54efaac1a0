#include "index/record_file.h"

#include <algorithm>
#include <limits>
#include <system_error>

#include "common/runtime_error.h"

namespace velk {

namespace fs = std::filesystem;

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
    std::error_code ec;
    auto st = fs::status(path, ec);
    if (ec || !fs::exists(st)) {
        if (ec && ec != std::errc::no_such_file_or_directory) throw ErrorFromErrno(ec.value());
        throw RuntimeError(kErrFileNotFound);
    }
    if (!fs::is_regular_file(st)) throw RuntimeError(kErrPathFileAccess);
    size_ = fs::file_size(path, ec);
    if (ec) throw RuntimeError(kErrPathFileAccess);
    std::int64_t n = RecordCount(size_, length_);
    if (n > std::numeric_limits<std::int32_t>::max()) throw RuntimeError(kErrOverflow);
    count_ = static_cast<std::int32_t>(n);
    // Unbuffered: a probe is one small read, not a buffer's worth.
    in_.rdbuf()->pubsetbuf(nullptr, 0);
    in_.open(path, std::ios::in | std::ios::binary);
    if (!in_) throw RuntimeError(kErrPermissionDenied);
}

std::string RecordFile::read(std::int32_t n) {
    if (n < 1 || n > count_) throw RuntimeError(63);
    const std::uint64_t start = static_cast<std::uint64_t>(n - 1) * static_cast<std::uint64_t>(length_);
    const std::uint64_t have = std::min<std::uint64_t>(static_cast<std::uint64_t>(length_), size_ - start);
    std::string rec(static_cast<std::size_t>(length_), ' ');
    if (!cache_.empty()) {
        std::copy_n(cache_.data() + start, have, rec.data());
    } else {
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(start));
        in_.read(rec.data(), static_cast<std::streamsize>(have));
        if (static_cast<std::uint64_t>(in_.gcount()) != have) throw RuntimeError(kErrDeviceIO);
    }
    ++reads_;
    return rec;
}

bool RecordFile::preload(std::uint64_t maxBytes) {
    if (!cache_.empty() || size_ == 0) return true;  // already in memory, or nothing to read
    if (size_ > maxBytes) return false;
    std::vector<char> all(static_cast<std::size_t>(size_));
    in_.clear();
    in_.seekg(0);
    in_.read(all.data(), static_cast<std::streamsize>(all.size()));
    if (static_cast<std::uint64_t>(in_.gcount()) != size_) throw RuntimeError(kErrDeviceIO);
    cache_ = std::move(all);
    return true;
}

}  // namespace velk

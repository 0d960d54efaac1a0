#include "index/import_file.h"

#include <filesystem>
#include <fstream>

#include "common/vb_text.h"
#include "platform/config.h"

namespace velk {

namespace {

bool KindLetter(char c) { return c == 'D' || c == 'H' || c == 'T' || c == 'P' || c == 'R' || c == 'B'; }

bool Taken(const std::string& t, const std::string& mode) {
    if (t.size() != 7) return false;
    const bool patents = mode == kModePatents;
    if (KindLetter(t.front())) return patents;
    if (t.front() >= '0' && t.front() <= '9') return (patents || mode == kModeTrademarks) && IsNumeric(t);
    return false;
}

// Reads one line into `line` (without its end); false at the end of the text. Sets
// tooLong when the line runs past the limit.
bool NextLine(std::istream& in, std::string& line, bool& tooLong) {
    line.clear();
    std::streambuf* buf = in.rdbuf();
    bool any = false;
    for (;;) {
        const int c = buf->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            in.setstate(std::ios::eofbit);
            return any;
        }
        any = true;
        if (c == '\n') return true;
        if (c == '\r') {
            if (buf->sgetc() == '\n') buf->sbumpc();
            return true;
        }
        if (line.size() >= kImportLineLimit) {
            tooLong = true;
            return true;
        }
        line.push_back(static_cast<char>(c));
    }
}

}  // namespace

std::vector<std::string> ImportLineNumbers(std::string_view line, const std::string& collectionMode) {
    std::vector<std::string> out;
    auto take = [&](std::string_view token) {
        std::string t = KeepAlnum(Trim(token));
        if (Taken(t, collectionMode)) out.push_back(std::move(t));
    };
    std::string rest = Trim(line);
    // A space after the first character ends a token; what follows it goes on.
    for (std::size_t p; (p = rest.find(' ', 1)) != std::string::npos;) {
        take(std::string_view(rest).substr(0, p));
        rest.erase(0, p + 1);
    }
    take(rest);
    return out;
}

namespace {

constexpr std::uint64_t kTickBytes = 256 * 1024;

// Whether anything but blanks and line ends follows; looks a little way only, so a
// huge file is not read to learn that it goes on.
bool MoreToRead(std::istream& in) {
    std::streambuf* buf = in.rdbuf();
    for (int looked = 0; looked < 64 * 1024; ++looked) {
        const int c = buf->sbumpc();
        if (c == std::char_traits<char>::eof()) return false;
        if (c != ' ' && c != '\r' && c != '\n' && c != '\t') return true;
    }
    return true;
}

}  // namespace

bool ReadImportStream(std::istream& in, const std::string& collectionMode, ImportTable& table,
                      ImportReadStatus& status, const ImportReadTick& tick) {
    table.rows.clear();
    status = {};
    if (!in.rdbuf()) {
        status.failure = ImportReadStatus::Unopenable;
        return false;
    }
    std::string line;
    bool tooLong = false;
    std::uint64_t bytes = 0, nextTick = kTickBytes;
    try {
        // The limit is tested before each line: the line that reaches it is taken whole.
        while (table.size() < kImportRowLimit && NextLine(in, line, tooLong) && !tooLong) {
            for (std::string& t : ImportLineNumbers(line, collectionMode)) table.add(std::move(t));
            bytes += line.size() + 1;
            if (tick && bytes >= nextTick) {
                nextTick = bytes + kTickBytes;
                if (!tick(bytes)) {
                    table.rows.clear();
                    status.failure = ImportReadStatus::Stopped;
                    return false;
                }
            }
        }
        if (!tooLong && table.size() >= kImportRowLimit) status.truncated = MoreToRead(in);
    } catch (const std::exception&) {
        status.failure = ImportReadStatus::ReadError;  // a failing read counts as unreadable
    }
    if (tooLong) status.failure = ImportReadStatus::LineTooLong;
    if (in.bad()) status.failure = ImportReadStatus::ReadError;
    if (status.failure != ImportReadStatus::None) {
        table.rows.clear();
        status.truncated = false;
        return false;
    }
    return true;
}

bool ReadImportStream(std::istream& in, const std::string& collectionMode, ImportTable& table) {
    ImportReadStatus status;
    return ReadImportStream(in, collectionMode, table, status, {});
}

bool ReadImportFile(const std::string& nativePath, const std::string& collectionMode, ImportTable& table,
                    ImportReadStatus& status, const ImportReadTick& tick) {
    table.rows.clear();
    status = {};
    std::error_code ec;
    if (nativePath.empty() || std::filesystem::is_directory(nativePath, ec)) {
        status.failure = ImportReadStatus::Unopenable;
        return false;
    }
    std::ifstream in(nativePath, std::ios::binary);
    if (!in) {
        status.failure = ImportReadStatus::Unopenable;
        return false;
    }
    return ReadImportStream(in, collectionMode, table, status, tick);
}

bool ReadImportFile(const std::string& nativePath, const std::string& collectionMode, ImportTable& table) {
    ImportReadStatus status;
    return ReadImportFile(nativePath, collectionMode, table, status, {});
}

}  // namespace velk

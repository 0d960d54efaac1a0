#include "index/import_file.h"

#include <filesystem>
#include <fstream>

#include "common/vb_text.h"
#include "platform/config.h"

namespace velk {

namespace {

bool KindLetter(char c) {
    return c == 'D' || c == 'H' || c == 'T' || c == 'P' || c == 'R' || c == 'B';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool Taken(const std::string& t, const std::string& mode) {
    if (t.size() != 7) return false;
    const bool patents = mode == kModePatents;
    if (KindLetter(t.front())) return patents;
    if (IsDigit(t.front())) return (patents || mode == kModeTrademarks) && IsNumeric(t);
    return false;
}

// A comma between a digit and exactly three digits groups the thousands of one number.
bool ThousandsComma(std::string_view text, std::size_t i) {
    if (i == 0 || !IsDigit(text[i - 1]) || text.size() - i < 4) return false;
    for (std::size_t k = i + 1; k <= i + 3; ++k)
        if (!IsDigit(text[k])) return false;
    return i + 4 == text.size() || !IsDigit(text[i + 4]);
}

// What the bytes read so far say about the file being text.
struct TextCheck {
    std::uint64_t bytes = 0;
    std::uint64_t controls = 0;  // control bytes that no text uses
    bool nul = false;
    bool notText() const { return nul || 2 * controls > bytes; }
};

// The control bytes a text file may hold: tab, line ends, form feed, the old end-of-file mark.
bool TextControl(int c) {
    return c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v' || c == 0x1a;
}

// Reads one line into `line` (without its end); false at the end of the text and at a
// NUL byte. Sets tooLong when the line runs past the limit.
bool NextLine(std::istream& in, std::string& line, bool& tooLong, TextCheck& text) {
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
        ++text.bytes;
        if (c < 32 || c == 127) {
            if (c == 0) {
                text.nul = true;  // no text holds one: stop before reading a whole binary
                return false;
            }
            if (!TextControl(c)) ++text.controls;
        }
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

std::vector<std::string_view> ListTokens(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size()) {
            const char c = text[i];
            const bool separator = c == ' ' || c == '\t' || c == ';' || c == '\r' || c == '\n' ||
                                   (c == ',' && !ThousandsComma(text, i));
            if (!separator) continue;
        }
        if (i > start) out.push_back(text.substr(start, i - start));
        start = i + 1;
    }
    return out;
}

void ImportLineNumbers(std::string_view line, const std::string& collectionMode, ImportTable& table) {
    for (std::string_view token : ListTokens(line)) {
        std::string t = KeepAlnum(token);
        if (Taken(t, collectionMode))
            table.add(std::move(t));
        else if (t.find_first_of("0123456789") != std::string::npos)
            table.ignore(token);
    }
}

bool ReadImportStream(std::istream& in, const std::string& collectionMode, ImportTable& table,
                      ImportReadStatus& status, const ImportReadTick& tick) {
    table.clear();
    status = {};
    if (!in.rdbuf()) {
        status.failure = ImportReadStatus::Unopenable;
        return false;
    }
    std::string line;
    bool tooLong = false;
    TextCheck text;
    std::uint64_t nextTick = kTickBytes;
    try {
        // The limit is tested before each line: the line that reaches it is taken whole.
        while (table.size() < kImportRowLimit && NextLine(in, line, tooLong, text) && !tooLong) {
            ImportLineNumbers(line, collectionMode, table);
            if (tick && text.bytes >= nextTick) {
                nextTick = text.bytes + kTickBytes;
                if (!tick(text.bytes)) {
                    table.clear();
                    status.failure = ImportReadStatus::Stopped;
                    return false;
                }
            }
        }
        if (!tooLong && !text.nul && table.size() >= kImportRowLimit) status.truncated = MoreToRead(in);
    } catch (const std::exception&) {
        status.failure = ImportReadStatus::ReadError;  // a failing read counts as unreadable
    }
    if (tooLong) status.failure = ImportReadStatus::LineTooLong;
    if (text.notText()) status.failure = ImportReadStatus::NotText;
    if (in.bad()) status.failure = ImportReadStatus::ReadError;
    if (status.failure != ImportReadStatus::None) {
        table.clear();
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
    table.clear();
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
